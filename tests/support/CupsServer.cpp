#include "support/CupsServer.h"

#include "support/ExternalTools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace testsupport {

namespace {

// The device of the queues: copies the job's file (or standard input) to
// job-<id>.pdf in the folder its URI names, under a temporary name first, so
// a file that is there is whole. The server runs a backend that only root may
// run (mode 0700) as root.
const char* const Backend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
    echo 'direct valdranjob "Unknown" "Job file of a test"'
    exit 0
fi
folder="${DEVICE_URI#valdranjob:}"
target=$(printf '%s/job-%06d.pdf' "$folder" "$1")
if [ $# -ge 6 ]; then
    cp "$6" "$target.part" || exit 1
else
    cat > "$target.part" || exit 1
fi
chmod 0644 "$target.part"
mv "$target.part" "$target"
)";

// A queue that takes PDF as it is (no filter between the job and the
// device) on A4 paper with a printable area inside it.
QByteArray Ppd()
{
    const int llx = CupsServer::GutterLeftPt;
    const int lly = CupsServer::GutterBottomPt;
    const int urx = CupsServer::PaperWidthPt - CupsServer::GutterRightPt;
    const int ury = CupsServer::PaperHeightPt - CupsServer::GutterTopPt;
    QByteArray p;
    p += "*PPD-Adobe: \"4.3\"\n"
         "*FormatVersion: \"4.3\"\n"
         "*FileVersion: \"1.0\"\n"
         "*LanguageVersion: English\n"
         "*LanguageEncoding: ISOLatin1\n"
         "*PCFileName: \"VALDTEST.PPD\"\n"
         "*Manufacturer: \"Valdran\"\n"
         "*Product: \"(Valdran test queue)\"\n"
         "*ModelName: \"Valdran test queue\"\n"
         "*ShortNickName: \"Valdran test queue\"\n"
         "*NickName: \"Valdran test queue\"\n"
         "*PSVersion: \"(3010.000) 0\"\n"
         "*LanguageLevel: \"3\"\n"
         "*ColorDevice: True\n"
         "*DefaultColorSpace: RGB\n"
         "*FileSystem: False\n"
         "*Throughput: \"1\"\n"
         "*LandscapeOrientation: Plus90\n"
         "*TTRasterizer: Type42\n"
         "*cupsVersion: 2.4\n"
         "*cupsFilter2: \"application/pdf application/pdf 0 -\"\n"
         "*OpenUI *PageSize/Media Size: PickOne\n"
         "*OrderDependency: 10 AnySetup *PageSize\n"
         "*DefaultPageSize: A4\n"
         "*PageSize A4/A4: \"\"\n"
         "*CloseUI: *PageSize\n"
         "*OpenUI *PageRegion/Media Size: PickOne\n"
         "*OrderDependency: 10 AnySetup *PageRegion\n"
         "*DefaultPageRegion: A4\n"
         "*PageRegion A4/A4: \"\"\n"
         "*CloseUI: *PageRegion\n"
         "*DefaultImageableArea: A4\n";
    p += QStringLiteral("*ImageableArea A4/A4: \"%1 %2 %3 %4\"\n").arg(llx).arg(lly).arg(urx).arg(ury).toLatin1();
    p += QStringLiteral("*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"%1 %2\"\n")
             .arg(CupsServer::PaperWidthPt)
             .arg(CupsServer::PaperHeightPt)
             .toLatin1();
    return p;
}

bool WriteText(const QString& path, const QByteArray& text, QFile::Permissions permissions, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    f.close();
    return f.setPermissions(permissions);
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

CupsServer::CupsServer() = default;

CupsServer::~CupsServer()
{
    Stop();
}

QString CupsServer::Unavailable()
{
    for (const char* tool : {"cupsd", "lpadmin", "lpstat"})
        if (findTool(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("'%1' is not installed: apt-get install cups").arg(QString::fromLatin1(tool));
    // cupsd needs root to start its helpers as the user lp.
    if (::geteuid() != 0)
        return QStringLiteral("a CUPS server of the test's own needs root");
    return QString();
}

QString CupsServer::Folder() const
{
    return dir_ ? dir_->path() : QString();
}

QString CupsServer::Socket() const
{
    return dir_ ? dir_->filePath(QStringLiteral("cups.sock")) : QString();
}

QString CupsServer::JobFolder() const
{
    return dir_ ? dir_->filePath(QStringLiteral("jobs")) : QString();
}

bool CupsServer::Running() const
{
    return cupsd_ && cupsd_->state() == QProcess::Running;
}

qint64 CupsServer::Pid() const
{
    return Running() ? cupsd_->processId() : 0;
}

bool CupsServer::WriteConfiguration(QString* error)
{
    const QDir root(dir_->path());
    for (const char* sub : {"conf", "spool", "spool/tmp", "cache", "state", "log", "bin", "bin/backend", "jobs"})
        if (!root.mkpath(QString::fromLatin1(sub))) {
            SetError(error, QStringLiteral("cannot create %1").arg(root.filePath(QString::fromLatin1(sub))));
            return false;
        }
    // The server's helpers run as lp: they must reach the folders.
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    for (const char* sub : {"", "conf", "bin", "bin/backend", "jobs"})
        QFile::setPermissions(root.filePath(QString::fromLatin1(sub)), open);
    QFile::setPermissions(root.filePath(QStringLiteral("spool/tmp")), open | QFile::WriteGroup | QFile::WriteOther);

    // The system's filters and helper programs, and our own backend only.
    for (const char* sub : {"filter", "driver", "daemon", "monitor", "notifier", "cgi-bin"}) {
        const QString system = QStringLiteral("/usr/lib/cups/") + QString::fromLatin1(sub);
        if (QFileInfo::exists(system))
            QFile::link(system, root.filePath(QStringLiteral("bin/") + QString::fromLatin1(sub)));
    }
    if (!WriteText(root.filePath(QStringLiteral("bin/backend/valdranjob")), Backend,
                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner, error))
        return false;

    const QString r = dir_->path();
    const QByteArray conf = QStringLiteral(
        "Listen %1\n"
        "LogLevel info\n"
        "Browsing No\n"
        "WebInterface No\n"
        "DefaultAuthType None\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n").arg(Socket()).toLocal8Bit();
    const QByteArray files = QStringLiteral(
        "User lp\n"
        "Group lp\n"
        "ServerRoot %1/conf\n"
        "ServerBin %1/bin\n"
        "RequestRoot %1/spool\n"
        "TempDir %1/spool/tmp\n"
        "CacheDir %1/cache\n"
        "StateDir %1/state\n"
        "AccessLog %1/log/access_log\n"
        "ErrorLog %1/log/error_log\n"
        "PageLog %1/log/page_log\n"
        "Printcap %1/state/printcap\n"
        "DataDir /usr/share/cups\n"
        "DocumentRoot /usr/share/cups/doc-root\n").arg(r).toLocal8Bit();
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    return WriteText(root.filePath(QStringLiteral("conf/cupsd.conf")), conf, readable, error) &&
           WriteText(root.filePath(QStringLiteral("conf/cups-files.conf")), files, readable, error) &&
           WriteText(root.filePath(QStringLiteral("queue.ppd")), Ppd(), readable, error);
}

bool CupsServer::Start(QString* error)
{
    if (Running())
        return true;
    const QString why = Unavailable();
    if (!why.isEmpty()) {
        SetError(error, why);
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("valdran-cups-XXXXXX")));
    if (!dir_->isValid()) {
        SetError(error, QStringLiteral("no temporary folder: %1").arg(dir_->errorString()));
        dir_.reset();
        return false;
    }
    if (!WriteConfiguration(error)) {
        Stop();
        return false;
    }

    cupsd_ = std::make_unique<QProcess>();
    cupsd_->setProcessChannelMode(QProcess::MergedChannels);
    // The server ends with the test process, should that die first.
    cupsd_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_->start(findTool(QStringLiteral("cupsd")),
                  {QStringLiteral("-f"), QStringLiteral("-c"), dir_->filePath(QStringLiteral("conf/cupsd.conf")),
                   QStringLiteral("-s"), dir_->filePath(QStringLiteral("conf/cups-files.conf"))});
    if (!cupsd_->waitForStarted(10000)) {
        SetError(error, QStringLiteral("cupsd does not start: %1").arg(cupsd_->errorString()));
        Stop();
        return false;
    }
    // Up when it answers on its socket.
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (!Running()) {
            SetError(error, QStringLiteral("cupsd ended: %1\n%2")
                                .arg(QString::fromLocal8Bit(cupsd_->readAll()), ErrorLog()));
            Stop();
            return false;
        }
        if (QFileInfo::exists(Socket())) {
            const ToolResult r = runTool(findTool(QStringLiteral("lpstat")),
                                         {QStringLiteral("-h"), Socket(), QStringLiteral("-r")}, QString(), 5000);
            if (r.exitCode == 0 && r.out.contains("scheduler is running"))
                return true;
        }
        QThread::msleep(50);
    }
    SetError(error, QStringLiteral("cupsd does not answer on %1\n%2").arg(Socket(), ErrorLog()));
    Stop();
    return false;
}

void CupsServer::Stop()
{
    if (cupsd_) {
        if (cupsd_->state() != QProcess::NotRunning) {
            cupsd_->terminate();
            if (!cupsd_->waitForFinished(10000)) {
                cupsd_->kill();
                cupsd_->waitForFinished(5000);
            }
        }
        cupsd_.reset();
    }
    if (dir_) {
        dir_->remove();
        dir_.reset();
    }
}

bool CupsServer::Admin(const QStringList& args, QString* error) const
{
    if (!Running()) {
        SetError(error, QStringLiteral("the CUPS server is not running"));
        return false;
    }
    const ToolResult r = runTool(findTool(QStringLiteral("lpadmin")),
                                 QStringList{QStringLiteral("-h"), Socket()} + args, QString(), 30000);
    if (r.exitCode != 0) {
        SetError(error, QStringLiteral("lpadmin %1: exit %2: %3")
                            .arg(args.join(QLatin1Char(' ')))
                            .arg(r.exitCode)
                            .arg(QString::fromLocal8Bit(r.err + r.out)));
        return false;
    }
    return true;
}

bool CupsServer::AddQueue(const QString& name, bool makeDefault, QString* error)
{
    if (!Admin({QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("valdranjob:") + JobFolder(), QStringLiteral("-P"),
                dir_->filePath(QStringLiteral("queue.ppd"))},
               error))
        return false;
    return !makeDefault || Admin({QStringLiteral("-d"), name}, error);
}

bool CupsServer::RemoveQueue(const QString& name, QString* error)
{
    return Admin({QStringLiteral("-x"), name}, error);
}

QStringList CupsServer::JobFiles() const
{
    if (!dir_)
        return {};
    const QDir jobs(JobFolder());
    QStringList files;
    for (const QString& name : jobs.entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name))
        files << jobs.filePath(name);
    return files;
}

void CupsServer::ClearJobs()
{
    for (const QString& f : JobFiles())
        QFile::remove(f);
}

QStringList CupsServer::WaitForJobs(int count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QStringList files = JobFiles();
        if (files.size() >= count) {
            // Delivered; the queue holds nothing more (a job that went
            // astray would show here).
            const ToolResult r = runTool(findTool(QStringLiteral("lpstat")),
                                         {QStringLiteral("-h"), Socket(), QStringLiteral("-o")}, QString(), 5000);
            if (r.exitCode == 0 && r.out.trimmed().isEmpty())
                return files;
        }
        if (deadline.hasExpired() || !Running())
            return files;
        QThread::msleep(100);
    }
}

QString CupsServer::ErrorLog() const
{
    if (!dir_)
        return QString();
    QFile f(dir_->filePath(QStringLiteral("log/error_log")));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(f.readAll().right(4000));
}

} // namespace testsupport
