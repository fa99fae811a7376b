// Every start of the program shows the pathway at once: the viewer's first
// picture has green spheres and white labels, without the user having to
// press Home.
#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "CommandLine.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

// What the screen shows where the viewer draws.
QImage ScreenOfViewer(CTarnwickApp& app) {
    QWidget* area = app.GetMainWnd()->GetActiveView()->GetViewer()->getGLWidget();
    const QPoint origin = area->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), area->width(), area->height())
        .toImage();
}

bool ShowsThePathway(const QImage& shot) {
    const int white = CountPixels(shot, [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; });
    return CountPixels(shot, IsSphereGreen) > 10 && white > 200 && white < shot.width() * shot.height() / 2;
}

}  // namespace

// The drawing area grows from its first size to the screen's while the
// window manager places the window; the first picture after that could
// reach the screen at the old size and stay so (a black corner on a grey
// area). Ten starts in a row each show the pathway.
TEST(StartupPicture, TenStartsEachShowSpheresAndLabels) {
    SampleDatabase database;
    ASSERT_EQ(database.Error(), "");
    CommandLine options;
    options.connect = database.Connect();
    // Only the window under test on screen.
    SampleApp().GetMainWnd()->hide();
    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE(start);
        auto app = std::make_unique<CTarnwickApp>(options);
        ASSERT_TRUE(app->InitInstance());
        // No redraw is asked for here: the picture must come by itself.
        QImage shot;
        bool shown = false;
        for (QDeadlineTimer deadline(10000); !shown && !deadline.hasExpired();) {
            QTest::qWait(50);
            shot = ScreenOfViewer(*app);
            shown = ShowsThePathway(shot);
        }
        if (!shown) {
            shot.save(ArtifactPath(QStringLiteral("blank_start_%1.png").arg(start)));
        }
        EXPECT_TRUE(shown) << "start " << start << ": no spheres and labels on screen";
        app.reset();
        QApplication::processEvents();
    }
    SampleApp().GetMainWnd()->showMaximized();
    QTest::qWait(100);
}
