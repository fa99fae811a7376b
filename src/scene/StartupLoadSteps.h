#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "CameraFit.h"
#include "CoinPtr.h"
#include "StartupLoad.h"

class SoNode;

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
//
// A window shows the molecules first, and the scene's parts join it step
// by step: with LeaveCameraToCaller the scene does not place its camera at
// the end; instead the molecules' extent is read from the graph first (in
// slices too), before any scene node exists, for the caller to place the
// camera from and to draw the molecules as points while the scene grows.
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

    // Before BeginScene.
    void LeaveCameraToCaller() { m_bCallerPlacesCamera = true; }
    void BeginScene();
    // Scene work for about `budget`; false once the scene is complete. A
    // slice that completes the molecules' extent ends there.
    bool BuildSceneFor(std::chrono::milliseconds budget, const LoadProgressCallback& progress);
    // The scene being built (null before BeginScene and after Commit).
    CBoxRep* SceneInProgress() const { return m_box.get(); }
    // With LeaveCameraToCaller: whether the molecules' extent is complete,
    // and that extent (null before). Their scene nodes come after it.
    bool MoleculesReady() const { return m_extent && m_bExtentDone; }
    std::unique_ptr<CLayoutExtent> TakeExtent() { return MoleculesReady() ? std::move(m_extent) : nullptr; }
    // The finished load; the previous records and graph are released.
    StartupLoadResult Commit();
    // A stopped load: the half-built scene goes to the release set here
    // (destroyed at once without one), the previous data comes back.
    void Abandon();
    void SetSceneRelease(std::function<void(CoinPtr<SoNode>)> release) { m_releaseScene = std::move(release); }

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
    std::function<void(CoinPtr<SoNode>)> m_releaseScene;
    bool m_bDataLoaded = false;
    bool m_bPositionsRead = false;
    bool m_bSwapped = false;
    bool m_bCallerPlacesCamera = false;
    std::unique_ptr<CLayoutExtent> m_extent;
    int m_extentNext = 1;  // the next circle
    bool m_bExtentDone = false;
};

// An extent for the box scene's labels: with `all`, of every molecule
// group under its node root; otherwise still empty.
std::unique_ptr<CLayoutExtent> BoxLayoutExtent(const CBoxRep& box, bool all);
