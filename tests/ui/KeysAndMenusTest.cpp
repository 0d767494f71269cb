// The main window's keys and menus: the accelerator table and the menu as
// data, the key router over the window and its panes, each command with its
// guard, and the context menus run for real, offscreen.

#include "ui/MainWindowFixtures.h"

#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CSkinListCtrl.h"
#include "hub/HubCodes.h"
#include "support/FileFixtures.h"
#include "support/gui/NextModal.h"
#include "support/gui/Screenshot.h"
#include "ui/AcceleratorTable.h"
#include "ui/MenuResource.h"
#include "ui/VideoListControl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

namespace uitest {
namespace {

// ---- The tables as data ----

struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    std::optional<int> command;
    quint32 scanCode = 0;
};

TEST(AcceleratorTable, EveryRowAndNothingBeyond)
{
    const AcceleratorTable& table = AcceleratorTable::Embedded();
    EXPECT_EQ(table.entries.size(), 21u);
    const KeyCase cases[] = {
        {Qt::Key_B, {}, 40045},
        {Qt::Key_Right, {}, 40040},
        {Qt::Key_Return, Qt::AltModifier, 40058},
        {Qt::Key_Escape, {}, 40048},
        {Qt::Key_M, {}, 40044},
        {Qt::Key_PageDown, {}, 40037},
        {Qt::Key_O, Qt::ControlModifier, 40051},
        {Qt::Key_Space, {}, 40038},
        {Qt::Key_M, Qt::ControlModifier, 40047},
        {Qt::Key_PageUp, {}, 40039},
        {Qt::Key_P, Qt::ControlModifier, 40034},
        {Qt::Key_Left, {}, 40041},
        {Qt::Key_F, {}, 40046},
        {Qt::Key_R, Qt::ControlModifier, 40033},
        {Qt::Key_F4, Qt::AltModifier, 40032},
        {Qt::Key_Down, {}, 40043},
        {Qt::Key_Up, {}, 40042},
        {Qt::Key_W, {}, 40059},
        {Qt::Key_S, {}, 40060},
        {Qt::Key_A, {}, 40061},
        {Qt::Key_D, {}, 40062},
        // Exactly the table's modifiers.
        {Qt::Key_B, Qt::ShiftModifier, std::nullopt},
        {Qt::Key_O, Qt::AltModifier, std::nullopt},
        {Qt::Key_Right, Qt::ShiftModifier, std::nullopt},
        {Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, std::nullopt},
        {Qt::Key_Return, {}, std::nullopt},
        {Qt::Key_X, {}, std::nullopt},
        // The keypad's Enter is Return; Meta does not count; a Russian layout.
        {Qt::Key_Enter, Qt::KeypadModifier | Qt::AltModifier, 40058},
        {Qt::Key_P, Qt::ControlModifier | Qt::MetaModifier, 40034},
        {0x0418, {}, 40045, 56},
        {0x0420, Qt::ControlModifier, 40033, 27},
    };
    for (const KeyCase& c : cases) {
        const QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.scanCode, 0, 0);
        EXPECT_EQ(table.Translate(KeyChordFromEvent(press)), c.command) << std::hex << c.key << " " << c.modifiers;
    }
}

TEST(AcceleratorTable, AFaultyLineIsNamed)
{
    const std::pair<const char*, const char*> faults[] = {
        {"B\t-\n", "t.tsv:1: not \"key<TAB>modifiers<TAB>command\""},
        {"# head\nPLUS\t-\t1\n", "t.tsv:2: unknown key"},
        {"B\tALT|ALT\t1\n", "t.tsv:1: bad modifiers"},
        {"B\tMETA\t1\n", "t.tsv:1: bad modifiers"},
        {"B\t-\t-1\n", "t.tsv:1: bad command"},
    };
    for (const auto& [text, error] : faults) {
        const AcceleratorTableParse parsed = AcceleratorTable::Parse(text, QStringLiteral("t.tsv"));
        EXPECT_FALSE(parsed.table) << text;
        EXPECT_EQ(parsed.error, QString::fromUtf8(error)) << text;
    }
    const AcceleratorTableParse good = AcceleratorTable::Parse("R\tCONTROL|SHIFT\t7\n", QStringLiteral("t.tsv"));
    ASSERT_TRUE(good.table);
    EXPECT_EQ(good.table->Translate(KeyChord{'R', true, true, false}), 7);
}

