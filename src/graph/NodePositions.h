#pragma once

#include <string>

class CNode;

constexpr const char* kNodePositionFile = "yeast.graph.txt";

// Reads "node <circle> <x> <y>" lines, after a skipped first line and up to
// the first line containing "edge", into posX/posY of each circle's first
// molecule. False when the file cannot be opened (nothing changes then).
bool ApplyNodePositions(CNode& graph, const std::string& path = kNodePositionFile);

// One "node %d %f %f" line; false when the line has another form.
bool ParseNodeLine(const std::string& line, int& circle, float& x, float& y);
