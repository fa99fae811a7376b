#include "SphereLayout.h"

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "LinkText.h"
#include "Node.h"

namespace {

// The first integer of a link text, as a "%d" scan reads it.
bool FirstLinkTarget(const std::string& links, int& target) {
    size_t pos = 0;
    return ScanInt(links, pos, target);
}

}  // namespace

void LayOutSphere(const CNode& graph, int circleCount, CGridLayout& grid) {
    grid.Clear();
    const int count = std::max(circleCount, 1);
    std::vector<char> placed(static_cast<size_t>(count), 0);
    auto isUnplacedCircle = [&](int c) { return c >= 1 && c < count && !placed[static_cast<size_t>(c)]; };

    // A group's circles on one ring take consecutive columns from the
    // group's seed column on, and earlier groups lie left of the seed: the
    // first free column of a ring is the larger of the seed and one past
    // the last column taken on that ring.
    std::vector<int> nextFree;
    std::deque<std::pair<int, int>> queue;  // (circle, ring of the circle that queued it)
    int highestColumn = -1;
    int columns = 0;
    int rings = 0;
    int seedColumn = 0;
    int lowestUnplaced = 1;

    for (;;) {
        int circle = 0;
        int ring = 0;
        if (queue.empty()) {
            while (lowestUnplaced < count && placed[static_cast<size_t>(lowestUnplaced)]) {
                ++lowestUnplaced;
            }
            if (lowestUnplaced >= count) {
                break;
            }
            circle = lowestUnplaced;
            seedColumn = highestColumn + 1;
            highestColumn = seedColumn;
        } else {
            const auto [c, r] = queue.front();
            queue.pop_front();
            // Placed already, or no circle of this graph.
            if (!isUnplacedCircle(c)) {
                continue;
            }
            circle = c;
            ring = r + 1;
            rings = std::max(rings, ring);
        }

        placed[static_cast<size_t>(circle)] = 1;
        if (nextFree.size() <= static_cast<size_t>(ring)) {
            nextFree.resize(static_cast<size_t>(ring) + 1, 0);
        }
        const int column = std::max(seedColumn, nextFree[static_cast<size_t>(ring)]);
        nextFree[static_cast<size_t>(ring)] = column + 1;
        grid.PlaceCircle(column, ring, circle);
        highestColumn = std::max(highestColumn, column);
        columns = std::max(columns, column);

        const CCircleData* data = graph.GetCircle(circle);
        if (!data) {
            continue;
        }
        if (data->mod_circle > 0) {
            queue.emplace_back(data->mod_circle, ring);
        }
        if (data->interact > 0) {
            queue.emplace_back(data->interact, ring);
        }
        for (const MoleculeRecord& m : data->m_lstMolecules) {
            int target = 0;
            if (m.links.empty() || !FirstLinkTarget(m.links, target)) {
                continue;
            }
            if (target != data->mod_circle && target != data->interact && target != circle &&
                isUnplacedCircle(target)) {
                queue.emplace_back(target, ring);
            }
        }
    }
    grid.SetSize(columns + 1, rings + 1);
}
