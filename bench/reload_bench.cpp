// The window loading a table a second time, as "Connect to Data Source..."
// does: the previous pathway's scene is let go and the new one shown.
//   first_load_seconds  the window's start-up load, from its start (its
//                       progress bar showing) to the first frame of the
//                       pathway drawn
//   reload_seconds      the same load again in the same window, from the
//                       command to the first frame of the new pathway (the
//                       previous one is let go after that frame: how long
//                       it takes and the longest turn meanwhile go to stderr)
//   reload_peak_rss_mb  the window process's peak resident size over both
//                       loads and the previous scene's release (VmHWM)
// Wall time, like the paint-gap bench: what the curator waits for. Needs an
// X display with a window manager (bench/run starts Xvfb and openbox). The
// loads are long at 100k: one run of each, whatever --reps says. Process
// CPU time and resident sizes at each step go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <time.h>

#include <QApplication>
#include <QTimer>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "BenchTiming.h"
#include "BenchWindow.h"
#include "CommandLine.h"
#include "MainFrm.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A field of /proc/self/status in MB ("VmHWM", "VmRSS"); -1 when unknown.
double StatusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
        }
    }
    return -1.0;
}

// When the start-up load began: its progress bar showed.
class LoadStart : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !m_bSeen && watched->objectName() == QLatin1String("loadProgress")) {
            m_bSeen = true;
            m_at = Clock::now();
        }
        return false;
    }
    bool m_bSeen = false;
    Clock::time_point m_at;
};

// Notes when the drawing area has been painted.
class PaintSeen : public QObject {
public:
    explicit PaintSeen(QWidget* area) : m_area(area) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_area && event->type() == QEvent::Paint) {
            m_bPainted = true;
        }
        return false;
    }
    // Lets the event loop run until the drawing area was painted (asked
    // for a repaint first); the paint has ended when this returns.
    bool WaitForFrame() {
        m_bPainted = false;
        m_area->update();
        const Clock::time_point start = Clock::now();
        while (!m_bPainted && Since(start) < 600.0) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return m_bPainted;
    }

private:
    QWidget* m_area;
    bool m_bPainted = false;
};

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
    LoadStart loadStart;
    qApp->installEventFilter(&loadStart);
    if (!app->InitInstance()) {
        std::fprintf(stderr, "reload_bench: the window did not open\n");
        return 1;
    }
    CTarnwickView* view = app->GetMainWnd() ? app->GetMainWnd()->GetActiveView() : nullptr;
    if (!view || !view->GetViewer() || !view->GetBox()) {
        std::fprintf(stderr, "reload_bench: the start-up load showed no pathway\n");
        return 1;
    }
    std::fprintf(stderr, "reload_bench: start-up load returned after %.3f s (process CPU %.1f s), resident %.0f MB\n",
                 Since(loadStart.m_at), CpuSeconds(), StatusMegabytes("VmRSS"));
    PaintSeen paints(view->GetViewer()->getGLWidget());
    view->GetViewer()->getGLWidget()->installEventFilter(&paints);
    if (!paints.WaitForFrame()) {
        std::fprintf(stderr, "reload_bench: the first pathway was never drawn\n");
        return 1;
    }
    qApp->removeEventFilter(&loadStart);
    if (!loadStart.m_bSeen) {
        std::fprintf(stderr, "reload_bench: no start-up load was seen\n");
        return 1;
    }
    const double first = Since(loadStart.m_at);
    std::fprintf(stderr, "reload_bench: first load %.3f s (process CPU %.1f s), resident %.0f MB, peak %.0f MB\n",
                 first, CpuSeconds(), StatusMegabytes("VmRSS"), StatusMegabytes("VmHWM"));

    const void* previous = view->GetBox();
    const Clock::time_point reloadStart = Clock::now();
    // What the command does once the curator chose the source.
    if (!view->LoadDataSource(options.connect, true)) {
        std::fprintf(stderr, "reload_bench: the second load failed\n");
        return 1;
    }
    app->GetMainWnd()->GetActiveDocument().UseDataSource(options.connect);
    const double loaded = Since(reloadStart);
    if (view->GetBox() == previous || !paints.WaitForFrame()) {
        std::fprintf(stderr, "reload_bench: the second pathway was never shown\n");
        return 1;
    }
    const double reload = Since(reloadStart);
    std::fprintf(stderr,
                 "reload_bench: reload %.3f s (%.3f s of it before the first frame; process CPU %.1f s), "
                 "resident %.0f MB\n",
                 reload, loaded, CpuSeconds(), StatusMegabytes("VmRSS"));

    // The previous scene goes over the next turns of the event loop.
    const Clock::time_point releaseStart = Clock::now();
    double longestTurn = 0.0;
    while (view->IsReleasingScene() && Since(releaseStart) < 600.0) {
        const Clock::time_point turn = Clock::now();
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        longestTurn = std::max(longestTurn, Since(turn));
    }
    std::fprintf(stderr,
                 "reload_bench: previous scene let go %.3f s after the first frame, longest turn meanwhile "
                 "%.3f s, resident %.0f MB\n",
                 Since(releaseStart), longestTurn, StatusMegabytes("VmRSS"));

    twbench::PrintFigure("first_load_seconds", first);
    twbench::PrintFigure("reload_seconds", reload);
    twbench::PrintFigure("reload_peak_rss_mb", StatusMegabytes("VmHWM"));
    // The window goes with the process: its release is not measured here.
    std::fflush(stdout);
    std::_Exit(0);
}
