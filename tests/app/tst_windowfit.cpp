#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"
#include "tests/support/languagepacks.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/colorref.h"
#include "widgets/digistatic.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

// The main window's fit: every text whole from the smallest size the window
// takes up to the common small screens, in each interface language; the
// sliders' lit parts; the first focus and the keyboard paths.
using KbTest::Item;

namespace
{
QRect AreaIn(const QWidget* pWidget, const QWidget* pWindow)
{
    return QRect(pWidget->mapTo(pWindow, QPoint(0, 0)), pWidget->size());
}

// The window's own controls that are on screen.
std::vector<QWidget*> ShownControls(const CSpeechDlg& dlg)
{
    std::vector<QWidget*> controls;
    for (QWidget* pWidget : dlg.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    {
        bool bId = false;
        pWidget->objectName().toInt(&bId);
        if (bId && pWidget->isVisible())
            controls.push_back(pWidget);
    }
    return controls;
}

// Where a control draws its text.
QRect TextRoom(const QWidget* pWidget)
{
    if (const auto* pRadio = qobject_cast<const QRadioButton*>(pWidget))
    {
        QStyleOptionButton option;
        option.initFrom(pRadio);
        option.text = pRadio->text();
        return pRadio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, pRadio);
    }
    QRect room = pWidget->contentsRect();
    const auto* pButton = qobject_cast<const QAbstractButton*>(pWidget);
    if (pButton && !pButton->icon().isNull())
        room.setLeft(room.left() + pButton->iconSize().width());
    return room;
}

// The box of what is drawn over the background; segment edges are blended,
// so a small display has few pixels of the exact lit colour.
QRect BoxOf(const QImage& image, const QColor& background)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

void CheckTextsWhole(const CSpeechDlg& dlg)
{
    for (const QWidget* pWidget : ShownControls(dlg))
    {
        QString strText;
        if (const auto* pButton = qobject_cast<const QAbstractButton*>(pWidget))
            strText = pButton->text();
        else if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget);
                 pLabel && !qobject_cast<const CDigiStatic*>(pWidget))
            strText = pLabel->text();
        if (strText.isEmpty())
            continue;
        const QSize text = pWidget->fontMetrics().size(Qt::TextShowMnemonic, strText);
        const QRect room = TextRoom(pWidget);
        QVERIFY2(text.width() <= room.width() && text.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 \"%2\": %3x%4 in %5x%6")
                                .arg(pWidget->objectName(), strText)
                                .arg(text.width())
                                .arg(text.height())
                                .arg(room.width())
                                .arg(room.height())));
    }
}

// Each language name and each voice fits its control, whichever is chosen.
void CheckChoicesWhole(const CSpeechDlg& dlg)
{
    const auto* pLanguages = Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE);
    QStyleOptionComboBox option;
    option.initFrom(pLanguages);
    const int nField =
        pLanguages->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, pLanguages)
            .width();
    QVERIFY(pLanguages->count() > 0);
    for (int i = 0; i < pLanguages->count(); ++i)
        QVERIFY2(pLanguages->fontMetrics().horizontalAdvance(pLanguages->itemText(i)) <= nField,
                 qPrintable(pLanguages->itemText(i)));

    const auto* pVoices = Item<QListWidget>(dlg, IDC_LIST_VOICES);
    QVERIFY(pVoices->count() > 0);
    for (int i = 0; i < pVoices->count(); ++i)
    {
        const QString strVoice = pVoices->item(i)->text();
        QVERIFY2(pVoices->fontMetrics().horizontalAdvance(strVoice) <= pVoices->viewport()->width(),
                 qPrintable(strVoice));
    }
}

// Every control inside the window and none over another.
void CheckNothingCovered(const CSpeechDlg& dlg)
{
    const std::vector<QWidget*> controls = ShownControls(dlg);
    for (size_t i = 0; i < controls.size(); ++i)
    {
        const QRect area = AreaIn(controls[i], &dlg);
        QVERIFY2(dlg.rect().contains(area), qPrintable(controls[i]->objectName()));
        for (size_t j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!area.intersects(AreaIn(controls[j], &dlg)),
                     qPrintable(controls[i]->objectName() + QLatin1Char('/') +
                                controls[j]->objectName()));
    }
}

