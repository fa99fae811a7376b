#include "BackLinks.h"

#include "LinkText.h"
#include "Node.h"

void BuildBackLinks(CNode& graph) {
    for (int c = 0; c < graph.m_circle_count; ++c) {
        for (int x = 0; x < graph.GetScanWidth(c); ++x) {
            const MoleculeRecord* node = graph.GetMolecule(c, x);
            if (!node) {
                continue;
            }
            const std::string pair = " " + FormatPosition(c, x);
            for (const LinkEntry& e : ParseLinkEntries(node->links)) {
                if (MoleculeRecord* target = graph.GetMolecule(e.circle, e.index)) {
                    target->backLinks += pair;
                }
            }
        }
    }
}
