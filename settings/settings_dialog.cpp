#include "settings/settings_dialog.h"

#include "settings/prefs_static.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

using namespace platform;

namespace {

constexpr QSize kTreeImageSize(16, 16);
constexpr int kPageInset = 2;

} // namespace

ImageList LoadImageList(const ResourceId& bitmap, int cx, COLORREF mask)
{
    const QImage strip = LoadBitmap(bitmap).convertToFormat(QImage::Format_ARGB32);
    ImageList images;
    if (strip.isNull() || cx <= 0)
        return images;
    const QRgb maskPixel = ToPixel(mask);
    for (int left = 0; left + cx <= strip.width(); left += cx) {
        QImage image = strip.copy(left, 0, cx, strip.height());
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] | 0xFF000000u) == maskPixel)
                    row[x] = 0;
        }
        images.emplace_back(QPixmap::fromImage(image));
    }
    return images;
}

const DialogTemplate& CSettingsDialog::Template()
{
    static const DialogTemplate dialog{
        QStringLiteral("Dialog"),
        {351, 212},
        {
            {IDC_PAGE_TREE, ControlKind::Custom, {7, 7, 70, 180}, WS_TABSTOP, {}},
            {IDC_CAPTION_BAR, ControlKind::Custom, {80, 7, 259, 16}, 0, {}},
            {IDC_PAGE_FRAME, ControlKind::Frame, {80, 25, 257, 162}, 0, {}},
            {IDOK, ControlKind::DefPushButton, {225, 191, 50, 14}, WS_TABSTOP, QStringLiteral("OK")},
            {IDCANCEL, ControlKind::PushButton, {287, 191, 50, 14}, WS_TABSTOP, QStringLiteral("キャンセル")},
            {IDC_APPLY, ControlKind::PushButton, {142, 191, 50, 14}, WS_TABSTOP, QStringLiteral("適用")},
        },
    };
    return dialog;
}

CSettingsDialog::CSettingsDialog(QWidget* owner)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner), m_controls(this, Template())
{
    auto tree = std::make_unique<QTreeWidget>();
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setRootIsDecorated(true);
    tree->setIconSize(kTreeImageSize);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree = tree.release();
    m_controls.Replace(IDC_PAGE_TREE, m_tree);
    m_captionBar = new CPrefsStatic;
    m_controls.Replace(IDC_CAPTION_BAR, m_captionBar);
    m_controls.Item(IDC_PAGE_FRAME)->hide(); // only marks the page area
    m_controls.Item(IDC_APPLY)->hide();

    connect(m_controls.ItemAs<QPushButton>(IDOK), &QPushButton::clicked, this, [this] { accept(); });
    connect(m_controls.ItemAs<QPushButton>(IDCANCEL), &QPushButton::clicked, this, [this] { reject(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) { OnSelChanged(current, previous); });
}

CSettingsDialog::~CSettingsDialog()
{
    DestroyPages();
}

void CSettingsDialog::AddPage(PageFactory factory, int templateId, const QString& caption,
                              const QString& parentCaption)
{
    if (m_bInitialized)
        return;
    auto info = std::make_unique<_PageInfo>();
    info->nTemplateID = templateId;
    info->factory = std::move(factory);
    info->strCaption = caption;
    info->strParentCaption = parentCaption;
    m_pages.push_back(std::move(info));
}

int CSettingsDialog::CurrentPageIndex() const
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i].get() == m_pCurrentPage)
            return static_cast<int>(i);
    return -1;
}

