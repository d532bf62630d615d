#include "platform/SafeFile.h"

#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::SafeFile;
using testsupport::entriesOf;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

QByteArray bytesOf(int size, char fill)
{
    return QByteArray(size, fill);
}

} // namespace

TEST(SafeFile, ReplacesAFileWholeAndKeepsItsPermissions)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(writeFile(name, "old"));
    ASSERT_TRUE(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));

    SafeFile f(name);
    ASSERT_TRUE(f.Open()) << f.ErrorString().toStdString();
    EXPECT_TRUE(f.Write("new ", 4));
    EXPECT_TRUE(f.Write(QByteArray("text")));
    // Until the commit the old file is what readers see.
    EXPECT_EQ(readFile(name), QByteArray("old"));
    ASSERT_TRUE(f.Commit()) << f.ErrorString().toStdString();
    EXPECT_EQ(readFile(name), QByteArray("new text"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("out.txt")});

    // A link is followed: its target gets the new text, the link stays.
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(name, link));
    ASSERT_TRUE(platform::WriteWholeFile(link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(name), QByteArray("through the link"));
}

TEST(SafeFile, AFullDiskLeavesTheOldFileAndNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("out.txt"));
    const QByteArray old = bytesOf(100000, 'o');
    ASSERT_TRUE(writeFile(name, old));

    // Small enough that every write lands in the buffer and only the final
    // flush meets the full disk.
    for (const int size : {3000, 200000}) {
        SafeFile f(name);
        ASSERT_TRUE(f.Open());
        bool committed = true;
        {
            testsupport::TFullDisk full(1000);
            f.Write(bytesOf(size, 'n'));
            committed = f.Commit();
        }
        EXPECT_FALSE(committed) << size;
        EXPECT_FALSE(f.ErrorString().isEmpty());
        EXPECT_EQ(readFile(name), old);
        EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("out.txt")});
    }

    QString error;
    {
        testsupport::TFullDisk full(10);
        EXPECT_FALSE(platform::WriteWholeFile(dir.filePath(QStringLiteral("new.txt")), bytesOf(100, 'x'), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("out.txt")});
}

TEST(SafeFile, AFailedOrCancelledWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(writeFile(name, "old"));
    {
        SafeFile dropped(name);
        ASSERT_TRUE(dropped.Open());
        dropped.Write(QByteArray("never committed"));
    }
    {
        SafeFile failed(name);
        ASSERT_TRUE(failed.Open());
        failed.Write(QByteArray("half"));
        failed.Fail(QStringLiteral("the writer gave up"));
        EXPECT_FALSE(failed.Commit());
        EXPECT_EQ(failed.ErrorString(), QStringLiteral("the writer gave up"));
    }
    {
        // A file that must end in a marker and does not is cut.
        SafeFile cut(name);
        ASSERT_TRUE(cut.Open());
        cut.RequireEnding("%%EOF");
        cut.Write(QByteArray("%PDF-1.4\n...stream"));
        EXPECT_FALSE(cut.Commit());
    }
    EXPECT_EQ(readFile(name), QByteArray("old"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("out.txt")});

    SafeFile whole(name);
    ASSERT_TRUE(whole.Open());
    whole.RequireEnding("%%EOF");
    whole.Write(QByteArray("%PDF-1.4\n%%EOF\n"));
    EXPECT_TRUE(whole.Commit()) << whole.ErrorString().toStdString();
    EXPECT_EQ(readFile(name), QByteArray("%PDF-1.4\n%%EOF\n"));
}

TEST(SafeFile, AWriterThatOpensTheFileItselfWritesTheTemporaryName)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("book.xlsx"));
    ASSERT_TRUE(writeFile(name, "old"));
    {
        SafeFile f(name);
        ASSERT_TRUE(f.Reserve());
        ASSERT_FALSE(f.TemporaryName().isEmpty());
        EXPECT_EQ(QFileInfo(f.TemporaryName()).absolutePath(), QFileInfo(name).absolutePath());
        ASSERT_TRUE(writeFile(f.TemporaryName(), "new"));
        EXPECT_EQ(readFile(name), QByteArray("old"));
        ASSERT_TRUE(f.Commit());
    }
    EXPECT_EQ(readFile(name), QByteArray("new"));
    {
        SafeFile f(name);
        ASSERT_TRUE(f.Reserve());
        ASSERT_TRUE(writeFile(f.TemporaryName(), "half"));
        f.Fail(QStringLiteral("closing the file failed"));
        EXPECT_FALSE(f.Commit());
    }
    EXPECT_EQ(readFile(name), QByteArray("new"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("book.xlsx")});
}

TEST(SafeFile, NamesThatCannotBeReplacedAreRefused)
{
    QTemporaryDir dir;
    SafeFile onDirectory(dir.path());
    EXPECT_FALSE(onDirectory.Open());
    EXPECT_FALSE(onDirectory.ErrorString().isEmpty());

    // A directory below a regular file takes no temporary file.
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("file")), "x"));
    SafeFile below(dir.filePath(QStringLiteral("file/out.txt")));
    EXPECT_FALSE(below.Open());
    EXPECT_FALSE(below.Reserve());
    EXPECT_FALSE(SafeFile(QString()).Open());
}

// Two processes that each hold the lock across read, change and write never
// interleave: each appends its marks to one file by reading it whole and
// writing it back, so a lost update would drop marks.
TEST(FileLock, SerialisesReadChangeWriteAcrossProcesses)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("shared.txt"));
    ASSERT_TRUE(writeFile(name, QByteArray()));
    constexpr int Rounds = 200;
    pid_t children[2] = {};
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            bool ok = true;
            for (int i = 0; i < Rounds && ok; ++i) {
                platform::FileLock lock(name);
                ok = lock.Locked();
                QByteArray text = readFile(name);
                text.append(char('a' + c));
                ok = ok && platform::WriteWholeFile(name, text);
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QByteArray text = readFile(name);
    EXPECT_EQ(text.count('a'), Rounds);
    EXPECT_EQ(text.count('b'), Rounds);
    EXPECT_TRUE(QFileInfo::exists(platform::FileLock::LockFileName(name)));
}
