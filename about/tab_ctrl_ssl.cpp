#include "about/tab_ctrl_ssl.h"

#include "about/about_templates.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

// --- CTabPageSSL --------------------------------------------------------------------

CTabPageSSL::CTabPageSSL(QWidget* parent) : QWidget(parent)
{
    hide(); // pages are created hidden; the tab control shows the selected one
}

bool CTabPageSSL::Create(int templateId)
{
    const platform::DialogTemplate* const t = about::FindDialogTemplate(templateId);
    if (!t)
        return false;
    m_controls.emplace(this, *t);
    return true;
}

void CTabPageSSL::keyPressEvent(QKeyEvent* event)
{
    // OK (Enter) and Cancel (Escape) of a page do nothing, and go no further.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// --- CTabCtrlSSL --------------------------------------------------------------------

QRect PageRectInTabs(unsigned tabStyle, int rows, QSize item, int cx, int cy)
{
    if (tabStyle & TCS_VERTICAL) {
        const int g = rows * item.width();
        const int x = (tabStyle & TCS_RIGHT) ? 4 : g + 4;
        return {x, 4, cx - g - 8, cy - 8};
    }
    const int g = rows * item.height();
    const int y = (tabStyle & TCS_BOTTOM) ? 4 : g + 4;
    return {4, y, cx - 8, cy - g - 8};
}

namespace {

QTabBar::Shape ShapeOf(unsigned tabStyle)
{
    if (tabStyle & TCS_VERTICAL)
        return (tabStyle & TCS_RIGHT) ? QTabBar::RoundedEast : QTabBar::RoundedWest;
    return (tabStyle & TCS_BOTTOM) ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
}

} // namespace

CTabCtrlSSL::CTabCtrlSSL(QWidget* parent, unsigned tabStyle)
    : QWidget(parent), m_tabStyle(tabStyle), m_tabBar(new QTabBar(this))
{
    m_tabBar->setShape(ShapeOf(tabStyle));
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    // A click on a tab leaves the focus where it is (on the page being left, so
    // that the page remembers it); Tab reaches the tabs, and the arrow keys then
    // switch pages.
    m_tabBar->setFocusPolicy(Qt::TabFocus);
    m_tabBar->installEventFilter(this);
    setFocusProxy(m_tabBar);
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        OnSelChanging(m_nCurrent);
        OnSelChange(index);
    });
}

CTabCtrlSSL::~CTabCtrlSSL()
{
    DestroyPages();
}

int CTabCtrlSSL::AddTemplatePage(const QString& caption, int pageId, int templateId)
{
    auto page = std::make_unique<CTabPageSSL>(this);
    if (!page->Create(templateId))
        return -1;
    CTabPageSSL* const raw = page.release(); // the tab control owns it from here
    return AddPage(caption, pageId, {raw, true});
}

int CTabCtrlSSL::AddPage(const QString& caption, int pageId, TabDelete tabDelete)
{
    if (m_bDestroyed || !tabDelete.pTabPage)
        return -1;
    const int n = GetItemCount();
    {
        const QSignalBlocker quiet(m_tabBar); // the first tab selects itself
        m_tabBar->addTab(caption);
    }
    PlaceTabBar();
    m_pages.push_back(tabDelete);
    m_pageIds.push_back(pageId);
    QWidget* const page = tabDelete.pTabPage;
    page->setParent(this);
    page->hide();
    if (width() > 0 && height() > 0)
        ResizePage(n, width(), height());
    QWidget* focus = nullptr;
    if (OnInitPage(n, pageId)) {
        const auto children = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        focus = children.isEmpty() ? nullptr : children.first();
    } else {
        focus = QApplication::focusWidget();
    }
    m_pageFocus.emplace_back(focus);
    if (n == 0) {
        m_nCurrent = 0;
        page->show();
    }
    return n;
}

QWidget* CTabCtrlSSL::GetPage(int index) const
{
    if (index < 0 || index >= GetItemCount() || index >= static_cast<int>(m_pages.size()))
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)].pTabPage;
}

QWidget* CTabCtrlSSL::PageFocus(int index) const
{
    if (!GetPage(index))
        return nullptr;
    return m_pageFocus[static_cast<std::size_t>(index)];
}

void CTabCtrlSSL::ResizePage(int index, int cx, int cy)
{
    QWidget* const page = GetPage(index);
    if (!page)
        return;
    const QRect item = m_tabBar->tabRect(index);
    const QRect place = PageRectInTabs(m_tabStyle, 1, item.size(), cx, cy);
    page->setFixedSize(std::max(place.width(), 0), std::max(place.height(), 0));
    page->move(place.topLeft());
}

