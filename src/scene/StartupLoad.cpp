#include "StartupLoad.h"

#include "Node.h"
#include "StartupBuild.h"

std::unique_ptr<CBoxRep> BuildBoxRepresentation(CInteractionStore& store, const std::unique_ptr<CNode>& graph,
                                                ISceneHost& host) {
    auto box = std::make_unique<CBoxRep>(store, graph, host);
    box->Layout(graph ? graph->m_circle_count : 1);
    box->BuildScene();
    return box;
}

StartupLoadResult RunStartupLoad(CInteractionStore& store, std::unique_ptr<CNode>& graph, ISceneHost& host,
                                 const std::string& positionFile) {
    StartupLoadResult result;
    graph = BuildStartupGraph(store, result.dataLoaded);
    result.positionsRead = ApplyNodePositions(*graph, positionFile);
    result.box = BuildBoxRepresentation(store, graph, host);
    return result;
}
