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

// A line break inside a name would shift every later node's four lines:
// each CR and LF is written as "_", the joint of words in member names.
bool NameLine(std::string& out, const std::string& name) {
    if (name.find_first_of("\r\n") == std::string::npos) {
        TextLine(out, name);
        return false;
    }
    for (const char ch : name) {
        out += ch == '\r' || ch == '\n' ? '_' : ch;
    }
    out += kLineEnd;
    return true;
}

}  // namespace

std::string FormatPathwayFile(const CNode& graph, const PathwayGrid& grid, int* namesWithLineBreaks) {
    std::string out;
    int changed = 0;
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
            changed += NameLine(out, m.name) ? 1 : 0;
            TextLine(out, m.links);
            TextLine(out, m.backLinks);
        }
    }
    if (namesWithLineBreaks) {
        *namesWithLineBreaks = changed;
    }
    return out;
}

bool SavePathway(const CNode& graph, const std::string& path, const PathwayGrid& grid, std::string& error,
                 int* namesWithLineBreaks) {
    return WriteTextFile(path, FormatPathwayFile(graph, grid, namesWithLineBreaks), error);
}

std::string LineBreakNote(const std::string& path, int names) {
    return "Saved \"" + path + "\": " + std::to_string(names) + (names == 1 ? " name" : " names") +
           " held line breaks, written with \"_\" in their place.";
}
