#pragma once

#include <string>
#include <vector>

class CMainFrame;
class QSettings;

// "Connect to Data Source...": choose another source and load it without
// a restart.
void RegisterConnectCommands(CMainFrame& frame);

// The sources connected to last, newest first, as the settings keep them.
std::vector<std::string> ReadRecentSources(QSettings& settings);
