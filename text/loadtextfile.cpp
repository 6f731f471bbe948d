#include "text/loadtextfile.h"

#include "text/textfileread.h"

void LoadTextFile(const QString& strPath, QString& strText, const TextMessageSink& sink)
{
    CTextFileRead file(strPath);
    if (!file.IsOpen())
    {
        if (sink)
            sink(QStringLiteral("Failed to get text file"), 0);
        return;
    }
    file.Read(strText, QStringLiteral("\r\n"));
    file.Close();
}
