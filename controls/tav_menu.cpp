#include "controls/tav_menu.h"

#include "controls/gdi_draw.h"
#include "platform/dialog.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>
#include <cmath>
#include <optional>

using platform::COLORREF;
using platform::LRESULT;

namespace {

COLORREF Sys(int index)
{
    return platform::GetSysColor(index);
}

// The bits that say what an item is and how it looks; MF_BYPOSITION only
// says how a call finds its item.
constexpr unsigned kItemBits = ~static_cast<unsigned>(MF_BYPOSITION | MF_END);

// --- process-wide state -------------------------------------------------------------

// The popups of every TavMenu, which their owners answer typed characters for.
std::vector<const CMenu*>& OwnerDrawnMenus()
{
    static std::vector<const CMenu*> menus;
    return menus;
}

// The shared command pictures and, in parallel, their command ids.
struct CommandImages
{
    std::vector<QImage> images;
    std::vector<unsigned> ids;
};
CommandImages& SharedImages()
{
    static CommandImages shared;
    return shared;
}

int CommandImageIndex(unsigned id)
{
    const auto& ids = SharedImages().ids;
    const auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

// --- tracking -------------------------------------------------------------------------

class TrackedMenu;

// Hands the measuring and drawing of owner-drawn items to the menu's owner.
class OwnerDrawStyle final : public QProxyStyle
{
public:
    explicit OwnerDrawStyle(MenuOwner& owner) : m_owner(owner) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    MenuOwner& m_owner;
};

// One level of a tracked menu: one action per item of the menu, in order.
class TrackedMenu final : public QMenu
{
public:
    TrackedMenu(CMenu& menu, MenuOwner& owner, QStyle& style, QWidget* parent = nullptr)
        : QMenu(parent), m_menu(menu), m_owner(owner)
    {
        setStyle(&style);
        for (int i = 0; i < menu.GetMenuItemCount(); ++i)
            AddItem(*menu.GetItem(i), style);
    }

    CMenu& Menu() const { return m_menu; }

    // The owner-drawn item an action stands for, or null.
    const MenuItem* OwnerDrawnItem(const QObject* action) const
    {
        const int position = actions().indexOf(qobject_cast<const QAction*>(action));
        const MenuItem* item = m_menu.GetItem(position);
        return item && (item->flags & MF_OWNERDRAW) && item->data ? item : nullptr;
    }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenu::initStyleOption(option, action);
        option->styleObject = const_cast<QAction*>(action);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const QString typed = event->text();
        if (typed.size() == 1 && typed[0].isPrint()) {
            const LRESULT answer = m_owner.OnMenuChar(typed[0], MF_POPUP, &m_menu);
            if (((answer >> 16) & 0xFFFF) == MNC_EXECUTE) {
                ChooseAt(static_cast<int>(answer & 0xFFFF));
                return;
            }
        }
        QMenu::keyPressEvent(event);
    }

private:
    void AddItem(const MenuItem& item, QStyle& style)
    {
        // The menu knows no mnemonics of owner-drawn items: their owner answers
        // the typed characters (keyPressEvent), so their "&" stays literal here.
        const QString text = item.data ? QString(item.data->text).replace(QLatin1Char('&'), QLatin1String("&&"))
                                       : item.text;
        QAction* action = nullptr;
        if (item.flags & MF_POPUP) {
            if (!item.submenu) {
                action = addAction(text);
            } else {
                auto* const submenu = new TrackedMenu(*item.submenu, m_owner, style, this);
                submenu->setTitle(text.section(QLatin1Char('\t'), 0, 0));
                action = addMenu(submenu);
            }
        } else if (item.flags & MF_SEPARATOR) {
            action = addSeparator();
        } else {
            action = addAction(text.section(QLatin1Char('\t'), 0, 0));
            action->setData(item.id);
        }
        action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
        action->setCheckable(item.flags & MF_CHECKED);
        action->setChecked(item.flags & MF_CHECKED);
    }

    // Chooses the item at a position as Enter on it would: runs a command,
    // opens a popup.
    void ChooseAt(int position)
    {
        QAction* const action = actions().value(position);
        if (!action || !action->isEnabled() || action->isSeparator())
            return;
        setActiveAction(action);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenu::keyPressEvent(&enter);
    }

    CMenu& m_menu;
    MenuOwner& m_owner;
};

QSize OwnerDrawStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                       const QWidget* widget) const
{
    const auto* const menu = dynamic_cast<const TrackedMenu*>(widget);
    const MenuItem* const item = type == CT_MenuItem && menu ? menu->OwnerDrawnItem(option->styleObject) : nullptr;
    if (!item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    MEASUREITEMSTRUCT measure;
    measure.itemID = item->id;
    measure.itemData = item->data;
    m_owner.OnMeasureItem(measure);
    // A menu drops items of no width; a separator adds none to the menu's width.
    return {std::max(measure.itemWidth, 1), measure.itemHeight};
}

void OwnerDrawStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    const auto* const menu = dynamic_cast<const TrackedMenu*>(widget);
    const auto* const menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const MenuItem* const item =
        element == CE_MenuItem && menu && menuOption ? menu->OwnerDrawnItem(option->styleObject) : nullptr;
    if (!item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    DRAWITEMSTRUCT draw;
    draw.itemID = item->id;
    draw.itemState = (option->state & State_Selected ? ODS_SELECTED : 0u) |
                     (option->state & State_Enabled ? 0u : ODS_GRAYED) | (menuOption->checked ? ODS_CHECKED : 0u);
    draw.hDC = painter;
    draw.rcItem = option->rect;
    draw.hwndItem = &menu->Menu();
    draw.itemData = item->data;
    painter->save();
    m_owner.OnDrawItem(draw);
    painter->restore();
}

// --- drawing aids ---------------------------------------------------------------------

// A filled 6 x 6 circle: the pixel runs of each row.
void DrawRadioDot(QPainter& painter, int left, int top, COLORREF colour)
{
    static constexpr int kInset[6] = {1, 0, 0, 0, 0, 1};
    for (int row = 0; row < 6; ++row)
        controls::FillSolidRect(painter, QRect(left + kInset[row], top + row, 6 - 2 * kInset[row], 1), colour);
}

// Seven vertical strokes of three pixels: the tick rises from the left.
void DrawCheckMark(QPainter& painter, int left, int top, COLORREF colour)
{
    static constexpr int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int column = 0; column < 7; ++column)
        controls::FillSolidRect(painter, QRect(left + column, top + kDrop[column], 1, 3), colour);
}

