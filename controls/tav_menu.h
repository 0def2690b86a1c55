#pragma once
// TavMenu: an owner-drawn popup menu. It loads a binary menu template, turns
// every item below the top level into an owner-drawn item carrying a
// TavMenuData record, measures and draws those items itself (a flat style with
// a shaded icon column, or the classic raised style), lines up the accelerator
// texts after a tab, and answers typed characters with the item whose "&x"
// mnemonic matches.
//
// CMenu is the menu as the windowing system keeps it: an ordered list of
// items (command, separator or popup) with flags, a text for plain string
// items and a record for owner-drawn ones. A popup item points at its submenu.
// Tracking a menu shows it as a Qt popup: the window that owns the menu
// (MenuOwner) measures and draws the owner-drawn items and answers characters
// that no item claims, as WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR do.
//
// Menu template layout (little-endian words): a header of version (0) and
// offset words, the items starting offset bytes after the header; each item is
// a flags word, a command-id word unless the item is a popup, and its
// NUL-terminated UTF-16 text. A popup's items follow it; MF_END marks the last
// item of a level. A template that is truncated, nested too deeply or of the
// extended kind is refused with a reason, and the menu is left as it was.
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/surface.h"

#include <QByteArrayView>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

// Item type and state bits, with the values Windows gives them.
enum MenuFlag : unsigned
{
    MF_STRING = 0x0,
    MF_GRAYED = 0x1,
    MF_DISABLED = 0x2,
    MF_CHECKED = 0x8,
    MF_POPUP = 0x10,
    MF_END = 0x80,
    MF_OWNERDRAW = 0x100,
    MFT_RADIOCHECK = 0x200,
    MF_BYPOSITION = 0x400,
    MF_SEPARATOR = 0x800,
};

// Item state bits of a draw request.
enum OwnerDrawState : unsigned
{
    ODS_SELECTED = 0x1,
    ODS_GRAYED = 0x2,
    ODS_DISABLED = 0x4,
    ODS_CHECKED = 0x8,
};

// Answers to a typed character (high word of the result).
enum MenuCharAnswer : unsigned
{
    MNC_IGNORE = 0,
    MNC_CLOSE = 1,
    MNC_EXECUTE = 2,
    MNC_SELECT = 3,
};

