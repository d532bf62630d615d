#include "reports/forms/ZT_BerKo.h"

#include "platform/Clipboard.h"
#include "platform/StringGrid.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "reports/RtfReader.h"
#include "reports/ZT_BerEx.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/PrtForm.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace reports;

namespace {

class BerKompoTest : public ::testing::Test {
protected:
    std::unique_ptr<TBer_Intf_Kompo> make(const QString& file = QString())
    {
        return std::make_unique<TBer_Intf_Kompo>("Auswertung", file, [this] { ++callbacks; },
                                                 std::make_shared<TPdfRichTarget>(sandbox.root() + "/k.pdf", 300));
    }
    QStringList lines(TBer_Intf_Kompo& r)
    {
        QStringList out;
        for (int i = 0; i < r.GetLineCount(); ++i)
            out << r.GetLine(uint16_t(i));
        return out;
    }
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    int callbacks = 0;
};

void fillGrid(platform::TStringGridModel& g)
{
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    const char* cells[3][3] = {{"Zeit", "Zähler", "kWh"}, {"01.01.", "1", "12,5"}, {"02.01.", "22", "7"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCell(c, r, QString::fromUtf8(cells[r][c]));
}

} // namespace

TEST_F(BerKompoTest, TableBecomesBoxDrawingLinesInTerminal)
{
    auto report = make();
    report->WriteLine("Titel");
    platform::TStringGridModel grid;
    fillGrid(grid);
    report->WriteTable(grid);
    const QStringList expected = {
        "Titel",
        QString::fromUtf8("┌──────┬───────────┐"),
        QString::fromUtf8("│Zeit  │Zähler kWh │"),
        QString::fromUtf8("├──────┼───────────┤"),
        QString::fromUtf8("│01.01.│     1 12,5│"),
        QString::fromUtf8("│02.01.│    22    7│"),
        QString::fromUtf8("└──────┴───────────┘"),
    };
    EXPECT_EQ(lines(*report), expected);
    // The table lines are in the fixed-pitch font.
    const QTextBlock tableLine = report->Form()->Editor->document()->findBlockByNumber(2);
    QTextCursor c(tableLine);
    c.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList().value(0), "Terminal");
    EXPECT_EQ(c.charFormat().fontPointSize(), 9);
    // Saved and read again, the box characters survive.
    const QString file = sandbox.root() + "/tabelle.rtf";
    report->SaveToFile(file);
    EXPECT_EQ(report->Form()->windowTitle(), "Editor - " + file);
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &back));
    EXPECT_EQ(back.findBlockByNumber(1).text(), expected[1]);
    EXPECT_EQ(back.findBlockByNumber(5).text(), expected[5]);
    EXPECT_TRUE(QFile(file).open(QIODevice::ReadOnly));
}

