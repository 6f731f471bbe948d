#include "bench/fuzz/fuzzinputs.h"

#include "app/settingsstore.h"
#include "audio/waveheader.h"
#include "audio/wordtimings.h"
#include "speech/sptextchunker.h"
#include "text/cssrules.h"
#include "text/documentformat.h"
#include "text/htmltext.h"
#include "text/mhtreader.h"
#include "text/normalizetext.h"
#include "text/rtfreader.h"
#include "text/textfileread.h"
#include "text/wordreader.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace
{
// Whatever the bytes, an accepted header points only at samples the file
// holds, in the one layout the converter encodes.
QString ReadWaveHeader(const QByteArray& data)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CWaveHeader header;
    QString strError;
    if (!header.Read(buffer, &strError))
        return strError;
    if (header.GetDataOffset() + header.GetDataSize() > quint64(data.size()) ||
        header.GetChannels() < 1 || header.GetChannels() > 2 || header.GetBitsPerSample() != 16 ||
        header.GetSampleRate() == 0 || header.GetSampleRate() > CWaveHeader::MAX_SAMPLE_RATE ||
        header.GetBlockAlign() != header.GetChannels() * 2)
        qFatal("the WAV header reader accepted a header it should not have");
    return QStringLiteral("%1 channels, %2 Hz, %3 bytes at %4")
        .arg(header.GetChannels())
        .arg(header.GetSampleRate())
        .arg(header.GetDataSize())
        .arg(header.GetDataOffset());
}
// The sheet over a small tree that every selector kind can reach, and the
// same bytes as a style attribute.
QString ReadStyleSheet(const QByteArray& data)
{
    CCssRules rules;
    rules.AddSheet(data);
    struct Element
    {
        int nDepth;
        const char* pszTag;
        const char* pszId;
        const char* pszClasses;
    };
    static const Element elements[] = {
        {0, "html", "", ""},     {1, "body", "", "page"},  {2, "div", "main", "note a"},
        {3, "section", "", "b"}, {4, "ul", "", ""},        {5, "li", "x", "ad a b"},
        {6, "p", "", "a"},       {7, "span", "", "x y"},   {3, "p", "y", "c"},
        {4, "div", "", "note"},  {2, "h1", "", "ad"},      {2, "table", "t", ""},
        {3, "tr", "", "row"},    {4, "td", "", "cell ad"},
    };
    QString strOut;
    int nDepth = 0;
    for (const Element& element : elements)
    {
        for (; nDepth > element.nDepth; --nDepth)
            rules.Pop();
        const CCssRules::SStyle style =
            rules.Push(element.pszTag, element.pszId, element.pszClasses);
        ++nDepth;
        strOut += QStringLiteral("%1:%2%3 ")
                      .arg(QLatin1String(element.pszTag))
                      .arg(int(style.display.eValue))
                      .arg(int(style.visibility.eValue));
    }
    const CCssRules::SStyle inlineStyle = CCssRules::ParseInline(data);
    strOut += QStringLiteral("inline:%1%2 rules:%3")
                  .arg(int(inlineStyle.display.eValue))
                  .arg(int(inlineStyle.visibility.eValue))
                  .arg(rules.GetRuleCount());
    return strOut;
}
// A piece for the engine must be UTF-8 with a position per code point, and
// well-formed markup once the characters XML forbids but the engine reads
// as text are set aside.
void CheckSsmlChunk(const CSpTextChunker::SChunk& chunk, int nSourceBegin, int nSourceSize)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString strInput = decoder(chunk.input);
    if (decoder.hasError())
        qFatal("the SAPI XML translator wrote broken UTF-8");
    if (chunk.cpToChar.size() != size_t(strInput.toUcs4().size()))
        qFatal("the SAPI XML translator mapped %d of %d code points", int(chunk.cpToChar.size()),
               int(strInput.toUcs4().size()));
    for (const int nChar : chunk.cpToChar)
    {
        if (nChar < -1 || nChar > int(chunk.wordOfChar.size()))
            qFatal("the SAPI XML translator mapped a code point to no character");
    }
    if (chunk.nSourceBegin != nSourceBegin || chunk.nSourceEnd <= nSourceBegin ||
        chunk.nSourceEnd > nSourceSize)
        qFatal("the SAPI XML translator's pieces do not follow one another");
    for (const CSpTextChunker::SWord& word : chunk.words)
    {
        if (word.nLen <= 0 || word.nPos < chunk.nSourceBegin ||
            word.nPos + word.nLen > chunk.nSourceEnd)
            qFatal("the SAPI XML translator found a word outside its piece");
    }
    for (QChar& c : strInput)
    {
        if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
            c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            c = u' ';
    }
    QXmlStreamReader xml(strInput);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        qFatal("the SAPI XML translator wrote markup that is not well-formed: %s",
               qPrintable(xml.errorString()));
}
// The voice's translation of SAPI XML into the engine's markup, in pieces of
// the voice's size and of the smallest size (so cuts fall inside markup),
// and the word timings of the same text fed with the words the voice finds,
// as a rendering with word timings does with a heading.
QString ReadSapiXml(const QByteArray& data)
{
    const QString strXml = QString::fromUtf8(data);
    CWordTimings timings;
    timings.AddUtterance(1, strXml, true);
    QString strWords;
    for (const int nMaxChars : {1500, 16})
    {
        CSpTextChunker chunker(strXml, true, nMaxChars);
        CSpTextChunker::SChunk chunk;
        int nEnd = 0;
        while (chunker.Next(chunk))
        {
            CheckSsmlChunk(chunk, nEnd, int(strXml.size()));
            nEnd = chunk.nSourceEnd;
            if (nMaxChars != 1500)
                continue;
            for (const CSpTextChunker::SWord& word : chunk.words)
            {
                timings.AddWord(1, quint64(word.nPos) * 100, word.nPos, word.nLen);
                strWords += strXml.mid(word.nPos, word.nLen) + QLatin1Char(' ');
            }
        }
        if (nEnd != int(strXml.size()))
            qFatal("the SAPI XML translator left text out");
    }
    timings.SrtText(quint32(strXml.size()) * 100);
    timings.LrcText();
    timings.SyltFrame();
    return strWords;
}
} // namespace

