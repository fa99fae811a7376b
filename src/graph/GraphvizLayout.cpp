#include "GraphvizLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

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
            read.edges.emplace_back(w[1], w[2]);
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
    std::unordered_map<std::string, const PlainNode*> byName;
    for (const PlainNode& n : layout.nodes) {
        byName.emplace(n.name, &n);
    }
    std::vector<double> lengths;
    for (const auto& [tail, head] : layout.edges) {
        const auto a = byName.find(tail);
        const auto b = byName.find(head);
        if (a == byName.end() || b == byName.end()) {
            continue;
        }
        const double length = std::hypot(a->second->x - b->second->x, a->second->y - b->second->y);
        if (length > 0.0) {
            lengths.push_back(length);
        }
    }
    // Without edges, the engines' own default edge length: one unit.
    double median = 1.0;
    if (!lengths.empty()) {
        std::nth_element(lengths.begin(), lengths.begin() + static_cast<long>(lengths.size() / 2), lengths.end());
        median = lengths[lengths.size() / 2];
    }
    return kNeighbourDiameters * 2.0 * kBoxSphereRadius / (kBoxPlaneScale * median);
}

bool ApplyPlainLayout(CNode& graph, const std::string& plain, LayoutPlacement& placement, std::string& error) {
    PlainLayout layout;
    if (!ParsePlainLayout(plain, layout, error)) {
        return false;
    }
    placement = LayoutPlacement();
    placement.scale = NeighbourScale(layout);
    ForEachFirstMolecule(graph, [&](int, const MoleculeRecord&) { ++placement.molecules; });

    std::vector<std::pair<MoleculeRecord*, const PlainNode*>> targets;
    Extent extent;
    for (const PlainNode& node : layout.nodes) {
        int circle = 0;
        MoleculeRecord* m = ParseCircle(node.name, circle) && circle > 0 ? graph.GetMolecule(circle, 0) : nullptr;
        if (m) {
            targets.emplace_back(m, &node);
            extent.Add(node.x, node.y);
        }
    }
    // Centred on the origin; Graphviz's y grows upwards, the plane's y (the
    // scene's z) towards the viewer, so it is turned to keep the picture.
    const double cx = (extent.minX + extent.maxX) / 2;
    const double cy = (extent.minY + extent.maxY) / 2;
    for (auto& [m, node] : targets) {
        m->posX = AsFileReadsIt((node->x - cx) * placement.scale);
        m->posY = AsFileReadsIt(-(node->y - cy) * placement.scale);
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
    Extent extent;
    ForEachFirstMolecule(graph, [&](int, const MoleculeRecord& m) {
        ++check.molecules;
        extent.Add(m.posX, m.posY);
    });
    if (check.molecules == 0) {
        return check;
    }
    const double side = std::max(extent.Width(), extent.Height());
    check.spacingRadii = kBoxPlaneScale * side / std::sqrt(static_cast<double>(check.molecules)) / kBoxSphereRadius;
    if (!fileRead) {
        check.state = PositionsState::NoFile;
    } else if (check.molecules > 1 && side == 0.0) {
        check.state = PositionsState::NothingPlaced;
    } else if (check.spacingRadii > kTooSpreadRadii) {
        check.state = PositionsState::TooSpread;
    }
    return check;
}
