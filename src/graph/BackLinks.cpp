#include "BackLinks.h"

#include <charconv>
#include <vector>

#include "LinkText.h"
#include "Node.h"

namespace {

// One incoming pair to append: where the link points and who links.
struct Incoming {
    int circle;
    int index;
    int sourceCircle;  // the linking node
    int sourceIndex;
};

}  // namespace

void BuildBackLinks(CNode& graph) {
    // The link entries first, in scan order; then the appends, in the same
    // order. The targets lie all over the store, so each one's circle and
    // node are asked for some entries ahead of the append that needs them.
    std::vector<Incoming> incoming;
    incoming.reserve(graph.m_lstCircles.size());
    // Circles come in order, but their link texts lie all over the heap:
    // a circle some steps ahead has its first node's text loading.
    constexpr int kTextAhead = 4;
    for (int c = 0; c < graph.m_circle_count; ++c) {
        if (const MoleculeRecord* ahead = graph.GetMolecule(c + kTextAhead, 0)) {
            __builtin_prefetch(ahead->links.data());
        }
        for (int x = 0; x < graph.GetScanWidth(c); ++x) {
            const MoleculeRecord* node = graph.GetMolecule(c, x);
            if (!node) {
                continue;
            }
            // Entries of four integers, up to the first that is not whole.
            size_t pos = 0;
            LinkEntry e;
            while (ScanInt(node->links, pos, e.circle) && ScanInt(node->links, pos, e.index) &&
                   ScanInt(node->links, pos, e.kind) && ScanInt(node->links, pos, e.end)) {
                incoming.push_back(Incoming{e.circle, e.index, c, x});
            }
        }
    }
    // In three stages, each reading only what the one before loaded: the
    // circle, then the node in it, then the node's incoming text.
    constexpr size_t kCircleAhead = 24;
    constexpr size_t kNodeAhead = 12;
    constexpr size_t kBackTextAhead = 4;
    const size_t n = incoming.size();
    for (size_t k = 0; k < n; ++k) {
        if (k + kCircleAhead < n) {
            if (const CCircleData* circle = graph.GetCircle(incoming[k + kCircleAhead].circle)) {
                __builtin_prefetch(circle);
                __builtin_prefetch(reinterpret_cast<const char*>(circle) + 64);
            }
        }
        if (k + kNodeAhead < n) {
            const Incoming& ahead = incoming[k + kNodeAhead];
            if (const MoleculeRecord* target = graph.GetMolecule(ahead.circle, ahead.index)) {
                __builtin_prefetch(&target->backLinks);
            }
        }
        if (k + kBackTextAhead < n) {
            const Incoming& ahead = incoming[k + kBackTextAhead];
            if (const MoleculeRecord* target = graph.GetMolecule(ahead.circle, ahead.index)) {
                __builtin_prefetch(target->backLinks.data());
            }
        }
        const Incoming& in = incoming[k];
        if (MoleculeRecord* target = graph.GetMolecule(in.circle, in.index)) {
            // " %d %d": the linking node's position.
            char pair[32] = {' '};
            char* mid = std::to_chars(pair + 1, pair + 12, in.sourceCircle).ptr;  // any int fits in 11
            *mid = ' ';
            char* end = std::to_chars(mid + 1, pair + sizeof pair, in.sourceIndex).ptr;
            target->backLinks.append(pair, end);
        }
    }
}
