#pragma once

#include <string>

#include <Inventor/SbViewportRegion.h>

#include "ModeFlags.h"

class SoSelection;

// What a representation needs from the window that shows it: the frame's
// mode flags, the view's viewport region and viewer, the two result panes
// and the curator's message box. The shell implements it over the real
// window; tests and benches with plain members.
class ISceneHost {
public:
    virtual ~ISceneHost() = default;

    virtual const ModeFlags& GetModeFlags() const = 0;
    // The viewport region fixed when the view was first shown.
    virtual const SbViewportRegion& GetViewportRegion() const = 0;
    // The viewer repaints whenever this selection node changes.
    virtual void RedrawOnSelectionChange(SoSelection* selection) = 0;

    // What only a window shows; a host without one (a bench) may ignore it.
    // Highlight mode 0 renders with the white box highlight, 1 and 2 plainly.
    virtual void UseRenderActionFor(int /*highlightMode*/) {}
    // The node name pane and the text source pane of the search panel.
    virtual void SetNodeNameText(const std::string& /*text*/) {}
    virtual void SetTextSourceText(const std::string& /*text*/) {}
    // A message box with an OK button.
    virtual void ShowMessage(const std::string& /*text*/) {}
};
