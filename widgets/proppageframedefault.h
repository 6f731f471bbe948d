#pragma once

#include "widgets/proppageframe.h"

namespace TreePropSheet
{
// The frame as the sheet draws it unless told otherwise: a caption bar
// shaded from the highlight colour into the window colour, and the message
// centred and wrapped.
class CPropPageFrameDefault : public CPropPageFrame
{
    Q_OBJECT
public:
    explicit CPropPageFrameDefault(QWidget* pParent = nullptr);

protected:
    void DrawCaption(QPainter& painter, const QRect& rect, const QString& strCaption,
                     const QIcon& icon) override;
    void DrawMsg(QPainter& painter, const QRect& rect, const QString& strMsgText) override;
};
} // namespace TreePropSheet
