#include "app/speechdlg.h"

#include "res/messageevent.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/languagecatalogue.h"
#include "speech/splanguagetags.h"
#include "text/preludetext.h"
#include "widgets/buttonst.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTextCursor>

// The voice, the language catalogue, the voice list and the speech events.

void CSpeechDlg::UpdateSliderLabels()
{
    m_staticVolume->setText(
        CStringTable::Format(CStringTable::Get(IDS_VOLUME_FMT), {100 - m_sliderVolume->value()}));
    m_staticRate->setText(
        CStringTable::Format(CStringTable::Get(IDS_SPEED_FMT), {-m_sliderRate->value()}));
}

// The sliders' scales run from the top down: the volume is 100 minus the
// position and the rate minus the position.
void CSpeechDlg::OnVolumeChanged()
{
    if (m_pVoice)
        m_pVoice->SetVolume(quint16(100 - m_sliderVolume->value()));
    UpdateSliderLabels();
}

void CSpeechDlg::OnRateChanged()
{
    if (m_pVoice)
        m_pVoice->SetRate(-m_sliderRate->value());
    UpdateSliderLabels();
}

void CSpeechDlg::BuildLanguageCatalogue()
{
    m_languages = CLanguageCatalogue::Build();
}

void CSpeechDlg::FillLanguageCombo(const QString& strCode)
{
    m_cmbLanguage->clear();
    QString strFound;
    QStringList items;
    for (const LanguageRecord& record : m_languages)
    {
        m_cmbLanguage->addItem(record.szDisplayName);
        items.append(record.szDisplayName);
        if (record.szCode.compare(strCode, Qt::CaseInsensitive) == 0)
            strFound = record.szDisplayName;
    }
    m_cmbLanguage->setCurrentIndex(CLanguageCatalogue::FindStringPrefix(items, strFound, 0));
}

QString CSpeechDlg::FindLanguageCode(const QString& strDisplayName) const
{
    return CLanguageCatalogue::FindCode(m_languages, strDisplayName);
}

void CSpeechDlg::FillVoiceList(const QString& strCode)
{
    m_listVoices->clear();
    QStringList descriptions;
    if (CLanguageCatalogue::ListVoices(strCode, CSpLanguageTags::UserUiLanguageId(), descriptions))
    {
        if (descriptions.isEmpty())
        {
            m_listVoices->addItem(CStringTable::Get(IDS_NO_TTS_VOICE));
            m_listVoices->setCurrentRow(-1);
        }
        else
        {
            m_listVoices->addItems(descriptions);
            m_listVoices->setCurrentRow(0);
        }
    }
    UpdateMinimumSizes();
}

void CSpeechDlg::OnLanguageChanged()
{
    QString strCode = FindLanguageCode(m_cmbLanguage->currentText());
    FillVoiceList(strCode);
    if (strCode.size() == 3)
        strCode.prepend(QLatin1Char('0'));
    m_szLangCode = strCode.left(4);
}

bool CSpeechDlg::CreateVoice()
{
    m_pVoice = CSpVoice::Create();
    if (!m_pVoice)
    {
        CMessageBox::Show(this, CStringTable::Get(IDS_VOICE_FAILED), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        RequestEnd();
        return false;
    }
    m_pVoice->SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS);
    m_pVoice->SetNotifyWindowMessage(this, WM_SPEECH_EVENT, 0, 0);
    OnVolumeChanged();
    OnRateChanged();
    return true;
}

bool CSpeechDlg::ApplySelectedVoice()
{
    const QString strCode = FindLanguageCode(m_cmbLanguage->currentText());
    const QList<QListWidgetItem*> selected = m_listVoices->selectedItems();
    if (selected.isEmpty())
    {
        CMessageBox::Show(this, CStringTable::Get(IDS_NO_VOICE), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        return false;
    }
    CSpObjectTokenPtr pToken;
    if (!CLanguageCatalogue::FindVoice(strCode, selected.first()->text(),
                                       CSpLanguageTags::UserUiLanguageId(), pToken))
        return false;
    if (pToken)
    {
        m_pVoiceToken = pToken;
        if (m_pVoice)
        {
            m_pVoice->SetVoice(pToken);
            m_pVoice->SetOutput(nullptr, true);
        }
    }
    return true;
}

int CSpeechDlg::ProgressPercent(quint32 nPos, quint32 nLen, quint32 nTextLength)
{
    if (nTextLength == 0)
        return 0;
    return int((quint64(nPos) + quint64(nLen)) * 100 / quint64(nTextLength));
}

void CSpeechDlg::OnSpeechEvent()
{
    if (!m_pVoice)
    {
        CMessageBox::Show(this, QStringLiteral("voice is null!"), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        return;
    }
    SPEVENT event;
    while (m_pVoice->GetEvents(1, &event, nullptr))
    {
        if (m_pTimings)
            m_pTimings->AddEvent(event);
        switch (event.eEventId)
        {
        case SPEI_START_INPUT_STREAM:
            m_bStreamStarted = true;
            m_bStreamEnded = false;
            // An event that comes after the reading has ended or stopped
            // leaves the idle buttons alone.
            if (m_bBusy && m_radioFile->isChecked() && !m_bPaused)
            {
                if (m_btnSpeak->isEnabled())
                    m_btnSpeak->setEnabled(false);
                if (!m_btnStop->isEnabled())
                    m_btnStop->setEnabled(true);
            }
            break;
        case SPEI_END_INPUT_STREAM:
            if (m_nSpeakMode == 0 && !m_btnStop->isEnabled())
                m_editText->selectAll();
            m_bStreamEnded = true;
            m_bStreamStarted = false;
            break;
        case SPEI_WORD_BOUNDARY:
        {
            if (m_nSpeakMode != 0 && m_nSpeakMode != 1)
                break;
            if (m_nSpeakMode == 1 && m_bSpeakingText == 0)
                return;
            SPVOICESTATUS status;
            m_pVoice->GetStatus(&status);
            QTextCursor cursor = m_editText->textCursor();
            const int nLength = m_editText->document()->characterCount() - 1;
            cursor.setPosition(qMin(int(status.ulInputWordPos), nLength));
            cursor.setPosition(qMin(int(status.ulInputWordPos + status.ulInputWordLen), nLength),
                               QTextCursor::KeepAnchor);
            m_editText->setTextCursor(cursor);
            m_progress->SetPos(
                ProgressPercent(status.ulInputWordPos, status.ulInputWordLen, m_nTextLength));
            break;
        }
        default:
            break;
        }
        event.Clear();
    }
}

void CSpeechDlg::OnWorkerError(const QString& strText)
{
    CMessageBox::Show(this, strText, Title(), CMessageBox::MB_ICONEXCLAMATION);
}

void CSpeechDlg::OnMp3Progress(double dPercent)
{
    m_staticStatus->SetWindowText(
        CStringTable::Format(CStringTable::Get(IDS_MP3_PROGRESS), {dPercent}));
}

void CSpeechDlg::GetPreludeText(QString& strText)
{
    const QString strName =
        m_cmbLanguage->currentIndex() < 0 ? QString() : m_cmbLanguage->currentText();
    // The table's own code: the prelude drops its one leading zero itself.
    QString strCode;
    for (const LanguageRecord& record : m_languages)
        if (record.szDisplayName.compare(strName, Qt::CaseInsensitive) == 0)
        {
            strCode = record.szCode;
            break;
        }
    strText = CPreludeText::Get(m_prelude, strCode);
}
