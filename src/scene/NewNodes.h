#pragma once

#include <Inventor/fields/SoField.h>
#include <Inventor/fields/SoFieldContainer.h>
#include <Inventor/fields/SoFieldData.h>
#include <Inventor/nodes/SoGroup.h>

// Filling nodes made for a scene that is being built, before anything else
// holds them. Coin notifies a node's auditors of every field change and
// every child added, through its whole notification machinery, even when
// the node has none yet: over the million nodes of a large scene that
// costs a tenth of the build. A node filled here must be new, and so must
// any group it is added to: no action, cache, sensor or path can have seen
// it, so no one misses the notification. Only node ids, which move with
// notifications, stay as the nodes were made. Materials and shapes are
// not filled this way: their own notify resets what they keep about their
// fields (whether a material is transparent, a shape's flags).

// Sets a field of a new node (a transform, translation or rotation).
template <class Field, class... Values>
void SetNewField(Field& field, const Values&... values) {
    const SbBool notifies = field.enableNotify(FALSE);
    field.setValue(values...);
    field.enableNotify(notifies);
}

// Adds a child to a new group.
inline void AddNewChild(SoGroup& group, SoNode* child) {
    const SbBool notifies = group.enableNotify(FALSE);
    group.addChild(child);
    group.enableNotify(notifies);
}

// While it lives, no field of a new node notifies: for a node's own setters
// (a transform's setMatrix or pointAt) that set several fields.
class CQuietNewNode {
public:
    explicit CQuietNewNode(SoFieldContainer& node) : m_node(node) { Enable(FALSE); }
    ~CQuietNewNode() { Enable(TRUE); }
    CQuietNewNode(const CQuietNewNode&) = delete;
    CQuietNewNode& operator=(const CQuietNewNode&) = delete;

private:
    void Enable(SbBool on) {
        if (const SoFieldData* fields = m_node.getFieldData()) {
            for (int i = 0; i < fields->getNumFields(); ++i) {
                fields->getField(&m_node, i)->enableNotify(on);
            }
        }
    }
    SoFieldContainer& m_node;
};
