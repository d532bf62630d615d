#include "platform/TextCodec.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace platform;

TEST(TextCodec, LinesAreUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodeLine(QByteArray("M\xfcller")), QString::fromUtf8("Müller"));
    EXPECT_EQ(DecodeLine(QByteArray("M\xc3\xbcller")), QString::fromUtf8("Müller"));
    EXPECT_EQ(DecodeLine(QByteArray("\x80 5")), QString::fromUtf8("€ 5"));
    // A truncated UTF-8 sequence at the end is not UTF-8.
    EXPECT_EQ(DecodeLine(QByteArray("a\xc3")), QString::fromUtf8("aÃ"));
    // Overlong encodings are not accepted as UTF-8.
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf", 2));
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80", 3));
}

TEST(TextCodec, WritesWindows1252UnlessACharacterHasNoCode)
{
    EXPECT_EQ(EncodeLine(QString::fromUtf8("Zähler €")), QByteArray("Z\xe4hler \x80"));
    const QString polish = QString::fromUtf8("/home/łukasz");
    EXPECT_EQ(EncodeLine(polish), polish.toUtf8());
    EXPECT_EQ(DecodeLine(EncodeLine(polish)), polish);
}

TEST(TextCodec, EveryByteRoundTrips)
{
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        all.append(char(i));
    const QString text = DecodeWindows1252(all.constData(), std::size_t(all.size()));
    EXPECT_EQ(EncodeLine(text), all);
}

TEST(TextCodec, TextSplitsAtCrLfAndLoneLf)
{
    EXPECT_EQ(DecodeText("a\r\nb\nc"), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(DecodeText("a\r\n"), QStringLiteral("a"));
    EXPECT_EQ(EncodeLines({QStringLiteral("x"), QStringLiteral("y")}), QByteArray("x\r\ny\r\n"));
}

TEST(TextCodec, Windows1252BytesThatFormUtf8AreWrittenAsUtf8)
{
    // "Ý™" is DD 99 in Windows-1252, which is also the UTF-8 of U+0759: written
    // as Windows-1252 it would come back as another character.
    const QString text = QString::fromUtf8("Besondere Ý™ Ereignisse");
    EXPECT_EQ(DecodeLine(EncodeLine(text)), text);
    const QString sharp = QString::fromUtf8("Maß°C");   // DF B0
    EXPECT_EQ(DecodeLine(EncodeLine(sharp)), sharp);
    EXPECT_EQ(DecodeText(EncodeLines({text, sharp})), text + QLatin1Char('\n') + sharp);
    // Lines that cannot be mistaken stay Windows-1252.
    EXPECT_EQ(EncodeLine(QString::fromUtf8("Zähler")), QByteArray("Z\xe4hler"));
}
