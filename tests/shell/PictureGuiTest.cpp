// The legend dock, Export Image... and the uncluttered label mode, on the
// sample in the window.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/lists/SoPathList.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "ExportImageCommands.h"
#include "GuiTestSupport.h"
#include "LegendDock.h"
#include "MainFrm.h"
#include "RelationKind.h"
#include "ScriptedPrompt.h"
#include "SettingsKeys.h"
#include "SphereVision.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "ViewCommands.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }
CTarnwickView& View() { return *Frame().GetActiveView(); }

// Edge rows of the legend: kind -> swatch colour.
std::map<int, QColor> LegendSwatches(const CLegendDock& dock) {
    std::map<int, QColor> swatches;
    QTreeWidget* rows = dock.Rows();
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = rows->topLevelItem(i);
        for (const QString& name : item->text(0).split(QStringLiteral(", "))) {
            for (int kind = 0; kind < kRelationKindCount; ++kind) {
                if (name == QLatin1String(RelationKindCaption(kind))) {
                    swatches[kind] = item->data(0, Qt::DecorationRole).value<QColor>();
                }
            }
        }
    }
    return swatches;
}

TEST(Legend, ShowsTheKindColoursOfTheViewOnScreenAndFollowsTheHighlightMode) {
    auto* dock = Frame().findChild<CLegendDock*>();
    ASSERT_NE(dock, nullptr);
    const bool wasVisible = dock->isVisible();
    if (!wasVisible) {
        ASSERT_TRUE(Frame().ExecuteCommand(cmd::Legend));
        QApplication::processEvents();
    }
    ASSERT_TRUE(dock->isVisible());
    ScriptedPrompt prompt;
    prompt.radiiAnswers = {{300, 30}};
    for (const char* view : {"box", "sphere"}) {
        if (std::string(view) == "sphere") {
            ASSERT_TRUE(OnSphereView(Frame().GetActiveDocument(), View(), prompt));
        }
        dock->Refresh();
        const CRepresentation* shown = View().GetCommandTarget();
        ASSERT_NE(shown, nullptr);
        const std::map<int, QColor> swatches = LegendSwatches(*dock);
        ASSERT_EQ(swatches.size(), static_cast<size_t>(kRelationKindCount)) << view;
        for (const auto& [kind, colour] : swatches) {
            const SbColor own = shown->GetEdgeColor(kind);
            EXPECT_EQ(colour, QColor::fromRgbF(own[0], own[1], own[2])) << view << " kind " << kind;
        }
        EXPECT_FALSE(dock->ConeText().isEmpty());
        dock->grab().save(ArtifactPath(QStringLiteral("legend_%1.png").arg(QLatin1String(view))));
    }
    // The rows follow the highlight mode without being asked.
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ViewByColor));
    QTest::qWait(600);
    EXPECT_TRUE(dock->HighlightText().contains(QStringLiteral("View By Color"))) << dock->HighlightText().toStdString();
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ViewWithBox));
    View().OnStartupLoad();  // the sample as the other tests expect it
    QTest::qWait(600);
    EXPECT_TRUE(dock->HighlightText().startsWith(QStringLiteral("Box view")));
    EXPECT_TRUE(dock->HighlightText().contains(QStringLiteral("View With Box")));
    if (!wasVisible) {
        // Later tests expect the viewer at its usual width.
        dock->hide();
        QTest::qWait(200);
    }
}

bool IsWhite(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; }
bool IsDark(QRgb p) { return qRed(p) < 50 && qGreen(p) < 50 && qBlue(p) < 50; }

