#include "StatusIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

namespace {

QLabel* MakeIndicator(QStatusBar* bar, const QString& text) {
    auto* label = new QLabel(bar);
    label->setObjectName(QStringLiteral("indicator") + text);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 12);
    label->setProperty("indicatorText", text);
    bar->addPermanentWidget(label);
    return label;
}

void Show(QLabel* label, bool on) { label->setText(on ? label->property("indicatorText").toString() : QString()); }

}  // namespace

CStatusIndicators::CStatusIndicators(QStatusBar* statusBar) : QObject(statusBar) {
    m_pCaps = MakeIndicator(statusBar, QStringLiteral("CAP"));
    m_pNum = MakeIndicator(statusBar, QStringLiteral("NUM"));
    m_pScroll = MakeIndicator(statusBar, QStringLiteral("SCRL"));
    qApp->installEventFilter(this);
    Refresh();
}

CStatusIndicators::~CStatusIndicators() = default;

void CStatusIndicators::Refresh() {
    const KeyLocks::State state = m_keyLocks.Read();
    Show(m_pCaps, state.caps);
    Show(m_pNum, state.num);
    Show(m_pScroll, state.scroll);
}

bool CStatusIndicators::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate) {
        Refresh();
    }
    return QObject::eventFilter(watched, event);
}
