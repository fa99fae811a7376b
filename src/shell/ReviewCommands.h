#pragma once

#include <string>
#include <utility>
#include <vector>

class CMainFrame;

// The review commands: the marker filters, the state commands and the
// statistics, registered with the frame, with their added menu "Review".
void RegisterReviewCommands(CMainFrame& frame);

// Writes review states to the data source when keeping is on; a source
// that refuses turns keeping off with a message, a write is confirmed in
// the status bar.
void KeepReviewVerdicts(CMainFrame& frame, const std::vector<std::pair<std::string, int>>& verdicts);
