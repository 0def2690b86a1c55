// The clock's menus (the popup on the right button and the tray icon's), the
// stealth mode with its hole that follows the pointer, and the feed list's
// editing command.
#include "app/hint_dlg.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "effects/effect_codes.h"
#include "platform/desktop.h"
#include "platform/owned_windows.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/window_region.h"

#include <QMenu>
#include <cmath>
#include <functional>
#include <optional>
#include <span>

namespace {

constexpr int kLeaveRearmMs = 20;

// One entry of a menu resource.
enum class ItemKind
{
    Command,
    Separator,
    EffectPopup, // the 30 effect names, ids base + code
    ZoomPopup,   // "80%" to "200%", ids base + 0 to 12
};

struct MenuItem
{
    ItemKind kind;
    int id;              // the command, or the first id of a popup
    const char* text;    // UTF-8
    const char* picture; // bitmap of the item, or null
};

constexpr MenuItem kSeparator{ItemKind::Separator, 0, nullptr, nullptr};

// "RPOPUP": the clock's popup menu.
constexpr MenuItem kPopupMenu[] = {
    {ItemKind::Command, ID_SETTINGS, "設定...(&S)", "MENU_SETTING"},
    {ItemKind::EffectPopup, ID_EFFECT_BACK, "奥側 - エフェクト", "MENU_EFFECT0"},
    {ItemKind::EffectPopup, ID_EFFECT_MIDDLE, "中間 - エフェクト", "MENU_EFFECT1"},
    {ItemKind::EffectPopup, ID_EFFECT_FRONT, "手前 - エフェクト", "MENU_EFFECT2"},
    kSeparator,
    {ItemKind::ZoomPopup, ID_ZOOM, "表示倍率", "MENU_ZOOM"},
    kSeparator,
    {ItemKind::Command, ID_STEALTH, "ステルスMode", "MENU_SECRET"},
    kSeparator,
    {ItemKind::Command, ID_RSS, "RSS", "MENU_RSS"},
    {ItemKind::Command, ID_RSS_EDIT, "RSS 設定編集...", "MENU_RSSEDIT"},
    kSeparator,
    {ItemKind::Command, ID_QUIT, "終了(&X)", "MENU_END"},
};

// "RTRAYMENU": the tray icon's menu.
constexpr MenuItem kTrayMenu[] = {
    {ItemKind::Command, ID_SETTINGS, "設定...(&S)", "MENU_SETTING"},
    {ItemKind::Command, ID_LOCK, "ロック", "MENU_LOCK"},
    {ItemKind::Command, ID_STEALTH, "ステルスMode", "MENU_SECRET"},
    kSeparator,
    {ItemKind::Command, ID_QUIT, "終了(&X)", "MENU_END"},
};

// Whether an item carries a check mark, and which; nothing for items without one.
using CheckState = std::function<std::optional<bool>(int id)>;

void AddCommand(QMenu& menu, int id, const QString& text)
{
    menu.addAction(text)->setData(id);
}

void SetPicture(QAction& action, const char* picture)
{
    if (picture)
        action.setIcon(QIcon(QPixmap::fromImage(platform::LoadBitmap(picture))));
}

// Builds a menu from its table; the pictures are loaded now and go with the menu.
void BuildMenu(QMenu& menu, std::span<const MenuItem> items)
{
    for (const MenuItem& item : items) {
        const QString text = QString::fromUtf8(item.text ? item.text : "");
        switch (item.kind) {
        case ItemKind::Separator:
            menu.addSeparator();
            continue;
        case ItemKind::Command:
            AddCommand(menu, item.id, text);
            break;
        case ItemKind::EffectPopup: {
            QMenu* popup = menu.addMenu(text);
            for (int code = 0; code < kMenuEffectCount; ++code)
                AddCommand(*popup, item.id + code, GetEffectName(code));
            break;
        }
        case ItemKind::ZoomPopup: {
            QMenu* popup = menu.addMenu(text);
            for (int id = ID_ZOOM; id <= ID_ZOOM_LAST; ++id)
                AddCommand(*popup, id, QStringLiteral("%1%").arg((id - ID_ZOOM) * 10 + 80));
            break;
        }
        }
        SetPicture(*menu.actions().back(), item.picture);
    }
}

void SetCheckMarks(QMenu& menu, const CheckState& state)
{
    for (QAction* action : menu.actions()) {
        if (QMenu* popup = action->menu()) {
            SetCheckMarks(*popup, state);
        } else if (action->data().isValid()) {
            // Only the chosen item carries a mark; the others show none (not
            // an empty box), as a native menu draws them.
            if (const std::optional<bool> checked = state(action->data().toInt())) {
                action->setCheckable(*checked);
                action->setChecked(*checked);
            }
        }
    }
}

} // namespace

// --- menus ---------------------------------------------------------------------------

