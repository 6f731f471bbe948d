#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace
{
struct SKeyText
{
    QString strKey;
    QString strEnglish;
    bool bString = false;
};

// Every key of the built-in table with its English text; separators carry
// no text and need no translation.
std::vector<SKeyText> BuiltInTexts()
{
    CResourceModule::SetCurrent(nullptr);
    std::vector<SKeyText> texts;
    for (int nId : CStringTable::GetBuiltInStringIds())
    {
        QString strText;
        CStringTable::LoadBuiltInString(nId, strText);
        texts.push_back({CStringTable::StringKey(nId), strText, true});
    }
    for (int nMenuId : CStringTable::GetBuiltInMenuIds())
    {
        const auto items = CStringTable::GetMenu(nMenuId);
        for (int i = 0; i < int(items.size()); ++i)
        {
            if (!items[i].strText.isEmpty())
                texts.push_back({CStringTable::MenuKey(nMenuId, i), items[i].strText});
        }
    }
    for (const auto& [nTemplateId, nControlId] : CStringTable::GetBuiltInDialogControls())
        texts.push_back({CStringTable::DialogKey(nTemplateId, nControlId),
                         CStringTable::GetDialogText(nTemplateId, nControlId)});
    for (int i = 0; i < CStringTable::GetColourNameCount(); ++i)
        texts.push_back({CStringTable::ColourKey(i), CStringTable::GetColourName(i)});
    return texts;
}

// What the program relies on in a text: the printf conversions that
// CStringTable::Format fills, the status display's tags, line breaks and the
// "::" between the parts of a page caption.
QStringList FormTokens(const QString& strText)
{
    static const QRegularExpression tokenRx(
        QStringLiteral("%%|%[-+ #0-9.]*[A-Za-z]|<[^>]*>|\\r?\\n|::"));
    QStringList tokens;
    for (const QRegularExpressionMatch& match : tokenRx.globalMatch(strText))
        tokens << match.captured();
    return tokens;
}

// The mnemonic letter, lower case; empty when the text has none.
QString Mnemonic(const QString& strText)
{
    for (qsizetype i = 0; i + 1 < strText.size(); ++i)
    {
        if (strText.at(i) != QLatin1Char('&'))
            continue;
        if (strText.at(i + 1) != QLatin1Char('&'))
            return strText.at(i + 1).toLower();
        ++i;
    }
    return QString();
}
} // namespace

// The shipped interface language libraries and their pages, one row per
// language for every check.
class CTranslationsTest : public QObject
{
    Q_OBJECT
private:
    CResourceModule m_module;

private Q_SLOTS:
    void initTestCase_data()
    {
        QTest::addColumn<QString>("strPack");
        QTest::addColumn<QString>("strPageFolder");
        QTest::addColumn<int>("nWritingSystem");
        QTest::newRow("spanish") << "LangESP.qm"
                                 << "es" << int(QFontDatabase::Latin);
        QTest::newRow("chinese") << "LangCHS.qm"
                                 << "zh" << int(QFontDatabase::SimplifiedChinese);
        QTest::newRow("portuguese") << "LangPOR.qm"
                                    << "pt" << int(QFontDatabase::Latin);
    }

    void init()
    {
        QFETCH_GLOBAL(QString, strPack);
        CResourceModule::SetCurrent(nullptr);
        QVERIFY2(m_module.Load(QStringLiteral(KB_BIN_DIR "Languages/") + strPack),
                 qPrintable(strPack));
    }
    void cleanup() { CResourceModule::SetCurrent(nullptr); }

