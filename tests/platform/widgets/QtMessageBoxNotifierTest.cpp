#include "core/Logger.h"
#include "platform/widgets/QtMessageBoxNotifier.h"
#include "support/TestSupport.h"
#include "support/gui/NextModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

QList<QMessageBox*> OpenBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            boxes.append(box);
        }
    }
    return boxes;
}

void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class QtMessageBoxNotifierTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (QMessageBox* box : OpenBoxes()) {
            box->done(QMessageBox::Ok);
        }
        Settle();
        UserNotifier::Install(nullptr);
    }
    QtMessageBoxNotifier notifier;
};

TEST_F(QtMessageBoxNotifierTest, APostedBoxOpensOnTheUiThreadAndReportsItsClose)
{
    std::atomic<bool> closed{false};
    std::thread::id closedOn;
    std::thread poster([&] {
        notifier.PostMessage(QStringLiteral("Cannot Open Log!!"), [&] {
            closedOn = std::this_thread::get_id();
            closed = true;
        });
    });
    poster.join();  // returned without waiting for anyone
    EXPECT_TRUE(OpenBoxes().isEmpty());

    Settle();
    const QList<QMessageBox*> boxes = OpenBoxes();
    ASSERT_EQ(boxes.size(), 1);
    QMessageBox* box = boxes.first();
    EXPECT_EQ(box->text(), QStringLiteral("Cannot Open Log!!"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("platform_widgets_tests"));
    EXPECT_FALSE(closed);

    box->button(QMessageBox::Ok)->click();
    Settle();
    EXPECT_TRUE(closed);
    EXPECT_EQ(closedOn, std::this_thread::get_id());
    EXPECT_TRUE(OpenBoxes().isEmpty());
}

TEST_F(QtMessageBoxNotifierTest, FailingLogLinesFromAWorkerShowOneBoxAtATime)
{
    testsupport::ScopedWorkingFolder folder;
    QFile blocker(QStringLiteral("LOG"));  // a file where the LOG folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(true);
    logger.SetNotifier(&notifier);
    const auto failFromWorker = [&logger](int lines) {
        std::thread worker([&logger, lines] {
            for (int i = 0; i < lines; ++i) {
                logger.Log(QStringLiteral("position"), QStringLiteral("Channel"), QStringLiteral("OnEvent"), 3, 3);
            }
        });
        worker.join();
        Settle();
    };

    failFromWorker(1);
    ASSERT_EQ(OpenBoxes().size(), 1);
    failFromWorker(50);
    EXPECT_EQ(OpenBoxes().size(), 1);

    OpenBoxes().first()->done(QMessageBox::Ok);
    Settle();
    EXPECT_TRUE(OpenBoxes().isEmpty());
    failFromWorker(50);
    EXPECT_EQ(OpenBoxes().size(), 1);

    OpenBoxes().first()->done(QMessageBox::Ok);
    Settle();
    logger.SetEnabled(false);
    logger.SetNotifier(nullptr);
}

using Button = UserNotifier::Button;

using testsupport::OnNextModal;

TEST_F(QtMessageBoxNotifierTest, AQuestionAnswersEnterWithItsDefaultAndEscWithItsEscapeAnswer)
{
    struct Seen {
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    } seen;
    const auto press = [&seen](int key) {
        return [&seen, key](QMessageBox* box) {
            seen = {box->windowTitle(), box->icon(), box->standardButtons()};
            QTest::keyClick(box, Qt::Key(key));
        };
    };

    OnNextModal<QMessageBox>(press(Qt::Key_Return));
    EXPECT_EQ(notifier.Ask("Снимок сохранён. Открыть папку?", QString::fromUtf8("경고"), Button::Yes | Button::No, Button::Yes),
              Button::Yes);
    EXPECT_EQ(seen.title, QString::fromUtf8("경고"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    OnNextModal<QMessageBox>(press(Qt::Key_Escape));
    EXPECT_EQ(notifier.Ask("format?", "", Button::Ok | Button::Cancel, Button::Ok), Button::Cancel);
    EXPECT_EQ(seen.title, QStringLiteral("platform_widgets_tests")) << "an empty caption is the program's name";
    EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    OnNextModal<QMessageBox>([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(notifier.Ask("cut done", "", Button::Yes | Button::No, Button::Yes), Button::No);

    OnNextModal<QMessageBox>(press(Qt::Key_Escape));
    EXPECT_EQ(notifier.Ask(QString::fromUtf8("알림"), "", Button::Ok, Button::Ok), Button::Ok);
}

TEST_F(QtMessageBoxNotifierTest, AQuestionOffTheUiThreadIsRefused)
{
    bool refused = false;
    std::thread worker([&] {
        try {
            notifier.Ask("q", "", Button::Ok, Button::Ok);
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    worker.join();
    EXPECT_TRUE(refused);
}

}  // namespace
