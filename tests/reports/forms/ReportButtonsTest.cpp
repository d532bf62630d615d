// The table window's word-processor and spreadsheet buttons with the real
// back ends: each click writes one report file and hands it to the document
// opener; a report that cannot be shown ends in message 120.
#include "evaluation/forms/ZT_TbAus.h"

#include "platform/Clipboard.h"
#include "platform/LocaleFormats.h"
#include "reports/CellValueScan.h"
#include "reports/RtfReader.h"
#include "reports/ZT_BerEx.h"
#include "reports/ZT_BerWd.h"
#include "reports/ZT_BerXL.h"
#include "support/ExternalTools.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

class ReportButtonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::SetSystemDecimalSeparatorOverride(QLatin1Char(','));
        NumberFormatText = QStringLiteral("0");
        savedWord = RegisterReportFactory(ReportKindWordProcessor, nullptr);
        savedSheet = RegisterReportFactory(ReportKindSpreadsheet, nullptr);
        InstallReportBackends();
        DefaultTableOutputParams(params);
        form = std::make_unique<TTabAus_Form>();
        form->InitTableWindow(params);
        auto& grid = form->Model().Grid();
        grid.SetColCount(5);
        grid.SetRowCount(4);
        grid.SetFixedCols(2);
        grid.SetFixedRows(1);
        const QStringList rows[] = {{"", "Zeit", "Zählerstand", "Differenz", "Status"},
                                    {"", "01.02.2005 06:00", "12346,25", "1,50", "0"},
                                    {"1", "01.02.2005 06:15", "12347,75", "", "1"},
                                    {"", "01.02.2005 06:30", "12349,00", "1,25", "0"}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c)
                grid.SetCell(c, r, rows[r][c]);
        grid.SetColWidth(0, 0);
        form->AddTitleLine(QStringLiteral("Zählerstände Gerät 0012345"));
        form->AddTitleLine(QStringLiteral("Zeitraum 01.02.2005 bis 02.02.2005"));
    }
    void TearDown() override
    {
        form.reset();
        RegisterReportFactory(ReportKindWordProcessor, savedWord);
        RegisterReportFactory(ReportKindSpreadsheet, savedSheet);
        reports::SetSystemDecimalSeparatorOverride(QChar());
    }

    QTemporaryDir tmp;
    testsupport::EnvGuard tmpdir{"TMPDIR", tmp.path()};
    testsupport::FakeHooks hooks;
    platform::TScopedClipboard clipboard;
    platform::ScopedLocaleFormats formats{
        platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))};
    TTableOutputParams params;
    std::unique_ptr<TTabAus_Form> form;
    TReportFactory savedWord, savedSheet;
};

} // namespace

TEST_F(ReportButtonsTest, WordButtonWritesTheRtfReportAndOpensItOnce)
{
    form->WordExportKnopfClick();
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages.empty());
    const QString file = hooks.openedDocuments[0];
    EXPECT_TRUE(file.endsWith(QStringLiteral(".rtf")));
    ASSERT_NE(dynamic_cast<TBer_Intf_MsWord97*>(Ber_Intf.Report()), nullptr);
    EXPECT_EQ(Ber_Intf->GetLine(0), QStringLiteral("Zählerstände Gerät 0012345"));

    QTextDocument doc;
    ASSERT_TRUE(rtf::LoadRtfFile(file, &doc));
    const QString text = doc.toPlainText();
    for (const char* t : {"Zählerstände Gerät 0012345", "Zeitraum 01.02.2005 bis 02.02.2005", "Zählerstand",
                          "01.02.2005 06:15", "12349,00", "1,25"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t << "\n" << text.toStdString();

    // The next export frees this report; its file stays for the user.
    form->WordExportKnopfClick();
    ASSERT_EQ(hooks.openedDocuments.size(), 2u);
    EXPECT_NE(hooks.openedDocuments[1], file);
    EXPECT_TRUE(QFile::exists(file));
    form.reset();
    EXPECT_FALSE(Ber_Intf.HasReport());
    EXPECT_TRUE(QFile::exists(hooks.openedDocuments[1]));
}

TEST_F(ReportButtonsTest, SpreadsheetButtonWritesTheXlsxReportAndOpensItOnce)
{
    REQUIRE_TOOL("unzip");
    form->ExcelExportKnopfClick();
    ASSERT_EQ(hooks.openedDocuments.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages.empty());
    const QString file = hooks.openedDocuments[0];
    EXPECT_TRUE(file.endsWith(QStringLiteral(".xlsx")));
    const auto r = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file,
                                                                  QStringLiteral("xl/worksheets/sheet1.xml")});
    const QString sheet = QString::fromUtf8(r.out);
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>Zählerstände Gerät 0012345</t>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>Zeitraum 01.02.2005 bis 02.02.2005</t>")));
    // The time stamp 01.02.2005 06:30 is a date-time.
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<v>38384\\.270833\\d*</v>"))));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>12346.25</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>1.25</v>")));
}

TEST_F(ReportButtonsTest, ReportNoProgramOpenedSaysWhereItIsAndAReportNotWrittenShowsMessage120)
{
    // Written but opened by no program: one message naming the file, the
    // same for both kinds; message 120 would say the report failed.
    hooks.openDocumentResult = false;
    form->WordExportKnopfClick();
    form->ExcelExportKnopfClick();
    ASSERT_EQ(hooks.openedDocuments.size(), 2u);
    EXPECT_TRUE(hooks.kindMessages.empty()) << hooks.lastMessageText().toStdString();
    ASSERT_EQ(hooks.messageBoxes.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const QString file = hooks.openedDocuments[i];
        EXPECT_TRUE(file.startsWith(QLatin1Char('/')));
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_TRUE(hooks.messageBoxes[i].Text.contains(file)) << hooks.messageBoxes[i].Text.toStdString();
    }
    EXPECT_TRUE(hooks.openedDocuments[0].endsWith(QStringLiteral(".rtf")));
    EXPECT_TRUE(hooks.openedDocuments[1].endsWith(QStringLiteral(".xlsx")));

    // A report folder that cannot be made: nothing is written or opened,
    // message 120.
    testsupport::writeFile(tmp.filePath(QStringLiteral("plain")), "x");
    testsupport::EnvGuard broken("TMPDIR", tmp.filePath(QStringLiteral("plain")));
    hooks.openDocumentResult = true;
    form->WordExportKnopfClick();
    EXPECT_EQ(hooks.openedDocuments.size(), 2u);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("Fehler beim Erstellen des Berichtes")));
    EXPECT_EQ(hooks.messageBoxes.size(), 2u);
}
