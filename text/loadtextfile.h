#pragma once

#include "text/textmessage.h"

#include <QString>

// Reads a whole text file with CR LF line breaks into strText. When the file
// cannot be opened the user is told through the sink and strText stays as
// it was.
void LoadTextFile(const QString& strPath, QString& strText, const TextMessageSink& sink = {});
