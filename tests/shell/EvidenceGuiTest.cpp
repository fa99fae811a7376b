// Reading the evidence of a sphere and bringing found spheres into view,
// through the window on the sample, in the box and the sphere view.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDockWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "EvidenceCommands.h"
#include "EvidencePanel.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "Node.h"
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
CSearchPanel& Search() { return *Frame().GetSearchPanel(); }
CEvidencePanel& Evidence() { return *Frame().findChild<CEvidencePanel*>(QStringLiteral("evidencePanel")); }

std::set<std::string> SelectedIn(const CRepresentation& rep) {
    std::set<std::string> names;
    const SoPathList& paths = *rep.GetSelection()->getList();
    for (int i = 0; i < paths.getLength(); ++i) {
        names.insert(GetSceneName(paths[i]->getTail()));
    }
    return names;
}

// Ids of the records naming `name` as a member, read from the array.
std::vector<std::string> IdsNaming(const std::string& name) {
    std::vector<std::string> ids;
    for (const InteractionRecord& r : Doc().m_pInteractions) {
        if (r.member1 == name || r.member2 == name) {
            ids.push_back(r.id);
        }
    }
    return ids;
}

std::vector<std::string> PanelIds() {
    std::vector<std::string> ids;
    for (int row = 0; row < Evidence().Model().rowCount(); ++row) {
        ids.push_back(Evidence().Model().Row(row)->id);
    }
    return ids;
}

bool HasSphere(CRepresentation& rep, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.apply(rep.GetNodeRoot());
    return search.getPath() != nullptr;
}

// Where the viewer's camera shows the centres of the selected spheres: the
// span of their screen positions (0..1 of width and height), and whether
// all lie inside the viewport.
struct Span {
    double x0 = 1, y0 = 1, x1 = 0, y1 = 0;
    bool inside = true;
    double Width() const { return x1 - x0; }
    double Height() const { return y1 - y0; }
};
Span SelectionSpan(CRepresentation& rep) {
    const SbViewportRegion& region = View().GetViewer()->getViewportRegion();
    const SbViewVolume volume = rep.GetCamera()->getViewVolume(region.getViewportAspectRatio());
    Span span;
    for (const std::string& name : SelectedIn(rep)) {
        const SbMatrix m = rep.GetNodeMatrix(name);
        SbVec3f screen;
        volume.projectToScreen(SbVec3f(m[3][0], m[3][1], m[3][2]), screen);
        span.x0 = std::min<double>(span.x0, screen[0]);
        span.x1 = std::max<double>(span.x1, screen[0]);
        span.y0 = std::min<double>(span.y0, screen[1]);
        span.y1 = std::max<double>(span.y1, screen[1]);
        span.inside = span.inside && screen[0] > 0 && screen[0] < 1 && screen[1] > 0 && screen[1] < 1;
    }
    return span;
}

QString StatusText() { return Frame().statusBar()->currentMessage(); }

bool IsSphereColour(QRgb p) {
    const bool red = qRed(p) > 60 && qGreen(p) < qRed(p) / 3 && qBlue(p) < qRed(p) / 3;
    return red || IsSphereGreen(p);
}

double SphereShare(const QImage& shot) {
    return static_cast<double>(CountPixels(shot, IsSphereColour)) / (shot.width() * shot.height());
}

void SaveShot(const QString& name) { Frame().grab().save(ArtifactPath(name)); }

CSphereVision* ShowSphereView() {
    ScriptedPrompt prompt;
    prompt.radiiAnswers = {{300, 30}};
    return OnSphereView(Doc(), View(), prompt) ? View().GetSphere() : nullptr;
}

}  // namespace

