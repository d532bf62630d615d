#include "reports/forms/PrtForm.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "reports/Converters.h"
#include "reports/EditorText.h"
#include "reports/PageSettings.h"
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"
#include "reports/forms/OLEEdit.h"
#include "reports/forms/anlRuler.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTextList>
#include <QToolButton>
#include <QFile>
#include <QFileInfo>
#include "platform/Printer.h"
#include <QKeyEvent>
#include <QMainWindow>
#include <QScreen>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace reports;

namespace {

class PrtFormTest : public ::testing::Test {
protected:
    PrtFormTest() : pdf(sandbox.root() + "/report.pdf") {}
    std::unique_ptr<TPrtForm> makeForm()
    {
        target = std::make_shared<TPdfRichTarget>(pdf, 300);
        auto form = std::make_unique<TPrtForm>(nullptr, target);
        form->resize(1200, 800);
        form->SetCloseCallback([this] { ++callbacks; });
        return form;
    }
    QString writeRtf(const QStringList& lines)
    {
        QTextDocument doc;
        for (const QString& l : lines)
            AppendLine(doc, l, {});
        const QString name = sandbox.root() + "/geladen.rtf";
        EXPECT_TRUE(rtf::SaveRtfFile(doc, name));
        return name;
    }
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    QString pdf;
    std::shared_ptr<TPdfRichTarget> target;
    int callbacks = 0;
};

} // namespace

TEST_F(PrtFormTest, DefaultMarginsGiveTheEditor681Pixels)
{
    auto form = makeForm();
    EXPECT_EQ(form->EditorWidth(), 681);
    EXPECT_EQ(form->StatusText(0), "1:1");
    EXPECT_EQ(form->StatusText(1), "Einf");
    EXPECT_TRUE(form->Modified());   // the change handler ran once
    form->RichPrinter().SetOrientation(poLandscape);
    form->UpdatePageWidth();
    EXPECT_EQ(form->EditorWidth(), 1012);
    EXPECT_TRUE(form->Landscape());
    // The font list is sorted.
    QStringList fonts;
    for (int i = 0; i < form->FontName->count(); ++i)
        fonts << form->FontName->itemText(i);
    QStringList sorted = fonts;
    sorted.sort();
    EXPECT_EQ(fonts, sorted);
}

TEST_F(PrtFormTest, ShownTheEditorIs1024PixelsWideUntilAPageSetup)
{
    auto form = makeForm();
    ASSERT_EQ(form->EditorWidth(), 681);
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->EditorWidth(), 1024);
    EXPECT_EQ(form->Editor->width(), 1024);
    // The window is wider than the editor: centred, the ruler's margins beside it.
    EXPECT_EQ(form->Ruler->MarginLeft(), form->Editor->x());
    EXPECT_EQ(form->Ruler->MarginRight(), form->Ruler->width() - form->Editor->x() - 1024);
    // A narrow window scrolls the editor sideways rather than narrowing it.
    form->resize(700, 600);
    QApplication::processEvents();
    EXPECT_EQ(form->Editor->width(), 1024);
    EXPECT_EQ(form->Editor->x(), 5);
    // The page width takes over again when the page changes.
    form->UpdatePageWidth();
    EXPECT_EQ(form->Editor->width(), 681);
}

TEST_F(PrtFormTest, LayoutLinesOfALoadedFileSetMarginsAndOrientation)
{
    auto form = makeForm();
    const QString file = writeRtf({"$layout$margins$L25$T30$R15$B22$", "$layout$orientation$landscape$", "Inhalt"});
    ASSERT_TRUE(form->LoadFromFile(file));
    EXPECT_DOUBLE_EQ(form->RichPrinter().MarginLeft(), 25);
    EXPECT_DOUBLE_EQ(form->RichPrinter().MarginTop(), 30);
    EXPECT_DOUBLE_EQ(form->RichPrinter().MarginRight(), 15);
    EXPECT_DOUBLE_EQ(form->RichPrinter().MarginBottom(), 22);
    EXPECT_EQ(form->RichPrinter().Orientation(), poLandscape);
    EXPECT_EQ(form->EditorWidth(), 1132 - 3 * 40);
    EXPECT_EQ(GetLine(*form->Editor->document(), 0), "Inhalt");
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->DocumentFileName(), file);
    EXPECT_TRUE(hooks.kindMessages.empty());
}

