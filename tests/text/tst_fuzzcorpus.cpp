#include "bench/fuzz/fuzzinputs.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Every committed fuzz input, the seeds under corpus/<reader>/ and the
// inputs of faults once found under regressions/<reader>/, goes through its
// reader again in the ordinary build. A folder no reader claims fails, so
// no input is left out by a misspelt name.
class CFuzzCorpusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void inputsRead_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QString>("path");
        QStringList corpusReaders;
        for (const char* pszSet : {"corpus", "regressions"})
        {
            const QDir set(
                QStringLiteral(KB_TEST_DATA_DIR "../../bench/fuzz/%1").arg(QLatin1String(pszSet)));
            for (const QString& strFolder : set.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            {
                int nReader = -1;
                for (const FuzzReader reader : AllFuzzReaders())
                {
                    if (strFolder == QLatin1String(FuzzReaderName(reader)))
                        nReader = int(reader);
                }
                const QDir dir(set.filePath(strFolder));
                for (const QString& strName : dir.entryList(QDir::Files, QDir::Name))
                {
                    QTest::newRow(qPrintable(
                        QStringLiteral("%1/%2/%3").arg(QLatin1String(pszSet), strFolder, strName)))
                        << nReader << dir.filePath(strName);
                }
                if (QLatin1String(pszSet) == QLatin1String("corpus") &&
                    !dir.entryList(QDir::Files).isEmpty())
                    corpusReaders.append(strFolder);
            }
        }
        // Every reader has seeds of its own.
        for (const FuzzReader reader : AllFuzzReaders())
        {
            if (!corpusReaders.contains(QLatin1String(FuzzReaderName(reader))))
                QTest::newRow(FuzzReaderName(reader)) << int(reader) << QString();
        }
    }
    void inputsRead()
    {
        QFETCH(int, reader);
        QFETCH(QString, path);
        QVERIFY2(reader >= 0, "no reader for this folder");
        QVERIFY2(!path.isEmpty(), "no seeds for this reader");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strText = RunFuzzReader(FuzzReader(reader), file.readAll());
        // Normalised text never holds a line feed.
        QVERIFY(!strText.contains(u'\n'));
    }
};

QTEST_GUILESS_MAIN(CFuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
