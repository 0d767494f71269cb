// Key presses as chords: the virtual-key code by key, by name or by the
// key's place on the keyboard, and exactly Shift, Ctrl and Alt.

#include "platform/widgets/KeyChord.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

struct ChordCase {
    const char* what;
    int key;
    Qt::KeyboardModifiers modifiers;
    quint32 scanCode;
    KeyChord chord;
};

TEST(KeyChord, FromKeyNameOrKeyboardPlace)
{
    const ChordCase cases[] = {
        {"letter", Qt::Key_B, Qt::NoModifier, 0, {'B', false, false, false}},
        {"letter with Shift", Qt::Key_B, Qt::ShiftModifier, 0, {'B', true, false, false}},
        {"digit", Qt::Key_7, Qt::ControlModifier, 0, {'7', false, true, false}},
        {"arrow", Qt::Key_Right, Qt::NoModifier, 0, {vk::Right, false, false, false}},
        {"page down", Qt::Key_PageDown, Qt::NoModifier, 0, {vk::Next, false, false, false}},
        {"F4 with Alt", Qt::Key_F4, Qt::AltModifier, 0, {0x73, false, false, true}},
        {"F10", Qt::Key_F10, Qt::NoModifier, 0, {vk::F10, false, false, false}},
        {"keypad Enter is Return", Qt::Key_Enter, Qt::KeypadModifier | Qt::AltModifier, 0,
         {vk::Return, false, false, true}},
        {"keypad arrow", Qt::Key_Up, Qt::KeypadModifier, 0, {vk::Up, false, false, false}},
        {"Meta does not count", Qt::Key_M, Qt::MetaModifier | Qt::ControlModifier, 0, {'M', false, true, false}},
        {"Cyrillic I on the B key", 0x0418, Qt::NoModifier, 56, {'B', false, false, false}},
        {"Cyrillic on the O key with Ctrl", 0x0429, Qt::ControlModifier, 32, {'O', false, true, false}},
        {"a letter by key, whatever the key code", Qt::Key_A, Qt::NoModifier, 56, {'A', false, false, false}},
        // Qt reports the press of Alt itself without the Alt flag.
        {"bare Alt", Qt::Key_Alt, Qt::AltModifier, 64, {vk::Menu, false, false, false}},
        {"unknown key, unknown place", 0x20AC, Qt::NoModifier, 200, {0, false, false, false}},
    };
    for (const ChordCase& c : cases) {
        const QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.scanCode, 0, 0);
        EXPECT_EQ(KeyChordFromEvent(press), c.chord) << c.what;
    }
}

TEST(KeyChord, NamesOfTheTables)
{
    const std::pair<const char*, std::optional<int>> names[] = {
        {"B", 'B'},           {"7", '7'},          {"RETURN", vk::Return}, {"ESCAPE", vk::Escape},
        {"PRIOR", vk::Prior}, {"NEXT", vk::Next},  {"F1", vk::F1},         {"F24", vk::F24},
        {"F4", 0x73},         {"b", std::nullopt}, {"F0", std::nullopt},   {"F25", std::nullopt},
        {"F04", std::nullopt}, {"", std::nullopt}, {"ENTER", std::nullopt}, {"F1x", std::nullopt},
    };
    for (const auto& [name, key] : names)
        EXPECT_EQ(VirtualKeyNamed(QString::fromLatin1(name)), key) << name;
}

}  // namespace
