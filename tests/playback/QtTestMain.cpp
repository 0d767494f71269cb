// Runs the suite inside a Qt application: a QCoreApplication, or with
// KESTROV_TEST_WIDGETS a QApplication on the platform the environment names.

#include <QApplication>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
#ifdef KESTROV_TEST_WIDGETS
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
