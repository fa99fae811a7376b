#include "GraphvizLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "Node.h"

namespace {

// Words of one line; a double-quoted word may hold spaces and \" escapes.
std::vector<std::string> SplitPlainLine(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                }
                word += line[i];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool ParseNumber(const std::string& word, double& value) {
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool ParseCircle(const std::string& name, int& circle) {
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(name.data(), end, circle);
    return ec == std::errc() && ptr == end;
}

// "%f" without the process locale (the window's may write a decimal comma).
std::string Fixed6(double value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0.000000");
}

// The float the node-position file gives back for `value`.
float AsFileReadsIt(double value) {
    const std::string text = Fixed6(value);
    float read = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), read);
    return read;
}

struct Extent {
    double minX = std::numeric_limits<double>::max(), maxX = -std::numeric_limits<double>::max();
    double minY = std::numeric_limits<double>::max(), maxY = -std::numeric_limits<double>::max();
    void Add(double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    bool Empty() const { return minX > maxX; }
    double Width() const { return Empty() ? 0.0 : maxX - minX; }
    double Height() const { return Empty() ? 0.0 : maxY - minY; }
};

// The first molecule of each circle, in circle order.
template <class Visit>
void ForEachFirstMolecule(const CNode& graph, Visit visit) {
    for (int c = 1; c < graph.m_circle_count; ++c) {
        if (const MoleculeRecord* m = graph.GetMolecule(c, 0)) {
            visit(c, *m);
        }
    }
}

// The median distance from a node to its nearest other node (0 for fewer
// than two nodes). Nodes are binned in a grid of about one node per cell;
// each search widens ring by ring until no nearer cell can remain.
double MedianNearestNeighbour(const std::vector<PlainNode>& nodes) {
    if (nodes.size() < 2) {
        return 0.0;
    }
    Extent extent;
    for (const PlainNode& n : nodes) {
        extent.Add(n.x, n.y);
    }
    const double side = std::max(extent.Width(), extent.Height());
    if (side <= 0.0) {
        return 0.0;
    }
    const int cells = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(nodes.size()))));
    const double cell = side / cells;
    auto at = [&](double v, double min) { return std::min(cells - 1, static_cast<int>((v - min) / cell)); };
    std::vector<std::vector<size_t>> grid(static_cast<size_t>(cells) * cells);
    for (size_t i = 0; i < nodes.size(); ++i) {
        grid[static_cast<size_t>(at(nodes[i].y, extent.minY)) * cells + at(nodes[i].x, extent.minX)].push_back(i);
    }
    std::vector<double> nearest;
    nearest.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const int cx = at(nodes[i].x, extent.minX);
        const int cy = at(nodes[i].y, extent.minY);
        double best = std::numeric_limits<double>::max();
        // Ring r holds no point nearer than (r - 1) cells.
        for (int r = 0; r <= cells && (r - 1) * cell < best; ++r) {
            for (int y = std::max(0, cy - r); y <= std::min(cells - 1, cy + r); ++y) {
                for (int x = std::max(0, cx - r); x <= std::min(cells - 1, cx + r); ++x) {
                    if (std::max(std::abs(x - cx), std::abs(y - cy)) != r) {
                        continue;
                    }
                    for (size_t j : grid[static_cast<size_t>(y) * cells + x]) {
                        if (j != i) {
                            best = std::min(best, std::hypot(nodes[i].x - nodes[j].x, nodes[i].y - nodes[j].y));
                        }
                    }
                }
            }
        }
        nearest.push_back(best);
    }
    std::nth_element(nearest.begin(), nearest.begin() + static_cast<long>(nearest.size() / 2), nearest.end());
    return nearest[nearest.size() / 2];
}

}  // namespace

const std::vector<std::string>& LayoutEngines() {
    static const std::vector<std::string> engines = {"dot", "neato", "fdp", "sfdp"};
    return engines;
}

bool IsLayoutEngine(const std::string& engine) {
    const auto& engines = LayoutEngines();
    return std::find(engines.begin(), engines.end(), engine) != engines.end();
}

std::string DefaultLayoutEngine(int molecules) { return molecules > 2000 ? "sfdp" : "neato"; }

std::vector<std::string> GraphvizArguments(const std::string& engine) { return {"-K" + engine, "-Tplain"}; }

std::string GraphvizFailure(const std::string& engine, const std::string& how, const std::string& diagnostics) {
    std::string text = "Graphviz (" + engine + ") " + how;
    const size_t end = diagnostics.find_last_not_of(" \r\n\t");
    if (end != std::string::npos) {
        text += ":\n" + diagnostics.substr(0, end + 1);
    }
    return text;
}

std::string GraphvizNotFound(const std::string& reason) {
    return std::string("Graphviz's \"") + kGraphvizProgram + "\" program could not be started (" + reason +
           "); install the graphviz package.";
}

