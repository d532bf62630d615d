#pragma once
// Every file the program writes is written whole or not at all: the bytes go
// into a temporary file in the same directory (same file system, so the rename
// is atomic), every write is checked, then the file is flushed, synced to disk
// and closed, and only then renamed over its final name. On any failure the
// temporary file is removed and a file that was there before stays as it was.
//
// QSaveFile is not used: Qt 6.4 renames over the old file even when its final
// flush failed, so a full disk replaced a good file with a cut one.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace platform {

class SafeFile {
public:
    explicit SafeFile(QString fileName);
    // Removes the temporary file unless the file was committed.
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Creates the temporary file beside the final name and opens Device() on
    // it. False (with ErrorString) when the final name is a directory or not
    // writable, or the directory refuses the temporary file.
    bool Open();
    // Creates the temporary file for a writer that opens and writes it itself
    // (libxlsxwriter); it writes to TemporaryName(), then Commit().
    bool Reserve();

    // The final name as given.
    const QString& FileName() const { return fileName_; }
    // The temporary file while open or reserved, else empty.
    const QString& TemporaryName() const { return tempName_; }
    // The buffered device on the temporary file (after Open).
    QFile& Device() { return *file_; }

    // Appends bytes; false at a short write. The first failure is kept and
    // makes Commit fail.
    bool Write(const char* data, qint64 size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }

    // A writer's own failure: Commit then fails with this reason.
    void Fail(const QString& reason);
    bool Failed() const { return !error_.isEmpty(); }

    // The complete file must end in marker (blanks and line ends after it
    // allowed); a file without it counts as cut. For writers that answer
    // success whatever their device did (Qt's PDF engine).
    void RequireEnding(const QByteArray& marker) { ending_ = marker; }

    // Flushes, syncs and closes the temporary file, checks it and renames it
    // over the final name. False with ErrorString on any failure; the
    // temporary file is gone then and an earlier file is untouched.
    bool Commit();
    // Drops the temporary file; the final name is not touched.
    void Cancel();

    // Why the last Open, Reserve or Commit failed.
    const QString& ErrorString() const { return error_; }

private:
    bool create(bool keepOpen);
    bool fail(const QString& reason);
    bool checkFile(qint64 expectedSize);

    QString fileName_;
    QString target_;     // the file the rename replaces (a link's target)
    QString tempName_;
    std::unique_ptr<QFile> file_;
    QByteArray ending_;
    QString error_;
    bool committed_ = false;
};

// Writes bytes as the whole file fileName. False with the reason in error.
bool WriteWholeFile(const QString& fileName, const QByteArray& bytes, QString* error = nullptr);

// An advisory lock (flock) on "<fileName>.lock" beside a file that several
// program instances change by read, change and rename: held from the reading
// to the rename, so no instance loses another's change. Readers need none,
// since the rename replaces the file whole.
class FileLock {
public:
    explicit FileLock(const QString& fileName);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file could not be opened or locked.
    bool Locked() const { return fd_ >= 0; }

    static QString LockFileName(const QString& fileName);

private:
    int fd_ = -1;
};

} // namespace platform