TEST_F(PrtFormTest, BadLayoutLineIsReportedOnceAndIgnored)
{
    auto form = makeForm();
    const QString file = writeRtf({"$layout$margins$Lzwei$", "$layout$margins$T$", "Text"});
    ASSERT_TRUE(form->LoadFromFile(file));
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(file));
    EXPECT_TRUE(hooks.kindMessages[0].Text.startsWith("Fehler beim Lesen der Datei"));
    EXPECT_NEAR(form->RichPrinter().MarginLeft(), 20, 0.01);   // the file's own page
    EXPECT_EQ(GetLine(*form->Editor->document(), 0), "Text");
}

TEST_F(PrtFormTest, InsertTwiceRestoresEinf)
{
    auto form = makeForm();
    form->show();
    QTest::keyClick(form->Editor, Qt::Key_Insert);
    EXPECT_EQ(form->StatusText(1), "");
    EXPECT_TRUE(form->Editor->overwriteMode());
    QTest::keyClick(form->Editor, Qt::Key_Insert);
    EXPECT_EQ(form->StatusText(1), "Einf");
    QTest::keyClicks(form->Editor, "ab");
    QTest::keyClick(form->Editor, Qt::Key_Return);
    QTest::keyClicks(form->Editor, "cde");
    EXPECT_EQ(form->StatusText(0), "2:4");
    EXPECT_EQ(form->StatusText(2), "Geändert");
}

TEST_F(PrtFormTest, RulerDragOfTheFirstLineMarkerIndentsTheFirstLine)
{
    auto form = makeForm();
    form->show();
    QApplication::processEvents();
    form->Editor->setPlainText("Absatz");
    form->EditorSelectionChange();
    const int leftBefore = form->Ruler->IndentLeft();
    form->Ruler->PlaceIndents(form->Ruler->IndentFirst() + 40, leftBefore, form->Ruler->IndentRight());
    form->RulerIndentChange(0);
    const QTextBlockFormat f = form->Editor->document()->firstBlock().blockFormat();
    EXPECT_NEAR(f.leftMargin() + f.textIndent(), 40, 0.01);   // first line 30 pt in
    EXPECT_NEAR(f.leftMargin(), 0, 0.01);                     // the other lines stay
    form->EditorSelectionChange();
    EXPECT_EQ(form->Ruler->IndentLeft(), leftBefore);
}

TEST_F(PrtFormTest, ClosingUnmodifiedOnlyHidesAndCallsBack)
{
    auto form = makeForm();
    form->show();
    form->ResetEditorChange();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(callbacks, 1);
    EXPECT_TRUE(hooks.messageBoxes.empty());
}

TEST_F(PrtFormTest, UnnamedDocumentAsksForAFileProposingOhneName)
{
    auto form = makeForm();
    form->setWindowTitle("Bericht");
    form->show();
    form->Editor->setPlainText("neu");
    hooks.messageBoxAnswers.push_back(platform::mb::IdYes);
    const QString target = sandbox.root() + "/gesichert.rtf";
    hooks.fileAnswers.push_back({true, target, 1});
    form->close();
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, "Report BERICHT wurde geändert! Speichern?");
    ASSERT_EQ(hooks.saveRequests.size(), 1u);
    EXPECT_EQ(hooks.saveRequests[0].FileName, "OHNENAME.RTF");
    EXPECT_EQ(hooks.saveRequests[0].DefaultExt, "rtf");
    EXPECT_EQ(hooks.saveRequests[0].Filter, "Reportdateien (*.rtf)|*.rtf");
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->DocumentFileName(), target);
    EXPECT_EQ(callbacks, 1);
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(target, &back));
    EXPECT_EQ(back.firstBlock().text(), "neu");
}

TEST_F(PrtFormTest, NamedDocumentIsSavedToItsOwnFile)
{
    auto form = makeForm();
    const QString file = writeRtf({"alt"});
    ASSERT_TRUE(form->LoadFromFile(file));
    form->show();
    SetLine(*form->Editor->document(), 0, "geändert");
    ASSERT_TRUE(form->Modified());
    hooks.messageBoxAnswers.push_back(platform::mb::IdYes);
    form->close();
    EXPECT_TRUE(hooks.saveRequests.empty());
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &back));
    EXPECT_EQ(back.firstBlock().text(), "geändert");
    EXPECT_EQ(callbacks, 1);
}

TEST_F(PrtFormTest, AnsweringNoSavesNothing)
{
    auto form = makeForm();
    const QString file = writeRtf({"alt"});
    ASSERT_TRUE(form->LoadFromFile(file));
    form->show();
    SetLine(*form->Editor->document(), 0, "verworfen");
    hooks.messageBoxAnswers.push_back(platform::mb::IdNo);
    form->close();
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &back));
    EXPECT_EQ(back.firstBlock().text(), "alt");
    EXPECT_TRUE(form->Modified());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(callbacks, 1);
}