TEST(Evidence, AClickListsTheRecordsOfTheSphereAndARowSelectsItsSpheres) {
    CBoxRep& box = *View().GetBox();
    box.GetSelection()->deselectAll();
    Target target;
    ASSERT_TRUE(FindClickableSphere(box, [](const std::string& n) { return IdsNaming(n).size() >= 2; }, target));
    ClickViewer(target.at, target.at);
    ASSERT_EQ(SelectedIn(box), std::set<std::string>{target.name});
    EXPECT_EQ(Evidence().Subject().toStdString(), target.name);
    EXPECT_EQ(PanelIds(), IdsNaming(target.name));
    SaveShot(QStringLiteral("evidence_box_click.png"));

    // A row of two plain molecules selects exactly those two spheres.
    int plain = -1;
    for (int row = 0; row < Evidence().Model().rowCount() && plain < 0; ++row) {
        const InteractionRecord& r = Doc().m_pInteractions[Evidence().Model().Row(row)->record];
        if (r.member1.rfind("r__", 0) != 0 && r.member2.rfind("r__", 0) != 0 && r.member1 != r.member2) {
            plain = row;
        }
    }
    ASSERT_GE(plain, 0);
    const InteractionRecord& record = Doc().m_pInteractions[Evidence().Model().Row(plain)->record];
    Evidence().Table()->selectRow(plain);
    EXPECT_EQ(SelectedIn(box), (std::set<std::string>{record.member1, record.member2}));
    EXPECT_EQ(StatusText(), "2 selected");

    // Its PMID opens the article page, through the opener only.
    std::vector<QUrl> opened;
    Evidence().SetUrlOpener([&opened](const QUrl& url) { opened.push_back(url); });
    QTableView* table = Evidence().Table();
    const QModelIndex pmid = Evidence().Model().index(plain, CEvidenceModel::PmidColumn);
    table->scrollTo(pmid);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualRect(pmid).center());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString().toStdString(), "https://pubmed.ncbi.nlm.nih.gov/" + record.prep1 + "/");

    // The sphere view: a relation node lists the record built there, a
    // molecule every record naming it.
    CSphereVision* sphere = ShowSphereView();
    ASSERT_NE(sphere, nullptr);
    const CNode& graph = *Doc().m_pGraph;
    auto isRelationNode = [&graph](const std::string& n) {
        for (const CCircleData& circle : graph.m_lstCircles) {
            for (const MoleculeRecord& m : circle.m_lstMolecules) {
                if (m.name == n) {
                    return m.size == 0;
                }
            }
        }
        return false;
    };
    ASSERT_TRUE(FindClickableSphere(*sphere, isRelationNode, target));
    ClickViewer(target.at, target.at);
    ASSERT_EQ(Evidence().Model().rowCount(), 1);
    const InteractionRecord& built = Doc().m_pInteractions[Evidence().Model().Row(0)->record];
    EXPECT_TRUE(built.built);
    EXPECT_EQ(graph.GetMolecule(built.nodeCircle, built.nodeIndex)->name, target.name);
    SaveShot(QStringLiteral("evidence_sphere_relation_node.png"));

    // A molecule whose first record joins two plain molecules: that row
    // selects the spheres the scene has of them and of its relation node.
    sphere->GetSelection()->deselectAll();
    auto plainFirst = [&](const std::string& n) {
        const std::vector<std::string> ids = IdsNaming(n);
        if (isRelationNode(n) || ids.empty()) {
            return false;
        }
        const InteractionRecord& r = Doc().m_pInteractions[Doc().FindInteraction(ids[0])];
        return r.member1.rfind("r__", 0) != 0 && r.member2.rfind("r__", 0) != 0;
    };
    ASSERT_TRUE(FindClickableSphere(*sphere, plainFirst, target));
    ClickViewer(target.at, target.at);
    EXPECT_EQ(Evidence().Subject().toStdString(), target.name);
    EXPECT_EQ(PanelIds(), IdsNaming(target.name));
    const InteractionRecord& first = Doc().m_pInteractions[Evidence().Model().Row(0)->record];
    std::set<std::string> shown;
    for (const std::string& n : {first.member1, first.member2,
                                 first.built ? graph.GetMolecule(first.nodeCircle, first.nodeIndex)->name : ""}) {
        if (!n.empty() && HasSphere(*sphere, n)) {
            shown.insert(n);
        }
    }
    Evidence().Table()->selectRow(0);
    EXPECT_TRUE(shown.count(target.name));
    EXPECT_EQ(SelectedIn(*sphere), shown);
    EXPECT_EQ(StatusText(), SelectedCountText(static_cast<int>(shown.size())));

    View().OnStartupLoad();
}

