#include "reports/EditorText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using namespace reports;

TEST(EditorLines, AppendedLinesAreCountedWithoutTheOpenParagraph)
{
    QTextDocument doc;
    EXPECT_EQ(LineCount(doc), 0);
    AppendLine(doc, "eins", {});
    AppendLine(doc, "", {});
    AppendLine(doc, "drei", {});
    EXPECT_EQ(LineCount(doc), 3);
    EXPECT_EQ(GetLine(doc, 0), "eins");
    EXPECT_EQ(GetLine(doc, 1), "");
    EXPECT_EQ(GetLine(doc, 2), "drei");
    // Outside the document the answer is empty, and SetLine does nothing.
    EXPECT_EQ(GetLine(doc, 3), "");
    EXPECT_EQ(GetLine(doc, -1), "");
    EXPECT_FALSE(SetLine(doc, 3, "x"));
    EXPECT_EQ(LineCount(doc), 3);
    EXPECT_TRUE(SetLine(doc, 1, "zwei"));
    EXPECT_EQ(GetLine(doc, 1), "zwei");
    EXPECT_EQ(LineCount(doc), 3);
}

TEST(EditorLines, AppendingToTypedTextStartsANewLine)
{
    QTextDocument doc;
    QTextCursor(&doc).insertText("getippt");
    EXPECT_EQ(LineCount(doc), 1);
    AppendLine(doc, "neu", {});
    EXPECT_EQ(GetLine(doc, 0), "getippt");
    EXPECT_EQ(GetLine(doc, 1), "neu");
}

TEST(EditorLines, FormatGoesWithTheLine)
{
    QTextDocument doc;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    AppendLine(doc, "fett", bold);
    QTextCursor c(doc.firstBlock());
    c.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
}

TEST(EditorLines, PageBreakStartsTheNextLineOnANewPageOnly)
{
    QTextDocument doc;
    AppendLine(doc, "Seite 1", {});
    AppendPageBreak(doc);
    AppendLine(doc, "Seite 2", {});
    AppendLine(doc, "weiter", {});
    ASSERT_EQ(LineCount(doc), 3);
    EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    EXPECT_EQ(GetLine(doc, 1), "Seite 2");
}

TEST(LayoutLines, MarginsThenOrientationAreConsumedAndTheTextStays)
{
    QTextDocument doc;
    doc.setPlainText("$layout$margins$L25$T30$X99$B15$\n$layout$orientation$landscape$\nText\n$layout$margins$L1$");
    TLayoutSettings s;
    EXPECT_EQ(ConsumeLayoutLines(doc, s), 0);
    EXPECT_TRUE(s.MarginsSet);
    EXPECT_EQ(s.Left, 25);
    EXPECT_EQ(s.Top, 30);
    EXPECT_EQ(s.Right, 20);    // not named
    EXPECT_EQ(s.Bottom, 15);
    EXPECT_TRUE(s.OrientationSet);
    EXPECT_TRUE(s.Landscape);
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.firstBlock().text(), "Text");
}

TEST(LayoutLines, OrientationOtherThanLandscapeIsPortrait)
{
    TLayoutSettings s;
    s.Landscape = true;
    EXPECT_EQ(ParseLayoutLine("$layout$orientation$Landscape$", s), TLayoutLineResult::Read);
    EXPECT_FALSE(s.Landscape);
    EXPECT_EQ(ParseLayoutLine("Text $layout$", s), TLayoutLineResult::NotLayout);
}

TEST(LayoutLines, BadNumberIsReportedRemovedAndChangesNothing)
{
    QTextDocument doc;
    doc.setPlainText("$layout$margins$L2x$T5$\n$layout$margins$L$\n$layout$\nInhalt");
    TLayoutSettings s;
    EXPECT_EQ(ConsumeLayoutLines(doc, s), 2);
    EXPECT_FALSE(s.MarginsSet);
    EXPECT_EQ(s.Left, 20);
    EXPECT_EQ(doc.toPlainText(), "Inhalt");
}

TEST(LayoutLines, DocumentOfLayoutLinesOnlyEndsEmpty)
{
    QTextDocument doc;
    doc.setPlainText("$layout$orientation$landscape$");
    TLayoutSettings s;
    ConsumeLayoutLines(doc, s);
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_TRUE(s.Landscape);
}

TEST(DropEffect, KeysChooseLinkCopyOrMoveWhenAllowed)
{
    const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    EXPECT_EQ(DropEffectFor(Qt::ControlModifier | Qt::ShiftModifier, all, Qt::CopyAction), Qt::LinkAction);
    EXPECT_EQ(DropEffectFor(Qt::ControlModifier, all, Qt::MoveAction), Qt::CopyAction);
    EXPECT_EQ(DropEffectFor(Qt::NoModifier, all, Qt::CopyAction), Qt::MoveAction);
    EXPECT_EQ(DropEffectFor(Qt::ShiftModifier, all, Qt::CopyAction), Qt::MoveAction);
    // Not allowed: the proposed effect stays.
    EXPECT_EQ(DropEffectFor(Qt::ControlModifier | Qt::ShiftModifier, Qt::CopyAction | Qt::MoveAction,
                            Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(DropEffectFor(Qt::NoModifier, Qt::CopyAction, Qt::CopyAction), Qt::CopyAction);
}

TEST(ImageResources, EachPictureGetsANameOfItsOwn)
{
    QTextDocument doc;
    QImage a(4, 4, QImage::Format_RGB32);
    a.fill(Qt::red);
    const QString n1 = AddImageResource(doc, a);
    const QString n2 = AddImageResource(doc, a);
    EXPECT_NE(n1, n2);
    EXPECT_FALSE(doc.resource(QTextDocument::ImageResource, QUrl(n1)).isNull());
}
