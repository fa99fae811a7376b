#include "EdgeReuse.h"

#include <cstdio>
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
// A pool keeps no more materials of one name than an edit of a large
// circle drops, and whole edge groups for the few edges a deletion drops.
constexpr size_t kMostWaiting = 4096;
constexpr size_t kMostEdgesWaiting = 256;

template <class F>
bool SameField(const F& have, const F& want) {
    return have.isDefault() == want.isDefault() && have == want;
}

// Only the translation set, to exactly `t`.
bool IsShift(const SoTransform* have, const SbVec3f& t) {
    return !have->translation.isDefault() && have->translation.getValue() == t && have->rotation.isDefault() &&
           have->scaleFactor.isDefault() && have->scaleOrientation.isDefault() && have->center.isDefault();
}

bool IsSetTo(const SoSFFloat& field, float value) { return !field.isDefault() && field.getValue() == value; }

// Only the rotation set, to the quarter turn every edge is built with.
bool IsTurn(const SoTransform* have) {
    return !have->rotation.isDefault() && have->rotation.getValue() == ConeTurn() &&
           have->translation.isDefault() && have->scaleFactor.isDefault() && have->scaleOrientation.isDefault() &&
           have->center.isDefault();
}

// An edge group laid out as one is built, its own fields as a new one's
// (the other fields a new edge sets). Names are not read: nothing names an
// edge group or its transforms, and each read is a look-up in Coin's table
// of every named node.
bool IsEdgeLayout(SoNode* edge) {
    auto* group = Exactly<SoSeparator>(edge);
    if (!group || group->getNumChildren() != kEdgeChildren || !group->renderCaching.isDefault() ||
        !group->boundingBoxCaching.isDefault() || !group->renderCulling.isDefault() ||
        !group->pickCulling.isDefault()) {
        return false;
    }
    for (int i = 0; i < kMaterialChild; ++i) {
        if (!Exactly<SoTransform>(group->getChild(i))) {
            return false;
        }
    }
    return Exactly<SoMaterial>(group->getChild(kMaterialChild)) && Exactly<SoCone>(group->getChild(kEdgeChildren - 1));
}

// Every field of `node` as in `fresh`, a new node of its type.
void CopyFields(SoFieldContainer* node, SoFieldContainer* fresh) {
    SoFieldList have, want;
    const int count = node->getFields(have);
    fresh->getFields(want);
    for (int i = 0; i < count; ++i) {
        have[i]->copyFrom(*want[i]);
        have[i]->setDefault(want[i]->isDefault());
    }
}

}  // namespace

bool SameTransform(const SoTransform* have, const SoTransform* want) {
    return SameField(have->translation, want->translation) && SameField(have->rotation, want->rotation) &&
           SameField(have->scaleFactor, want->scaleFactor) &&
           SameField(have->scaleOrientation, want->scaleOrientation) && SameField(have->center, want->center);
}

const SbRotation& ConeTurn() {
    static const SbRotation turn(SbVec3f(1.0f, 0.0f, 0.0f), -1.5707964f);
    return turn;
}

bool EdgeConeEnds(const std::string& coneName, NodePos& from, NodePos& to) {
    NodePos a, b;
    if (std::sscanf(coneName.c_str(), "E_%d:%d-%d:%d", &a.circle, &a.index, &b.circle, &b.index) != 4) {
        return false;
    }
    from = a;
    to = b;
    return true;
}

CEdgeReuse::CEdgeReuse(SoGroup* old, CEdgeMaterialPool* pool, int first, int count)
    : m_pool(pool), m_aim(new SoTransform) {
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
    CoinPtr<SoNode> kept = m_pool ? m_pool->TakeEdge(look) : CoinPtr<SoNode>();
    if (!kept) {
        return nullptr;
    }
    m_fromPool.push_back(kept);
    return kept.get();
}

