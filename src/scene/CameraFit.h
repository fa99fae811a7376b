#pragma once

class SbViewportRegion;
class SoNode;
class SoPerspectiveCamera;

// Moves the camera, keeping the direction it looks in, so that what
// `scene` draws, seen through `region`, just fits: `fill` is the share of
// the view's width or height it takes on the tighter side (1 touches the
// edges). viewAll fits the bounding sphere, which for a flat pathway seen
// at an angle leaves most of the view empty. Returns
// false, leaving the camera alone, when the scene has nothing to show.
bool FitCameraToScene(SoPerspectiveCamera& camera, SoNode* scene, const SbViewportRegion& region, float fill);
