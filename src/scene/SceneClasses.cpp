#include "SceneClasses.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include "CoinNameTable.h"
#include "SelectionNode.h"

void InitSceneClasses() {
    InstallSceneNameTable();
    SoDB::init();
    SoNodeKit::init();
    SoInteraction::init();
    CSelectionNode::initClass();
}
