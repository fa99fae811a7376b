// The window's start-up load on a large table, watched from the event
// loop: the longest stretch without a repaint of the drawing area while
// the load runs (from its progress bar appearing to its going), and from
// then until the first complete frame is on the screen; the time to the
// first frame that shows molecules and from the load's end to that
// complete frame; the window's peak resident memory, the first complete
// frame after the load included. A 15 ms
// heartbeat asks the drawing area for a repaint; an application-wide
// event filter stamps each paint it receives; the viewer reports each
// frame it has drawn. Wall time, unlike the other benches: what
// the curator waits for. Needs an X display with a window manager
// (bench/run starts Xvfb and openbox).
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QStatusBar>
#include <QTimer>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>

#include "BenchTiming.h"
#include "BenchWindow.h"
#include "CommandLine.h"
#include "MainFrm.h"
#include "MotionViewer.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a run waits for the first complete frame after the load.
constexpr qint64 kCompleteFrameWaitMilliseconds = 300000;

QWidget* DrawingArea(const CTarnwickApp& app) {
    CMainFrame* frame = app.GetMainWnd();
    SoQtExaminerViewer* viewer = frame && frame->GetActiveView() ? frame->GetActiveView()->GetViewer() : nullptr;
    return viewer ? viewer->getGLWidget() : nullptr;
}

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
double StatusMegabytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atof(line.c_str() + prefix.size()) / 1024.0;
        }
    }
    return -1.0;
}

// Whether the scene on screen has molecules: the box scene's selection
// node holds the node root.
bool ShowsMolecules(const CTarnwickApp& app) {
    CMainFrame* frame = app.GetMainWnd();
    auto* root = frame && frame->GetActiveView() ? frame->GetActiveView()->GetSceneRoot() : nullptr;
    if (!root || !root->isOfType(SoSeparator::getClassTypeId())) {
        return false;
    }
    auto* separator = static_cast<SoSeparator*>(root);
    for (int i = 0; i < separator->getNumChildren(); ++i) {
        SoNode* child = separator->getChild(i);
        if (child->isOfType(SoSelection::getClassTypeId())) {
            auto* selection = static_cast<SoSelection*>(child);
            return selection->getNumChildren() > 0 &&
                   static_cast<SoGroup*>(selection->getChild(0))->getNumChildren() > 0;
        }
    }
    return false;
}

// Pixels of the frame just drawn that are not the black background; -1
// when there is no context to read from.
int DrawnPixels() {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context) {
        return -1;
    }
    QOpenGLFunctions* gl = context->functions();
    GLint viewport[4] = {0, 0, 0, 0};
    gl->glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> pixels(static_cast<size_t>(viewport[2]) * viewport[3] * 4);
    gl->glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int drawn = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        drawn += (pixels[i] > 40 || pixels[i + 1] > 40 || pixels[i + 2] > 40) ? 1 : 0;
    }
    return drawn;
}

class PaintWatch : public QObject {
public:
    explicit PaintWatch(const CTarnwickApp& app) : m_app(app) {}

    // Each frame the viewer has put on the screen, its GL context still
    // current.
    void FrameDrawn(FrameDetail detail) {
        if (!m_started) {
            return;
        }
        if (m_ended && detail == FrameDetail::Complete && !m_bCompleted) {
            m_bCompleted = true;
            m_completed = Clock::now();
        }
        const double frame = std::chrono::duration<double>(Clock::now() - m_paintBegan).count();
        if (m_ended) {
            m_afterFrame = std::max(m_afterFrame, frame);
        } else if (frame > m_longestFrame) {
            m_longestFrame = frame;
            m_longestFrameAt = std::chrono::duration<double>(m_paintBegan - m_start).count();
        }
        if (m_bPictured || !ShowsMolecules(m_app)) {
            return;
        }
        if (DrawnPixels() == 0) {
            return;  // molecules in the scene, none drawn yet
        }
        m_bPictured = true;
        m_picture = Clock::now();
        m_pictureRss = StatusMegabytes("VmRSS");
    }

