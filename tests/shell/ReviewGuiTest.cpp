// The review commands in the window: the menus reach them, the marks land
// in the representation, and the prompt's series and detail boxes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoSelection.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "HeadlessReview.h"
#include "MainFrm.h"
#include "QtUserPrompt.h"
#include "SceneNames.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

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
