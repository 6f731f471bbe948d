#include "bench/fuzz/fuzzinputs.h"

#include "app/settingsstore.h"
#include "text/documentformat.h"
#include "text/htmltext.h"
#include "text/mhtreader.h"
#include "text/normalizetext.h"
#include "text/rtfreader.h"
#include "text/textfileread.h"
#include "text/wordreader.h"

#include <QBuffer>

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
    }
    return "";
}
