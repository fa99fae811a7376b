#pragma once

class SbBox3f;
class SbViewportRegion;
class SoCamera;
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
