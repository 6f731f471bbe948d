#pragma once

#include <QListWidget>

// List box whose items show their text as a tooltip, for paths too long to
// read in the list.
class CExListBox : public QListWidget
{
    Q_OBJECT
public:
    // The tooltip field holds 80 characters with its terminator.
    static constexpr int MAX_TOOLTIP_LENGTH = 79;

    explicit CExListBox(QWidget* pParent = nullptr);

    // The item nearest the point (viewport coordinates) and its rectangle;
    // -1 when the list is empty.
    int ToolHitTest(const QPoint& point, QRect* pRect) const;
    // The item's text cut to MAX_TOOLTIP_LENGTH characters.
    QString GetToolTipText(int nIndex) const;

protected:
    bool viewportEvent(QEvent* pEvent) override;
};
