#pragma once

#include <vector>

// How graph edits reach whatever shows the graph: the graph calls these
// after it changed a circle and never knows of a scene itself.
class ICircleRebuilder {
public:
    virtual ~ICircleRebuilder() = default;
    // Spheres, edges and labels of the circle again; 0 on failure.
    virtual int RebuildCircle(int circle) = 0;
    // The edges leaving the circle's nodes again; 0 on failure.
    virtual int RebuildCircleEdges(int circle) = 0;
    // Only the outgoing links of the nodes at `indices` (ascending, each
    // once) changed in the circle: what RebuildCircle (`whole`) or
    // RebuildCircleEdges (and the labels, where they show links) would
    // show, which a scene may reach by touching those nodes' edges alone.
    virtual int RebuildNodeLinks(int circle, const std::vector<int>& /*indices*/, bool whole) {
        return whole ? RebuildCircle(circle) : RebuildCircleEdges(circle);
    }
};
