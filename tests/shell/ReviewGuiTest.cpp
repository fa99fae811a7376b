// The review commands in the window: the menus reach them, the marks land
// in the representation, and the prompt's series and detail boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <unordered_map>

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoSelection.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "DlgMoleculeNumber.h"
#include "GuiTestSupport.h"
#include "HeadlessReview.h"
#include "MainFrm.h"
#include "QtUserPrompt.h"
#include "ReviewStateStore.h"
#include "ScriptedPrompt.h"
#include "SceneNames.h"
#include "SettingsKeys.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "ViewCommands.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }

ModalHandler Press(QMessageBox::StandardButton button, QString* text = nullptr) {
    return [button, text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        if (text) {
            *text = box->text();
        }
        box->button(button)->click();
    };
}

}  // namespace

TEST(Review, SpecificCoordinationMarksWhatTheHeadlessFilterLists) {
    CBoxRep* box = Frame().GetActiveView()->GetBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeselectAll));
    QString question;
    // No question is left open, and no other box comes: every name has a sphere.
    EXPECT_EQ(WithModals([] { Frame().ExecuteCommand(cmd::CoordinationSpecific); },
                         {Press(QMessageBox::No, &question), Press(QMessageBox::Ok)}),
              1);
    EXPECT_EQ(question, "Do you want to set all OK?");
    std::set<std::string> selected;
    const SoPathList& paths = *box->GetSelection()->getList();
    for (int i = 0; i < paths.getLength(); ++i) {
        selected.insert(GetSceneName(paths[i]->getTail()));
    }

    // The same filter without a window, on a document of its own.
    CTarnwickDoc other(Frame().GetActiveDocument().m_setInteraction.GetConnect());
    const std::string out = ArtifactPath(QStringLiteral("coordination-specific.txt")).toStdString();
    std::string error;
    ASSERT_TRUE(WriteFilterHits(other, "coordination-specific", out, error)) << error;
    std::ifstream in(out);
    std::set<std::string> listed;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("molecule ", 0) == 0) {
            listed.insert(line.substr(9));
        }
    }
    EXPECT_FALSE(listed.empty());
    EXPECT_EQ(selected, listed);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeselectAll));
}

TEST(Review, AFilterShowsItsProgressAndOffersCancelWhileItOnlySelects) {
    QStatusBar* bar = Frame().statusBar();
    QStringList shown;
    bool cancelOffered = false;
    const QMetaObject::Connection watch =
        QObject::connect(bar, &QStatusBar::messageChanged, [&](const QString& text) {
            if (text.isEmpty()) {
                return;
            }
            shown.push_back(text);
            auto* cancel = bar->findChild<QPushButton*>(QStringLiteral("cancelLoad"));
            cancelOffered = cancelOffered || (cancel && cancel->isEnabled() && bar->findChild<QProgressBar*>());
        });
    QAction* filter = Frame().FindCommand(cmd::CoordinationSpecific);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(WithModals([filter] { filter->trigger(); }, {Press(QMessageBox::No)}), 1);
    QObject::disconnect(watch);
    const int records = Frame().GetActiveDocument().m_nInteractions;
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.front(), QStringLiteral("Reviewing the interactions: 0 of %1").arg(QLocale().toString(records)));
    EXPECT_TRUE(cancelOffered);
    // Afterwards the bar and the commands are as before.
    EXPECT_EQ(bar->findChild<QProgressBar*>(QStringLiteral("loadProgress")), nullptr);
    EXPECT_TRUE(filter->isEnabled());
    EXPECT_TRUE(Frame().GetActiveView()->isEnabled());
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeselectAll));
}

TEST(Review, AnnotateIsAvailableAndQuietWithoutASelectedRelationNode) {
    QAction* annotate = Frame().FindCommand(cmd::AnnotateOk);
    ASSERT_NE(annotate, nullptr);
    EXPECT_TRUE(annotate->isEnabled());
    // Nothing clicked: no question.
    EXPECT_EQ(WithModals([] { Frame().ExecuteCommand(cmd::AnnotateOk); }, {Press(QMessageBox::Cancel)}), 0);
}

TEST(Review, SeriesBoxesOfferTheRestAndDetailsAreSelectable) {
    CQtUserPrompt prompt(nullptr);
    bool rest = true;
    ASSERT_TRUE(WithNextModal([&] { rest = prompt.ShowSeriesMessage("r__1"); }, Press(QMessageBox::Ok)));
    EXPECT_FALSE(rest);
    int buttons = 0;
    ASSERT_TRUE(WithNextModal([&] { rest = prompt.ShowSeriesMessage("r__2"); },
                              [&](QWidget* modal) {
                                  auto* box = qobject_cast<QMessageBox*>(modal);
                                  ASSERT_NE(box, nullptr);
                                  buttons = box->buttons().size();
                                  for (QAbstractButton* b : box->buttons()) {
                                      if (b->text() == CQtUserPrompt::RestButtonText()) {
                                          b->click();
                                      }
                                  }
                              }));
    EXPECT_EQ(buttons, 2);
    EXPECT_TRUE(rest);
    QString details;
    ASSERT_TRUE(WithNextModal([&] { prompt.ShowMessageWithDetails("존재하지 않는 이름입니다", "A\nB\n"); },
                              [&](QWidget* modal) {
                                  auto* box = qobject_cast<QMessageBox*>(modal);
                                  ASSERT_NE(box, nullptr);
                                  details = box->detailedText();
                                  box->button(QMessageBox::Ok)->click();
                              }));
    EXPECT_EQ(details, "A\nB\n");
}

