// The file-and-folder picker: the selection rule on tables, then the real
// dialog offscreen on a temporary tree with awkward names.

#include "support/ChildWatch.h"
#include "support/DriveFixture.h"
#include "support/FileFixtures.h"
#include "support/gui/NextModal.h"
#include "support/gui/Screenshot.h"
#include "ui/CSelDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using testsupport::WaitUntil;

PickerItem File(const QString& path)
{
    return {path, path.section('/', -1), false, false};
}

PickerItem Folder(const QString& path)
{
    return {path, path.section('/', -1), true, false};
}

TEST(PickerSelection, Table)
{
    EXPECT_EQ(ComputeSelection("/rec", {}), QStringList{"/rec/"}) << "nothing selected: the shown folder";
    EXPECT_EQ(ComputeSelection("/", {}), QStringList{"/"});
    EXPECT_EQ(ComputeSelection("/rec", {Folder("/rec/sub")}), QStringList{"/rec/sub"});
    EXPECT_EQ(ComputeSelection("/rec", {File("/rec/b.avi"), Folder("/rec/sub"), File("/rec/ lead.avi")}),
              (QStringList{"/rec/sub", "/rec/b.avi", "/rec/ lead.avi"}))
        << "folders first, then files, each in list order";

    testsupport::DriveFixture drives;
    const QString card = drives.MakeFolder("CARD");
    EXPECT_EQ(ComputeSelection(QFileInfo(card).path(), {{card, "CARD", true, true}, File(card + "x/12:30.avi")}),
              (QStringList{card + "/", card + "x/12:30.avi"}))
        << "a drive gives its root; ':' is an ordinary character";

    std::vector<PickerItem> many;
    QStringList expected;
    for (int i = 0; i < 3000; ++i) {
        const QString path = QString("/rec/\"file %1\".avi").arg(i, 4, 10, QChar('0'));
        many.push_back(File(path));
        expected << path;
    }
    EXPECT_EQ(ComputeSelection("/rec", many), expected);
}

class PickerTest : public testing::Test {
protected:
    QTemporaryDir tree;
    testsupport::DriveFixture drives;
    QWidget owner;

    void SetUp() override
    {
        ASSERT_TRUE(QDir(tree.path()).mkdir("sub"));
        for (const char* name : {"a.avi", " lead.avi", "q\"uote.avi", "12:30.avi", "b.AVI", "notes.txt"}) {
            testsupport::WriteFileBytes(Path(name), "x");
        }
        owner.setGeometry(200, 150, 800, 600);
        owner.show();
    }

    QString Path(const QString& name) const { return tree.path() + "/" + name; }

    std::unique_ptr<CSelDialog> Shown(const QString& folder)
    {
        auto picker = std::make_unique<CSelDialog>(&owner, folder, Drives(drives.Sources()));
        picker->show();
        return picker;
    }

