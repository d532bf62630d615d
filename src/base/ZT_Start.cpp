#include "base/ZT_Start.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// ---- Starting a detached process ---------------------------------------------

// What the helper processes tell the caller through the pipe.
struct TSpawnMessage {
    int32_t Kind;
    int32_t Value;
};
constexpr int32_t kMsgPid = 1;          // the program's process id
constexpr int32_t kMsgError = 2;        // errno of a failed fork, chdir or exec

void WriteMessage(int fd, int32_t kind, int32_t value)
{
    const TSpawnMessage m{kind, value};
    // Eight bytes are written in one piece on a pipe; nothing else can be done
    // in a child about a failed write.
    ssize_t r;
    do {
        r = write(fd, &m, sizeof m);
    } while (r < 0 && errno == EINTR);
}

// Closes every descriptor but the three standard ones and keep: the started
// program inherits no handles of ours.
void CloseInheritedDescriptors(int keep)
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    if (keep > 3)
        close_range(3, static_cast<unsigned>(keep) - 1, 0);
    close_range(static_cast<unsigned>(keep) + 1, ~0U, 0);
#else
    (void)keep;
#endif
}

// ---- Started programs -----------------------------------------------------------

struct TStartedProgram {
    qint64 Pid = 0;
    quint64 StartTime = 0;              // guards against a reused process id
    QString ClassName;
    QString Title;
};

QMutex& StartedMutex()
{
    static QMutex m;
    return m;
}

std::vector<TStartedProgram>& Started()
{
    static std::vector<TStartedProgram> list;
    return list;
}

// State, parent and start time of a process from /proc; false when it is gone.
bool ReadProcessStat(qint64 pid, char& state, qint64& parent, quint64& startTime)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = f.readAll();
    // The command name is in parentheses and may itself hold blanks and ')'.
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = text.mid(close + 1).simplified().split(' ');
    // Fields after the name: state (3), parent (4), ..., start time (22).
    if (fields.size() < 20 || fields.at(0).isEmpty())
        return false;
    state = fields.at(0).at(0);
    parent = fields.at(1).toLongLong();
    startTime = fields.at(19).toULongLong();
    return true;
}

bool ProcessRuns(qint64 pid, quint64 expectedStart)
{
    if (pid <= 0)
        return false;
    char state = 0;
    qint64 parent = 0;
    quint64 start = 0;
    if (!ReadProcessStat(pid, state, parent, start)) {
        // No /proc: the signal test alone.
        return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    }
    if (expectedStart != 0 && start != expectedStart)
        return false;                   // the id now belongs to another process
    if (state == 'Z' || state == 'X') {
        // Reap it when it is our own child; otherwise its parent will.
        if (parent == getpid()) {
            int status = 0;
            waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
        }
        return false;
    }
    return true;
}

bool StartProgramImpl(const QString& executable, const QString& parameters, const QString& workingDir,
                      const TStartErrorEvent& onError, const QString& className, const QString& title)
{
    if (executable.isEmpty()) {
        const auto& open = platform::Hooks().OpenDocument;
        return open && !parameters.isEmpty() && open(parameters);
    }
    const QStringList arguments = QProcess::splitCommand(parameters);
    const auto& start = platform::Hooks().StartProcess;
    const platform::TStartAnswer answer =
        start ? start(executable, arguments, workingDir) : platform::TStartAnswer{false, ECANCELED, 0};
    if (!answer.Started) {
        if (onError)
            onError(executable, static_cast<uint32_t>(answer.Error));
        return false;
    }
    if (answer.Pid > 0)
        RememberStartedProgram(answer.Pid, className, title);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    return true;
}

} // namespace

