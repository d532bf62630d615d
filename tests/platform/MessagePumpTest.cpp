#include "platform/MessagePump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using platform::MessagePump;

TEST(MessagePump, ThrottlesToOneRunPerInterval)
{
    MessagePump pump(60000);
    int runs = 0;
    pump.SetAction([&runs] { ++runs; });
    EXPECT_TRUE(pump.Pump());          // the first call always lets messages through
    for (int i = 0; i < 10000; ++i)
        pump.Pump();
    EXPECT_EQ(runs, 1);
    pump.PumpNow();
    EXPECT_EQ(runs, 2);
    pump.Restart();
    EXPECT_TRUE(pump.Pump());
    EXPECT_EQ(runs, 3);
}

TEST(MessagePump, RunsAgainOnceTheIntervalHasPassed)
{
    MessagePump pump(20);
    int runs = 0;
    pump.SetAction([&runs] { ++runs; });
    pump.Pump();
    QThread::msleep(40);
    EXPECT_TRUE(pump.Pump());
    EXPECT_EQ(runs, 2);

    pump.SetIntervalMs(0);
    for (int i = 0; i < 5; ++i)
        pump.Pump();
    EXPECT_EQ(runs, 7);
}

TEST(MessagePump, DefaultActionDeliversPendingEvents)
{
    MessagePump pump;
    bool delivered = false;
    QObject receiver;
    QMetaObject::invokeMethod(&receiver, [&delivered] { delivered = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(delivered);
    pump.PumpNow();
    EXPECT_TRUE(delivered);

    // An empty action restores the default.
    int runs = 0;
    pump.SetAction([&runs] { ++runs; });
    pump.SetAction({});
    delivered = false;
    QMetaObject::invokeMethod(&receiver, [&delivered] { delivered = true; }, Qt::QueuedConnection);
    pump.PumpNow();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(runs, 0);

    EXPECT_EQ(&MessagePump::Default(), &MessagePump::Default());
    EXPECT_EQ(MessagePump::Default().IntervalMs(), 30);
}

// Many short steps: the clock is read only every so many calls, yet the
// action still runs about once per interval, and never before it.
TEST(MessagePump, PumpSometimesStillLetsMessagesThroughEveryInterval)
{
    MessagePump pump(20);
    int runs = 0;
    pump.SetAction([&runs] { ++runs; });
    EXPECT_TRUE(pump.PumpSometimes());      // the first call always runs
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        // A step of a few microseconds, as a line of an archive takes.
        QElapsedTimer step;
        step.start();
        while (step.nsecsElapsed() < 3000) {
        }
        pump.PumpSometimes();
    }
    // About every 20 ms (the benchmark measures the gaps), never more often.
    EXPECT_GE(runs, 5);
    EXPECT_LE(runs, 300 / 20 + 2);

    // Interval 0: every call runs.
    pump.SetIntervalMs(0);
    const int before = runs;
    for (int i = 0; i < 5; ++i)
        pump.PumpSometimes();
    EXPECT_EQ(runs, before + 5);
}
