// Every report file on a full disk: the write is reported as failed, the file
// that was there stays as it was and no temporary file is left beside it.
#include "platform/Clipboard.h"
#include "reports/Converters.h"
#include "reports/ReportFiles.h"
#include "reports/RichPrinter.h"
#include "reports/RtfExport.h"
#include "reports/Workbook.h"
#include "reports/XlsxFile.h"
#include "reports/ZT_BerWd.h"
#include "support/FakeHooks.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace reports;

namespace {

class ReportsOnAFullDisk : public ::testing::Test {
protected:
    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    platform::TScopedClipboard clipboard;
    QTemporaryDir dir;
    const QByteArray old = QByteArray(40000, 'o');

    // A file of old contents in the test's directory.
    QString oldFile(const QString& name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testsupport::writeFile(path, old));
        return path;
    }
    void expectOnly(const QString& name)
    {
        EXPECT_EQ(testsupport::readFile(dir.filePath(name)), old) << name.toStdString();
        EXPECT_EQ(testsupport::entriesOf(dir.path()), QStringList{name});
    }
    static void fill(QTextDocument& doc, int lines)
    {
        QString text;
        for (int i = 0; i < lines; ++i)
            text += QStringLiteral("Zeile %1: Zählerstand 12345,678 kWh\n").arg(i);
        doc.setPlainText(text);
    }
};

} // namespace

// Qt's PDF engine ends a one-page job with success whatever its file did.
TEST_F(ReportsOnAFullDisk, AOnePageRichTextPdfFailsAndKeepsTheEarlierFile)
{
    const QString pdf = oldFile(QStringLiteral("bericht.pdf"));
    TRichPrinter printer(std::make_shared<TPdfRichTarget>(pdf));
    QTextDocument doc;
    fill(doc, 10);
    ASSERT_EQ(printer.PageCount(doc), 1);
    {
        testsupport::TFullDisk full(2000);
        EXPECT_THROW(printer.Print(doc, 1), ELinePrinter);
    }
    expectOnly(QStringLiteral("bericht.pdf"));

    // The same job with room writes a whole file.
    printer.Print(doc, 1);
    EXPECT_TRUE(testsupport::readFile(pdf).trimmed().endsWith("%%EOF"));
}

TEST_F(ReportsOnAFullDisk, RtfAndConverterExportsFailAndKeepTheEarlierFile)
{
    QTextDocument doc;
    fill(doc, 400);
    const QString rtf = oldFile(QStringLiteral("bericht.rtf"));
    {
        testsupport::TFullDisk full(3000);
        EXPECT_FALSE(rtf::SaveRtfFile(doc, rtf));
    }
    expectOnly(QStringLiteral("bericht.rtf"));
    ASSERT_TRUE(QFile::remove(rtf));

    for (const QString& format : {QStringLiteral("Textdokument"), QStringLiteral("HTML-Dokument")}) {
        const QString out = oldFile(QStringLiteral("export.out"));
        {
            testsupport::TFullDisk full(3000);
            EXPECT_FALSE(converters::ExportWithConverter(out, format, doc)) << format.toStdString();
        }
        expectOnly(QStringLiteral("export.out"));
        ASSERT_TRUE(QFile::remove(out));
    }
}

TEST_F(ReportsOnAFullDisk, TheWordProcessorReportFailsLoudlyAndKeepsTheEarlierFile)
{
    TBer_Intf_MsWord97 report(QStringLiteral("Titel"), QString(), [] {});
    // Small enough to sit in the write buffer until the final flush.
    for (int i = 0; i < 60; ++i)
        report.AddLine(QStringLiteral("Zeile %1 des Berichts mit Zählerständen").arg(i));
    const QString file = oldFile(QStringLiteral("bericht.rtf"));
    {
        testsupport::TFullDisk full(1000);
        EXPECT_THROW(report.SaveToFile(file), EReportFileError);
    }
    expectOnly(QStringLiteral("bericht.rtf"));
}

// A failed save over an existing workbook used to delete it.
TEST_F(ReportsOnAFullDisk, AWorkbookFailsAndKeepsTheEarlierFile)
{
    TWorkbook book;
    for (int r = 0; r < 3000; ++r)
        for (int c = 0; c < 4; ++c)
            book.Sheet(0).SetText(r, c, QStringLiteral("Zelle %1/%2").arg(r).arg(c));
    const QString file = oldFile(QStringLiteral("mappe.xlsx"));
    QString error;
    {
        testsupport::TFullDisk full(3000);
        EXPECT_FALSE(WriteXlsxFile(book, file, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    expectOnly(QStringLiteral("mappe.xlsx"));

    ASSERT_TRUE(WriteXlsxFile(book, file, &error)) << error.toStdString();
    EXPECT_TRUE(testsupport::readFile(file).startsWith("PK"));
}