// A picture at icon size on the button face, as a disabled picture starts.
QImage IconToBitmap(const QImage& image)
{
    QImage bitmap(TavMenu::kIconWidth, TavMenu::kIconHeight, QImage::Format_RGB32);
    bitmap.fill(platform::ToPixel(Sys(platform::COLOR_BTNFACE)));
    QPainter painter(&bitmap);
    painter.drawImage(QRect(0, 0, TavMenu::kIconWidth, TavMenu::kIconHeight), image);
    return bitmap;
}

// The pixels of bitmap that isInk picks, in one colour; the rest transparent.
template <typename Pick> QImage InkOf(const QImage& bitmap, Pick isInk, COLORREF colour)
{
    QImage out(bitmap.size(), QImage::Format_ARGB32);
    const QRgb pixel = platform::ToPixel(colour);
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x)
            dst[x] = isInk(src[x] & 0xFFFFFF) ? pixel : 0;
    }
    return out;
}

// The ink in the highlight colour one pixel down and right, then in the
// shadow colour in place.
template <typename Pick> void StampEmbossed(QPainter& painter, const QPoint& at, const QImage& bitmap, Pick isInk)
{
    painter.drawImage(at + QPoint(1, 1), InkOf(bitmap, isInk, Sys(platform::COLOR_BTNHIGHLIGHT)));
    painter.drawImage(at, InkOf(bitmap, isInk, Sys(platform::COLOR_BTNSHADOW)));
}

// The text of an item: the part before the first tab at the left, the
// accelerator after it at the right, short of the icon width from the edge.
void DrawItemText(QPainter& painter, const QRect& rect, const QString& text, COLORREF colour)
{
    constexpr int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    painter.setFont(TavMenu::MenuFont());
    painter.setPen(platform::ToQColor(colour));
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    painter.drawText(rect, flags | Qt::AlignLeft, text.left(tab));
    if (tab >= 0)
        painter.drawText(rect.adjusted(0, 0, -TavMenu::kIconWidth, 0), flags | Qt::AlignRight, text.mid(tab + 1));
}

