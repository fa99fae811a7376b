#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>

#include "StartupLoadSteps.h"

class QAction;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QWidget;

// Runs long work while the window keeps painting: a part without scene
// nodes on a worker thread, then the scene in short slices from the event
// loop, with progress (and a Cancel button where stopping loses nothing)
// in the status bar. Meanwhile the window's commands and the view's input
// wait. Run returns once the work has ended, so callers see one call.
class CStartupLoadRunner : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Loaded, Failed, Cancelled };

    struct Work {
        // On the worker thread; false when it stopped (cancelled).
        std::function<bool(const std::function<bool()>& cancelled, const LoadProgressCallback& progress)> background;
        // Back on this thread: false ends the work as Failed.
        std::function<bool()> begin;
        // Scene work for about the budget; false once complete.
        std::function<bool(std::chrono::milliseconds budget, const LoadProgressCallback& progress)> step;
        bool cancellable = true;
    };

    // Scene work per turn of the event loop: short enough that painting
    // goes on, long enough that the turns cost little.
    static constexpr int kSliceMilliseconds = 25;
    // Once the scene is on screen while it grows, each paint costs more:
    // a slice then lasts as long as the turn spent elsewhere, up to this,
    // so that the work keeps at least half the time.
    static constexpr int kLongestSliceMilliseconds = 100;

    // `window` may be null (no status bar to show progress in).
    CStartupLoadRunner(QMainWindow* window, QWidget* view);
    ~CStartupLoadRunner() override;

    // With `keepOnFailure`, a table that cannot be read leaves everything
    // as it was (Failed, `error` says why); otherwise the empty result is
    // loaded as the start-up load always did.
    // What the window does with a scene in progress: show it once its
    // molecules exist, and put back what it showed before when the load
    // stops short (before anything of the load is released).
    struct SceneHooks {
        std::function<void()> moleculesReady;
        std::function<void()> stopped;
    };
    Outcome Run(CStartupLoadSteps& steps, bool keepOnFailure, StartupLoadResult& result, std::string& error,
                const SceneHooks& hooks = {});
    Outcome Run(const Work& work);

    // The same for the window that holds `view`.
    static Outcome RunIn(QWidget* view, const Work& work);

    // Work that stays on this thread because it asks the curator on the
    // way. Each report shows `text` (with `percent`, or -1 when unknown),
    // lets the window paint once a slice has passed since it last did,
    // offers Cancel only while `cancellable`, and returns false once the
    // curator cancelled.
    using Report = std::function<bool(const QString& text, int percent, bool cancellable)>;
    void RunHere(const std::function<void(const Report&)>& work);

    // The status bar text of a progress report.
    static QString ProgressText(const LoadProgress& progress);

public slots:
    void Cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Hold(bool cancellable);
    void Release();
    void Show(const LoadProgress& progress);
    void ShowText(const QString& text, int percent);

    QMainWindow* m_pWindow;
    QPointer<QWidget> m_pView;
    QProgressBar* m_pBar = nullptr;
    QPushButton* m_pCancel = nullptr;
    std::vector<QPointer<QAction>> m_held;
    std::vector<QPointer<QWidget>> m_heldWidgets;
    std::atomic<bool> m_bCancel{false};
    bool m_bCloseAfter = false;
};