TEST_F(BerKompoTest, WriteAlignedCentresOnlyItsLine)
{
    auto report = make();
    report->WriteLine("davor");
    report->WriteAligned("Mitte", raCentre);
    report->WriteLine("danach");
    report->WriteAligned("rechts", raRight);
    const QTextDocument& doc = *report->Form()->Editor->document();
    EXPECT_TRUE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_FALSE(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(doc.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignRight);
    EXPECT_EQ(report->GetLine(1), "Mitte");
    EXPECT_EQ(report->GetLineCount(), 4);
}

TEST_F(BerKompoTest, LinesOutsideTheDocumentAreLeftAlone)
{
    auto report = make();
    report->WriteLine("a");
    report->WriteLine("b");
    EXPECT_EQ(report->GetLine(2), "");
    report->SetLine(2, "c");
    EXPECT_EQ(report->GetLineCount(), 2);
    report->SetLine(1, "B");
    EXPECT_EQ(lines(*report), (QStringList{"a", "B"}));
    report->WriteLine(QString(300, QLatin1Char('x')));
    EXPECT_EQ(report->GetLine(2).size(), 255);
}

TEST_F(BerKompoTest, NewPageStartsANewPrintedPage)
{
    auto report = make();
    report->WriteLine("Seite eins");
    report->NewPage();
    report->WriteLine("Seite zwei");
    EXPECT_EQ(lines(*report), (QStringList{"Seite eins", "Seite zwei"}));
    EXPECT_EQ(report->Form()->RichPrinter().PageCount(*report->Form()->Editor->document()), 2);
    const QString file = sandbox.root() + "/seiten.rtf";
    report->SaveToFile(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\\page"));
}

TEST_F(BerKompoTest, ConstructorForcesPortraitAndLoadsTheFile)
{
    WriteProgramIniInteger(PageSection, "Ausrichtung", 0);
    {
        auto first = make();
        first->WriteLine("$layout$margins$L30$");
        first->WriteLine("Inhalt");
        first->SaveToFile(sandbox.root() + "/vorlage.rtf");
    }
    auto report = make(sandbox.root() + "/vorlage.rtf");
    EXPECT_EQ(report->Form()->RichPrinter().Orientation(), poPortrait);
    EXPECT_EQ(ReadProgramIniInteger(PageSection, "Ausrichtung", -1), 1);
    EXPECT_DOUBLE_EQ(report->Form()->RichPrinter().MarginLeft(), 30);
    EXPECT_EQ(lines(*report), (QStringList{"Inhalt"}));
    EXPECT_EQ(report->Form()->windowTitle(), "Editor - " + sandbox.root() + "/vorlage.rtf");
    EXPECT_FALSE(report->Form()->Modified());
    EXPECT_FALSE(report->IsVisible());
    report->SetOrientation(roLandscape);
    EXPECT_EQ(report->Form()->EditorWidth(), 1132 - 3 * 50);
    report->SetOrientation(7);   // ignored
    EXPECT_EQ(report->Form()->RichPrinter().Orientation(), poLandscape);
}

TEST_F(BerKompoTest, MissingFileReachesTheCaller)
{
    EXPECT_THROW(make(sandbox.root() + "/fehlt.rtf"), std::runtime_error);
}

TEST_F(BerKompoTest, GraphicArrivesThroughTheClipboard)
{
    platform::TScopedClipboard clipboard;
    auto report = make();
    report->WriteLine("Grafik:");
    TReportGraphic graphic;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    graphic.Content.Image = image;
    report->InsertGraphic(graphic);
    report->WriteLine("danach");
    const QTextDocument& doc = *report->Form()->Editor->document();
    int images = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            images += it.fragment().charFormat().isImageFormat();
    EXPECT_EQ(images, 1);
    EXPECT_EQ(report->GetLine(0), "Grafik:");
    EXPECT_EQ(report->GetLine(report->GetLineCount() - 1), "danach");
}

TEST_F(BerKompoTest, ChooserCreatesTheEditorForKind0)
{
    TScopedReportFactory keep(ReportKindEditor, ReportFactory(ReportKindEditor));
    InstallEditorReportBackend();
    int called = 0;
    Ber_Intf.Init("Bericht", QString(), ReportKindEditor, [&] { ++called; });
    ASSERT_NE(dynamic_cast<TBer_Intf_Kompo*>(Ber_Intf.Report()), nullptr);
    Ber_Intf->WriteLine("x");
    EXPECT_TRUE(Ber_Intf->ShowResult(true));
    EXPECT_TRUE(Ber_Intf->IsVisible());
    hooks.messageBoxAnswers.push_back(platform::mb::IdNo);
    // Freeing a showing report closes its window first, which calls back.
    Ber_Intf.Done();
    EXPECT_EQ(called, 1);
    EXPECT_FALSE(Ber_Intf.HasReport());
}

TEST_F(BerKompoTest, ClearAndCaption)
{
    auto report = make();
    EXPECT_EQ(report->Form()->windowTitle(), "Auswertung");
    report->WriteLine("weg");
    report->Clear("Neu");
    EXPECT_EQ(report->GetLineCount(), 0);
    EXPECT_EQ(report->Form()->windowTitle(), "Neu");
    report->SetCaption("Anders");
    EXPECT_EQ(report->Form()->windowTitle(), "Anders");
    EXPECT_THROW(report->SkipLines(3), EAbstractReportOperation);
    EXPECT_THROW(report->AfterPaste(), EAbstractReportOperation);
}
