#pragma once

#include <QString>
#include <functional>

// How the readers tell the user something: the window shows it in a message
// box with its own caption, the command line writes it to standard error.
// The flags are the message-box flags (0 plain, 0x30 exclamation icon).
using TextMessageSink = std::function<void(const QString& strText, unsigned nFlags)>;
