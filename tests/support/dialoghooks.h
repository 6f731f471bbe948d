#pragma once

// Message boxes, file and colour dialogs answered in place of the user: the
// tests see what the user would be told and asked, and pick the answers.
#include "widgets/colordialog.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace KbTest
{
struct SShownMessage
{
    QString strText;
    QString strCaption;
    unsigned nFlags;
};

class CDialogHooks
{
public:
    std::vector<SShownMessage> m_messages;
    std::vector<CFileDialog::SRequest> m_requests;
    // What the user picks in the next dialogs; empty for Cancel.
    std::deque<QString> m_answers;
    // Runs while a file or colour dialog is open, before it answers.
    std::function<void()> m_fnWhileOpen;
    // The colours the colour dialogs started at, and the user's answers:
    // a colour for OK, none for Cancel.
    std::vector<COLORREF> m_colourRequests;
    std::deque<std::optional<COLORREF>> m_colourAnswers;

    void Install()
    {
        m_messages.clear();
        m_requests.clear();
        m_answers.clear();
        m_fnWhileOpen = nullptr;
        m_colourRequests.clear();
        m_colourAnswers.clear();
        CMessageBox::SetHook(
            [this](const QString& strText, const QString& strCaption, unsigned nFlags) {
                m_messages.push_back({strText, strCaption, nFlags});
            });
        CFileDialog::SetHook(
            [this](const CFileDialog::SRequest& request)
            {
                m_requests.push_back(request);
                if (m_fnWhileOpen)
                    m_fnWhileOpen();
                if (m_answers.empty())
                    return QString();
                const QString strAnswer = m_answers.front();
                m_answers.pop_front();
                return strAnswer;
            });
        CColorDialog::SetHook(
            [this](COLORREF crInitial, COLORREF& crChosen)
            {
                m_colourRequests.push_back(crInitial);
                if (m_fnWhileOpen)
                    m_fnWhileOpen();
                std::optional<COLORREF> answer;
                if (!m_colourAnswers.empty())
                {
                    answer = m_colourAnswers.front();
                    m_colourAnswers.pop_front();
                }
                if (answer)
                    crChosen = *answer;
                return answer.has_value();
            });
    }
    void Remove()
    {
        CColorDialog::SetHook(nullptr);
        CFileDialog::SetHook(nullptr);
        CMessageBox::SetHook(nullptr);
    }
};
} // namespace KbTest