bool ParsePlainLayout(const std::string& text, PlainLayout& layout, std::string& error) {
    PlainLayout read;
    bool sawGraph = false;
    size_t start = 0;
    for (int lineNo = 1; start < text.size(); ++lineNo) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::vector<std::string> w = SplitPlainLine(text.substr(start, end - start));
        start = end + 1;
        if (w.empty()) {
            continue;
        }
        auto fail = [&](const std::string& what) {
            error = "Graphviz output line " + std::to_string(lineNo) + ": " + what;
            return false;
        };
        if (!sawGraph) {
            double scale = 0, width = 0, height = 0;
            if (w[0] != "graph" || w.size() < 4 || !ParseNumber(w[1], scale) || !ParseNumber(w[2], width) ||
                !ParseNumber(w[3], height)) {
                return fail("expected \"graph scale width height\"");
            }
            sawGraph = true;
        } else if (w[0] == "node") {
            PlainNode node;
            if (w.size() < 4 || !ParseNumber(w[2], node.x) || !ParseNumber(w[3], node.y)) {
                return fail("expected \"node name x y ...\"");
            }
            node.name = w[1];
            read.nodes.push_back(std::move(node));
        } else if (w[0] == "edge") {
            if (w.size() < 3) {
                return fail("expected \"edge tail head ...\"");
            }
            ++read.edges;
        } else if (w[0] == "stop") {
            layout = std::move(read);
            return true;
        } else {
            return fail("unexpected \"" + w[0] + "\"");
        }
    }
    error = sawGraph ? "Graphviz output ends before its \"stop\" line" : "Graphviz output is empty";
    return false;
}

double NeighbourScale(const PlainLayout& layout) {
    // Without two distinct places, the engines' own default edge length:
    // one unit.
    const double median = MedianNearestNeighbour(layout.nodes);
    return kNeighbourDiameters * 2.0 * kBoxSphereRadius / (kBoxPlaneScale * (median > 0.0 ? median : 1.0));
}

bool ApplyPlainLayout(CNode& graph, const std::string& plain, LayoutPlacement& placement, std::string& error) {
    PlainLayout layout;
    if (!ParsePlainLayout(plain, layout, error)) {
        return false;
    }
    placement = LayoutPlacement();
    ForEachFirstMolecule(graph, [&](int, const MoleculeRecord&) { ++placement.molecules; });

    std::vector<MoleculeRecord*> targets;
    PlainLayout placed;  // the nodes that are molecules of this graph
    Extent extent;
    for (const PlainNode& node : layout.nodes) {
        int circle = 0;
        MoleculeRecord* m = ParseCircle(node.name, circle) && circle > 0 ? graph.GetMolecule(circle, 0) : nullptr;
        if (m) {
            targets.push_back(m);
            placed.nodes.push_back(node);
            extent.Add(node.x, node.y);
        }
    }
    placement.scale = NeighbourScale(placed);
    // Centred on the origin; Graphviz's y grows upwards, the plane's y (the
    // scene's z) towards the viewer, so it is turned to keep the picture.
    const double cx = (extent.minX + extent.maxX) / 2;
    const double cy = (extent.minY + extent.maxY) / 2;
    for (size_t i = 0; i < targets.size(); ++i) {
        targets[i]->posX = AsFileReadsIt((placed.nodes[i].x - cx) * placement.scale);
        targets[i]->posY = AsFileReadsIt(-(placed.nodes[i].y - cy) * placement.scale);
    }
    placement.placed = static_cast<int>(targets.size());
    return true;
}

std::string FormatNodePositions(const CNode& graph) {
    Extent extent;
    std::string body;
    ForEachFirstMolecule(graph, [&](int circle, const MoleculeRecord& m) {
        extent.Add(m.posX, m.posY);
        body += "node " + std::to_string(circle) + " " + Fixed6(m.posX) + " " + Fixed6(m.posY) + "\n";
    });
    return "graph 1 " + Fixed6(extent.Width()) + " " + Fixed6(extent.Height()) + "\n" + body + "edge\n";
}

PositionsCheck CheckPositions(const CNode& graph, bool fileRead) {
    PositionsCheck check;
    std::vector<PlainNode> places;
    ForEachFirstMolecule(graph, [&](int, const MoleculeRecord& m) { places.push_back({"", m.posX, m.posY}); });
    check.molecules = static_cast<int>(places.size());
    if (places.empty()) {
        return check;
    }
    const double spacing = MedianNearestNeighbour(places);
    check.spacingRadii = kBoxPlaneScale * spacing / kBoxSphereRadius;
    if (!fileRead) {
        check.state = PositionsState::NoFile;
    } else if (std::all_of(places.begin(), places.end(), [&](const PlainNode& p) {
                   return p.x == places[0].x && p.y == places[0].y;
               }) && places.size() > 1) {
        check.state = PositionsState::NothingPlaced;
    } else if (check.spacingRadii > kTooSpreadRadii) {
        check.state = PositionsState::TooSpread;
    }
    return check;
}
