#include "EdgeReuse.h"

#include <unordered_set>

#include <Inventor/lists/SoFieldList.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>

#include "SceneNames.h"

namespace {

// The layout of an edge group: aim, turn, shift, material, cone.
constexpr int kEdgeChildren = 5;
constexpr int kMaterialChild = 3;
// A pool keeps no more of one name than an edit of a large circle drops.
constexpr size_t kMostWaiting = 4096;

template <class T>
T* Exactly(SoNode* node) {
    return node && node->getTypeId() == T::getClassTypeId() ? static_cast<T*>(node) : nullptr;
}

template <class F>
bool SameField(const F& have, const F& want) {
    return have.isDefault() == want.isDefault() && have == want;
}

bool SameTransform(const SoTransform* have, const SoTransform* want) {
    return SameField(have->translation, want->translation) && SameField(have->rotation, want->rotation) &&
           SameField(have->scaleFactor, want->scaleFactor) &&
           SameField(have->scaleOrientation, want->scaleOrientation) && SameField(have->center, want->center);
}

// Only the translation set, to exactly `t`.
bool IsShift(const SoTransform* have, const SbVec3f& t) {
    return !have->translation.isDefault() && have->translation.getValue() == t && have->rotation.isDefault() &&
           have->scaleFactor.isDefault() && have->scaleOrientation.isDefault() && have->center.isDefault();
}

bool IsSetTo(const SoSFFloat& field, float value) { return !field.isDefault() && field.getValue() == value; }

}  // namespace

CEdgeReuse::CEdgeReuse(SoGroup* old, CEdgeMaterialPool* pool, int first, int count)
    : m_pool(pool), m_aim(new SoTransform), m_turn(new SoTransform) {
    // As an edge is built.
    m_turn->rotation.setValue(SbVec3f(1.0f, 0.0f, 0.0f), -1.5707964f);
    if (!old) {
        return;
    }
    const int end = count < 0 ? old->getNumChildren() : first + count;
    m_old.reserve(static_cast<size_t>(end - first));
    for (int i = first; i < end; ++i) {
        SoNode* edge = old->getChild(i);
        auto* group = Exactly<SoSeparator>(edge);
        if (!group || group->getNumChildren() != kEdgeChildren) {
            continue;
        }
        m_byCone.emplace(GetSceneName(group->getChild(kEdgeChildren - 1)), m_old.size());
        m_old.emplace_back(edge);
    }
    m_taken.assign(m_old.size(), false);
}

CEdgeReuse::~CEdgeReuse() {
    for (size_t k = 0; m_pool && k < m_old.size(); ++k) {
        if (!m_taken[k]) {
            m_pool->Keep(m_old[k].get());
        }
    }
}

SoNode* CEdgeReuse::Take(const EdgeLook& look) {
    auto range = m_byCone.equal_range(look.coneName);
    for (auto it = range.first; it != range.second; ++it) {
        const size_t k = it->second;
        if (!m_taken[k] && Matches(m_old[k].get(), look)) {
            m_taken[k] = true;
            return m_old[k].get();
        }
    }
    return nullptr;
}

