#include "platform/MessagePump.h"

#include <QCoreApplication>

#include <algorithm>

namespace platform {

MessagePump::MessagePump(int intervalMs)
    : intervalMs_(intervalMs)
{
}

bool MessagePump::Pump()
{
    if (timer_.isValid() && timer_.elapsed() < intervalMs_)
        return false;
    PumpNow();
    return true;
}

bool MessagePump::PumpSometimes()
{
    if (intervalMs_ <= 0)
        return Pump();
    if (--untilCheck_ > 0)
        return false;
    if (!timer_.isValid()) {
        PumpNow();
        return true;
    }
    const qint64 now = timer_.nsecsElapsed();
    // The pace of the calls since the last read sets how many to skip until
    // the next: about a millisecond's worth, at most 256 calls.
    constexpr qint64 TargetNs = 1000000;
    const qint64 spent = std::max<qint64>(now - lastCheckNs_, 1);
    const qint64 stride = qint64(stride_) * TargetNs / spent;
    stride_ = int(std::clamp<qint64>(stride, 1, 256));
    untilCheck_ = stride_;
    lastCheckNs_ = now;
    if (now < qint64(intervalMs_) * 1000000)
        return false;
    PumpNow();
    return true;
}

void MessagePump::PumpNow()
{
    // Restart before running: events handled inside may take long, and the
    // next interval counts from the start of this pump.
    timer_.start();
    lastCheckNs_ = 0;
    Run();
}

void MessagePump::SetAction(Action action)
{
    action_ = std::move(action);
}

void MessagePump::Run()
{
    if (action_) {
        action_();
        return;
    }
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

MessagePump& MessagePump::Default()
{
    static MessagePump pump;
    return pump;
}

} // namespace platform