bool CEdgeReuse::Matches(SoNode* edge, const EdgeLook& look) {
    if (!IsEdgeLayout(edge)) {
        return false;
    }
    auto* group = static_cast<SoSeparator*>(edge);
    auto* aim = static_cast<SoTransform*>(group->getChild(0));
    auto* turn = static_cast<SoTransform*>(group->getChild(1));
    auto* shift = static_cast<SoTransform*>(group->getChild(2));
    auto* material = static_cast<SoMaterial*>(group->getChild(kMaterialChild));
    auto* cone = static_cast<SoCone*>(group->getChild(kEdgeChildren - 1));
    m_aim->pointAt(look.from, look.to);
    const float distance = (look.to - look.from).length();
    if (!SameTransform(aim, m_aim.get()) || !IsTurn(turn) || !IsShift(shift, SbVec3f(0.0f, distance / 2, 0.0f))) {
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
    for (const auto& kept : m_edgesByName) {
        for (const CoinPtr<SoNode>& edge : kept.second) {
            WaitingNodes().erase(static_cast<SoGroup*>(edge.get())->getChild(kMaterialChild));
        }
    }
}

void CEdgeMaterialPool::Keep(SoNode* edge) {
    auto* group = Exactly<SoSeparator>(edge);
    auto* material = group && group->getNumChildren() == kEdgeChildren
                         ? Exactly<SoMaterial>(group->getChild(kMaterialChild))
                         : nullptr;
    const SbName name = material ? material->getName() : SbName::empty();
    if (name.getLength() == 0 || WaitingNodes().count(material) || !IsPlain(material)) {
        return;
    }
    std::vector<CoinPtr<SoNode>>& edges = m_edgesByName[name.getString()];
    if (edges.size() < kMostEdgesWaiting && IsEdgeLayout(edge)) {
        // The cone's name goes with it: no search by name finds an edge
        // out of the scene.
        SoNode* cone = group->getChild(kEdgeChildren - 1);
        const SbName coneName = cone->getName();
        if (coneName.getLength() > 0) {
            SoBase::removeName(cone, coneName.getString());
        }
        edges.emplace_back(edge);
        WaitingNodes().insert(material);
        return;
    }
    std::vector<CoinPtr<SoMaterial>>& kept = m_byName[name.getString()];
    if (kept.size() < kMostWaiting) {
        kept.emplace_back(material);
        WaitingNodes().insert(material);
    }
}

bool CEdgeMaterialPool::MakeFresh(SoMaterial* material) {
    WaitingNodes().erase(material);
    // One still held elsewhere (an old group someone keeps) is not ours to give.
    if (material->getRefCount() != 1 || !IsPlain(material)) {
        return false;
    }
    if (!m_fresh) {
        m_fresh = MakeCoin<SoMaterial>();
    }
    CopyFields(material, m_fresh.get());
    return true;
}

CoinPtr<SoMaterial> CEdgeMaterialPool::Take(const SbName& name) {
    auto it = m_byName.find(name.getString());
    while (it != m_byName.end() && !it->second.empty()) {
        CoinPtr<SoMaterial> material = std::move(it->second.back());
        it->second.pop_back();
        if (MakeFresh(material.get())) {
            return material;
        }
    }
    // The material of a kept edge group, the rest of which goes.
    auto edges = m_edgesByName.find(name.getString());
    while (edges != m_edgesByName.end() && !edges->second.empty()) {
        CoinPtr<SoNode> edge = std::move(edges->second.back());
        edges->second.pop_back();
        CoinPtr<SoMaterial> material(static_cast<SoMaterial*>(static_cast<SoGroup*>(edge.get())->getChild(kMaterialChild)));
        if (edge->getRefCount() == 1) {
            edge.reset();
        }
        if (MakeFresh(material.get())) {
            return material;
        }
    }
    return CoinPtr<SoMaterial>();
}

CoinPtr<SoNode> CEdgeMaterialPool::TakeEdge(const EdgeLook& look) {
    auto it = m_edgesByName.find(SceneName(look.materialName).getString());
    if (it == m_edgesByName.end()) {
        return CoinPtr<SoNode>();
    }
    std::vector<CoinPtr<SoNode>>& kept = it->second;
    while (!kept.empty()) {
        CoinPtr<SoNode> edge = std::move(kept.back());
        kept.pop_back();
        auto* group = static_cast<SoSeparator*>(edge.get());
        auto* material = static_cast<SoMaterial*>(group->getChild(kMaterialChild));
        // Still in some scene, or its material held elsewhere: not ours to give.
        if (edge->getRefCount() != 1) {
            WaitingNodes().erase(material);
            continue;
        }
        if (!MakeFresh(material)) {
            continue;
        }
        // Every field as a new node's, then those a new edge sets, as it
        // sets them; the group hears of each change, so no cache of it
        // outlives its old look.
        if (!m_freshTransform) {
            m_freshTransform = MakeCoin<SoTransform>();
            m_freshCone = MakeCoin<SoCone>();
        }
        auto* aim = static_cast<SoTransform*>(group->getChild(0));
        auto* turn = static_cast<SoTransform*>(group->getChild(1));
        auto* shift = static_cast<SoTransform*>(group->getChild(2));
        auto* cone = static_cast<SoCone*>(group->getChild(kEdgeChildren - 1));
        for (SoTransform* t : {aim, turn, shift}) {
            CopyFields(t, m_freshTransform.get());
        }
        CopyFields(cone, m_freshCone.get());
        aim->pointAt(look.from, look.to);
        turn->rotation.setValue(ConeTurn());
        shift->translation.setValue(0.0f, (look.to - look.from).length() / 2, 0.0f);
        material->diffuseColor.setValue(look.color);
        if (look.transparency) {
            material->transparency.setValue(*look.transparency);
        }
        NameNewSceneNode(cone, look.coneName);
        cone->bottomRadius.setValue(look.radius);
        cone->height.setValue(look.height);
        return edge;
    }
    return CoinPtr<SoNode>();
}

bool CEdgeMaterialPool::IsWaiting(const SoNode* node) { return WaitingNodes().count(node) > 0; }