    static QListView* List(CSelDialog& picker) { return picker.findChild<QListView*>("listView"); }
    static QFileSystemModel* Model(CSelDialog& picker) { return qobject_cast<QFileSystemModel*>(List(picker)->model()); }
    static QModelIndex Index(CSelDialog& picker, const QString& path)
    {
        return path.isEmpty() ? QModelIndex() : Model(picker)->index(path);
    }
    // Waits until the list shows path (the listing arrives from the model's
    // own thread).
    static QModelIndex Listed(CSelDialog& picker, const QString& path)
    {
        QModelIndex index;
        const bool shown = WaitUntil(
            [&] {
                index = Index(picker, path);
                return index.isValid() && List(picker)->visualRect(index).isValid();
            },
            5000);
        EXPECT_TRUE(shown) << path.toStdString();
        return index;
    }
    // A user's double click: a click, then the second press that makes it
    // one (QTest's double click alone starts with no first click).
    static void DoubleClick(CSelDialog& picker, const QModelIndex& index)
    {
        QListView* list = List(picker);
        const QPoint at = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // Waits until the listing of the shown folder is complete and sorted:
    // the one folder first, then the five recordings.
    static void Settled(CSelDialog& picker)
    {
        QListView* list = List(picker);
        const bool settled = WaitUntil(
            [&] {
                const QModelIndex root = list->rootIndex();
                return Model(picker)->rowCount(root) == 6 &&
                       Model(picker)->index(0, 0, root).data().toString() == "sub";
            },
            5000);
        EXPECT_TRUE(settled);
    }
    static QPushButton* Button(CSelDialog& picker, QDialogButtonBox::StandardButton which)
    {
        return picker.findChild<QDialogButtonBox*>("buttonBox")->button(which);
    }
};

TEST_F(PickerTest, LooksAsTheOpenCommandAsksAndStandsNearItsOwner)
{
    auto picker = Shown(tree.path());
    EXPECT_EQ(picker->findChild<QLabel*>("fileNameLabel")->text(), "выбранного файла :");
    EXPECT_EQ(Button(*picker, QDialogButtonBox::Open)->text(), "Подтвердить");
    EXPECT_EQ(Button(*picker, QDialogButtonBox::Cancel)->text(), "Отменить");
    EXPECT_TRUE(picker->findChild<QComboBox*>("fileTypeCombo")->isHidden());
    EXPECT_TRUE(picker->findChild<QLabel*>("fileTypeLabel")->isHidden());
    EXPECT_EQ(picker->pos(), owner.frameGeometry().topLeft() + QPoint(60, 100));
    EXPECT_TRUE(picker->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(picker->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(CSelDialog::SelectedFolder(), tree.path());

    // Recordings in any letter case are listed, other files are not.
    const QStringList listed = {" lead.avi", "12:30.avi", "a.avi", "b.AVI", "q\"uote.avi", "sub"};
    QStringList names;
    EXPECT_TRUE(WaitUntil(
        [&] {
            names.clear();
            const QModelIndex root = List(*picker)->rootIndex();
            for (int row = 0; row < Model(*picker)->rowCount(root); ++row) {
                names << Model(*picker)->index(row, 0, root).data().toString();
            }
            names.sort();
            return names == listed;
        },
        5000))
        << names.join('|').toStdString();
}

TEST_F(PickerTest, OkWithNothingSelectedGivesTheShownFolder)
{
    auto picker = Shown(tree.path());
    Listed(*picker, Path("a.avi"));
    QPushButton* open = Button(*picker, QDialogButtonBox::Open);
    EXPECT_TRUE(open->isEnabled());
    open->click();
    EXPECT_EQ(picker->result(), QDialog::Accepted);
    EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{tree.path() + "/"});
    EXPECT_EQ(CSelDialog::SelectedFolder(), tree.path());
}

TEST_F(PickerTest, TheComputersViewIsNoFolderToConfirm)
{
    auto picker = Shown(tree.path());
    Listed(*picker, Path("a.avi"));
    // The sidebar's first place, the computer: the drives, no folder.
    auto* sidebar = picker->findChild<QListView*>(QStringLiteral("sidebar"));
    ASSERT_NE(sidebar, nullptr);
    const QModelIndex computer = sidebar->model()->index(0, 0);
    QTest::mouseClick(sidebar->viewport(), Qt::LeftButton, {}, sidebar->visualRect(computer).center());
    ASSERT_TRUE(WaitUntil([&] { return List(*picker)->rootIndex() == QModelIndex(); }, 5000));
    Button(*picker, QDialogButtonBox::Open)->click();
    EXPECT_TRUE(picker->isVisible()) << "nothing selected there: the picker stays open";
    EXPECT_EQ(picker->result(), 0);
    EXPECT_EQ(CSelDialog::SelectedFolder(), tree.path()) << "never the working folder";
}

TEST_F(PickerTest, SelectedItemsComeBackByTheirPaths)
{
    auto picker = Shown(tree.path());
    Settled(*picker);
    QItemSelectionModel* selection = List(*picker)->selectionModel();
    for (const char* name : {"q\"uote.avi", " lead.avi", "sub", "12:30.avi"}) {
        selection->select(Listed(*picker, Path(name)), QItemSelectionModel::Select);
    }
    // The files in the list's order, whatever the collation makes of blanks.
    QStringList files = {Path("q\"uote.avi"), Path(" lead.avi"), Path("12:30.avi")};
    std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) {
        return Index(*picker, a).row() < Index(*picker, b).row();
    });
    Button(*picker, QDialogButtonBox::Open)->click();
    EXPECT_EQ(picker->result(), QDialog::Accepted);
    EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{Path("sub")} + files);
}

TEST_F(PickerTest, DoubleClicksConfirmAFileAndEnterAFolder)
{
    auto picker = Shown(tree.path());
    DoubleClick(*picker, Listed(*picker, Path("sub")));
    EXPECT_TRUE(WaitUntil([&] { return picker->directory().absolutePath() == Path("sub"); }, 5000));
    EXPECT_EQ(CSelDialog::SelectedFolder(), Path("sub"));
    EXPECT_TRUE(picker->isVisible());

    picker->setDirectory(tree.path());
    DoubleClick(*picker, Listed(*picker, Path(" lead.avi")));
    EXPECT_EQ(picker->result(), QDialog::Accepted);
    EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{Path(" lead.avi")}) << "the leading blank survives";
    EXPECT_EQ(CSelDialog::SelectedFolder(), tree.path());
}

TEST_F(PickerTest, ADriveComesBackAsItsRootAndCancelKeepsTheResults)
{
    const QString card = drives.MakeFolder("CARD");
    drives.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "CARD", .removable = true},
                    card.toUtf8());
    {
        auto picker = Shown(QFileInfo(card).path());
        List(*picker)->selectionModel()->select(Listed(*picker, card), QItemSelectionModel::Select);
        Button(*picker, QDialogButtonBox::Open)->click();
        EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{card + "/"});
    }
    // Through Run, as the open command runs it; Cancel changes nothing.
    testsupport::OnNextModal<CSelDialog>([](CSelDialog* picker) { picker->reject(); });
    EXPECT_FALSE(CSelDialog::Run(&owner, tree.path(), Drives(drives.Sources())));
    EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{card + "/"});
    testsupport::OnNextModal<CSelDialog>([](CSelDialog* picker) { picker->accept(); });
    EXPECT_TRUE(CSelDialog::Run(&owner, tree.path(), Drives(drives.Sources())));
    EXPECT_EQ(CSelDialog::SelectedPaths(), QStringList{tree.path() + "/"});
}

class PickerScreenshots : public PickerTest {};

TEST_F(PickerScreenshots, Picker)
{
    auto picker = Shown(tree.path());
    Settled(*picker);
    QTreeView* details = picker->findChild<QTreeView*>("treeView");
    const QModelIndex index = Index(*picker, Path("a.avi"));
    QTest::mouseClick(details->viewport(), Qt::LeftButton, {}, details->visualRect(index).center());
    QApplication::processEvents();
    EXPECT_EQ(picker->SelectedItems().size(), 1u);
    EXPECT_TRUE(testsupport::SaveScreenshot(*picker, "picker"));
}

}  // namespace
