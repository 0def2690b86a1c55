#pragma once
// The key codes the demos receive: Windows virtual-key codes, as the demos were
// written against them ('A' 0x41 ... 'Z' 0x5A, '0' 0x30 ... '9' 0x39, left 0x25,
// up 0x26, right 0x27, down 0x28, F1 0x70 ... F24 0x87, ...), from Qt's keys.
#include <Qt>

// The virtual-key code of a Qt key pressed with the modifiers: letters as their capitals whatever the
// shift state, digits and the US layout's shifted digits as the digit, keypad
// keys as the keypad codes; 0 for a key without a code.
int VirtualKeyCode(int key, Qt::KeyboardModifiers modifiers);

// The code the DEMO dialog hands to its demo: 'A' to 'Z' become 'a' to 'z'
// (32 added), every other code stays.
int DemoKeyCode(int virtualKey);
