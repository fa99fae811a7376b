#include "SceneClasses.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include "CoinNameTable.h"
#include "CoinNodeNames.h"
#include "SelectionNode.h"

void InitSceneClasses() {
    InstallSceneNameTable();
    InstallSceneNodeNames();
    SoDB::init();
    SoNodeKit::init();
    SoInteraction::init();
    CSelectionNode::initClass();
}
