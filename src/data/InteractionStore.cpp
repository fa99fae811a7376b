#include "InteractionStore.h"

#include <algorithm>

#include "MemberNames.h"

namespace {

std::string PairKey(const std::string& a, const std::string& b) {
    std::string key;
    key.reserve(a.size() + b.size() + 1);
    key += a;
    key += '\0';  // cannot occur inside a fetched text
    key += b;
    return key;
}

// The id of record k; nothing past the end, should the records have
// shrunk without the index being told.
struct RecordId {
    const std::vector<InteractionRecord>* records;
    std::string_view operator()(size_t k) const {
        return k < records->size() ? std::string_view((*records)[k].id) : std::string_view();
    }
};

int Lookup(const std::unordered_map<std::string, int>& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? -1 : it->second;
}

}  // namespace

CInteractionStore::CInteractionStore(const std::string& connect)
    : m_setInteraction(connect), m_setDictionary(connect) {}

bool CInteractionStore::OpenDictionary() {
    if (!m_setDictionary.Check()) {
        m_strDataError = m_setDictionary.GetLastError();
        return false;
    }
    return true;
}

std::string CInteractionStore::LookUpKeyword(const std::string& keyword) {
    std::string pos = m_setDictionary.LookUpKeyword(keyword);
    if (!m_setDictionary.GetLastError().empty()) {
        m_strDataError = m_setDictionary.GetLastError();
    }
    return pos;
}

int CInteractionStore::CountInteractionRows() {
    // The database counts: reading every row only to count them costs a
    // whole fetch.
    size_t rows = 0;
    return m_setInteraction.CountRows(rows) ? static_cast<int>(rows) : 0;
}

bool CInteractionStore::LoadInteractions() {
    m_pInteractions.clear();
    m_nInteractions = 0;
    m_nLineBreakRepairs = 0;
    InvalidateInteractionIndex();
    // The array mirrors the table at the time of each build: fetch afresh,
    // each row straight into its record, the texts held once.
    CInteractionSet& set = m_setInteraction;
    // Sized first: growing by doubling would copy the records and fault in
    // twice their memory.
    size_t rows = 0;
    bool fetched = set.CountRows(rows);
    if (fetched) {
        m_pInteractions.reserve(rows);
    }
    fetched = fetched && set.ReadEach(
        [this, &set] {
            InteractionRecord& r = m_pInteractions.emplace_back();
            // The next row overwrites the members, so their texts can be moved.
            r.id = std::move(set.m_rel_ID);
            r.kind = set.m_rel_kind;
            r.member1 = std::move(set.m_rel_mem1);
            r.member2 = std::move(set.m_rel_mem2);
            r.name = std::move(set.m_rel_name);
            r.prep1 = std::move(set.m_rel_prep1);
            r.remark = std::move(set.m_rel_rem);
            r.source = std::move(set.m_rel_source);
            r.state = 0;
            r.built = 0;
            // A line break in a name would split a line of the pathway file.
            const bool broken1 = ReplaceLineBreaks(r.member1);
            const bool broken2 = ReplaceLineBreaks(r.member2);
            m_nLineBreakRepairs += broken1 || broken2;
            NormaliseMemberNames(r.member1, r.member2, r.kind);
        },
        rows);
    if (!fetched) {
        m_pInteractions.clear();
        m_nLineBreakRepairs = 0;
        m_strDataError = set.GetLastError();
        return false;
    }
    m_nInteractions = static_cast<int>(m_pInteractions.size());
    return true;
}

void CInteractionStore::NormaliseMembers(int i) {
    InteractionRecord& r = m_pInteractions[i];
    NormaliseMemberNames(r.member1, r.member2, r.kind);
}

CInteractionStore::IdKey CInteractionStore::IdKeyOf(size_t i) const {
    const std::string& id = m_pInteractions[i].id;
    return IdKey{id, CNameSlots::Hash(id)};
}

void CInteractionStore::BuildIdIndex() const {
    std::vector<IdKey> ids(m_pInteractions.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        ids[i] = IdKeyOf(i);
    }
    IndexIds(ids);
}

void CInteractionStore::IndexIds(const std::vector<IdKey>& ids) const {
    // A flat table: no allocation per record, and look-ups read one slot.
    m_firstById.clear();
    m_firstById.reserve(m_pInteractions.size());
    const RecordId idOf{&m_pInteractions};
    // The ids are read in order, their slots lie anywhere: each slot is
    // asked for some records ahead of its insertion.
    constexpr size_t kAhead = 8;
    const size_t n = std::min(ids.size(), m_pInteractions.size());
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) {
            m_firstById.Prefetch(ids[i + kAhead].hash);
        }
        m_firstById.Insert(ids[i].text, ids[i].hash, i, idOf);  // an id present keeps its first record
    }
    m_idIndexValid = true;
}

