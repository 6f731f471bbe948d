#include "widgets/filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

CFileDialog::Hook CFileDialog::s_hook;

void CFileDialog::SetHook(Hook hook)
{
    s_hook = std::move(hook);
}

QString CFileDialog::UserFolder(QStandardPaths::StandardLocation eLocation)
{
    const QString strFolder = QStandardPaths::writableLocation(eLocation);
    return !strFolder.isEmpty() && QFileInfo(strFolder).isDir() ? strFolder : QString();
}

QString CFileDialog::ToQtFilter(const QString& strFilter)
{
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
    {
        QString strName = parts[i];
        const QString strPatterns = parts[i + 1].trimmed();
        if (strName.isEmpty() && strPatterns.isEmpty())
            break;
        // Qt reads the patterns from the last parenthesis of the name, so a
        // name that shows them already gets them in Qt's separator.
        if (strName.endsWith(QLatin1Char(')')) && strName.contains(QLatin1Char('(')))
            strName.truncate(strName.lastIndexOf(QLatin1Char('(')));
        else
            strName.append(QLatin1Char(' '));
        QString strList = strPatterns;
        strList.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(strName + QLatin1Char('(') + strList + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString CFileDialog::GetOpenFileName(QWidget* pParent, const QString& strFilter,
                                     const QString& strDirectory)
{
    SRequest request;
    request.strFilter = ToQtFilter(strFilter);
    request.strDirectory = strDirectory;
    return Run(pParent, request);
}

QString CFileDialog::GetSaveFileName(QWidget* pParent, const QString& strFilter,
                                     const QString& strDefaultSuffix, const QString& strInitialName,
                                     const QString& strDirectory)
{
    SRequest request;
    request.bSave = true;
    request.strFilter = ToQtFilter(strFilter);
    request.strDirectory = strDirectory;
    request.strInitialName = strInitialName;
    request.strDefaultSuffix = strDefaultSuffix;
    return Run(pParent, request);
}

QString CFileDialog::GetExistingDirectory(QWidget* pParent, const QString& strTitle,
                                          const QString& strDirectory)
{
    SRequest request;
    request.bFolder = true;
    request.strTitle = strTitle;
    request.strDirectory = strDirectory;
    return Run(pParent, request);
}

QString CFileDialog::Run(QWidget* pParent, const SRequest& request)
{
    if (s_hook)
        return s_hook(request);
    // An empty folder lets Qt open the dialog where the last one was left.
    QFileDialog dialog(pParent, request.strTitle, request.strDirectory, request.strFilter);
    if (request.bFolder)
    {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    }
    else if (request.bSave)
    {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.strDefaultSuffix);
        if (!request.strInitialName.isEmpty())
            dialog.selectFile(request.strInitialName);
    }
    else
    {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly, true);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}
