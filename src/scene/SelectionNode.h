#pragma once

#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSubNode.h>

// The selection node of a representation: an SoSelection that can also
// take a path the caller knows is not selected yet without comparing it
// with every selected path first, which makes selecting n names one by
// one cost n, not n squared.
class CSelectionNode : public SoSelection {
    SO_NODE_HEADER(CSelectionNode);

public:
    static void initClass();
    CSelectionNode();

    // Adds `path`, which must start at this node and end at a node no
    // selected path ends at; the selection callbacks run as for select().
    void SelectUnselected(SoPath* path) { addPath(path); }

protected:
    ~CSelectionNode() override;
};