TEST(Evidence, SearchCountsTheSelectionAndZoomBringsItIntoView) {
    auto* name = qobject_cast<QLineEdit*>(Search().GetControl(CSearchPanel::IDC_NODE_NAME));
    auto* distance = qobject_cast<QComboBox*>(Search().GetControl(CSearchPanel::IDC_DISTANCE));
    auto* search = qobject_cast<QPushButton*>(Search().GetControl(CSearchPanel::IDC_SEARCH));
    ASSERT_TRUE(name && distance && search);
    CBoxRep& box = *View().GetBox();

    name->setText("Ste50");
    distance->setCurrentIndex(1);
    QTest::mouseClick(search, Qt::LeftButton);
    const int found = box.GetSelection()->getNumSelected();
    ASSERT_GE(found, 2);
    EXPECT_EQ(StatusText(), SelectedCountText(found));
    EXPECT_EQ(Evidence().Subject(), "Ste50");
    EXPECT_EQ(PanelIds(), IdsNaming("Ste50"));
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ExpandOut));
    EXPECT_EQ(StatusText(), SelectedCountText(box.GetSelection()->getNumSelected()));

    // Ste50 alone, then F: it moves to the middle of the view.
    distance->setCurrentIndex(0);
    QTest::mouseClick(search, Qt::LeftButton);
    ASSERT_EQ(SelectedIn(box), std::set<std::string>{"Ste50"});
    EXPECT_EQ(StatusText(), "1 selected");
    // Measured with the whole scene in its bounding sphere: the start
    // picture, fitted to fill the view, can show more than a zoom on a few.
    View().GetViewer()->viewAll();
    const double before = SphereShare(GrabViewerArea());
    View().GetViewer()->getGLWidget()->setFocus();
    QTest::keyClick(View().GetViewer()->getGLWidget(), Qt::Key_F);
    const Span alone = SelectionSpan(box);
    EXPECT_NEAR(alone.x0, 0.5, 0.1);
    EXPECT_NEAR(alone.y0, 0.5, 0.1);
    GrabViewerArea().save(ArtifactPath(QStringLiteral("evidence_zoom_box_one.png")));

    // With its neighbours: they spread over the view, and their spheres
    // take many times the pixels they took before.
    distance->setCurrentIndex(1);
    QTest::mouseClick(search, Qt::LeftButton);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ZoomToSelection));
    const QImage neighbours = GrabViewerArea();
    neighbours.save(ArtifactPath(QStringLiteral("evidence_zoom_box.png")));
    const Span spread = SelectionSpan(box);
    EXPECT_TRUE(spread.inside);
    EXPECT_GT(std::max(spread.Width(), spread.Height()), 0.5);
    EXPECT_GT(SphereShare(neighbours), 5 * before);

    // The sphere view: a molecule and its neighbours fill the view.
    CSphereVision* sphere = ShowSphereView();
    ASSERT_NE(sphere, nullptr);
    // Two molecules the sphere scene shows (only the first node of a circle is).
    std::vector<std::string> shownMolecules;
    for (const CCircleData& circle : Doc().m_pGraph->m_lstCircles) {
        const MoleculeRecord& first = circle.m_lstMolecules.front();
        if (shownMolecules.size() < 2 && first.size == 1 && HasSphere(*sphere, first.name)) {
            shownMolecules.push_back(first.name);
        }
    }
    sphere->m_bSearching = 1;
    for (const std::string& n : shownMolecules) {
        sphere->SelectNamed(n);
    }
    sphere->m_bSearching = 0;
    ASSERT_GE(sphere->GetSelection()->getNumSelected(), 2);
    const double wide = SphereShare(GrabViewerArea());
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ZoomToSelection));
    const QImage near = GrabViewerArea();
    near.save(ArtifactPath(QStringLiteral("evidence_zoom_sphere.png")));
    const Span around = SelectionSpan(*sphere);
    EXPECT_TRUE(around.inside);
    EXPECT_GT(std::max(around.Width(), around.Height()), 0.5);
    EXPECT_GT(SphereShare(near), 3 * wide);
    sphere->GetSelection()->deselectAll();
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ZoomToSelection));  // nothing selected: said, camera kept
    EXPECT_EQ(StatusText(), "Nothing selected to zoom to");

    View().OnStartupLoad();
    name->clear();
    distance->setCurrentIndex(-1);
}