TEST(Review, KeepVerdictsIsACheckableOptionTheSettingsRemember) {
    QAction* keep = Frame().findChild<QAction*>(QStringLiteral("keepVerdicts"));
    ASSERT_NE(keep, nullptr);
    EXPECT_TRUE(keep->isCheckable());
    EXPECT_FALSE(keep->isChecked());
    CVerdictKeeper& keeper = Frame().GetActiveDocument().m_verdicts;
    keep->trigger();  // the sample's file takes the table
    EXPECT_TRUE(keep->isChecked());
    EXPECT_TRUE(keeper.IsOn());
    EXPECT_TRUE(QSettings(SettingsOrganization(), SettingsApplication()).value("Review/KeepVerdicts").toBool());
    keep->trigger();
    EXPECT_FALSE(keeper.IsOn());
    EXPECT_FALSE(QSettings(SettingsOrganization(), SettingsApplication()).value("Review/KeepVerdicts").toBool());
}

// Undo takes a verdict back, in the data source keeping it too, and Redo
// sets it again.
TEST(Review, AnnotateUndoesAndRedoesWithItsKeptVerdict) {
    CTarnwickDoc& doc = Frame().GetActiveDocument();
    CTarnwickView& view = *Frame().GetActiveView();
    ScriptedPrompt radii;
    radii.radiiAnswers = {{300, 30}};
    ASSERT_TRUE(OnSphereView(doc, view, radii));
    QAction* keep = Frame().findChild<QAction*>(QStringLiteral("keepVerdicts"));
    ASSERT_FALSE(keep->isChecked());
    keep->trigger();
    ASSERT_TRUE(doc.m_verdicts.IsOn());

    // A relation node the scene draws: the first of its circle.
    const auto built =
        std::find_if(doc.m_pInteractions.begin(), doc.m_pInteractions.end(),
                     [](const InteractionRecord& r) { return r.built && r.nodeCircle > 0 && r.nodeIndex == 0; });
    ASSERT_NE(built, doc.m_pInteractions.end());
    const MoleculeRecord& node = *doc.m_pGraph->GetMolecule(built->nodeCircle, built->nodeIndex);
    view.GetCommandTarget()->SelectByName(node.name);
    ASSERT_EQ(view.GetCommandTarget()->GetCurrentName(), node.name);
    const int before = node.state;
    ASSERT_LT(before, 0);
    EXPECT_EQ(WithModals([] { Frame().ExecuteCommand(cmd::AnnotateOk); }, {Press(QMessageBox::Yes)}), 1);
    ASSERT_EQ(node.state, 0);

    CReviewStateStore kept(doc.m_setInteraction.GetConnect());
    auto keptState = [&] {
        std::unordered_map<std::string, int> states;
        std::string error;
        EXPECT_TRUE(kept.ReadAll(states, error)) << error;
        return states.count(built->id) ? states[built->id] : 99;
    };
    EXPECT_EQ(keptState(), 0);
    const struct {
        int command;
        const char* text;  // of the command before it runs
        int state;
    } steps[] = {{cmd::EditUndo, "Undo Annotate OK status", before}, {cmd::EditRedo, "Redo Annotate OK status", 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(Frame().FindCommand(step.command)->text(), step.text);
        ASSERT_TRUE(Frame().ExecuteCommand(step.command));
        EXPECT_EQ(node.state, step.state) << step.text;
        EXPECT_EQ(keptState(), step.state) << step.text;
    }
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));
    keep->trigger();
    ASSERT_TRUE(OnBoxView(doc, view, radii));  // the tests after this one start on the box view
}

TEST(Review, MoleculeNumberDialogRefusesWhatIsNoInteger) {
    CDlgMoleculeNumber dialog(7);
    EXPECT_EQ(dialog.windowTitle(), "Molecule Name");
    auto* total = dialog.findChild<QLineEdit*>(QStringLiteral("control1000"));
    auto* find = dialog.findChild<QLineEdit*>(QStringLiteral("control1001"));
    ASSERT_TRUE(total && find);
    EXPECT_EQ(total->text(), "7");
    EXPECT_FALSE(total->isEnabled());
    EXPECT_EQ(find->text(), "0");
    find->setText(QStringLiteral("two"));
    QString refusal;
    ASSERT_TRUE(WithNextModal([&] { dialog.accept(); }, Press(QMessageBox::Ok, &refusal)));
    EXPECT_EQ(refusal, "정수를 입력하십시오.");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);  // still open for a fresh entry
    find->setText(QStringLiteral("3"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nFind, 3);
}