platform::TStartAnswer SpawnDetachedProcess(const QString& program, const QStringList& arguments,
                                            const QString& workingDir)
{
    if (program.isEmpty())
        return {false, ENOENT, 0};
    // Everything the children need is prepared here: between fork and exec only
    // async-signal-safe calls are allowed (other threads may hold locks).
    const QString absolute = QDir::current().absoluteFilePath(program);
    const QByteArray path = QFile::encodeName(absolute);
    std::vector<QByteArray> argStore;
    argStore.push_back(QFile::encodeName(QFileInfo(program).fileName()));
    for (const QString& a : arguments)
        argStore.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(workingDir);
    const bool changeDir = !workingDir.isEmpty();

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {false, errno, 0};
    // Keep the pipe above the standard descriptors even when some are closed.
    if (fds[1] < 3) {
        const int moved = fcntl(fds[1], F_DUPFD_CLOEXEC, 3);
        const int e = errno;
        close(fds[1]);
        if (moved < 0) {
            close(fds[0]);
            return {false, e, 0};
        }
        fds[1] = moved;
    }

    const pid_t child = fork();
    if (child < 0) {
        const int e = errno;
        close(fds[0]);
        close(fds[1]);
        return {false, e, 0};
    }
    if (child == 0) {
        // The intermediate child: starts the program and ends at once, so the
        // program is adopted by the system and never becomes our zombie.
        close(fds[0]);
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            WriteMessage(fds[1], kMsgError, errno);
            _exit(1);
        }
        if (grandchild == 0) {
            setsid();                   // no signals from our terminal
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            signal(SIGPIPE, SIG_DFL);
            if (changeDir && chdir(dir.constData()) != 0) {
                WriteMessage(fds[1], kMsgError, errno);
                _exit(127);
            }
            CloseInheritedDescriptors(fds[1]);
            execve(path.constData(), argv.data(), environ);
            // The pipe closes on a successful exec; only a failure is told.
            WriteMessage(fds[1], kMsgError, errno);
            _exit(127);
        }
        WriteMessage(fds[1], kMsgPid, grandchild);
        _exit(0);
    }

    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Read until both helpers are done with the pipe: the intermediate child
    // when it ends, the program when its exec succeeds (or fails).
    qint64 pid = 0;
    int error = 0;
    TSpawnMessage m{};
    for (;;) {
        const ssize_t r = read(fds[0], &m, sizeof m);
        if (r < 0 && errno == EINTR)
            continue;
        if (r != static_cast<ssize_t>(sizeof m))
            break;
        if (m.Kind == kMsgPid)
            pid = m.Value;
        else if (m.Kind == kMsgError)
            error = m.Value;
    }
    close(fds[0]);
    if (error != 0)
        return {false, error, 0};
    if (pid <= 0)
        return {false, EIO, 0};
    return {true, 0, pid};
}

bool StartProgram(const QString& executable, const QString& parameters, const QString& workingDir,
                  const TStartErrorEvent& onError)
{
    return StartProgramImpl(executable, parameters, workingDir, onError, QString(), QString());
}

TProgramWindow FindProgramWindow(const QString& className, const QString& title)
{
    if (className.isEmpty() && title.isEmpty())
        return NoProgramWindow;
    if (const qint64 pid = FindStartedProgram(className, title))
        return pid;
    const auto& find = platform::Hooks().FindProgramWindow;
    if (find && find(className, title))
        return ForeignProgramWindow;
    return NoProgramWindow;
}

bool ActivateProgramWindow(const QString& className, const QString& title)
{
    if (FindProgramWindow(className, title) == NoProgramWindow)
        return false;
    // Raising another program's window is up to the window system; the program
    // counts as activated once it is known to run.
    if (const auto& activate = platform::Hooks().ActivateProgramWindow)
        activate(className, title);
    return true;
}

bool StartOrActivateProgram(const QString& executable, const QString& parameters, const QString& workingDir,
                            const QString& className, const QString& title, const TStartErrorEvent& onError)
{
    if (ActivateProgramWindow(className, title))
        return true;
    return StartProgramImpl(executable, parameters, workingDir, onError, className, title);
}

void RememberStartedProgram(qint64 pid, const QString& className, const QString& title)
{
    if (pid <= 0)
        return;
    char state = 0;
    qint64 parent = 0;
    quint64 start = 0;
    if (!ReadProcessStat(pid, state, parent, start))
        start = 0;
    QMutexLocker lock(&StartedMutex());
    auto& list = Started();
    std::erase_if(list, [pid](const TStartedProgram& p) { return p.Pid == pid; });
    list.push_back({pid, start, className, title});
}

qint64 FindStartedProgram(const QString& className, const QString& title)
{
    if (className.isEmpty() && title.isEmpty())
        return 0;
    QMutexLocker lock(&StartedMutex());
    auto& list = Started();
    std::erase_if(list, [](const TStartedProgram& p) { return !ProcessRuns(p.Pid, p.StartTime); });
    for (const TStartedProgram& p : list) {
        const bool classMatches = className.isEmpty() || p.ClassName.compare(className, Qt::CaseInsensitive) == 0;
        const bool titleMatches = title.isEmpty() || p.Title == title;
        if (classMatches && titleMatches)
            return p.Pid;
    }
    return 0;
}

bool StartedProcessRuns(qint64 pid)
{
    return ProcessRuns(pid, 0);
}

void ForgetStartedPrograms()
{
    QMutexLocker lock(&StartedMutex());
    Started().clear();
}
