#include "base/ZT_Meld.h"
#include "base/ZT_Ptk.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProtocolFileTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ProtocolClose(protocol);
        ProtocolClose(ProtocolFile);
        ProtocolActive = false;
    }
    QString path() const { return dir.filePath(QStringLiteral("test.ptk")); }
    QByteArray recordText(const QByteArray& file, int index) const
    {
        const qsizetype at = ProtocolHeaderSize + qsizetype(ProtocolRecordSize) * index;
        return file.mid(at + 1, uint8_t(file.at(at)));
    }
    QTemporaryDir dir;
    TProtocolFile protocol;
};

} // namespace

TEST_F(ProtocolFileTest, RingWritesRecordsInOrderThenFromTheStart)
{
    ASSERT_TRUE(ProtocolCreate(protocol, path(), 3));
    const char* texts[] = {"first", "second", "third", "fourth", "fifth"};
    for (const char* t : texts)
        ASSERT_EQ(ProtocolAppend(protocol, QString::fromLatin1(t)), 0);
    EXPECT_EQ(protocol.Written, 3);
    EXPECT_EQ(protocol.RingPos, 3);

    const QByteArray file = testsupport::readFile(path());
    ASSERT_EQ(file.size(), ProtocolHeaderSize + 3 * ProtocolRecordSize);
    EXPECT_TRUE(file.startsWith("VALDRAN PROTOKOLL"));
    EXPECT_EQ(uint8_t(file[32]), 3);
    EXPECT_EQ(uint8_t(file[33]), 0);
    // Records 0, 1, 2, then 0 and 1 again.
    EXPECT_EQ(recordText(file, 0), QByteArray("fourth"));
    EXPECT_EQ(recordText(file, 1), QByteArray("fifth"));
    EXPECT_EQ(recordText(file, 2), QByteArray("third"));
    // The length byte sits right at the record's start.
    EXPECT_EQ(uint8_t(file[ProtocolHeaderSize]), 6);
    EXPECT_EQ(uint8_t(file[ProtocolHeaderSize + ProtocolRecordSize]), 5);
}

TEST_F(ProtocolFileTest, RingPositionWrapsWithinCapacity)
{
    ASSERT_TRUE(ProtocolCreate(protocol, path(), 2));
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(ProtocolAppend(protocol, QString::number(i)), 0);
    // 0 1 fill the ring; 2 -> rec 0, 3 -> rec 1, 4 -> rec 0, 5 -> rec 1, 6 -> rec 0.
    const QByteArray file = testsupport::readFile(path());
    EXPECT_EQ(file.size(), ProtocolHeaderSize + 2 * ProtocolRecordSize);
    EXPECT_EQ(recordText(file, 0), QByteArray("6"));
    EXPECT_EQ(recordText(file, 1), QByteArray("5"));
    EXPECT_EQ(protocol.RingPos, 2);
}

TEST_F(ProtocolFileTest, RingPositionOutOfRangeStartsOver)
{
    ASSERT_TRUE(ProtocolCreate(protocol, path(), 2));
    ProtocolAppend(protocol, QStringLiteral("a"));
    ProtocolAppend(protocol, QStringLiteral("b"));
    protocol.RingPos = 9;     // filled in by hand, beyond the ring
    ASSERT_EQ(ProtocolAppend(protocol, QStringLiteral("c")), 0);
    protocol.RingPos = 0;
    ASSERT_EQ(ProtocolAppend(protocol, QStringLiteral("d")), 0);
    const QByteArray file = testsupport::readFile(path());
    EXPECT_EQ(file.size(), ProtocolHeaderSize + 2 * ProtocolRecordSize);
    EXPECT_EQ(recordText(file, 0), QByteArray("d"));
    EXPECT_EQ(recordText(file, 1), QByteArray("b"));
}

TEST_F(ProtocolFileTest, TextIsCutAndEncoded)
{
    ASSERT_TRUE(ProtocolCreate(protocol, path(), 3));
    ProtocolAppend(protocol, QString(200, QLatin1Char('x')));
    ProtocolAppend(protocol, QStringLiteral("Zählerstände"));
    // A character outside Windows-1252 makes the line UTF-8; the record still
    // holds at most 132 bytes, cut between characters.
    ProtocolAppend(protocol, QString(132, QChar(0x0142)));
    const QByteArray file = testsupport::readFile(path());
    EXPECT_EQ(recordText(file, 0), QByteArray(132, 'x'));
    EXPECT_EQ(recordText(file, 1), QByteArray("Z\xe4hlerst\xe4nde"));
    const QByteArray third = recordText(file, 2);
    EXPECT_EQ(third.size(), 132);
    EXPECT_EQ(QString::fromUtf8(third), QString(66, QChar(0x0142)));
}

TEST_F(ProtocolFileTest, NothingOpenOrNoCapacityIsAnError)
{
    EXPECT_EQ(ProtocolAppend(protocol, QStringLiteral("x")), 2);
    ASSERT_TRUE(ProtocolCreate(protocol, path(), 0));
    EXPECT_EQ(ProtocolAppend(protocol, QStringLiteral("x")), 2);
    EXPECT_EQ(QFileInfo(path()).size(), ProtocolHeaderSize);
}

TEST_F(ProtocolFileTest, CreateFailsBelowARegularFile)
{
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x"));
    EXPECT_FALSE(ProtocolCreate(protocol, dir.filePath(QStringLiteral("plain/p.ptk")), 3));
    EXPECT_EQ(ProtocolAppend(protocol, QStringLiteral("x")), 2);
}

TEST_F(ProtocolFileTest, LogStopsForGoodAfterAnError)
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(ProtocolCreate(ProtocolFile, path(), 3));
    ProtocolActive = true;
    ProtocolLog(QStringLiteral("kept"));
    EXPECT_TRUE(ProtocolActive);
    EXPECT_EQ(ProtocolFile.Written, 1);

    // A device that refuses every write stands for a full disk.
    auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full->open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    ProtocolFile.File = std::move(full);
    ProtocolLog(QStringLiteral("lost"));
    EXPECT_FALSE(ProtocolActive);
    EXPECT_EQ(ProtocolFile.Written, 1);

    ASSERT_TRUE(ProtocolCreate(ProtocolFile, path(), 3));
    ProtocolLog(QStringLiteral("not written"));
    EXPECT_EQ(ProtocolFile.Written, 0);
}
