// The sphere and box view commands, the radius dialog and opening pathway
// files through the window, on the sample.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoPath.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "DlgRadius.h"
#include "ElementText.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "Node.h"
#include "PathwayFile.h"
#include "SceneNames.h"
#include "ScriptedPrompt.h"
#include "SearchPanel.h"
#include "SphereVision.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "ViewCommands.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }
CTarnwickView& View() { return *Frame().GetActiveView(); }
CTarnwickDoc& Doc() { return Frame().GetActiveDocument(); }

std::set<std::string> SelectedIn(const CRepresentation& rep) {
    std::set<std::string> names;
    const SoPathList& paths = *rep.GetSelection()->getList();
    for (int i = 0; i < paths.getLength(); ++i) {
        names.insert(GetSceneName(paths[i]->getTail()));
    }
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool IsSphereRed(QRgb p) { return qRed(p) > 60 && qGreen(p) < qRed(p) / 3 && qBlue(p) < qRed(p) / 3; }
// The box scene's covalent-modification edges; the sphere scene has no cyan.
bool IsCyan(QRgb p) { return qGreen(p) > 60 && qBlue(p) > 60 && qRed(p) < qGreen(p) / 3 && qRed(p) < qBlue(p) / 3; }

// A drawn relation node of the shown sphere that a click hits.
bool FindClickableRelationNode(CSphereVision& sphere, std::string& name, QPoint& at) {
    CNode& graph = *Doc().m_pGraph;
    Target target;
    auto relationNode = [&graph](const std::string& n) {
        const MoleculeRecord* m = graph.FindMoleculeByName(n);
        return m && m->size == 0;
    };
    if (!FindClickableSphere(sphere, relationNode, target)) {
        return false;
    }
    name = target.name;
    at = target.at;
    return true;
}

}  // namespace

