#pragma once

#include <functional>
#include <memory>
#include <string>

class CInteractionStore;
class CNode;

// What the pathway file records of the box layout: the grid's two sizes and
// the cell each circle was placed in. Default-constructed it stands for no
// layout at all: a 1 x 1 grid in which no circle has a cell.
struct PathwayGrid {
    int hor = 1;
    int ver = 1;
    // The circle's cell; false when it has none (written as -1 -1).
    std::function<bool(int circle, int& h, int& v)> cellOf;
};

// The pathway file's text: a header line, then per circle its line and four
// lines per node (numbers, name, outgoing links, incoming links). Every line
// ends in CR LF; the numeric lines keep a space before it. A CR or LF inside
// a name is written as "_", so the lines stay in step; how many names held
// one goes to `namesWithLineBreaks` when given.
std::string FormatPathwayFile(const CNode& graph, const PathwayGrid& grid, int* namesWithLineBreaks = nullptr);

// Writes the graph to `path` as a whole or not at all; false with a message
// naming the path and the reason when the file cannot be written.
bool SavePathway(const CNode& graph, const std::string& path, const PathwayGrid& grid, std::string& error,
                 int* namesWithLineBreaks = nullptr);

// What the curator is told after a save that changed names with line breaks.
std::string LineBreakNote(const std::string& path, int names);

// What a pathway file holds: the graph (its name index rebuilt from the
// nodes in file order) and the grid sizes of the header. The grid and the
// circles' cells are checked, not used: they belong to the box layout of
// the program that wrote the file.
struct LoadedPathway {
    std::unique_ptr<CNode> graph;
    int hor = 1;
    int ver = 1;
};

// Reads the whole file into a new graph owned by `out`, whose nodes see
// `store`. False, with `out` untouched and a message naming the file, the
// line and what was expected there, when the file cannot be read or does
// not hold a whole pathway graph.
bool LoadPathway(const std::string& path, CInteractionStore* store, LoadedPathway& out, std::string& error);

// The same, from the file's text; `path` only names it in messages.
bool ParsePathwayText(const std::string& text, const std::string& path, CInteractionStore* store,
                      LoadedPathway& out, std::string& error);
