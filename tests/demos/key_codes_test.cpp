// Qt's key presses as the virtual-key codes the demos were written against.
#include "demos/key_codes.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase
{
    int key;
    Qt::KeyboardModifiers modifiers;
    int virtualKey; // what Windows reports
    int demoKey;    // what the demo gets
};

TEST(KeyCodesTest, Table)
{
    const KeyCase cases[] = {
        {Qt::Key_A, Qt::NoModifier, 0x41, 0x61},
        {Qt::Key_A, Qt::ShiftModifier, 0x41, 0x61},
        {Qt::Key_Z, Qt::ControlModifier, 0x5A, 0x7A},
        {Qt::Key_0, Qt::NoModifier, 0x30, 0x30},
        {Qt::Key_5, Qt::NoModifier, 0x35, 0x35},
        {Qt::Key_Percent, Qt::ShiftModifier, 0x35, 0x35}, // shift+5 on the US layout
        {Qt::Key_5, Qt::KeypadModifier, 0x65, 0x65},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B, 0x6B},
        {Qt::Key_Left, Qt::NoModifier, 0x25, 0x25},
        {Qt::Key_Up, Qt::NoModifier, 0x26, 0x26},
        {Qt::Key_Right, Qt::NoModifier, 0x27, 0x27},
        {Qt::Key_Down, Qt::NoModifier, 0x28, 0x28},
        {Qt::Key_F1, Qt::NoModifier, 0x70, 0x70},
        {Qt::Key_F5, Qt::NoModifier, 0x74, 0x74},
        {Qt::Key_F12, Qt::NoModifier, 0x7B, 0x7B},
        {Qt::Key_Space, Qt::NoModifier, 0x20, 0x20},
        {Qt::Key_Return, Qt::NoModifier, 0x0D, 0x0D},
        {Qt::Key_Escape, Qt::NoModifier, 0x1B, 0x1B},
        {Qt::Key_Shift, Qt::ShiftModifier, 0x10, 0x10},
        {Qt::Key_Delete, Qt::NoModifier, 0x2E, 0x2E},
        {Qt::Key_Comma, Qt::NoModifier, 0xBC, 0xBC},
        {Qt::Key_Henkan, Qt::NoModifier, 0, 0}, // no code: nothing for the demo
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(VirtualKeyCode(c.key, c.modifiers), c.virtualKey) << std::hex << c.key;
        EXPECT_EQ(DemoKeyCode(c.virtualKey), c.demoKey) << std::hex << c.key;
    }
    // Only the capitals move: the codes around them stay.
    EXPECT_EQ(DemoKeyCode('A' - 1), 'A' - 1);
    EXPECT_EQ(DemoKeyCode('Z' + 1), 'Z' + 1);
}

} // namespace
