#pragma once

#include "GridLayout.h"
#include "PathwayFile.h"

// The pathway file's view of a box layout: its grid sizes and the cell of
// each circle. The layout must outlive the returned description.
inline PathwayGrid PathwayGridOf(const CGridLayout& layout) {
    PathwayGrid grid;
    grid.hor = layout.GetFirstCount();
    grid.ver = layout.GetSecondCount();
    grid.cellOf = [&layout](int circle, int& h, int& v) {
        layout.GetCellOf(circle, h, v);
        return h >= 0;
    };
    return grid;
}
