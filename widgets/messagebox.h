#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message boxes with the program's caption and icon rules. Tests install a
// hook to see what the user would be told without a modal loop.
class CMessageBox
{
public:
    enum : unsigned
    {
        MB_OK = 0x00,
        MB_ICONSTOP = 0x10,
        MB_ICONEXCLAMATION = 0x30
    };
    using Hook =
        std::function<void(const QString& strText, const QString& strCaption, unsigned nFlags)>;

    // Shows the text and waits for the user; without a GUI the text goes to
    // standard error.
    static void Show(QWidget* pParent, const QString& strText, const QString& strCaption,
                     unsigned nFlags);
    static void SetHook(Hook hook);

private:
    static Hook s_hook;
};
