#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Dictionary2.h"
#include "InteractionRecord.h"
#include "InteractionSet.h"
#include "NameSlots.h"

// The document's interaction data: the relation rows copied into memory
// with normalised members, the special tokens of the member names, and
// both recordsets. Look-ups give the first match in index order.
class CInteractionStore {
public:
    static constexpr const char* kDefaultConnect = "DSN=InteractionDB";

    // An empty connection string opens nothing (records filled by hand).
    explicit CInteractionStore(const std::string& connect = kDefaultConnect);
    virtual ~CInteractionStore() = default;

    int CountInteractionRows();
    // Reloads the whole table; on a database failure the array is empty and
    // GetDataError() holds the driver's diagnostic.
    bool LoadInteractions();
    // Rows of the last load whose member names held line breaks (now "_").
    int GetLineBreakRepairs() const { return m_nLineBreakRepairs; }
    void NormaliseMembers(int i);
    int FindInteraction(const std::string& id) const;
    int FindInteractionByMembers(const std::string& a, const std::string& b) const;
    void CollectSpecialTokens();
    // The dictionary is connected to on first use, never read whole. A
    // command that needs it calls OpenDictionary first: false with
    // GetDataError() when DIc cannot be read. A failed look-up gives an empty
    // text and sets GetDataError().
    bool OpenDictionary();
    std::string LookUpKeyword(const std::string& keyword);

    // The token list grows only through these two, which keep its set right.
    bool HasSpecialToken(const std::string& token) const { return m_specialTokenSet.count(token) != 0; }
    void AddSpecialToken(const std::string& token);

    // Trades what a load fills (records, special tokens, repairs, the
    // last error) with another store: a load into a second store can be
    // put in place, or taken back, at once.
    void SwapLoadedData(CInteractionStore& other);
    // Both recordsets read from this source from their next open on.
    void SetConnect(const std::string& connect);

    // Call after changing a record's id or members in place.
    void InvalidateInteractionIndex() {
        m_idIndexValid = m_memberIndexValid = false;
        ++m_nRecordRevision;
    }
    // Raised by every load and every call above, so that indexes kept
    // elsewhere over the records know when to read them again.
    std::uint64_t GetRecordRevision() const { return m_nRecordRevision; }

    const std::string& GetDataError() const { return m_strDataError; }
    void ReportDataError(const std::string& error) { m_strDataError = error; }

    int m_nInteractions = 0;
    std::vector<InteractionRecord> m_pInteractions;
    std::vector<std::string> m_lstSpecialTokens;
    CInteractionSet m_setInteraction;
    CDictionary2 m_setDictionary;

private:
    struct IdKey {
        std::string_view text;
        std::uint32_t hash = 0;
    };
    IdKey IdKeyOf(size_t i) const;
    void BuildIdIndex() const;
    // Indexes the records by these ids, ids[i] being record i's.
    void IndexIds(const std::vector<IdKey>& ids) const;
    void BuildMemberIndex() const;

    std::string m_strDataError;
    int m_nLineBreakRepairs = 0;
    std::uint64_t m_nRecordRevision = 0;
    std::unordered_set<std::string> m_specialTokenSet;

    // First index per id, per ordered member pair and per member on either
    // side; each built on first use after a load.
    mutable bool m_idIndexValid = false;
    mutable bool m_memberIndexValid = false;
    // Record indexes by id; the ids are read from the records themselves.
    mutable CNameSlots m_firstById;
    mutable std::unordered_map<std::string, int> m_firstByPair;
    mutable std::unordered_map<std::string, int> m_firstByMember;
};
