#include "res/messageevent.h"

CMessageEvent::CMessageEvent(int nMessage, qint64 wParam, const QVariant& payload)
    : QEvent(TypeOf(nMessage)), m_nMessage(nMessage), m_wParam(wParam), m_payload(payload)
{
}

int CMessageEvent::MessageOf(const QEvent* pEvent)
{
    const int nMessage = int(pEvent->type()) - int(QEvent::User);
    switch (nMessage)
    {
    case WM_MP3_PROGRESS:
    case WM_MP3_DONE:
    case WM_SPEECH_EVENT:
    case WM_WORKER_ERROR:
    case WM_SHOW_SHOWCASE:
    case WM_PAGE_MESSAGE:
        return nMessage;
    default:
        return 0;
    }
}
