#include "ReviewEngine.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "EditJournal.h"
#include "GraphLookup.h"
#include "InteractionStore.h"
#include "Node.h"
#include "SelectNames.h"
#include "UserPrompt.h"

namespace {

const std::vector<std::string> kCoordinationMarkers = {"_and_", "_or_", ",", "_but_"};
const std::vector<std::string> kProcessWords = {
    "binding",     "stimulation",   "inhibition", "induction",  "phosphorylation", "acetylation",
    "deacetylation", "methylation", "demethylation", "expression", "transcription", "translation"};
const std::vector<std::string> kEntityWords = {"protein", "gene", "drug", "DNA", "RNA"};
const std::vector<std::string> kLocationWords = {"extracellular", "cell wall", "mitochondrial", "golgi",
                                                 "neculear",      "membrane",  "ER",            "peroxisomal",
                                                 "vesicles",      "cytoplasmic", "vacuolar",    "cytoskeleton"};

constexpr int kUndecided = -1;

bool Contains(const std::string& text, const std::string& word) { return text.find(word) != std::string::npos; }

bool InList(const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

// A word list prepared once per walk for "does the text contain any of the
// words": one pass over the text, trying at each position only the words
// that begin with the two characters found there, instead of one search of
// the whole text per word. A bit per character pair rules out most
// positions at once. Which word matches does not matter to the callers,
// only whether one does.
class WordSearch {
public:
    explicit WordSearch(const std::vector<std::string>& words) : m_words(words) {
        if (words.size() > 64) {
            return;  // more than the masks hold: one search per word
        }
        m_byPair.assign(1 << 16, 0);
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w.size() < 2) {
                m_short.push_back(i);
                continue;
            }
            const size_t pair = Pair(w[0], w[1]);
            m_byPair[pair] |= uint64_t{1} << i;
            m_pairs[pair >> 6] |= uint64_t{1} << (pair & 63);
        }
    }
    size_t size() const { return m_words.size(); }
    // Whether `text` contains word i.
    bool In(const std::string& text, size_t i) const { return Contains(text, m_words[i]); }
    // Whether `text` contains any of the words.
    bool AnyIn(const std::string& text) const {
        if (m_byPair.empty()) {
            for (const std::string& w : m_words) {
                if (Contains(text, w)) {
                    return true;
                }
            }
            return false;
        }
        for (size_t i : m_short) {
            if (Contains(text, m_words[i])) {
                return true;
            }
        }
        const size_t n = text.size();
        for (size_t p = 0; p + 1 < n; ++p) {
            const size_t pair = Pair(text[p], text[p + 1]);
            if ((m_pairs[pair >> 6] >> (pair & 63) & 1) == 0) {
                continue;
            }
            for (uint64_t mask = m_byPair[pair]; mask != 0; mask &= mask - 1) {
                const std::string& w = m_words[static_cast<size_t>(__builtin_ctzll(mask))];
                if (w.size() <= n - p && text.compare(p, w.size(), w) == 0) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    static size_t Pair(char a, char b) {
        return static_cast<size_t>(static_cast<unsigned char>(a)) << 8 | static_cast<unsigned char>(b);
    }

    const std::vector<std::string>& m_words;
    std::vector<uint64_t> m_byPair;  // per leading character pair, the words starting with it
    std::vector<size_t> m_short;     // words shorter than a pair
    uint64_t m_pairs[1024] = {};     // one bit per pair that starts a word: the scan tests only these
};

std::string WithoutUnderscores(std::string word) {
    word.erase(std::remove(word.begin(), word.end(), '_'), word.end());
    return word;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t from = 0;
    for (;;) {
        const size_t to = text.find('_', from);
        words.push_back(text.substr(from, to == std::string::npos ? std::string::npos : to - from));
        if (to == std::string::npos) {
            return words;
        }
        from = to + 1;
    }
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace

// The per-hit id messages of one walk. The curator may leave the series:
// the walk then goes on and the remaining ids come in one list at its end.
class CReviewEngine::IdMessages {
public:
    IdMessages(IUserPrompt& prompt, bool enabled) : m_prompt(prompt), m_enabled(enabled) {}
    IdMessages(const IdMessages&) = delete;
    IdMessages& operator=(const IdMessages&) = delete;

    void Show(const std::string& id) {
        if (!m_enabled) {
            return;
        }
        if (m_collecting) {
            m_rest.push_back(id);
        } else if (m_prompt.ShowSeriesMessage(id)) {
            m_collecting = true;
        }
    }

    // The walk is over: the ids held back, in one list.
    void Finish() {
        if (!m_rest.empty()) {
            char text[64];
            std::snprintf(text, sizeof text, "%d more", static_cast<int>(m_rest.size()));
            m_prompt.ShowMessageWithDetails(text, Joined(m_rest));
            m_rest.clear();
        }
    }

private:
    IUserPrompt& m_prompt;
    bool m_enabled;
    bool m_collecting = false;
    std::vector<std::string> m_rest;
};

CReviewEngine::CReviewEngine(CInteractionStore& data, CNode* graph, const ReviewTargets& targets,
                             IUserPrompt& prompt, ReviewSession& session)
    : m_data(data), m_graph(graph), m_targets(targets), m_prompt(prompt), m_session(session) {}

bool CReviewEngine::HasRelationNode(const InteractionRecord& record) const {
    return m_graph && record.built != 0 && record.nodeCircle > 0;
}

MoleculeRecord* CReviewEngine::RelationNodeOf(const InteractionRecord& record) const {
    if (!HasRelationNode(record)) {
        return nullptr;
    }
    return m_graph->GetMolecule(record.nodeCircle, record.nodeIndex);
}

bool CReviewEngine::AskSetAllOk() { return m_prompt.Ask(kSetAllOkQuestion, false) == IUserPrompt::Answer::Yes; }

void CReviewEngine::SetState(MoleculeRecord& node, int circle, int index, int state, const std::string* id) {
    const int before = node.state;
    node.state = state;
    auto key = [](int c, int i) { return static_cast<long long>(c) << 32 | static_cast<unsigned>(i); };
    if (!id) {
        if (m_recordAt.empty()) {
            for (int r = m_data.m_nInteractions - 1; r >= 0; --r) {  // the first record wins
                const InteractionRecord& rec = m_data.m_pInteractions[static_cast<size_t>(r)];
                if (rec.built != 0 && rec.nodeCircle > 0) {
                    m_recordAt[key(rec.nodeCircle, rec.nodeIndex)] = r;
                }
            }
        }
        auto it = m_recordAt.find(key(circle, index));
        // A relation node of no interaction record has nothing to keep.
        if (it != m_recordAt.end()) {
            id = &m_data.m_pInteractions[static_cast<size_t>(it->second)].id;
        }
    }
    // A command run within an edit history can be taken back.
    if (CEditJournal* journal = m_graph->GetJournal()) {
        journal->NoteReviewState({circle, index}, before, state, id ? *id : std::string());
    }
    if (id) {
        m_verdicts.emplace_back(*id, state);
    }
}

void CReviewEngine::Handle(CSelectNames& names, const InteractionRecord& record, MoleculeRecord& node, bool setOk,
                           IdMessages& ids) {
    names.AddElementNames(record.nodeCircle, record.nodeIndex, -1, 1);
    if (setOk) {
        SetState(node, record.nodeCircle, record.nodeIndex, 0, &record.id);
    }
    if (m_pHandled) {
        m_pHandled->push_back(record.id);
    }
    ids.Show(record.id);
}

void CReviewEngine::SelectListed(ISelectNamesTarget& target) {
    const std::vector<std::string> missing = target.SelectListedNamesQuietly();
    if (!missing.empty()) {
        m_prompt.ShowMessageWithDetails(kNoSuchName, Joined(missing));
    }
}

bool CReviewEngine::GoOn(ReviewProgress::Over over, size_t done, size_t total, bool cancellable) const {
    if (!m_progress || done % kReportEvery != 0) {
        return true;
    }
    if (!m_progress({over, done, total, cancellable}) && cancellable) {
        m_bCancelled = true;
    }
    return !(m_bCancelled && cancellable);
}

CSelectNames* CReviewEngine::BeginMarking(ISelectNamesTarget* target, bool ask, bool& yes) {
    yes = false;
    if (!target || m_bCancelled) {
        return nullptr;
    }
    CSelectNames& names = target->SelectNames();
    names.Clear();
    yes = ask && AskSetAllOk();
    return &names;
}

int CReviewEngine::ReviewMemberMarkers(ReviewRep rep, const std::vector<std::string>& words, int mode) {
    ISelectNamesTarget* target = Target(rep);
    bool yes;
    CSelectNames* names = BeginMarking(target, true, yes);
    if (!names) {
        return 0;
    }
    // Mode 3 on the box marks the member molecules by name, built or not.
    const bool byName = mode == 3 && rep == ReviewRep::Box;
    const bool setsState = mode != 3;
    IdMessages ids(m_prompt, mode == 1 || (mode == 3 && !byName));
    // By name in the graph the box representation shows.
    CGraphLookup lookup(names->Graph());
    const WordSearch search(words);
    int hits = 0;
    const size_t total = static_cast<size_t>(std::max(m_data.m_nInteractions, 0));
    CSelectNames::Walk walk(*names);
    for (int r = 0; r < m_data.m_nInteractions; ++r) {
        if (!GoOn(ReviewProgress::Over::Interactions, static_cast<size_t>(r), total, !(setsState && yes))) {
            names->Clear();  // stopped: nothing marked, nothing selected
            return 0;
        }
        const InteractionRecord& record = m_data.m_pInteractions[static_cast<size_t>(r)];
        // The words first: the node itself is fetched for hits only.
        if (!HasRelationNode(record) && !byName) {
            continue;
        }
        const std::string& m1 = record.member1;
        const std::string& m2 = record.member2;
        // The first word that passes decides; the further conditions do
        // not depend on the word, so they are tested once, after a word is in.
        bool passes = false;
        switch (mode) {
        case 0:
            passes = search.AnyIn(m1) || search.AnyIn(m2);
            break;
        case 1:
            passes = (search.AnyIn(m1) || search.AnyIn(m2)) && !Contains(m1, "and") && !Contains(m1, "or") &&
                     !Contains(m2, "and") && !Contains(m2, "or");
            break;
        case 3:
            passes = (search.AnyIn(m1) || search.AnyIn(m2)) && (IsMixedCoordination(m1) || IsMixedCoordination(m2));
            break;
        default:
            passes = search.AnyIn(m2);
            break;
        }
        if (!passes) {
            continue;
        }
        if (byName) {
            for (const std::string* member : {&m1, &m2}) {
                NodePos at;
                if (lookup.Find(*member, at) && at.circle > 0) {
                    names->AddElementNames(at.circle, at.index, -1, 1);
                    ++hits;
                    if (m_pHandled) {
                        m_pHandled->push_back("molecule " + *member);
                    }
                }
            }
            continue;
        }
        MoleculeRecord* node = RelationNodeOf(record);
        if (!node) {
            continue;
        }
        Handle(*names, record, *node, setsState && yes, ids);
        ++hits;
    }
    walk.End();
    ids.Finish();
    SelectListed(*target);
    return hits;
}

int CReviewEngine::ReviewSentenceMarkers(ReviewRep rep, const std::vector<std::string>& words, int mode) {
    ISelectNamesTarget* target = Target(rep);
    bool yes;
    CSelectNames* names = BeginMarking(target, true, yes);
    if (!names) {
        return 0;
    }
    IdMessages ids(m_prompt, mode != 0);
    const WordSearch search(words);
    // The verb groups: words 0-2 Bind, 3-5 Stimulation, 6-8 Inhibition, 9
    // Covalent modification.
    struct Group {
        size_t first, last;
        int kind;
    };
    static constexpr Group kGroups[] = {{0, 3, 0}, {3, 6, 2}, {6, 9, 3}, {9, 10, 6}};
    int hits = 0;
    const size_t total = static_cast<size_t>(std::max(m_data.m_nInteractions, 0));
    CSelectNames::Walk walk(*names);
    for (int r = 0; r < m_data.m_nInteractions; ++r) {
        if (!GoOn(ReviewProgress::Over::Interactions, static_cast<size_t>(r), total, !(mode != 2 && yes))) {
            names->Clear();
            return 0;
        }
        const InteractionRecord& record = m_data.m_pInteractions[static_cast<size_t>(r)];
        if (!HasRelationNode(record)) {
            continue;
        }
        const std::string& m1 = record.member1;
        const std::string& m2 = record.member2;
        const std::string& s = record.source;
        bool handled = false;
        if (mode == 0) {
            for (const Group& g : kGroups) {
                int found = 0;
                for (size_t w = g.first; w < g.last && w < search.size(); ++w) {
                    found += search.In(s, w) ? 1 : 0;
                }
                if (found > 1 || (found == 1 && record.kind != g.kind)) {
                    handled = true;
                    break;
                }
            }
        } else if (mode == 2) {
            handled = (search.AnyIn(m1) || search.AnyIn(m2)) && !Contains(m1, "through") &&
                      !Contains(m1, "between") && !Contains(m2, "through") && !Contains(m2, "between") &&
                      !IsMixedCoordination(m1) && !IsMixedCoordination(m2);
        } else {
            handled = search.AnyIn(s);
        }
        MoleculeRecord* node = handled ? RelationNodeOf(record) : nullptr;
        if (node) {
            Handle(*names, record, *node, mode != 2 && yes, ids);
            ++hits;
        }
    }
    walk.End();
    ids.Finish();
    SelectListed(*target);
    return hits;
}

std::string CReviewEngine::LookUpKeyword(const std::string& word) {
    const std::string key = WithoutUnderscores(word);
    auto it = m_keywords.find(key);
    if (it != m_keywords.end()) {
        return it->second;
    }
    // A dictionary that cannot be opened is said once; from then on every
    // word is unknown, without trying again.
    if (!m_bDictionaryFailed && !m_data.m_setDictionary.IsOpen() &&
        (m_session.dictionaryFailureReported || !m_data.m_setDictionary.Open())) {
        m_bDictionaryFailed = true;
        if (!m_session.dictionaryFailureReported) {
            m_session.dictionaryFailureReported = true;
            m_prompt.ShowMessageWithDetails(
                "The keyword dictionary could not be opened; words are looked up as unknown.",
                m_data.m_setDictionary.GetLastError());
        }
    }
    std::string pos;
    if (!m_bDictionaryFailed) {
        ++m_nDictionaryQueries;
        pos = m_data.LookUpKeyword(key);
    }
    m_keywords.emplace(key, pos);
    return pos;
}

int CReviewEngine::WalkCategory(const std::vector<std::string>& words, std::string& pos) {
    for (const std::string& raw : words) {
        const std::string word = WithoutUnderscores(raw);
        if (InList(kProcessWords, word)) {
            return 1;
        }
        if (InList(kEntityWords, word)) {
            return 0;
        }
        if (InList(kLocationWords, word)) {
            return 2;
        }
        pos = LookUpKeyword(word);
        if (pos.empty()) {
            return 0;
        }
        if (Contains(pos, "N")) {
            return 3;
        }
    }
    return kUndecided;
}

bool CReviewEngine::IsMixedCoordination(std::string phrase) {
    for (const std::string& marker : kCoordinationMarkers) {
        const size_t p = phrase.find(marker);
        if (p == std::string::npos) {
            continue;
        }
        const size_t e = p + marker.size();
        // Left neighbour: after the last "_" before p - 1, up to p.
        const size_t cut = p >= 2 ? phrase.rfind('_', p - 2) : std::string::npos;
        const size_t leftStart = cut == std::string::npos ? 0 : cut + 1;
        const std::string left = phrase.substr(leftStart, p - leftStart);
        // Right neighbour: from e up to the next "_" at or after e + 1.
        const size_t rightEnd = phrase.find('_', e + 1);
        const std::string right =
            phrase.substr(e, rightEnd == std::string::npos ? std::string::npos : rightEnd - e);

        std::string posL = LookUpKeyword(left);
        std::string posR = LookUpKeyword(right);
        if (Contains(posR, "V") && !Contains(posL, "V")) {
            return true;
        }
        // The words on each side, nearest first.
        std::vector<std::string> leftWords{left};
        if (leftStart > 0) {
            std::vector<std::string> before = SplitWords(phrase.substr(0, leftStart - 1));
            leftWords.insert(leftWords.end(), before.rbegin(), before.rend());
        }
        std::vector<std::string> rightWords{right};
        if (rightEnd != std::string::npos) {
            std::vector<std::string> after = SplitWords(phrase.substr(rightEnd + 1));
            rightWords.insert(rightWords.end(), after.begin(), after.end());
        }
        const int leftCategory = WalkCategory(leftWords, posL);
        const int rightCategory = WalkCategory(rightWords, posR);
        if (leftCategory != rightCategory) {
            return true;
        }
        if (Contains(posL, "NNS") != Contains(posR, "NNS")) {
            return true;
        }
    }
    return false;
}

// Every node of every circle: a relation node never sits first in its
// circle, so a scan of the first nodes only would never meet one.
template <class Visit>
bool CReviewEngine::ForEachNode(Visit visit, bool cancellable) const {
    if (!m_graph) {
        return true;
    }
    auto width = [this](int c) {
        const CCircleData* circle = m_graph->GetCircle(c);
        return circle ? static_cast<int>(circle->m_lstMolecules.size()) : 0;
    };
    size_t total = 0;
    for (int c = 1; c < m_graph->m_circle_count; ++c) {
        total += static_cast<size_t>(width(c));
    }
    size_t done = 0;
    for (int c = 1; c < m_graph->m_circle_count; ++c) {
        for (int i = 0, n = width(c); i < n; ++i) {
            if (!GoOn(ReviewProgress::Over::Nodes, done++, total, cancellable)) {
                return false;
            }
            MoleculeRecord* node = m_graph->GetMolecule(c, i);
            if (node) {
                visit(c, i, *node);
            }
        }
    }
    return true;
}

template <class Visit>
bool CReviewEngine::ForEachRelationNode(Visit visit, bool cancellable) const {
    return ForEachNode(
        [&](int c, int i, MoleculeRecord& node) {
            if (node.size == 0) {
                visit(c, i, node);
            }
        },
        cancellable);
}

void CReviewEngine::OnAnnotateOk() {
    if (!m_targets.shown || !m_graph) {
        return;
    }
    const std::string name = m_targets.shown->GetCurrentName();
    if (name.empty()) {
        return;
    }
    // The first node of that name, relation nodes included wherever they
    // sit in their circle.
    MoleculeRecord* node = nullptr;
    NodePos at;
    ForEachNode(
        [&](int c, int i, MoleculeRecord& m) {
            if (!node && m.name == name) {
                node = &m;
                at = NodePos{c, i};
            }
        },
        false);
    if (!node || node->size != 0) {
        return;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "The current state is %d. Do you want to annotate the interaction as OK state?", node->state);
    switch (m_prompt.Ask(text, true)) {
    case IUserPrompt::Answer::Yes:
        SetState(*node, at.circle, at.index, 0);
        break;
    case IUserPrompt::Answer::No:
        SetState(*node, at.circle, at.index, -1);
        break;
    case IUserPrompt::Answer::Cancel:
        break;
    }
}

void CReviewEngine::OnSetAllOk() {
    ISelectNamesTarget* sphere = m_targets.sphere;
    bool yes;
    CSelectNames* names = BeginMarking(sphere, true, yes);
    if (!names) {
        return;
    }
    int total = 0;
    int simple = 0;
    auto words = [](const MoleculeRecord& m) { return std::count(m.name.begin(), m.name.end(), '_'); };
    CSelectNames::Walk walk(*names);
    const bool complete = ForEachRelationNode(
        [&](int c, int i, MoleculeRecord& node) {
            ++total;
            const MoleculeRecord* left = m_graph->GetMolecule(node.left.circle, node.left.index);
            const MoleculeRecord* right = m_graph->GetMolecule(node.right.circle, node.right.index);
            if (!left || !right || words(*left) > 1 || words(*right) > 1) {
                return;
            }
            names->AddElementNames(c, i, -1, 1);
            if (yes) {
                SetState(node, c, i, 0);
            }
            ++simple;
        },
        !yes);
    if (!complete) {
        names->Clear();
        return;
    }
    walk.End();
    SelectListed(*sphere);
    m_prompt.ShowMessage(std::to_string(simple) + "/" + std::to_string(total));
}

void CReviewEngine::OnShowNotOk() {
    ISelectNamesTarget* sphere = m_targets.sphere;
    bool yes;
    CSelectNames* names = BeginMarking(sphere, false, yes);
    if (!names) {
        return;
    }
    int count = 0;
    CSelectNames::Walk walk(*names);
    const bool complete = ForEachRelationNode(
        [&](int c, int i, MoleculeRecord& node) {
            if (node.state < 0) {
                names->AddElementNames(c, i, -1, 1);
                ++count;
            }
        },
        true);
    if (!complete) {
        names->Clear();
        return;
    }
    walk.End();
    SelectListed(*sphere);
    m_prompt.ShowMessage(std::to_string(count));
}

int CReviewEngine::CountOk() const {
    int count = 0;
    ForEachRelationNode([&](int, int, MoleculeRecord& node) { count += node.state >= 0 ? 1 : 0; }, true);
    return count;
}

int CReviewEngine::MarkMembersOfLists(ReviewRep rep, const std::vector<const std::vector<std::string>*>& lists) {
    ISelectNamesTarget* target = Target(rep);
    bool yes;
    CSelectNames* names = BeginMarking(target, false, yes);
    if (!names) {
        return 0;
    }
    IdMessages silent(m_prompt, false);
    std::vector<WordSearch> searches;
    searches.reserve(lists.size());
    for (const std::vector<std::string>* list : lists) {
        searches.emplace_back(*list);
    }
    int count = 0;
    const size_t total = static_cast<size_t>(std::max(m_data.m_nInteractions, 0));
    CSelectNames::Walk walk(*names);
    for (int r = 0; r < m_data.m_nInteractions; ++r) {
        if (!GoOn(ReviewProgress::Over::Interactions, static_cast<size_t>(r), total, true)) {
            names->Clear();
            return 0;
        }
        const InteractionRecord& record = m_data.m_pInteractions[static_cast<size_t>(r)];
        bool matched = false;
        for (const WordSearch& search : searches) {
            matched = search.AnyIn(record.member1) || search.AnyIn(record.member2);
            if (matched) {
                break;
            }
        }
        MoleculeRecord* node = matched ? RelationNodeOf(record) : nullptr;
        if (node) {
            Handle(*names, record, *node, false, silent);
            ++count;
        }
    }
    walk.End();
    SelectListed(*target);
    return count;
}
