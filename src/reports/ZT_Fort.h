#pragma once
// Progress routines for long report operations. The progress window they
// drive is not part of this program, so each call does nothing: no progress
// is shown and a report's Aborted flag stays false. Back ends call them as if
// the window existed; the abort handler, when installed, is kept so it can be
// restored.
#include <functional>

class QObject;

using TProgressAbortHandler = std::function<void(QObject* sender)>;

// Shows the window when maximum / step exceeds threshold, the bar at 0.
void ShowProgress(int threshold, int maximum, int step);
void StepProgress();
void HideProgress();
// Installs handler for the abort button; with an empty handler the previous
// one comes back.
void SetProgressAbortHandler(TProgressAbortHandler handler);
// Whether the progress window is shown (never in this program).
bool ProgressShown();
