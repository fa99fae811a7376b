#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog-template units into pixels for a font, the way dialog
// layouts were designed: four horizontal units per average character
// width, eight vertical units per character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

private:
    double m_baseX;
    double m_baseY;
};
