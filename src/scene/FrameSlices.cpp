#include "FrameSlices.h"

#include <algorithm>
#include <limits>

#include <Inventor/SoFullPath.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoAction.h>
#include <Inventor/misc/SoTempPath.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>

namespace {

constexpr uint32_t kNoParent = std::numeric_limits<uint32_t>::max();

// Groups a path may pass through as any traversal does: their children
// are traversed in order and nothing else. Other groups (switches, levels
// of detail) are units whole.
bool IsPlainGroup(const SoNode* node) {
    const SoType type = node->getTypeId();
    return type == SoGroup::getClassTypeId() || type == SoSeparator::getClassTypeId() ||
           type.isDerivedFrom(SoSelection::getClassTypeId());
}

// Nodes that may draw; the others set state, which a path list traverses
// wherever it comes before a unit.
bool MayDraw(const SoNode* node) {
    return node->isOfType(SoGroup::getClassTypeId()) || node->isOfType(SoShape::getClassTypeId());
}

// Transparent shapes put in one path list.
constexpr int kTransparentRun = 256;

}  // namespace

void CFrameUnits::Clear() {
    m_pHead.reset();
    m_chains.clear();
    m_units.clear();
}

void CFrameUnits::Plan(SoNode* root) {
    Clear();
    if (!root) {
        return;
    }
    m_pHead.reset(root);
    std::vector<int> chain;
    if (IsPlainGroup(root)) {
        Collect(static_cast<SoGroup*>(root), chain);
    } else if (MayDraw(root)) {
        m_units.push_back({root, kNoParent, -1});
    }
}

void CFrameUnits::Collect(SoGroup* group, std::vector<int>& chain) {
    const int count = group->getNumChildren();
    const bool cut = count > kMostUncut;
    uint32_t parent = kNoParent;
    for (int i = 0; i < count; ++i) {
        SoNode* child = group->getChild(i);
        if (!MayDraw(child)) {
            continue;
        }
        if (!cut && IsPlainGroup(child)) {
            chain.push_back(i);
            Collect(static_cast<SoGroup*>(child), chain);
            chain.pop_back();
            continue;
        }
        if (parent == kNoParent) {
            parent = static_cast<uint32_t>(m_chains.size());
            m_chains.push_back(chain);
        }
        m_units.push_back({child, parent, i});
    }
}

void CFrameUnits::Apply(SoAction& action, size_t first, size_t last) const {
    SoPathList list;
    for (size_t u = first; u < last && u < m_units.size(); ++u) {
        const Unit& unit = m_units[u];
        auto* path = new SoPath(m_pHead.get());
        if (unit.parent != kNoParent) {
            for (int index : m_chains[unit.parent]) {
                path->append(index);
            }
            path->append(unit.index);
        }
        list.append(path);
    }
    if (list.getLength() > 0) {
        // In traversal order, one head, none below another: as the rules ask.
        action.SoAction::apply(list, TRUE);
    }
}

void CFrameSlices::Reset() {
    m_stage = Stage::Idle;
    m_stop.clear();
    m_drawn = 0;
    m_transparent.truncate(0);
    m_transparentDone = 0;
}

double CFrameSlices::ShareDrawn() const {
    return m_total == 0 ? 1.0 : std::min(1.0, static_cast<double>(m_drawn) / static_cast<double>(m_total));
}

bool CFrameSlices::DrawOpaque(SoGLRenderAction& action, SoNode* head, Clock::time_point deadline) {
    m_stage = Stage::Opaque;
    m_deadline = deadline;
    m_bPassed = false;
    m_bStepped = false;
    m_bStopping = false;
    m_firstDrawing.clear();  // the scene may have changed since
    // Not through the action's own apply: a highlighting action adds its
    // boxes there, which belong on the finished frame.
    action.SoAction::apply(head);
    m_stage = Stage::Idle;
    if (m_bStopping) {
        return false;
    }
    m_total = m_drawn;
    return true;
}

bool CFrameSlices::DrawTransparent(SoGLRenderAction& action, Clock::time_point deadline) {
    m_stage = Stage::Transparent;
    const int count = m_transparent.getLength();
    while (m_transparentDone < count) {
        const int last = std::min(count, m_transparentDone + kTransparentRun);
        SoPathList run;
        for (int i = m_transparentDone; i < last; ++i) {
            run.append(m_transparent[i]);
        }
        // The action puts each off until the run's end, as it would have
        // put them off until the frame's end.
        action.SoAction::apply(run, TRUE);
        m_transparentDone = last;
        if (Clock::now() >= deadline) {
            break;
        }
    }
    m_stage = Stage::Idle;
    return m_transparentDone == count;
}

