#include "widgets/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

CMessageBox::Hook CMessageBox::s_hook;

void CMessageBox::SetHook(Hook hook)
{
    s_hook = std::move(hook);
}

void CMessageBox::Show(QWidget* pParent, const QString& strText, const QString& strCaption,
                       unsigned nFlags)
{
    if (s_hook)
    {
        s_hook(strText, strCaption, nFlags);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    {
        std::fprintf(stderr, "%s\n", strText.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(pParent);
    box.setWindowTitle(strCaption);
    box.setText(strText);
    const unsigned nIcon = nFlags & 0xF0;
    box.setIcon(nIcon == MB_ICONEXCLAMATION ? QMessageBox::Warning
                : nIcon == MB_ICONSTOP      ? QMessageBox::Critical
                                            : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
