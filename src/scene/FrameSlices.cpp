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
    m_parents.clear();
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

void CFrameUnits::Plan(const SoPath& path) {
    const auto& full = static_cast<const SoFullPath&>(path);
    Clear();
    if (full.getLength() == 0) {
        return;
    }
    if (full.getLength() == 1) {
        Plan(full.getHead());
        return;
    }
    m_pHead.reset(full.getHead());
    std::vector<int> chain;
    for (int i = 1; i < full.getLength(); ++i) {
        chain.push_back(full.getIndex(i));
    }
    SoNode* tail = full.getTail();
    if (IsPlainGroup(tail)) {
        Collect(static_cast<SoGroup*>(tail), chain);
    } else if (MayDraw(tail)) {
        chain.pop_back();
        m_chains.push_back(chain);
        m_parents.push_back(full.getNodeFromTail(1));
        m_units.push_back({tail, 0, full.getIndexFromTail(0)});
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
            m_parents.push_back(group);
        }
        m_units.push_back({child, parent, i});
    }
}

void CFrameUnits::AddPaths(size_t first, size_t last, SoPathList& list) const {
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
}

bool CFrameUnits::IsAt(const SoFullPath& path, size_t i) const {
    const Unit& unit = m_units[i];
    if (path.getTail() != unit.node) {
        return false;
    }
    if (unit.parent == kNoParent) {
        return path.getLength() == 1;
    }
    return path.getLength() == static_cast<int>(m_chains[unit.parent].size()) + 2 &&
           path.getIndexFromTail(0) == unit.index;
}

void CFrameUnits::Apply(SoAction& action, size_t first, size_t last) const {
    SoPathList list;
    AddPaths(first, last, list);
    if (list.getLength() > 0) {
        // In traversal order, one head, none below another: as the rules ask.
        action.SoAction::apply(list, TRUE);
    }
}

void CFrameSlices::Begin(const SoPath& path) {
    Reset();
    m_units.Plan(path);
}

void CFrameSlices::Reset() {
    m_units.Clear();
    m_stage = Stage::Idle;
    m_done = 0;
    m_window = 16;
    m_transparent.truncate(0);
    m_transparentDone = 0;
}

double CFrameSlices::ShareDrawn() const {
    return m_units.Count() == 0 ? 1.0 : static_cast<double>(m_done) / static_cast<double>(m_units.Count());
}

bool CFrameSlices::DrawOpaque(SoGLRenderAction& action, Clock::time_point deadline) {
    const size_t count = m_units.Count();
    m_stage = Stage::Opaque;
    m_deadline = deadline;
    m_first = m_done;
    while (m_done < count) {
        const size_t last = std::min(count, m_done + m_window);
        m_next = m_done;
        m_bStopped = false;
        // Not through the action's own apply of path lists: a highlighting
        // action adds its boxes there, which belong on the finished frame.
        m_units.Apply(action, m_done, last);
        const size_t reached = m_bStopped ? m_stopAt : last;
        if (!m_bStopped) {
            m_window = std::max(m_window, 2 * (reached - m_done));
        }
        m_done = reached;
        if (m_bStopped || Clock::now() >= deadline) {
            break;
        }
    }
    m_stage = Stage::Idle;
    return m_done == count;
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

SoGLRenderAction::AbortCode CFrameSlices::Visit(const SoGLRenderAction& action, const SoFullPath& path) {
    if (m_stage != Stage::Opaque) {
        return SoGLRenderAction::CONTINUE;
    }
    // A run's transparent shapes come at its end: kept until every opaque
    // shape of the frame is drawn.
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
    if (m_bStopped) {
        // Whatever hangs beside the units waits for the next run too.
        const SoNode* parent = path.getLength() > 1 ? path.getNodeFromTail(1) : nullptr;
        const auto& parents = m_units.Parents();
        return std::find(parents.begin(), parents.end(), parent) != parents.end() ? SoGLRenderAction::PRUNE
                                                                                  : SoGLRenderAction::CONTINUE;
    }
    if (m_next >= m_units.Count() || !m_units.IsAt(path, m_next)) {
        return SoGLRenderAction::CONTINUE;
    }
    const size_t unit = m_next++;
    if (unit != m_first && Clock::now() >= m_deadline) {
        m_bStopped = true;
        m_stopAt = unit;
        return SoGLRenderAction::PRUNE;
    }
    return SoGLRenderAction::CONTINUE;
}
