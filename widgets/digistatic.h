#pragma once

#include "widgets/colorref.h"

#include <QLabel>

// Elapsed-time display in segment digits.
class CDigiStatic : public QLabel
{
    Q_OBJECT
public:
    explicit CDigiStatic(QWidget* pParent = nullptr);

    void SetText(const QString& strText);
    QString GetText() const { return m_strText; }
    void SetColor(COLORREF crOff, COLORREF crOn);
    void SetBkColor(COLORREF cr);
    COLORREF GetOnColor() const { return m_crOn; }
    COLORREF GetOffColor() const { return m_crOff; }
    COLORREF GetBkColor() const { return m_crBackground; }

private:
    QString m_strText;
    COLORREF m_crOn = 0x00FF00;
    COLORREF m_crOff = 0x000000;
    COLORREF m_crBackground = 0x000000;
};
