#include <QCoreApplication>
#include <gtest/gtest.h>

// Every test runs with a Qt application object on the main thread, as the
// program itself does (events, timers, queued calls).
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
