#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Runs the tests with a Qt application object, so network replies, timers and queued calls work.
// The event loop is spun by each test (QSignalSpy::wait, QTRY_ or a local QEventLoop) as it needs.
int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
