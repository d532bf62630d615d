#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace platform;

TEST(Clipboard, TextGoesOnTheApplicationClipboardWithoutClosingNul)
{
    const TClipboardBackend saved = SetClipboardBackend(DefaultClipboardBackend());
    ASSERT_TRUE(SetClipboardText(QStringLiteral("a\tä\n")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\tä\n"));
    EXPECT_EQ(ClipboardText(), QStringLiteral("a\tä\n"));
    EXPECT_FALSE(ClipboardText().contains(QChar(0)));
    SetClipboardBackend(saved);
}

TEST(Clipboard, SeveralFormatsAtOnceReadBackByType)
{
    const TClipboardBackend saved = SetClipboardBackend(DefaultClipboardBackend());
    TClipboardContent content;
    content.HasText = true;
    content.Text = QStringLiteral("Diagramm");
    content.SetFormat(QString::fromLatin1(MimeWmf), QByteArray("\xD7\xCD\xC6\x9A", 4));
    content.SetFormat(QString::fromLatin1(MimeSvg), QByteArray("<svg/>"));
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    content.Image = image;
    ASSERT_TRUE(SetClipboardContent(content));

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(QString::fromLatin1(MimeWmf)), QByteArray("\xD7\xCD\xC6\x9A", 4));
    EXPECT_TRUE(mime->hasImage());

    const TClipboardContent back = ClipboardContent();
    EXPECT_TRUE(back.HasText);
    EXPECT_EQ(back.Text, QStringLiteral("Diagramm"));
    EXPECT_EQ(back.Format(QString::fromLatin1(MimeSvg)), QByteArray("<svg/>"));
    EXPECT_EQ(back.Image.size(), QSize(4, 3));
    EXPECT_TRUE(ClipboardHasFormat(QString::fromLatin1(MimeWmf)));
    EXPECT_FALSE(ClipboardHasFormat(QString::fromLatin1(MimeRtf)));

    // A new content replaces the old one whole.
    ASSERT_TRUE(SetClipboardText(QStringLiteral("x")));
    EXPECT_FALSE(ClipboardHasFormat(QString::fromLatin1(MimeWmf)));
    ASSERT_TRUE(ClearClipboard());
    EXPECT_TRUE(ClipboardText().isEmpty());
    SetClipboardBackend(saved);
}

TEST(Clipboard, SetFormatReplacesAnExistingFormat)
{
    TClipboardContent content;
    content.SetFormat(QStringLiteral("text/rtf"), "a");
    content.SetFormat(QStringLiteral("text/rtf"), "b");
    ASSERT_EQ(content.Formats.size(), 1u);
    EXPECT_EQ(content.Format(QStringLiteral("text/rtf")), QByteArray("b"));
}

TEST(Clipboard, ScopedClipboardRecordsAndRestoresTheBackend)
{
    {
        TScopedClipboard fake;
        EXPECT_TRUE(SetClipboardText(QStringLiteral("eins")));
        fake.refuse = true;
        EXPECT_FALSE(SetClipboardText(QStringLiteral("zwei")));
        ASSERT_EQ(fake.setCalls.size(), 1u);
        EXPECT_EQ(ClipboardText(), QStringLiteral("eins"));
    }
    // The application clipboard is back.
    ASSERT_TRUE(SetClipboardText(QStringLiteral("drei")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("drei"));
}
