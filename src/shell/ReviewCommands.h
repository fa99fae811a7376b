#pragma once

class CMainFrame;

// The review commands: the marker filters, the state commands and the
// statistics, registered with the frame, with their added menu "Review".
void RegisterReviewCommands(CMainFrame& frame);
