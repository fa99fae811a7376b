#include "SelectionNode.h"

SO_NODE_SOURCE(CSelectionNode);

void CSelectionNode::initClass() {
    if (getClassTypeId() == SoType::badType()) {
        SO_NODE_INIT_CLASS(CSelectionNode, SoSelection, "Selection");
    }
}

CSelectionNode::CSelectionNode() { SO_NODE_CONSTRUCTOR(CSelectionNode); }

CSelectionNode::~CSelectionNode() = default;
