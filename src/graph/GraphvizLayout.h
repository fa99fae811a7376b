#pragma once

#include <string>
#include <utility>
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
    std::vector<std::pair<std::string, std::string>> edges;
};
// False, with the line number and what was expected, when the text is not
// plain output ("graph" first, "stop" last, node and edge lines between).
bool ParsePlainLayout(const std::string& text, PlainLayout& layout, std::string& error);

// Plane units per Graphviz unit, chosen so that the median edge puts its
// two spheres kNeighbourDiameters sphere diameters apart in the scene: the
// engines keep neighbours at about one edge length, whatever unit they use.
constexpr double kNeighbourDiameters = 6.0;
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
    double spacingRadii = 0.0;  // typical spacing in sphere radii
};
// Spacing is the picture's larger side over the square root of the
// molecule count, the side of the square each molecule gets; beyond
// kTooSpreadRadii the spheres are dots in a wide empty field (a Graphviz
// layout in its own inches gives 90 to 170, the sample file 21, ours 12).
constexpr double kTooSpreadRadii = 50.0;
PositionsCheck CheckPositions(const CNode& graph, bool fileRead);