void CSettingsDialog::setVisible(bool visible)
{
    // The window is set up once, as it is shown for the first time.
    if (visible && !m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CSettingsDialog::OnInitDialog()
{
    const QWidget* marker = m_controls.Item(IDC_PAGE_FRAME);
    m_rcPage = marker->geometry().adjusted(kPageInset, kPageInset, -kPageInset, -kPageInset);
    setWindowIcon(LoadIcon("LMD_ICON_GEAR"));
    setWindowTitle(m_strTitle);
    m_captionBar->SetFont(QStringLiteral("Verdana"), 14, 700);
    m_captionBar->SetTextColor(GetSysColor(COLOR_BTNFACE));
    m_captionBar->SetConstantText(m_strLogoText);
    InitTreeCtrl();
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        ExpandBranch(m_tree->topLevelItem(i));
    if (m_nInitialPage >= 0 && m_nInitialPage < PageCount())
        ShowPage(m_pages[static_cast<std::size_t>(m_nInitialPage)].get(), true);
    m_controls.Item(IDC_APPLY)->setEnabled(false);
    CenterOnWorkArea();
}

void CSettingsDialog::CenterOnWorkArea()
{
    const QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return; // no monitor to ask: the dialog stays where it is
    const QRect work = screen->availableGeometry();
    move(work.left() + (work.width() - width()) / 2, work.top() + (work.height() - height()) / 2);
}

void CSettingsDialog::InitTreeCtrl()
{
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        _PageInfo& info = *m_pages[i];
        QTreeWidgetItem* parent = FindTreeItemByText(info.strParentCaption);
        auto item = std::make_unique<QTreeWidgetItem>(QStringList{info.strCaption});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        if (i < m_treeImages.size())
            item->setIcon(0, m_treeImages[i]);
        info.item = item.get();
        if (parent)
            parent->addChild(item.release());
        else
            m_tree->addTopLevelItem(item.release());
    }
}

QTreeWidgetItem* CSettingsDialog::FindTreeItemByText(const QString& caption) const
{
    // Null stands for the root.
    if (caption.isEmpty() || m_tree->topLevelItemCount() == 0)
        return nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) // depth first, in tree order
        if ((*it)->text(0) == caption)
            return *it;
    return nullptr;
}

void CSettingsDialog::ExpandBranch(QTreeWidgetItem* item)
{
    if (item->childCount() > 0)
        item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i)
        ExpandBranch(item->child(i));
}

CSettingsDialog::_PageInfo* CSettingsDialog::PageOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    bool ok = false;
    const int index = item->data(0, Qt::UserRole).toInt(&ok);
    return ok && index >= 0 && index < PageCount() ? m_pages[static_cast<std::size_t>(index)].get() : nullptr;
}

void CSettingsDialog::ShowPage(_PageInfo* info, bool show)
{
    if (!info)
        return;
    m_captionBar->SetText(QString());
    if (info->factory) {
        if (!info->pWnd) {
            info->pWnd = info->factory(this);
            CPropertyPage* page = info->pWnd.get();
            page->setParent(this);
            page->stackUnder(m_tree);
            QWidget::setTabOrder(m_tree, page);
            page->OnInitDialog();
            page->setGeometry(m_rcPage);
        }
        info->pWnd->setVisible(show);
        if (show) {
            info->pWnd->setFocus();
            m_tree->setCurrentItem(info->item);
        }
    }
    if (show)
        m_captionBar->SetText(info->strCaption);
}

void CSettingsDialog::OnSelChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    _PageInfo* info = PageOf(current);
    if (!info)
        return;
    ShowPage(PageOf(previous), false);
    ShowPage(info, true);
    m_pCurrentPage = info;
}

void CSettingsDialog::SavePageData()
{
    for (const auto& info : m_pages)
        if (info->pWnd)
            info->pWnd->UpdateData(true);
}

void CSettingsDialog::DestroyPages()
{
    for (const auto& info : m_pages)
        info->pWnd.reset();
}

void CSettingsDialog::StoreCurrentPageIndex()
{
    if (const int index = CurrentPageIndex(); index >= 0)
        m_nInitialPage = index;
}

void CSettingsDialog::accept()
{
    SavePageData();
    DestroyPages();
    QDialog::accept();
    StoreCurrentPageIndex();
}

void CSettingsDialog::reject()
{
    DestroyPages();
    QDialog::reject();
    StoreCurrentPageIndex();
}

void CSettingsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // Escape never closes the dialog
        return;
    }
    QDialog::keyPressEvent(event);
}
