#include "SceneRelease.h"

#include <chrono>

#include <Inventor/nodes/SoGroup.h>

namespace {

// A group is destroyed whole only when that is quick: few children and
// no grandchildren below them (an edge, a sphere, a label). Any other is
// emptied child by child: a circle's edges, the roots above the circles,
// the few groups above those.
constexpr int kWholeGroupChildren = 32;
// Removals between looks at the clock.
constexpr int kRemovalsPerCheck = 16;

// `node` as a group nothing else holds (only its parent, or this release
// for a root), or null.
SoGroup* OwnedGroup(SoNode* node) {
    if (!node || !node->isOfType(SoGroup::getClassTypeId()) || node->getRefCount() != 1) {
        return nullptr;
    }
    return static_cast<SoGroup*>(node);
}

bool IsSmall(SoGroup* group) {
    const int count = group->getNumChildren();
    if (count > kWholeGroupChildren) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        SoNode* child = group->getChild(i);
        if (child->isOfType(SoGroup::getClassTypeId()) && static_cast<SoGroup*>(child)->getNumChildren() > 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

CSceneRelease::CSceneRelease() = default;

// Whatever is left goes at once.
CSceneRelease::~CSceneRelease() = default;

void CSceneRelease::Add(CoinPtr<SoNode> root) {
    if (root) {
        m_waiting.push_back(std::move(root));
    }
}

bool CSceneRelease::Step(double seconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (int removals = 0;; ++removals) {
        if (removals % kRemovalsPerCheck == kRemovalsPerCheck - 1 && Clock::now() >= end) {
            return Done();
        }
        if (m_open.empty()) {
            if (m_waiting.empty()) {
                return true;
            }
            CoinPtr<SoNode> root = std::move(m_waiting.front());
            m_waiting.pop_front();
            if (SoGroup* group = OwnedGroup(root.get())) {
                m_open.emplace_back(group);
            }
            continue;  // a root held elsewhere is only let go
        }
        SoGroup* group = m_open.back().get();
        const int last = group->getNumChildren() - 1;
        if (last < 0) {
            m_open.pop_back();  // its parent removes it, or it was a root
            continue;
        }
        SoGroup* child = OwnedGroup(group->getChild(last));
        if (child && !IsSmall(child)) {
            m_open.emplace_back(child);
            continue;
        }
        group->removeChild(last);
    }
}
