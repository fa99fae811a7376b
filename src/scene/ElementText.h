#pragma once

#include <string>

#include "MoleculeRecord.h"

class CGraphLookup;
class CInteractionStore;
struct InteractionRecord;

// The texts the two result panes show for a clicked element.

// " ) bind to ( " and the other phrases between a relation's two members;
// empty for a kind outside 0..10.
const char* RelationPhrase(int kind);

// " Circle:%d Node:%d ", with one blank before and after.
std::string PositionSuffix(int circle, int index);

// A molecule: its name and position suffix. A relation node with both
// members: "( " left " phrase " right " )" and its own suffix, each member
// described the same way (so relations nest). A name no element bears gets
// the suffix of (-1, -1); a relation node with a missing member, or one
// that would describe itself inside its own description, reads like a
// molecule.
std::string DescribeElement(CGraphLookup& lookup, const std::string& name);

// "%s : %s ( PMID : %s )" with the record's id, source and prep1.
std::string FormatSourceLine(const InteractionRecord& record);

// The source line of a relation node: the interaction built into the node
// at `position`, the one the curator reviews. Without such a record (or a
// position), the first interaction that has `name` as a member. Empty when
// neither finds a record.
std::string DescribeSource(const CInteractionStore& store, const std::string& name,
                           NodePos position = NodePos{-1, -1});
