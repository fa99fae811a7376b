// Frames while the camera moves (a drag, a turn of the wheel): a scene too
// slow for the frame budget leaves its labels out until the motion stops;
// its scene stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "MotionViewer.h"
#include "Representation.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

// Every node in traversal order: type, name and child count.
std::vector<std::string> Outline(SoNode* root) {
    std::vector<std::string> lines;
    std::function<void(SoNode*)> walk = [&](SoNode* node) {
        auto* group = node->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(node) : nullptr;
        lines.push_back(std::string(node->getTypeId().getName().getString()) + ' ' + node->getName().getString() +
                        ' ' + std::to_string(group ? group->getNumChildren() : -1));
        for (int i = 0; group && i < group->getNumChildren(); ++i) {
            walk(group->getChild(i));
        }
    };
    walk(root);
    return lines;
}

bool IsLabelWhite(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; }

void SendMouse(QWidget* area, QEvent::Type type, const QPoint& at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, area->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(area, &event);
}

}  // namespace

TEST(MotionGui, ASlowSceneMovesWithoutLabelsAndStandsStillComplete) {
    CTarnwickView& view = *SampleApp().GetMainWnd()->GetActiveView();
    CMotionViewer* viewer = view.GetMotionViewer();
    CRepresentation* shown = view.GetCommandTarget();
    ASSERT_TRUE(viewer && shown);
    shown->DeselectAll();  // the box around a selected sphere is white too
    SoPerspectiveCamera* camera = shown->GetCamera();
    const SbVec3f position = camera->position.getValue();
    const SbRotation orientation = camera->orientation.getValue();
    const std::vector<std::string> outline = Outline(shown->GetRoot());
    const double budget = viewer->Budget().GetBudget();
    QWidget* area = viewer->getGLWidget();

    // A zero budget makes every frame of the sample too slow; a budget of
    // minutes none.
    const struct {
        double budget;
        bool labelsWhileMoving;
    } cases[] = {{0.0, false}, {600.0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.budget);
        viewer->Budget().SetBudget(c.budget);
        const QImage still = GrabViewerArea();
        EXPECT_EQ(viewer->LastFrameDetail(), FrameDetail::Complete);
        EXPECT_GT(CountPixels(still, IsLabelWhite), 200) << "no labels in the still frame";

        QPoint at(area->width() / 2, area->height() / 2);
        SendMouse(area, QEvent::MouseButtonPress, at);
        for (int step = 0; step < 3; ++step) {
            at += QPoint(6, 2);
            SendMouse(area, QEvent::MouseMove, at);
        }
        ASSERT_TRUE(viewer->IsCameraMoving());
        const QImage moving = GrabViewerArea();
        moving.save(ArtifactPath(QStringLiteral("moving_budget_%1.png").arg(c.budget)));
        EXPECT_GT(CountPixels(moving, IsSphereGreen), 10) << "no molecules while moving";
        const int movingWhite = CountPixels(moving, IsLabelWhite);
        if (c.labelsWhileMoving) {
            EXPECT_EQ(viewer->LastFrameDetail(), FrameDetail::Complete);
            EXPECT_GT(movingWhite, 200);
        } else {
            EXPECT_NE(viewer->LastFrameDetail(), FrameDetail::Complete);
            EXPECT_LT(movingWhite, 20);
        }

        // The release ends the motion and draws one complete frame by itself.
        SendMouse(area, QEvent::MouseButtonRelease, at);
        viewer->stopAnimating();
        ASSERT_FALSE(viewer->IsCameraMoving());
        QTest::qWait(300);
        EXPECT_EQ(viewer->LastFrameDetail(), FrameDetail::Complete);
        EXPECT_GT(CountPixels(GrabViewerArea(), IsLabelWhite), 200) << "labels not back after the motion";
        EXPECT_EQ(Outline(shown->GetRoot()), outline);
    }
    viewer->Budget().SetBudget(budget);

    // A turn of the wheel zooms without a drag: moving until the wheel rests.
    const QPoint middle(area->width() / 2, area->height() / 2);
    QWheelEvent wheel(middle, area->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(area, &wheel);
    EXPECT_TRUE(viewer->IsCameraMoving());
    QTest::qWait(CMotionViewer::kWheelRestMilliseconds + 300);
    EXPECT_FALSE(viewer->IsCameraMoving());

    camera->position.setValue(position);
    camera->orientation.setValue(orientation);
}

// A complete frame takes a cheaper way to its pixels (labels drawn through
// one text node, fully transparent shapes left out, in slices over turns
// of the event loop when slow): the same pixels as the plain traversal,
// also where half-transparent edges lie among the hidden ones, and the
// clipping planes fitted without the viewer's caches.
TEST(MotionGui, ACompleteFrameDrawsThePixelsOfThePlainTraversal) {
    CTarnwickView& view = *SampleApp().GetMainWnd()->GetActiveView();
    CMotionViewer* viewer = view.GetMotionViewer();
    CRepresentation* shown = view.GetCommandTarget();
    ASSERT_TRUE(viewer && shown);
    shown->DeselectAll();
    SoSearchAction search;
    search.setType(SoMaterial::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(shown->GetEdgeRoot());
    std::vector<SoMaterial*> shownEdges;
    std::vector<std::pair<SbString, bool>> saved;  // the field's text, whether default
    int hidden = 0;
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        auto* material = static_cast<SoMaterial*>(search.getPaths()[i]->getTail());
        const float transparency = material->transparency.getNum() > 0 ? material->transparency[0] : 0.0f;
        if (transparency >= 1.0f) {
            ++hidden;
        } else {
            shownEdges.push_back(material);
            saved.emplace_back();
            material->transparency.get(saved.back().first);
            saved.back().second = material->transparency.isDefault();
        }
    }
    ASSERT_GT(hidden, 0) << "the sample hides no edge";
    ASSERT_FALSE(shownEdges.empty());

    // Complete frames fit the clipping planes themselves, the plain
    // traversal leaves them to the viewer: the same pixels from the start
    // view and turned. From inside the scene the near plane is held at a
    // share of the far one and the depth buffer's steps grow coarse: where
    // an edge enters a sphere their depths tie and a few single pixels may
    // go either way, while a shape or label cut off by a plane would
    // differ in hundreds.
    SoPerspectiveCamera* camera = shown->GetCamera();
    const SbVec3f position = camera->position.getValue();
    const SbRotation orientation = camera->orientation.getValue();
    const float focal = camera->focalDistance.getValue();
    const struct {
        const char* view;
        SbRotation turn;
        float nearer;  // share of the focal distance the camera comes nearer
        float transparency;
        bool ties;  // depths may tie
    } cases[] = {{"start", SbRotation::identity(), 0.0f, 0.0f, false},
                 {"start", SbRotation::identity(), 0.0f, 0.5f, false},
                 {"turned", SbRotation(SbVec3f(1.0f, 1.0f, 0.0f), 0.7f), 0.0f, 0.5f, false},
                 {"inside", SbRotation(SbVec3f(0.0f, 1.0f, 0.0f), -0.4f), 0.8f, 0.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.view) + " " + std::to_string(c.transparency));
        for (SoMaterial* material : shownEdges) {
            material->transparency.setValue(c.transparency);
        }
        // Turned about the point the camera looks at.
        SbVec3f ahead;
        orientation.multVec(SbVec3f(0.0f, 0.0f, -1.0f), ahead);
        const SbVec3f focus = position + ahead * focal;
        const SbRotation turned = orientation * c.turn;
        turned.multVec(SbVec3f(0.0f, 0.0f, -1.0f), ahead);
        camera->orientation.setValue(turned);
        camera->position.setValue(focus - ahead * (focal * (1.0f - c.nearer)));
        // Drawn one slice of the scene a turn, over many turns, first
        // after the camera moved: no other frame prepared the viewer.
        viewer->SetSliceSeconds(0.0);
        int turns = 0;
        do {
            viewer->render();
            ++turns;
        } while (viewer->IsCompleting() && turns < 10000);
        viewer->SetSliceSeconds(CMotionViewer::kSliceSeconds);
        const QImage sliced = GrabScreenArea();
        EXPECT_GT(turns, 3) << "not drawn in slices";
        EXPECT_EQ(viewer->LastFrameDetail(), FrameDetail::Complete);
        viewer->SetCheapFrames(false);
        const QImage plain = GrabViewerArea();
        EXPECT_TRUE(viewer->isAutoClipping());
        viewer->SetCheapFrames(true);
        const QImage cheap = GrabViewerArea();
        EXPECT_FALSE(viewer->isAutoClipping());
        for (const auto& [way, image] : {std::make_pair("cheap", &cheap), std::make_pair("sliced", &sliced)}) {
            SCOPED_TRACE(way);
            EXPECT_GT(CountPixels(*image, IsLabelWhite), 200) << "no labels";
            ASSERT_EQ(plain.size(), image->size());
            int differing = 0;
            for (int y = 0; y < plain.height(); ++y) {
                for (int x = 0; x < plain.width(); ++x) {
                    differing += plain.pixel(x, y) != image->pixel(x, y) ? 1 : 0;
                }
            }
            if (differing > 0) {
                const QString name = QStringLiteral("%1_%2.png").arg(QLatin1String(c.view)).arg(c.transparency);
                plain.save(ArtifactPath(QStringLiteral("plain_frame_") + name));
                image->save(ArtifactPath(QLatin1String(way) + QStringLiteral("_frame_") + name));
            }
            EXPECT_LE(differing, c.ties ? plain.width() * plain.height() / 10000 : 0);
        }
    }
    camera->position.setValue(position);
    camera->orientation.setValue(orientation);
    for (size_t i = 0; i < shownEdges.size(); ++i) {
        shownEdges[i]->transparency.set(saved[i].first.getString());
        shownEdges[i]->transparency.setDefault(saved[i].second);
    }
}

