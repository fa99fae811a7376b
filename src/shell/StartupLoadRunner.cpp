#include "StartupLoadRunner.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

CStartupLoadRunner::CStartupLoadRunner(QMainWindow* window, QWidget* view) : m_pWindow(window), m_pView(view) {}

CStartupLoadRunner::~CStartupLoadRunner() { Release(); }

CStartupLoadRunner::Outcome CStartupLoadRunner::RunIn(QWidget* view, const Work& work) {
    CStartupLoadRunner runner(qobject_cast<QMainWindow*>(view->window()), view);
    return runner.Run(work);
}

QString CStartupLoadRunner::ProgressText(const LoadProgress& p) {
    const int percent = p.total > 0 ? static_cast<int>(100.0 * static_cast<double>(p.done) / p.total) : 0;
    switch (p.stage) {
    case LoadProgress::Stage::Reading:
        return tr("Reading the interactions...");
    case LoadProgress::Stage::ReadingFile:
        return tr("Reading the pathway file...");
    case LoadProgress::Stage::Graph:
        return tr("Building the pathway: %L1 of %L2 interactions").arg(p.done).arg(p.total);
    case LoadProgress::Stage::Molecules:
        return tr("Building the scene: molecules (%1 %)").arg(percent);
    case LoadProgress::Stage::Labels:
        return tr("Building the scene: labels (%1 %)").arg(percent);
    case LoadProgress::Stage::Edges:
        return tr("Building the scene: edges (%1 %)").arg(percent);
    }
    return QString();
}

void CStartupLoadRunner::Cancel() {
    m_bCancel = true;
    if (m_pCancel) {
        m_pCancel->setEnabled(false);
    }
    if (m_pWindow) {
        m_pWindow->statusBar()->showMessage(tr("Cancelling..."));
    }
}

