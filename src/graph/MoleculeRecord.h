#pragma once

#include <string>

// A node's place in the graph: circle number (from 1) and index in the circle.
struct NodePos {
    int circle = 0;
    int index = 0;
};

inline bool operator==(const NodePos& a, const NodePos& b) { return a.circle == b.circle && a.index == b.index; }

// One node: a molecule (size 1) or a relation node (size 0).
struct MoleculeRecord {
    int number = 0;         // index in the circle when the node was added
    std::string name;
    int size = 0;
    std::string links;      // outgoing: "circle index kind end" entries
    std::string backLinks;  // incoming: " circle index" pairs
    int state = -1;         // review state: 0 or more is OK
    int relation = 0;       // relation kind of a relation node
    float posX = 0.0f;      // plane position from the node-position file
    float posY = 0.0f;
    int level = 0;          // height in the box layout
    NodePos left;           // relation node: first member's position
    NodePos right;          // relation node: second member's position
    int linkCount = 0;      // repeated interactions counted on the molecule
};
