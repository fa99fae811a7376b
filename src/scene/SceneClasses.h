#pragma once

// Registers the Coin classes the scenes use: the database, node kits, the
// interaction classes (SoSelection is one of them; without it a selection
// node has no type and type searches miss it) and our selection node.
// Needs no display; calling it again does nothing.
void InitSceneClasses();

// A base that registers the classes before its class's members make nodes.
struct SceneClassesReady {
    SceneClassesReady() { InitSceneClasses(); }
};
