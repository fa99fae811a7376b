#include "PathwayFile.h"

#include "FileWriter.h"
#include "Node.h"

namespace {

const char kLineEnd[] = "\r\n";

// "<key> <value> ": the numeric lines are runs of these.
void Field(std::string& out, const char* key, int value) {
    out += key;
    out += ' ';
    out += std::to_string(value);
    out += ' ';
}

void TextLine(std::string& out, const std::string& text) {
    out += text;
    out += kLineEnd;
}

}  // namespace

std::string FormatPathwayFile(const CNode& graph, const PathwayGrid& grid) {
    std::string out;
    Field(out, "m_circle_count", graph.m_circle_count);
    Field(out, "m_num_hor", grid.hor);
    Field(out, "m_num_ver", grid.ver);
    out += kLineEnd;
    for (const CCircleData& circle : graph.m_lstCircles) {
        int h = -1;
        int v = -1;
        if (!grid.cellOf || !grid.cellOf(circle.CircleNum, h, v)) {
            h = -1;
            v = -1;
        }
        Field(out, "CircleNum", circle.CircleNum);
        Field(out, "circle_type", circle.circle_type);
        Field(out, "base_circle", circle.base_circle);
        Field(out, "mod_circle", circle.mod_circle);
        Field(out, "interact", circle.interact);
        Field(out, "node_num", static_cast<int>(circle.m_lstMolecules.size()));
        Field(out, "hor", h);
        Field(out, "ver", v);
        out += kLineEnd;
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            Field(out, "number", m.number);
            Field(out, "relation", m.relation);
            Field(out, "size", m.size);
            Field(out, "left", m.left.circle);
            out += std::to_string(m.left.index);
            out += ' ';
            Field(out, "right", m.right.circle);
            out += std::to_string(m.right.index);
            out += ' ';
            out += kLineEnd;
            TextLine(out, m.name);
            TextLine(out, m.links);
            TextLine(out, m.backLinks);
        }
    }
    return out;
}

bool SavePathway(const CNode& graph, const std::string& path, const PathwayGrid& grid, std::string& error) {
    return WriteTextFile(path, FormatPathwayFile(graph, grid), error);
}