// The item of the drawn menu that holds the drawn record, or null.
const MenuItem* FindItem(const DRAWITEMSTRUCT& draw)
{
    for (int i = 0; draw.hwndItem && i < draw.hwndItem->GetMenuItemCount(); ++i)
        if (draw.hwndItem->GetItem(i)->data == draw.itemData)
            return draw.hwndItem->GetItem(i);
    return nullptr;
}

// Half of a length rounded to the nearest pixel (halves up).
int HalfRounded(int length)
{
    return static_cast<int>(std::lround(length / 2.0));
}

// --- template reading -------------------------------------------------------------------

class TemplateReader
{
public:
    explicit TemplateReader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool Word(unsigned& value)
    {
        if (m_bytes.size() - m_pos < 2)
            return false;
        value = static_cast<unsigned char>(m_bytes[m_pos]) | (static_cast<unsigned char>(m_bytes[m_pos + 1]) << 8);
        m_pos += 2;
        return true;
    }
    bool Skip(qsizetype count)
    {
        if (m_bytes.size() - m_pos < count)
            return false;
        m_pos += count;
        return true;
    }
    // Words up to and without the terminating NUL.
    bool Text(QString& text)
    {
        std::u16string units;
        for (unsigned unit = 0;;) {
            if (!Word(unit))
                return false;
            if (unit == 0)
                break;
            units.push_back(static_cast<char16_t>(unit));
        }
        text = QString::fromStdU16String(units);
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Deeper than any menu a person would use; bounds the work a bad template makes.
constexpr std::size_t kMaxMenuDepth = 32;

} // namespace

// --- CMenu ------------------------------------------------------------------------------

bool CMenu::CreateMenu()
{
    m_items.clear();
    m_exists = true;
    return true;
}

bool CMenu::CreatePopupMenu()
{
    return CreateMenu();
}

bool CMenu::DestroyMenu()
{
    const bool existed = m_exists;
    m_items.clear();
    m_exists = false;
    return existed;
}

int CMenu::GetMenuItemCount() const
{
    return m_exists ? static_cast<int>(m_items.size()) : -1;
}

const MenuItem* CMenu::GetItem(int position) const
{
    return position >= 0 && position < static_cast<int>(m_items.size()) ? &m_items[static_cast<std::size_t>(position)]
                                                                        : nullptr;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    const MenuItem* const item = GetItem(position);
    return item && (item->flags & MF_POPUP) ? item->submenu : nullptr;
}

bool CMenu::AppendMenu(const MenuItem& item)
{
    return InsertMenu(static_cast<int>(m_items.size()), item);
}

bool CMenu::InsertMenu(int position, const MenuItem& item)
{
    if (!m_exists || position < 0 || position > static_cast<int>(m_items.size()))
        return false;
    MenuItem stored = item;
    stored.flags &= kItemBits;
    m_items.insert(m_items.begin() + position, stored);
    return true;
}

bool CMenu::ModifyMenu(int position, const MenuItem& item)
{
    if (!m_exists || !GetItem(position))
        return false;
    MenuItem& stored = m_items[static_cast<std::size_t>(position)];
    stored = item;
    stored.flags &= kItemBits;
    return true;
}

bool CMenu::RemoveMenu(int position)
{
    if (!m_exists || !GetItem(position))
        return false;
    m_items.erase(m_items.begin() + position);
    return true;
}

unsigned CMenu::TrackPopupMenu(const QPoint& screenPoint, MenuOwner& owner)
{
    if (!m_exists)
        return 0;
    OwnerDrawStyle style(owner); // outlives the menus that use it
    TrackedMenu menu(*this, owner, style);
    const QAction* const chosen = menu.exec(screenPoint);
    return chosen ? chosen->data().toUInt() : 0;
}

void CMenu::MeasureItem(MEASUREITEMSTRUCT&) const {}

void CMenu::DrawItem(const DRAWITEMSTRUCT&) const {}

// --- TavMenuMemDC ---------------------------------------------------------------------------

TavMenuMemDC::TavMenuMemDC(QPainter& target, const QRect& rect)
    : m_target(target), m_rect(rect),
      m_bMemDC(!(target.device() && target.device()->devType() == QInternal::Printer) && !rect.isEmpty())
{
    if (!m_bMemDC)
        return;
    m_bitmap = QImage(rect.size(), QImage::Format_RGB32);
    m_painter.begin(&m_bitmap);
    m_painter.setRenderHints(target.renderHints());
    m_painter.setFont(target.font());
    m_painter.translate(-rect.topLeft());
}

TavMenuMemDC::~TavMenuMemDC()
{
    if (!m_bMemDC)
        return;
    m_painter.end();
    m_target.drawImage(m_rect.topLeft(), m_bitmap);
}

// --- template decoding -------------------------------------------------------------------

MenuTemplate DecodeMenuTemplate(QByteArrayView bytes)
{
    MenuTemplate decoded;
    const auto fail = [&decoded](const QString& why) {
        decoded.items.clear();
        decoded.error = why;
        return decoded;
    };
    TemplateReader reader(bytes);
    unsigned version = 0;
    unsigned offset = 0;
    if (!reader.Word(version) || !reader.Word(offset))
        return fail(QStringLiteral("the menu template is shorter than its header"));
    if (version != 0)
        return fail(QStringLiteral("menu template version %1 is not supported").arg(version));
    if (!reader.Skip(offset))
        return fail(QStringLiteral("the menu template's items start past its end"));

    // One end mark per open level, as the menu is built.
    std::vector<bool> ended{false};
    while (!ended.empty()) {
        MenuTemplateItem item;
        const int number = static_cast<int>(decoded.items.size()) + 1;
        if (!reader.Word(item.flags) || (!(item.flags & MF_POPUP) && !reader.Word(item.id)) ||
            !reader.Text(item.text))
            return fail(QStringLiteral("the menu template ends inside item %1").arg(number));
        if (item.flags & MF_END)
            ended.back() = true;
        if (item.flags & MF_POPUP) {
            if (ended.size() >= kMaxMenuDepth)
                return fail(QStringLiteral("the menu template nests more than %1 levels").arg(kMaxMenuDepth));
            ended.push_back(false);
        }
        while (!ended.empty() && ended.back())
            ended.pop_back();
        decoded.items.push_back(std::move(item));
    }
    return decoded;
}

// --- TavMenu --------------------------------------------------------------------------------

TavMenu::TavMenu() : m_drawStyle(IsNonClassicTheme() ? DrawStyle::Flat : DrawStyle::Classic) {}

TavMenu::~TavMenu()
{
    DestroyMenu();
}

bool TavMenu::LoadMenu(const platform::ResourceId& id)
{
    const QByteArray bytes = platform::LoadResource(QStringLiteral("menu"), id);
    return !bytes.isEmpty() && LoadMenu(QByteArrayView(bytes));
}

bool TavMenu::LoadMenu(QByteArrayView menuTemplate)
{
    const MenuTemplate decoded = DecodeMenuTemplate(menuTemplate);
    if (!decoded.error.isEmpty()) {
        qWarning("TavMenu: %s", qPrintable(decoded.error));
        return false;
    }
    return LoadTemplate(decoded);
}

bool TavMenu::LoadTemplate(const MenuTemplate& decoded)
{
    DestroyMenu();
    if (!CreateMenu())
        return false;
    // The menus being filled, this one at the bottom, each with its end mark.
    std::vector<TavMenu*> stack{this};
    std::vector<bool> ended{false};
    for (const MenuTemplateItem& item : decoded.items) {
        const unsigned flags = item.flags & ~static_cast<unsigned>(MF_END);
        if (item.flags & MF_POPUP) {
            if (item.flags & MF_END)
                ended.back() = true;
            auto submenu = std::make_unique<TavMenu>();
            submenu->CreatePopupMenu();
            TavMenu* const level = submenu.get();
            stack.back()->AppendItem(item.text, flags, std::move(submenu));
            stack.push_back(level);
            ended.push_back(false);
            continue;
        }
        stack.back()->AppendItem(item.text, flags, item.id);
        if (item.flags & MF_END)
            ended.back() = true;
        while (!stack.empty() && ended.back()) {
            stack.back()->AlignAccelerators();
            stack.pop_back();
            ended.pop_back();
        }
    }
    FixTopLevel();
    m_loaded = true;
    return true;
}

bool TavMenu::DestroyMenu()
{
    auto& registered = OwnerDrawnMenus();
    std::erase(registered, this);
    for (const auto& submenu : m_SubMenus)
        std::erase(registered, submenu.get());
    const bool existed = CMenu::DestroyMenu();
    m_SubMenus.clear();
    m_MenuList.clear();
    m_loaded = false;
    return existed;
}

bool TavMenu::AppendItem(const QString& text, unsigned flags, unsigned id)
{
    auto record = std::make_unique<TavMenuData>();
    record->flags = id == 0 ? MF_SEPARATOR | MF_OWNERDRAW | (flags & MF_BYPOSITION) : flags | MF_OWNERDRAW;
    record->text = text;
    record->id = id;
    record->commandImageIndex = CommandImageIndex(id);
    return AppendRecord(std::move(record), nullptr);
}

bool TavMenu::AppendItem(const QString& text, unsigned flags, std::unique_ptr<TavMenu> submenu)
{
    if (!submenu)
        return false;
    auto record = std::make_unique<TavMenuData>();
    record->flags = flags | MF_POPUP | MF_OWNERDRAW;
    record->text = text;
    record->submenu = submenu.get();
    if (!AppendRecord(std::move(record), submenu.get()))
        return false;
    OwnerDrawnMenus().push_back(submenu.get());
    m_SubMenus.push_back(std::move(submenu));
    return true;
}

bool TavMenu::AppendRecord(std::unique_ptr<TavMenuData> record, CMenu* submenu)
{
    if (!AppendMenu({record->flags, record->id, submenu, {}, record.get()}))
        return false;
    m_MenuList.push_back(std::move(record));
    if (m_loaded)
        FixTopLevel();
    return true;
}

bool TavMenu::ModifyItem(int position, unsigned flags, unsigned id, const QString& text)
{
    const MenuItem* const item = GetItem(position);
    if (!item)
        return false;
    auto record = std::make_unique<TavMenuData>();
    record->text = text;
    record->flags = flags;
    record->id = id;
    record->commandImageIndex = CommandImageIndex(id);
    record->submenu = flags & MF_POPUP ? item->submenu : nullptr;
    const bool ownerDrawn = flags & MF_OWNERDRAW;
    if (!ModifyMenu(position,
                    {flags, id, record->submenu, ownerDrawn ? QString() : text, ownerDrawn ? record.get() : nullptr}))
        return false;
    // The records are kept in menu order: the new one takes the old one's place.
    if (position < static_cast<int>(m_MenuList.size()))
        m_MenuList[static_cast<std::size_t>(position)] = std::move(record);
    else
        m_MenuList.push_back(std::move(record));
    return true;
}

void TavMenu::SyncItems()
{
    for (const auto& record : m_MenuList)
        record->matched = false;
    // The first record not yet taken that the predicate accepts, moved out.
    const auto take = [this](auto accepts) -> std::unique_ptr<TavMenuData> {
        for (auto& record : m_MenuList)
            if (record && !record->matched && accepts(*record))
                return std::move(record);
        return nullptr;
    };

    std::vector<std::unique_ptr<TavMenuData>> synced;
    for (int position = 0; position < GetMenuItemCount(); ++position) {
        const MenuItem item = *GetItem(position);
        // A plain string item brings its text along; an owner-drawn one keeps its record's.
        const bool plain = !(item.flags & MF_OWNERDRAW) || !item.data;
        std::unique_ptr<TavMenuData> record;
        unsigned flags = item.flags | MF_OWNERDRAW | MF_BYPOSITION;
        if (item.flags & MF_POPUP) {
            record = take([&](const TavMenuData& r) { return (r.flags & MF_POPUP) && r.submenu == item.submenu; });
        } else if (item.flags & MF_SEPARATOR) {
            record = take([](const TavMenuData& r) { return !(r.flags & MF_POPUP) && r.id == 0; });
            flags |= MF_SEPARATOR;
        } else {
            record = take([&](const TavMenuData& r) { return !(r.flags & MF_POPUP) && r.id == item.id; });
        }
        if (!record) {
            record = std::make_unique<TavMenuData>();
            record->id = item.flags & MF_POPUP ? 0 : item.id;
            record->submenu = item.flags & MF_POPUP ? item.submenu : nullptr;
            record->commandImageIndex = CommandImageIndex(record->id);
        }
        if (plain)
            record->text = item.flags & MF_SEPARATOR ? QString() : item.text;
        record->flags = flags;
        record->matched = true;
        ModifyMenu(position, {flags, item.id, item.submenu, {}, record.get()});
        synced.push_back(std::move(record));
    }
    m_MenuList = std::move(synced);
}

void TavMenu::FixTopLevel()
{
    const int count = std::min(GetMenuItemCount(), static_cast<int>(m_MenuList.size()));
    for (int position = 0; position < count; ++position) {
        TavMenuData& record = *m_MenuList[static_cast<std::size_t>(position)];
        const unsigned type = record.flags & MF_POPUP;
        ModifyMenu(position, {type, record.id, record.submenu, record.text, nullptr});
        record.flags = MF_BYPOSITION | type;
    }
}

void TavMenu::AlignAccelerators()
{
    const QFontMetrics metrics(MenuFont());
    const QLatin1Char tab('\t');
    int widest = 0;
    for (const auto& record : m_MenuList)
        widest = std::max(widest, metrics.horizontalAdvance(record->text.section(tab, 0, 0) + QLatin1Char(' ')));
    for (const auto& record : m_MenuList) {
        const qsizetype at = record->text.indexOf(tab);
        if (at < 0)
            continue;
        QString label = record->text.left(at);
        while (metrics.horizontalAdvance(label) < widest)
            label += QLatin1Char(' ');
        record->text = label + record->text.mid(at);
    }
}

LRESULT TavMenu::FindMnemonicItem(QChar character, unsigned flags, CMenu* menu)
{
    auto* const tav = dynamic_cast<TavMenu*>(menu);
    if (!tav || !(flags & MF_POPUP))
        return 0;
    const QString key = (QStringLiteral("&") + character).toLower();
    if (tav->GetMenuItemCount() != static_cast<int>(tav->m_MenuList.size()))
        tav->SyncItems();
    for (std::size_t i = 0; i < tav->m_MenuList.size(); ++i)
        if (tav->m_MenuList[i]->text.toLower().contains(key))
            return MAKELRESULT(static_cast<unsigned>(i), MNC_EXECUTE);
    return 0;
}

bool TavMenu::IsOwnerDrawnMenu(const CMenu* menu)
{
    const auto& registered = OwnerDrawnMenus();
    return menu && std::find(registered.begin(), registered.end(), menu) != registered.end();
}

bool TavMenu::SetItemImages(int position, std::vector<QImage> images, int index)
{
    if (position < 0 || position >= static_cast<int>(m_MenuList.size()))
        return false;
    TavMenuData& record = *m_MenuList[static_cast<std::size_t>(position)];
    record.ownImages = std::move(images);
    record.ownImageIndex = index;
    return true;
}

void TavMenu::AddCommandImage(unsigned id, const QImage& image)
{
    SharedImages().images.push_back(image);
    SharedImages().ids.push_back(id);
}

void TavMenu::RemoveCommandImages()
{
    SharedImages() = {};
}

QFont TavMenu::MenuFont()
{
    return platform::WindowsFont(QStringLiteral("Meiryo UI"), 9);
}

COLORREF TavMenu::LightenColor(COLORREF colour, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return colour;
    const auto lighten = [factor](int c) { return static_cast<int>(c + (255 - c) * factor); };
    return platform::Rgb(lighten(platform::GetRValue(colour)), lighten(platform::GetGValue(colour)),
                         lighten(platform::GetBValue(colour)));
}

// --- measuring and drawing -------------------------------------------------------------------

void TavMenu::MeasureItem(MEASUREITEMSTRUCT& measure) const
{
    // The spacing of the themed look; the classic theme never shows here.
    constexpr int kSpacing = 7;
    if (!measure.itemData)
        return;
    if (measure.itemData->flags & MF_SEPARATOR) {
        measure.itemWidth = 0;
        measure.itemHeight = std::max((kIconHeight + kSpacing) / 2, platform::GetSystemMetrics(platform::SM_CYMENU) / 2);
        return;
    }
    // A tab counts as one blank, the labels being lined up with blanks already,
    // plus the icon width the accelerator keeps from the right edge, so that it
    // never runs into its label.
    QString text = measure.itemData->text;
    const bool accelerator = text.contains(QLatin1Char('\t'));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    const int textWidth = QFontMetrics(MenuFont()).horizontalAdvance(text) + (accelerator ? kIconWidth : 0);
    measure.itemWidth = kSpacing + kIconWidth + textWidth + 8;
    measure.itemHeight = std::max(platform::GetSystemMetrics(platform::SM_CYMENU), kSpacing + kIconHeight);
}

void TavMenu::DrawItem(const DRAWITEMSTRUCT& draw) const
{
    if (!draw.hDC || !draw.itemData)
        return;
    if (m_drawStyle == DrawStyle::Classic)
        DrawItemClassic(draw);
    else
        DrawItemFlat(draw);
}

QImage TavMenu::ItemImage(const TavMenuData& data) const
{
    if (data.ownImageIndex >= 0 && data.ownImageIndex < static_cast<int>(data.ownImages.size()))
        return data.ownImages[static_cast<std::size_t>(data.ownImageIndex)];
    const auto& shared = SharedImages().images;
    if (data.commandImageIndex >= 0 && data.commandImageIndex < static_cast<int>(shared.size()))
        return shared[static_cast<std::size_t>(data.commandImageIndex)];
    return {};
}

void TavMenu::DrawDisabledImage(QPainter& painter, const QPoint& at, const QImage& image, COLORREF background) const
{
    const QImage bitmap = IconToBitmap(image);
    if (m_disabledImageStyle == DisabledImageStyle::Mask) {
        // Ink is everything that is not the face or the highlight colour.
        const QRgb face = platform::ToPixel(Sys(platform::COLOR_BTNFACE)) & 0xFFFFFF;
        const QRgb light = platform::ToPixel(Sys(platform::COLOR_BTNHIGHLIGHT)) & 0xFFFFFF;
        StampEmbossed(painter, at, bitmap, [face, light](QRgb p) { return p != face && p != light; });
        return;
    }
    // Ink is every pixel nearer black than white, on the filled box.
    controls::FillSolidRect(painter, QRect(at, bitmap.size()), background);
    StampEmbossed(painter, at, bitmap, [](QRgb p) { return qRed(p) + qGreen(p) + qBlue(p) < 3 * 255 / 2 + 1; });
}

void TavMenu::DrawItemClassic(const DRAWITEMSTRUCT& draw) const
{
    using namespace platform;
    QPainter& painter = *draw.hDC;
    const TavMenuData& data = *draw.itemData;
    const QRect& rect = draw.rcItem;
    const COLORREF background = Sys(IsNonClassicTheme() ? COLOR_BTNFACE : COLOR_MENU);
    if (data.flags & MF_SEPARATOR) {
        controls::FillSolidRect(painter, rect, background);
        controls::DrawEdge(painter, rect.adjusted(0, rect.height() / 2, 0, 0), controls::EDGE_ETCHED, controls::BF_TOP);
        return;
    }
    const bool selected = draw.itemState & ODS_SELECTED;
    const bool grayed = draw.itemState & ODS_GRAYED;
    const bool checked = draw.itemState & ODS_CHECKED;
    const QImage image = ItemImage(data);
    COLORREF textColour = Sys(COLOR_MENUTEXT);
    controls::FillSolidRect(painter, rect, background);
    if (selected) {
        // The icon box keeps the background.
        const int skip = !image.isNull() || checked ? kIconWidth + 5 : 0;
        controls::FillSolidRect(painter, rect.adjusted(skip, 0, 0, 0), Sys(COLOR_HIGHLIGHT));
        textColour = Sys(COLOR_HIGHLIGHTTEXT);
    }

    const QRect box(rect.left(), rect.top() + (rect.height() - (kIconHeight + 4)) / 2, kIconWidth + 4,
                    kIconHeight + 4);
    if (!image.isNull()) {
        if (checked)
            controls::Draw3dRect(painter, box, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        else if (selected)
            controls::Draw3dRect(painter, box, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
        else
            controls::FillSolidRect(painter, box, LightenColor(background, 0.6));
        const QPoint at = box.topLeft() + QPoint(2, 2);
        if (grayed && !checked)
            DrawDisabledImage(painter, at, image, background);
        else
            painter.drawImage(QRect(at, QSize(kIconWidth, kIconHeight)), image);
    } else if (checked) {
        controls::FillSolidRect(painter, box, selected ? background : LightenColor(background, 0.6));
        controls::DrawEdge(painter, box, controls::BDR_SUNKENOUTER, controls::BF_RECT);
        const MenuItem* const item = FindItem(draw);
        if (item && (item->flags & MFT_RADIOCHECK))
            DrawRadioDot(painter, box.left() + 5, box.top() + 4, Sys(COLOR_MENUTEXT));
        else
            DrawCheckMark(painter, box.left() + 4, box.top() + 4, Sys(COLOR_MENUTEXT));
    }

    const QRect textRect = rect.adjusted(kIconWidth + 9, 0, 0, 0);
    if (!grayed) {
        DrawItemText(painter, textRect, data.text, textColour);
    } else if (selected) {
        DrawItemText(painter, textRect, data.text, background);
    } else {
        DrawItemText(painter, textRect.translated(1, 1), data.text, Sys(COLOR_BTNHIGHLIGHT));
        DrawItemText(painter, textRect, data.text, Sys(COLOR_GRAYTEXT));
    }
}

void TavMenu::DrawItemFlat(const DRAWITEMSTRUCT& draw) const
{
    using namespace platform;
    const TavMenuData& data = *draw.itemData;
    const QRect& rect = draw.rcItem;
    const COLORREF textArea = Sys(COLOR_WINDOW);
    const COLORREF column = Sys(COLOR_BTNFACE);
    const COLORREF selection = LightenColor(Sys(COLOR_HIGHLIGHT), 0.7);
    const int columnWidth = kIconWidth + 7;
    const QRect columnRect(rect.left(), rect.top(), columnWidth, rect.height());
    const QRect textAreaRect = rect.adjusted(columnWidth, 0, 0, 0);

    const bool grayed = draw.itemState & ODS_GRAYED;
    const bool selected = (draw.itemState & ODS_SELECTED) && !grayed;
    const bool checked = draw.itemState & ODS_CHECKED;
    // Grayed items are composed off the screen and copied in at once.
    std::optional<TavMenuMemDC> memDC;
    if (grayed) {
        memDC.emplace(*draw.hDC, rect);
        memDC->Painter().setFont(MenuFont());
    }
    QPainter& painter = memDC ? memDC->Painter() : *draw.hDC;

    if (data.flags & MF_SEPARATOR) {
        controls::FillSolidRect(painter, textAreaRect, textArea);
        controls::FillSolidRect(painter, columnRect, column);
        controls::DrawEdge(painter, textAreaRect.adjusted(0, rect.height() / 2, 0, 0), controls::EDGE_ETCHED,
                           controls::BF_TOP);
        return;
    }
    if (selected) {
        controls::FillSolidRect(painter, rect, selection);
        controls::FrameRect(painter, rect, Sys(COLOR_HIGHLIGHT));
    } else {
        controls::FillSolidRect(painter, textAreaRect, textArea);
        controls::FillSolidRect(painter, columnRect, column);
    }

    const QPoint imageAt(rect.left() + HalfRounded(columnWidth - kIconWidth),
                         rect.top() + HalfRounded(rect.height() - kIconHeight));
    const QSize iconSize(kIconWidth, kIconHeight);
    const auto& shared = SharedImages();
    const auto sharedAt = [&shared](int index) { return shared.images[static_cast<std::size_t>(index)]; };
    const bool ownThree = data.ownImages.size() >= 3 && data.ownImageIndex == 0;
    const int c = data.commandImageIndex;
    const bool sharedThree = !ownThree && data.ownImageIndex < 0 && c >= 0 &&
                             c + 2 < static_cast<int>(shared.ids.size()) &&
                             shared.ids[static_cast<std::size_t>(c + 1)] == data.id &&
                             shared.ids[static_cast<std::size_t>(c + 2)] == data.id;
    const QImage image = ItemImage(data);
    if (ownThree || sharedThree) {
        const auto picture = [&](int k) { return ownThree ? data.ownImages[static_cast<std::size_t>(k)] : sharedAt(c + k); };
        if (selected) {
            painter.drawImage(QRect(imageAt + QPoint(1, 1), iconSize), picture(2));
            painter.drawImage(QRect(imageAt - QPoint(1, 1), iconSize), picture(0));
        } else {
            painter.drawImage(QRect(imageAt, iconSize), picture(1));
        }
    } else if (!image.isNull()) {
        painter.drawImage(QRect(imageAt, iconSize), image);
    } else if (checked) {
        const QRect box(rect.left() + HalfRounded(columnWidth - 16), rect.top() + HalfRounded(rect.height() - 16), 16,
                        16);
        controls::FillSolidRect(painter, box, LightenColor(Sys(COLOR_HIGHLIGHT), 0.85));
        controls::FrameRect(painter, box, Sys(COLOR_HIGHLIGHT));
        const MenuItem* const item = FindItem(draw);
        if (item && (item->flags & MFT_RADIOCHECK))
            DrawRadioDot(painter, box.left() + 5, box.top() + 4, Sys(COLOR_MENUTEXT));
        else
            DrawCheckMark(painter, box.left() + 5, box.top() + 4, Sys(COLOR_MENUTEXT));
    }

    DrawItemText(painter, rect.adjusted(columnWidth + 8, 0, 0, 0), data.text,
                 Sys(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
}
