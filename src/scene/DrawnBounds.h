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
    // again only where it changed. Of a group of a few separators and
    // cameras, such as a scene's root, only the separators changed since
    // are walked again (a click recolours molecules, not the edges); of
    // any other node, the whole when it changed.
    const SbBox3f& Of(SoNode* root);

private:
    struct Part {
        uint32_t id;
        SbBox3f box;
    };
    const SoNode* m_pRoot = nullptr;
    uint32_t m_rootId = 0;
    std::vector<Part> m_parts;
    SbBox3f m_box;
};
