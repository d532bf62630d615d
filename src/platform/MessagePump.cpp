#include "platform/MessagePump.h"

#include <QCoreApplication>

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

void MessagePump::PumpNow()
{
    // Restart before running: events handled inside may take long, and the
    // next interval counts from the start of this pump.
    timer_.start();
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
