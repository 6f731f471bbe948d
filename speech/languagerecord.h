#pragma once

#include <QString>

// One row of the content-language catalogue, each field cut to the
// capacity the catalogue allows (4, 49 and 49 characters).
struct LanguageRecord
{
    QString szCode;        // "0409"
    QString szName;        // read but not used
    QString szDisplayName; // shown to the user
};