// A menu as lines: "text=id", "-" for a separator, "text>" opening a
// submenu and "<" closing it.
QStringList Outline(const std::vector<MenuItem>& items)
{
    QStringList lines;
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Kind::Command: lines.append(item.text + "=" + QString::number(item.command)); break;
        case MenuItem::Kind::Separator: lines.append("-"); break;
        case MenuItem::Kind::Submenu:
            lines.append(item.text + ">");
            lines += Outline(item.items);
            lines.append("<");
            break;
        }
    }
    return lines;
}

const QStringList kWindowMenu{
    "открыть файл(Ctrl+O)=40051",
    "-",
    "Воспроизведение/пауза(Space)=40038",
    "Назад(<-)=40068",
    "Вперед(->)=40069",
    "Предыдущий(Page Down)=40037",
    "Следующий(Page Up)=40039",
    "-",
    "Яркость>",
    "мрачно=40057",
    "ярко=40056",
    "Яркость по умолчанию(b)=40045",
    "<",
    "Скорость>",
    "быстро=40052",
    "замедлять=40053",
    "Скорость по умолчанию(s)=40046",
    "<",
    "Громкость>",
    "Громкость вверх(Up Key)=40042",
    "Громкость вниз(Down Key)=40043",
    "Режим без звука вкл./выкл.(m)=40044",
    "<",
};
const QStringList kListMenu{"A=Все=40018", "N=Обычный=40019", "E=Событие=40020", "M=Движение=40021"};

TEST(MenuResource, BothPopupsAsStoredAndFaultyFilesNamed)
{
    const MenuResource& menu = MenuResource::Embedded();
    ASSERT_EQ(menu.popups.size(), 2u);
    EXPECT_EQ(menu.popups[0].text, QStringLiteral("&File"));
    EXPECT_EQ(Outline(menu.popups[0].items), kWindowMenu);
    EXPECT_EQ(menu.popups[1].text, QStringLiteral("List Panel Menu"));
    EXPECT_EQ(Outline(menu.popups[1].items), kListMenu);

    QMenu built;
    ASSERT_TRUE(MenuResource::BuildPopup(MenuResource::kWindowPopup, built));
    ASSERT_EQ(built.actions().size(), 11);
    EXPECT_EQ(built.actions()[0]->data().toInt(), 40051);
    EXPECT_TRUE(built.actions()[1]->isSeparator());
    ASSERT_TRUE(built.actions()[8]->menu());
    EXPECT_EQ(built.actions()[8]->menu()->actions()[2]->data().toInt(), 40045);
    QMenu none;
    EXPECT_FALSE(MenuResource::BuildPopup(2, none));
    EXPECT_TRUE(none.actions().isEmpty());

    const std::pair<const char*, const char*> faults[] = {
        {"ITEM\t1\tx\n", "m.tsv:1: an item outside a POPUP"},
        {"POPUP\ta\nITEM\t0\tx\nEND\n", "m.tsv:2: not \"ITEM<TAB>command<TAB>text\""},
        {"POPUP\ta\nITEM\t1\tx\\q\nEND\n", "m.tsv:2: not \"ITEM<TAB>command<TAB>text\""},
        {"END\n", "m.tsv:1: END without POPUP"},
        {"POPUP\ta\nPOPUP\tb\nEND\n", "m.tsv: POPUP without END"},
        {"POPUP\ta\nMENUITEM\t1\tx\nEND\n", "m.tsv:2: unknown line"},
    };
    for (const auto& [text, error] : faults) {
        const MenuResourceParse parsed = MenuResource::Parse(text, QStringLiteral("m.tsv"));
        EXPECT_FALSE(parsed.menu) << text;
        EXPECT_EQ(parsed.error, QString::fromUtf8(error)) << text;
    }
}