void CLumidial::ShowPopupMenu(QPoint clientPoint)
{
    const AppSettings& settings = Settings();
    const int zoom = m_nZoom;
    auto* menu = new QMenu(this); // deleted once it closes
    BuildMenu(*menu, kPopupMenu);
    // Integer division truncating toward zero: zooms 71 to 89 mark "80%".
    const int zoomItem = (zoom - 80) / 10 + ID_ZOOM;
    SetCheckMarks(*menu, [&settings, zoomItem](int id) -> std::optional<bool> {
        if (id >= ID_EFFECT_BACK && id < ID_EFFECT_BACK + kMenuEffectCount)
            return id == ID_EFFECT_BACK + settings.EffectPtn0;
        if (id >= ID_EFFECT_MIDDLE && id < ID_EFFECT_MIDDLE + kMenuEffectCount)
            return id == ID_EFFECT_MIDDLE + settings.EffectPtn1;
        if (id >= ID_EFFECT_FRONT && id < ID_EFFECT_FRONT + kMenuEffectCount)
            return id == ID_EFFECT_FRONT + settings.EffectPtn2;
        if (id >= ID_ZOOM && id <= ID_ZOOM_LAST)
            return id == zoomItem;
        if (id == ID_STEALTH)
            return settings.Stealth;
        return std::nullopt;
    });
    TrackMenu(*menu, mapToGlobal(clientPoint));
}

void CLumidial::ShowTrayMenu()
{
    const bool stealth = Settings().Stealth;
    auto* menu = new QMenu(this); // deleted once it closes
    // Works while a modal dialog keeps the clock itself disabled: the tray
    // menu's exit must always end the program.
    menu->setEnabled(true);
    BuildMenu(*menu, kTrayMenu);
    SetCheckMarks(*menu, [stealth](int id) -> std::optional<bool> {
        return id == ID_STEALTH ? std::optional<bool>(stealth) : std::nullopt;
    });
    raise();
    platform::RaiseOwnedWindows(*this);
    activateWindow();
    TrackMenu(*menu, platform::CursorPos());
}

void CLumidial::TrackMenu(QMenu& menu, QPoint screenPoint)
{
    // The chosen command arrives after the menu has closed, as a posted command would.
    connect(&menu, &QMenu::triggered, this, [this](QAction* action) {
        if (!action->data().isValid())
            return;
        const int id = action->data().toInt();
        QMetaObject::invokeMethod(
            this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
    });
    connect(&menu, &QMenu::aboutToHide, &menu, &QObject::deleteLater);
    menu.popup(screenPoint);
}

// --- stealth -------------------------------------------------------------------------

void CLumidial::OnStealth()
{
    AppSettings& settings = Settings();
    if (!settings.Stealth && !CHintDlg::Suppressed()) {
        CHintDlg hint;
        hint.m_bCheck = false;
        platform::RunModal(hint, this);
        if (theApp.IsQuitting())
            return; // the program ended while the hint was up: nothing changes
        CHintDlg::SetSuppressed(hint.m_bCheck);
    }
    settings.Stealth = !settings.Stealth;
    if (!settings.Stealth)
        RestoreWholeClock();
}

void CLumidial::UpdateStealthHole()
{
    const QPoint cursor = mapFromGlobal(platform::CursorPos());
    const int half = static_cast<int>(std::ceil(ClockWidth() * 0.4 * 0.5));
    const int corner = static_cast<int>(ClockWidth() * 0.1);
    m_rgnHole = platform::RoundRectRegion(QRect(cursor.x() - half, cursor.y() - half, 2 * half, 2 * half),
                                          corner, corner);
    m_rgnWindow = m_rgnEllipse.subtracted(m_rgnHole);
    platform::SetWindowRgn(*this, m_rgnWindow);
}

void CLumidial::RestoreWholeClock()
{
    m_rgnHole = QRegion();
    m_rgnWindow = m_rgnEllipse;
    platform::SetWindowRgn(*this, m_rgnWindow);
}

void CLumidial::RequestLeaveTracking()
{
    m_bTrackLeave = true;
    // Asked while the pointer is already off the window (in the hole), the
    // leave is reported at once.
    if (!m_rgnWindow.contains(mapFromGlobal(platform::CursorPos())))
        QMetaObject::invokeMethod(
            this, [this] { OnMouseLeave(); }, Qt::QueuedConnection);
}

void CLumidial::leaveEvent(QEvent*)
{
    OnMouseLeave();
}

void CLumidial::OnMouseLeave()
{
    if (!m_bTrackLeave)
        return;
    m_bTrackLeave = false;
    // Still over the clock's square: the pointer is in the hole, which follows it.
    if (Settings().Stealth && geometry().contains(platform::CursorPos())) {
        UpdateStealthHole();
        m_timers.SetTimer(TIMER_LEAVE_REARM, kLeaveRearmMs);
    } else {
        RestoreWholeClock();
    }
}

// --- feed list -----------------------------------------------------------------------

void CLumidial::EditRssList()
{
    // The feed list beside the executable, opened with the program the desktop
    // associates with it; the path goes as one argument, blanks and all.
    const QString path = platform::paths::InExeDir(QStringLiteral("lmd_rss.ini"));
    if (!platform::paths::Exists(path))
        return;
    platform::OpenWithAssociatedProgram(path);
}
