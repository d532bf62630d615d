#include "platform/MessagePump.h"

#include <QCoreApplication>
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
