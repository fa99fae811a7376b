#pragma once

#include <string>

#include <Inventor/SbName.h>

class SoBase;
class SoNode;
class SoSearchAction;

// Coin's setName rewrites names it does not accept (a space, ".", "+",
// quotes, "\", braces, bytes outside printable ASCII, a first character
// other than a letter or "_"), after which a search by the molecule's name
// finds nothing. Every scene node name therefore passes through this pair.
//
// Encode is the identity for every name Coin stores unchanged and that has
// no "`" in it. Any other name becomes "_`" followed by the name with each
// byte Coin refuses, and each "`", written as "`" plus two upper-case hex
// digits. Identity results never contain "`" and escaped ones always start
// with "_`", so no two names share an encoding.
std::string EncodeSceneName(const std::string& name);
// The name an encoded scene name stands for; a name that is not a
// well-formed escape comes back unchanged.
std::string DecodeSceneName(const std::string& sceneName);
// Whether Coin's setName would store `name` as it is.
bool IsAcceptedSceneName(const std::string& name);

// Changes whenever our code names a node that may stand in a scene or lets
// a scene go. Whatever caches name look-ups inside a scene compares it.
unsigned long SceneNamingEpoch();
void NoteSceneNamesChanged();

SbName SceneName(const std::string& name);
void SetSceneName(SoBase* node, const std::string& name);
// Names a node just made, before it joins any scene and before it has a
// name: the epoch stays, as the node's joining a scene is a change that the
// scene's watchers see.
void NameNewSceneNode(SoBase* node, const std::string& name);
void NameNewSceneNode(SoBase* node, const char* name);
// The same with a name SceneName encoded already (one name for many nodes).
void NameNewSceneNode(SoBase* node, const SbName& sceneName);
// The decoded name of a node (empty for an unnamed node).
std::string GetSceneName(const SoBase* node);
// The last node created under that name (SoNode::getByName), or null.
SoNode* FindNodeBySceneName(const std::string& name);
void SetSearchName(SoSearchAction& search, const std::string& name);