int CTabCtrlSSL::GetItemCount() const
{
    return m_tabBar->count();
}

int CTabCtrlSSL::GetCurSel() const
{
    return m_tabBar->currentIndex();
}

QString CTabCtrlSSL::GetItemText(int index) const
{
    return m_tabBar->tabText(index);
}

QWidget* CTabCtrlSSL::FocusOnPage(int index) const
{
    QWidget* const page = GetPage(index);
    QWidget* const focus = QApplication::focusWidget();
    return page && focus && page->isAncestorOf(focus) ? focus : nullptr;
}

void CTabCtrlSSL::OnSelChanging(int index)
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return;
    OnDeactivatePage(index, PageId(index));
    if (QWidget* const page = GetPage(index)) {
        if (QWidget* const focus = FocusOnPage(index))
            m_pageFocus[static_cast<std::size_t>(index)] = focus;
        page->hide();
    }
}

void CTabCtrlSSL::OnSelChange(int index)
{
    m_nCurrent = index;
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return;
    if (QWidget* const page = GetPage(index)) {
        ResizePage(index, width(), height());
        page->show();
        // Only a child that takes the focus gets it; otherwise the tabs keep it.
        QWidget* const focus = m_pageFocus[static_cast<std::size_t>(index)];
        if (focus && focus->focusPolicy() != Qt::NoFocus && focus->isEnabled())
            focus->setFocus(Qt::OtherFocusReason);
    }
    OnActivatePage(index, PageId(index));
}

void CTabCtrlSSL::OnSetFocus()
{
    QWidget* const focus = PageFocus(m_nCurrent);
    if (focus && focus->focusPolicy() != Qt::NoFocus && focus->isEnabled() && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
}

void CTabCtrlSSL::OnKillFocus()
{
    if (QWidget* const focus = FocusOnPage(m_nCurrent))
        m_pageFocus[static_cast<std::size_t>(m_nCurrent)] = focus;
}

bool CTabCtrlSSL::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tabBar) {
        if (event->type() == QEvent::FocusIn) // handed on once the tabs have taken it
            QMetaObject::invokeMethod(this, &CTabCtrlSSL::OnSetFocus, Qt::QueuedConnection);
        else if (event->type() == QEvent::FocusOut)
            OnKillFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void CTabCtrlSSL::DestroyPages()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    for (int i = static_cast<int>(m_pages.size()) - 1; i >= 0; --i) {
        OnDestroyPage(i, PageId(i));
        TabDelete& record = m_pages[static_cast<std::size_t>(i)];
        if (record.bDelete)
            delete record.pTabPage;
        else if (record.pTabPage)
            record.pTabPage->hide();
        record.pTabPage = nullptr; // the hooks of the tabs before see no page here
    }
    m_pages.clear();
    m_pageFocus.clear();
    m_pageIds.clear();
    m_nCurrent = -1;
}

bool CTabCtrlSSL::OnInitPage(int, int)
{
    return true;
}

void CTabCtrlSSL::OnActivatePage(int, int) {}
void CTabCtrlSSL::OnDeactivatePage(int, int) {}
void CTabCtrlSSL::OnDestroyPage(int, int) {}

void CTabCtrlSSL::PlaceTabBar()
{
    const QSize bar = m_tabBar->sizeHint();
    switch (m_tabBar->shape()) {
    case QTabBar::RoundedSouth:
        m_tabBar->setGeometry(0, height() - bar.height(), width(), bar.height());
        break;
    case QTabBar::RoundedWest:
        m_tabBar->setGeometry(0, 0, bar.width(), height());
        break;
    case QTabBar::RoundedEast:
        m_tabBar->setGeometry(width() - bar.width(), 0, bar.width(), height());
        break;
    default:
        m_tabBar->setGeometry(0, 0, width(), bar.height());
        break;
    }
}

void CTabCtrlSSL::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceTabBar();
    ResizePage(m_nCurrent, width(), height());
}

void CTabCtrlSSL::paintEvent(QPaintEvent*)
{
    // The frame around the page area.
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = m_tabBar->shape();
    QRect area = rect();
    switch (m_tabBar->shape()) {
    case QTabBar::RoundedSouth:
        area.setBottom(m_tabBar->geometry().top() - 1);
        break;
    case QTabBar::RoundedWest:
        area.setLeft(m_tabBar->geometry().right() + 1);
        break;
    case QTabBar::RoundedEast:
        area.setRight(m_tabBar->geometry().left() - 1);
        break;
    default:
        area.setTop(m_tabBar->geometry().bottom() + 1);
        break;
    }
    frame.rect = area;
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
