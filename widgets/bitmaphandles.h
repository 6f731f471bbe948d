#pragma once

#include <QImage>
#include <QtGlobal>

// Program-wide table of loaded bitmaps, so markup can name an image strip by
// a numeric handle the way the window passes it to the animation control.
class CBitmapHandles
{
public:
    // Returns a non-zero handle that stays valid until Release.
    static quint32 Register(const QImage& image);
    // A null image for an unknown handle.
    static QImage Get(quint32 nHandle);
    static void Release(quint32 nHandle);
};
