#include "platform/SafeFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// A name in the target's directory that no other file has: ".<name>.<random>".
QString candidateName(const QString& target)
{
    const QFileInfo fi(target);
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(digits[QRandomGenerator::global()->bounded(36)]);
    return fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QLatin1Char('.') + suffix;
}

// The temporary file's device. It starts the disk's writing of what has
// gone out every few megabytes, so the sync before the rename finds little
// left to wait for: a large export costs the same as without the sync.
class SyncingFile : public QFile {
public:
    using QFile::QFile;

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        const qint64 written = QFile::writeData(data, len);
        const qint64 end = pos();
        if (written > 0 && end - started_ >= Step) {
            // Whatever still sits in the write buffer is left for the next step.
            const qint64 upTo = end - Slack;
            if (upTo > started_) {
                (void)::sync_file_range(handle(), started_, upTo - started_, SYNC_FILE_RANGE_WRITE);
                started_ = upTo;
            }
        }
        return written;
    }

private:
    static constexpr qint64 Step = 4 << 20;
    static constexpr qint64 Slack = 1 << 20;
    qint64 started_ = 0;
};

} // namespace

SafeFile::SafeFile(QString fileName) : fileName_(std::move(fileName)) {}

SafeFile::~SafeFile()
{
    if (!committed_)
        Cancel();
}

bool SafeFile::fail(const QString& reason)
{
    if (error_.isEmpty())
        error_ = reason;
    return false;
}

void SafeFile::Fail(const QString& reason)
{
    fail(reason.isEmpty() ? QStringLiteral("the file could not be written") : reason);
}

bool SafeFile::Open()
{
    return create(true);
}

bool SafeFile::Reserve()
{
    return create(false);
}

bool SafeFile::create(bool keepOpen)
{
    Cancel();
    error_.clear();
    committed_ = false;
    if (fileName_.isEmpty())
        return fail(QStringLiteral("no file name"));

    // A link is followed: the file it points to is replaced, the link stays.
    const QFileInfo fi(fileName_);
    target_ = fi.absoluteFilePath();
    if (fi.isSymLink()) {
        const QString canonical = fi.canonicalFilePath();
        target_ = canonical.isEmpty() ? fi.symLinkTarget() : canonical;
    }
    const QFileInfo ti(target_);
    mode_t mode = 0666;
    bool keepMode = false;
    if (ti.exists()) {
        if (!ti.isFile())
            return fail(QStringLiteral("%1 is not a file").arg(fileName_));
        if (!ti.isWritable())
            return fail(QStringLiteral("%1 is not writable").arg(fileName_));
        struct stat st {};
        if (::stat(QFile::encodeName(target_).constData(), &st) == 0) {
            mode = st.st_mode & 07777;
            keepMode = true;
        }
    }

    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName_ = candidateName(target_);
        fd = ::open(QFile::encodeName(tempName_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int err = errno;
            tempName_.clear();
            return fail(QStringLiteral("%1: %2").arg(QFileInfo(target_).absolutePath(), errnoText(err)));
        }
    }
    if (fd < 0) {
        tempName_.clear();
        return fail(QStringLiteral("no temporary file beside %1").arg(fileName_));
    }
    // The new file keeps the permissions of the one it replaces.
    if (keepMode)
        (void)::fchmod(fd, mode);
    if (!keepOpen) {
        ::close(fd);
        return true;
    }
    file_ = std::make_unique<SyncingFile>();
    if (!file_->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        const QString reason = file_->errorString();
        Cancel();
        return fail(reason);
    }
    return true;
}

bool SafeFile::Write(const char* data, qint64 size)
{
    if (!file_ || !file_->isOpen())
        return fail(QStringLiteral("the file is not open"));
    if (Failed())
        return false;
    if (size <= 0)
        return true;
    if (file_->write(data, size) != size)
        return fail(file_->errorString());
    return true;
}

bool SafeFile::checkFile(qint64 expectedSize)
{
    const QByteArray native = QFile::encodeName(tempName_);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(QStringLiteral("%1: %2").arg(tempName_, errnoText(errno)));
    bool ok = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ok = fail(errnoText(errno));
    } else if (expectedSize >= 0 && st.st_size != expectedSize) {
        ok = fail(QStringLiteral("the file holds %1 of %2 bytes").arg(qint64(st.st_size)).arg(expectedSize));
    } else if (expectedSize < 0 && ::fsync(fd) != 0) {
        // A file another writer wrote still has to reach the disk.
        ok = fail(errnoText(errno));
    }
    if (ok && !ending_.isEmpty()) {
        const qint64 tail = std::min<qint64>(st.st_size, 1024);
        QByteArray last(tail, '\0');
        const ssize_t got = ::pread(fd, last.data(), size_t(tail), st.st_size - tail);
        if (got != tail)
            ok = fail(QStringLiteral("the file cannot be read back"));
        else if (!last.trimmed().endsWith(ending_))
            ok = fail(QStringLiteral("the file is incomplete"));
    }
    ::close(fd);
    return ok;
}

bool SafeFile::Commit()
{
    if (committed_)
        return true;
    if (tempName_.isEmpty()) {
        fail(QStringLiteral("the file is not open"));
        return false;
    }
    qint64 expected = -1;
    if (file_) {
        if (!Failed() && file_->error() != QFileDevice::NoError)
            fail(file_->errorString());
        if (!Failed() && !file_->flush())
            fail(file_->errorString());
        if (!Failed() && ::fsync(file_->handle()) != 0)
            fail(errnoText(errno));
        expected = file_->pos();
        file_->close();
        if (!Failed() && file_->error() != QFileDevice::NoError)
            fail(file_->errorString());
        file_.reset();
    }
    if (!Failed())
        checkFile(expected);
    if (Failed()) {
        Cancel();
        return false;
    }
    if (::rename(QFile::encodeName(tempName_).constData(), QFile::encodeName(target_).constData()) != 0) {
        fail(QStringLiteral("%1: %2").arg(fileName_, errnoText(errno)));
        Cancel();
        return false;
    }
    tempName_.clear();
    committed_ = true;
    return true;
}

void SafeFile::Cancel()
{
    if (file_) {
        file_->close();
        file_.reset();
    }
    if (!tempName_.isEmpty())
        ::unlink(QFile::encodeName(tempName_).constData());
    tempName_.clear();
}

bool WriteWholeFile(const QString& fileName, const QByteArray& bytes, QString* error)
{
    SafeFile file(fileName);
    const bool ok = file.Open() && file.Write(bytes) && file.Commit();
    if (error != nullptr)
        *error = ok ? QString() : file.ErrorString();
    return ok;
}

// ---- FileLock -------------------------------------------------------------------

QString FileLock::LockFileName(const QString& fileName)
{
    return fileName + QStringLiteral(".lock");
}

FileLock::FileLock(const QString& fileName)
{
    const QByteArray native = QFile::encodeName(LockFileName(fileName));
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FileLock::~FileLock()
{
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

} // namespace platform