TEST(ExportImage, WritesTheViewOnScreenWithTheChosenBackgroundAndLabels) {
    QTemporaryDir work;
    ScriptedPrompt cancel;
    std::string written;
    EXPECT_FALSE(OnExportImage(View(), cancel, 400, 300, written));
    ASSERT_EQ(cancel.imageExport.opened.size(), 1u);
    EXPECT_EQ(cancel.imageExport.opened[0].width, 400);
    EXPECT_EQ(cancel.imageExport.opened[0].height, 300);
    EXPECT_TRUE(cancel.choices.empty());  // no file asked for after a cancel

    const struct {
        bool black;
        bool labels;
    } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    int ink[2][2] = {};  // [black][labels]: label-coloured pixels
    for (const auto& c : cases) {
        const QString name = QStringLiteral("export_%1_%2.png")
                                 .arg(QLatin1String(c.black ? "black" : "white"))
                                 .arg(QLatin1String(c.labels ? "labels" : "plain"));
        ScriptedPrompt prompt;
        prompt.imageExport.answers = {{640, 480, c.black, c.labels}};
        prompt.files = {work.filePath(name).toStdString()};
        ASSERT_TRUE(OnExportImage(View(), prompt, 400, 300, written)) << name.toStdString();
        EXPECT_EQ(written, "Wrote " + work.filePath(name).toStdString() + " (640x480)");
        ASSERT_EQ(prompt.choices.size(), 1u);
        EXPECT_EQ(prompt.choices[0].defaultExtension, "png");
        const QImage image(work.filePath(name));
        ASSERT_EQ(image.size(), QSize(640, 480)) << name.toStdString();
        image.save(ArtifactPath(name));
        const QRgb corner = image.pixel(0, 0);
        EXPECT_EQ(corner, c.black ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << name.toStdString();
        EXPECT_GT(CountPixels(image, IsSphereGreen), 50) << name.toStdString();
        ink[c.black][c.labels] = CountPixels(image, c.black ? IsWhite : IsDark);
    }
    // Labels are white on black and black on white.
    EXPECT_GT(ink[1][1], ink[1][0] + 200);
    EXPECT_GT(ink[0][1], ink[0][0] + 200);
}

std::set<std::string> ShownLabels(const CRepresentation& rep, int* total = nullptr) {
    std::set<std::string> names;
    SoSearchAction search;
    search.setType(SoText2::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(rep.GetLabelRoot());
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        const SbString& text = static_cast<SoText2*>(search.getPaths()[i]->getTail())->string[0];
        if (text.getLength() > 0) {
            names.insert(text.getString());
        }
    }
    if (total) {
        *total = search.getPaths().getLength();
    }
    return names;
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(50);
    }
}

TEST(DeclutterLabels, ThinsTheLabelsOutKeepsSelectedOnesAndIsRemembered) {
    CRepresentation* shown = View().GetCommandTarget();
    ASSERT_NE(shown, nullptr);
    int total = 0;
    const std::set<std::string> all = ShownLabels(*shown, &total);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeclutterLabels));
    Settle();
    const ModeFlags& flags = Frame().GetModeFlags();
    EXPECT_EQ(flags.m_bCharViewAll + flags.m_bCharViewRed + flags.m_bCharViewBoth + flags.m_bCharViewNothing, 0);
    EXPECT_TRUE(Frame().FindCommand(cmd::DeclutterLabels)->isChecked());
    EXPECT_TRUE(QSettings(SettingsOrganization(), SettingsApplication()).value(DeclutterLabelsKey()).toBool());
    const std::set<std::string> thinned = ShownLabels(*shown);
    EXPECT_LT(thinned.size(), all.size());
    EXPECT_GT(thinned.size(), 0u);
    GrabViewerArea().save(ArtifactPath(QStringLiteral("declutter_whole.png")));

    // Closer in, labels hidden before come back (the camera's own change
    // triggers the pass).
    SoPerspectiveCamera* camera = shown->GetCamera();
    SbVec3f ahead;
    camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), ahead);
    const float step = camera->focalDistance.getValue() * 0.7f;
    camera->position.setValue(camera->position.getValue() + ahead * step);
    camera->focalDistance.setValue(camera->focalDistance.getValue() - step);
    Settle();
    int revealed = 0;
    for (const std::string& name : ShownLabels(*shown)) {
        revealed += thinned.count(name) == 0 ? 1 : 0;
    }
    EXPECT_GT(revealed, 0);
    GrabViewerArea().save(ArtifactPath(QStringLiteral("declutter_closer.png")));
    camera->position.setValue(camera->position.getValue() - ahead * step);
    camera->focalDistance.setValue(camera->focalDistance.getValue() + step);
    Settle();

    // A selected sphere keeps its label.
    std::string hidden;
    for (const std::string& name : all) {
        if (ShownLabels(*shown).count(name) == 0 && shown->SelectNamed(name)) {
            hidden = name;
            break;
        }
    }
    ASSERT_FALSE(hidden.empty());
    Settle();
    EXPECT_EQ(ShownLabels(*shown).count(hidden), 1u) << hidden;
    shown->DeselectAll();

    // One of the four label modes ends it, and every label shows again.
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::CharViewAll));
    Settle();
    EXPECT_EQ(ShownLabels(*shown), all);
    EXPECT_FALSE(Frame().FindCommand(cmd::DeclutterLabels)->isChecked());
    EXPECT_EQ(Frame().GetModeFlags().m_bCharViewAll, 1);
    EXPECT_FALSE(QSettings(SettingsOrganization(), SettingsApplication()).value(DeclutterLabelsKey()).toBool());
}

}  // namespace