// ---- The window ----

// Counts the key presses that reach a widget (after the application's
// filters).
class KeySpy : public QObject {
public:
    explicit KeySpy(QObject* watched) { watched->installEventFilter(this); }
    std::vector<int> keys;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
};

class KeysTest : public MainWindowTest {
protected:
    void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(widget, &release);
    }

    // One entry current, and snapshots written at once.
    void GiveEntry()
    {
        hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT}));
        player->onSnapshot = [](const QString& path, const QString&) {
            testsupport::WriteFileBytes(path, testsupport::PngOf(QSize(8, 8), Qt::red));
        };
    }

    // Opens a context menu through `open` and picks the item at `path`
    // (texts, down through submenus; empty: the menu is closed). The first
    // menu's outline, as the user saw it.
    QStringList PickFromContextMenu(const std::function<void()>& open, const QStringList& path,
                                    const std::function<void(QMenu* top, QMenu* sub)>& look = {})
    {
        QStringList shown;
        std::vector<QMenu*> seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible() || std::find(seen.begin(), seen.end(), menu) != seen.end())
                return;
            seen.push_back(menu);
            if (seen.size() == 1) {
                for (QAction* action : menu->actions())
                    shown.append(action->isSeparator() ? QStringLiteral("-") : action->text());
                popupAt = menu->pos();
            }
            const std::size_t depth = seen.size() - 1;
            QAction* target = nullptr;
            for (QAction* action : menu->actions()) {
                if (depth < std::size_t(path.size()) && action->text() == path[qsizetype(depth)])
                    target = action;
            }
            if (!target) {
                while (QWidget* open = QApplication::activePopupWidget())
                    open->close();
                return;
            }
            menu->setActiveAction(target);
            if (target->menu())
                return;  // the submenu opens; the next tick takes it
            if (look)
                look(seen.front(), seen.size() > 1 ? seen.back() : nullptr);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        });
        poll.start(5);
        open();
        return shown;
    }

    void RightClick(QWidget* widget)
    {
        // Far from the pointer: the menu opens where the pointer is.
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(1, 1), widget->mapToGlobal(QPoint(1, 1)));
        QCoreApplication::sendEvent(widget, &request);
    }

    QPoint popupAt;
};

TEST_F(KeysTest, EachCommandWithItsGuard)
{
    Open();
    struct Run {
        int id;
        Qt::KeyboardModifiers modifiers;
        const char* call;  // the player's, or empty when nothing happens
    };
    // Without an entry, and with the position slider disabled.
    player->sliderEnabled = false;
    for (const Run run : {Run{40038, {}, ""}, {40039, {}, ""}, {40037, {}, ""}, {40047, {}, ""},
                          {40034, Qt::ControlModifier, ""}, {40040, {}, ""}, {40041, {}, ""}, {40068, {}, ""},
                          {40069, {}, ""}, {40059, {}, ""}, {40060, {}, ""}, {40061, {}, ""}, {40062, {}, ""}}) {
        window->ExecuteCommand(run.id, run.modifiers);
        EXPECT_TRUE(player->calls.empty()) << run.id;
    }
    EXPECT_EQ(map->popups, 0);
    EXPECT_TRUE(dialogs.printed.empty());

    GiveEntry();
    player->sliderEnabled = true;
    for (const Run run : {Run{40038, {}, "OnBnClickedPlayBtn"},
                          {40039, {}, "OnBnClickedPreviousBtn"},
                          {40037, {}, "OnBnClickedNextBtn"},
                          {40040, {}, "OnBnClickedForwardBtn"},
                          {40069, {}, "OnBnClickedForwardBtn"},
                          {40041, {}, "OnBnClickedRewindBtn"},
                          {40068, {}, "OnBnClickedRewindBtn"},
                          {40045, {}, "OnBnClickedBrightnessDefaultBtn"},
                          {40046, {}, "OnBnClickedSpeedDefaultBtn"},
                          {40044, {}, "OnBnClickedMuteBtn"},
                          {40042, {}, "StepVolume(1)"},
                          {40043, {}, "StepVolume(-1)"},
                          {40052, {}, "ChangeVideoPlaySpeedFromSpeedSlider(5)"},
                          {40053, {}, "ChangeVideoPlaySpeedFromSpeedSlider(4)"},
                          {40056, {}, "ChangeVideoBrightnessFromBrightnessSlider(52)"}}) {
        player->calls.clear();
        window->ExecuteCommand(run.id, run.modifiers);
        EXPECT_EQ(player->calls, std::vector<std::string>{run.call}) << run.id;
    }
    window->ExecuteCommand(40047);
    EXPECT_EQ(map->popups, 1);
    window->ExecuteCommand(40034);
    EXPECT_TRUE(dialogs.printed.empty()) << "print only with Ctrl down";
    window->ExecuteCommand(40034, Qt::ControlModifier);
    EXPECT_EQ(dialogs.printed.size(), 1u);
    window->ExecuteCommand(40033);
    EXPECT_EQ(dialogs.cutEntries.size(), 1u);
    window->ExecuteCommand(40051);
    EXPECT_EQ(pickerStarts.size(), 1);
}