// A complete frame drawn in slices leaves the picture before it on the
// screen until it is done; a camera move gives it up for the moving frame,
// and once the camera rests a complete frame reaches the screen again.
TEST(MotionGui, ACameraMoveGivesUpACompleteFrameDrawnInSlices) {
    CTarnwickView& view = *SampleApp().GetMainWnd()->GetActiveView();
    CMotionViewer* viewer = view.GetMotionViewer();
    CRepresentation* shown = view.GetCommandTarget();
    ASSERT_TRUE(viewer && shown);
    SoPerspectiveCamera* camera = shown->GetCamera();
    const SbVec3f position = camera->position.getValue();
    const SbRotation orientation = camera->orientation.getValue();
    const QImage before = GrabViewerArea();

    viewer->SetSliceSeconds(0.0);
    camera->orientation.setValue(orientation * SbRotation(SbVec3f(0.0f, 1.0f, 0.0f), 0.3f));
    viewer->render();
    viewer->render();
    ASSERT_TRUE(viewer->IsCompleting());
    EXPECT_TRUE(GrabScreenArea() == before) << "a part of the frame reached the screen";
    ASSERT_TRUE(viewer->IsCompleting());

    QWidget* area = viewer->getGLWidget();
    QPoint at(area->width() / 2, area->height() / 2);
    SendMouse(area, QEvent::MouseButtonPress, at);
    at += QPoint(6, 2);
    SendMouse(area, QEvent::MouseMove, at);
    ASSERT_TRUE(viewer->IsCameraMoving());
    viewer->render();
    EXPECT_FALSE(viewer->IsCompleting());
    SendMouse(area, QEvent::MouseButtonRelease, at);
    viewer->stopAnimating();
    ASSERT_FALSE(viewer->IsCameraMoving());

    int turns = 0;
    do {
        viewer->render();
        ++turns;
    } while (viewer->IsCompleting() && turns < 10000);
    EXPECT_GT(turns, 3);
    EXPECT_EQ(viewer->LastFrameDetail(), FrameDetail::Complete);
    EXPECT_FALSE(GrabScreenArea() == before) << "the turned camera's picture did not reach the screen";

    viewer->SetSliceSeconds(CMotionViewer::kSliceSeconds);
    camera->position.setValue(position);
    camera->orientation.setValue(orientation);
}
