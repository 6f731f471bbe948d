#pragma once

// Asks ffprobe and mpg123 (packages ffmpeg and mpg123), readers the program
// does not share code with, what they make of an audio file.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace KbTest
{
inline bool HasFfprobe()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

// ffprobe's -show_format -show_streams answer; empty when it cannot read
// the file.
inline QJsonObject Ffprobe(const QString& strPath, const QStringList& extra = {})
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                QStringList{QStringLiteral("-v"), QStringLiteral("error"),
                            QStringLiteral("-show_format"), QStringLiteral("-show_streams"),
                            QStringLiteral("-of"), QStringLiteral("json")} +
                    extra + QStringList{strPath});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return QJsonObject();
    return QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
}

inline QJsonObject FirstStream(const QJsonObject& probe)
{
    return probe.value(QStringLiteral("streams")).toArray().first().toObject();
}

// The audio as ffmpeg decodes it: signed 16-bit little-endian samples, from
// nFromSeconds on (the whole file when 0).
inline QByteArray FfmpegPcm(const QString& strPath, double dFromSeconds = 0.0)
{
    QProcess decoder;
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin")};
    if (dFromSeconds > 0.0)
        args << QStringLiteral("-ss") << QString::number(dFromSeconds, 'f', 6);
    args << QStringLiteral("-i") << strPath << QStringLiteral("-f") << QStringLiteral("s16le")
         << QStringLiteral("-");
    decoder.start(QStringLiteral("ffmpeg"), args);
    if (!decoder.waitForFinished(120000) || decoder.exitCode() != 0)
        return QByteArray();
    return decoder.readAllStandardOutput();
}
struct SToolRun
{
    int nExit = -1;
    QByteArray out;
    QByteArray err;
};

inline SToolRun RunTool(const QString& strProgram, const QStringList& args)
{
    QProcess process;
    process.start(strProgram, args);
    SToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.nExit = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// mpg123's test decoding: the file must decode without a complaint.
inline bool DecodesCleanly(const QString& strPath, QByteArray* pErrors = nullptr)
{
    const SToolRun run =
        RunTool(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-t"), strPath});
    if (pErrors)
        *pErrors = run.err;
    return run.nExit == 0 && run.err.trimmed().isEmpty();
}

} // namespace KbTest
