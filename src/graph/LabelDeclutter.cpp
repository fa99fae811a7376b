#include "LabelDeclutter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

bool Overlap(const ScreenLabel& a, const ScreenLabel& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// Buckets of label indices over the viewport; a label goes into every
// bucket its rectangle touches, clamped to the grid's border.
class BucketGrid {
public:
    BucketGrid(float width, float height, float cell)
        : m_cell(cell),
          m_columns(std::max(1, static_cast<int>(std::ceil(width / cell)))),
          m_rows(std::max(1, static_cast<int>(std::ceil(height / cell)))),
          m_buckets(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows)) {}

    template <class F>
    bool Any(const ScreenLabel& r, F&& hit) const {
        int c0, c1, r0, r1;
        Span(r, c0, c1, r0, r1);
        for (int y = r0; y <= r1; ++y) {
            for (int x = c0; x <= c1; ++x) {
                for (int k : m_buckets[Index(x, y)]) {
                    if (hit(k)) {
                        return true;
                    }
                }
            }
        }
        return false;
    }

    void Add(const ScreenLabel& r, int label) {
        int c0, c1, r0, r1;
        Span(r, c0, c1, r0, r1);
        for (int y = r0; y <= r1; ++y) {
            for (int x = c0; x <= c1; ++x) {
                m_buckets[Index(x, y)].push_back(label);
            }
        }
    }

private:
    int Clamp(float v, int count) const {
        return std::clamp(static_cast<int>(std::floor(v / m_cell)), 0, count - 1);
    }
    void Span(const ScreenLabel& r, int& c0, int& c1, int& r0, int& r1) const {
        c0 = Clamp(r.x0, m_columns);
        c1 = Clamp(r.x1, m_columns);
        r0 = Clamp(r.y0, m_rows);
        r1 = Clamp(r.y1, m_rows);
    }
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(m_columns) + x; }

    float m_cell;
    int m_columns;
    int m_rows;
    std::vector<std::vector<int>> m_buckets;
};

}  // namespace

std::vector<bool> DeclutterLabels(const std::vector<ScreenLabel>& labels, float width, float height) {
    std::vector<bool> shown(labels.size(), false);
    std::vector<int> order;
    order.reserve(labels.size());
    float heights = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        const ScreenLabel& r = labels[i];
        const bool onScreen = r.x1 >= 0 && r.x0 <= width && r.y1 >= 0 && r.y0 <= height;
        if (onScreen || r.keep) {
            order.push_back(static_cast<int>(i));
            heights += r.y1 - r.y0;
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const ScreenLabel& ra = labels[static_cast<size_t>(a)];
        const ScreenLabel& rb = labels[static_cast<size_t>(b)];
        if (ra.keep != rb.keep) {
            return ra.keep;
        }
        return ra.degree > rb.degree;
    });
    // Buckets about two label heights square: a label touches few of them.
    const float cell = order.empty() ? 1.0f : std::max(8.0f, 2.0f * heights / static_cast<float>(order.size()));
    BucketGrid grid(width, height, cell);
    for (int i : order) {
        const ScreenLabel& r = labels[static_cast<size_t>(i)];
        if (!r.keep && grid.Any(r, [&](int k) { return Overlap(r, labels[static_cast<size_t>(k)]); })) {
            continue;
        }
        shown[static_cast<size_t>(i)] = true;
        grid.Add(r, i);
    }
    return shown;
}
