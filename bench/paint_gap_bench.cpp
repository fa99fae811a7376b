// The window's start-up load on a large table, watched from the event
// loop: the longest stretch without a repaint of the drawing area while
// the load runs. A 15 ms heartbeat asks the drawing area for a repaint; an
// application-wide event filter stamps each paint it receives, and the
// load's start and end (its progress bar in the status bar appearing and
// going). Wall time, unlike the other benches: what the curator waits for.
// Needs an X display with a window manager (bench/run starts Xvfb and
// openbox).
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>
#include <QTimer>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "BenchTiming.h"
#include "BenchWindow.h"
#include "CommandLine.h"
#include "MainFrm.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

using Clock = std::chrono::steady_clock;

QWidget* DrawingArea(const CTarnwickApp& app) {
    CMainFrame* frame = app.GetMainWnd();
    SoQtExaminerViewer* viewer = frame && frame->GetActiveView() ? frame->GetActiveView()->GetViewer() : nullptr;
    return viewer ? viewer->getGLWidget() : nullptr;
}

class PaintWatch : public QObject {
public:
    explicit PaintWatch(const CTarnwickApp& app) : m_app(app) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            m_turns.push_back(Clock::now());
        }
        if (event->type() == QEvent::Paint && watched == DrawingArea(m_app)) {
            m_paints.push_back(Clock::now());
        } else if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("loadProgress") &&
                   !m_started) {
            m_started = true;
            m_start = Clock::now();
            connect(watched, &QObject::destroyed, this, [this] {
                m_end = Clock::now();
                m_ended = true;
            });
        }
        return false;
    }

    // The longest the event loop went without delivering a timer event
    // during the load: what a paint waits for at least.
    double LongestTurn() const { return Longest(m_turns); }

    // Seconds; negative when no load was seen.
    double LongestGap() const { return Longest(m_paints); }

    double Longest(const std::vector<Clock::time_point>& stamps) const {
        if (!m_started || !m_ended) {
            return -1.0;
        }
        Clock::time_point last = m_start;
        double longest = 0.0;
        auto seconds = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
        for (const Clock::time_point& t : stamps) {
            if (t <= m_start || t >= m_end) {
                continue;
            }
            if (seconds(last, t) > longest) {
                longest = seconds(last, t);
                m_longestAt = seconds(m_start, last);
            }
            last = t;
        }
        if (seconds(last, m_end) > longest) {
            longest = seconds(last, m_end);
            m_longestAt = seconds(m_start, last);
        }
        return longest;
    }

private:
    const CTarnwickApp& m_app;
    std::vector<Clock::time_point> m_paints;
    std::vector<Clock::time_point> m_turns;
    Clock::time_point m_start, m_end;
    bool m_started = false;
    bool m_ended = false;

public:
    mutable double m_longestAt = 0.0;  // seconds into the load
    double LoadSeconds() const { return std::chrono::duration<double>(m_end - m_start).count(); }
};

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    BenchWindowApplication application(argv);

    // Each run loads the whole table in a fresh window: few runs, the
    // longest gap of all counts.
    const int runs = std::min(options.reps, 3) + std::min(options.warmups, 1);
    double longest = 0.0;
    for (int run = 0; run < runs; ++run) {
        CommandLine command;
        command.connect = options.connect;
        auto app = std::make_unique<CTarnwickApp>(command);
        PaintWatch watch(*app);
        qApp->installEventFilter(&watch);
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            if (QWidget* area = DrawingArea(*app)) {
                area->update();
            }
        });
        heartbeat.start(15);
        if (!app->InitInstance()) {
            std::fprintf(stderr, "paint_gap_bench: the window did not open\n");
            return 1;
        }
        heartbeat.stop();
        qApp->removeEventFilter(&watch);
        const double gap = watch.LongestGap();
        if (gap < 0) {
            std::fprintf(stderr, "paint_gap_bench: no start-up load was seen\n");
            return 1;
        }
        const double paintAt = watch.m_longestAt;
        std::fprintf(stderr,
                     "paint_gap_bench: run %d: load %.3f s, longest gap %.3f s from %.3f s into it; "
                     "longest event-loop turn %.3f s from %.3f s\n",
                     run, watch.LoadSeconds(), gap, paintAt, watch.LongestTurn(), watch.m_longestAt);
        if (run >= std::min(options.warmups, 1)) {
            longest = std::max(longest, gap);
        }
        app.reset();
        QApplication::processEvents();
    }
    twbench::PrintFigure("max_paint_gap", longest);
    return 0;
}
