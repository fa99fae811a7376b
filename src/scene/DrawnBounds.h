#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include <Inventor/SbBox3f.h>

#include "FrameSlices.h"

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
    // Walks what changed of `root` until `deadline`, in runs of its units
    // (see CFrameUnits), carrying on where the last call stopped. True
    // once the box is found: Of then walks nothing.
    bool WalkUntil(SoNode* root, std::chrono::steady_clock::time_point deadline);

private:
    struct Part {
        uint32_t id;
        SbBox3f box;
    };
    // Walks one part; true once its box is found.
    bool WalkPart(size_t part, SoNode* node, uint32_t id, std::chrono::steady_clock::time_point deadline);
    void Forget();

    const SoNode* m_pRoot = nullptr;
    bool m_bByParts = false;
    bool m_bStale = false;  // a part's box changed since m_box was put together
    std::vector<Part> m_parts;
    SbBox3f m_box;
    // The part being walked: which, its node as it was then, how far.
    struct Walk {
        size_t part = 0;
        const SoNode* node = nullptr;
        uint32_t id = 0;
        CFrameUnits units;
        size_t done = 0;
        SbBox3f box;
    } m_walk;
};
