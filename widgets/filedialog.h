#pragma once

#include <QStandardPaths>
#include <QString>
#include <functional>

class QWidget;

// The system's open, save and folder dialogs, given filters in the
// framework's "name|pattern|name|pattern||" form. Tests install a hook that answers in
// place of the user, and see what the dialog was asked to show.
class CFileDialog
{
public:
    struct SRequest
    {
        bool bSave = false;
        bool bFolder = false;   // a folder chooser, neither open nor save
        QString strTitle;       // empty: the system's own title
        QString strFilter;      // as Qt takes it: "name (p1 p2);;name (p3)"
        QString strDirectory;   // empty: where the system puts it
        QString strInitialName; // save dialogs only
        QString strDefaultSuffix;
    };
    // Returns the chosen path, or an empty string for Cancel.
    using Hook = std::function<QString(const SRequest& request)>;

    // A file that exists, or empty when the user cancelled.
    static QString GetOpenFileName(QWidget* pParent, const QString& strFilter,
                                   const QString& strDirectory);
    // A path to write, confirmed by the user when it exists already; empty
    // when the user cancelled.
    static QString GetSaveFileName(QWidget* pParent, const QString& strFilter,
                                   const QString& strDefaultSuffix, const QString& strInitialName,
                                   const QString& strDirectory);

    // An existing folder, or empty when the user cancelled.
    static QString GetExistingDirectory(QWidget* pParent, const QString& strTitle,
                                        const QString& strDirectory);

    // "All(*.a;*.b)|*.a;*.b|\tText (*.txt)|*.txt||" in Qt's form: each
    // pattern list in parentheses with spaces between the patterns, the
    // names otherwise kept as they stand.
    static QString ToQtFilter(const QString& strFilter);

    // The user's own folder of that kind for a first dialog, or empty (the
    // system's choice) when the user has none.
    static QString UserFolder(QStandardPaths::StandardLocation eLocation);

    static void SetHook(Hook hook);

private:
    static QString Run(QWidget* pParent, const SRequest& request);
    static Hook s_hook;
};
