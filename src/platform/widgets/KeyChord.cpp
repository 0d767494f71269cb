#include "platform/widgets/KeyChord.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace {

struct NamedKey {
    Qt::Key key;
    int virtualKey;
    const char* name;  // in the tables; null for keys they never name
};
constexpr std::array<NamedKey, 23> kNamedKeys{{
    {Qt::Key_Return, vk::Return, "RETURN"},
    {Qt::Key_Enter, vk::Return, nullptr},  // the keypad's
    {Qt::Key_Escape, vk::Escape, "ESCAPE"},
    {Qt::Key_Space, vk::Space, "SPACE"},
    {Qt::Key_Tab, vk::Tab, "TAB"},
    {Qt::Key_Backtab, vk::Tab, nullptr},  // Shift+Tab
    {Qt::Key_Backspace, vk::Back, "BACK"},
    {Qt::Key_PageUp, vk::Prior, "PRIOR"},
    {Qt::Key_PageDown, vk::Next, "NEXT"},
    {Qt::Key_End, vk::End, "END"},
    {Qt::Key_Home, vk::Home, "HOME"},
    {Qt::Key_Left, vk::Left, "LEFT"},
    {Qt::Key_Up, vk::Up, "UP"},
    {Qt::Key_Right, vk::Right, "RIGHT"},
    {Qt::Key_Down, vk::Down, "DOWN"},
    {Qt::Key_Insert, vk::Insert, "INSERT"},
    {Qt::Key_Delete, vk::Delete, "DELETE"},
    {Qt::Key_Shift, vk::Shift, nullptr},
    {Qt::Key_Control, vk::Control, nullptr},
    {Qt::Key_Alt, vk::Menu, nullptr},
    {Qt::Key_Pause, vk::Pause, nullptr},
    {Qt::Key_CapsLock, vk::Capital, nullptr},
    {Qt::Key_Menu, vk::Apps, nullptr},
}};

// XKB key codes (evdev scan code + 8) of the letter keys, which do not move
// with the layout.
constexpr std::array<std::pair<quint32, char>, 26> kLetterKeycodes{{
    {24, 'Q'}, {25, 'W'}, {26, 'E'}, {27, 'R'}, {28, 'T'}, {29, 'Y'}, {30, 'U'}, {31, 'I'}, {32, 'O'},
    {33, 'P'}, {38, 'A'}, {39, 'S'}, {40, 'D'}, {41, 'F'}, {42, 'G'}, {43, 'H'}, {44, 'J'}, {45, 'K'},
    {46, 'L'}, {52, 'Z'}, {53, 'X'}, {54, 'C'}, {55, 'V'}, {56, 'B'}, {57, 'N'}, {58, 'M'},
}};

int VirtualKeyOf(int key, quint32 nativeScanCode)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vk::F1 + (key - Qt::Key_F1);
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key)
            return named.virtualKey;
    }
    for (const auto& [keycode, letter] : kLetterKeycodes) {
        if (keycode == nativeScanCode)
            return letter;
    }
    return 0;
}

}  // namespace

KeyChord KeyChordFromEvent(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return KeyChord{
        .virtualKey = VirtualKeyOf(event.key(), event.nativeScanCode()),
        .shift = modifiers.testFlag(Qt::ShiftModifier),
        .control = modifiers.testFlag(Qt::ControlModifier),
        .alt = modifiers.testFlag(Qt::AltModifier),
    };
}

std::optional<int> VirtualKeyNamed(QStringView name)
{
    if (name.size() == 1) {
        const char16_t c = name[0].unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            return int(c);
    }
    if ((name.size() == 2 || name.size() == 3) && name[0] == u'F' && name[1] >= u'1' && name[1] <= u'9') {
        int number = name[1].unicode() - u'0';
        if (name.size() == 3) {
            if (name[2] < u'0' || name[2] > u'9')
                return std::nullopt;
            number = number * 10 + (name[2].unicode() - u'0');
        }
        if (number <= 24)
            return vk::F1 + number - 1;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.name && name == QLatin1StringView(named.name))
            return named.virtualKey;
    }
    return std::nullopt;
}
