#include "speech/languagecatalogue.h"
#include "speech/spobjecttokencategory.h"
#include "speech/spstream.h"
#include "speech/spvoice.h"
#include "text/introlib/prelude.h"
#include "text/preludetext.h"

#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace
{
// Languages whose prelude is empty on purpose: nobody on the team could
// write one a native speaker would accept.
const QStringList g_deliberatelyEmpty = {QStringLiteral("046f")};

QString FromLibrary(CPrelude& prelude, const QString& strCode)
{
    const char16_t* pszText =
        prelude.GetPreludeString(reinterpret_cast<const char16_t*>(strCode.utf16()));
    return pszText == nullptr ? QStringLiteral("<null>") : QString::fromUtf16(pszText);
}

// The audio length of a text spoken into a WAV stream; -1 on failure.
int SpokenMilliseconds(const QString& strVoiceLanguage, const QString& strText)
{
    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    const CSpObjectTokenPtr pToken =
        category.FindBestToken(QStringLiteral("Language=") + strVoiceLanguage, QString());
    QTemporaryDir dir;
    CSpVoice voice;
    WAVEFORMATEX format;
    auto pStream = std::make_shared<CSpStream>();
    if (!pToken || !voice.SetVoice(pToken) || !voice.GetFormat(&format) ||
        !pStream->BindToFile(dir.filePath(QStringLiteral("p.wav")), format) ||
        !voice.SetOutput(pStream, false) || !voice.Speak(strText, SPF_IS_XML))
        return -1;
    const quint64 nBytes = pStream->GetDataBytes();
    if (!pStream->Close() || pStream->HasFailed())
        return -1;
    return int(nBytes * 1000 / format.nAvgBytesPerSec);
}
} // namespace

class CPreludeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyCatalogueLanguage_data()
    {
        QTest::addColumn<QString>("strCode");
        const std::vector<LanguageRecord> records = CLanguageCatalogue::Build();
        QCOMPARE(int(records.size()), 62);
        for (const LanguageRecord& record : records)
            QTest::newRow(qPrintable(record.szCode)) << record.szCode;
    }
    void everyCatalogueLanguage()
    {
        QFETCH(QString, strCode);
        CPrelude prelude;
        const QString strText = CPreludeText::Get(prelude, strCode);
        if (g_deliberatelyEmpty.contains(strCode))
        {
            QVERIFY(strText.isEmpty());
            return;
        }
        QVERIFY(!strText.isEmpty());
        QVERIFY(!strText.contains(QLatin1String("Kestrivane"), Qt::CaseInsensitive));

        // A heading puts the document's name right after the prelude, so
        // the prelude must be complete markup on its own.
        QXmlStreamReader xml(QStringLiteral("<heading>") + strText + QStringLiteral("</heading>"));
        QString strSpoken;
        int nPauses = 0;
        while (!xml.atEnd())
        {
            xml.readNext();
            if (xml.isCharacters())
                strSpoken += xml.text();
            else if (xml.isStartElement() && xml.name() != QLatin1String("heading"))
            {
                QCOMPARE(xml.name(), QLatin1String("silence"));
                bool bNumber = false;
                const int nMs = xml.attributes().value(QLatin1String("msec")).toInt(&bNumber);
                QVERIFY(bNumber && nMs > 0 && nMs <= 2000);
                ++nPauses;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(nPauses, 1);
        // The pause parts the phrase from the name that follows it.
        QVERIFY(strText.endsWith(QLatin1String("/>")));
        QVERIFY(std::any_of(strSpoken.cbegin(), strSpoken.cend(),
                            [](QChar c) { return c.isLetter(); }));
    }

    void codeForms_data()
    {
        QTest::addColumn<QString>("strShort");
        QTest::addColumn<QString>("strOther");
        QTest::newRow("four-digit") << "409"
                                    << "0409";
        QTest::newRow("upper-case") << "c0a"
                                    << "C0A";
        QTest::newRow("upper-four-digit") << "c0a"
                                          << "0C0A";
        QTest::newRow("mixed-case") << "40b"
                                    << "040B";
        QTest::newRow("no-leading-zero") << "2c0a"
                                         << "2C0A";
    }
    void codeForms()
    {
        QFETCH(QString, strShort);
        QFETCH(QString, strOther);
        CPrelude prelude;
        const QString strExpected = FromLibrary(prelude, strShort);
        QVERIFY(!strExpected.isEmpty());
        QCOMPARE(FromLibrary(prelude, strOther), strExpected);
    }

    void languagesDiffer()
    {
        CPrelude prelude;
        QVERIFY(FromLibrary(prelude, QStringLiteral("407")) !=
                FromLibrary(prelude, QStringLiteral("409")));
        QVERIFY(FromLibrary(prelude, QStringLiteral("419")) !=
                FromLibrary(prelude, QStringLiteral("804")));
        QVERIFY(FromLibrary(prelude, QStringLiteral("c0a")) !=
                FromLibrary(prelude, QStringLiteral("c0c")));
    }

    void unknownCodes_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::newRow("empty") << "";
        QTest::newRow("one-digit") << "9";
        QTest::newRow("two-digits") << "09";
        QTest::newRow("two-zeros") << "00409";
        QTest::newRow("zeros") << "0000";
        QTest::newRow("absent-language") << "ffff";
        QTest::newRow("hypothetical") << "1009";
        QTest::newRow("not-hex") << "40g";
        QTest::newRow("trailing-space") << "409 ";
        QTest::newRow("leading-space") << " 409";
        QTest::newRow("hex-prefix") << "0x409";
        QTest::newRow("decimal-id") << "1033";
        QTest::newRow("tag") << "en-US";
    }
    void unknownCodes()
    {
        QFETCH(QString, strCode);
        CPrelude prelude;
        QCOMPARE(FromLibrary(prelude, strCode), QString());
    }

    void nullCode()
    {
        CPrelude prelude;
        const char16_t* pszText = prelude.GetPreludeString(nullptr);
        QVERIFY(pszText != nullptr);
        QCOMPARE(pszText[0], u'\0');
    }

    void libraryCode_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("catalogue") << "0409"
                                   << "409";
        QTest::newRow("letters") << "0c0a"
                                 << "c0a";
        QTest::newRow("no-zero") << "2c0a"
                                 << "2c0a";
        QTest::newRow("already-short") << "409"
                                       << "409";
        QTest::newRow("one-zero-only") << "00409"
                                       << "0409";
        QTest::newRow("zero-alone") << "0"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void libraryCode()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strExpected);
        QCOMPARE(CPreludeText::LibraryCode(strCode), strExpected);
    }

    void getMatchesLibrary()
    {
        CPrelude prelude;
        const QString strLibrary = FromLibrary(prelude, QStringLiteral("409"));
        QCOMPARE(CPreludeText::Get(prelude, QStringLiteral("0409")), strLibrary);
        QCOMPARE(CPreludeText::Get(prelude, QStringLiteral("409")), strLibrary);
        QCOMPARE(CPreludeText::Get(prelude, QStringLiteral("0c0a")),
                 FromLibrary(prelude, QStringLiteral("c0a")));
        QCOMPARE(CPreludeText::Get(prelude, QString()), QString());
    }

    void cut_data()
    {
        QTest::addColumn<int>("nLength");
        QTest::addColumn<int>("nExpected");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("short") << 12 << 12;
        QTest::newRow("one-below") << 299 << 299;
        QTest::newRow("at-limit") << 300 << 300;
        QTest::newRow("one-above") << 301 << 300;
        QTest::newRow("long") << 5000 << 300;
    }
    void cut()
    {
        QFETCH(int, nLength);
        QFETCH(int, nExpected);
        QString strText;
        for (int i = 0; i < nLength; ++i)
            strText += QChar(u'a' + i % 26);
        const QString strCut =
            CPreludeText::Cut(reinterpret_cast<const char16_t*>(strText.utf16()));
        QCOMPARE(strCut.size(), qsizetype(nExpected));
        QCOMPARE(strCut, strText.left(nExpected));
    }

    void cutNull() { QCOMPARE(CPreludeText::Cut(nullptr), QString()); }

    // The pause must reach the engine as a pause, not as words or nothing.
    void spokenWithName_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::newRow("english") << "0409";
        QTest::newRow("german") << "0407";
        QTest::newRow("russian") << "0419";
    }
    void spokenWithName()
    {
        QFETCH(QString, strCode);
        CPrelude prelude;
        const QString strPrelude = CPreludeText::Get(prelude, strCode);
        const QString strVoice = CPreludeText::LibraryCode(strCode);
        QString strWord = strPrelude;
        strWord.truncate(strPrelude.indexOf(QLatin1Char('<')));
        const QString strName = QStringLiteral("Report");
        const int nWithPause = SpokenMilliseconds(strVoice, strPrelude + strName);
        const int nWithout = SpokenMilliseconds(strVoice, strWord + QLatin1Char(' ') + strName);
        QVERIFY(nWithPause > 0);
        QVERIFY(nWithout > 0);
        QVERIFY2(nWithPause - nWithout >= 200,
                 qPrintable(QStringLiteral("%1 ms against %2 ms").arg(nWithPause).arg(nWithout)));
    }
};

QTEST_GUILESS_MAIN(CPreludeTest)
#include "tst_prelude.moc"
