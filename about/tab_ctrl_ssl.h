#pragma once
// CTabCtrlSSL: a tab control whose tabs each own a page, a child dialog laid
// over the control's client area below (or beside) the tabs. Only the selected
// page is visible. Each page remembers the child that had the focus when the
// page was left and gives it the focus again when the page is selected.
// Subclasses hear of each page's life through four hooks: OnInitPage when it is
// added, OnDeactivatePage before another tab is selected (the old page is
// hidden after it), OnActivatePage after the new page is shown, OnDestroyPage
// when the tab control destroys its pages (last tab first).
//
// CTabPageSSL: a page built from a dialog template. Enter and Escape inside a
// page end nothing: a page never closes itself or the dialog around it.
#include "platform/dialog.h"

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>
#include <vector>

class QTabBar;

class CTabPageSSL : public QWidget
{
public:
    explicit CTabPageSSL(QWidget* parent = nullptr);

    // Builds the page's controls from a dialog template; false (and no controls)
    // for an unknown template id.
    bool Create(int templateId);

    QWidget* GetDlgItem(int id) const { return m_controls ? m_controls->Item(id) : nullptr; }
    // The page's controls (null before Create).
    platform::DialogControls* Controls() { return m_controls ? &*m_controls : nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::optional<platform::DialogControls> m_controls;
};

// Tab styles of the control, with the values of the resource scripts.
enum TabStyle : unsigned
{
    TCS_BOTTOM = 0x0002,
    TCS_RIGHT = 0x0002, // with TCS_VERTICAL
    TCS_VERTICAL = 0x0080,
};

// Where ResizePage puts a page in a client area of cx by cy pixels, with the
// tabs in rows of items of size item.
QRect PageRectInTabs(unsigned tabStyle, int rows, QSize item, int cx, int cy);

class CTabCtrlSSL : public QWidget
{
public:
    // One page and whether the tab control owns (and deletes) it.
    struct TabDelete
    {
        QWidget* pTabPage = nullptr;
        bool bDelete = false;
    };

    explicit CTabCtrlSSL(QWidget* parent = nullptr, unsigned tabStyle = 0);
    ~CTabCtrlSSL() override;

    // A new tab whose page is built from a template; the new index, or -1 when
    // the template does not exist.
    int AddTemplatePage(const QString& caption, int pageId, int templateId);
    // A new tab for an existing page; the new index, or -1 without a page.
    int AddPage(const QString& caption, int pageId, TabDelete tabDelete);
    // The page of a tab, or null for an index that is not a tab's.
    QWidget* GetPage(int index) const;
    // Fits page index into a client area of cx by cy pixels.
    void ResizePage(int index, int cx, int cy);

    // The tab control's destroy processing: from the last tab to the first,
    // OnDestroyPage, then the page deleted when the control owns it. Runs once;
    // the destructor runs it when nobody did before.
    void DestroyPages();

    int GetItemCount() const;
    int GetCurSel() const;
    QString GetItemText(int index) const;
    QTabBar* TabBar() const { return m_tabBar; }
    // The child that gets the focus when page index is shown.
    QWidget* PageFocus(int index) const;

protected:
    virtual bool OnInitPage(int index, int pageId);
    virtual void OnActivatePage(int index, int pageId);
    virtual void OnDeactivatePage(int index, int pageId);
    virtual void OnDestroyPage(int index, int pageId);

    bool eventFilter(QObject* watched, QEvent* event) override; // the tabs' focus
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnSelChanging(int index);
    void OnSelChange(int index);
    void OnSetFocus();
    void OnKillFocus();
    // The focus widget when it lies on page index, else null.
    QWidget* FocusOnPage(int index) const;
    void PlaceTabBar();
    int PageId(int index) const { return m_pageIds[static_cast<std::size_t>(index)]; }

    unsigned m_tabStyle;
    QTabBar* m_tabBar;
    std::vector<TabDelete> m_pages;
    std::vector<QPointer<QWidget>> m_pageFocus;
    std::vector<int> m_pageIds;
    int m_nCurrent = -1; // the selection the pages last heard of
    bool m_bDestroyed = false;
};
