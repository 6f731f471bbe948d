#include "bench/fuzz/fuzzinputs.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Every committed fuzz input, seeds and the inputs of faults once found,
// goes through its reader again in the ordinary build.
class CFuzzCorpusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void inputsRead_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QString>("path");
        int nRows = 0;
        for (FuzzReader reader :
             {FuzzReader::TextFile, FuzzReader::Settings, FuzzReader::Rtf, FuzzReader::Word,
              FuzzReader::Html, FuzzReader::Mht, FuzzReader::WaveHeader, FuzzReader::Docx,
              FuzzReader::Odt, FuzzReader::Epub, FuzzReader::Css, FuzzReader::Pdf})
        {
            for (const char* pszSet : {"corpus", "regressions"})
            {
                const QDir dir(
                    QStringLiteral(KB_TEST_DATA_DIR "../../bench/fuzz/%1/%2")
                        .arg(QLatin1String(pszSet), QLatin1String(FuzzReaderName(reader))));
                for (const QString& strName : dir.entryList(QDir::Files, QDir::Name))
                {
                    QTest::newRow(
                        qPrintable(QStringLiteral("%1/%2/%3")
                                       .arg(QLatin1String(pszSet),
                                            QLatin1String(FuzzReaderName(reader)), strName)))
                        << int(reader) << dir.filePath(strName);
                    ++nRows;
                }
            }
        }
        if (nRows < 6)
            qFatal("the fuzz corpus is missing");
    }
    void inputsRead()
    {
        QFETCH(int, reader);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strText = RunFuzzReader(FuzzReader(reader), file.readAll());
        // Normalised text never holds a line feed.
        QVERIFY(!strText.contains(u'\n'));
    }
};

QTEST_GUILESS_MAIN(CFuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
