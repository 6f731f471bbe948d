#include "text/normalizetext.h"

void NormalizeText(QString& strText)
{
    const qsizetype nLength = strText.size();
    qsizetype i = 0;
    // Most texts need one pass that finds nothing to change.
    const QChar* pIn = strText.constData();
    while (i < nLength)
    {
        const char16_t c = pIn[i].unicode();
        if (c == u'\n' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0 ||
            (c == u'\r' && i + 1 < nLength && pIn[i + 1] == u'\n'))
            break;
        ++i;
    }
    if (i == nLength)
        return;
    // The text only shrinks, so it is rewritten in place.
    QChar* pOut = strText.data();
    pIn = pOut;
    qsizetype nOut = i;
    for (; i < nLength; ++i)
    {
        const char16_t c = pIn[i].unicode();
        switch (c)
        {
        case u'\r':
            if (i + 1 < nLength && pIn[i + 1] == u'\n')
                ++i;
            pOut[nOut++] = QLatin1Char('\r');
            break;
        case u'\n':
        case 0x2029:
            pOut[nOut++] = QLatin1Char('\r');
            break;
        case 0xFDD0:
        case 0xFDD1:
        case 0:
            break;
        default:
            pOut[nOut++] = pIn[i];
        }
    }
    strText.truncate(nOut);
}
