#ifdef NORVANE_GUI_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs the binary at build time, outside CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", "Europe/Berlin");
#ifdef NORVANE_GUI_TESTS
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
