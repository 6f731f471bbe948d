#pragma once

#include "widgets/colorref.h"

#include <QProgressBar>

// Progress bar with its percentage text drawn over the bar.
class CTextProgressCtrl : public QProgressBar
{
    Q_OBJECT
public:
    explicit CTextProgressCtrl(QWidget* pParent = nullptr);

    int SetRange32(int nMin, int nMax);
    int SetPos(int nPos);
    int GetPos() const { return value(); }
    COLORREF SetBarColor(COLORREF cr);
    COLORREF SetBkColor(COLORREF cr);
    COLORREF SetTextColor(COLORREF cr);
    COLORREF SetTextBkColor(COLORREF cr);
    COLORREF GetBarColor() const { return m_crBar; }
    COLORREF GetBkColor() const { return m_crBack; }
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetTextBkColor() const { return m_crTextBack; }
    void SetWindowText(const QString& strText);

private:
    COLORREF m_crBar = CLR_SYSTEM_SENTINEL;
    COLORREF m_crBack = CLR_SYSTEM_SENTINEL;
    COLORREF m_crText = CLR_SYSTEM_SENTINEL;
    COLORREF m_crTextBack = CLR_SYSTEM_SENTINEL;
};
