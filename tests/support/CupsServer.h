#pragma once
// A CUPS server of the test's own: `cupsd -f` as a child process with its
// configuration, spool, logs and listening socket below a temporary folder,
// and printer queues whose device writes every job as a file into that
// folder. Programs reach it through CUPS_SERVER (the socket's path); the
// machine's own CUPS configuration and server are never touched.
//
//     testsupport::CupsServer cups;
//     if (!cups.Start(&why)) ...;
//     qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());   // before Qt first asks CUPS
//     cups.AddQueue("Valdran_Test", true, &why);
//     ... print ...
//     const QStringList jobs = cups.WaitForJobs(1);          // the PDF files, oldest first
//
// The queue keeps PDF as it comes (no filter) and reports an A4 page whose
// printable area lies inside the paper by the margins below, all different,
// so a layout that mixes up the printable page and the paper shows.
// cupsd runs as root and drops to the user lp for its helpers; it is stopped
// and the folder removed by Stop() or the destructor, and the server ends
// with the test process should that die first.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

namespace testsupport {

class CupsServer {
public:
    // The queue's paper (A4) and its unprintable edges, in points.
    static constexpr int PaperWidthPt = 595;
    static constexpr int PaperHeightPt = 842;
    static constexpr int GutterLeftPt = 36;
    static constexpr int GutterTopPt = 28;
    static constexpr int GutterRightPt = 20;
    static constexpr int GutterBottomPt = 44;

    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // Why no server can run here (no cupsd or lpadmin, not root), or empty.
    static QString Unavailable();

    // Starts the server and waits (bounded) until it answers; false with the
    // reason (and the server's error log) in *error.
    bool Start(QString* error = nullptr);
    // Stops the server and removes the folder; harmless when not started.
    void Stop();
    bool Running() const;
    // The server's process id while it runs, else 0.
    qint64 Pid() const;

    QString Folder() const;
    QString Socket() const;
    // Where the queues deliver their jobs: job-<id>.pdf.
    QString JobFolder() const;

    // Adds an enabled queue on the job folder, the server's default one when
    // makeDefault is set.
    bool AddQueue(const QString& name, bool makeDefault, QString* error = nullptr);
    bool RemoveQueue(const QString& name, QString* error = nullptr);

    // The delivered job files, oldest first.
    QStringList JobFiles() const;
    // Removes the delivered job files.
    void ClearJobs();
    // Waits at most timeoutMs until count job files were delivered and no
    // job is pending any more; answers the job files then (fewer on timeout).
    QStringList WaitForJobs(int count, int timeoutMs = 30000) const;
    // The server's error log, for failure messages.
    QString ErrorLog() const;

private:
    bool WriteConfiguration(QString* error);
    bool Admin(const QStringList& args, QString* error) const;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QProcess> cupsd_;
};

} // namespace testsupport
