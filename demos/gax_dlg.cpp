#include "demos/gax_dlg.h"

#include "demos/gax_static.h"
#include "demos/key_codes.h"
#include "platform/messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {

constexpr int IDOK = 1;

// The open list draws a name as the closed box does, a tab as a blank. Its
// menu-like rows would take a tab for the start of a shortcut and push the
// rest of the name into the shortcut's narrow column at the right edge.
class DemoNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        return QStyledItemDelegate::displayText(value, locale).replace(u'\t', u' ');
    }
};

} // namespace

const platform::DialogTemplate& CGaxDlg::Template()
{
    using platform::ControlKind;
    static const platform::DialogTemplate dialog{
        QStringLiteral("DEMOダイアログ"),
        QSize(339, 335),
        {
            {IDOK, ControlKind::DefPushButton, QRect(282, 314, 50, 14), platform::WS_TABSTOP, QStringLiteral("OK")},
            {IDC_DEMO_CANVAS, ControlKind::Static, QRect(6, 7, 325, 297), platform::SS_SUNKEN, {}},
            {IDC_DEMO_LIST, ControlKind::ComboBox, QRect(123, 314, 90, 160),
             platform::CBS_DROPDOWNLIST | platform::WS_TABSTOP, {}},
        },
    };
    return dialog;
}

CGaxDlg::CGaxDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_controls(this, Template()), m_timers(this, [this](int id) { OnTimer(id); })
{
    m_canvas = new CGaxStatic;
    m_controls.Replace(IDC_DEMO_CANVAS, m_canvas);
    m_demoList = m_controls.ItemAs<QComboBox>(IDC_DEMO_LIST);
    m_demoList->setItemDelegate(new DemoNameDelegate(m_demoList));
    if (auto* ok = m_controls.ItemAs<QPushButton>(IDOK))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Every key pressed in the dialog also reaches the demo (see eventFilter).
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
}

CGaxDlg::~CGaxDlg()
{
    m_timers.KillAll();
    DeleteApp();
}

void CGaxDlg::Create(std::vector<DemoEntry> demos)
{
    OnInitDialog(std::move(demos));
}

void CGaxDlg::OnInitDialog(std::vector<DemoEntry> demos)
{
    m_demos = std::move(demos);
    for (const DemoEntry& entry : m_demos)
        m_demoList->addItem(entry.name);
    m_demoList->setCurrentIndex(0);
    connect(m_demoList, &QComboBox::currentIndexChanged, this, [this](int index) { OnSelchangeDemoList(index); });

    m_canvas->resize(kCanvasControlSize, kCanvasControlSize);
    m_canvas->CreateBackBuffer();
    canvasWidth = m_canvas->CanvasWidth();
    canvasHeight = m_canvas->CanvasHeight();

    if (m_demos.empty())
        return;
    StartApp(m_demos.front().factory());
    m_timers.SetTimer(kFrameTimer, kFrameMs);
}

void CGaxDlg::StartApp(std::unique_ptr<gaBaseApp> app)
{
    m_pApp = std::move(app);
    m_pApp->MakeCurrent();
    m_pApp->setup();
    m_canvas->SetApp(m_pApp.get());
}

void CGaxDlg::DeleteApp()
{
    m_canvas->SetApp(nullptr);
    if (!m_pApp)
        return;
    m_pApp->MakeCurrent();
    m_pApp.reset();
}

void CGaxDlg::OnTimer(int)
{
    if (!m_pApp || !m_pApp->core().running)
        return;
    gaxCore& core = m_pApp->core();
    {
        const gaFrameScope frame(*m_pApp, m_canvas->FramePainter());
        m_pApp->update();
        if (core.autoBackground)
            currentGraphics->fillRect(QRect(0, 0, canvasWidth, canvasHeight), QColor::fromRgba(core.backgroundColor));
        m_pApp->draw();
    }
    core.frameNum = ++m_nFrame;
    m_canvas->update();
}

void CGaxDlg::OnSelchangeDemoList(int index)
{
    if (index < 0 || index >= static_cast<int>(m_demos.size()) || m_bClosed)
        return;
    m_timers.KillTimer(kFrameTimer);
    std::unique_ptr<gaBaseApp> next = m_demos[static_cast<std::size_t>(index)].factory(); // before the old one goes
    DeleteApp();
    StartApp(std::move(next));
    m_timers.SetTimer(kFrameTimer, kFrameMs);
}

void CGaxDlg::accept()
{
    close();
    QDialog::accept();
}

void CGaxDlg::closeEvent(QCloseEvent* event)
{
    OnClose();
    QDialog::closeEvent(event);
    event->accept();
}

void CGaxDlg::OnClose()
{
    m_timers.KillTimer(kFrameTimer);
    DeleteApp();
    m_bClosed = true;
    platform::PostAppMessage(platform::WM_DEMO_CLOSED);
}

bool CGaxDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A key goes to the focus widget first and, when that ignores it, on to its
    // parents: the demo gets it once, from where it started.
    if (event->type() == QEvent::KeyPress) {
        QWidget* const focus = QApplication::focusWidget();
        if (watched == (focus ? static_cast<QObject*>(focus) : this)) {
            const auto& press = *static_cast<QKeyEvent*>(event);
            if (const int key = VirtualKeyCode(press.key(), press.modifiers()))
                m_canvas->OnKeyDown(DemoKeyCode(key));
        }
    }
    return QDialog::eventFilter(watched, event);
}
