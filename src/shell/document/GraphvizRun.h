#pragma once

#include <string>

#include "GraphvizLayout.h"

class CTarnwickDoc;

// Runs Graphviz's program on `dot` with `engine` and waits for it; `plain`
// gets its output. False with Graphviz's own message when the program is
// missing, fails or is killed. (The window runs the same program without
// waiting; see LayoutCommands.)
bool RunGraphviz(const std::string& engine, const std::string& dot, std::string& plain, std::string& error);

// The start-up graph built afresh in the document and laid out by `engine`
// ("auto" picks by size). The document keeps the placed graph.
bool LayOutStartupPathway(CTarnwickDoc& doc, const std::string& engine, LayoutPlacement& placement,
                          std::string& error);