// Prints pages 2 to 3 of a three-page document ("eins", "zwei", "drei")
// into the PDF file through the print dialog, in the copies given.
static void PrintPagesTwoToThreeOfThree(TPrtForm& form, testsupport::FakeHooks& hooks, int copies)
{
    QTextDocument& doc = *form.Editor->document();
    AppendLine(doc, "eins", {});
    AppendPageBreak(doc);
    AppendLine(doc, "zwei", {});
    AppendPageBreak(doc);
    AppendLine(doc, "drei", {});
    platform::TPrintDialogAnswer answer;
    answer.Accepted = true;
    answer.Range = 2;
    answer.FromPage = 2;
    answer.ToPage = 3;
    answer.Copies = copies;
    answer.Target = platform::PdfTargetName();
    hooks.printAnswers.push_back(answer);
    form.PrintWithDialog();
}

TEST_F(PrtFormTest, PrintDialogRangePrintsThosePages)
{
    REQUIRE_TOOL("pdfinfo");
    auto form = makeForm();
    PrintPagesTwoToThreeOfThree(*form, hooks, 1);
    ASSERT_EQ(hooks.printRequests.size(), 1u);
    EXPECT_EQ(hooks.printRequests[0].ToPage, 99);
    const auto info = testsupport::runTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.out.contains("Pages:           2")) << info.out.toStdString();
    // The footer of the editor's printing.
    EXPECT_EQ(form->RichPrinter().Footer, "Seite {$PAGE}");
}

// Two copies are one job: one PDF file holds both, none overwrites the other.
TEST_F(PrtFormTest, CopiesGoIntoOneFile)
{
    REQUIRE_TOOL("pdfinfo");
    auto form = makeForm();
    PrintPagesTwoToThreeOfThree(*form, hooks, 2);
    const auto info = testsupport::runTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.out.contains("Pages:           4")) << info.out.toStdString();
    const auto text = testsupport::runTool("pdftotext", {pdf, "-"});
    EXPECT_EQ(text.out.count("zwei"), 2) << text.out.toStdString();
    EXPECT_EQ(text.out.count("eins"), 0);
    EXPECT_FALSE(platform::Printer().PdfChosen());
}

TEST_F(PrtFormTest, FooterFontComesFromTheIniFile)
{
    WriteProgramIniInteger(FooterSection, "FontSize", 14);
    WriteProgramIniInteger(FooterSection, "FontStyle", 3);
    auto form = makeForm();
    form->FooterSettings();
    const QFont f = form->RichPrinter().Font_HeaderFooter;
    EXPECT_EQ(f.pointSize(), 14);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
}

TEST_F(PrtFormTest, PageSetupChangesTheEditorWidth)
{
    auto form = makeForm();
    platform::TPageSetupAnswer a;
    a.Accepted = true;
    a.MarginLeft = 3000;
    a.MarginTop = 2000;
    a.MarginRight = 3000;
    a.MarginBottom = 2000;
    hooks.pageSetupAnswers.push_back(a);
    form->ResetEditorChange();
    form->ToolButton2Click();
    EXPECT_EQ(form->EditorWidth(), 801 - 3 * 60);
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(platform::IniFile(TIniFiler::DefaultIniName()).ReadString(PageSection, "LeftMargin", ""), "300");
}

namespace {

int filterIndexOf(const QString& filter, const QString& name)
{
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i] == name)
            return i / 2 + 1;
    return 0;
}

} // namespace

TEST_F(PrtFormTest, ExportToHtmlNamesTheDocumentAndClearsTheMark)
{
    auto form = makeForm();
    AppendLine(*form->Editor->document(), QString::fromUtf8("Zähler"), {});
    ASSERT_TRUE(form->Modified());
    const QString filter = converters::BuildConverterFilter(converters::cdExport);
    const int html = filterIndexOf(filter, "HTML-Dokument");
    ASSERT_GT(html, 1) << filter.toStdString();
    const QString file = sandbox.root() + "/bericht.htm";
    hooks.fileAnswers.push_back({true, file, html});
    form->ToolButton19Click();
    ASSERT_EQ(hooks.saveRequests.size(), 1u);
    EXPECT_EQ(hooks.saveRequests[0].Filter, filter);
    EXPECT_EQ(hooks.saveRequests[0].FilterIndex, 1);
    EXPECT_EQ(form->StatusText(3), "Export erfolgreich : " + file);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->DocumentFileName(), file);
    EXPECT_TRUE(testsupport::readFile(file).contains("Z&#228;hler"));
}