CFrameSlices::Place CFrameSlices::PlaceOf(const SoFullPath& path, int length) const {
    const int common = std::min(length, static_cast<int>(m_stop.size()));
    for (int i = 0; i < common; ++i) {
        const int index = path.getIndex(i + 1);
        if (index != m_stop[static_cast<size_t>(i)]) {
            return index < m_stop[static_cast<size_t>(i)] ? Place::Before : Place::After;
        }
    }
    return length <= static_cast<int>(m_stop.size()) ? Place::OnTheWay : Place::After;
}

namespace {

// Whether a traversal through `node` draws a shape outside separators.
bool DrawsOutsideSeparators(const SoNode* node) {
    if (node->isOfType(SoShape::getClassTypeId())) {
        return true;
    }
    if (!node->isOfType(SoGroup::getClassTypeId()) || node->isOfType(SoSeparator::getClassTypeId())) {
        return false;
    }
    const auto* group = static_cast<const SoGroup*>(node);
    for (int i = 0; i < group->getNumChildren(); ++i) {
        if (DrawsOutsideSeparators(group->getChild(i))) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CFrameSlices::FirstDrawingChild(const SoGroup* group) {
    auto found = m_firstDrawing.find(group);
    if (found != m_firstDrawing.end()) {
        return found->second;
    }
    int first = 0;
    while (first < group->getNumChildren() && !DrawsOutsideSeparators(group->getChild(first))) {
        ++first;
    }
    m_firstDrawing.emplace(group, first);
    return first;
}

bool CFrameSlices::CanStopAt(const SoFullPath& path) {
    // The traversals after the stop pass through what hangs before it on
    // the way down: they set its state again, but must not draw its shapes
    // twice (a transparent one would add its colour twice).
    for (int level = 1; level < path.getLength(); ++level) {
        const SoNode* parent = path.getNode(level - 1);
        if (!parent->isOfType(SoGroup::getClassTypeId()) ||
            FirstDrawingChild(static_cast<const SoGroup*>(parent)) < path.getIndex(level)) {
            return false;
        }
    }
    return true;
}

SoGLRenderAction::AbortCode CFrameSlices::Visit(const SoGLRenderAction& action, const SoFullPath& path) {
    if (m_stage != Stage::Opaque) {
        return SoGLRenderAction::CONTINUE;
    }
    // A traversal's transparent shapes come at its end: kept until every
    // opaque shape of the frame is drawn.
    if (action.isRenderingTranspPaths() || action.isRenderingDelayedPaths()) {
        if (path.getTail()->isOfType(SoShape::getClassTypeId())) {
            // A path that does not watch its nodes: tens of thousands of
            // watchers on the same few groups made each path the action
            // copies and lets go of look through all of them.
            auto* kept = new SoTempPath(path.getLength());
            for (int i = 0; i < path.getLength(); ++i) {
                kept->simpleAppend(path.getNode(i), path.getIndex(i));
            }
            m_transparent.append(kept);
            return SoGLRenderAction::PRUNE;
        }
        return SoGLRenderAction::CONTINUE;
    }
    // Coin ends a group's traversal at a pruned child: pruning the first
    // child of a separator drawn before passes over the rest of it.
    if (m_bStopping) {
        return SoGLRenderAction::PRUNE;
    }
    if (!m_bPassed) {
        const int length = path.getLength() - 1;  // below the head
        switch (PlaceOf(path, length)) {
        case Place::Before: {
            // Drawn. In a separator drawn before, the first child ends it;
            // other nodes set state again (groups other than separators
            // pass theirs on), which CanStopAt made sure draws nothing.
            const SoNode* parent = path.getNodeFromTail(1);
            return parent->isOfType(SoSeparator::getClassTypeId()) && PlaceOf(path, length - 1) == Place::Before
                       ? SoGLRenderAction::PRUNE
                       : SoGLRenderAction::CONTINUE;
        }
        case Place::OnTheWay:
            if (length < static_cast<int>(m_stop.size())) {
                return SoGLRenderAction::CONTINUE;
            }
            break;  // the stop itself: drawn now
        case Place::After:
            break;
        }
        m_bPassed = true;
    }
    if (!path.getTail()->isOfType(SoSeparator::getClassTypeId())) {
        return SoGLRenderAction::CONTINUE;
    }
    if (m_bStepped && Clock::now() >= m_deadline && CanStopAt(path)) {
        m_stop.resize(static_cast<size_t>(path.getLength() - 1));
        for (int i = 1; i < path.getLength(); ++i) {
            m_stop[static_cast<size_t>(i - 1)] = path.getIndex(i);
        }
        m_bStopping = true;
        return SoGLRenderAction::PRUNE;
    }
    m_bStepped = true;
    ++m_drawn;
    return SoGLRenderAction::CONTINUE;
}
