#pragma once

#include <QEvent>
#include <QVariant>

// Private window messages between threads and to the window itself. Each is
// a posted event whose type is QEvent::User plus the message number.
constexpr int WM_MP3_PROGRESS = 0x464;
constexpr int WM_MP3_DONE = 0x465;
constexpr int WM_SPEECH_EVENT = 0x7E8;
constexpr int WM_WORKER_ERROR = 0x7E9;
constexpr int WM_SHOW_SHOWCASE = 0x7EA;
constexpr int WM_PAGE_MESSAGE = 0x8B2;

// A posted message; the event owns its payload, so the receiver frees it by
// simply letting the event go.
class CMessageEvent : public QEvent
{
public:
    CMessageEvent(int nMessage, qint64 wParam = 0, const QVariant& payload = QVariant());

    static QEvent::Type TypeOf(int nMessage) { return QEvent::Type(QEvent::User + nMessage); }
    // The message number of an event of ours, or 0 for any other event.
    static int MessageOf(const QEvent* pEvent);

    int GetMessage() const { return m_nMessage; }
    qint64 GetWParam() const { return m_wParam; }
    const QVariant& GetPayload() const { return m_payload; }

private:
    int m_nMessage;
    qint64 m_wParam;
    QVariant m_payload;
};
