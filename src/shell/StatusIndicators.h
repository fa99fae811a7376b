#pragma once

#include <QObject>

#include "KeyLocks.h"

class QLabel;
class QStatusBar;

// The CAP, NUM and SCRL panes of the status bar: each shows its text while
// its lock key is on and stays blank otherwise. Refreshed on key events.
class CStatusIndicators : public QObject {
    Q_OBJECT
public:
    explicit CStatusIndicators(QStatusBar* statusBar);
    ~CStatusIndicators() override;

    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_pCaps;
    QLabel* m_pNum;
    QLabel* m_pScroll;
    KeyLocks m_keyLocks;
};
