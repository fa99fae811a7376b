#pragma once

class CMainFrame;

// The legend dock, Export Image... and the uncluttered label mode, at the
// end of the "Pathway" menu.
void RegisterPictureCommands(CMainFrame& frame);
