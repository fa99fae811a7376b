// A data source that cannot be opened: the program says why and still
// opens its window with an empty scene.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include <Inventor/nodes/SoSeparator.h>

#include "BoxRep.h"
#include "CommandLine.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

TEST(StartupFailure, UnreadableSourceIsReportedAndTheWindowStillOpens) {
    CommandLine options;
    options.connect = "Driver=TarnwickNoSuchDriver;Database=/nonexistent/tarnwick.db";
    CTarnwickApp app(options);
    QString caption, text;
    bool ok = false;
    const bool shown = WithNextModal([&] { ok = app.InitInstance(); },
                                     [&](QWidget* modal) {
                                         auto* box = qobject_cast<QMessageBox*>(modal);
                                         ASSERT_NE(box, nullptr);
                                         caption = box->windowTitle();
                                         text = box->text();
                                         box->button(QMessageBox::Ok)->click();
                                     });
    ASSERT_TRUE(shown);
    EXPECT_TRUE(ok);
    EXPECT_EQ(caption, "QuillonTarnwick");
    EXPECT_FALSE(text.isEmpty());
    EXPECT_EQ(text.toStdString(), app.GetDocument()->GetDataError());

    CMainFrame* frame = app.GetMainWnd();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "Skeinwright");
    EXPECT_EQ(app.GetDocument()->m_nInteractions, 0);
    CBoxRep* box = frame->GetActiveView()->GetBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCircleCount(), 1);  // no circles
    EXPECT_EQ(frame->GetActiveView()->GetSceneRoot(), static_cast<SoNode*>(box->GetRoot()));
}