TEST(ViewCommands, SphereViewThenBackToTheBoxBothAlive) {
    // Cancelling the radius dialog leaves the view, graph and selection alone.
    CBoxRep* box = View().GetBox();
    ASSERT_NE(box, nullptr);
    box->SearchAndSelect("Ste50", -1, 0, 0);
    const std::set<std::string> boxSelection = SelectedIn(*box);
    ASSERT_FALSE(boxSelection.empty());
    SoNode* rootBefore = View().GetSceneRoot();
    const CNode* graphBefore = Doc().m_pGraph.get();
    ScriptedPrompt cancel;
    EXPECT_FALSE(OnSphereView(Doc(), View(), cancel));
    ASSERT_EQ(cancel.radiiShown.size(), 1u);
    EXPECT_EQ(cancel.radiiShown[0].bigRadius, 300);
    EXPECT_EQ(cancel.radiiShown[0].smallRadius, 30);
    EXPECT_EQ(View().GetSceneRoot(), rootBefore);
    EXPECT_EQ(Doc().m_pGraph.get(), graphBefore);
    EXPECT_EQ(View().GetSphere(), nullptr);
    EXPECT_EQ(SelectedIn(*box), boxSelection);

    // The menu's command through the real dialog, which opens with 300 and 30.
    QString big, small;
    const bool shown = WithNextModal([] { Frame().ExecuteCommand(cmd::SphereView); }, [&](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgRadius*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* bigField = dialog->findChild<QLineEdit*>("edit1000");
        auto* smallField = dialog->findChild<QLineEdit*>("edit1001");
        ASSERT_TRUE(bigField && smallField);
        big = bigField->text();
        small = smallField->text();
        bigField->setText("80");
        smallField->setText("4");
        dialog->accept();
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(big, "300");
    EXPECT_EQ(small, "30");
    CSphereVision* sphere = View().GetSphere();
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->m_nBigRadius, 80);
    EXPECT_EQ(sphere->m_nSmallRadius, 4);
    EXPECT_EQ(View().GetCommandTarget(), sphere);
    EXPECT_EQ(View().GetSceneRoot(), sphere->GetRoot());
    ASSERT_EQ(View().GetBox(), box);  // still alive, selection kept
    EXPECT_EQ(SelectedIn(*box), boxSelection);

    // The headless dump writes the cell map this command laid out.
    QTemporaryDir work;
    const std::string windowGrid = work.filePath("window.txt").toStdString();
    const std::string headlessGrid = work.filePath("headless.txt").toStdString();
    ASSERT_TRUE(sphere->DumpGrid(windowGrid));
    char arg0[] = "tarnwick";
    char* argv[] = {arg0, nullptr};
    CommandLine options = ParseCommandLine(1, argv);
    SampleDatabase sameData;
    options.connect = sameData.Connect();
    options.dumpSphereGridPath = headlessGrid;
    ASSERT_EQ(RunHeadless(options), 0);
    EXPECT_EQ(ReadFile(headlessGrid), ReadFile(windowGrid));
    EXPECT_GT(ReadFile(windowGrid).size(), 100u);

    // Red molecules and green relation nodes on screen.
    const QImage sphereShot = GrabViewerArea();
    sphereShot.save(ArtifactPath("sphere_view.png"));
    const int pixels = sphereShot.width() * sphereShot.height();
    EXPECT_GT(CountPixels(sphereShot, IsSphereRed), pixels / 2000);
    EXPECT_GT(CountPixels(sphereShot, IsSphereGreen), pixels / 5000);

    // A click on a relation node selects it and shows its sentence.
    std::string relation;
    QPoint at;
    ASSERT_TRUE(FindClickableRelationNode(*sphere, relation, at));
    ClickViewer(at, at);
    EXPECT_EQ(SelectedIn(*sphere), std::set<std::string>{relation});
    const QString source = Frame().GetSearchPanel()->GetTextSourceText();
    EXPECT_TRUE(source.contains(" ( PMID : ")) << source.toStdString();
    EXPECT_TRUE(source.startsWith("r__")) << source.toStdString();

    // The search panel and the frame's commands act on the sphere.
    auto* name = qobject_cast<QLineEdit*>(Frame().GetSearchPanel()->GetControl(CSearchPanel::IDC_NODE_NAME));
    auto* search = qobject_cast<QPushButton*>(Frame().GetSearchPanel()->GetControl(CSearchPanel::IDC_SEARCH));
    ASSERT_TRUE(name && search);
    name->setText(QString::fromStdString(relation));
    QTest::mouseClick(search, Qt::LeftButton);
    EXPECT_EQ(SelectedIn(*sphere), std::set<std::string>{relation});
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeselectAll));
    EXPECT_TRUE(SelectedIn(*sphere).empty());
    EXPECT_EQ(SelectedIn(*box), boxSelection);
    name->clear();

    // Back to the box: a new box on screen, the sphere kept.
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::BoxView));
    ASSERT_NE(View().GetBox(), nullptr);
    EXPECT_EQ(View().GetCommandTarget(), View().GetBox());
    EXPECT_EQ(View().GetSphere(), sphere);
    const QImage boxShot = GrabViewerArea();
    boxShot.save(ArtifactPath("box_view.png"));
    // Without the node-position file every molecule stands at the origin;
    // the box edge colours show.
    const int cyan = CountPixels(boxShot, IsCyan);
    EXPECT_GT(cyan, 100);
    EXPECT_LT(CountPixels(sphereShot, IsCyan), cyan / 10);

    View().OnStartupLoad();  // the sample as the other tests expect it
}

