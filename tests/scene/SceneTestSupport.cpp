#include "SceneTestSupport.h"

#include <cstdlib>
#include <regex>

#include <Inventor/SoOutput.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/actions/SoWriteAction.h>

#include "Representation.h"
#include "SceneNames.h"
#include "StartupBuild.h"

std::unique_ptr<CNode> BuildTestGraph(CInteractionStore& store, const std::vector<TestRow>& rows) {
    FillInteractions(store, rows);
    return BuildStartupGraphFromArray(store);
}

SoNode* FindNamed(SoNode* root, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(root);
    return search.getPath() ? search.getPath()->getTail() : nullptr;
}

std::vector<SoNode*> FindAllNamed(SoNode* root, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.setInterest(SoSearchAction::ALL);
    search.apply(root);
    std::vector<SoNode*> found;
    const SoPathList& paths = search.getPaths();
    for (int i = 0; i < paths.getLength(); ++i) {
        found.push_back(paths[i]->getTail());
    }
    return found;
}

int ChildCount(SoNode* group) { return As<SoGroup>(group) ? As<SoGroup>(group)->getNumChildren() : -1; }

CoinPtr<SoPath> PathTo(SoNode* root, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.apply(root);
    return CoinPtr<SoPath>(search.getPath() ? search.getPath()->copy() : nullptr);
}

SbMatrix MatrixAlong(SoPath* path) {
    SoGetMatrixAction action(SbViewportRegion(640, 480));
    action.apply(path);
    return action.getMatrix();
}

SbMatrix MatrixOf(SoNode* node) {
    SoGetMatrixAction action(SbViewportRegion(640, 480));
    action.apply(node);
    return action.getMatrix();
}

std::string SceneText(SoNode* root) {
    SoOutput out;
    out.setBuffer(malloc(1024), 1024, realloc);
    SoWriteAction write(&out);
    write.apply(root);
    void* buffer = nullptr;
    size_t size = 0;
    out.getBuffer(buffer, size);
    std::string text(static_cast<const char*>(buffer), size);
    free(buffer);
    return text;
}

std::string Shown(const CRepresentation& rep) {
    const std::string text = SceneText(rep.GetNodeRoot()) + SceneText(rep.GetGreenCharRoot()) +
                             SceneText(rep.GetRedCharRoot()) + SceneText(rep.GetEdgeRoot());
    return std::regex_replace(text, std::regex("-0(?![.0-9])"), "0");
}
