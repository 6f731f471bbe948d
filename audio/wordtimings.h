#pragma once

#include "speech/sapidefs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <set>
#include <vector>

// The time of each spoken word of a rendering, taken from the voice's word
// events, and the subtitle and lyrics files made from them. A rendering
// speaks several utterances (the heading as markup, then the document) into
// one stream; the voice counts each event's offset from the stream's start,
// so the words of all utterances share one time line.
class CWordTimings
{
public:
    struct SEntry
    {
        quint32 nMs = 0;
        QString strWord;
        int nSentence = 0; // counted over all utterances, from 0
    };

    explicit CWordTimings(quint32 nBytesPerSecond = 44100);

    void Clear();
    // The text given to Speak under that stream number; utterances must come
    // in the order they were spoken. False for an empty or out-of-order one.
    bool AddUtterance(ULONG nStreamNumber, const QString& strSpokenText, bool bXml);
    // Takes a word boundary event as GetEvents gives it; false for any other
    // event or a word of no known utterance.
    bool AddEvent(const SPEVENT& event);
    bool AddWord(ULONG nStreamNumber, quint64 nByteOffset, int nPos, int nLen);

    std::vector<SEntry> Entries() const;

    // SubRip: one cue per sentence, each ending where the next begins, the
    // last at nTotalMs (the audio's length). UTF-8, CRLF.
    QByteArray SrtText(quint32 nTotalMs) const;
    // Enhanced LRC: a line per sentence, a time before each word. UTF-8, LF.
    QByteArray LrcText() const;
    // An ID3v2 SYLT frame (synchronised lyrics in milliseconds), header
    // included, for a tag of version 2.3 (LAME 3.100 writes that) or 2.4;
    // empty for any other version or when there is no word.
    QByteArray SyltFrame(int nId3Version = 3, const QByteArray& language = "und") const;

    // Writes x.srt and x.lrc beside x.mp3, each replaced whole or not at
    // all; false when either could not be written, and pFailed gets the
    // path of each that was not.
    bool WriteBeside(const QString& strMp3Path, quint32 nTotalMs,
                     QStringList* pFailed = nullptr) const;
    static QString SidePath(const QString& strMp3Path, const QString& strSuffix);
    static bool WriteAtomically(const QString& strPath, const QByteArray& bytes);

private:
    struct SUtterance
    {
        QString strVisible; // the text heard: markup taken out
        // Per UTF-16 unit of the spoken text, and one past its end: the
        // place in strVisible it stands for.
        std::vector<int> visibleAt;
        std::vector<std::pair<int, int>> sentences; // [begin, end) in strVisible
        int nFirstSentence = 0;
    };
    struct SWord
    {
        quint64 nByteOffset = 0;
        ULONG nStream = 0;
        int nBegin = 0; // in the utterance's strVisible
        int nEnd = 0;
        int nSentence = 0;
    };
    // A sentence as the files show it: each word with the text up to the
    // next one, so the pieces read as the sentence.
    struct SLine
    {
        int nSentence = 0;
        std::vector<size_t> words; // indices into m_words
        QString strText;
        QStringList pieces;
        QList<bool> spaceAfter; // per piece: white space parts it from the next
    };

    static void ReadMarkup(const QString& strXml, SUtterance& utterance);
    static void FindSentences(SUtterance& utterance);
    quint32 Ms(quint64 nByteOffset) const;
    std::vector<SLine> Lines() const;

    quint32 m_nBytesPerSecond;
    std::map<ULONG, SUtterance> m_utterances;
    int m_nSentences = 0;
    std::vector<SWord> m_words;
    std::set<std::pair<ULONG, int>> m_seen;
};
