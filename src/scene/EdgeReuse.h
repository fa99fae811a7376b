#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbName.h>
#include <Inventor/SbRotation.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/nodes/SoNode.h>

#include "CoinPtr.h"
#include "MoleculeRecord.h"

class CEdgeMaterialPool;
class SoCone;
class SoGroup;
class SoMaterial;
class SoNode;
class SoTransform;

// `node` when it is of type T itself, not derived from it; else null.
template <class T>
T* Exactly(SoNode* node) {
    return node && node->getTypeId() == T::getClassTypeId() ? static_cast<T*>(node) : nullptr;
}

// The pitch of every edge's second transform, turning the cone's axis.
const SbRotation& ConeTurn();
// Whether two transforms' fields hold the same values, set or not alike.
bool SameTransform(const SoTransform* have, const SoTransform* want);
// The molecules an edge's cone name ("E_%d:%d-%d:%d") names; false for
// any other name.
bool EdgeConeEnds(const std::string& coneName, NodePos& from, NodePos& to);

// What one edge group would be built with.
struct EdgeLook {
    SbVec3f from, to;
    std::string coneName;
    std::string materialName;
    SbColor color;
    std::optional<float> transparency;
    float radius = 0.0f;
    float height = 0.0f;
};

// The edge groups of a circle's old edge group that a rebuild would make
// again field for field: a rebuilt circle takes those over and builds only
// the edges that changed (a deletion changes a few edges of a large
// circle). An edge whose look the highlighting changed is built anew, as
// a rebuild gives it its own colours.
class CEdgeReuse {
public:
    // Children first .. first + count - 1 of `old` (count -1: to the end).
    // The materials of edges not taken go to `pool`, when there is one.
    explicit CEdgeReuse(SoGroup* old, CEdgeMaterialPool* pool = nullptr, int first = 0, int count = -1);
    ~CEdgeReuse();
    CEdgeReuse(const CEdgeReuse&) = delete;
    CEdgeReuse& operator=(const CEdgeReuse&) = delete;

    // An old edge group equal to what `look` builds, each taken once, or
    // else one from the pool made equal to it; null when there is none.
    SoNode* Take(const EdgeLook& look);
    // Where materials of new edges may come from (null: made new).
    CEdgeMaterialPool* Pool() const { return m_pool; }

private:
    bool Matches(SoNode* edge, const EdgeLook& look);

    CEdgeMaterialPool* m_pool;
    std::vector<CoinPtr<SoNode>> m_old;
    std::vector<bool> m_taken;
    std::unordered_multimap<std::string, size_t> m_byCone;
    // Edge groups from the pool, held until their new group holds them.
    std::vector<CoinPtr<SoNode>> m_fromPool;
    CoinPtr<SoTransform> m_aim;
};

// Edge groups and materials of edges an edit dropped, kept for the edges
// it or the next edit builds (a deletion drops a node's edges, its undo
// builds them again). Every edge material of a kind bears one name (some
// 18,000 nodes at 100k interactions), and a dying node leaves its name's
// list in Coin by a search along it: a kept material never dies and is
// never named again. A waiting material keeps its name, so walks over the
// nodes of a name skip what IsWaiting reports; a waiting edge's cone
// loses its name. A whole edge group is kept while few wait: making one
// over costs a fraction of destroying one and building it anew.
class CEdgeMaterialPool {
public:
    CEdgeMaterialPool();
    ~CEdgeMaterialPool();
    CEdgeMaterialPool(const CEdgeMaterialPool&) = delete;
    CEdgeMaterialPool& operator=(const CEdgeMaterialPool&) = delete;

    // Keeps an edge group that leaves the scene, or its material.
    void Keep(SoNode* edge);
    // A material named `name` whose fields are as a new one's, or null.
    CoinPtr<SoMaterial> Take(const SbName& name);
    // A kept edge group made equal to what `look` builds, or null.
    CoinPtr<SoNode> TakeEdge(const EdgeLook& look);

    // Whether `node` waits in some pool.
    static bool IsWaiting(const SoNode* node);

private:
    // A waiting material with the fields of a new one again, or false.
    bool MakeFresh(SoMaterial* material);

    std::unordered_map<const char*, std::vector<CoinPtr<SoMaterial>>> m_byName;
    std::unordered_map<const char*, std::vector<CoinPtr<SoNode>>> m_edgesByName;
    CoinPtr<SoMaterial> m_fresh;
    CoinPtr<SoTransform> m_freshTransform;
    CoinPtr<SoCone> m_freshCone;
};