// The digits at least as tall as capital letters and in the proportions
// they have when there is room to spare.
void CheckClockWhole(CDigiStatic* pClock)
{
    const QColor back = ColorFromRef(pClock->GetBkColor());
    const QRect shown = BoxOf(pClock->grab().toImage(), back);
    QImage roomy(800, 200, QImage::Format_RGB32);
    pClock->Render(roomy);
    const QRect whole = BoxOf(roomy, back);
    QVERIFY(!shown.isEmpty() && !whole.isEmpty());
    QVERIFY2(shown.height() >= pClock->fontMetrics().capHeight(),
             qPrintable(QString::number(shown.height())));
    const double dShown = double(shown.width()) / shown.height();
    const double dWhole = double(whole.width()) / whole.height();
    QVERIFY2(std::abs(dShown - dWhole) <= 0.1 * dWhole,
             qPrintable(QStringLiteral("%1 vs %2").arg(dShown).arg(dWhole)));
}
} // namespace

class CWindowFitTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CTestHome> m_pTest;

    void StartApp(const QString& strAppDir = QStringLiteral(KB_BIN_DIR))
    {
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(strAppDir);
        m_pTest->m_pApp->InitSettings();
    }

    // What a reading shows in the control band.
    static void ShowReadingDisplay(CSpeechDlg& dlg)
    {
        auto* pProgress = Item<CTextProgressCtrl>(dlg, IDC_PROGRESS);
        pProgress->show();
        pProgress->SetPos(42);
        auto* pClock = Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY);
        pClock->SetText(QStringLiteral("00:00:00"));
        pClock->show();
        Item<CPPHtmlStatic>(dlg, IDC_STATIC_ANIMATION)->show();
        Item<CPPHtmlStatic>(dlg, IDC_STATIC_STATUS)->show();
    }

