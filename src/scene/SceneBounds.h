#pragma once

#include <memory>

class SbBox3f;
class SbViewportRegion;
class SoCamera;
class SoFont;
class SoGroup;
class SoSeparator;

// The box SoGetBoundingBoxAction finds for `root` with its bounds reset at
// `camera` (the root's first child, as viewAll sets it up), computed from
// the nodes' fields in the order and with the arithmetic of that action,
// but without its traversal state, bounding box caches or per-label glyph
// caches: on a scene of a million nodes that walk costs as much as building
// the labels. Each distinct label text is measured once. False, leaving
// `box` alone, when the scene holds a node this walk does not know; the
// caller then asks Coin.
bool MeasureSceneBounds(SoSeparator* root, SoCamera* camera, const SbViewportRegion& region, SbBox3f& box);

// The same box for a scene built part by part: each part (a separator) is
// measured as soon as it is built, while its nodes are still in the cache,
// and Measure walks only what lies above the parts, taking each part's box
// as measured. A part that changed since (its node id moved), moved, or
// has labels and another font or transformation above it, and every part
// after a change of the camera or the viewport, is walked again. The boxes
// are the walk's own, so the result equals MeasureSceneBounds to the bit.
class CSceneBounds {
public:
    CSceneBounds(SoCamera* camera, const SbViewportRegion& region);
    ~CSceneBounds();
    CSceneBounds(const CSceneBounds&) = delete;
    CSceneBounds& operator=(const CSceneBounds&) = delete;

    // Measures `part`, the newest child of `parent`, with `font` the label
    // font in effect above it (null for none).
    void AddPart(const SoGroup* parent, const SoGroup* part, const SoFont* font);
    // MeasureSceneBounds of `root` under the camera given at the start.
    bool Measure(SoSeparator* root, const SbViewportRegion& region, SbBox3f& box);

private:
    class Walk;
    std::unique_ptr<Walk> m_walk;
};
