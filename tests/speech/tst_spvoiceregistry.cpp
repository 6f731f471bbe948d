#include "speech/splanguagetags.h"
#include "speech/spobjecttokencategory.h"
#include "speech/spvoiceregistry.h"

#include <QSet>
#include <QTest>

namespace
{
CSpObjectTokenPtr MakeToken(const QString& strId, const CSpAttributes::AttributeList& attributes)
{
    return std::make_shared<CSpObjectToken>(strId, attributes);
}

std::vector<CSpObjectTokenPtr> OwnVoices()
{
    return {
        MakeToken(QStringLiteral("a"), {{QStringLiteral("Language"), QStringLiteral("409;809")},
                                        {QStringLiteral("Gender"), QStringLiteral("Male")}}),
        MakeToken(QStringLiteral("b"), {{QStringLiteral("Language"), QStringLiteral("409")},
                                        {QStringLiteral("Gender"), QStringLiteral("Female")},
                                        {QStringLiteral("VendorPreferred"), QString()}}),
        MakeToken(QStringLiteral("c"), {{QStringLiteral("Language"), QStringLiteral("c0a")},
                                        {QStringLiteral("Gender"), QStringLiteral("Female")}}),
        MakeToken(QStringLiteral("d"), {{QStringLiteral("Language"), QStringLiteral("2c0a;340a")},
                                        {QStringLiteral("Gender"), QStringLiteral("Male")}}),
    };
}

QStringList Ids(CSpEnumTokens& tokens)
{
    QStringList ids;
    ULONG nCount = 0;
    tokens.GetCount(&nCount);
    for (ULONG i = 0; i < nCount; ++i)
        ids.append(tokens.Item(i)->GetId());
    return ids;
}
} // namespace

class CSpVoiceRegistryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void leadingZero_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strAttribute");
        QTest::newRow("english") << "0409"
                                 << "409";
        QTest::newRow("spain") << "0c0a"
                               << "c0a";
        QTest::newRow("argentina-keeps-first") << "2c0a"
                                               << "2c0a";
        QTest::newRow("only-one-zero") << "0049"
                                       << "049";
        QTest::newRow("empty") << ""
                               << "";
    }
    void leadingZero()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strAttribute);
        QCOMPARE(CSpLanguageTags::WithoutLeadingZero(strCode), strAttribute);
    }

    // A required "Language=409" must match one of the ";"-separated values
    // exactly: 409 is not 2409 nor 4090, c0a is not 2c0a.
    void requiredAttributes_data()
    {
        QTest::addColumn<QString>("strRequired");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("all") << "" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("us") << "Language=409" << QStringList{"a", "b"};
        QTest::newRow("second-value") << "Language=809" << QStringList{"a"};
        QTest::newRow("spain-not-argentina") << "Language=c0a" << QStringList{"c"};
        QTest::newRow("argentina") << "Language=2c0a" << QStringList{"d"};
        QTest::newRow("chile-second") << "Language=340A" << QStringList{"d"};
        QTest::newRow("no-partial") << "Language=40" << QStringList{};
        QTest::newRow("two-terms") << "Language=409;Gender=female" << QStringList{"b"};
        QTest::newRow("negated") << "Gender!=Female" << QStringList{"a", "d"};
        QTest::newRow("present") << "VendorPreferred" << QStringList{"b"};
        QTest::newRow("unknown-name") << "Age=Child" << QStringList{};
    }
    void requiredAttributes()
    {
        QFETCH(QString, strRequired);
        QFETCH(QStringList, ids);
        const auto pTokens = CSpObjectTokenCategory::Enumerate(OwnVoices(), strRequired, QString());
        QVERIFY(pTokens);
        QCOMPARE(Ids(*pTokens), ids);
    }

    // Optional attributes rank the matches and keep the registry order among
    // equals; the best token is the first of that order.
    void optionalAttributesRank()
    {
        CSpObjectTokenCategory category;
        QVERIFY(!category.SetId(QStringLiteral("HKEY_LOCAL_MACHINE\\Nowhere"), false));
        QVERIFY(!category.EnumTokens(QString(), QString()));
        QVERIFY(category.SetId(QStringLiteral(SPCAT_VOICES), false));
        category.SetTokens(OwnVoices());
        auto pTokens =
            category.EnumTokens(QStringLiteral("Language=409"), QStringLiteral("VendorPreferred"));
        QCOMPARE(Ids(*pTokens), (QStringList{"b", "a"}));
        pTokens = category.EnumTokens(QString(), QStringLiteral("Gender=Female;Language=c0a"));
        QCOMPARE(Ids(*pTokens), (QStringList{"c", "b", "a", "d"}));
        QCOMPARE(
            category.FindBestToken(QStringLiteral("Language=409"), QStringLiteral("Gender=Male"))
                ->GetId(),
            QStringLiteral("a"));
        QVERIFY(!category.FindBestToken(QStringLiteral("Language=411"), QString()));
        QVERIFY(!pTokens->Item(4));
        QCOMPARE(pTokens->Next()->GetId(), QStringLiteral("c"));
    }

    void descriptionRule()
    {
        CSpObjectToken token(QStringLiteral("x"), {});
        QCOMPARE(token.GetDescription(0x0409), QString());
        token.SetStringValue(QString(), QStringLiteral("Default"));
        QCOMPARE(token.GetDescription(0x0409), QStringLiteral("Default"));
        token.SetStringValue(QStringLiteral("409"), QStringLiteral("English"));
        token.SetStringValue(QStringLiteral("c0a"), QStringLiteral("Ingl\u00e9s"));
        QCOMPARE(token.GetDescription(0x0409), QStringLiteral("English"));
        QCOMPARE(token.GetDescription(0x0c0a), QStringLiteral("Ingl\u00e9s"));
        QCOMPARE(token.GetDescription(0x0804), QStringLiteral("Default"));
        QCOMPARE(CSpObjectToken::LangIdValueName(0x0409), QStringLiteral("409"));
    }

    // A regional voice serves its region only; a bare language voice serves
    // the language's regions the catalogue maps to it.
    void languageAttributeOfEngineVoices()
    {
        CSpEngine::SVoice us{QStringLiteral("English (America)"), "gmw/en-US", {"en-us", "en"}};
        QCOMPARE(CSpVoiceRegistry::LanguageAttribute(us), QStringLiteral("409"));
        CSpEngine::SVoice spain{QStringLiteral("Spanish (Spain)"), "roa/es", {"es"}};
        QCOMPARE(CSpVoiceRegistry::LanguageAttribute(spain), QStringLiteral("c0a;40a"));
        CSpEngine::SVoice latin{
            QStringLiteral("Spanish (Latin America)"), "roa/es-419", {"es-419", "es-mx"}};
        const QStringList ids = CSpVoiceRegistry::LanguageAttribute(latin).split(';');
        QVERIFY(ids.contains("80a") && ids.contains("2c0a") && ids.contains("540a"));
        QVERIFY(!ids.contains("c0a"));
    }

    // The engine's voices: a male and a female token each, and every
    // catalogue language the engine can speak has both.
    void engineVoicesCoverTheCatalogue()
    {
        const std::vector<CSpObjectTokenPtr>& tokens = CSpVoiceRegistry::GetTokens();
        QVERIFY(tokens.size() > 100);
        QSet<QString> ids;
        for (const CSpObjectTokenPtr& pToken : tokens)
        {
            QVERIFY(!ids.contains(pToken->GetId()));
            ids.insert(pToken->GetId());
            QVERIFY(!pToken->GetDescription(0x0409).isEmpty());
            QCOMPARE(pToken->GetAttribute(QStringLiteral("Vendor")), QStringLiteral("eSpeak NG"));
            QVERIFY(!pToken->GetAttribute(QStringLiteral("Age")).isEmpty());
            QVERIFY(!pToken->GetEngineVoice().isEmpty());
        }
        const char* codes[] = {
            "401", "42d", "403", "804",  "404",  "41a",  "405", "406", "413", "809", "409",  "40b",
            "40c", "407", "408", "40d",  "40e",  "410",  "411", "412", "414", "415", "816",  "416",
            "418", "419", "41b", "424",  "c0a",  "80a",  "41d", "41e", "41f", "422", "42a",  "40a",
            "813", "c0c", "40f", "2c0a", "340a", "540a", "439", "41c", "425", "426", "427",  "42b",
            "437", "46f", "42f", "429",  "c1a",  "81a",  "421", "43e", "83e", "c09", "4009", "452"};
        CSpObjectTokenCategory category;
        QVERIFY(category.SetId(QStringLiteral(SPCAT_VOICES), false));
        for (const char* pszCode : codes)
        {
            const QString strRequired = QStringLiteral("Language=") + QLatin1String(pszCode);
            for (const char* pszGender : {"Male", "Female"})
            {
                QVERIFY2(category.FindBestToken(strRequired + QStringLiteral(";Gender=") +
                                                    QLatin1String(pszGender),
                                                QString()),
                         qPrintable(strRequired + QLatin1Char(' ') + QLatin1String(pszGender)));
            }
        }
        // The engine has no Faeroese voice.
        QVERIFY(!category.FindBestToken(QStringLiteral("Language=438"), QString()));
    }

    void localeNames_data()
    {
        QTest::addColumn<QString>("strName");
        QTest::addColumn<int>("nLangId");
        QTest::newRow("us") << "en_US.UTF-8" << 0x0409;
        QTest::newRow("uk") << "en-GB" << 0x0809;
        QTest::newRow("spain") << "es_ES@euro" << 0x0c0a;
        QTest::newRow("mexico") << "es_MX" << 0x080a;
        QTest::newRow("language-only") << "de" << 0x0407;
        QTest::newRow("c-locale") << "C" << 0;
        QTest::newRow("unknown") << "xx_YY" << 0;
    }
    void localeNames()
    {
        QFETCH(QString, strName);
        QFETCH(int, nLangId);
        QCOMPARE(int(CSpLanguageTags::LangIdFromLocaleName(strName)), nLangId);
    }
};

QTEST_GUILESS_MAIN(CSpVoiceRegistryTest)
#include "tst_spvoiceregistry.moc"
