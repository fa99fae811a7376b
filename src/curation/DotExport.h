#pragma once

#include <string>

class CNode;

// The graph's circle-to-circle links as an undirected Graphviz graph: a
// fixed header, one "\"a\"--\"b\";" line per link of each circle's first
// molecule, and "}" without a final line feed.
std::string FormatDotGraph(const CNode& graph);
