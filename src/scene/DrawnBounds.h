#pragma once

#include <cstdint>
#include <vector>

#include <Inventor/SbBox3f.h>

class SoNode;

// The box around what a scene draws, for the clipping planes of its
// frames, found without the bounding-box action: that leaves a cache in
// every separator and shape it visits and a glyph cache in every text,
// which at 100,000 interactions came to hundreds of megabytes. A
// screen-aligned text adds its anchor point alone: its pixels are drawn at
// the anchor's depth, and its extent on the screen is no matter of depth.
class CDrawnBounds {
public:
    // The box of what `root` draws (empty when it draws nothing), walked
    // again only when a child of `root` other than a camera changed.
    const SbBox3f& Of(SoNode* root);

private:
    const SoNode* m_pRoot = nullptr;
    std::vector<uint32_t> m_childIds;
    SbBox3f m_box;
};
