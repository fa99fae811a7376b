#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>

#include "BoxRep.h"
#include "SceneNames.h"
#include "SceneTestSupport.h"
#include "StartupLoad.h"

// A box scene over a small start-up graph, clicked and searched the way
// the viewer and the search panel do.
class ExploreTest : public ::testing::Test {
protected:
    // Start-up graph of the rows, changed by `edit` before the scene is built.
    void Build(const std::vector<TestRow>& rows, const std::function<void(CNode&)>& edit = {}) {
        box.reset();
        graph = BuildTestGraph(store, rows);
        if (edit) {
            edit(*graph);
        }
        box = BuildBoxRepresentation(store, graph, host);
    }

    // The path a pick of the named sphere gives: from the root down.
    CoinPtr<SoPath> PathOf(const std::string& name) const {
        SoSearchAction search;
        SetSearchName(search, name);
        search.setInterest(SoSearchAction::FIRST);
        search.apply(box->GetRoot());
        return CoinPtr<SoPath>(search.getPath() ? search.getPath()->copy() : nullptr);
    }
    void Click(const std::string& name) {
        CoinPtr<SoPath> path = PathOf(name);
        ASSERT_TRUE(path) << name;
        box->ToggleSelection(path.get());
    }

    // Names of the selected spheres, in selection order.
    std::vector<std::string> Selected() const {
        std::vector<std::string> names;
        const SoPathList& paths = *box->GetSelection()->getList();
        for (int i = 0; i < paths.getLength(); ++i) {
            names.push_back(GetSceneName(paths[i]->getTail()));
        }
        return names;
    }
    std::set<std::string> SelectedSet() const {
        const std::vector<std::string> names = Selected();
        return std::set<std::string>(names.begin(), names.end());
    }
    std::vector<std::string> Listed() const { return box->GetSelectNames().Names(); }

    SoMaterial* MoleculeMaterial(const std::string& name) const {
        CoinPtr<SoPath> path = PathOf(name);
        auto* group = path ? static_cast<SoGroup*>(path->getNodeFromTail(1)) : nullptr;
        return group ? static_cast<SoMaterial*>(group->getChild(1)) : nullptr;
    }
    // The material of the edge whose cone bears that name.
    SoMaterial* EdgeMaterial(const std::string& cone) const {
        SoSearchAction search;
        SetSearchName(search, cone);
        search.apply(box->GetEdgeRoot());
        auto* group = search.getPath() ? static_cast<SoGroup*>(search.getPath()->getNodeFromTail(1)) : nullptr;
        return group ? static_cast<SoMaterial*>(group->getChild(3)) : nullptr;
    }

    void UseMode(int mode) {
        host.m_flags.m_bViewWithBox = mode == 0;
        host.m_flags.m_bSelectiveShowing = mode == 1;
        host.m_flags.m_bViewByColor = mode == 2;
    }
    void UseSelectRelated(bool related) {
        host.m_flags.m_bSelectRelated = related;
        host.m_flags.m_bSelectOne = !related;
    }

    CInteractionStore store{""};
    TestSceneHost host;
    std::unique_ptr<CNode> graph;
    std::unique_ptr<CBoxRep> box;
};