TEST(ViewCommands, OpenShowsASavedPathwayAndRefusesBrokenFiles) {
    ScriptedPrompt prompt;
    prompt.radiiAnswers = {{120, 12}};
    ASSERT_TRUE(OnSphereView(Doc(), View(), prompt));
    QTemporaryDir work;
    const std::string saved = work.filePath("saved.bb").toStdString();
    std::string error;
    ASSERT_TRUE(SavePathway(*Doc().m_pGraph, saved, PathwayGrid(), error)) << error;
    const int circles = Doc().m_pGraph->m_circle_count;

    // Cancel and a broken file change nothing; the broken one is reported.
    CSphereVision* sphere = View().GetSphere();
    std::string relation;
    for (int c = 1; c < circles && relation.empty(); ++c) {
        relation = Doc().m_pGraph->GetMolecule(c, 0)->name;
    }
    sphere->SearchAndSelect(relation, -1, 0, 0);
    const CNode* graphBefore = Doc().m_pGraph.get();
    SoNode* rootBefore = View().GetSceneRoot();
    const std::string broken = work.filePath("broken.bb").toStdString();
    std::string text = ReadFile(saved);
    { std::ofstream(broken, std::ios::binary) << text.substr(0, text.size() / 2); }
    for (const std::string& file : {std::string(), broken}) {
        ScriptedPrompt open;
        if (!file.empty()) {
            open.files.push_back(file);
        }
        std::string path;
        EXPECT_FALSE(OnOpenPathway(Doc(), View(), open, path));
        EXPECT_EQ(open.messages.size(), file.empty() ? 0u : 1u);
        if (!open.messages.empty()) {
            EXPECT_NE(open.messages[0].find(broken), std::string::npos) << open.messages[0];
        }
        EXPECT_EQ(Doc().m_pGraph.get(), graphBefore);
        EXPECT_EQ(View().GetSceneRoot(), rootBefore);
        EXPECT_EQ(View().GetSphere(), sphere);
        EXPECT_EQ(SelectedIn(*sphere), std::set<std::string>{relation});
    }

    // The toolbar's Open reads the file and shows it on a sphere of the
    // same radii; saving it again gives the same bytes.
    const bool shown = WithNextModal([] { Frame().ExecuteCommand(cmd::FileOpen); },
                                     [&](QWidget* modal) { AcceptFileDialog(modal, QString::fromStdString(saved)); });
    ASSERT_TRUE(shown);
    ASSERT_NE(Doc().m_pGraph.get(), graphBefore);
    EXPECT_EQ(Doc().m_pGraph->m_circle_count, circles);
    ASSERT_NE(View().GetSphere(), nullptr);
    EXPECT_NE(View().GetSphere(), sphere);
    EXPECT_EQ(View().GetSphere()->m_nBigRadius, 120);
    EXPECT_EQ(View().GetSphere()->m_nSmallRadius, 12);
    EXPECT_EQ(View().GetCommandTarget(), View().GetSphere());
    EXPECT_EQ(FormatPathwayFile(*Doc().m_pGraph, PathwayGrid()), text);
    for (int c = 1; c < circles; ++c) {
        int column = -1, ring = -1;
        View().GetSphere()->GetCellOf(c, column, ring);
        EXPECT_GE(column, 0) << "circle " << c << " has no cell";
    }
    const QImage shot = GrabViewerArea();
    shot.save(ArtifactPath("opened_pathway.png"));
    EXPECT_GT(CountPixels(shot, IsSphereRed), 20);

    View().OnStartupLoad();
}

TEST(ViewCommands, RadiusDialogRefusesValuesOutsideTheRange) {
    for (const char* text : {"10000", "-1", "3x"}) {
        CDlgRadius dialog(300, 30, &Frame());
        dialog.findChild<QLineEdit*>("edit1001")->setText(text);
        QString message, caption;
        const bool shown = WithNextModal([&] { dialog.accept(); }, [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            message = box->text();
            caption = box->windowTitle();
            box->accept();
        });
        ASSERT_TRUE(shown) << text;
        EXPECT_EQ(message, QString(text) == "3x" ? "Please enter an integer."
                                                 : "Please enter an integer between 0 and 9999.")
            << text;
        EXPECT_EQ(caption, "QuillonTarnwick");
        EXPECT_NE(dialog.result(), QDialog::Accepted) << text;
        EXPECT_EQ(dialog.m_nSmallRadius, 30) << text;
    }
}
