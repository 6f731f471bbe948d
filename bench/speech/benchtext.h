#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

// Deterministic English prose of about the given size, the same in every
// run, with sentences, commas and numbers as in a real document.
inline QString MakeProse(qsizetype nChars)
{
    static const QStringList words =
        QStringLiteral(
            "the reader walked along the river and thought about the long winter that had "
            "passed while the village slept under snow for nearly 142 days, counting every "
            "morning as a small victory over cold and silence before the spring arrived with "
            "birds and rain and the sound of water running under the old stone bridge")
            .split(QLatin1Char(' '));
    QString strText;
    strText.reserve(nChars + 200);
    quint32 nSeed = 12345;
    int nInSentence = 0;
    while (strText.size() < nChars)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        QString strWord = words.at(int((nSeed >> 16) % quint32(words.size())));
        if (nInSentence == 0)
            strWord[0] = strWord[0].toUpper();
        strText += strWord;
        ++nInSentence;
        if (nInSentence > 8 && (nSeed >> 8) % 5 == 0)
        {
            strText += (nSeed >> 4) % 3 == 0 ? QStringLiteral(".\r\n") : QStringLiteral(". ");
            nInSentence = 0;
        }
        else
        {
            strText += (nSeed >> 12) % 11 == 0 ? QStringLiteral(", ") : QStringLiteral(" ");
        }
    }
    return strText;
}

// Resident memory of this process in bytes.
inline qint64 ResidentBytes()
{
    QFile file(QStringLiteral("/proc/self/statm"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : 0;
}
