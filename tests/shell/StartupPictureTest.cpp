// Every start of the program shows the pathway at once: the viewer's first
// picture has green spheres and white labels, without the user having to
// press Home.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// The smallest rectangle around everything drawn on the black background.
QRect DrawnExtent(const QImage& shot) {
    QRect extent;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            if (std::max({qRed(p), qGreen(p), qBlue(p)}) > 60) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

// Most of the width or height is used and nothing reaches the edge.
bool FillsTheView(const QImage& shot) {
    const QRect drawn = DrawnExtent(shot);
    const bool clear = drawn.left() > 0 && drawn.top() > 0 && drawn.right() < shot.width() - 1 &&
                       drawn.bottom() < shot.height() - 1;
    return clear && (drawn.width() >= shot.width() * 4 / 5 || drawn.height() >= shot.height() * 4 / 5);
}

// Opens the program alone on screen and waits, asking for no redraw, up
// to ten seconds for a picture that `done` accepts; returns the last one.
QImage PictureAfterStart(std::unique_ptr<CTarnwickApp>& app, const CommandLine& options,
                         const std::function<bool(const QImage&)>& done) {
    SampleApp().GetMainWnd()->hide();
    app = std::make_unique<CTarnwickApp>(options);
    if (!app->InitInstance()) {
        return {};
    }
    QImage shot;
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired();) {
        QTest::qWait(50);
        shot = ScreenOfViewer(*app);
        if (done(shot)) {
            break;
        }
    }
    return shot;
}

void CloseAndShowTheSample(std::unique_ptr<CTarnwickApp>& app) {
    app.reset();
    QApplication::processEvents();
    SampleApp().GetMainWnd()->showMaximized();
    QTest::qWait(100);
}

// A fresh program on its own copy of the sample; the shared one comes back
// on screen afterwards.
class StartupPicture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(database.Error(), "");
        options.connect = database.Connect();
    }
    void TearDown() override { CloseAndShowTheSample(app); }

    SampleDatabase database;
    CommandLine options;
    std::unique_ptr<CTarnwickApp> app;
};

}  // namespace

// The drawing area grows from its first size to the screen's while the
// window manager places the window; the first picture after that could
// reach the screen at the old size and stay so (a black corner on a grey
// area). Ten starts in a row each show the pathway.
TEST_F(StartupPicture, TenStartsEachShowSpheresAndLabels) {
    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE(start);
        const QImage shot = PictureAfterStart(app, options, ShowsThePathway);
        ASSERT_TRUE(app);
        const bool shown = ShowsThePathway(shot);
        if (!shown) {
            shot.save(ArtifactPath(QStringLiteral("blank_start_%1.png").arg(start)));
        }
        EXPECT_TRUE(shown) << "start " << start << ": no spheres and labels on screen";
        app.reset();
        QApplication::processEvents();
    }
}

// The start camera looks down onto the pathway at an angle; the whole
// pathway then fits the drawing area instead of a third of it.
TEST_F(StartupPicture, WholePathwayFillsTheViewAtStart) {
    const QImage shot =
        PictureAfterStart(app, options, [](const QImage& s) { return ShowsThePathway(s) && FillsTheView(s); });
    shot.save(ArtifactPath("start_fitted.png"));
    const QRect drawn = DrawnExtent(shot);
    EXPECT_TRUE(ShowsThePathway(shot));
    EXPECT_TRUE(FillsTheView(shot)) << "drawn " << drawn.x() << "," << drawn.y() << " " << drawn.width() << "x"
                                    << drawn.height() << " of " << shot.width() << "x" << shot.height();
}
