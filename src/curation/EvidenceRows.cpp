#include "EvidenceRows.h"

#include <algorithm>
#include <array>
#include <deque>
#include <set>

#include "EvidenceIndex.h"
#include "InteractionStore.h"
#include "LinkText.h"
#include "MarkerFilters.h"
#include "Node.h"
#include "RelationKind.h"

namespace {

// The words of every list some filter runs over sentences, as one
// automaton (Aho-Corasick, completed into a table of moves by byte class):
// one pass over a sentence finds every word ending at each byte, whatever
// the number of words, and is built once, the lists being fixed.
class MarkerMatcher {
public:
    MarkerMatcher() {
        std::set<std::string> words;
        for (const MarkerFilter& filter : MarkerFilters()) {
            const bool onSentences = std::any_of(filter.calls.begin(), filter.calls.end(),
                                                 [](const FilterCall& c) { return c.engine == FilterCall::Sentence; });
            if (onSentences) {
                for (const std::string& word : MarkerWords(filter.list)) {
                    if (!word.empty()) {
                        words.insert(word);
                    }
                }
            }
        }
        // Bytes no word holds share class 0, which always leads back to the root.
        m_class.fill(0);
        for (const std::string& word : words) {
            for (const char c : word) {
                std::uint8_t& cls = m_class[static_cast<unsigned char>(c)];
                if (cls == 0) {
                    cls = static_cast<std::uint8_t>(++m_classes);
                }
            }
        }
        ++m_classes;
        // The trie; a move to state 0 means none yet.
        std::vector<int> depth{0};
        std::vector<bool> isWord{false};
        m_next.assign(static_cast<size_t>(m_classes), 0);
        for (const std::string& word : words) {
            int state = 0;
            for (const char c : word) {
                std::uint16_t& next = Move(state, m_class[static_cast<unsigned char>(c)]);
                if (next == 0) {
                    next = static_cast<std::uint16_t>(depth.size());
                    depth.push_back(depth[static_cast<size_t>(state)] + 1);
                    isWord.push_back(false);
                    m_next.resize(m_next.size() + static_cast<size_t>(m_classes), 0);
                }
                state = Move(state, m_class[static_cast<unsigned char>(c)]);
            }
            isWord[static_cast<size_t>(state)] = true;
        }
        // Breadth first: a state's fallback (its longest proper suffix in
        // the trie) is complete before the states below it need it.
        m_longest.assign(depth.size(), 0);
        std::vector<int> fallback(depth.size(), 0);
        std::deque<int> queue;
        for (int c = 0; c < m_classes; ++c) {
            if (const int child = Move(0, c)) {
                queue.push_back(child);
            }
        }
        while (!queue.empty()) {
            const int state = queue.front();
            queue.pop_front();
            const size_t s = static_cast<size_t>(state);
            m_longest[s] = isWord[s] ? static_cast<std::uint16_t>(depth[s]) : m_longest[static_cast<size_t>(fallback[s])];
            for (int c = 0; c < m_classes; ++c) {
                const int onFallback = Move(fallback[s], c);
                std::uint16_t& next = Move(state, c);
                if (next != 0) {
                    fallback[next] = onFallback;
                    queue.push_back(next);
                } else {
                    next = static_cast<std::uint16_t>(onFallback);
                }
            }
        }
    }

    std::vector<TextSpan> Find(const std::string& text) const {
        std::vector<TextSpan> spans;
        const unsigned char* data = reinterpret_cast<const unsigned char*>(text.data());
        const size_t size = text.size();
        const size_t classes = static_cast<size_t>(m_classes);
        size_t state = 0;
        for (size_t p = 0; p < size; ++p) {
            state = m_next[state * classes + m_class[data[p]]];
            if (const size_t length = m_longest[state]) {
                // The longest word ending here; the hits ending earlier
                // that it overlaps or touches join it.
                const size_t end = p + 1;
                size_t begin = end - length;
                while (!spans.empty() && spans.back().end >= begin) {
                    begin = std::min(begin, spans.back().begin);
                    spans.pop_back();
                }
                spans.push_back({begin, end});
            }
        }
        return spans;
    }

private:
    std::uint16_t& Move(int state, int cls) {
        return m_next[static_cast<size_t>(state) * static_cast<size_t>(m_classes) + static_cast<size_t>(cls)];
    }

