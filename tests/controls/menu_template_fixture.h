#pragma once
// Binary menu templates written by hand, byte by byte, for the menu tests.
#include "controls/tav_menu.h"

#include <QByteArray>
#include <QString>

namespace lmd::test {

class MenuTemplateWriter
{
public:
    // The header: version 0, items right after it.
    MenuTemplateWriter()
    {
        Word(0);
        Word(0);
    }

    MenuTemplateWriter& Popup(const QString& text, unsigned flags = 0)
    {
        Word(flags | MF_POPUP);
        Text(text);
        return *this;
    }
    MenuTemplateWriter& Item(const QString& text, unsigned id, unsigned flags = 0)
    {
        Word(flags);
        Word(id);
        Text(text);
        return *this;
    }
    MenuTemplateWriter& Separator(unsigned flags = 0) { return Item({}, 0, flags); }

    MenuTemplateWriter& Word(unsigned value)
    {
        bytes.append(static_cast<char>(value & 0xFF));
        bytes.append(static_cast<char>((value >> 8) & 0xFF));
        return *this;
    }
    MenuTemplateWriter& Text(const QString& text)
    {
        for (const QChar c : text)
            Word(c.unicode());
        return Word(0);
    }

    QByteArray bytes;
};

// The commands of the sample menu.
enum SampleCommand : unsigned
{
    ID_OPEN = 101,
    ID_SAVE_AS = 102,
    ID_EXIT = 103,
    ID_RECENT_ONE = 111,
    ID_RECENT_TWO = 112,
    ID_ABOUT = 201,
};

// A menu bar of two popups:
//   "&File": "&Open\tCtrl+O", "&Save As...\tCtrl+Shift+S" (grayed), a separator,
//            the popup "&Recent" ("&One", "&Two"), "E&xit\tAlt+F4"
//   "&Help": "&About"
inline QByteArray SampleMenuTemplate()
{
    MenuTemplateWriter writer;
    writer.Popup(QStringLiteral("&File"))
        .Item(QStringLiteral("&Open\tCtrl+O"), ID_OPEN)
        .Item(QStringLiteral("&Save As...\tCtrl+Shift+S"), ID_SAVE_AS, MF_GRAYED)
        .Separator()
        .Popup(QStringLiteral("&Recent"))
        .Item(QStringLiteral("&One"), ID_RECENT_ONE)
        .Item(QStringLiteral("&Two"), ID_RECENT_TWO, MF_END)
        .Item(QStringLiteral("E&xit\tAlt+F4"), ID_EXIT, MF_END)
        .Popup(QStringLiteral("&Help"), MF_END)
        .Item(QStringLiteral("&About"), ID_ABOUT, MF_END);
    return writer.bytes;
}

} // namespace lmd::test
