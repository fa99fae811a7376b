#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Node.h"

class CInteractionStore;

// Reloads the interactions and builds the start-up graph from them: one
// molecule per circle, links from the first member to the second.
// `loaded` is false when the table could not be read (the graph is then
// empty and the store holds the diagnostic).
std::unique_ptr<CNode> BuildStartupGraph(CInteractionStore& store, bool& loaded);

// The same build over the records the store already holds (no reload).
std::unique_ptr<CNode> BuildStartupGraphFromArray(CInteractionStore& store);
// The same, calling `step` with the records done and in all every few
// thousand records; a step that returns false stops the build (null).
std::unique_ptr<CNode> BuildStartupGraphFromArray(CInteractionStore& store,
                                                  const std::function<bool(size_t, size_t)>& step);

// The level of an interaction: the integer its remark starts with, else 0.
int InteractionLevel(const std::string& remark);
