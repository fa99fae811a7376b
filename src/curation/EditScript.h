#pragma once

#include <string>

class CNode;

// Replays a curator's corrections: one edit per line, fields separated by
// tabs:
//   rename OLD NEW
//   new-molecule CURRENT NAME TYPE
//   set-relation CURRENT CIRCLE NODE KIND FULL
//   delete NAME ITSELF INCOMING OUTGOING      (0 or 1 each)
// Each runs its command with the dialog's values taken from the line. The
// first refused edit stops the replay: false, with "line N: " and the
// reason in `error` (the edits before it stay in the graph).
bool ApplyEditScript(CNode& graph, const std::string& script, std::string& error, int& applied);
