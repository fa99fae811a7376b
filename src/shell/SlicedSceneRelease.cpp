#include "SlicedSceneRelease.h"

#include <malloc.h>

#include <QEvent>
#include <QWidget>

#include <Inventor/nodes/SoNode.h>

namespace {

// Short enough that the window keeps painting between slices.
constexpr double kSliceSeconds = 0.02;
// The heap is trimmed after this many slices as well as at the end: one
// trim after a whole scene returns some 700 MB at 100k interactions and
// holds the window for most of a second; after every few slices each
// trim is a fraction of that.
constexpr int kSlicesPerTrim = 10;
// A window that is not painted (minimised, covered) still gives the memory back.
constexpr int kLatestStartMs = 3000;

// A released scene of a million nodes leaves most of its memory in free
// blocks scattered over the heap: give the free pages back.
void TrimHeap() { malloc_trim(0); }

}  // namespace

CSlicedSceneRelease::CSlicedSceneRelease(QObject* parent) : QObject(parent) {
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &CSlicedSceneRelease::Step);
    m_latest.setSingleShot(true);
    m_latest.setInterval(kLatestStartMs);
    connect(&m_latest, &QTimer::timeout, this, &CSlicedSceneRelease::Start);
}

void CSlicedSceneRelease::Add(CoinPtr<SoNode> root, QWidget* area) {
    m_release.Add(std::move(root));
    if (m_slices.isActive() || m_latest.isActive()) {
        return;
    }
    if (!area) {
        Start();
        return;
    }
    m_area = area;
    m_area->installEventFilter(this);
    m_latest.start();
}

bool CSlicedSceneRelease::eventFilter(QObject* watched, QEvent* event) {
    // The slices begin after this paint has been handled.
    if (watched == m_area && event->type() == QEvent::Paint) {
        Start();
    }
    return QObject::eventFilter(watched, event);
}

void CSlicedSceneRelease::StopWaiting() {
    m_latest.stop();
    if (m_area) {
        m_area->removeEventFilter(this);
        m_area = nullptr;
    }
}

void CSlicedSceneRelease::Start() {
    StopWaiting();
    m_slices.start();
}

void CSlicedSceneRelease::Finish() {
    if (!m_slices.isActive() && !m_latest.isActive()) {
        return;
    }
    StopWaiting();
    m_slices.stop();
    while (!m_release.Step(1.0)) {
    }
    TrimHeap();
}

void CSlicedSceneRelease::Step() {
    if (!m_release.Step(kSliceSeconds)) {
        if (++m_slicesSinceTrim == kSlicesPerTrim) {
            m_slicesSinceTrim = 0;
            TrimHeap();
        }
        return;
    }
    m_slices.stop();
    m_slicesSinceTrim = 0;
    TrimHeap();
}
