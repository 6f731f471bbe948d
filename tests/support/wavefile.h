#pragma once

// A WAVE reader of the tests' own, kept apart from the program's code: it
// walks the chunks the way any reader must, reads RIFF and RF64 alike, and
// seeks past the audio instead of reading it, so a sparse file of several
// GiB costs nothing.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <QtGlobal>
#include <vector>

namespace KbTest
{
struct SWaveInfo
{
    bool bValid = false;
    bool bRf64 = false;
    quint64 nRiffSize = 0; // from the ds64 chunk in an RF64 file
    quint32 nRiffField = 0;
    quint32 nDataField = 0;
    quint64 nSampleCount = 0; // ds64 only
    quint16 wFormatTag = 0;
    quint16 nChannels = 0;
    quint32 nSamplesPerSec = 0;
    quint32 nAvgBytesPerSec = 0;
    quint16 nBlockAlign = 0;
    quint16 wBitsPerSample = 0;
    qint64 nDataOffset = -1;
    quint64 nDataBytes = 0;
    QList<QByteArray> chunkIds; // in the order of the file
};

inline SWaveInfo ReadWaveInfo(const QString& strPath)
{
    SWaveInfo info;
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return info;
    const QByteArray head = file.read(12);
    if (head.size() != 12 || head.mid(8, 4) != "WAVE")
        return info;
    info.bRf64 = head.left(4) == "RF64";
    if (!info.bRf64 && head.left(4) != "RIFF")
        return info;
    info.nRiffField = qFromLittleEndian<quint32>(head.constData() + 4);
    info.nRiffSize = info.nRiffField;
    bool bFormat = false;
    bool bDs64 = false;
    quint64 nDs64Data = 0;
    while (!file.atEnd())
    {
        const QByteArray chunk = file.read(8);
        if (chunk.size() != 8)
            break;
        const QByteArray id = chunk.left(4);
        const quint32 nSize = qFromLittleEndian<quint32>(chunk.constData() + 4);
        info.chunkIds.append(id);
        const qint64 nBody = file.pos();
        if (id == "ds64" && nSize >= 28)
        {
            const QByteArray body = file.read(28);
            if (body.size() != 28)
                return info;
            info.nRiffSize = qFromLittleEndian<quint64>(body.constData());
            nDs64Data = qFromLittleEndian<quint64>(body.constData() + 8);
            info.nSampleCount = qFromLittleEndian<quint64>(body.constData() + 16);
            bDs64 = true;
        }
        else if (id == "fmt " && nSize >= 16)
        {
            const QByteArray body = file.read(16);
            if (body.size() != 16)
                return info;
            info.wFormatTag = qFromLittleEndian<quint16>(body.constData());
            info.nChannels = qFromLittleEndian<quint16>(body.constData() + 2);
            info.nSamplesPerSec = qFromLittleEndian<quint32>(body.constData() + 4);
            info.nAvgBytesPerSec = qFromLittleEndian<quint32>(body.constData() + 8);
            info.nBlockAlign = qFromLittleEndian<quint16>(body.constData() + 12);
            info.wBitsPerSample = qFromLittleEndian<quint16>(body.constData() + 14);
            bFormat = true;
        }
        else if (id == "data")
        {
            info.nDataField = nSize;
            info.nDataOffset = nBody;
            info.nDataBytes = info.bRf64 && nSize == 0xFFFFFFFFu ? nDs64Data : nSize;
            info.bValid = bFormat && (!info.bRf64 || bDs64);
            return info;
        }
        if (!file.seek(nBody + qint64(nSize) + qint64(nSize & 1)))
            break;
    }
    return info;
}

// The 16-bit samples of the data chunk; empty when the file is not a
// readable WAVE file.
inline std::vector<qint16> ReadWaveSamples(const QString& strPath)
{
    const SWaveInfo info = ReadWaveInfo(strPath);
    QFile file(strPath);
    if (!info.bValid || info.wBitsPerSample != 16 || !file.open(QIODevice::ReadOnly) ||
        !file.seek(info.nDataOffset))
        return {};
    const QByteArray data = file.read(qint64(info.nDataBytes));
    std::vector<qint16> samples(size_t(data.size() / 2));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(data.constData() + 2 * i);
    return samples;
}
} // namespace KbTest
