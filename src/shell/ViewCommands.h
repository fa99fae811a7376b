#pragma once

#include <string>

class CMainFrame;
class CTarnwickDoc;
class CTarnwickView;
class IUserPrompt;

// The commands that put a representation of the pathway on screen: the
// sphere view (32808), the box view (32832) and opening a pathway file
// (32792). Each builds its representation in full before the view adopts
// it; a command that is cancelled or fails leaves the graph, the view and
// its scene as they were.

// Asks for the radii, builds the relation-node graph and shows it on a
// sphere. False when the curator cancels or the data cannot be read.
bool OnSphereView(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt);
// Builds the start-up graph and shows it on the box grid (the node-position
// file is not read).
bool OnBoxView(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt);
// Asks for a "*.bb" file, reads it and shows the graph on a sphere with the
// current sphere's radii (300 and 30 without one). False, with the reason
// shown, when the file cannot be read; `path` is the file opened.
bool OnOpenPathway(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt, std::string& path);

// Adds the three commands to the frame's "Pathway" menu and makes the
// toolbar's Open button open pathway files.
void RegisterViewCommands(CMainFrame& frame);
