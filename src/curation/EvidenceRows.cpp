#include "EvidenceRows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

#include "EvidenceIndex.h"
#include "InteractionStore.h"
#include "LinkText.h"
#include "MarkerFilters.h"
#include "Node.h"
#include "RelationKind.h"

namespace {

// The words of every list some filter runs over sentences, bucketed by
// their first byte and longest first, so that one pass over a sentence
// tries only the words that can start at each byte.
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
        for (const std::string& word : words) {
            m_byFirst[static_cast<unsigned char>(word[0])].push_back(word);
        }
        for (auto& bucket : m_byFirst) {
            std::sort(bucket.begin(), bucket.end(),
                      [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        }
    }

    std::vector<TextSpan> Find(const std::string& text) const {
        std::vector<TextSpan> spans;
        const char* data = text.data();
        const size_t size = text.size();
        for (size_t p = 0; p < size; ++p) {
            for (const std::string& word : m_byFirst[static_cast<unsigned char>(data[p])]) {
                if (word.size() <= size - p && std::memcmp(data + p, word.data(), word.size()) == 0) {
                    const size_t end = p + word.size();
                    if (!spans.empty() && p <= spans.back().end) {
                        spans.back().end = std::max(spans.back().end, end);
                    } else {
                        spans.push_back({p, end});
                    }
                    break;  // the longest word starting here covers the shorter ones
                }
            }
        }
        return spans;
    }

private:
    std::array<std::vector<std::string>, 256> m_byFirst;
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

CEvidenceList::CEvidenceList(const CInteractionStore& store, std::string name, std::vector<int> records)
    : m_store(&store),
      m_revision(store.GetRecordRevision()),
      m_name(std::move(name)),
      m_records(std::move(records)),
      m_rows(m_records.size()) {}

const EvidenceRow* CEvidenceList::Row(size_t i) const {
    if (i >= m_records.size() || !m_store || m_store->GetRecordRevision() != m_revision) {
        return nullptr;
    }
    if (!m_rows[i]) {
        const int at = m_records[i];
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
