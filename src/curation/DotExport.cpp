#include "DotExport.h"

#include "LinkText.h"
#include "Node.h"

std::string FormatDotGraph(const CNode& graph) {
    std::string out =
        "graph \"cs\" { node [ fontname = \"Arial\"\n label = \"\\N\" \n"
        " shape = \"circle\"\n width = \"0.400000\"\n height = \"0.400000\"\n color = \"black\" ]\n"
        " edge [color = \"black\"]\n";
    for (int c = 1; c < graph.m_circle_count; ++c) {
        const MoleculeRecord* m = graph.GetMolecule(c, 0);
        if (!m) {
            continue;
        }
        for (const LinkEntry& e : ParseLinkEntries(m->links)) {
            out += '"';
            out += std::to_string(c);
            out += "\"--\"";
            out += std::to_string(e.circle);
            out += "\";\n";
        }
    }
    out += "}";
    return out;
}

