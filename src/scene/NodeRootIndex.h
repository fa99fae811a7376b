#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CoinPtr.h"

class SoNode;
class SoNodeSensor;
class SoPath;
class SoSelection;
class SoSensor;
class SoSeparator;

// The named nodes under a representation's node root: the first node of
// each name in depth-first order (what a search by name from the node root
// finds) and, for each node, the path from the selection node to it (what
// the selection node's own search for a node finds). Built on first use;
// built again after a child is added or removed anywhere below the node
// root and after any scene node was named or let go.
//
// Paths are kept as child indices, not as SoPath objects: Coin makes every
// child list along a live path watch it, and thousands of watchers would
// slow down every later path made through the same lists.
class CNodeRootIndex {
public:
    CNodeRootIndex();
    ~CNodeRootIndex();
    CNodeRootIndex(const CNodeRootIndex&) = delete;
    CNodeRootIndex& operator=(const CNodeRootIndex&) = delete;

    // Indexes `nodeRoot`, a child of `selection`, from now on.
    void Attach(SoSelection* selection, SoSeparator* nodeRoot);
    void Invalidate() { m_fresh = false; }

    // The first node named `name` under the node root, or null.
    SoNode* FirstNamed(const std::string& name);
    // A new path from the selection node to `node`, or null when `node` is
    // not below the node root.
    CoinPtr<SoPath> PathTo(const SoNode* node);

private:
    void Refresh();
    void Build();
    static void Changed(void* data, SoSensor* sensor);

    SoSelection* m_pSelection = nullptr;
    SoSeparator* m_pNodeRoot = nullptr;
    std::unique_ptr<SoNodeSensor> m_pSensor;
    bool m_fresh = false;
    unsigned long m_epoch = 0;
    std::unordered_map<std::string, SoNode*> m_firstByName;
    // Child indices from the selection node down to the node.
    std::unordered_map<const SoNode*, std::vector<int>> m_paths;
};
