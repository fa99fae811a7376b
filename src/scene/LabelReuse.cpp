#include "LabelReuse.h"

#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "EdgeReuse.h"
#include "NewNodes.h"
#include "SceneNames.h"

namespace {

// A label group as one is built: its text and offset as they were made
// (a decluttered label shows an empty text and is built anew). Of the
// names only the text's is read: nothing names the group, its transform
// or its offset, and each read is a look-up in Coin's table.
bool IsLabelLayout(SoSeparator* group, std::string& name) {
    if (group->getNumChildren() != 3 || !group->renderCaching.isDefault() || !group->boundingBoxCaching.isDefault() ||
        !group->renderCulling.isDefault() || !group->pickCulling.isDefault()) {
        return false;
    }
    auto* transform = Exactly<SoTransform>(group->getChild(0));
    auto* offset = Exactly<SoTranslation>(group->getChild(1));
    auto* text = Exactly<SoText2>(group->getChild(2));
    if (!transform || !offset || !text || !transform->center.isDefault() || offset->translation.isDefault() ||
        text->string.getNum() != 1 || !text->spacing.isDefault() || !text->justification.isDefault()) {
        return false;
    }
    name = text->string[0].getString();
    return GetSceneName(text) == "text_" + name;
}

}  // namespace

CLabelReuse::CLabelReuse(SoSeparator* greenGroup, SoSeparator* redGroup) : m_scratch(new SoTransform) {
    Collect(greenGroup, false);
    Collect(redGroup, true);
}

CLabelReuse::~CLabelReuse() = default;

void CLabelReuse::Collect(SoSeparator* parent, bool red) {
    if (!parent) {
        return;
    }
    std::string name;
    for (int i = 0; i < parent->getNumChildren(); ++i) {
        auto* group = Exactly<SoSeparator>(parent->getChild(i));
        if (group && IsLabelLayout(group, name)) {
            m_byName.emplace(name, m_old.size());
            m_old.push_back({CoinPtr<SoSeparator>(group), red});
        }
    }
}

SoSeparator* CLabelReuse::Take(const std::string& name, bool red, const SbVec3f& offset, const SbMatrix& matrix) {
    auto range = m_byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        Old& old = m_old[it->second];
        if (old.taken || old.red != red ||
            static_cast<SoTranslation*>(old.group->getChild(1))->translation.getValue() != offset) {
            continue;
        }
        old.taken = true;
        {
            CQuietNewNode quiet(*m_scratch);
            m_scratch->setMatrix(matrix);
        }
        auto* transform = static_cast<SoTransform*>(old.group->getChild(0));
        if (!SameTransform(transform, m_scratch.get())) {
            // Notified: the group's caches hold the old place.
            transform->setMatrix(matrix);
        }
        return old.group.get();
    }
    return nullptr;
}
