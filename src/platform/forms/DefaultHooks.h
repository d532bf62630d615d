#pragma once
// Installs the Qt implementations of the hooks: message boxes with the German
// captions and button texts, the beep, the file, font and colour dialogs, the
// print and printer setup dialogs, opening documents; and the program's
// printer over QPrinter. The directory dialog and the start of a program are
// the program's own (its directory selection window, its detached start): the
// program installs them at start-up, and they stay silent until then. Finding
// another program's window has no portable answer under X11 and Wayland and
// keeps answering "not found", so the program starts a new copy instead.

#include "platform/Hooks.h"

class QFileDialog;

namespace platform {

void InstallDefaultHooks();

// The page setup of rich-text printing in QPageSetupDialog (PageSetupHook.cpp).
TPageSetupAnswer QtPageSetupDialog(const TPageSetupRequest& request);

// The non-native file dialog of the default hooks, set up for a request but
// not shown; and the answer it gives once it closed with result. An open
// dialog that offers the read-only tick shows it as a check box
// (ReadOnlyBoxName) under the dialog's own controls.
inline constexpr const char* ReadOnlyBoxName = "readOnlyBox";
void SetUpFileDialog(QFileDialog& dialog, const TFileDialogRequest& request, bool save);
TFileDialogAnswer FileDialogAnswerOf(const QFileDialog& dialog, const TFileDialogRequest& request, int result);

} // namespace platform
