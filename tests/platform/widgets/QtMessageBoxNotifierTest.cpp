#include "core/Logger.h"
#include "platform/widgets/QtMessageBoxNotifier.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <gtest/gtest.h>

#include <atomic>
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

}  // namespace

int main(int argc, char** argv)
{
    // Never a display, also when CTest lists the cases outside the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
