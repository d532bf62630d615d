// Path splitting and directory resolution.
#include "base/ZT_Tools.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

// ResolveDirectory changes the process's current directory; put it back.
struct CurrentDirGuard {
    CurrentDirGuard() : old_(QDir::currentPath()) {}
    ~CurrentDirGuard() { QDir::setCurrent(old_); }
    QString old_;
};

} // namespace

TEST(PathParts, ExtractPathPart)
{
    EXPECT_EQ(ExtractPathPart(QStringLiteral("/data/arc/x.agr")), QStringLiteral("/data/arc"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("/x.agr")), QStringLiteral("/"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("x.agr")), QString());
    EXPECT_EQ(ExtractPathPart(QString()), QString());
    EXPECT_EQ(ExtractPathPart(QStringLiteral("/data/arc/")), QStringLiteral("/data/arc"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("rel/x.agr")), QStringLiteral("rel"));
    // Windows forms are still understood.
    EXPECT_EQ(ExtractPathPart(QStringLiteral("C:\\DATA\\ARC\\X.AGR")), QStringLiteral("C:\\DATA\\ARC"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("C:\\X.AGR")), QStringLiteral("C:\\"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("C:NAME")), QStringLiteral("C:"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("\\X")), QStringLiteral("\\"));
}

TEST(PathParts, NameStemAndExtension)
{
    EXPECT_EQ(FileNamePart(QStringLiteral("/data/x.agr")), QStringLiteral("x.agr"));
    EXPECT_EQ(FileNamePart(QStringLiteral("x.agr")), QStringLiteral("x.agr"));
    EXPECT_EQ(FileNamePart(QStringLiteral("/data/")), QString());
    EXPECT_EQ(FileNamePart(QStringLiteral("C:\\DATA\\X.AGR")), QStringLiteral("X.AGR"));
    EXPECT_EQ(FileStemPart(QStringLiteral("/data/a.b.agr")), QStringLiteral("a"));
    EXPECT_EQ(FileStemPart(QStringLiteral("/data.old/file")), QStringLiteral("file"));
    EXPECT_EQ(FileExtensionPart(QStringLiteral("/data.old/file")), QString());
    EXPECT_EQ(FileExtensionPart(QStringLiteral("C:\\DATA.OLD\\FILE")), QString());
    EXPECT_EQ(FileExtensionPart(QStringLiteral("x.agr")), QStringLiteral("agr"));
    EXPECT_EQ(FileExtensionPart(QStringLiteral("/out/report.html")), QStringLiteral("htm"));
    EXPECT_EQ(FileExtensionPart(QStringLiteral("/out/report.")), QString());
}

TEST(PathParts, FindExtensionDot)
{
    int position = -1;
    EXPECT_TRUE(FindExtensionDot(QStringLiteral("/a/x.agr"), position));
    EXPECT_EQ(position, 5);
    EXPECT_FALSE(FindExtensionDot(QStringLiteral("/a/x"), position));
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(FindExtensionDot(QStringLiteral("/a.b/x"), position));
    EXPECT_EQ(position, 3);
    // A separator far behind the dot still means the dot is in a directory name.
    const QString deep = QStringLiteral("/v1.0/") + QString(100, u'a') + QStringLiteral("/file");
    EXPECT_FALSE(FindExtensionDot(deep, position));
}

TEST(PathParts, AppendBackslash)
{
    EXPECT_EQ(AppendBackslash(QStringLiteral("/data")), QStringLiteral("/data/"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("/data/")), QStringLiteral("/data/"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("C:\\DATA\\")), QStringLiteral("C:\\DATA\\"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("C:")), QStringLiteral("C:"));
    EXPECT_EQ(AppendBackslash(QString()), QString());
    EXPECT_FALSE(DriveIsUsable(u'C'));
}

// A ':' is a separator only as the colon of a drive letter ("C:"); on this
// system it is an ordinary character of file and directory names.
TEST(PathParts, ColonInsideNamesIsNoSeparator)
{
    EXPECT_EQ(FileNamePart(QStringLiteral("/arc/T12:00.agr")), QStringLiteral("T12:00.agr"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("/arc/T12:00.agr")), QStringLiteral("/arc"));
    EXPECT_EQ(FileStemPart(QStringLiteral("/arc/T12:00.x.agr")), QStringLiteral("T12:00"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("/mnt/c:/x.agr")), QStringLiteral("/mnt/c:"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("/arc/run:")), QStringLiteral("/arc/run:/"));
    // The drive forms keep their meaning.
    EXPECT_EQ(FileNamePart(QStringLiteral("C:NAME")), QStringLiteral("NAME"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("C:NAME")), QStringLiteral("C:"));
    EXPECT_EQ(ExtractPathPart(QStringLiteral("C:\\X.AGR")), QStringLiteral("C:\\"));
    EXPECT_EQ(AppendBackslash(QStringLiteral("C:")), QStringLiteral("C:"));
}

TEST(ResolveDirectory, ExistingDirectoryBecomesCurrent)
{
    CurrentDirGuard guard;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString dir = temp.path() + QStringLiteral("/Arc Daten");
    ASSERT_TRUE(QDir().mkpath(dir));

    EXPECT_EQ(ResolveDirectory(dir + u'/'), dir + u'/');
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(dir).canonicalPath());
    EXPECT_EQ(ResolveDirectory(dir), dir + u'/');
    EXPECT_EQ(ResolveDirectory(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
}

TEST(ResolveDirectory, MissingDirectoryFallsBackToCurrent)
{
    CurrentDirGuard guard;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir::setCurrent(temp.path()));
    const QString current = AppendBackslash(QDir::currentPath());

    EXPECT_EQ(ResolveDirectory(temp.path() + QStringLiteral("/not/there/")), current);
    EXPECT_EQ(ResolveDirectory(QStringLiteral("C:\\NOT\\THERE\\")), current);
    EXPECT_EQ(ResolveDirectory(QString()), current);
    // A directory below a regular file can never be entered.
    ASSERT_TRUE(testsupport::writeFile(temp.path() + QStringLiteral("/plain"), "x"));
    EXPECT_EQ(ResolveDirectory(temp.path() + QStringLiteral("/plain/sub")), current);
    EXPECT_EQ(AppendBackslash(QDir::currentPath()), current);
}

TEST(ResolveDirectory, BackslashPathNamingAFolderHere)
{
    CurrentDirGuard guard;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir().mkpath(temp.path() + QStringLiteral("/a/b")));
    QString windowsForm = temp.path() + QStringLiteral("\\a\\b\\");
    EXPECT_EQ(ResolveDirectory(windowsForm), temp.path() + QStringLiteral("/a/b/"));
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(temp.path() + QStringLiteral("/a/b")).canonicalPath());
}
