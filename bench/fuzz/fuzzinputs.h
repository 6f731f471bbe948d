#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The readers the fuzz targets and the corpus regression test drive: each
// takes any bytes and must return, without faults, within bounded time and
// memory. The result is the reader's text, normalised for the text pane
// (for the WAV header: what it found, or why it refused the file; for a
// style sheet: the display and visibility it gives a few elements; for
// SAPI XML: the words the voice speaks).
enum class FuzzReader
{
    TextFile,
    Settings,
    Rtf,
    Word,
    Html,
    Mht,
    WaveHeader,
    Docx,
    Odt,
    Epub,
    Css,
    Pdf,
    SapiXml
};

QList<FuzzReader> AllFuzzReaders();

QString RunFuzzReader(FuzzReader reader, const QByteArray& data);
// The corpus folder name of a reader ("textfile", "settings", "rtf", ...).
const char* FuzzReaderName(FuzzReader reader);
