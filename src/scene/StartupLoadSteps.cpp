#include "StartupLoadSteps.h"

#include <algorithm>

#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoSeparator.h>

#include "InteractionStore.h"
#include "Node.h"
#include "StartupBuild.h"

CStartupLoadSteps::CStartupLoadSteps(CInteractionStore& doc, std::unique_ptr<CNode>& graphSlot, ISceneHost& host,
                                     const std::string& connect, std::string positionFile)
    : m_doc(doc),
      m_graphSlot(graphSlot),
      m_host(host),
      m_positionFile(std::move(positionFile)),
      m_staging(std::make_unique<CInteractionStore>(connect)) {
    // The token list only ever grows across loads: start from the document's.
    for (const std::string& token : doc.m_lstSpecialTokens) {
        m_staging->AddSpecialToken(token);
    }
}

CStartupLoadSteps::~CStartupLoadSteps() { Abandon(); }

bool CStartupLoadSteps::Prepare(const std::function<bool()>& cancelled, const LoadProgressCallback& progress) {
    if (progress) {
        progress({LoadProgress::Stage::Reading, 0, 0});
    }
    m_bDataLoaded = m_staging->LoadInteractions();
    m_staging->CollectSpecialTokens();
    if (cancelled && cancelled()) {
        return false;
    }
    m_graph = BuildStartupGraphFromArray(*m_staging, [&](size_t done, size_t total) {
        if (progress) {
            progress({LoadProgress::Stage::Graph, done, total});
        }
        return !(cancelled && cancelled());
    });
    if (!m_graph) {
        return false;
    }
    m_bPositionsRead = ApplyNodePositions(*m_graph, m_positionFile);
    return true;
}

std::string CStartupLoadSteps::DataError() const {
    return m_bSwapped || !m_staging ? m_doc.GetDataError() : m_staging->GetDataError();
}

void CStartupLoadSteps::BeginScene() {
    if (m_bSwapped || !m_graph) {
        return;
    }
    m_doc.SwapLoadedData(*m_staging);
    m_graph->m_pDoc = &m_doc;
    std::swap(m_graphSlot, m_graph);
    m_bSwapped = true;
    m_box = std::make_unique<CBoxRep>(m_doc, m_graphSlot, m_host);
    m_box->Layout(m_graphSlot->m_circle_count);
    m_box->BeginSceneSteps(!m_bCallerPlacesCamera);
    if (m_bCallerPlacesCamera) {
        m_extent = BoxLayoutExtent(*m_box, false);
        m_extentNext = 1;
        m_bExtentDone = false;
    }
}

std::unique_ptr<CLayoutExtent> BoxLayoutExtent(const CBoxRep& box, bool all) {
    // The label root starts with the labels' font.
    auto* font = static_cast<const SoFont*>(box.GetLabelRoot()->getChild(0));
    auto extent = std::make_unique<CLayoutExtent>(*font, SbVec3f(0.0f, CBoxRep::kLabelLift, 0.0f));
    SoSeparator* molecules = box.GetNodeRoot();
    for (int i = 0; all && i < molecules->getNumChildren(); ++i) {
        extent->Add(molecules->getChild(i));
    }
    return extent;
}

namespace {

void ReportSceneProgress(const CRepresentation& rep, CRepresentation::SceneStage stage,
                         const LoadProgressCallback& progress) {
    if (!progress) {
        return;
    }
    LoadProgress p;
    switch (stage) {
    case CRepresentation::SceneStage::Molecules:
        p.stage = LoadProgress::Stage::Molecules;
        break;
    case CRepresentation::SceneStage::Labels:
        p.stage = LoadProgress::Stage::Labels;
        break;
    default:
        p.stage = LoadProgress::Stage::Edges;
        break;
    }
    p.done = rep.SceneStepsDone();
    p.total = rep.SceneStepCount();
    progress(p);
}

}  // namespace

bool ContinueSceneBuild(CRepresentation& rep, std::chrono::milliseconds budget, const LoadProgressCallback& progress) {
    // A slice ends where a stage ends, and reports that stage: each stage
    // is seen in the progress and painted before the next begins.
    const auto until = std::chrono::steady_clock::now() + budget;
    const CRepresentation::SceneStage stage = rep.GetSceneStage();
    bool more = true;
    while ((more = rep.BuildSceneStep()) && rep.GetSceneStage() == stage &&
           std::chrono::steady_clock::now() < until) {
    }
    ReportSceneProgress(rep, stage, progress);
    return more;
}

bool CStartupLoadSteps::BuildSceneFor(std::chrono::milliseconds budget, const LoadProgressCallback& progress) {
    if (!m_box) {
        return false;
    }
    if (!m_extent || m_bExtentDone) {
        return ContinueSceneBuild(*m_box, budget, progress);
    }
    // The molecules' places come straight from the graph, before any of
    // their scene nodes: creating those takes longer than the fetch. The
    // slice that completes them ends there, so that the caller can show
    // them at once.
    const auto until = std::chrono::steady_clock::now() + budget;
    const int circles = m_box->PlacedCircleCount();
    do {
        // Many circles between looks at the clock.
        constexpr int kBatch = 256;
        for (const int end = std::min(circles + 1, m_extentNext + kBatch); m_extentNext < end; ++m_extentNext) {
            m_box->AddCircleLayout(m_extentNext, *m_extent);
        }
        m_bExtentDone = m_extentNext > circles;
    } while (!m_bExtentDone && std::chrono::steady_clock::now() < until);
    ReportSceneProgress(*m_box, m_box->GetSceneStage(), progress);
    return true;
}

StartupLoadResult CStartupLoadSteps::Commit() {
    StartupLoadResult result;
    result.dataLoaded = m_bDataLoaded;
    result.positionsRead = m_bPositionsRead;
    if (m_box) {
        while (m_box->BuildSceneStep()) {
        }
    }
    result.box = std::move(m_box);
    m_bSwapped = false;
    m_graph.reset();
    m_staging.reset();
    return result;
}

void CStartupLoadSteps::Abandon() {
    // The half-built representation reads the new graph: it goes first.
    // Its nodes do not, and at 100k take about a second to destroy.
    CoinPtr<SoNode> scene(m_box && m_releaseScene ? m_box->GetRoot() : nullptr);
    m_box.reset();
    if (scene) {
        m_releaseScene(std::move(scene));
    }
    if (!m_bSwapped) {
        return;
    }
    std::swap(m_graphSlot, m_graph);
    m_doc.SwapLoadedData(*m_staging);
    m_bSwapped = false;
}
