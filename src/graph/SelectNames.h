#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SelectNameList.h"

class CGraphLookup;
class CNode;

// A representation's list of names to select and the graph walks that fill
// it. Reads the graph through the document's graph slot, so it always sees
// the current graph; knows nothing of the scene.
class CSelectNames {
public:
    explicit CSelectNames(const std::unique_ptr<CNode>& graph) : m_graph(graph) {}

    const CNode* Graph() const { return m_graph.get(); }

    void Clear() { m_lstSelectNames.Clear(); }

    // Lists the element at (circle, index) if `addSelf` is 1 and its
    // members, each unless listed already; nothing when `kind` is 0 or more
    // and not the element's relation kind. Returns how many were listed.
    int AddElementNames(int circle, int index, int kind, int addSelf);
    // Lists every element of relation kind `kind` with its members.
    void AddNamesOfKind(int kind);
    // One breadth-first layer over the listed names start .. end - 1, then
    // `depth` more without a kind filter; direction 0 follows both link
    // lists, 1 outgoing, 2 incoming. For a direction other than 0 each
    // layer's new names are handed to `selectRange` (from, to) at once.
    // Returns the number of names the first layer listed.
    int ExpandNames(CGraphLookup& lookup, int depth, int start, int end, int kind, int direction,
                    const std::function<void(int, int)>& selectRange);

    CSelectNameList m_lstSelectNames;

private:
    const std::unique_ptr<CNode>& m_graph;
};

// What the review commands need of a representation: its names to select,
// one call that selects them all, and the name last clicked. Keeps the
// commands free of the scene.
class ISelectNamesTarget {
public:
    virtual ~ISelectNamesTarget() = default;

    virtual CSelectNames& SelectNames() = 0;
    // Selects every listed name, in list order, with the selection
    // callbacks kept to the highlighting for the duration. Returns the
    // listed names that have no sphere, in list order, for the caller to
    // report.
    virtual std::vector<std::string> SelectListedNamesQuietly() = 0;
    virtual const std::string& GetCurrentName() const = 0;
};