bool CEdgeReuse::Matches(SoNode* edge, const EdgeLook& look) {
    auto* group = static_cast<SoSeparator*>(edge);
    if (!GetSceneName(group).empty() || !group->renderCaching.isDefault() || !group->boundingBoxCaching.isDefault() ||
        !group->renderCulling.isDefault() || !group->pickCulling.isDefault()) {
        return false;
    }
    auto* aim = Exactly<SoTransform>(group->getChild(0));
    auto* turn = Exactly<SoTransform>(group->getChild(1));
    auto* shift = Exactly<SoTransform>(group->getChild(2));
    auto* material = Exactly<SoMaterial>(group->getChild(3));
    auto* cone = Exactly<SoCone>(group->getChild(4));
    if (!aim || !turn || !shift || !material || !cone) {
        return false;
    }
    if (!GetSceneName(aim).empty() || !GetSceneName(turn).empty() || !GetSceneName(shift).empty()) {
        return false;
    }
    m_aim->pointAt(look.from, look.to);
    const float distance = (look.to - look.from).length();
    if (!SameTransform(aim, m_aim.get()) || !SameTransform(turn, m_turn.get()) ||
        !IsShift(shift, SbVec3f(0.0f, distance / 2, 0.0f))) {
        return false;
    }
    if (GetSceneName(material) != look.materialName || material->diffuseColor.getNum() != 1 ||
        material->diffuseColor.isDefault() || material->diffuseColor[0] != look.color ||
        !material->ambientColor.isDefault() || !material->specularColor.isDefault() ||
        !material->emissiveColor.isDefault() || !material->shininess.isDefault()) {
        return false;
    }
    if (look.transparency ? (material->transparency.isDefault() || material->transparency.getNum() != 1 ||
                             material->transparency[0] != *look.transparency)
                          : !material->transparency.isDefault()) {
        return false;
    }
    return IsSetTo(cone->bottomRadius, look.radius) && IsSetTo(cone->height, look.height) && cone->parts.isDefault();
}

namespace {

std::unordered_set<const SoNode*>& WaitingNodes() {
    static std::unordered_set<const SoNode*> waiting;
    return waiting;
}

// Nothing about the material but its field values differs from a new one's.
bool IsPlain(SoMaterial* material) {
    if (material->isOverride()) {
        return false;
    }
    SoFieldList fields;
    const int count = material->getFields(fields);
    for (int i = 0; i < count; ++i) {
        if (fields[i]->isConnected() || fields[i]->isIgnored()) {
            return false;
        }
    }
    return true;
}

}  // namespace

CEdgeMaterialPool::CEdgeMaterialPool() = default;

CEdgeMaterialPool::~CEdgeMaterialPool() {
    for (const auto& kept : m_byName) {
        for (const CoinPtr<SoMaterial>& material : kept.second) {
            WaitingNodes().erase(material.get());
        }
    }
}

void CEdgeMaterialPool::Keep(SoNode* edge) {
    auto* group = Exactly<SoSeparator>(edge);
    auto* material = group && group->getNumChildren() == kEdgeChildren
                         ? Exactly<SoMaterial>(group->getChild(kMaterialChild))
                         : nullptr;
    if (!material || material->getName().getLength() == 0 || WaitingNodes().count(material) || !IsPlain(material)) {
        return;
    }
    std::vector<CoinPtr<SoMaterial>>& kept = m_byName[material->getName().getString()];
    if (kept.size() < kMostWaiting) {
        kept.emplace_back(material);
        WaitingNodes().insert(material);
    }
}

CoinPtr<SoMaterial> CEdgeMaterialPool::Take(const SbName& name) {
    auto it = m_byName.find(name.getString());
    if (it == m_byName.end()) {
        return CoinPtr<SoMaterial>();
    }
    std::vector<CoinPtr<SoMaterial>>& kept = it->second;
    while (!kept.empty()) {
        CoinPtr<SoMaterial> material = std::move(kept.back());
        kept.pop_back();
        WaitingNodes().erase(material.get());
        // One still held elsewhere (an old group someone keeps) is not ours to give.
        if (material->getRefCount() != 1 || !IsPlain(material.get())) {
            continue;
        }
        if (!m_fresh) {
            m_fresh = MakeCoin<SoMaterial>();
        }
        SoFieldList have, want;
        const int count = material->getFields(have);
        m_fresh->getFields(want);
        for (int i = 0; i < count; ++i) {
            have[i]->copyFrom(*want[i]);
            have[i]->setDefault(want[i]->isDefault());
        }
        return material;
    }
    return CoinPtr<SoMaterial>();
}

bool CEdgeMaterialPool::IsWaiting(const SoNode* node) { return WaitingNodes().count(node) > 0; }
