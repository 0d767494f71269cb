#include "platform/widgets/ChooseFolder.h"
#include "support/gui/NextModal.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>


namespace {

struct Shown {
    QString title;
    QString directory;
    bool native = true;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    bool dirsOnly = false;
    QWidget* parent = nullptr;
};

Shown Look(QFileDialog* dialog)
{
    return {dialog->windowTitle(), dialog->directory().absolutePath(),
            !dialog->testOption(QFileDialog::DontUseNativeDialog), dialog->fileMode(),
            dialog->testOption(QFileDialog::ShowDirsOnly), dialog->parentWidget()};
}

TEST(ChooseFolder, TheDialogAnswersTheTypedFolderOrNone)
{
    QTemporaryDir dir;
    const QString chosen = dir.path() + QString::fromUtf8("/Снимки");
    ASSERT_TRUE(QDir().mkpath(chosen));
    QWidget owner;
    const QString caption = QString::fromUtf8("Выберите папку.");

    Shown shown;
    testsupport::OnNextModal<QFileDialog>([&](QFileDialog* dialog) {
        shown = Look(dialog);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(chosen);  // typed: QTest types ASCII only
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(platform::ChooseFolder(&owner, caption, dir.path()), chosen);
    EXPECT_EQ(shown.title, caption);
    EXPECT_EQ(shown.directory, dir.path());
    EXPECT_FALSE(shown.native);
    EXPECT_EQ(shown.mode, QFileDialog::Directory);
    EXPECT_TRUE(shown.dirsOnly);
    EXPECT_EQ(shown.parent, &owner);

    testsupport::OnNextModal<QFileDialog>([&](QFileDialog* dialog) {
        shown = Look(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(platform::ChooseFolder(&owner, caption, dir.path() + "/missing"), std::nullopt);
    EXPECT_EQ(shown.directory, QDir::homePath()) << "a start that is not a folder opens at home";
}

TEST(ChooseFolder, AScopedChooserAnswersInsteadOfTheDialog)
{
    QWidget owner;
    int calls = 0;
    bool dialogShown = false;
    testsupport::OnNextModal<QFileDialog>([&](QFileDialog* dialog) {
        dialogShown = true;
        dialog->reject();
    });
    {
        platform::ScopedFolderChooser chooser([&](QWidget* parent, const QString& caption, const QString& start) {
            ++calls;
            EXPECT_EQ(parent, &owner);
            EXPECT_EQ(caption, QStringLiteral("caption"));
            EXPECT_EQ(start, QStringLiteral("/start"));
            return std::optional<QString>("/chosen");
        });
        EXPECT_EQ(platform::ChooseFolder(&owner, "caption", "/start"), QStringLiteral("/chosen"));
    }
    EXPECT_EQ(calls, 1);
    QApplication::processEvents();
    EXPECT_FALSE(dialogShown);
    // Gone with its scope: the dialog answers again (and the poll ends).
    EXPECT_EQ(platform::ChooseFolder(&owner, "caption", ""), std::nullopt);
    EXPECT_TRUE(dialogShown);
}

}  // namespace
