#pragma once
// TavMenu: the popup menu an owner-drawn button can hold. For now it keeps a
// plain Qt menu; the owner-drawn items come with the menu's own drawing. No
// button of the clock is given a menu, so a button's menu is normally empty.
#include <QMenu>
#include <memory>

class TavMenu
{
public:
    TavMenu() = default;
    ~TavMenu() { DestroyMenu(); }
    TavMenu(const TavMenu&) = delete;
    TavMenu& operator=(const TavMenu&) = delete;

    // Takes the menu a button shows on a click (its actions carry the commands).
    void SetMenu(std::unique_ptr<QMenu> menu) { m_menu = std::move(menu); }
    QMenu* GetMenu() const { return m_menu.get(); }
    bool IsEmpty() const { return !m_menu; }
    void DestroyMenu() { m_menu.reset(); }

private:
    std::unique_ptr<QMenu> m_menu;
};