bool CStartupLoadRunner::eventFilter(QObject* watched, QEvent* event) {
    // Closing the window while loading stops the load, then closes.
    if (watched == m_pWindow && event->type() == QEvent::Close) {
        m_bCloseAfter = true;
        if (m_pCancel) {
            Cancel();
        }
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CStartupLoadRunner::Hold(bool cancellable) {
    if (!m_pWindow) {
        return;
    }
    // Commands would read or replace the document half-way through.
    for (QAction* action : m_pWindow->findChildren<QAction*>()) {
        if (action->isEnabled()) {
            action->setEnabled(false);
            m_held.emplace_back(action);
        }
    }
    std::vector<QWidget*> widgets(1, m_pView.data());
    for (QDockWidget* dock : m_pWindow->findChildren<QDockWidget*>()) {
        widgets.push_back(dock);
    }
    for (QWidget* w : widgets) {
        if (w && w->isEnabled()) {
            w->setEnabled(false);
            m_heldWidgets.emplace_back(w);
        }
    }
    m_pWindow->installEventFilter(this);
    QStatusBar* bar = m_pWindow->statusBar();
    m_pBar = new QProgressBar(bar);
    m_pBar->setObjectName(QStringLiteral("loadProgress"));
    m_pBar->setMaximumWidth(200);
    m_pBar->setRange(0, 0);
    bar->addPermanentWidget(m_pBar);
    if (cancellable) {
        m_pCancel = new QPushButton(tr("Cancel"), bar);
        m_pCancel->setObjectName(QStringLiteral("cancelLoad"));
        connect(m_pCancel, &QPushButton::clicked, this, &CStartupLoadRunner::Cancel);
        bar->addPermanentWidget(m_pCancel);
    }
}

void CStartupLoadRunner::Release() {
    for (const QPointer<QAction>& action : m_held) {
        if (action) {
            action->setEnabled(true);
        }
    }
    m_held.clear();
    for (const QPointer<QWidget>& w : m_heldWidgets) {
        if (w) {
            w->setEnabled(true);
        }
    }
    m_heldWidgets.clear();
    // Only the progress text is ours to clear: once released (the
    // destructor releases again), what callers showed since must stay.
    if (m_pWindow && m_pBar) {
        m_pWindow->removeEventFilter(this);
        m_pWindow->statusBar()->clearMessage();
    }
    delete m_pBar;
    m_pBar = nullptr;
    delete m_pCancel;
    m_pCancel = nullptr;
}

void CStartupLoadRunner::Show(const LoadProgress& progress) {
    // Percent: a bar's range is an int, the counts may not fit.
    ShowText(ProgressText(progress),
             progress.total == 0 ? -1 : static_cast<int>(100.0 * static_cast<double>(progress.done) / progress.total));
}

void CStartupLoadRunner::ShowText(const QString& text, int percent) {
    if (!m_pWindow || m_bCancel) {
        return;
    }
    m_pWindow->statusBar()->showMessage(text);
    if (m_pBar) {
        if (percent < 0) {
            m_pBar->setRange(0, 0);
        } else {
            m_pBar->setRange(0, 100);
            m_pBar->setValue(percent);
        }
    }
}

void CStartupLoadRunner::RunHere(const std::function<void(const Report&)>& work) {
    m_bCancel = false;
    m_bCloseAfter = false;
    Hold(true);
    QElapsedTimer sincePaint;
    sincePaint.start();
    work([&](const QString& text, int percent, bool cancellable) {
        if (!cancellable) {
            m_bCancel = false;  // a click that came too late to stop anything
        }
        if (m_pCancel) {
            m_pCancel->setEnabled(cancellable && !m_bCancel);
        }
        ShowText(text, percent);
        if (sincePaint.elapsed() >= kSliceMilliseconds) {
            QCoreApplication::processEvents();
            sincePaint.restart();
        }
        return !(cancellable && m_bCancel);
    });
    Release();
    if (m_bCloseAfter && m_pWindow) {
        QTimer::singleShot(0, m_pWindow, &QWidget::close);
    }
}

CStartupLoadRunner::Outcome CStartupLoadRunner::Run(CStartupLoadSteps& steps, bool keepOnFailure,
                                                     StartupLoadResult& result, std::string& error,
                                                     const SceneHooks& hooks) {
    Work work;
    bool shown = false;
    work.background = [&steps](const std::function<bool()>& cancelled, const LoadProgressCallback& progress) {
        return steps.Prepare(cancelled, progress);
    };
    work.begin = [&] {
        if (!steps.DataLoaded() && keepOnFailure) {
            error = steps.DataError();
            return false;
        }
        steps.BeginScene();
        return true;
    };
    work.step = [&](std::chrono::milliseconds budget, const LoadProgressCallback& progress) {
        const bool more = steps.BuildSceneFor(budget, progress);
        if (!shown && steps.MoleculesReady() && hooks.moleculesReady) {
            shown = true;
            hooks.moleculesReady();
        }
        if (more) {
            return true;
        }
        result = steps.Commit();
        return false;
    };
    const Outcome outcome = Run(work);
    if (outcome != Outcome::Loaded) {
        if (hooks.stopped) {
            hooks.stopped();
        }
        steps.Abandon();
    }
    return outcome;
}

CStartupLoadRunner::Outcome CStartupLoadRunner::Run(const Work& work) {
    m_bCancel = false;
    m_bCloseAfter = false;
    Hold(work.cancellable);

    // What the worker reports, read by the event loop.
    std::atomic<int> stage{static_cast<int>(LoadProgress::Stage::Reading)};
    std::atomic<size_t> done{0}, total{0};
    std::atomic<bool> finished{false};
    bool prepared = false;
    std::thread worker([&] {
        // Just below the window's thread, so that painting goes first on a
        // shared core; not far below, or on a busy machine every other
        // program goes first too (at 10 the fetch took five times as long
        // as alone, and the first picture waited for it).
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 1);
        prepared = work.background([this] { return m_bCancel.load(); },
                                   [&](const LoadProgress& p) {
                                       done = p.done;
                                       total = p.total;
                                       stage = static_cast<int>(p.stage);
                                   });
        finished = true;
    });

    Outcome outcome = Outcome::Cancelled;
    bool building = false;
    bool ended = false;
    QEventLoop loop;
    QTimer tick;
    auto sliceEnded = std::chrono::steady_clock::now();
    tick.setInterval(15);
    auto end = [&](Outcome o) {
        outcome = o;
        ended = true;
        tick.stop();
        loop.quit();
    };
    connect(&tick, &QTimer::timeout, this, [&] {
        if (!building) {
            Show({static_cast<LoadProgress::Stage>(stage.load()), done.load(), total.load()});
            if (!finished) {
                return;
            }
            worker.join();
            if (!prepared || m_bCancel) {
                end(Outcome::Cancelled);
            } else if (!work.begin()) {
                end(Outcome::Failed);
            } else {
                building = true;
                tick.setInterval(0);
                // The first slice is a short one, not as long as the wait.
                sliceEnded = std::chrono::steady_clock::now();
            }
            return;
        }
        if (m_bCancel) {
            end(Outcome::Cancelled);
            return;
        }
        const auto elsewhere =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sliceEnded);
        const auto budget = std::clamp(elsewhere, std::chrono::milliseconds(kSliceMilliseconds),
                                       std::chrono::milliseconds(kLongestSliceMilliseconds));
        const bool more = work.step(budget, [this](const LoadProgress& p) { Show(p); });
        sliceEnded = std::chrono::steady_clock::now();
        if (!more) {
            end(Outcome::Loaded);
        }
    });
    tick.start();
    if (!ended) {
        loop.exec();
    }
    if (!ended) {
        // The application quit under the work: stop it.
        m_bCancel = true;
        outcome = Outcome::Cancelled;
    }
    if (worker.joinable()) {
        worker.join();
    }
    Release();
    if (m_bCloseAfter && m_pWindow) {
        QTimer::singleShot(0, m_pWindow, &QWidget::close);
    }
    return outcome;
}