TEST_F(KeysTest, SliderStepsStayInTheRangeAndAlwaysFollowUp)
{
    Open();
    player->brightness.SetPos(50);
    for (int i = 0; i < 3; ++i)
        window->ExecuteCommand(40057);
    EXPECT_EQ(player->calls,
              (std::vector<std::string>{"ChangeVideoBrightnessFromBrightnessSlider(48)",
                                        "ChangeVideoBrightnessFromBrightnessSlider(46)",
                                        "ChangeVideoBrightnessFromBrightnessSlider(44)"}));
    player->calls.clear();
    player->brightness.SetPos(1);
    window->ExecuteCommand(40057);
    window->ExecuteCommand(40057);
    player->brightness.SetPos(100);
    window->ExecuteCommand(40056);
    player->speed.SetPos(7);
    window->ExecuteCommand(40052);
    player->speed.SetPos(1);
    window->ExecuteCommand(40053);
    EXPECT_EQ(player->calls, (std::vector<std::string>{"ChangeVideoBrightnessFromBrightnessSlider(0)",
                                                       "ChangeVideoBrightnessFromBrightnessSlider(0)",
                                                       "ChangeVideoBrightnessFromBrightnessSlider(100)",
                                                       "ChangeVideoPlaySpeedFromSpeedSlider(7)",
                                                       "ChangeVideoPlaySpeedFromSpeedSlider(1)"}));
}

TEST_F(KeysTest, InsideAPaneATableKeyRunsItsCommandAndEveryOtherPressIsSwallowed)
{
    realList = true;
    Open();
    window->OpenVideoFiles({QStringLiteral("/card/")}, {});
    auto* pane = static_cast<VideoListControl*>(listPane);
    CSkinListCtrl* rows = pane->ListControl();
    ASSERT_TRUE(Eventually([&] { return rows->GetItemCount() == 2 && Delivered("map", NEW_VIDEO_PLAY); }));
    rows->SetUserClicked(false);
    rows->SelectItem(1);
    KeySpy reachedList(rows);

    Press(rows, Qt::Key_Down);
    EXPECT_EQ(player->calls, std::vector<std::string>{"StepVolume(-1)"});
    EXPECT_EQ(rows->GetSelectedItem(), 1) << "the list did not move";
    Press(rows, Qt::Key_W);
    Press(rows, Qt::Key_X);
    Press(pane->Button(FilterButton::Event), Qt::Key_Space);
    EXPECT_TRUE(reachedList.keys.empty());
    EXPECT_EQ(player->calls, (std::vector<std::string>{"StepVolume(-1)", "OnBnClickedPlayBtn"}));
    EXPECT_FALSE(pane->Button(FilterButton::Event)->GetCheck()) << "Space pressed no filter button";

    // The floating map is a window of its own, still the map's pane.
    map->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    map->show();
    ASSERT_TRUE(map->isWindow());
    KeySpy reachedMap(map);
    Press(map, Qt::Key_M);
    Press(map, Qt::Key_Q);
    EXPECT_EQ(player->calls.back(), "OnBnClickedMuteBtn");
    EXPECT_TRUE(reachedMap.keys.empty());
}