TEST(Evidence, TheNameFieldSuggestsNamesButTheSearchStaysExact) {
    auto* name = qobject_cast<QLineEdit*>(Search().GetControl(CSearchPanel::IDC_NODE_NAME));
    auto* search = qobject_cast<QPushButton*>(Search().GetControl(CSearchPanel::IDC_SEARCH));
    ASSERT_TRUE(name && search && name->completer());
    name->clear();
    name->setFocus();
    QTest::keyClicks(name, "sTE5");
    QCompleter* completer = name->completer();
    std::vector<QString> suggested;
    for (int row = 0; row < completer->completionModel()->rowCount(); ++row) {
        suggested.push_back(completer->completionModel()->index(row, 0).data().toString());
    }
    ASSERT_FALSE(suggested.empty());
    for (const QString& s : suggested) {
        EXPECT_TRUE(s.contains("ste5", Qt::CaseInsensitive)) << s.toStdString();
    }
    const auto ste50 = std::find(suggested.begin(), suggested.end(), QStringLiteral("Ste50"));
    ASSERT_NE(ste50, suggested.end());
    SaveShot(QStringLiteral("evidence_completer.png"));

    // Picking the suggestion fills the field; the search then finds it.
    // Picked with the mouse: Return in the popup also reaches the field,
    // which searches for whatever text it holds at that moment.
    QAbstractItemView* popup = completer->popup();
    ASSERT_TRUE(popup->isVisible());
    const QModelIndex pick = completer->completionModel()->index(static_cast<int>(ste50 - suggested.begin()), 0);
    // On a busy machine the popup may be shown before it is placed or laid
    // out, so a click lands on no row, or the window manager closes it as
    // windows of earlier tests go: open it again and click again.
    for (int attempt = 0; attempt < 10 && name->text() != "Ste50"; ++attempt) {
        if (!popup->isVisible()) {
            name->setFocus();
            completer->complete();
        }
        if (!QTest::qWaitForWindowExposed(popup)) {
            continue;  // opened again above
        }
        popup->scrollTo(pick);
        const QRect row = popup->visualRect(pick);
        if (row.isValid()) {
            QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, row.center());
        }
        QTest::qWait(50);
    }
    // Checked before searching: a search for the typed text would open a
    // message box that nothing closes.
    ASSERT_EQ(name->text(), "Ste50");
    QTest::mouseClick(search, Qt::LeftButton);
    EXPECT_EQ(SelectedIn(*View().GetBox()), std::set<std::string>{"Ste50"});

    // Typed in another case the name is not found.
    name->setText("ste50");
    QString text;
    EXPECT_TRUE(WithNextModal([&] { QTest::mouseClick(search, Qt::LeftButton); }, [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->accept();
    }));
    EXPECT_EQ(text, "존재하지 않는 이름입니다");
    name->clear();
    View().GetBox()->GetSelection()->deselectAll();
}
