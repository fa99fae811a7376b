#include "DialogUnits.h"

#include <QFontMetricsF>
#include <QtMath>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = metrics.horizontalAdvance(alphabet) / alphabet.size();
    m_baseY = metrics.height();
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(qRound(x * m_baseX / 4), qRound(y * m_baseY / 8), qRound(width * m_baseX / 4),
                 qRound(height * m_baseY / 8));
}

QSize DialogUnits::ToPixels(int width, int height) const {
    return ToPixels(0, 0, width, height).size();
}
