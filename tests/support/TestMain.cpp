#ifdef NORVANE_GUI_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include "threads/WorkerThread.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Every test sees the same zone and language, however it is started; no display unless
    // one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Berlin");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    // The copies of the program the tests start keep their files in the user's data directory:
    // one of this run, never the user's own.
    const QTemporaryDir userData;
    qputenv("XDG_DATA_HOME", QFile::encodeName(userData.path()));
#ifdef NORVANE_GUI_TESTS
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // A thread a test left on a stalled share ends once the share answers; one still running
    // while the process frees its statics would read freed memory.
    WorkerThread::waitForAbandoned(QDeadlineTimer(10000));
    return failed;
}
