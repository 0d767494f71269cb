// The browser and printing components the map pane and the printed report
// use, as installed: a page loads offscreen, a PDF is printed.

#include "platform/BrowserEngine.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

TEST(WebEngineComponents, ABrowserViewLoadsADataPage)
{
    QWebEngineView view;
    view.resize(320, 200);
    bool finished = false;
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
        finished = true;
        loaded = ok;
    });
    view.load(QUrl(QStringLiteral("data:text/html;charset=utf-8,<title>kestrov</title><p>map</p>")));
    view.show();
    ASSERT_TRUE(testsupport::RunUntil([&] { return finished; }));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(view.title(), QStringLiteral("kestrov"));
}

TEST(WebEngineComponents, APrinterWritesAOnePagePdf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    painter.drawText(QPointF(100, 100), QString::fromUtf8("1. Информация о записи"));
    ASSERT_TRUE(painter.end());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/Count 1")) << "one page";
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    platform::PrepareBrowserEngine();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
