#pragma once

#if defined(KB_INTROLIB_BUILD)
#define KB_INTROLIB_EXPORT __attribute__((visibility("default")))
#else
#define KB_INTROLIB_EXPORT
#endif

// The short spoken phrase that goes before a document's name in an audio
// book's heading, as SAPI XML, for a content language of the catalogue.
class KB_INTROLIB_EXPORT CPrelude
{
public:
    CPrelude();
    virtual ~CPrelude();

    // The code is a Windows language id in hexadecimal, any case, with or
    // without its leading "0" ("409", "0409", "C0A"). The result is never
    // null and stays valid for the life of the program; it is empty for an
    // unknown or empty code.
    const char16_t* GetPreludeString(const char16_t* pszLanguageCode);
};
