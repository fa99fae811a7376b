#include "SceneTestSupport.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>

#include "SceneNames.h"
#include "StartupBuild.h"

std::unique_ptr<CNode> BuildTestGraph(CInteractionStore& store, const std::vector<TestRow>& rows) {
    int n = 0;
    for (const TestRow& row : rows) {
        InteractionRecord r;
        r.id = "r__" + std::to_string(++n);
        r.member1 = row.m1;
        r.member2 = row.m2;
        r.kind = row.kind;
        r.remark = row.remark;
        store.m_pInteractions.push_back(r);
    }
    store.m_nInteractions = n;
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