TEST_F(PrtFormTest, FailedExportKeepsTheMarkAndSaysSo)
{
    auto form = makeForm();
    AppendLine(*form->Editor->document(), "x", {});
    const int html = filterIndexOf(converters::BuildConverterFilter(converters::cdExport), "HTML-Dokument");
    const QString file = sandbox.root() + "/fehlt/nicht/da.htm";
    testsupport::writeFile(sandbox.root() + "/fehlt", "eine Datei, kein Ordner");
    hooks.fileAnswers.push_back({true, file, html});
    form->ToolButton19Click();
    EXPECT_EQ(form->StatusText(3), "Export fehlgeschlagen : " + file);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->DocumentFileName().isEmpty());
}

// Saving on a full disk used to clear the mark and leave a cut file, so
// closing asked nothing and the last line was gone.
TEST_F(PrtFormTest, ASaveOnAFullDiskKeepsTheMarkAndTheEarlierFile)
{
    auto form = makeForm();
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("Zeile %1 des Protokolls").arg(i);
    const QString file = writeRtf(lines);
    const QByteArray before = testsupport::readFile(file);
    ASSERT_TRUE(form->LoadFromFile(file));
    form->show();
    SetLine(*form->Editor->document(), 199, "die letzte Zeile, geändert");
    ASSERT_TRUE(form->Modified());
    bool saved = true;
    {
        testsupport::TFullDisk full(before.size() / 4);
        saved = form->SaveProtokoll(file);
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->StatusText(3), "Speichern fehlgeschlagen : " + file);
    EXPECT_EQ(testsupport::readFile(file), before);
    EXPECT_EQ(testsupport::entriesOf(QFileInfo(file).absolutePath()).filter(QStringLiteral("geladen")),
              QStringList{QStringLiteral("geladen.rtf")});

    // With room the save goes through and clears the mark.
    ASSERT_TRUE(form->SaveProtokoll(file));
    EXPECT_FALSE(form->Modified());
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &back));
    EXPECT_TRUE(back.toPlainText().contains("die letzte Zeile, geändert"));
}

TEST_F(PrtFormTest, ExportAsRichTextSavesTheFile)
{
    auto form = makeForm();
    AppendLine(*form->Editor->document(), "rtf", {});
    const QString file = sandbox.root() + "/direkt.rtf";
    hooks.fileAnswers.push_back({true, file, 1});
    form->ToolButton19Click();
    EXPECT_EQ(form->StatusText(3), "gespeichert");
    EXPECT_FALSE(form->Modified());
    QTextDocument back;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &back));
    EXPECT_EQ(back.firstBlock().text(), "rtf");
}

TEST_F(PrtFormTest, ImportOfPlainTextAndOfAWrongFile)
{
    auto form = makeForm();
    const QString filter = converters::BuildConverterFilter(converters::cdImport);
    int text = 0;
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i + 1].contains("*.txt"))
            text = i / 2 + 1;
    ASSERT_GT(text, 0) << filter.toStdString();
    const QString file = sandbox.root() + "/notiz.txt";
    testsupport::writeFile(file, "erste\nzweite\n");
    hooks.fileAnswers.push_back({true, file, text});
    form->ToolButton17Click();
    EXPECT_EQ(form->StatusText(3), "Import erfolgreich : " + file);
    EXPECT_EQ(GetLine(*form->Editor->document(), 1), "zweite");
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->DocumentFileName(), file);
    // Rich text chosen for a file that is none.
    hooks.fileAnswers.push_back({true, file, 1});
    form->ToolButton17Click();
    EXPECT_EQ(form->StatusText(3), "Import fehlgeschlagen : " + file);
    EXPECT_EQ(GetLine(*form->Editor->document(), 1), "zweite");
}

