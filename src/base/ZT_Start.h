#pragma once
// Starting another program, opening a document with the program registered
// for it, or bringing an already running program to the front instead of
// starting a second copy.
//
// Programs are started through platform::Hooks().StartProcess, documents opened
// through Hooks().OpenDocument. There is no portable way on Linux to find
// another program's main window by class and title, so the starter remembers
// the programs it started together with the window class and title they were
// started for (StartOrActivateProgram), and finds them again while they run;
// only when none of them matches is Hooks().FindProgramWindow asked.
#include "platform/Hooks.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

// Called when a process cannot be created, with the executable and the
// operating system's error code (an errno value). May be unset.
using TStartErrorEvent = std::function<void(const QString& executable, uint32_t errorCode)>;

// What FindProgramWindow answers: none, the process id of a program this
// program started, or a window that only the window-finder hook knows of.
using TProgramWindow = qint64;
constexpr TProgramWindow NoProgramWindow = 0;
constexpr TProgramWindow ForeignProgramWindow = -1;

// Starts a program detached from this one and leaves no zombie behind: an
// intermediate child starts it and ends at once (it is reaped here), so the
// program is adopted by the system. argv[0] is the program's file name, the
// working directory (empty: the current one) is entered before the program
// runs, and a program given without a directory is taken from the current
// directory, not searched for. The errno of a failed fork, chdir or exec comes
// back in the answer, with the started program's process id on success.
// Suitable as Hooks().StartProcess.
platform::TStartAnswer SpawnDetachedProcess(const QString& program, const QStringList& arguments,
                                            const QString& workingDir);

// With an executable: starts it with the parameters (split like a command line,
// quotes respected) in the working directory; on failure the error handler is
// called with the executable and the error code and the answer is false. With
// an empty executable the parameters name a document (or program) that is
// opened with the program registered for it; the error handler is not called.
// A program started this way is remembered under no class name or title, so
// FindProgramWindow cannot find it again: a caller that activates a program's
// window or else starts it uses StartOrActivateProgram.
bool StartProgram(const QString& executable, const QString& parameters, const QString& workingDir,
                  const TStartErrorEvent& onError);

// Looks for a running program's main window by class name and title (an empty
// text matches any); with both empty nothing is looked for.
TProgramWindow FindProgramWindow(const QString& className, const QString& title);

// Brings the window FindProgramWindow finds to the front; false when none.
bool ActivateProgramWindow(const QString& className, const QString& title);

// ActivateProgramWindow, else StartProgram. A program started here is
// remembered under the class name and title, so the next call finds it while it
// runs and starts no second copy.
bool StartOrActivateProgram(const QString& executable, const QString& parameters, const QString& workingDir,
                            const QString& className, const QString& title, const TStartErrorEvent& onError);

// ---- The programs started by this program -------------------------------------

// Remembers a started process under a window class name and title.
void RememberStartedProgram(qint64 pid, const QString& className, const QString& title);

// The process id of a remembered program that still runs and matches the class
// name (without regard to case) and the title (exactly); an empty text matches
// any, both empty match nothing. Programs that ended are forgotten.
qint64 FindStartedProgram(const QString& className, const QString& title);

// Whether the process still runs (a zombie does not). A process of our own that
// ended is reaped.
bool StartedProcessRuns(qint64 pid);

// Forgets every remembered program (they keep running).
void ForgetStartedPrograms();
