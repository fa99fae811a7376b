#pragma once

#include <string>

class CTarnwickDoc;

// The review without a window, in the state a curator has after start-up
// and the sphere view: every "set all OK?" answered No, no id boxes.

// Runs the statistics command and writes its two lines.
bool WriteReviewStatistics(CTarnwickDoc& doc, const std::string& path, std::string& error);
// Runs one filter (by its headless name) and writes the ids it handled, one
// a line in walk order, then "hits N".
bool WriteFilterHits(CTarnwickDoc& doc, const std::string& filterName, const std::string& path,
                     std::string& error);
// The names --filter knows, separated by ", ".
std::string FilterNames();
