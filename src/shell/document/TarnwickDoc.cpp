#include "TarnwickDoc.h"

#include "DotExport.h"
#include "FileWriter.h"
#include "PathwayFile.h"
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

}  // namespace

CTarnwickDoc::CTarnwickDoc(const std::string& connect) : CInteractionStore(connect), m_verdicts(connect) {}

CTarnwickDoc::~CTarnwickDoc() = default;

bool CTarnwickDoc::BuildStartupPathway() {
    bool loaded = false;
    m_pGraph = BuildStartupGraph(*this, loaded);
    return loaded;
}

bool CTarnwickDoc::BuildSpherePathway() {
    bool loaded = false;
    m_pGraph = BuildSphereGraph(*this, loaded);
    std::string ignored;  // no verdicts to read: the states stay as built
    if (m_pGraph) {
        m_verdicts.Apply(*this, *m_pGraph, ignored);
    }
    return loaded;
}

void CTarnwickDoc::OnSavePathway(IUserPrompt& prompt, const PathwayGrid& grid) {
    if (!m_pGraph) {
        m_pGraph = std::make_unique<CNode>(this);
    }
    std::string path;
    if (!AskSavePath(prompt, "bb", "bb file (*.bb) | *.bb ||", path)) {
        return;
    }
    std::string error;
    if (!SavePathway(*m_pGraph, path, grid, error)) {
        prompt.ShowMessage(error);
    }
}

bool CTarnwickDoc::ExportDot(const std::string& path, std::string& error) {
    if (!BuildStartupPathway()) {
        error = GetDataError();
        return false;
    }
    return WriteTextFile(path, FormatDotGraph(*m_pGraph), error);
}

void CTarnwickDoc::OnExportDot(IUserPrompt& prompt) {
    if (!BuildStartupPathway()) {
        prompt.ShowMessage(GetDataError());
        return;
    }
    if (m_pGraph->m_circle_count <= 0) {
        return;
    }
    std::string path;
    if (!AskSavePath(prompt, "dot", "dot file (*.dot) | *.dot ||", path)) {
        return;
    }
    std::string error;
    if (!WriteTextFile(path, FormatDotGraph(*m_pGraph), error)) {
        prompt.ShowMessage(error);
    }
}
