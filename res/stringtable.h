#pragma once

#include <QString>
#include <QVariantList>
#include <utility>
#include <vector>

// The string table, menus and dialog texts, looked up by resource id in the
// current resource module. A language library that lacks an entry falls back
// to the built-in English text, so a partial translation never blanks a label.
class CStringTable
{
public:
    struct SMenuItem
    {
        int nLevel = 0;   // 0 = a top-level popup, 1 = an item inside it
        int nCommand = 0; // 0 with an empty text = separator
        QString strText;
    };

    // False when neither the current module nor the built-in table has it.
    static bool LoadString(int nId, QString& strText);
    // The string, or empty text when it is missing.
    static QString Get(int nId);
    static bool LoadBuiltInString(int nId, QString& strText);
    static std::vector<int> GetBuiltInStringIds();
    static std::vector<int> GetBuiltInMenuIds();
    // Template and control ids of the built-in dialog texts.
    static std::vector<std::pair<int, int>> GetBuiltInDialogControls();

    // Items of a menu resource in order, texts from the current module.
    static std::vector<SMenuItem> GetMenu(int nMenuId);
    // Template text of a dialog control, from the current module; control 0
    // is the dialog's caption.
    static QString GetDialogText(int nTemplateId, int nControlId);

    // printf-style formatting of a resource text, safe against a translated
    // format that asks for other arguments than the program passes: each
    // conversion (%d, %s, %f with flags and precision) takes the next
    // argument, "%%" is a percent sign, a conversion without an argument
    // is left as written.
    static QString Format(const QString& strFormat, const QVariantList& args);

    // Names of the colour popup's 40 grid colours, in reading order, from
    // the current module; empty past the last.
    static QString GetColourName(int nIndex);
    static int GetColourNameCount();

    static QString StringKey(int nId);
    static QString MenuKey(int nMenuId, int nIndex);
    static QString DialogKey(int nTemplateId, int nControlId);
    static QString ColourKey(int nIndex);
};
