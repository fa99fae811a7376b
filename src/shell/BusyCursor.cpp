#include "BusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace {

// Busy scopes open now: a pause lifts only a pointer one of them set.
int& OpenScopes() {
    static int open = 0;
    return open;
}

bool BusyOnTop() {
    const QCursor* top = QApplication::overrideCursor();
    return OpenScopes() > 0 && top && top->shape() == Qt::WaitCursor;
}

}  // namespace

CBusyCursor::CBusyCursor() {
    ++OpenScopes();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CBusyCursor::~CBusyCursor() {
    QApplication::restoreOverrideCursor();
    --OpenScopes();
}

CBusyCursor::Pause::Pause() : m_lifted(BusyOnTop()) {
    if (m_lifted) {
        QApplication::restoreOverrideCursor();
    }
}

CBusyCursor::Pause::~Pause() {
    if (m_lifted) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}
