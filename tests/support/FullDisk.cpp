#include "support/FullDisk.h"

#include <QDir>
#include <csignal>
#include <gtest/gtest.h>

namespace testsupport {

TFullDisk::TFullDisk(long long bytesLeft)
{
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old_), 0);
    struct rlimit lim = old_;
    lim.rlim_cur = rlim_t(bytesLeft);
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &lim), 0);
}

TFullDisk::~TFullDisk()
{
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace testsupport
