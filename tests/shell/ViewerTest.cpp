// The view: the examiner viewer and its render actions, the start-up load
// with the sample data, reloading, and what the screen shows.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/actions/SoBoxHighlightRenderAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "BoxRep.h"
#include "CoinPtr.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "Node.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }
CTarnwickView& View() { return *Frame().GetActiveView(); }

// A sphere drawn opaque (a molecule at level 0), as a path from the root.
CoinPtr<SoPath> FindOpaqueSphere(CBoxRep& box) {
    SoSearchAction search;
    search.setType(SoSphere::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(box.GetRoot());
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        SoPath* path = search.getPaths()[i];
        auto* group = static_cast<SoGroup*>(path->getNodeFromTail(1));
        auto* material = group->getNumChildren() > 1 ? dynamic_cast<SoMaterial*>(group->getChild(1)) : nullptr;
        if (material && material->transparency[0] == 0.0f) {
            return CoinPtr<SoPath>(path);  // outlives the search action's list
        }
    }
    return {};
}

}  // namespace

TEST(View, ExaminerViewerWithWhiteBoxHighlight) {
    SoQtExaminerViewer* viewer = View().GetViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isDecoration());
    EXPECT_EQ(viewer->getGLRenderAction(), View().GetBoxHighlightAction());
    EXPECT_EQ(View().GetBoxHighlightAction()->getColor(), SbColor(1, 1, 1));
    EXPECT_EQ(View().GetBoxHighlightAction()->getTransparencyType(), SoGLRenderAction::DELAYED_ADD);
    EXPECT_EQ(View().GetGLAction()->getTransparencyType(), SoGLRenderAction::DELAYED_ADD);
    EXPECT_TRUE(View().GetViewer()->getWidget()->isVisible());
}

TEST(View, StartupLoadShowsTheSampleWithNodePositions) {
    CTarnwickDoc& doc = *SampleApp().GetDocument();
    ASSERT_TRUE(doc.m_pGraph);
    EXPECT_GT(doc.m_nInteractions, 50);
    EXPECT_GT(doc.m_pGraph->m_circle_count, 20);
    CBoxRep* box = View().GetBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCircleCount(), doc.m_pGraph->m_circle_count);
    EXPECT_EQ(View().GetSceneRoot(), box->GetRoot());
    EXPECT_EQ(View().GetViewer()->getSceneGraph(), box->GetRoot());
    // Reloading reads yeast.graph.txt of the working folder again (other
    // commands rebuild the graph without positions):
    // "node 1 -0.990000 -1.110000".
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::StartupLoad));
    const MoleculeRecord* first = doc.m_pGraph->GetMolecule(1, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(first->posX, -0.99f);
    EXPECT_FLOAT_EQ(first->posY, -1.11f);
}

TEST(View, ReloadPathwayReplacesTheBoxAndKeepsTheViewer) {
    SoQtExaminerViewer* viewer = View().GetViewer();
    SoGLRenderAction* action = viewer->getGLRenderAction();
    const int circles = View().GetBox()->GetCircleCount();
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::StartupLoad));
    CBoxRep* reloaded = View().GetBox();
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(viewer->getSceneGraph(), reloaded->GetRoot());
    EXPECT_EQ(View().GetViewer(), viewer);
    EXPECT_EQ(viewer->getGLRenderAction(), action);
    EXPECT_EQ(reloaded->GetCircleCount(), circles);
}

TEST(View, ViewportRegionKeepsItsStartSize) {
    const SbVec2s start = View().GetViewportRegion().getWindowSize();
    EXPECT_GT(start[0], 200);
    EXPECT_GT(start[1], 200);
    Frame().showNormal();
    Frame().resize(700, 500);
    QTest::qWait(300);
    EXPECT_EQ(View().GetViewportRegion().getWindowSize(), start);
    Frame().showMaximized();
    QTest::qWait(300);
}

TEST(View, ScreenshotOfTheSampleShowsSpheresAndLabels) {
    const QImage shot = GrabViewerArea();
    ASSERT_FALSE(shot.isNull());
    QGuiApplication::primaryScreen()->grabWindow(0).save(ArtifactPath("sample_window.png"));
    shot.save(ArtifactPath("sample_scene.png"));
    const int green = CountPixels(shot, IsSphereGreen);
    const int white = CountPixels(shot, [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; });
    EXPECT_GT(green, 10) << "no sphere pixels";
    EXPECT_GT(white, 200) << "no label pixels";

    // Up close, a level-0 molecule fills a good part of the view in green.
    CBoxRep* box = View().GetBox();
    CoinPtr<SoPath> sphere = FindOpaqueSphere(*box);
    ASSERT_TRUE(sphere);
    // Seen from the side, where no edge rising to a lifted molecule covers it.
    const SbRotation start = box->GetCamera()->orientation.getValue();
    box->GetCamera()->orientation.setValue(SbRotation::identity());
    box->GetCamera()->viewAll(sphere.get(), View().GetViewer()->getViewportRegion(), 1.0f);
    const QImage close = GrabViewerArea();
    box->GetCamera()->orientation.setValue(start);
    close.save(ArtifactPath("sample_sphere.png"));
    EXPECT_GT(CountPixels(close, IsSphereGreen), close.width() * close.height() / 20);
    box->GetCamera()->viewAll(box->GetRoot(), View().GetViewportRegion(), 1.0f);
}

// View With Box draws a white box around a selected sphere, and the sphere
// keeps its own colour inside it.
TEST(View, ViewWithBoxOutlinesASelectedSphere) {
    ASSERT_TRUE(Frame().GetModeFlags().m_bViewWithBox);
    CBoxRep* box = View().GetBox();
    CoinPtr<SoPath> sphere = FindOpaqueSphere(*box);
    ASSERT_TRUE(sphere);
    const SbRotation start = box->GetCamera()->orientation.getValue();
    box->GetCamera()->orientation.setValue(SbRotation::identity());
    box->GetCamera()->viewAll(sphere.get(), View().GetViewer()->getViewportRegion(), 3.0f);
    const QImage before = GrabViewerArea();
    box->GetSelection()->select(sphere.get());
    const QImage after = GrabViewerArea();
    box->GetSelection()->deselectAll();
    box->GetCamera()->orientation.setValue(start);
    box->GetCamera()->viewAll(box->GetRoot(), View().GetViewportRegion(), 1.0f);
    after.save(ArtifactPath("selected_sphere_box.png"));
    ASSERT_EQ(before.size(), after.size());
    auto white = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; };
    int outline = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            outline += white(after.pixel(x, y)) && !white(before.pixel(x, y)) ? 1 : 0;
        }
    }
    const int green = CountPixels(before, IsSphereGreen);
    ASSERT_GT(green, 100);
    // The box's edges run round the sphere: at least its width in new white pixels.
    EXPECT_GT(outline, 2 * static_cast<int>(std::sqrt(green)));
    EXPECT_GT(CountPixels(after, IsSphereGreen), green / 2) << "the selected sphere lost its colour";
}
