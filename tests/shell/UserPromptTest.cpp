// The Qt prompt: message boxes with the program's caption, the answers of
// the Yes/No(/Cancel) questions, and the file dialog's settings.
#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "BusyCursor.h"
#include "GuiTestSupport.h"
#include "QtUserPrompt.h"

TEST(UserPrompt, MessageCarriesTheCaptionAndTheTextAsGiven) {
    CQtUserPrompt prompt(nullptr);
    QString caption, text;
    int buttons = 0;
    ASSERT_TRUE(WithNextModal([&] { prompt.ShowMessage("존재하지 않는 이름입니다"); },
                              [&](QWidget* modal) {
                                  auto* box = qobject_cast<QMessageBox*>(modal);
                                  ASSERT_NE(box, nullptr);
                                  caption = box->windowTitle();
                                  text = box->text();
                                  buttons = box->buttons().size();
                                  box->button(QMessageBox::Ok)->click();
                              }));
    EXPECT_EQ(caption, "QuillonTarnwick");
    EXPECT_EQ(text, "존재하지 않는 이름입니다");
    EXPECT_EQ(buttons, 1);
}

TEST(UserPrompt, QuestionsReturnTheButtonPressed) {
    using Answer = IUserPrompt::Answer;
    const struct {
        bool withCancel;
        QMessageBox::StandardButton press;
        Answer expected;
        int buttons;
    } rows[] = {
        {false, QMessageBox::Yes, Answer::Yes, 2},
        {false, QMessageBox::No, Answer::No, 2},
        {true, QMessageBox::Yes, Answer::Yes, 3},
        {true, QMessageBox::No, Answer::No, 3},
        {true, QMessageBox::Cancel, Answer::Cancel, 3},
    };
    CQtUserPrompt prompt(nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.press);
        Answer answer = Answer::Cancel;
        QString caption;
        int buttons = 0;
        ASSERT_TRUE(WithNextModal([&] { answer = prompt.Ask("Do you want to set all OK?", row.withCancel); },
                                  [&](QWidget* modal) {
                                      auto* box = qobject_cast<QMessageBox*>(modal);
                                      ASSERT_NE(box, nullptr);
                                      caption = box->windowTitle();
                                      buttons = box->buttons().size();
                                      box->button(row.press)->click();
                                  }));
        EXPECT_EQ(caption, "QuillonTarnwick");
        EXPECT_EQ(buttons, row.buttons);
        EXPECT_EQ(answer, row.expected);
    }
}

TEST(UserPrompt, OpenDialogUsesTheResourceFilterAndCancelReturnsFalse) {
    CQtUserPrompt prompt(nullptr);
    IUserPrompt::FileChoice choice;
    choice.save = false;
    choice.filter = "bb file (*.bb) | *.bb;*.BB ||";
    std::string path = "unchanged";
    bool chosen = true;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    ASSERT_TRUE(WithNextModal([&] { chosen = prompt.ChooseFile(choice, path); },
                              [&](QWidget* modal) {
                                  auto* dialog = qobject_cast<QFileDialog*>(modal);
                                  ASSERT_NE(dialog, nullptr);
                                  filters = dialog->nameFilters();
                                  mode = dialog->acceptMode();
                                  dialog->reject();
                              }));
    EXPECT_FALSE(chosen);
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(filters, QStringList({"bb file (*.bb *.BB)"}));
    EXPECT_EQ(mode, QFileDialog::AcceptOpen);
}

TEST(UserPrompt, BusyPointerIsLiftedWhileAModalIsUp) {
    // The pointer a modal sees and the one on top after it closes.
    auto shapeOf = [](const QCursor* cursor) { return cursor ? static_cast<int>(cursor->shape()) : -1; };
    const struct {
        const char* what;
        bool busy;
        bool foreignOnTop;  // another pointer set above the busy one
        int duringModal;
        int afterModal;
    } rows[] = {
        {"no busy scope", false, false, -1, -1},
        {"busy scope", true, false, -1, Qt::WaitCursor},
        {"someone else's pointer on top", true, true, Qt::CrossCursor, Qt::CrossCursor},
    };
    CQtUserPrompt prompt(nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int during = -2, after = -2;
        {
            std::optional<CBusyCursor> busy;
            if (row.busy) {
                busy.emplace();
            }
            if (row.foreignOnTop) {
                QApplication::setOverrideCursor(Qt::CrossCursor);
            }
            ASSERT_TRUE(WithNextModal([&] { prompt.Ask("Do you want to set all OK?", false); },
                                      [&](QWidget* modal) {
                                          during = shapeOf(QApplication::overrideCursor());
                                          static_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click();
                                      }));
            after = shapeOf(QApplication::overrideCursor());
            if (row.foreignOnTop) {
                QApplication::restoreOverrideCursor();
            }
        }
        EXPECT_EQ(during, row.duringModal);
        EXPECT_EQ(after, row.afterModal);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}
