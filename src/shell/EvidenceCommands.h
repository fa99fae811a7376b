#pragma once

#include <QString>

class CMainFrame;

// The evidence dock, "N selected" in the status bar after the commands that
// select, "Zoom to Selection" (key F) and name suggestions in the search
// panel. Call once the frame has its view and search panel.
void RegisterEvidenceCommands(CMainFrame& frame);

// What the status bar says after a command selected `count` spheres.
QString SelectedCountText(int count);
