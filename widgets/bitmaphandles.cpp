#include "widgets/bitmaphandles.h"

#include <QHash>

namespace
{
QHash<quint32, QImage>& Table()
{
    static QHash<quint32, QImage> table;
    return table;
}
quint32 g_nNextHandle = 0x2A00;
} // namespace

quint32 CBitmapHandles::Register(const QImage& image)
{
    const quint32 nHandle = ++g_nNextHandle;
    Table().insert(nHandle, image);
    return nHandle;
}

QImage CBitmapHandles::Get(quint32 nHandle)
{
    return Table().value(nHandle);
}

void CBitmapHandles::Release(quint32 nHandle)
{
    Table().remove(nHandle);
}
