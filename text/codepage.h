#pragma once

#include <QByteArray>
#include <QString>

// Windows code pages on top of the C library's converters. Code page 0 is
// the system's ANSI code page: the locale's character set, where a UTF-8
// locale takes valid UTF-8 as UTF-8 and anything else in the Windows code
// page of the locale's language (as does a locale naming no character set
// the converters know).
class CCodePage
{
public:
    enum : unsigned
    {
        CP_ACP = 0,
        CP_UTF8 = 65001,
        CP_UTF16LE = 1200,
        CP_UTF16BE = 1201
    };

    static QString ToUnicode(const char* pBytes, qsizetype nBytes, unsigned nCodePage);
    static QString ToUnicode(const QByteArray& bytes, unsigned nCodePage)
    {
        return ToUnicode(bytes.constData(), bytes.size(), nCodePage);
    }

    // The Windows code page of a locale name such as "ru_RU.UTF-8"
    // (1252 when the language has none of its own).
    static unsigned WindowsCodePageForLocale(const QString& strLocale);
    // True when the locale name's character set is UTF-8 (C and POSIX
    // count as not UTF-8; an unnamed set follows the C library).
    static bool LocaleIsUtf8(const QString& strLocale);
    // The locale in force for character types: LC_ALL, LC_CTYPE, LANG.
    static QString CurrentLocaleName();
    // Lets a caller (a test) decide the locale instead of the environment.
    static void SetLocaleOverride(const QString& strLocale);

    // Code page for a MIME or HTML charset label; 0 when unknown.
    static unsigned ForCharsetName(const QByteArray& name);

    static bool IsValidUtf8(const char* pBytes, qsizetype nBytes);
    // One code point per multi-byte code page character needs more than one
    // byte; true for the East Asian double-byte pages.
    static bool IsDoubleByte(unsigned nCodePage);
};
