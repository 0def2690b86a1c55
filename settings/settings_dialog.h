#pragma once
// CSettingsDialog: the modal dialog of the clock's settings (template 201): a
// tree of page captions at the left, the caption bar CPrefsStatic across the
// top right and the page area below it. The dialog knows nothing about the
// settings: the launcher adds page factories in tree order; each page is made
// the first time its item is selected and then only hidden and shown. OK runs
// the data exchange of every page that was made; OK and Cancel (also the close
// box) both destroy the pages and remember the current page's index, which the
// launcher reads back as the next opening's initial page. Escape does nothing.
//
// Use:
//   CSettingsDialog dialog(owner);
//   dialog.AddPage<CPropPage1>(202, "文字盤1");   // ... every page, in tree order
//   dialog.SetTitle("LMD Settings");
//   dialog.SetLogoText("LMD");
//   dialog.SetTreeImageList(LoadImageList("TREE_ITEM_IMAGE", 16, 0x000000));
//   dialog.SetInitialPage(lastIndex);
//   const int result = dialog.exec();
//   lastIndex = dialog.InitialPage();
#include "platform/dialog.h"
#include "platform/resources.h"
#include "settings/property_page.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class CPrefsStatic;
class QTreeWidget;
class QTreeWidgetItem;

// The images of an image list, by index.
using ImageList = std::vector<QIcon>;

// An image list cut from a bitmap strip of square images cx pixels wide;
// pixels of the mask colour are transparent. Empty without the bitmap.
ImageList LoadImageList(const platform::ResourceId& bitmap, int cx, platform::COLORREF mask);

// Makes a page as a child of the dialog.
using PageFactory = std::function<std::unique_ptr<CPropertyPage>(QWidget* parent)>;

class CSettingsDialog : public QDialog
{
public:
    static constexpr int IDD = 201;
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    static constexpr int IDC_PAGE_TREE = 1000;
    static constexpr int IDC_CAPTION_BAR = 1001;
    static constexpr int IDC_PAGE_FRAME = 1002;
    static constexpr int IDC_APPLY = 1003;

    // One page of the dialog, in tree order (the order is also its image index).
    struct _PageInfo
    {
        int nTemplateID = 0;
        PageFactory factory;
        std::unique_ptr<CPropertyPage> pWnd; // the page once made; a child of the dialog
        QString strCaption;            // tree item text and caption-bar text
        QString strParentCaption;      // caption of the item to insert under; empty: top level
        QTreeWidgetItem* item = nullptr;
    };

    // The owner is the window the dialog belongs to, whose screen it is
    // centred on; it is not the dialog's parent and does not delete it.
    explicit CSettingsDialog(QWidget* owner = nullptr);
    ~CSettingsDialog() override;

    // The dialog as data (template 201).
    static const platform::DialogTemplate& Template();

    // Adds a page before the dialog is shown; pages added later are ignored.
    void AddPage(PageFactory factory, int templateId, const QString& caption,
                 const QString& parentCaption = QString());
    template <typename Page> void AddPage(int templateId, const QString& caption)
    {
        AddPage([](QWidget* parent) { return std::make_unique<Page>(parent); }, templateId, caption);
    }
    void SetTitle(const QString& title) { m_strTitle = title; }
    void SetLogoText(const QString& text) { m_strLogoText = text; }
    // Without an image list the tree's items have no images.
    void SetTreeImageList(ImageList images) { m_treeImages = std::move(images); }
    // The page shown at opening (an index into the page list); after the dialog
    // has ended, the index of the page that was current then.
    void SetInitialPage(int index) { m_nInitialPage = index; }
    int InitialPage() const { return m_nInitialPage; }

    // --- State, for tests ---
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const _PageInfo& PageInfo(int index) const { return *m_pages.at(static_cast<std::size_t>(index)); }
    // The current page's index, or -1 before a page has been shown.
    int CurrentPageIndex() const;
    QTreeWidget* Tree() const { return m_tree; }
    CPrefsStatic* CaptionBar() const { return m_captionBar; }
    const platform::DialogControls& Controls() const { return m_controls; }
    // Where pages are placed: the page-area marker, 2 pixels in on every side.
    QRect PageRect() const { return m_rcPage; }

    void setVisible(bool visible) override;
    void accept() override; // OK
    void reject() override; // Cancel and the close box

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();
    void CenterOnWorkArea();
    void InitTreeCtrl();
    QTreeWidgetItem* FindTreeItemByText(const QString& caption) const;
    void ExpandBranch(QTreeWidgetItem* item);
    void ShowPage(_PageInfo* info, bool show);
    void OnSelChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void SavePageData();
    void DestroyPages();
    void StoreCurrentPageIndex();
    _PageInfo* PageOf(const QTreeWidgetItem* item) const;

    QPointer<QWidget> m_owner;
    platform::DialogControls m_controls;
    std::vector<std::unique_ptr<_PageInfo>> m_pages;
    QString m_strTitle;
    QString m_strLogoText;
    ImageList m_treeImages;
    QTreeWidget* m_tree = nullptr;
    CPrefsStatic* m_captionBar = nullptr;
    QRect m_rcPage;
    int m_nInitialPage = 0;
    _PageInfo* m_pCurrentPage = nullptr;
    bool m_bInitialized = false;
};