constexpr platform::LRESULT MAKELRESULT(unsigned low, unsigned high)
{
    return static_cast<platform::LRESULT>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

class CMenu;

// The drawing record of one owner-drawn item.
struct TavMenuData
{
    QString text;                // the item's text, accelerator after a tab
    int ownImageIndex = -1;      // index into ownImages
    int commandImageIndex = -1;  // index of the command in the shared command images, -1 none
    unsigned flags = 0;          // the MF_ flags the item was appended or modified with
    unsigned id = 0;             // command id; 0 for separators and popups
    CMenu* submenu = nullptr;    // a popup's menu
    bool matched = false;        // used while the records are rebuilt (SyncItems)
    std::vector<QImage> ownImages; // the item's own pictures, icon size
};

// One item of a menu.
struct MenuItem
{
    unsigned flags = 0;                // MF_ type and state bits
    unsigned id = 0;                   // command id; 0 for a separator
    CMenu* submenu = nullptr;          // MF_POPUP: the submenu
    QString text;                      // plain string items
    const TavMenuData* data = nullptr; // MF_OWNERDRAW: the drawing record
};

// What the owner of a menu gets to measure an owner-drawn item (WM_MEASUREITEM).
struct MEASUREITEMSTRUCT
{
    unsigned itemID = 0;
    int itemWidth = 0;
    int itemHeight = 0;
    const TavMenuData* itemData = nullptr;
};

// What the owner of a menu gets to draw an owner-drawn item (WM_DRAWITEM).
struct DRAWITEMSTRUCT
{
    unsigned itemID = 0;
    unsigned itemState = 0; // OwnerDrawState bits
    QPainter* hDC = nullptr;
    QRect rcItem;
    const CMenu* hwndItem = nullptr; // the menu holding the item
    const TavMenuData* itemData = nullptr;
};

// The window that owns a tracked menu.
class MenuOwner
{
public:
    virtual void OnMeasureItem(MEASUREITEMSTRUCT& measure) = 0;
    virtual void OnDrawItem(const DRAWITEMSTRUCT& draw) = 0;
    // A character typed in menu (flags MF_POPUP); MAKELRESULT(position,
    // MNC_EXECUTE) chooses an item, 0 lets the menu's own mnemonics decide.
    virtual platform::LRESULT OnMenuChar(QChar character, unsigned flags, CMenu* menu) = 0;

protected:
    ~MenuOwner() = default;
};

class CMenu
{
public:
    CMenu() = default;
    virtual ~CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // An empty menu bar or popup menu; any items held before are dropped.
    bool CreateMenu();
    bool CreatePopupMenu();
    // Drops the items; the menu no longer exists afterwards.
    virtual bool DestroyMenu();
    bool IsMenu() const { return m_exists; }

    // -1 when the menu does not exist.
    int GetMenuItemCount() const;
    // The item at a position, or null.
    const MenuItem* GetItem(int position) const;
    CMenu* GetSubMenu(int position) const;

    // The item changes keep their items' submenus and records where they are;
    // they fail on a menu that does not exist or a position out of range.
    bool AppendMenu(const MenuItem& item);
    bool InsertMenu(int position, const MenuItem& item);
    bool ModifyMenu(int position, const MenuItem& item);
    bool RemoveMenu(int position);

    // Shows the menu as a popup at a screen point and waits for the choice;
    // returns the chosen command id, 0 when the menu was closed without one.
    unsigned TrackPopupMenu(const QPoint& screenPoint, MenuOwner& owner);

    // The owner-drawn item requests; the plain menu draws nothing.
    virtual void MeasureItem(MEASUREITEMSTRUCT& measure) const;
    virtual void DrawItem(const DRAWITEMSTRUCT& draw) const;

private:
    bool m_exists = false;
    std::vector<MenuItem> m_items;
};

// One item's picture off the screen: drawing goes to a bitmap of the item's
// size placed at the item rectangle, copied to the target when it goes out of
// scope. A printer target is drawn on directly.
class TavMenuMemDC
{
public:
    TavMenuMemDC(QPainter& target, const QRect& rect);
    ~TavMenuMemDC();
    TavMenuMemDC(const TavMenuMemDC&) = delete;
    TavMenuMemDC& operator=(const TavMenuMemDC&) = delete;

    QPainter& Painter() { return m_bMemDC ? m_painter : m_target; }

private:
    QPainter& m_target;
    QRect m_rect;
    bool m_bMemDC;
    QImage m_bitmap;
    QPainter m_painter;
};

// A menu template read into its items, in template order; error says why a
// template cannot be read (empty when it can).
struct MenuTemplateItem
{
    unsigned flags = 0;
    unsigned id = 0;
    QString text;
};
struct MenuTemplate
{
    std::vector<MenuTemplateItem> items;
    QString error;
};
MenuTemplate DecodeMenuTemplate(QByteArrayView bytes);

class TavMenu : public CMenu
{
public:
    enum class DrawStyle
    {
        Classic, // raised boxes and selection in the highlight colour
        Flat,    // a shaded icon column and a light, framed selection
    };
    enum class DisabledImageStyle
    {
        Mask,          // the picture's non-face pixels embossed
        MonochromeDib, // the picture's dark pixels embossed on a filled box
    };

    TavMenu();
    ~TavMenu() override;

    // Loads a "menu" resource, or a template from memory. False when there is
    // none or it cannot be read; the menu is then left as it was.
    bool LoadMenu(const platform::ResourceId& id);
    bool LoadMenu(QByteArrayView menuTemplate);
    bool DestroyMenu() override;

    // Appends an owner-drawn item: a command, or a separator for id 0.
    bool AppendItem(const QString& text, unsigned flags, unsigned id);
    // Appends an owner-drawn popup holding submenu; the menu keeps it.
    bool AppendItem(const QString& text, unsigned flags, std::unique_ptr<TavMenu> submenu);
    // Gives the item at a position a new record with this text, flags and id.
    bool ModifyItem(int position, unsigned flags, unsigned id, const QString& text);
    // Rebuilds the records to match the menu's current items, in menu order.
    void SyncItems();

    // The answer to a typed character for menu: the first item whose text
    // holds "&" and the character (ignoring case), as MAKELRESULT(position,
    // MNC_EXECUTE); 0 when none does, the flags lack MF_POPUP or the menu is
    // not a TavMenu.
    static platform::LRESULT FindMnemonicItem(QChar character, unsigned flags, CMenu* menu);
    // Whether a menu is an owner-drawn popup of some TavMenu.
    static bool IsOwnerDrawnMenu(const CMenu* menu);
    // The classic desktop theme is never active here.
    static bool IsNonClassicTheme() { return true; }

    void MeasureItem(MEASUREITEMSTRUCT& measure) const override;
    void DrawItem(const DRAWITEMSTRUCT& draw) const override;

    // The drawing records, in menu order.
    const std::vector<std::unique_ptr<TavMenuData>>& Items() const { return m_MenuList; }
    // The style the items are measured and drawn in (flat unless the classic theme is on).
    void SetDrawStyle(DrawStyle style) { m_drawStyle = style; }
    void SetDisabledImageStyle(DisabledImageStyle style) { m_disabledImageStyle = style; }
    // Gives the item at a position its own pictures; index picks the one drawn
    // (three pictures with index 0: normal, hot and shadow).
    bool SetItemImages(int position, std::vector<QImage> images, int index);

    // The shared pictures of commands: a command may have one, or three in a
    // row (normal, hot, shadow). Items appended later find them.
    static void AddCommandImage(unsigned id, const QImage& image);
    static void RemoveCommandImages();

    // The font the items are measured and drawn in.
    static QFont MenuFont();
    // Each channel c of colour becomes c + (255 - c) x factor (truncated) for
    // a factor in (0, 1]; other factors leave the colour as it is.
    static platform::COLORREF LightenColor(platform::COLORREF colour, double factor);

    static constexpr int kIconWidth = 16;
    static constexpr int kIconHeight = 15;

private:
    bool LoadTemplate(const MenuTemplate& decoded);
    bool AppendRecord(std::unique_ptr<TavMenuData> record, CMenu* submenu);
    void FixTopLevel();
    void AlignAccelerators();
    void DrawItemClassic(const DRAWITEMSTRUCT& draw) const;
    void DrawItemFlat(const DRAWITEMSTRUCT& draw) const;
    // The picture an item shows, null when none.
    QImage ItemImage(const TavMenuData& data) const;
    void DrawDisabledImage(QPainter& painter, const QPoint& at, const QImage& image,
                           platform::COLORREF background) const;

    std::vector<std::unique_ptr<TavMenuData>> m_MenuList;
    std::vector<std::unique_ptr<TavMenu>> m_SubMenus;
    DrawStyle m_drawStyle;
    DisabledImageStyle m_disabledImageStyle = DisabledImageStyle::Mask;
    bool m_loaded = false;
};
