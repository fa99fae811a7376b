#pragma once

#include <string>
#include <vector>

class CNode;

// Laying the start-up graph out with Graphviz: its "-Tplain" output read
// back, scaled for the box scene and applied as the node-position file
// would be; the positions written in that file's format.

// The box scene draws a molecule at 30 times its plane position, as a
// sphere of radius 0.4 (both in scene units).
constexpr double kBoxPlaneScale = 30.0;
constexpr double kBoxSphereRadius = 0.4;

// The engines offered, and the one used when the curator names none:
// neato's stress layout is the better picture for small graphs, sfdp the
// only one that stays within seconds for thousands of molecules.
const std::vector<std::string>& LayoutEngines();
bool IsLayoutEngine(const std::string& engine);
std::string DefaultLayoutEngine(int molecules);
// The Graphviz program and its arguments: graph on stdin, plain text out.
constexpr const char* kGraphvizProgram = "dot";
std::vector<std::string> GraphvizArguments(const std::string& engine);
// What the curator reads when the program failed or could not be started.
std::string GraphvizFailure(const std::string& engine, const std::string& how, const std::string& diagnostics);
std::string GraphvizNotFound(const std::string& reason);

// The parts of "-Tplain" output that place nodes.
struct PlainNode {
    std::string name;
    double x = 0.0;
    double y = 0.0;
};
struct PlainLayout {
    std::vector<PlainNode> nodes;
    size_t edges = 0;
};
// False, with the line number and what was expected, when the text is not
// plain output ("graph" first, "stop" last, node and edge lines between).
bool ParsePlainLayout(const std::string& text, PlainLayout& layout, std::string& error);

// Plane units per Graphviz unit, chosen so that a typical sphere has its
// nearest neighbour kNeighbourDiameters sphere diameters away in the scene
// (the median of the nearest-neighbour distances). Edge lengths would not
// do: around a hub the engines pack hundreds of leaves far closer together
// than the hub's edges are long.
constexpr double kNeighbourDiameters = 4.0;
double NeighbourScale(const PlainLayout& layout);

struct LayoutPlacement {
    int molecules = 0;  // circles of the graph
    int placed = 0;     // of them, given a position
    double scale = 0.0;
};
// Parses, scales (centred on the origin) and sets posX/posY of each named
// circle's first molecule. The coordinates are rounded as the node-position
// file holds them, so a saved file gives back exactly this picture.
bool ApplyPlainLayout(CNode& graph, const std::string& plain, LayoutPlacement& placement, std::string& error);

// The node-position file of the graph: a first line, "node %d %f %f" per
// circle's first molecule, and an "edge" line that ends reading.
std::string FormatNodePositions(const CNode& graph);

// How the start-up load placed the molecules, for the status bar.
enum class PositionsState { Placed, NoFile, NothingPlaced, TooSpread };
struct PositionsCheck {
    PositionsState state = PositionsState::Placed;
    int molecules = 0;
    double spacingRadii = 0.0;  // median nearest-neighbour distance, in sphere radii
};
// Beyond kTooSpreadRadii the spheres are dots in a wide empty field: a
// Graphviz layout of the sample in its own inches gives 60 to 85, the
// sample's file 13, our layouts 8.
constexpr double kTooSpreadRadii = 25.0;
PositionsCheck CheckPositions(const CNode& graph, bool fileRead);