QList<FuzzReader> AllFuzzReaders()
{
    return {FuzzReader::TextFile, FuzzReader::Settings, FuzzReader::Rtf,        FuzzReader::Word,
            FuzzReader::Html,     FuzzReader::Mht,      FuzzReader::WaveHeader, FuzzReader::Docx,
            FuzzReader::Odt,      FuzzReader::Epub,     FuzzReader::Css,        FuzzReader::Pdf,
            FuzzReader::SapiXml};
}

QString RunFuzzReader(FuzzReader reader, const QByteArray& data)
{
    QString strText;
    QString strMessage;
    switch (reader)
    {
    case FuzzReader::TextFile:
    {
        QByteArray bytes = data;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CTextFileRead file(&buffer);
        file.Read(strText, QStringLiteral("\r\n"));
        break;
    }
    case FuzzReader::Settings:
    {
        CSettingsStore store;
        store.LoadFromBytes(data);
        // What was read must write and read back without faults too.
        CSettingsStore again;
        again.LoadFromBytes(store.ToBytes());
        strText = QString::number(again.GetSections().size());
        break;
    }
    case FuzzReader::Rtf:
        strText = CRtfReader::ToText(data);
        break;
    case FuzzReader::Word:
        // Through the .doc format, which also tells RTF, HTML and web
        // archives in a .doc name.
        strText = WordFormat()->ToText(data, strMessage);
        break;
    case FuzzReader::Html:
        strText = CHtmlText::FromHtml(data);
        break;
    case FuzzReader::Mht:
        strText = CMhtReader::ToText(data);
        break;
    case FuzzReader::WaveHeader:
        strText = ReadWaveHeader(data);
        break;
    case FuzzReader::Docx:
        strText = DocxFormat()->ToText(data, strMessage);
        break;
    case FuzzReader::Odt:
        strText = OdtFormat()->ToText(data, strMessage);
        break;
    case FuzzReader::Epub:
        strText = EpubFormat()->ToText(data, strMessage);
        break;
    case FuzzReader::Css:
        strText = ReadStyleSheet(data);
        break;
    case FuzzReader::Pdf:
        strText = PdfFormat()->ToText(data, strMessage);
        break;
    case FuzzReader::SapiXml:
        strText = ReadSapiXml(data);
        break;
    }
    NormalizeText(strText);
    return strText;
}

const char* FuzzReaderName(FuzzReader reader)
{
    switch (reader)
    {
    case FuzzReader::TextFile:
        return "textfile";
    case FuzzReader::Settings:
        return "settings";
    case FuzzReader::Rtf:
        return "rtf";
    case FuzzReader::Word:
        return "word";
    case FuzzReader::Html:
        return "html";
    case FuzzReader::Mht:
        return "mht";
    case FuzzReader::WaveHeader:
        return "waveheader";
    case FuzzReader::Docx:
        return "docx";
    case FuzzReader::Odt:
        return "odt";
    case FuzzReader::Epub:
        return "epub";
    case FuzzReader::Css:
        return "css";
    case FuzzReader::Pdf:
        return "pdf";
    case FuzzReader::SapiXml:
        return "sapixml";
    }
    return "";
}
