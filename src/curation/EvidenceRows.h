#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEvidenceIndex;
class CInteractionStore;
class CNode;

// A stretch of a text, in bytes: [begin, end).
struct TextSpan {
    size_t begin = 0;
    size_t end = 0;
};
inline bool operator==(const TextSpan& a, const TextSpan& b) { return a.begin == b.begin && a.end == b.end; }

// One interaction record as the evidence panel lists it.
struct EvidenceRow {
    int record = -1;  // index into the interaction array
    std::string id;
    std::string kind;   // the relation kind's name
    std::string other;  // the other member; both members for a relation node
    std::string sentence;
    std::vector<TextSpan> marks;  // marker words in the sentence, ordered, disjoint
    std::string pmid;
    bool pmidIsLink = false;
};

// Where the marker words that the sentence filters look for occur in
// `text` (exact, case-sensitive, as the filters compare); overlapping and
// touching hits are joined.
std::vector<TextSpan> FindMarkerSpans(const std::string& text);

// A publication identifier worth opening: digits only, blanks around them
// ignored. The address of its article page, or empty when it is none.
bool IsPubmedId(const std::string& pmid);
std::string PubmedUrl(const std::string& pmid);

// The rows of one sphere, each made when first asked for: a busy molecule
// is named by thousands of records and a view shows a screenful of them.
// Rows of records that changed since the list was made are not given.
class CEvidenceList {
public:
    CEvidenceList() = default;
    CEvidenceList(const CInteractionStore& store, std::string name, std::shared_ptr<const std::vector<int>> records);

    size_t size() const { return m_records ? m_records->size() : 0; }
    const EvidenceRow* Row(size_t i) const;

private:
    const CInteractionStore* m_store = nullptr;
    std::uint64_t m_revision = 0;
    std::string m_name;
    std::shared_ptr<const std::vector<int>> m_records;
    mutable std::vector<std::unique_ptr<EvidenceRow>> m_rows;  // grown as far as rows are asked for
};

// The evidence of the sphere bearing `name`: every record naming it as a
// member, or for a relation node the record it was built from.
CEvidenceList ListEvidence(const CInteractionStore& store, const CNode* graph, CEvidenceIndex& index,
                           const std::string& name);
// The same rows, all made at once.
std::vector<EvidenceRow> CollectEvidence(const CInteractionStore& store, const CNode* graph, CEvidenceIndex& index,
                                         const std::string& name);

// The names of the spheres an interaction stands for: its members and, once
// built, its relation node.
std::vector<std::string> InteractionSphereNames(const CInteractionStore& store, const CNode* graph, int record);
