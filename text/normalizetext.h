#pragma once

#include <QString>

// Gives every line break the one-character form of the text pane (a single
// CR), so that a position in the text is the same position once the text is
// shown in a QPlainTextEdit. Characters the pane would take as block or frame
// marks without showing them are removed.
void NormalizeText(QString& strText);
