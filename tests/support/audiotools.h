#pragma once

// Real decoders and probers that tests ask about the audio files made.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace KbTest
{
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

inline QJsonObject Probe(const QString& strPath)
{
    const SToolRun run =
        RunTool(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                 QStringLiteral("json"), QStringLiteral("-show_format"),
                 QStringLiteral("-show_streams"), strPath});
    return run.nExit == 0 ? QJsonDocument::fromJson(run.out).object() : QJsonObject();
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