void CInteractionStore::BuildMemberIndex() const {
    m_firstByPair.clear();
    m_firstByMember.clear();
    m_firstByPair.reserve(m_pInteractions.size());
    for (int i = 0; i < static_cast<int>(m_pInteractions.size()); ++i) {
        const InteractionRecord& r = m_pInteractions[i];
        m_firstByPair.emplace(PairKey(r.member1, r.member2), i);
        m_firstByMember.emplace(r.member1, i);
        m_firstByMember.emplace(r.member2, i);
    }
    m_memberIndexValid = true;
}

int CInteractionStore::FindInteraction(const std::string& id) const {
    if (!m_idIndexValid) {
        BuildIdIndex();
    }
    const size_t k = m_firstById.Find(id, RecordId{&m_pInteractions});
    return k == CNameSlots::npos ? -1 : static_cast<int>(k);
}

int CInteractionStore::FindInteractionByMembers(const std::string& a, const std::string& b) const {
    if (!m_memberIndexValid) {
        BuildMemberIndex();
    }
    if (b.empty()) {
        return Lookup(m_firstByMember, a);
    }
    int ab = Lookup(m_firstByPair, PairKey(a, b));
    int ba = Lookup(m_firstByPair, PairKey(b, a));
    if (ab < 0) {
        return ba;
    }
    return ba < 0 ? ab : std::min(ab, ba);
}

void CInteractionStore::AddSpecialToken(const std::string& token) {
    m_lstSpecialTokens.push_back(token);
    m_specialTokenSet.insert(token);
}

void CInteractionStore::CollectSpecialTokens() {
    // Characters in order, and for each the first then the second member,
    // as the list's order depends on it; one pass per member finds them.
    // The pass reads the ids for the id index on the way, which the build
    // after it would otherwise make with another pass over the records.
    std::vector<IdKey> ids;
    if (!m_idIndexValid) {
        ids.resize(m_pInteractions.size());
    }
    std::string token;
    size_t first1[26], first2[26];
    // Records are large and the pass reads little of each: it would wait
    // on every one, so the members of records ahead start loading, their
    // places first, then (once those are in) their texts.
    constexpr size_t kRecordsAhead = 16;
    constexpr size_t kTextsAhead = 8;
    const size_t n = m_pInteractions.size();
    for (size_t i = 0; i < n; ++i) {
        if (i + kRecordsAhead < n) {
            __builtin_prefetch(&m_pInteractions[i + kRecordsAhead].id);
            __builtin_prefetch(&m_pInteractions[i + kRecordsAhead].member1);
            __builtin_prefetch(&m_pInteractions[i + kRecordsAhead].member2);
        }
        if (i + kTextsAhead < n) {
            __builtin_prefetch(m_pInteractions[i + kTextsAhead].member1.data());
            __builtin_prefetch(m_pInteractions[i + kTextsAhead].member2.data());
        }
        const InteractionRecord& r = m_pInteractions[i];
        if (!ids.empty()) {
            ids[i] = IdKeyOf(i);
        }
        FirstSpecialPositions(r.member1, first1);
        FirstSpecialPositions(r.member2, first2);
        for (int c = 0; c < 26; ++c) {
            if (first1[c] != std::string::npos && TokenAround(r.member1, first1[c], token) &&
                !HasSpecialToken(token)) {
                AddSpecialToken(token);
            }
            if (first2[c] != std::string::npos && TokenAround(r.member2, first2[c], token) &&
                !HasSpecialToken(token)) {
                AddSpecialToken(token);
            }
        }
    }
    if (!ids.empty()) {
        IndexIds(ids);
    }
}

void CInteractionStore::SwapLoadedData(CInteractionStore& other) {
    std::swap(m_pInteractions, other.m_pInteractions);
    std::swap(m_nInteractions, other.m_nInteractions);
    std::swap(m_lstSpecialTokens, other.m_lstSpecialTokens);
    std::swap(m_specialTokenSet, other.m_specialTokenSet);
    std::swap(m_nLineBreakRepairs, other.m_nLineBreakRepairs);
    std::swap(m_strDataError, other.m_strDataError);
    // The id index holds record numbers only: it goes with its records.
    const bool idIndexValid = m_idIndexValid;
    const bool otherIdIndexValid = other.m_idIndexValid;
    InvalidateInteractionIndex();
    other.InvalidateInteractionIndex();
    std::swap(m_firstById, other.m_firstById);
    m_idIndexValid = otherIdIndexValid;
    other.m_idIndexValid = idIndexValid;
}

void CInteractionStore::SetConnect(const std::string& connect) {
    m_setInteraction.Close();
    m_setInteraction.SetConnect(connect);
    m_setDictionary.Close();
    m_setDictionary.SetConnect(connect);
}
