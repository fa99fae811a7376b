#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "StartupLoad.h"

// Where a long piece of work stands, for a progress display.
struct LoadProgress {
    enum class Stage { Reading, ReadingFile, Graph, Molecules, Labels, Edges };
    Stage stage = Stage::Reading;
    size_t done = 0;
    size_t total = 0;  // 0: not known yet
};
using LoadProgressCallback = std::function<void(const LoadProgress&)>;

// Continues a scene build begun with BeginSceneSteps for about `budget`
// (at least one step); false once the scene is complete.
bool ContinueSceneBuild(CRepresentation& rep, std::chrono::milliseconds budget, const LoadProgressCallback& progress);

// The start-up load cut into parts that a window can interleave with
// painting. Prepare (fetch, graph build, node positions) touches only a
// store of its own and may run on another thread. BeginScene puts the new
// records and graph into the document, keeping the previous ones, and
// starts the box scene; BuildSceneFor continues it in slices on the
// thread that owns the scene. Commit ends the load; Abandon, or
// destruction before Commit, puts the previous records and graph back, so
// a load stopped half-way loses nothing.
class CStartupLoadSteps {
public:
    CStartupLoadSteps(CInteractionStore& doc, std::unique_ptr<CNode>& graphSlot, ISceneHost& host,
                      const std::string& connect, std::string positionFile = kNodePositionFile);
    ~CStartupLoadSteps();
    CStartupLoadSteps(const CStartupLoadSteps&) = delete;
    CStartupLoadSteps& operator=(const CStartupLoadSteps&) = delete;

    // False when `cancelled` said so before the graph was complete.
    bool Prepare(const std::function<bool()>& cancelled, const LoadProgressCallback& progress);
    // After Prepare: whether the table was read, and if not why.
    bool DataLoaded() const { return m_bDataLoaded; }
    std::string DataError() const;

    void BeginScene();
    // Scene work for about `budget`; false once the scene is complete.
    bool BuildSceneFor(std::chrono::milliseconds budget, const LoadProgressCallback& progress);
    // The finished load; the previous records and graph are released.
    StartupLoadResult Commit();
    void Abandon();

private:
    CInteractionStore& m_doc;
    std::unique_ptr<CNode>& m_graphSlot;
    ISceneHost& m_host;
    std::string m_positionFile;
    // Before BeginScene the new records; after it the previous ones.
    std::unique_ptr<CInteractionStore> m_staging;
    // Before BeginScene the new graph; after it the previous one.
    std::unique_ptr<CNode> m_graph;
    std::unique_ptr<CBoxRep> m_box;
    bool m_bDataLoaded = false;
    bool m_bPositionsRead = false;
    bool m_bSwapped = false;
};
