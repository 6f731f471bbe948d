#pragma once

#include <QString>

namespace KbTest
{
// The text of tests/data/text/lo-sample.*, one document saved by an office
// suite in each format: every reader must give the same lines.
inline QString LoSampleText()
{
    return QStringLiteral(u"Header line\n"
                          u"First paragraph with a note here.\n"
                          u"Второй абзац: привет, мир. Ελληνικά. 😀 emoji.\n"
                          u"A1\tB1\nA2\tB2\n"
                          u"Line one\nline two\ttabbed.\n"
                          u"Page 1 of the text.\n"
                          u"After the break.\n"
                          u"The footnote text.\n"
                          u"Footer line");
}
} // namespace KbTest
