#pragma once

#include <cstddef>
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

// The rows for the sphere bearing `name`: every record naming it as a
// member, or for a relation node the record it was built from.
std::vector<EvidenceRow> CollectEvidence(const CInteractionStore& store, const CNode* graph, CEvidenceIndex& index,
                                         const std::string& name);

// The names of the spheres an interaction stands for: its members and, once
// built, its relation node.
std::vector<std::string> InteractionSphereNames(const CInteractionStore& store, const CNode* graph, int record);
