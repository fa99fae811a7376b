#pragma once

#include "MoleculeRecord.h"
#include "StableLists.h"

// One numbered circle of the graph and the nodes it holds. A circle
// starts on a cache line whose first bytes hold its numbers, its node
// count and where its first nodes are: the builds reach circles at random,
// and one line answers most of what they ask.
class alignas(64) CCircleData {
public:
    // Numbers the node one past the largest number present, appends a copy
    // and returns the number.
    int AddMolecule(MoleculeRecord m);

    int CircleNum = 0;
    int circle_type = 0;  // 0 molecule/undirected, 1 covalent modification, 2 other directed
    int base_circle = 0;  // the circle this one was grown from
    int mod_circle = 0;   // modification partner, 0 = none
    int interact = 0;     // circle collecting relation nodes leaving this one, 0 = none
    // Appends keep addresses; the first node lives in the circle itself.
    SmallBlockList<MoleculeRecord> m_lstMolecules;
};
