#pragma once
// Installs the Qt implementations of the hooks: message boxes with the German
// captions and button texts, the beep, the file, directory, font and colour
// dialogs, opening documents and starting programs. The print slots keep the
// silent defaults until printing installs its own; finding another program's
// window has no portable answer under X11 and Wayland and keeps answering
// "not found", so the program starts a new copy instead.

namespace platform {

void InstallDefaultHooks();

} // namespace platform
