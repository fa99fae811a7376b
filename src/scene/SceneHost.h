#pragma once

#include <string>

#include <Inventor/SbViewportRegion.h>

#include "ModeFlags.h"

class SoSelection;

// What a representation needs from the window that shows it: the frame's
// mode flags, the view's viewport region and viewer, and the two panes.
// The shell implements it over the real window; tests with plain members.
class ISceneHost {
public:
    virtual ~ISceneHost() = default;

    virtual const ModeFlags& GetModeFlags() const = 0;
    // The viewport region fixed when the view was first shown.
    virtual const SbViewportRegion& GetViewportRegion() const = 0;
    // The viewer repaints whenever this selection node changes.
    virtual void RedrawOnSelectionChange(SoSelection* selection) = 0;
};
