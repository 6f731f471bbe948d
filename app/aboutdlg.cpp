#include "app/aboutdlg.h"

#include "app/speechapp.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "widgets/hyperlink.h"
#include "widgets/urlopener.h"

#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QResource>

namespace
{
QPixmap LoadIcon32(const QString& strPath)
{
    QImageReader reader(strPath);
    reader.setScaledSize(QSize(32, 32));
    return QPixmap::fromImage(reader.read());
}
} // namespace

static void InitProgramResources()
{
    Q_INIT_RESOURCE(program);
}

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    InitProgramResources();
    setObjectName(QString::number(IDD_ABOUTBOX));
    m_staticIcon = new QLabel(this);
    m_staticIcon->setObjectName(QString::number(IDC_ABOUT_ICON));
    m_staticText = new QLabel(this);
    m_staticText->setObjectName(QString::number(IDC_ABOUT_TEXT));
    m_hyperLink = new CHyperLink(this);
    m_hyperLink->setObjectName(QString::number(IDC_HYPERLINK));
    m_btnOk = new QPushButton(this);
    m_btnOk->setObjectName(QString::number(IDOK));
    m_btnOk->setDefault(true);

    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(m_staticIcon, 0, 0, 2, 1, Qt::AlignTop);
    pLayout->addWidget(m_staticText, 0, 1);
    pLayout->addWidget(m_hyperLink, 1, 1);
    pLayout->addWidget(m_btnOk, 0, 2, Qt::AlignTop);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);

    // The window's message map.
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);

    m_staticText->setText(CStringTable::Get(IDS_VERSION));
    m_btnOk->setText(CStringTable::Get(IDS_OK));

    const QString strHome = CStringTable::Get(IDS_HOME_URL);
    m_hyperLink->SetLinkText(CUrlOpener::StripScheme(strHome));
    m_hyperLink->SetURL(strHome);

    setWindowTitle(CStringTable::Get(IDS_ABOUTBOX).mid(1));

    const CSpeechApp* pApp = CSpeechApp::GetApp();
    QPixmap icon;
    if (pApp && pApp->m_bLangDllLoaded)
    {
        const QString strLib = pApp->m_strAppDir + QStringLiteral("imagelib.rcc");
        if (QResource::registerResource(strLib, QStringLiteral("/aboutimages")))
        {
            icon = LoadIcon32(QStringLiteral(":/aboutimages/icons/%1.svg").arg(IDR_MAINFRAME));
            QResource::unregisterResource(strLib, QStringLiteral("/aboutimages"));
        }
    }
    else
    {
        icon = LoadIcon32(QStringLiteral(":/program/%1.svg").arg(IDR_MAINFRAME));
    }
    m_staticIcon->setPixmap(icon);
}
