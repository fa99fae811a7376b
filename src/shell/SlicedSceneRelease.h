#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "CoinPtr.h"
#include "SceneRelease.h"

class QWidget;
class SoNode;

// Lets go of scenes the view replaced over turns of the event loop, once
// the new picture has been painted, so the curator sees it first and the
// window keeps painting while the old one goes; the heap is trimmed as
// the memory comes free.
class CSlicedSceneRelease : public QObject {
    Q_OBJECT
public:
    explicit CSlicedSceneRelease(QObject* parent = nullptr);

    // Starts letting go of `root` after the next paint of `area` (at once
    // without one), or after a while when nothing paints it.
    void Add(CoinPtr<SoNode> root, QWidget* area);
    bool Done() const { return m_release.Done(); }
    // Lets go of everything now (the process is about to need the memory).
    void Finish();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // No longer waiting for a paint or the latest start.
    void StopWaiting();
    void Start();
    void Step();

    CSceneRelease m_release;
    QPointer<QWidget> m_area;
    QTimer m_slices;
    QTimer m_latest;
    int m_slicesSinceTrim = 0;
};
