#include "about/about_dlg.h"

#include "about/about_templates.h"
#include "platform/crt.h"
#include "platform/desktop.h"
#include "platform/owned_windows.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/run_time_files.h"

#include <QPushButton>
#include <ctime>

namespace about {

namespace {

const QString kProductName = QStringLiteral("Lumidial");
const QString kMaker = QStringLiteral("TOBELIN");
const QString kFrameDesigner = QStringLiteral("Tobelin");
const QString kDedication = QStringLiteral("Dedicated to my father.");
constexpr char16_t kMarker = 0x01; // ends a group of reveal lines; also the block cursor

// LED display settings: glyph bitmap, cell, gaps, line layout and colours.
struct LedSettings
{
    int bitmap;
    int cellWidth, cellHeight, gapX, gapY;
    int charsPerLine, lines;
    platform::COLORREF background, unlit, lit;
};
constexpr LedSettings kNameLed{150, 14, 20, 2, 2, 21, 1, 0x000000, 0x1E6700, 0x32FF00};
constexpr LedSettings kDedicationLed{151, 10, 14, 1, 1, 27, 7, 0x42B5A5, 0x429C94, 0x000000};

void Configure(CMatrixStatic& display, const LedSettings& s, const QString& text)
{
    display.SetGlyphBitmap(s.bitmap, s.cellWidth, s.cellHeight, s.gapX, s.gapY);
    display.SetDotColors(s.lit, s.unlit, s.background);
    display.SetCharsPerLine(s.charsPerLine);
    display.SetLineCount(s.lines);
    display.SetDisplayText(text);
}

QString Marker(int seconds)
{
    return QString(QChar(kMarker)) + QStringLiteral(" %1").arg(seconds);
}

} // namespace

const QString kSecondPictureName = QStringLiteral("\\assets\\moon_reeds_2.png");
const QByteArray kDefaultModel = "stanford_bunny.obj";
const QByteArray kControlModel = "LexusLFA.obj";

const std::array<QString, 10>& TabCaptions()
{
    static const std::array<QString, 10> captions{
        QStringLiteral("アプリ名"), QStringLiteral("Credit_1"), QStringLiteral("Credit_2"),
        QStringLiteral("Credit_3"), QStringLiteral("水面"),     QStringLiteral("波紋"),
        QStringLiteral("Teapot"),   QStringLiteral("Specter"),  QStringLiteral("海"),
        QStringLiteral("水滴"),
    };
    return captions;
}

QString DedicationText()
{
    constexpr int kRows = 11;
    constexpr int kColumns = 27;
    QString text;
    for (int row = 1; row <= kRows; ++row) {
        QString line;
        if (row == 2)
            line = QStringLiteral(" ") + kProductName;
        else if (row == 4)
            line = QStringLiteral("  produced by ") + kMaker;
        else if (row == 6)
            line = QStringLiteral("  ") + kDedication;
        text += line.leftJustified(kColumns, u' ', true);
    }
    return text;
}

QString StaffText()
{
    return QStringLiteral("\t< ") + kProductName + QStringLiteral("  Staff >\n") + QStringLiteral("\n") +
           QStringLiteral("\r== Planning & Produce ==:\n") + kMaker + QStringLiteral("\n") +
           QStringLiteral("\r== Frame Design ==:\n") + kFrameDesigner + QStringLiteral("\n") +
           QStringLiteral("\n\n") + QStringLiteral("\r ") + kDedication + QStringLiteral(" \n");
}

QStringList CrawlLines()
{
    return {QStringLiteral("<< ") + kProductName + QStringLiteral(" Staff >>"),
            QString(),
            QStringLiteral("== Planning & Produce =="),
            kMaker,
            QString(),
            QStringLiteral("== Frame Design =="),
            kFrameDesigner,
            QStringLiteral(" "),
            QStringLiteral(" "),
            kDedication,
            QStringLiteral(" ")};
}

QStringList RevealLines()
{
    return {kProductName + QStringLiteral(" Staff"),
            Marker(2),
            QStringLiteral("== Planning & Produce =="),
            kMaker,
            Marker(2),
            QStringLiteral("== Frame Design =="),
            kFrameDesigner,
            Marker(2),
            QStringLiteral(" ") + kDedication + QStringLiteral(" "),
            Marker(5)};
}

} // namespace about