TEST_F(KeysTest, AtTheWindowsLevelOnlyEnterEscAndAltAreSwallowedAndDialogsAreNotRouted)
{
    realList = true;
    Open();
    KeySpy reachedWindow(window.get());
    CButtonStyle* open = window->ToolbarButton(MainWindowId::OpenButton);
    KeySpy reachedButton(open);
    Press(open, Qt::Key_Return);
    Press(open, Qt::Key_Enter);
    Press(open, Qt::Key_Space);
    EXPECT_TRUE(pickerStarts.isEmpty()) << "no key pressed the button";
    for (int key : {Qt::Key_F10, Qt::Key_Alt})
        Press(window.get(), key, key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
    Press(window.get(), Qt::Key_Space, Qt::AltModifier);
    Press(window.get(), Qt::Key_Tab);
    Press(window.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(reachedButton.keys.empty());
    EXPECT_EQ(reachedWindow.keys, (std::vector<int>{Qt::Key_Tab, Qt::Key_X})) << "the rest passes";

    // Tab moves the focus on from the window to the list's rows.
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    window->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), window.get());
    Press(window.get(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<VideoListControl*>(listPane)->ListControl());

    // A dialog over the window gets its own keys: Space does not play, Esc
    // closes it and leaves the view alone.
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT}));
    QDialog dialog(window.get());
    testsupport::OnNextModal<QDialog>([&](QDialog* shown) {
        Press(shown, Qt::Key_Space);
        Press(shown, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(player->calls.empty());
    EXPECT_FALSE(hub->GetMaximized());

    // Alt+F4 is the close.
    Press(window.get(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(hub->GetRunning());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(testsupport::ReadFileBytes(OptionsPath()).contains("PLAY_VALUE=5"));
}

TEST_F(KeysTest, ContextMenusOpenAtThePointerAndEachItemRunsItsCommand)
{
    realList = true;
    Open();
    GiveEntry();
    QCursor::setPos(window->mapToGlobal(QPoint(300, 200)));
    const QPoint pointer = QCursor::pos();

    // The player passes the request up: the window's menu.
    const QStringList shown = PickFromContextMenu([&] { RightClick(player); }, {});
    ASSERT_EQ(shown.size(), 11);
    EXPECT_EQ(shown[0], QStringLiteral("открыть файл(Ctrl+O)"));
    EXPECT_EQ(shown[10], QStringLiteral("Громкость"));
    EXPECT_LE((popupAt - pointer).manhattanLength(), 2) << "at the pointer, not at the request's point";

    struct Item {
        QStringList path;
        const char* call;
    };
    const Item items[] = {
        {{"Воспроизведение/пауза(Space)"}, "OnBnClickedPlayBtn"},
        {{"Назад(<-)"}, "OnBnClickedRewindBtn"},
        {{"Вперед(->)"}, "OnBnClickedForwardBtn"},
        {{"Предыдущий(Page Down)"}, "OnBnClickedNextBtn"},
        {{"Следующий(Page Up)"}, "OnBnClickedPreviousBtn"},
        {{"Яркость", "мрачно"}, "ChangeVideoBrightnessFromBrightnessSlider(48)"},
        {{"Яркость", "ярко"}, "ChangeVideoBrightnessFromBrightnessSlider(50)"},
        {{"Яркость", "Яркость по умолчанию(b)"}, "OnBnClickedBrightnessDefaultBtn"},
        {{"Скорость", "быстро"}, "ChangeVideoPlaySpeedFromSpeedSlider(5)"},
        {{"Скорость", "замедлять"}, "ChangeVideoPlaySpeedFromSpeedSlider(4)"},
        {{"Скорость", "Скорость по умолчанию(s)"}, "OnBnClickedSpeedDefaultBtn"},
        {{"Громкость", "Громкость вверх(Up Key)"}, "StepVolume(1)"},
        {{"Громкость", "Громкость вниз(Down Key)"}, "StepVolume(-1)"},
        {{"Громкость", "Режим без звука вкл./выкл.(m)"}, "OnBnClickedMuteBtn"},
    };
    for (const Item& item : items) {
        player->calls.clear();
        PickFromContextMenu([&] { RightClick(window.get()); }, item.path);
        EXPECT_EQ(player->calls, std::vector<std::string>{item.call}) << item.path.join('/').toStdString();
    }
    PickFromContextMenu([&] { RightClick(player); }, {QStringLiteral("открыть файл(Ctrl+O)")});
    EXPECT_EQ(pickerStarts.size(), 1);

    // The list keeps its own.
    auto* pane = static_cast<VideoListControl*>(listPane);
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT, RECORDING_NORMAL}));
    hub->Post(VIDEO_FILES_OPENED);
    ASSERT_TRUE(Eventually([&] { return pane->ListControl()->GetItemCount() == 2; }));
    const QStringList listed =
        PickFromContextMenu([&] { RightClick(pane->ListControl()->viewport()); }, {QStringLiteral("N=Обычный")});
    EXPECT_EQ(listed, (QStringList{"A=Все", "N=Обычный", "E=Событие", "M=Движение"}));
    EXPECT_EQ(hub->GetFilterType(), 2);
    EXPECT_EQ(pane->ListControl()->GetItemCount(), 1);
    PickFromContextMenu([&] { RightClick(pane); }, {QStringLiteral("A=Все")});
    EXPECT_EQ(hub->GetFilterType(), 0);
    EXPECT_EQ(pane->ListControl()->GetItemCount(), 2);
}

class ContextMenuScreenshots : public KeysTest {};

TEST_F(ContextMenuScreenshots, TheWindowsMenuWithTheBrightnessSubmenuOpen)
{
    realList = true;
    Open();
    // The video area black, as the player pane shows it between pictures.
    QPalette black = player->palette();
    black.setColor(QPalette::Window, Qt::black);
    player->setPalette(black);
    player->setAutoFillBackground(true);
    loader = [this](const LoaderCall&) {
        return ApplicationHub::Entries{
            entries.Make(RECORDING_EVENT, QStringLiteral("2013-04-05"), QStringLiteral("12:00:00")),
            entries.Make(RECORDING_NORMAL, QStringLiteral("2013-04-05"), QStringLiteral("12:34:56"))};
    };
    window->OpenVideoFiles({QStringLiteral("/card/")}, {});
    ASSERT_TRUE(Eventually([&] { return Delivered("map", NEW_VIDEO_PLAY); }));
    // Room on the right of the pointer for the submenu on the offscreen screen.
    QCursor::setPos(window->mapToGlobal(QPoint(120, 150)));
    QImage picture;
    PickFromContextMenu([&] { RightClick(player); }, {QStringLiteral("Яркость"), QStringLiteral("ярко")},
                        [&](QMenu* top, QMenu* sub) {
                            ASSERT_TRUE(sub);
                            picture = testsupport::Grab(*window);
                            QPainter painter(&picture);
                            const QPoint origin = window->mapToGlobal(QPoint(0, 0));
                            painter.drawImage(top->pos() - origin, testsupport::Grab(*top));
                            painter.drawImage(sub->pos() - origin, testsupport::Grab(*sub));
                            EXPECT_GT(sub->pos().x(), top->pos().x()) << "the submenu beside its menu";
                        });
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(player->calls, std::vector<std::string>{"ChangeVideoBrightnessFromBrightnessSlider(52)"});
    EXPECT_TRUE(testsupport::SaveScreenshot(picture, QStringLiteral("context-menu")));
}

}  // namespace
}  // namespace uitest
