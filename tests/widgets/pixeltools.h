#pragma once

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <algorithm>
#include <initializer_list>

// Helpers shared by the pixel tests of the self-drawn widgets.
namespace pixeltools
{
// A blank image of the size, filled with a colour no widget draws by itself.
inline QImage Canvas(int nWidth, int nHeight, QColor fill = QColor(1, 2, 3))
{
    QImage image(nWidth, nHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

inline QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// A font drawn without smoothing, so text pixels carry exactly the text colour.
inline QFont SharpFont(int nPixelSize = 14)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(nPixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The bounding box of the pixels inside the area that have the colour.
inline QRect BoxOf(const QImage& image, const QColor& color, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(image.pixel(x, y)) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The bounding box of the pixels inside the area that differ from the colour.
inline QRect BoxNot(const QImage& image, const QColor& color, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(image.pixel(x, y)) != color)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int CountOf(const QImage& image, const QColor& color, const QRect& area)
{
    int nCount = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            nCount += QColor(image.pixel(x, y)) == color;
    return nCount;
}

// True when every pixel of the area is one of the colours.
inline bool OnlyColours(const QImage& image, const QRect& area,
                        std::initializer_list<QColor> colours)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
        {
            const QColor pixel(image.pixel(x, y));
            if (std::find(colours.begin(), colours.end(), pixel) == colours.end())
                return false;
        }
    return true;
}

inline QColor Palette(QPalette::ColorRole role)
{
    return QColor(QGuiApplication::palette().color(QPalette::Active, role).rgb());
}
} // namespace pixeltools