    // Notes what the status bar says, with the time and memory, to place
    // the longest gap and see where memory grows.
    void Note(const QString& text) {
        if (!m_started || m_ended) {
            return;
        }
        // The text up to its first number or parenthesis names the stage.
        QString stage = text.section(QLatin1Char('('), 0, 0);
        for (int i = 0; i < stage.size(); ++i) {
            if (stage[i].isDigit()) {
                stage.truncate(i);
                break;
            }
        }
        stage = stage.trimmed();
        if (m_stages.empty() || m_stages.back().text != stage) {
            m_stages.push_back({Clock::now(), stage, StatusMegabytes("VmRSS")});
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            m_turns.push_back(Clock::now());
        }
        if (event->type() == QEvent::Paint && watched == DrawingArea(m_app)) {
            m_paints.push_back(Clock::now());
            m_paintBegan = m_paints.back();
        } else if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("loadProgress") &&
                   !m_started) {
            m_started = true;
            m_start = Clock::now();
            m_stages.push_back({m_start, QStringLiteral("start"), StatusMegabytes("VmRSS")});
            connect(watched, &QObject::destroyed, this, [this] {
                m_end = Clock::now();
                m_ended = true;
                m_endPeak = StatusMegabytes("VmHWM");
            });
        }
        return false;
    }

    // The longest the event loop went without delivering a timer event
    // during the load: what a paint waits for at least.
    double LongestTurn() const { return Longest(m_turns, m_start, m_end); }

    // Seconds; negative when no load was seen.
    double LongestGap() const { return Longest(m_paints, m_start, m_end); }
    // From the load's end to the first complete frame on the screen;
    // negative when none came.
    double LongestGapToComplete() const {
        return m_bCompleted ? Longest(m_paints, m_end, m_completed) : -1.0;
    }
    double CompleteSeconds() const {
        return m_bCompleted ? std::chrono::duration<double>(m_completed - m_end).count() : -1.0;
    }
    bool Completed() const { return m_bCompleted; }

    // The longest stretch between stamps from `begin` to `end`; where it
    // began (seconds into the load) goes to m_longestAt.
    double Longest(const std::vector<Clock::time_point>& stamps, Clock::time_point begin,
                   Clock::time_point end) const {
        if (!m_started || !m_ended) {
            return -1.0;
        }
        Clock::time_point last = begin;
        double longest = 0.0;
        auto seconds = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
        for (const Clock::time_point& t : stamps) {
            if (t <= begin || t >= end) {
                continue;
            }
            if (seconds(last, t) > longest) {
                longest = seconds(last, t);
                m_longestAt = seconds(m_start, last);
            }
            last = t;
        }
        if (seconds(last, end) > longest) {
            longest = seconds(last, end);
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
    // Seconds from the load's start to the first frame with molecules;
    // negative when there was none.
    double FirstPicture() const {
        return m_bPictured ? std::chrono::duration<double>(m_picture - m_start).count() : -1.0;
    }
    double m_pictureRss = 0.0;
    // The longest a paint took to draw its frame, and when it began.
    double m_longestFrame = 0.0;
    double m_longestFrameAt = 0.0;
    Clock::time_point m_paintBegan;
    // What the status bar said `at` seconds into the load.
    std::string StageAt(double at) const {
        std::string stage;
        for (const Stage& s : m_stages) {
            if (std::chrono::duration<double>(s.at - m_start).count() <= at + 1e-6) {
                stage = s.text.toStdString();
            }
        }
        return stage;
    }
    void PrintStages() const {
        for (const Stage& s : m_stages) {
            std::fprintf(stderr, "paint_gap_bench:   %.3f s %s: VmRSS %.0f MB\n",
                         std::chrono::duration<double>(s.at - m_start).count(), s.text.toStdString().c_str(), s.rss);
        }
    }

private:
    struct Stage {
        Clock::time_point at;
        QString text;
        double rss;
    };
    std::vector<Stage> m_stages;
    Clock::time_point m_picture;
    bool m_bPictured = false;
    Clock::time_point m_completed;
    bool m_bCompleted = false;

public:
    double m_endPeak = 0.0;  // VmHWM when the load ended
    double m_afterFrame = 0.0;  // the longest frame after it
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
    double firstPicture = 0.0;
    double longestToComplete = 0.0;
    double firstComplete = 0.0;
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
        // Once the viewer exists, it reports each frame it has drawn.
        QTimer attach;
        QObject::connect(&attach, &QTimer::timeout, [&] {
            CMotionViewer* viewer = app->GetMainWnd() && app->GetMainWnd()->GetActiveView()
                                        ? app->GetMainWnd()->GetActiveView()->GetMotionViewer()
                                        : nullptr;
            if (viewer) {
                viewer->SetFrameObserver([&watch](FrameDetail detail) { watch.FrameDrawn(detail); });
                attach.stop();
            }
        });
        attach.start(1);
        QMetaObject::Connection status;
        QTimer watchStatus;
        QObject::connect(&watchStatus, &QTimer::timeout, [&] {
            if (app->GetMainWnd()) {
                status = QObject::connect(app->GetMainWnd()->statusBar(), &QStatusBar::messageChanged,
                                          [&](const QString& text) { watch.Note(text); });
                watchStatus.stop();
            }
        });
        watchStatus.start(1);
        if (!app->InitInstance()) {
            std::fprintf(stderr, "paint_gap_bench: the window did not open\n");
            return 1;
        }
        // The first complete frame after the load, the window still
        // watched: it may take many turns of the event loop.
        QElapsedTimer waited;
        waited.start();
        while (!watch.Completed() && waited.elapsed() < kCompleteFrameWaitMilliseconds) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        heartbeat.stop();
        QObject::disconnect(status);
        qApp->removeEventFilter(&watch);
        const double gap = watch.LongestGap();
        if (gap < 0) {
            std::fprintf(stderr, "paint_gap_bench: no start-up load was seen\n");
            return 1;
        }
        const double paintAt = watch.m_longestAt;
        std::fprintf(stderr,
                     "paint_gap_bench: run %d: load %.3f s, first picture %.3f s (VmRSS %.0f MB), longest gap "
                     "%.3f s from %.3f s into it (%s); longest event-loop turn %.3f s from %.3f s; "
                     "VmHWM %.0f MB at the load's end, %.0f MB now\n",
                     run, watch.LoadSeconds(), watch.FirstPicture(), watch.m_pictureRss, gap, paintAt,
                     watch.StageAt(paintAt).c_str(), watch.LongestTurn(), watch.m_longestAt,
                     watch.m_endPeak, StatusMegabytes("VmHWM"));
        std::fprintf(stderr, "paint_gap_bench:   longest frame %.3f s from %.3f s; after the load %.3f s\n",
                     watch.m_longestFrame, watch.m_longestFrameAt, watch.m_afterFrame);
        const double completeGap = watch.LongestGapToComplete();
        std::fprintf(stderr,
                     "paint_gap_bench:   first complete frame %.3f s after the load, longest gap until then %.3f s "
                     "from %.3f s into the load\n",
                     watch.CompleteSeconds(), completeGap, watch.m_longestAt);
        if (!watch.Completed()) {
            std::fprintf(stderr, "paint_gap_bench: no complete frame after the load\n");
            return 1;
        }
        watch.PrintStages();
        if (run >= std::min(options.warmups, 1)) {
            longest = std::max(longest, gap);
            firstPicture = std::max(firstPicture, watch.FirstPicture());
            longestToComplete = std::max(longestToComplete, completeGap);
            firstComplete = std::max(firstComplete, watch.CompleteSeconds());
        }
        app.reset();
        QApplication::processEvents();
    }
    twbench::PrintFigure("max_paint_gap", longest);
    twbench::PrintFigure("first_picture_seconds", firstPicture);
    twbench::PrintFigure("max_paint_gap_first_frame", longestToComplete);
    twbench::PrintFigure("first_complete_frame_seconds", firstComplete);
    // The window process's peak, every run's load and its first complete
    // frame included.
    twbench::PrintFigure("peak_rss_mb", StatusMegabytes("VmHWM"));
    return 0;
}