using namespace about;

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_controls(this, *FindDialogTemplate(IDD))
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The members in their order: the two LED displays, the cloud sky and the
    // crawl, the matrix reveal, then the generator seeded from the clock (the
    // credits controls draw their randomness from it), the two rippling
    // pictures, the teapot and the refraction scene, the refraction model and
    // the tab control; last the cloud sky's text.
    m_matrix1 = new CMatrixStatic(this);
    m_matrix2 = new CMatrixStatic(this);
    m_clouds = new CCloudsCtrl(this);
    m_starWars = new CStarWarsCtrl(this); // its font made, star speed 30, scroll step 2
    m_matrixCtrl = new JMatrixCtrl(255, 5, 5, 20, true, static_cast<char>(kMarker), this);
    crt::srand(static_cast<unsigned>(std::time(nullptr)));
    m_specialFx1 = new CSpecialFXCtrl(this);
    m_specialFx2 = new CSpecialFXCtrl(this);
    m_openGL = new COpenGLCtrl(this);
    m_spectral = new CSpectralCtrl(this);
    for (QWidget* control : std::initializer_list<QWidget*>{m_matrix1, m_matrix2, m_clouds, m_starWars, m_matrixCtrl,
                                                            m_specialFx1, m_specialFx2, m_openGL, m_spectral})
        control->hide(); // until a page takes it
    m_spectralModel = kDefaultModel;
    m_shaderOrb = new CShaderOrbCtrl(this);
    m_protoplasm = new CShaderProtoplasm(this);
    m_rootSanctum = new CShaderRootSanctum(this);
    for (QWidget* control : std::initializer_list<QWidget*>{m_shaderOrb, m_protoplasm, m_rootSanctum})
        control->hide(); // until a page takes it (the sanctum never)
    m_tabCtrl = new CTabCtrlSSL(this);
    m_clouds->m_strText = StaffText();
    m_controls.Replace(IDC_TAB, m_tabCtrl); // DDX_Control
    connect(m_controls.ItemAs<QPushButton>(IDOK), &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg()
{
    if (m_tabCtrl)
        m_tabCtrl->DestroyPages();
}

int CAboutDlg::DoModal(QWidget* owner)
{
    OnInitDialog();
    const int result = platform::RunModal(*this, owner);
    // The program's exit ends every event loop, this one too, without closing
    // the dialog: close it now, so that its controls stop with it.
    if (isVisible())
        reject();
    return result;
}

void CAboutDlg::done(int result)
{
    QDialog::done(result);
    // The dialog's window goes: the pages and their controls (with their timers) with it.
    if (m_tabCtrl)
        m_tabCtrl->DestroyPages();
}

bool CAboutDlg::OnInitDialog()
{
    if (m_bInitialised)
        return true;
    m_bInitialised = true;

    if (CTabPageSSL* const page = AddPage(0, IDD_PAGE_TWO)) {
        page->Controls()->Replace(IDC_LED_NAME, m_matrix1);
        page->Controls()->Replace(IDC_LED_BLOCK, m_matrix2);
        Configure(*m_matrix1, kNameLed, QStringLiteral("Lumidial"));
        Configure(*m_matrix2, kDedicationLed, DedicationText());
    }
    if (AttachToPage(1, m_clouds)) {
        m_clouds->PreSubclassWindow();
        m_clouds->m_bSteering = 1;
    }
    if (AttachToPage(2, m_starWars)) {
        m_starWars->PreSubclassWindow();
        // Slower than the set-up's values, for the rest of the dialog's life.
        m_starWars->m_nStarSpeed = 2;
        m_starWars->m_nScrollSpeed = 3;
        for (const QString& line : CrawlLines())
            m_starWars->AddLine(line);
    }
    // The matrix reveal is made over the page's static, which stays beneath it.
    if (CTabPageSSL* const page = AddPage(3, IDD_PAGE_ONE)) {
        const QWidget* const placeholder = page->Controls()->Item(IDC_PAGE_STATIC);
        m_matrixCtrl->Create(placeholder->geometry(), page);
        for (const QString& line : RevealLines()) {
            m_matrixCtrl->m_lines.append(line);
            m_matrixCtrl->m_nGroupEnd = static_cast<int>(m_matrixCtrl->m_lines.size());
        }
    }

    m_picture1 = platform::LoadBitmap(153);
    m_specialFx1->SetPictures(&m_picture1, nullptr);
    if (AttachToPage(4, m_specialFx1))
        m_specialFx1->PreSubclassWindow();

    m_picture2 = platform::LoadBitmap(154);
    // The second picture of page 5 is a file beside the executable; a missing
    // file leaves the page with one picture.
    m_picture3 = platform::ReadPictureFile(
        platform::paths::Normalize(platform::paths::ExeDir() + platform::paths::FromData(kSecondPictureName)));
    m_specialFx2->SetPictures(&m_picture2, &m_picture3);
    if (AttachToPage(5, m_specialFx2))
        m_specialFx2->PreSubclassWindow();

    // The OpenGL controls set themselves up when their page is first shown.
    AttachToPage(6, m_openGL);
    if (platform::IsKeyDown(platform::Key::Control))
        m_spectralModel = kControlModel;
    m_spectral->SetModelName(m_spectralModel);
    AttachToPage(7, m_spectral);
    if (AttachToPage(8, m_shaderOrb))
        m_shaderOrb->PreSubclassWindow();
    if (AttachToPage(9, m_protoplasm))
        m_protoplasm->PreSubclassWindow();
    return true;
}

CTabPageSSL* CAboutDlg::AddPage(int index, int templateId)
{
    const int added = m_tabCtrl->AddTemplatePage(TabCaptions()[static_cast<std::size_t>(index)], index, templateId);
    return dynamic_cast<CTabPageSSL*>(m_tabCtrl->GetPage(added));
}

bool CAboutDlg::AttachToPage(int index, QWidget* control)
{
    CTabPageSSL* const page = AddPage(index, IDD_PAGE_ONE);
    if (!page)
        return false;
    page->Controls()->Replace(IDC_PAGE_STATIC, control);
    return true;
}