TEST_F(PrtFormTest, ImportTickedReadOnlyMakesTheEditorReadOnly)
{
    auto form = makeForm();
    const QString filter = converters::BuildConverterFilter(converters::cdImport);
    int text = 0;
    const QStringList parts = filter.split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i + 1].contains("*.txt"))
            text = i / 2 + 1;
    ASSERT_GT(text, 0) << filter.toStdString();
    const QString plain = sandbox.root() + "/notiz.txt";
    testsupport::writeFile(plain, "nur lesen\n");
    const QString rich = writeRtf({"Bericht"});

    // A foreign format through its converter, read-only ticked.
    platform::TFileDialogAnswer ticked{true, plain, text};
    ticked.ReadOnly = true;
    hooks.fileAnswers.push_back(ticked);
    form->ToolButton17Click();
    ASSERT_EQ(hooks.openRequests.size(), 1u);
    EXPECT_TRUE(hooks.openRequests[0].OfferReadOnly);
    EXPECT_FALSE(hooks.openRequests[0].ReadOnly);
    EXPECT_EQ(form->StatusText(3), "Import erfolgreich : " + plain);
    EXPECT_TRUE(form->Editor->isReadOnly());
    QTest::keyClicks(form->Editor, "xyz");
    EXPECT_EQ(GetLine(*form->Editor->document(), 0), "nur lesen");
    EXPECT_FALSE(form->Modified());

    // The next dialog starts ticked; a cancelled one changes nothing.
    form->ToolButton17Click();
    ASSERT_EQ(hooks.openRequests.size(), 2u);
    EXPECT_TRUE(hooks.openRequests[1].ReadOnly);
    EXPECT_TRUE(form->Editor->isReadOnly());

    // Rich text loaded without the tick: editable again.
    hooks.fileAnswers.push_back({true, rich, 1});
    form->ToolButton17Click();
    EXPECT_EQ(form->StatusText(3), "geladen");
    EXPECT_FALSE(form->Editor->isReadOnly());

    // Rich text with the tick is read-only as well.
    platform::TFileDialogAnswer richTicked{true, rich, 1};
    richTicked.ReadOnly = true;
    hooks.fileAnswers.push_back(richTicked);
    form->ToolButton17Click();
    EXPECT_TRUE(form->Editor->isReadOnly());
}

TEST_F(PrtFormTest, ToolBarFormatsTheSelectionAndFollowsIt)
{
    auto form = makeForm();
    form->show();
    form->Editor->setPlainText("Wort");
    QTextCursor c = form->Editor->textCursor();
    c.select(QTextCursor::Document);
    form->Editor->setTextCursor(c);
    form->BoldButton->setChecked(true);
    form->BoldButtonClick();
    form->AlignButtonClick(2);
    EXPECT_TRUE(form->CenterAlign->isChecked());
    EXPECT_FALSE(form->LeftAlign->isChecked());
    form->FontSize->setValue(14);   // the change handler formats the selection
    c.setPosition(2);
    form->Editor->setTextCursor(c);
    EXPECT_TRUE(form->BoldButton->isChecked());
    EXPECT_EQ(form->FontSize->value(), 14);
    EXPECT_TRUE(form->Editor->document()->firstBlock().blockFormat().alignment() & Qt::AlignHCenter);
    // Moving the controls from the selection formats nothing.
    form->EditorSelectionChange();
    EXPECT_EQ(form->Editor->document()->firstBlock().text(), "Wort");
    form->BulletsButton->setChecked(true);
    form->BulletsButtonClick();
    EXPECT_NE(form->Editor->textCursor().currentList(), nullptr);
    form->BulletsButton->setChecked(false);
    form->BulletsButtonClick();
    EXPECT_EQ(form->Editor->textCursor().currentList(), nullptr);
}

TEST_F(PrtFormTest, ShownBesideTheMainWindow50PixelsNarrower)
{
    QMainWindow main;
    main.resize(1000, 700);
    main.show();
    auto form = makeForm();
    form->move(300, 40);
    form->show();
    EXPECT_EQ(form->width(), 950);
    EXPECT_EQ(form->x(), form->screen()->availableGeometry().left());
}

// A report too large to be shown is refused at once with the reason, not
// laid out for minutes; the editor is left empty and names no file.
TEST_F(PrtFormTest, ReportTooLargeToShowIsRefusedWithAMessage)
{
    auto form = makeForm();
    QByteArray def = "\\trowd";
    for (int c = 1; c <= 256; ++c)
        def += "\\cellx" + QByteArray::number(c * 100);
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Kopf\\par ";
    for (int r = 0; r < 2000; ++r)
        rtf += def + "\\pard\\intbl" + QByteArray("\\cell").repeated(256) + "\\row\n";
    rtf += "}";
    const QString file = sandbox.root() + "/gross.rtf";
    ASSERT_TRUE(testsupport::writeFile(file, rtf));

    EXPECT_FALSE(form->LoadFromFile(file));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_TRUE(hooks.messageBoxes[0].Text.contains(QStringLiteral("Tabellenzellen")))
        << hooks.messageBoxes[0].Text.toStdString();
    EXPECT_TRUE(hooks.messageBoxes[0].Text.contains(file));
    EXPECT_TRUE(form->Editor->document()->isEmpty());
    EXPECT_NE(form->DocumentFileName(), file);
    EXPECT_FALSE(form->Modified());
}
