#pragma once
// The main window's menu (res/menus.tsv, compiled into ui): its popups, the
// context menus of the main window (0) and of the recording list (1).

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QMenu;

struct MenuItem {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    int command = 0;              // Command only
    QString text;                 // Command and Submenu
    std::vector<MenuItem> items;  // Submenu only
};

struct MenuResourceParse;

class MenuResource {
public:
    static constexpr int kWindowPopup = 0;
    static constexpr int kListPopup = 1;

    // The popups in file order; their own titles are never shown.
    std::vector<MenuItem> popups;

    // Fills menu with popup `index` of this menu: one action per command,
    // whose data is the command id, separators and submenus as stored. False,
    // and nothing added, for an index the menu does not have.
    bool Fill(int index, QMenu& menu) const;

    // Popup `index` of the compiled-in menu.
    static bool BuildPopup(int index, QMenu& menu);

    // "POPUP<TAB>title" ... "END" blocks of "ITEM<TAB>command<TAB>text" and
    // "SEPARATOR" lines; fileName names the file in the error
    // ("fileName:line: reason").
    static MenuResourceParse Parse(const QByteArray& bytes, const QString& fileName);
    // The compiled-in menu, parsed once on first use; any thread. A file that
    // does not parse is a programming error: std::logic_error.
    static const MenuResource& Embedded();
};

struct MenuResourceParse {
    std::optional<MenuResource> menu;
    QString error;
};
