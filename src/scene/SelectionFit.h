#pragma once

class CRepresentation;
class SbViewportRegion;

// Moves the camera of `rep`, keeping the direction it looks in, so that
// every selected sphere fills the view of `region`. False, and the camera
// stays, when nothing is selected.
bool FitCameraToSelection(CRepresentation& rep, const SbViewportRegion& region);
