#pragma once

#include <vector>

// A label as it lands on screen: its rectangle in pixels (x0 <= x1,
// y0 <= y1), how well connected its molecule is, and whether it must stay
// shown whatever it covers (selected or found spheres).
struct ScreenLabel {
    float x0 = 0;
    float y0 = 0;
    float x1 = 0;
    float y1 = 0;
    int degree = 0;
    bool keep = false;
};

// Which labels to draw so that none covers another: kept labels first,
// then the others from the best connected down (ties in input order), each
// shown only where it overlaps no label shown before it. Labels wholly
// outside the viewport (0, 0)-(width, height) are not shown, unless kept.
// A grid of buckets over the viewport keeps each test to the labels nearby.
std::vector<bool> DeclutterLabels(const std::vector<ScreenLabel>& labels, float width, float height);
