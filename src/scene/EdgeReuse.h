#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbName.h>
#include <Inventor/SbVec3f.h>

#include "CoinPtr.h"

class CEdgeMaterialPool;
class SoGroup;
class SoMaterial;
class SoNode;
class SoTransform;

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

    // An old edge group equal to what `look` builds, each taken once; null
    // when there is none.
    SoNode* Take(const EdgeLook& look);
    // Where materials of new edges may come from (null: made new).
    CEdgeMaterialPool* Pool() const { return m_pool; }

private:
    bool Matches(SoNode* edge, const EdgeLook& look);

    CEdgeMaterialPool* m_pool;
    std::vector<CoinPtr<SoNode>> m_old;
    std::vector<bool> m_taken;
    std::unordered_multimap<std::string, size_t> m_byCone;
    CoinPtr<SoTransform> m_aim;
    CoinPtr<SoTransform> m_turn;
};

// Materials of edges an edit dropped, kept for the edges it builds. Every
// edge material of a kind bears one name (some 18,000 nodes at 100k
// interactions), and a dying node leaves its name's list in Coin by a
// search along it: a kept node never dies and is never named again. A
// waiting node keeps its name, so walks over the nodes of a name skip
// what IsWaiting reports.
class CEdgeMaterialPool {
public:
    CEdgeMaterialPool();
    ~CEdgeMaterialPool();
    CEdgeMaterialPool(const CEdgeMaterialPool&) = delete;
    CEdgeMaterialPool& operator=(const CEdgeMaterialPool&) = delete;

    // Keeps the material of an edge group that leaves the scene.
    void Keep(SoNode* edge);
    // A material named `name` whose fields are as a new one's, or null.
    CoinPtr<SoMaterial> Take(const SbName& name);

    // Whether `node` waits in some pool.
    static bool IsWaiting(const SoNode* node);

private:
    std::unordered_map<const char*, std::vector<CoinPtr<SoMaterial>>> m_byName;
    CoinPtr<SoMaterial> m_fresh;
};
