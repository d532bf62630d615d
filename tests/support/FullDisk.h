#pragma once
// A full disk without root and without a mount: while a TFullDisk lives, this
// process cannot make any file larger than the given size (RLIMIT_FSIZE, with
// SIGXFSZ ignored so the write fails with EFBIG instead of ending the process).
// The limit is restored when it goes, so the rest of the tests are unaffected.
#include <QString>
#include <QStringList>
#include <sys/resource.h>

namespace testsupport {

class TFullDisk {
public:
    explicit TFullDisk(long long bytesLeft);
    ~TFullDisk();
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

private:
    struct rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

// Every entry of a directory, hidden ones included (for left-over temporary
// files), sorted.
QStringList entriesOf(const QString& dir);

} // namespace testsupport
