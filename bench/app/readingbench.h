#pragma once

// What the reading benchmarks share: the main window started as the program
// starts it, in a fresh home folder, speaking into the silent real-time sink,
// and prose to read.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "speech/spaudiosink.h"
#include "speech/spsilentaudiosink.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <cstdio>
#include <memory>

namespace KbBench
{
// Ordinary sentences, drawn in a fixed pseudo-random order so that every
// run reads the same text; no digits, so that words are counted as heard.
inline const QStringList& Sentences()
{
    static const QStringList sentences = {
        QStringLiteral("The morning train was late again, so most of the passengers stood on "
                       "the platform and talked about the weather."),
        QStringLiteral("She opened the letter slowly, read it twice, and then put it back in "
                       "the drawer without a word."),
        QStringLiteral("Our neighbours have planted a row of apple trees along the fence that "
                       "separates their garden from the road."),
        QStringLiteral("When the meeting finally ended, nobody could remember what had been "
                       "decided at the beginning."),
        QStringLiteral("The old library on the corner still lends books to anyone who asks, "
                       "even without a card."),
        QStringLiteral("He spent the whole afternoon fixing the bicycle, only to find that the "
                       "tyre was flat again by evening."),
        QStringLiteral("Rain had fallen all night, and the river was higher than anyone in the "
                       "village had seen it for years."),
        QStringLiteral("If you follow the path past the church, you will come to a small bridge "
                       "and a field full of sheep."),
        QStringLiteral("The teacher asked the children to write a short story about the best "
                       "day of their summer holidays."),
        QStringLiteral("Coffee was served in the hall while the musicians tuned their "
                       "instruments for the second half."),
        QStringLiteral("Nobody expected the little shop to survive the winter, but it is still "
                       "open and busier than ever."),
        QStringLiteral("My grandmother kept every photograph in a wooden box under her bed, "
                       "sorted by the year it was taken."),
        QStringLiteral("The wind changed direction just before noon, and the boats came back "
                       "into the harbour one by one."),
        QStringLiteral("After dinner we walked along the beach and watched the lights of the "
                       "town come on across the bay."),
        QStringLiteral("Please remember to close the windows before you leave, because the "
                       "forecast says there will be a storm."),
        QStringLiteral("The report was longer than it needed to be, yet it left out the one "
                       "question everyone wanted answered."),
    };
    return sentences;
}

// Prose of at least the given number of words or characters, whichever the
// caller sets, with lines broken near eighty characters and a blank line
// between paragraphs of a few sentences.
inline QString MakeProse(qsizetype nMinWords, qsizetype nMinChars)
{
    const QStringList& sentences = Sentences();
    QString strText;
    strText.reserve(nMinChars + 4096);
    quint32 nSeed = 2024;
    qsizetype nWords = 0;
    qsizetype nLine = 0;
    int nInParagraph = 0;
    int nParagraphLength = 4;
    while (nWords < nMinWords || strText.size() < nMinChars)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        const QString& strSentence = sentences.at(int((nSeed >> 16) % quint32(sentences.size())));
        for (const QString& strWord : strSentence.split(QLatin1Char(' ')))
        {
            if (nLine > 0 && nLine + 1 + strWord.size() > 80)
            {
                strText += QLatin1Char('\n');
                nLine = 0;
            }
            else if (nLine > 0)
            {
                strText += QLatin1Char(' ');
                ++nLine;
            }
            strText += strWord;
            nLine += strWord.size();
            ++nWords;
        }
        if (++nInParagraph == nParagraphLength)
        {
            strText += QStringLiteral("\n\n");
            nLine = 0;
            nInParagraph = 0;
            nParagraphLength = 3 + int((nSeed >> 8) % 5);
        }
    }
    while (strText.endsWith(QLatin1Char('\n')))
        strText.chop(1);
    return strText;
}

// The program as a user meets it on the offscreen platform: settings in a
// fresh home (the given settings file, none when empty), the main window
// shown, the voice speaking into the sink the factory makes (the silent one
// by default), every message box answered and noted.
class CReadingWindow
{
public:
    explicit CReadingWindow(CSpAudioSink::Factory sinkFactory = {},
                            const QString& strSettings = QString())
        : m_pHome(KbTest::UseFreshHome())
    {
        if (!strSettings.isEmpty())
            KbTest::WriteFile(m_pHome->path() +
                                  QStringLiteral("/.config/Kestrivane/Kestrivane Basic/"
                                                 "Application.ini"),
                              KbTest::Utf16(strSettings));
        if (!sinkFactory)
            sinkFactory = []() { return std::make_unique<CSpSilentAudioSink>(); };
        CSpAudioSink::SetFactory(std::move(sinkFactory));
        // A message box would wait for a user who is not there.
        CMessageBox::SetHook(
            [this](const QString& strText, const QString&, unsigned)
            {
                m_messages.append(strText);
                std::fprintf(stderr, "message: %s\n", qPrintable(strText));
            });
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
        m_pDlg = std::make_unique<CSpeechDlg>();
        m_pDlg->show();
        m_bShown = QTest::qWaitForWindowExposed(m_pDlg.get(), 10000);
    }

    ~CReadingWindow()
    {
        if (m_pDlg)
            m_pDlg->close();
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        CMessageBox::SetHook(nullptr);
        CSpAudioSink::SetFactory(nullptr);
    }

    CReadingWindow(const CReadingWindow&) = delete;
    CReadingWindow& operator=(const CReadingWindow&) = delete;

    bool IsShown() const { return m_bShown && m_pDlg->m_pVoice != nullptr; }
    // IsShown, saying on the error output when it is not.
    bool CameUp() const
    {
        if (IsShown())
            return true;
        std::fprintf(stderr, "the main window or its voice did not come up\n");
        return false;
    }
    CSpeechDlg& Dlg() { return *m_pDlg; }
    template <typename T> T* Item(int nId) { return KbTest::Item<T>(*m_pDlg, nId); }
    QPlainTextEdit* Pane() { return Item<QPlainTextEdit>(IDC_EDIT_TEXT); }
    void Click(int nId) { QTest::mouseClick(Item<QWidget>(nId), Qt::LeftButton); }
    const QStringList& Messages() const { return m_messages; }
    QString HomePath() const { return m_pHome->path(); }

private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    QStringList m_messages;
    bool m_bShown = false;
};

// A radio button takes clicks only on its mark and its label, which fill a
// small part of the stretched button.
inline void ClickRadio(QRadioButton* pRadio)
{
    QStyleOptionButton option;
    option.initFrom(pRadio);
    option.text = pRadio->text();
    const QRect area =
        pRadio->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, pRadio);
    QTest::mouseClick(pRadio, Qt::LeftButton, Qt::NoModifier, area.center());
}

// Run by hand outside CTest, the benchmark still needs no display.
inline void PrepareApplication()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Named as the program names itself, for anything that looks it up.
inline void SetIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("kestrivane-basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrivane"));
}
} // namespace KbBench
