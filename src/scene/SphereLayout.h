#pragma once

#include "GridLayout.h"

class CNode;

// The sphere view's cell map, without any scene: cells are (column, ring).
// Each connected group of circles is walked breadth-first from its
// lowest-numbered circle; the seed sits on ring 0 of a column to the right
// of every earlier group, and each further circle one ring above the
// circle that queued it, in the first free column at or after the seed's.
// A circle is queued by its modification partner, by the circle collecting
// its relation nodes, and by the first link of each of its nodes.
//
// Fills `grid` with the circles 1 .. circleCount - 1 of `graph` and sizes
// it to the number of columns and rings used (at least 1 x 1).
void LayOutSphere(const CNode& graph, int circleCount, CGridLayout& grid);