    std::array<std::uint8_t, 256> m_class{};
    int m_classes = 0;
    std::vector<std::uint16_t> m_next;     // state x byte class -> state
    std::vector<std::uint16_t> m_longest;  // longest word ending in a state, 0 for none
};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string KindName(int kind) {
    const char* caption = RelationKindCaption(kind);
    return caption ? caption : "kind " + std::to_string(kind);
}

}  // namespace

std::vector<TextSpan> FindMarkerSpans(const std::string& text) {
    static const MarkerMatcher matcher;
    return matcher.Find(text);
}

bool IsPubmedId(const std::string& pmid) {
    const std::string digits = Trimmed(pmid);
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PubmedUrl(const std::string& pmid) {
    return IsPubmedId(pmid) ? "https://pubmed.ncbi.nlm.nih.gov/" + Trimmed(pmid) + "/" : std::string();
}

CEvidenceList::CEvidenceList(const CInteractionStore& store, std::string name,
                             std::shared_ptr<const std::vector<int>> records)
    : m_store(&store),
      m_revision(store.GetRecordRevision()),
      m_name(std::move(name)),
      m_records(std::move(records)) {}

const EvidenceRow* CEvidenceList::Row(size_t i) const {
    if (i >= size() || !m_store || m_store->GetRecordRevision() != m_revision) {
        return nullptr;
    }
    if (i >= m_rows.size()) {
        m_rows.resize(i + 1);  // a busy molecule's list is mostly never scrolled to
    }
    if (!m_rows[i]) {
        const int at = (*m_records)[i];
        const InteractionRecord& r = m_store->m_pInteractions[static_cast<size_t>(at)];
        auto row = std::make_unique<EvidenceRow>();
        row->record = at;
        row->id = r.id;
        row->kind = KindName(r.kind);
        if (r.member1 == m_name) {
            row->other = r.member2;
        } else if (r.member2 == m_name) {
            row->other = r.member1;
        } else {
            row->other = r.member1 + " / " + r.member2;  // the relation node of both
        }
        row->sentence = r.source;
        row->marks = FindMarkerSpans(r.source);
        row->pmid = r.prep1;
        row->pmidIsLink = IsPubmedId(r.prep1);
        m_rows[i] = std::move(row);
    }
    return m_rows[i].get();
}

CEvidenceList ListEvidence(const CInteractionStore& store, const CNode* graph, CEvidenceIndex& index,
                           const std::string& name) {
    return CEvidenceList(store, name, index.RecordsFor(store, graph, name));
}

std::vector<EvidenceRow> CollectEvidence(const CInteractionStore& store, const CNode* graph, CEvidenceIndex& index,
                                         const std::string& name) {
    const CEvidenceList list = ListEvidence(store, graph, index, name);
    std::vector<EvidenceRow> rows;
    rows.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        rows.push_back(*list.Row(i));
    }
    return rows;
}

std::vector<std::string> InteractionSphereNames(const CInteractionStore& store, const CNode* graph, int record) {
    std::vector<std::string> names;
    if (record < 0 || static_cast<size_t>(record) >= store.m_pInteractions.size()) {
        return names;
    }
    const InteractionRecord& r = store.m_pInteractions[static_cast<size_t>(record)];
    auto add = [&names](const std::string& name) {
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    };
    for (const std::string& member : {r.member1, r.member2}) {
        // A member naming another interaction ("r__<id>") is that
        // interaction's relation node, whose sphere bears another name.
        NodePos at;
        const MoleculeRecord* node = nullptr;
        if (graph && ParsePosition(graph->LookUp(member), at.circle, at.index)) {
            node = graph->GetMolecule(at.circle, at.index);
        }
        add(node ? node->name : member);
    }
    if (graph && r.built && r.nodeCircle > 0) {
        if (const MoleculeRecord* node = graph->GetMolecule(r.nodeCircle, r.nodeIndex)) {
            add(node->name);
        }
    }
    return names;
}
