#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbVec3f.h>

#include "CoinPtr.h"

class SoGroup;
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
    explicit CEdgeReuse(SoGroup* old);
    ~CEdgeReuse();
    CEdgeReuse(const CEdgeReuse&) = delete;
    CEdgeReuse& operator=(const CEdgeReuse&) = delete;

    // An old edge group equal to what `look` builds, each taken once; null
    // when there is none.
    SoNode* Take(const EdgeLook& look);

private:
    bool Matches(SoNode* edge, const EdgeLook& look);

    std::vector<CoinPtr<SoNode>> m_old;
    std::vector<bool> m_taken;
    std::unordered_multimap<std::string, size_t> m_byCone;
    CoinPtr<SoTransform> m_aim;
    CoinPtr<SoTransform> m_turn;
};
