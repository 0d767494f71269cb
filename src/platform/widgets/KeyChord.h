#pragma once
// A key press as the accelerator tables name it: a virtual-key code and the
// exact Shift, Ctrl and Alt state. The keypad and Meta do not count, so the
// keypad's Enter is Return.

#include <QStringView>

#include <optional>

class QKeyEvent;

namespace vk {
inline constexpr int Back = 0x08;
inline constexpr int Tab = 0x09;
inline constexpr int Return = 0x0D;
inline constexpr int Shift = 0x10;
inline constexpr int Control = 0x11;
inline constexpr int Menu = 0x12;  // Alt
inline constexpr int Pause = 0x13;
inline constexpr int Capital = 0x14;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Prior = 0x21;  // Page Up
inline constexpr int Next = 0x22;   // Page Down
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Snapshot = 0x2C;
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int Apps = 0x5D;
inline constexpr int F1 = 0x70;  // F1 to F24 follow on
inline constexpr int F10 = 0x79;
inline constexpr int F24 = 0x87;
// '0' to '9' and 'A' to 'Z' are their own codes.
}  // namespace vk

struct KeyChord {
    int virtualKey = 0;  // 0: a key without a code
    bool shift = false;
    bool control = false;
    bool alt = false;

    bool operator==(const KeyChord&) const = default;
};

// The chord of a press. A Latin letter or a digit maps by the event's key,
// a named key (arrows, Return, F1...) by its name; any other key (a letter
// of another layout: a Russian layout gives U+0418 for B) by the position
// of the key on the keyboard, its XKB key code, so the letter keys keep
// their commands under every layout.
KeyChord KeyChordFromEvent(const QKeyEvent& event);

// The virtual-key code of a name as the tables write it: a letter or digit
// as itself, else RETURN, ESCAPE, SPACE, TAB, BACK, PRIOR, NEXT, END, HOME,
// LEFT, UP, RIGHT, DOWN, INSERT, DELETE, F1 to F24. None for any other name.
std::optional<int> VirtualKeyNamed(QStringView name);
