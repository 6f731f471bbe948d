#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// Cuts the text given to Speak into engine inputs of bounded size, so that a
// long text starts at once and memory stays small, and keeps for each piece
// the map from the engine's code-point positions back to UTF-16 positions of
// the original text. SAPI markup is translated to the engine's SSML on the
// way; plain text goes to the engine as it is.
class CSpTextChunker
{
public:
    struct SWord
    {
        int nPos = 0; // UTF-16 offset in the original text
        int nLen = 0;
    };

    struct SChunk
    {
        QByteArray input; // UTF-8 for the engine
        bool bSsml = false;
        // Per code point of the input: index of the text character it shows,
        // or of the next one for markup; -1 past the last.
        std::vector<int> cpToChar;
        // Per text character: the word it belongs to, -1 for white space.
        std::vector<int> wordOfChar;
        std::vector<SWord> words;
        int nSourceBegin = 0;
        int nSourceEnd = 0;

        // The word an engine word event at this 1-based position names:
        // white space snaps forward to the next word; -1 when none.
        int WordAt(int nTextPosition) const;
    };

    CSpTextChunker(const QString& strText, bool bXml, int nMaxChars = 1500);

    // The next piece; false at the end of the text.
    bool Next(SChunk& chunk);

    // Pure helpers, shared with the tests.
    static bool IsWordSpace(char32_t c);
    // The character an XML entity at nAt stands for, with its length in
    // nUnits; 0 when the text there is no entity the markup knows.
    static char32_t EntityAt(const QString& strText, int nAt, int& nUnits);
    static bool IsIdeograph(char32_t c);
    // Where a plain-text piece starting at nBegin should end.
    static int FindCut(const QString& strText, int nBegin, int nMaxChars);
    static double RateFactor(int nRate);

private:
    bool NextPlain(SChunk& chunk);
    bool NextXml(SChunk& chunk);

    QString m_strText;
    bool m_bXml;
    int m_nMaxChars;
    int m_nPos = 0;
    struct SXmlState
    {
        int nVolume = 100;
        int nRate = 0;
        int nPitch = 0;
        bool bEmph = false;
        bool bSpell = false;
        QByteArray lang;
        QByteArray gender;
        QString strTag;
        bool operator==(const SXmlState& o) const
        {
            return nVolume == o.nVolume && nRate == o.nRate && nPitch == o.nPitch &&
                   bEmph == o.bEmph && bSpell == o.bSpell && lang == o.lang && gender == o.gender;
        }
    };
    std::vector<SXmlState> m_stack;
    QHash<QString, int> m_openTags; // per tag name: how often it is on m_stack
};
