// The window with a large table loaded, its camera turned by a drag: the
// median frame while the camera moves, and a complete frame of the still
// camera for comparison. Wall time, as the curator sees it: each frame is
// drawn and finished before the clock stops. Needs an X display with a
// window manager (bench/run starts Xvfb and openbox).
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include "BenchTiming.h"
#include "BenchWindow.h"
#include "CommandLine.h"
#include "MainFrm.h"
#include "MotionViewer.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

using Clock = std::chrono::steady_clock;

void Settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

double TimedFrame(SoQtExaminerViewer& viewer) {
    const Clock::time_point start = Clock::now();
    viewer.render();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A complete frame of the still camera, all its slices drawn one after
// another, after the one the load asked for (which may still be drawing).
double TimedCompleteFrame(CMotionViewer& viewer) {
    while (viewer.IsCompleting()) {
        viewer.render();
    }
    const Clock::time_point start = Clock::now();
    do {
        viewer.render();
    } while (viewer.IsCompleting());
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void SendMouse(QWidget* area, QEvent::Type type, const QPoint& at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, area->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(area, &event);
}

const char* DetailName(FrameDetail detail) {
    switch (detail) {
    case FrameDetail::Complete:
        return "complete";
    case FrameDetail::NoLabels:
        return "no labels";
    case FrameDetail::MoleculesOnly:
        return "molecules only";
    case FrameDetail::MoleculePoints:
        return "molecule points";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    BenchWindowApplication application(argv);

    CommandLine command;
    command.connect = options.connect;
    auto app = std::make_unique<CTarnwickApp>(command);
    if (!app->InitInstance()) {
        std::fprintf(stderr, "moving_frame_bench: the window did not open\n");
        return 1;
    }
    CTarnwickView* view = app->GetMainWnd() ? app->GetMainWnd()->GetActiveView() : nullptr;
    CMotionViewer* viewer = view ? view->GetMotionViewer() : nullptr;
    if (!viewer || !view->GetCommandTarget()) {
        std::fprintf(stderr, "moving_frame_bench: no pathway on screen\n");
        return 1;
    }
    Settle(500);

    // A complete frame of the large table takes seconds: two are enough.
    std::vector<double> still;
    for (int i = 0; i < std::min(options.reps, 2); ++i) {
        still.push_back(TimedCompleteFrame(*viewer));
    }

    // A slow drag across the drawing area, a frame for every step; the
    // first frames may still learn what the scene can afford.
    QWidget* area = viewer->getGLWidget();
    QPoint at(area->width() / 3, area->height() / 2);
    SendMouse(area, QEvent::MouseButtonPress, at);
    const int learning = 2;
    const int frames = learning + std::max(3 * options.reps, 9);
    std::vector<double> moving;
    for (int i = 0; i < frames; ++i) {
        at += QPoint(4, 1);
        SendMouse(area, QEvent::MouseMove, at);
        if (!viewer->IsCameraMoving()) {
            std::fprintf(stderr, "moving_frame_bench: the drag did not move the camera\n");
            return 1;
        }
        const double seconds = TimedFrame(*viewer);
        if (i == 0 || i + 1 == frames) {
            std::fprintf(stderr, "moving_frame_bench: %s frame %d of %d: %.3f s\n",
                         DetailName(viewer->LastFrameDetail()), i + 1, frames, seconds);
        }
        if (i >= learning) {
            moving.push_back(seconds);
        }
    }
    SendMouse(area, QEvent::MouseButtonRelease, at);
    viewer->stopAnimating();

    twbench::PrintFigure("moving_frame_seconds", twbench::Median(moving));
    twbench::PrintFigure("still_frame_seconds", twbench::Median(still));
    app.reset();
    QApplication::processEvents();
    return 0;
}
