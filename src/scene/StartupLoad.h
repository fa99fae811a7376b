#pragma once

#include <memory>
#include <string>

#include "BoxRep.h"
#include "NodePositions.h"

class CInteractionStore;
class CNode;
class ISceneHost;

struct StartupLoadResult {
    std::unique_ptr<CBoxRep> box;  // laid out, scene built
    bool dataLoaded = false;       // false: the store's GetDataError() says why
    bool positionsRead = false;    // false: no node-position file was found
};

// A new box representation of the graph in `graph`, laid out and built.
std::unique_ptr<CBoxRep> BuildBoxRepresentation(CInteractionStore& store, const std::unique_ptr<CNode>& graph,
                                                ISceneHost& host);

// The start-up load: reload the interactions, build the start-up graph into
// `graph` (the document's), place its molecules from the node-position
// file, and lay out and build the box scene. The caller shows box->GetRoot().
StartupLoadResult RunStartupLoad(CInteractionStore& store, std::unique_ptr<CNode>& graph, ISceneHost& host,
                                 const std::string& positionFile = kNodePositionFile);
