#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CoinPtr.h"

class SoGroup;
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
// root and after a node that may be in a scene was renamed, except where
// the change went through ReplaceChild or Rename, which follow it in place.
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
    bool IsAttached() const { return m_pSelection && m_pNodeRoot; }
    void Invalidate() { m_fresh = false; }

    // The first node named `name` under the node root, or null.
    SoNode* FirstNamed(const std::string& name);
    // A new path from the selection node to `node`, or null when `node` is
    // not below the node root.
    CoinPtr<SoPath> PathTo(const SoNode* node);
    // Changes whenever FirstNamed may answer differently.
    unsigned long Stamp();

    // parent->replaceChild(old, replacement) below the node root (or the
    // node root itself as the parent).
    void ReplaceChild(SoGroup* parent, SoNode* old, SoNode* replacement);
    // Gives a node below the node root a new scene name.
    void Rename(SoNode* node, const std::string& name);
    // Nodes outside the node root were renamed since the naming epoch was
    // `epochBefore`: an index current then stays current.
    void NoteRenamedOutside(unsigned long epochBefore);

private:
    struct Place {
        std::vector<int> path;  // child indices from the selection node, the first in search order
        int count = 0;          // places the node stands in
    };
    struct Named {
        SoNode* first = nullptr;
        int count = 0;  // places of nodes bearing the name
    };

    bool IsCurrent() const;
    void Refresh();
    void Build();
    // Visits the named nodes at and below `top`, which stands at `path`,
    // as a search action walks them.
    template <class F>
    void Walk(SoNode* top, const std::vector<int>& path, F&& visit) const;
    void AddPlace(SoNode* node, const std::string& name, const std::vector<int>& path);
    void RemovePlace(SoNode* node, const std::string& name, const std::vector<int>& path);
    // Where `old`, a child of `parent`, stands; false when not known.
    bool PathOfChild(SoGroup* parent, SoNode* old, std::vector<int>& path) const;
    static void Changed(void* data, SoSensor* sensor);

    SoSelection* m_pSelection = nullptr;
    SoSeparator* m_pNodeRoot = nullptr;
    std::unique_ptr<SoNodeSensor> m_pSensor;
    bool m_fresh = false;
    bool m_bWriting = false;
    unsigned long m_epoch = 0;
    unsigned long m_generation = 0;
    std::unordered_map<std::string, Named> m_byName;
    std::unordered_map<const SoNode*, Place> m_places;
};
