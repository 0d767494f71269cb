#include "ui/MenuResource.h"

#include "core/Numbers.h"
#include "platform/ResourceText.h"

#include <QMenu>

#include <cstddef>
#include <stdexcept>

extern const unsigned char kestrovMenus[];
extern const std::size_t kestrovMenusSize;

namespace {

void AddItems(const std::vector<MenuItem>& items, QMenu& menu)
{
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Kind::Command: menu.addAction(item.text)->setData(item.command); break;
        case MenuItem::Kind::Separator: menu.addSeparator(); break;
        case MenuItem::Kind::Submenu: AddItems(item.items, *menu.addMenu(item.text)); break;
        }
    }
}

}  // namespace

bool MenuResource::Fill(int index, QMenu& menu) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= popups.size())
        return false;
    AddItems(popups[static_cast<std::size_t>(index)].items, menu);
    return true;
}

bool MenuResource::BuildPopup(int index, QMenu& menu)
{
    return Embedded().Fill(index, menu);
}

MenuResourceParse MenuResource::Parse(const QByteArray& bytes, const QString& fileName)
{
    MenuResource resource;
    // The open popups, outermost first.
    std::vector<MenuItem> open;
    for (const platform::TextLine& line : platform::DataLines(bytes)) {
        const auto fail = [&](const char* reason) {
            return MenuResourceParse{std::nullopt,
                                     QStringLiteral("%1:%2: %3").arg(fileName).arg(line.number).arg(reason)};
        };
        const QStringList fields = line.text.split(QLatin1Char('\t'));
        const QString& word = fields[0];
        if (word == QLatin1String("POPUP") && fields.size() == 2) {
            const std::optional<QString> title = platform::Unescape(fields[1]);
            if (!title)
                return fail("bad escape");
            open.push_back(MenuItem{MenuItem::Kind::Submenu, 0, *title, {}});
        } else if (word == QLatin1String("END") && fields.size() == 1) {
            if (open.empty())
                return fail("END without POPUP");
            MenuItem done = std::move(open.back());
            open.pop_back();
            if (open.empty())
                resource.popups.push_back(std::move(done));
            else
                open.back().items.push_back(std::move(done));
        } else if (open.empty()) {
            return fail("an item outside a POPUP");
        } else if (word == QLatin1String("SEPARATOR") && fields.size() == 1) {
            open.back().items.push_back(MenuItem{MenuItem::Kind::Separator, 0, {}, {}});
        } else if (word == QLatin1String("ITEM") && fields.size() == 3) {
            const std::optional<int> command = Numbers::ParseDecimal(fields[1]);
            const std::optional<QString> text = platform::Unescape(fields[2]);
            if (!command || *command == 0 || !text)
                return fail("not \"ITEM<TAB>command<TAB>text\"");
            open.back().items.push_back(MenuItem{MenuItem::Kind::Command, *command, *text, {}});
        } else {
            return fail("unknown line");
        }
    }
    if (!open.empty())
        return {std::nullopt, QStringLiteral("%1: POPUP without END").arg(fileName)};
    return {std::move(resource), {}};
}

const MenuResource& MenuResource::Embedded()
{
    static const MenuResource menu = [] {
        const QByteArray bytes =
            QByteArray::fromRawData(reinterpret_cast<const char*>(kestrovMenus), static_cast<qsizetype>(kestrovMenusSize));
        MenuResourceParse parsed = Parse(bytes, QStringLiteral("menus.tsv"));
        if (!parsed.menu)
            throw std::logic_error(parsed.error.toStdString());
        return std::move(*parsed.menu);
    }();
    return menu;
}
