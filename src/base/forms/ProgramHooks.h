#pragma once
// The hooks that are the program's own, installed at start-up beside the Qt
// defaults of the platform layer: the directory dialog is our directory
// selection window (volumes, directory tree, path), and a program is started
// detached, with a name without a directory taken from the current directory
// as the program starter expects, never searched for on the search path.
void InstallProgramHooks();
