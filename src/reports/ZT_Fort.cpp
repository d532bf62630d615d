#include "reports/ZT_Fort.h"

namespace {

TProgressAbortHandler& CurrentHandler()
{
    static TProgressAbortHandler handler;
    return handler;
}

TProgressAbortHandler& PreviousHandler()
{
    static TProgressAbortHandler handler;
    return handler;
}

} // namespace

// The progress window does not exist in this program: nothing to show.
void ShowProgress(int, int, int) {}
void StepProgress() {}
void HideProgress() {}

void SetProgressAbortHandler(TProgressAbortHandler handler)
{
    if (handler) {
        PreviousHandler() = std::move(CurrentHandler());
        CurrentHandler() = std::move(handler);
    } else {
        CurrentHandler() = std::move(PreviousHandler());
        PreviousHandler() = nullptr;
    }
}

bool ProgressShown()
{
    return false;
}
