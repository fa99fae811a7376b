#include "ElementText.h"

#include <set>
#include <utility>
#include <vector>

#include "GraphLookup.h"
#include "InteractionStore.h"
#include "Node.h"
#include "RelationKind.h"

namespace {

const char* const kRelationPhrases[kRelationKindCount] = {
    " ) bind to ( ",
    " ) enzymatically stimulate ( ",
    " ) stimulate ( ",
    " ) inhibit ( ",
    " ) transcriptionally stimulate ( ",
    " ) transcriptionally inhibit ( ",
    " ) phosphorylate ( ",
    " ) is suspected to stimulate ( ",
    " ) is suspected to inhibit ( ",
    " ) bind to ( ",
    " ) is stoichiometrically converted to ( ",
};

// Pieces of a description still to be written, last first.
struct Piece {
    enum Kind { Text, Element, Leave } kind;
    std::string text;  // the text, or the element's name
    NodePos position;  // Leave: the relation node whose members are done
};

}  // namespace

const char* RelationPhrase(int kind) {
    return kind >= 0 && kind < kRelationKindCount ? kRelationPhrases[kind] : "";
}

std::string PositionSuffix(int circle, int index) {
    return " Circle:" + std::to_string(circle) + " Node:" + std::to_string(index) + " ";
}

std::string DescribeElement(CGraphLookup& lookup, const std::string& name) {
    const CNode* graph = lookup.Graph();
    std::string out;
    // Members are written with a stack of their own rather than by
    // recursion: chains of relations may be as long as the data.
    std::vector<Piece> todo{{Piece::Element, name, {}}};
    std::set<std::pair<int, int>> open;  // relation nodes being written
    while (!todo.empty()) {
        Piece piece = std::move(todo.back());
        todo.pop_back();
        if (piece.kind == Piece::Text) {
            out += piece.text;
            continue;
        }
        if (piece.kind == Piece::Leave) {
            open.erase({piece.position.circle, piece.position.index});
            continue;
        }
        NodePos at;
        const MoleculeRecord* record = lookup.Find(piece.text, at);
        const std::string suffix = PositionSuffix(at.circle, at.index);
        const MoleculeRecord* left = nullptr;
        const MoleculeRecord* right = nullptr;
        if (record && record->size != 1 && graph) {
            left = graph->GetMolecule(record->left.circle, record->left.index);
            right = graph->GetMolecule(record->right.circle, record->right.index);
        }
        if (!left || !right || open.count({at.circle, at.index})) {
            out += piece.text;
            out += suffix;
            continue;
        }
        const int kind = record->relation;
        if (kind < 0 || kind >= kRelationKindCount) {
            out += suffix;  // no phrase, no sentence
            continue;
        }
        open.insert({at.circle, at.index});
        out += "( ";
        todo.push_back({Piece::Leave, std::string(), at});
        todo.push_back({Piece::Text, suffix, {}});
        todo.push_back({Piece::Text, " )", {}});
        todo.push_back({Piece::Element, right->name, {}});
        todo.push_back({Piece::Text, RelationPhrase(kind), {}});
        todo.push_back({Piece::Element, left->name, {}});
    }
    return out;
}

std::string FormatSourceLine(const InteractionRecord& record) {
    return record.id + " : " + record.source + " ( PMID : " + record.prep1 + " )";
}

std::string DescribeSource(const CInteractionStore& store, const std::string& name, NodePos position) {
    if (position.circle > 0) {
        for (const InteractionRecord& r : store.m_pInteractions) {
            if (r.built && r.nodeCircle == position.circle && r.nodeIndex == position.index) {
                return FormatSourceLine(r);
            }
        }
    }
    const int i = store.FindInteractionByMembers(name, std::string());
    if (i >= 0 && static_cast<size_t>(i) < store.m_pInteractions.size()) {
        return FormatSourceLine(store.m_pInteractions[static_cast<size_t>(i)]);
    }
    return std::string();
}