    void everyTextTranslatedInItsForm()
    {
        QStringList problems;
        const auto texts = BuiltInTexts();
        for (const SKeyText& text : texts)
        {
            const QString strTranslated = m_module.Lookup(text.strKey);
            if (strTranslated.isEmpty())
                problems << text.strKey + QStringLiteral(" missing");
            else if (FormTokens(strTranslated) != FormTokens(text.strEnglish))
                problems << text.strKey + QStringLiteral(" form: ") + strTranslated;
            // The About box title is string 101 without its first character.
            else if (text.bString && text.strEnglish.startsWith(QLatin1Char('&')) &&
                     !strTranslated.startsWith(QLatin1Char('&')))
                problems << text.strKey + QStringLiteral(" must begin with &");
        }
        QVERIFY(texts.size() > 200);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void catalogueKeepsCodes()
    {
        QSet<QString> names;
        for (int nId = IDS_LANGUAGE_FIRST; nId <= IDS_LANGUAGE_LAST; ++nId)
        {
            QString strEnglish;
            QVERIFY(CStringTable::LoadBuiltInString(nId, strEnglish));
            const QString strRow = m_module.Lookup(CStringTable::StringKey(nId));
            const QStringList fields = strRow.split(QLatin1Char('#'));
            QVERIFY2(fields.size() == 3, qPrintable(strRow));
            QCOMPARE(fields[0], strEnglish.section(QLatin1Char('#'), 0, 0));
            QVERIFY2(!fields[1].isEmpty() && !fields[2].isEmpty(), qPrintable(strRow));
            QVERIFY2(fields[2].size() <= 49, qPrintable(strRow));
            names.insert(fields[2]);
        }
        // The language boxes find a language by its display name.
        QCOMPARE(names.size(), IDS_LANGUAGE_LAST - IDS_LANGUAGE_FIRST + 1);
    }

    // Siblings are the top-level popups of a menu, or the items of one popup.
    void menuMnemonicsUniqueAmongSiblings()
    {
        for (int nMenuId : CStringTable::GetBuiltInMenuIds())
        {
            const auto english = CStringTable::GetMenu(nMenuId);
            CResourceModule::SetCurrent(&m_module);
            const auto translated = CStringTable::GetMenu(nMenuId);
            CResourceModule::SetCurrent(nullptr);
            QCOMPARE(translated.size(), english.size());
            QSet<QString> topLevel;
            QSet<QString> inPopup;
            for (size_t i = 0; i < translated.size(); ++i)
            {
                const QString strMnemonic = Mnemonic(translated[i].strText);
                const QString strWhere = CStringTable::MenuKey(nMenuId, int(i)) + QLatin1Char(' ') +
                                         translated[i].strText;
                QVERIFY2(strMnemonic.isEmpty() == Mnemonic(english[i].strText).isEmpty(),
                         qPrintable(strWhere));
                if (translated[i].nLevel == 0)
                    inPopup.clear();
                QSet<QString>& siblings = translated[i].nLevel == 0 ? topLevel : inPopup;
                if (strMnemonic.isEmpty())
                    continue;
                QVERIFY2(!siblings.contains(strMnemonic), qPrintable(strWhere));
                siblings.insert(strMnemonic);
            }
        }
    }

    // The help pages the library names exist in the language's folder, and
    // every file they link to exists; page links stay in that folder.
    void pagesAndTheirLinksExist()
    {
        QFETCH_GLOBAL(QString, strPageFolder);
        static const QRegularExpression hrefRx(QStringLiteral("href=\"([^\"]+)\""));
        const QDir outputDir(QStringLiteral(KB_BIN_DIR));
        for (int nId : {IDS_FAQ_URL, IDS_SHOWCASE_URL, IDS_USAGE_URL})
        {
            const QString strPage = m_module.Lookup(CStringTable::StringKey(nId));
            QVERIFY2(
                strPage.startsWith(QStringLiteral("pages/") + strPageFolder + QLatin1Char('/')),
                qPrintable(strPage));
            QFile page(outputDir.filePath(strPage));
            QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
            const QFileInfo pageInfo(page);
            const QString strText = QString::fromUtf8(page.readAll());
            int nLinks = 0;
            for (const QRegularExpressionMatch& match : hrefRx.globalMatch(strText))
            {
                const QFileInfo target(pageInfo.dir(), match.captured(1));
                QVERIFY2(target.exists(), qPrintable(strPage + " -> " + match.captured(1)));
                if (target.suffix() == QLatin1String("html"))
                    QCOMPARE(target.canonicalPath(), pageInfo.canonicalPath());
                ++nLinks;
            }
            QVERIFY2(nLinks >= 2, qPrintable(strPage));
        }
    }

    void fontCoversTheScript()
    {
        QFETCH_GLOBAL(int, nWritingSystem);
        QVERIFY(!QFontDatabase::families(QFontDatabase::WritingSystem(nWritingSystem)).isEmpty());
    }
};

QTEST_MAIN(CTranslationsTest)
#include "tst_translations.moc"
