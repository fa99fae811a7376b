#pragma once

// How graph edits reach whatever shows the graph: the graph calls these
// after it changed a circle and never knows of a scene itself.
class ICircleRebuilder {
public:
    virtual ~ICircleRebuilder() = default;
    // Spheres, edges and labels of the circle again; 0 on failure.
    virtual int RebuildCircle(int circle) = 0;
    // The edges leaving the circle's nodes again; 0 on failure.
    virtual int RebuildCircleEdges(int circle) = 0;
};
