#include "TarnwickDoc.h"

#include <filesystem>

#include "DotExport.h"
#include "FileWriter.h"
#include "GridLayout.h"
#include "PathwayFile.h"
#include "PathwayGridOfLayout.h"
#include "RelationNodeNames.h"
#include "SphereBuild.h"
#include "StartupBuild.h"
#include "UserPrompt.h"

namespace {

// A file-save dialog with an overwrite prompt; false when cancelled.
bool AskSavePath(IUserPrompt& prompt, const char* extension, const char* filter, std::string& path) {
    IUserPrompt::FileChoice choice;
    choice.save = true;
    choice.defaultExtension = extension;
    choice.filter = filter;
    choice.promptOverwrite = true;
    return prompt.ChooseFile(choice, path);
}

// "<what> to <absolute path>", for the status bar.
std::string WrittenNote(const std::string& what, const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(path, ignored).lexically_normal();
    return what + " to " + (full.empty() ? path : full.string());
}

}  // namespace

CTarnwickDoc::CTarnwickDoc(const std::string& connect) : CInteractionStore(connect), m_verdicts(connect) {}

CTarnwickDoc::~CTarnwickDoc() = default;

bool CTarnwickDoc::BuildStartupPathway() {
    bool loaded = false;
    m_pGraph = BuildStartupGraph(*this, loaded);
    return loaded;
}

bool CTarnwickDoc::BuildSpherePathway() {
    // The records locate the shown graph's relation nodes: they go back with it.
    std::vector<InteractionRecord> shown = std::move(m_pInteractions);
    const int shownCount = m_nInteractions;
    bool loaded = false;
    std::string error;
    std::unique_ptr<CNode> graph = BuildSphereGraph(*this, loaded, error);
    if (!loaded || !graph) {
        m_pInteractions = std::move(shown);
        m_nInteractions = shownCount;
        InvalidateInteractionIndex();
        if (!error.empty()) {
            ReportDataError(error);
        }
        return false;
    }
    m_relationNames.Remember(*graph, *this);
    m_pGraph = std::move(graph);
    std::string ignored;  // no verdicts to read: the states stay as built
    m_verdicts.Apply(*this, *m_pGraph, ignored);
    return true;
}

bool CTarnwickDoc::SaveStartupLoadPathway(const std::string& path, std::string& error,
                                          const std::string& positionFile) {
    if (!BuildStartupPathway()) {
        error = GetDataError();
        return false;
    }
    ApplyNodePositions(*m_pGraph, positionFile);
    CGridLayout box;
    box.Layout(m_pGraph->m_circle_count);
    return SavePathway(*m_pGraph, path, PathwayGridOf(box), error);
}

bool CTarnwickDoc::OpenPathway(const std::string& path, std::string& error) {
    LoadedPathway loaded;
    if (!LoadPathway(path, this, loaded, error)) {
        return false;
    }
    // Everything that can fail is done; from here on the swap is whole.
    const std::vector<NodePos> nodes = LocateRelationNodes(*loaded.graph, *this, &m_relationNames);
    for (size_t i = 0; i < m_pInteractions.size(); ++i) {
        InteractionRecord& r = m_pInteractions[i];
        const NodePos p = i < nodes.size() ? nodes[i] : NodePos{};
        r.built = p.circle > 0 ? 1 : 0;
        r.nodeCircle = p.circle;
        r.nodeIndex = p.index;
    }
    m_pGraph = std::move(loaded.graph);
    m_nLoadedHor = loaded.hor;
    m_nLoadedVer = loaded.ver;
    std::string ignored;  // no verdicts to read: the states stay as read
    m_verdicts.Apply(*this, *m_pGraph, ignored);
    return true;
}

std::string CTarnwickDoc::OnSavePathway(IUserPrompt& prompt, const PathwayGrid& grid) {
    if (!m_pGraph) {
        m_pGraph = std::make_unique<CNode>(this);
    }
    std::string path;
    if (!AskSavePath(prompt, "bb", "bb file (*.bb) | *.bb ||", path)) {
        return {};
    }
    std::string error;
    int namesWithLineBreaks = 0;
    if (!SavePathway(*m_pGraph, path, grid, error, &namesWithLineBreaks)) {
        prompt.ShowMessage(error);
        return {};
    }
    m_history.MarkSaved(m_pGraph.get());
    if (namesWithLineBreaks > 0) {
        prompt.ShowMessage(LineBreakNote(path, namesWithLineBreaks));
    }
    return WrittenNote("Saved " + std::to_string(m_pGraph->m_lstCircles.size()) + " circles", path);
}

std::unique_ptr<CNode> CTarnwickDoc::BuildExportGraph(CInteractionStore& fresh, std::string& error) const {
    bool loaded = false;
    std::unique_ptr<CNode> graph = BuildStartupGraph(fresh, loaded);
    if (!loaded) {
        error = fresh.GetDataError();
        return nullptr;
    }
    return graph;
}

bool CTarnwickDoc::ExportDot(const std::string& path, std::string& error) {
    if (!BuildStartupPathway()) {
        error = GetDataError();
        return false;
    }
    return WriteTextFile(path, FormatDotGraph(*m_pGraph), error);
}

std::string CTarnwickDoc::OnExportDot(IUserPrompt& prompt) {
    CInteractionStore fresh(m_setInteraction.GetConnect());
    std::string error;
    const std::unique_ptr<CNode> graph = BuildExportGraph(fresh, error);
    if (!graph) {
        prompt.ShowMessage(error);
        return {};
    }
    if (graph->m_circle_count <= 0) {
        return {};
    }
    std::string path;
    if (!AskSavePath(prompt, "dot", "dot file (*.dot) | *.dot ||", path)) {
        return {};
    }
    const std::string text = FormatDotGraph(*graph);
    if (!WriteTextFile(path, text, error)) {
        prompt.ShowMessage(error);
        return {};
    }
    // One "--" per link line; the header has none.
    size_t links = 0;
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
        ++links;
    }
    return WrittenNote("Exported " + std::to_string(links) + " links of " +
                           std::to_string(graph->m_circle_count - 1) + " molecules",
                       path);
}