private Q_SLOTS:
    void init() { m_pTest = std::make_unique<KbTest::CTestHome>(); }
    void cleanup() { m_pTest.reset(); }

    void textsWholeAtEachSize_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strPack");
        QTest::addColumn<QSize>("size");
        const std::pair<const char*, QSize> sizes[] = {
            {"minimum", QSize()}, {"1024x600", QSize(1024, 600)}, {"1366x768", QSize(1366, 768)}};
        for (const KbTest::SInterfaceLanguage& language : KbTest::InterfaceLanguages())
            for (const auto& [pszSize, size] : sizes)
                QTest::addRow("%s at %s", qPrintable(language.strRow), pszSize)
                    << language.strCode << language.strPack << size;
    }
    // Languages other than English are switched to while the window is
    // open: the minimums must follow the new texts.
    void textsWholeAtEachSize()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strPack);
        QFETCH(QSize, size);
        QTemporaryDir appDir;
        QVERIFY(KbTest::MakeProgramFolder(appDir, {QString(), strCode, strPack}));
        StartApp(appDir.path() + QLatin1Char('/'));
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ShowReadingDisplay(dlg);
        if (!strPack.isEmpty())
        {
            dlg.ApplyUILanguage(strCode);
            QVERIFY(m_pTest->m_pApp->m_hLangDll);
            QCOMPARE(CResourceModule::GetCurrent(), m_pTest->m_pApp->m_hLangDll.get());
            QApplication::processEvents();
        }

        dlg.resize(size.isValid() ? size : QSize(1, 1));
        QApplication::processEvents();
        if (size.isValid())
        {
            QCOMPARE(dlg.size(), size);
        }
        else
        {
            QCOMPARE(dlg.size(), dlg.minimumSize());
            const QSize frame = dlg.frameGeometry().size() - dlg.size();
            const QSize smallest(1024, 600);
            QVERIFY2((dlg.minimumSize() + frame).boundedTo(smallest) == dlg.minimumSize() + frame,
                     qPrintable(
                         QStringLiteral("%1x%2").arg(dlg.minimumWidth()).arg(dlg.minimumHeight())));
        }
        CheckTextsWhole(dlg);
        CheckChoicesWhole(dlg);
        CheckNothingCovered(dlg);
        CheckClockWhole(Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY));
    }

    void startUpFrameFillsWorkArea()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(dlg.frameGeometry(), dlg.screen()->availableGeometry());
    }

    void sliderLitFromBottom_data()
    {
        QTest::addColumn<int>("nSlider");
        QTest::addColumn<int>("nShown");
        QTest::addColumn<int>("nScaleLabel");
        QTest::newRow("volume 0") << IDC_SLIDER_VOLUME << 0 << IDC_STATIC_VOL0;
        QTest::newRow("volume 20") << IDC_SLIDER_VOLUME << 20 << IDC_STATIC_VOL0;
        QTest::newRow("volume 50") << IDC_SLIDER_VOLUME << 50 << IDC_STATIC_VOL50;
        QTest::newRow("volume 100") << IDC_SLIDER_VOLUME << 100 << IDC_STATIC_VOL100;
        QTest::newRow("rate -10") << IDC_SLIDER_RATE << -10 << IDC_STATIC_RATEM10;
        QTest::newRow("rate 0") << IDC_SLIDER_RATE << 0 << IDC_STATIC_RATE0;
        QTest::newRow("rate 6") << IDC_SLIDER_RATE << 6 << IDC_STATIC_RATE10;
        QTest::newRow("rate 10") << IDC_SLIDER_RATE << 10 << IDC_STATIC_RATE10;
    }
    // The lit part runs up from the bottom of the groove for the level's
    // share of it, and where it ends is by the scale label nearest the level.
    void sliderLitFromBottom()
    {
        QFETCH(int, nSlider);
        QFETCH(int, nShown);
        QFETCH(int, nScaleLabel);
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pSlider = Item<QSlider>(dlg, nSlider);
        const bool bVolume = nSlider == IDC_SLIDER_VOLUME;
        pSlider->setValue(bVolume ? 100 - nShown : -nShown);
        QCOMPARE(Item<QLabel>(dlg, bVolume ? IDC_STATIC_VOLUME : IDC_STATIC_RATE)
                     ->text()
                     .endsWith(QLatin1Char(' ') + QString::number(nShown)),
                 true);
        const double dLevel = bVolume ? nShown / 100.0 : (nShown + 10) / 20.0;

        QPalette palette = pSlider->palette();
        palette.setColor(QPalette::Highlight, QColor(255, 0, 0));
        pSlider->setPalette(palette);
        const QImage shot = pSlider->grab().toImage();
        int nLitTop = -1;
        int nLitBottom = -1;
        int nLit = 0;
        for (int y = 0; y < shot.height(); ++y)
        {
            const QColor pixel(shot.pixel(shot.width() / 2, y));
            if (pixel.red() > 200 && pixel.green() < 130 && pixel.blue() < 130)
            {
                nLitTop = nLitTop < 0 ? y : nLitTop;
                nLitBottom = y;
                ++nLit;
            }
        }
        const double dLit = double(nLit) / shot.height();
        QVERIFY2(std::abs(dLit - dLevel) <= 0.1, qPrintable(QString::number(dLit)));
        if (nLit > 0)
        {
            QCOMPARE(nLitBottom - nLitTop + 1, nLit);
            QVERIFY(nLitBottom >= shot.height() - 5);
        }

        const int nEnd = pSlider->mapTo(&dlg, QPoint(0, nLit > 0 ? nLitTop : shot.height())).y();
        int nNearest = 0;
        int nDistance = INT_MAX;
        const int nFirst = bVolume ? IDC_STATIC_VOL100 : IDC_STATIC_RATE10;
        for (int nLabel = nFirst; nLabel < nFirst + 3; ++nLabel)
        {
            const int nCentre = AreaIn(dlg.GetDlgItem(nLabel), &dlg).center().y();
            if (std::abs(nCentre - nEnd) < nDistance)
            {
                nDistance = std::abs(nCentre - nEnd);
                nNearest = nLabel;
            }
        }
        QCOMPARE(nNearest, nScaleLabel);
    }

    void firstFocus_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("nArrowFrom");
        QTest::addColumn<int>("nFocus");
        QTest::newRow("start-up") << QList<int>() << 0 << IDC_LIST_FILES;
        QTest::newRow("instant mode, mouse") << QList<int>{IDC_RADIO_INSTANT} << 0 << IDC_EDIT_TEXT;
        QTest::newRow("file mode again, mouse")
            << QList<int>{IDC_RADIO_INSTANT, IDC_RADIO_FILE} << 0 << IDC_LIST_FILES;
        QTest::newRow("instant mode, arrow key") << QList<int>() << IDC_RADIO_FILE << IDC_EDIT_TEXT;
        QTest::newRow("file mode again, arrow key")
            << QList<int>{IDC_RADIO_INSTANT} << IDC_RADIO_INSTANT << IDC_LIST_FILES;
    }
    void firstFocus()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, nArrowFrom);
        QFETCH(int, nFocus);
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        for (int nRadio : clicks)
        {
            QWidget* pRadio = dlg.GetDlgItem(nRadio);
            QTest::mouseClick(pRadio, Qt::LeftButton, Qt::NoModifier,
                              QPoint(5, pRadio->height() / 2));
        }
        if (nArrowFrom)
        {
            QWidget* pRadio = dlg.GetDlgItem(nArrowFrom);
            pRadio->setFocus();
            QTest::keyClick(pRadio, nArrowFrom == IDC_RADIO_FILE ? Qt::Key_Right : Qt::Key_Left);
        }
        QTRY_COMPARE(QApplication::focusWidget(), dlg.GetDlgItem(nFocus));
    }

    // Down the left column, down the right one, along the bottom row, and
    // round again. Tab stops at the checked mode button only (the arrow keys
    // reach the other); the text pane passes Tab on; the web panel first
    // takes it through its links.
    void tabOrder()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        // No single state enables every command.
        for (CButtonST* pButton : dlg.findChildren<CButtonST*>())
            pButton->setEnabled(true);
        const int order[] = {1033, 1001, 1002, 1003, 1004, 1064, 1013, 1015, 1017, 1056, 1054,
                             1042, 1036, 1035, 1023, 1007, 1008, 1010, 1043, 1040, 1033};
        dlg.GetDlgItem(order[0])->setFocus();
        for (size_t i = 1; i < std::size(order); ++i)
        {
            QWidget* pFrom = QApplication::focusWidget();
            for (int nLinks = 0; nLinks < 50 && QApplication::focusWidget() == pFrom; ++nLinks)
                QTest::keyClick(pFrom, Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() == dlg.GetDlgItem(order[i]),
                     qPrintable(QStringLiteral("after %1: %2")
                                    .arg(order[i - 1])
                                    .arg(QApplication::focusWidget()->objectName())));
        }
    }

    void menuAccessKeys_data()
    {
        QTest::addColumn<int>("nMenuKey");
        QTest::addColumn<QString>("strMenu");
        QTest::addColumn<int>("nItemKey");
        QTest::addColumn<int>("nCommand");
        QTest::newRow("Option, Settings")
            << int(Qt::Key_O) << QStringLiteral("&Option") << int(Qt::Key_S) << ID_OPTION_SETTINGS;
        QTest::newRow("Help") << int(Qt::Key_H) << QStringLiteral("&Help") << 0 << 0;
    }
    void menuAccessKeys()
    {
        QFETCH(int, nMenuKey);
        QFETCH(QString, strMenu);
        QFETCH(int, nItemKey);
        QFETCH(int, nCommand);
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* pMenuBar = dlg.findChild<QMenuBar*>(QString::number(IDR_MAINMENU));
        QSignalSpy triggered(pMenuBar, &QMenuBar::triggered);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(nMenuKey), Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(pMenu->title(), strMenu);
        if (!nItemKey)
        {
            QTest::keyClick(pMenu, Qt::Key_Escape);
            return;
        }
        // The command opens its dialog; close it as soon as it shows.
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout,
                         []()
                         {
                             if (QWidget* pModal = QApplication::activeModalWidget())
                                 pModal->close();
                         });
        closer.start();
        QTest::keyClick(pMenu, Qt::Key(nItemKey));
        closer.stop();
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(triggered.at(0).at(0).value<QAction*>()->data().toInt(), nCommand);
    }
};

QTEST_MAIN(CWindowFitTest)
#include "tst_windowfit.moc"
