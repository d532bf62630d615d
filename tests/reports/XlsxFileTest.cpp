// The workbook model and its XLSX file, read back by unzip and LibreOffice.
#include "reports/Workbook.h"
#include "reports/XlsxFile.h"

#include "support/ExternalTools.h"
#include "support/HostileText.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace reports;

namespace {

QString Part(const QString& file, const QString& part)
{
    const auto r = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, part});
    EXPECT_EQ(r.exitCode, 0) << part.toStdString() << " " << r.err.toStdString();
    return QString::fromUtf8(r.out);
}

bool WellFormed(const QString& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

QByteArray SmallPng()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(XlsxFormatCodes, ReportFormatsBecomeLocaleFreeCodes)
{
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("0,00")), QStringLiteral("0.00"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("0.000")), QStringLiteral("0.000"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("TT.MM.JJJJ")), QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("TT.MM.JJJJ hh:mm")), QStringLiteral("dd.mm.yyyy hh:mm"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("M/d/yyyy")), QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("hh:mm")), QStringLiteral("hh:mm"));
    EXPECT_EQ(XlsxNumberFormatCode(QStringLiteral("@")), QStringLiteral("@"));
    EXPECT_EQ(XlsxNumberFormatCode(QString()), QString());
}

TEST(Workbook, CellsKeepKindValueAndStyle)
{
    TWorkbook book;
    const uint32_t grey = book.StyleIndex({QStringLiteral("0,00"), true, 0x808080, THorzAlign::General});
    EXPECT_EQ(book.StyleIndex({QStringLiteral("0,00"), true, 0x808080, THorzAlign::General}), grey);
    TWorksheet& s = book.Sheet(0);
    EXPECT_EQ(s.Name(), QStringLiteral("Tabelle1"));
    s.SetText(0, 0, u"Titel");
    s.SetNumber(2, 3, 1.5, grey);
    s.SetText(2, 1, u"=1+1");
    EXPECT_EQ(s.KindAt(0, 0), TCellKind::Text);
    EXPECT_EQ(s.KindAt(1, 0), TCellKind::Empty);
    EXPECT_EQ(s.KindAt(2, 2), TCellKind::Empty);
    EXPECT_EQ(s.NumberAt(2, 3), 1.5);
    EXPECT_EQ(s.StyleAt(2, 3), grey);
    EXPECT_EQ(s.TextAt(2, 1), QStringLiteral("=1+1"));
    EXPECT_FALSE(s.SetText(XlsxMaxRows, 0, u"x"));
    EXPECT_FALSE(s.SetNumber(0, XlsxMaxCols, 1));
    EXPECT_TRUE(s.SetText(XlsxMaxRows - 1, XlsxMaxCols - 1, u"last"));
}

TEST(Workbook, NewSheetsGoAfterTheGivenOneWithFreshNames)
{
    TWorkbook book;
    EXPECT_EQ(book.InsertSheetAfter(0), 1);
    EXPECT_EQ(book.InsertSheetAfter(0), 1);
    EXPECT_EQ(book.SheetCount(), 3);
    EXPECT_EQ(book.Sheet(0).Name(), QStringLiteral("Tabelle1"));
    EXPECT_EQ(book.Sheet(1).Name(), QStringLiteral("Tabelle3"));
    EXPECT_EQ(book.Sheet(2).Name(), QStringLiteral("Tabelle2"));
}

TEST(XlsxFile, PartsHoldCellsFormatsFillsTitlesAndPicture)
{
    REQUIRE_TOOL("unzip");
    QTemporaryDir dir;
    TWorkbook book;
    const uint32_t grey = book.StyleIndex({QStringLiteral("0,00"), true, 0x808080, THorzAlign::General});
    const uint32_t date = book.StyleIndex({QStringLiteral("TT.MM.JJJJ"), false, 0, THorzAlign::Right});
    TWorksheet& s = book.Sheet(0);
    s.SetText(0, 0, u"Zähler Süd");
    s.SetText(1, 0, u"=1+1");
    s.SetText(2, 0, u"Kopf", grey);
    s.SetEmpty(2, 1, grey);
    s.SetNumber(3, 0, 38384.0, date);
    s.SetNumber(3, 2, 12.25, grey);
    s.SetText(4, 0, u"a\x01" "b <&>");
    s.PrintTitleFirstRow = 2;
    s.PrintTitleLastRow = 2;
    s.PrintTitleFirstCol = 0;
    s.PrintTitleLastCol = 0;
    s.Pictures.push_back({6, 1, SmallPng(), 40, 30});
    const int second = book.InsertSheetAfter(0);
    book.Sheet(second).SetText(0, 0, u"Zweite");

    const QString file = dir.filePath(QStringLiteral("b.xlsx"));
    QString error;
    ASSERT_TRUE(WriteXlsxFile(book, file, &error)) << error.toStdString();

    const QString sheet = Part(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString styles = Part(file, QStringLiteral("xl/styles.xml"));
    const QString workbook = Part(file, QStringLiteral("xl/workbook.xml"));
    ASSERT_TRUE(WellFormed(sheet)) << sheet.toStdString();
    // Constant-memory mode writes strings inline.
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A1\" t=\"inlineStr\"><is><t>Zähler Süd</t></is></c>")))
        << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>=1+1</t>")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("<f>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>38384</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>12.25</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("&lt;&amp;&gt;")));
    // The formatted empty cell has a style and no value.
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"B3\" s=\"\\d+\"/>"))));
    EXPECT_FALSE(sheet.contains(QStringLiteral("r=\"B4\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<drawing ")));

    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"0.00\""))) << styles.toStdString();
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"dd.mm.yyyy\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("<fgColor rgb=\"FF808080\"/>")));
    EXPECT_TRUE(styles.contains(QStringLiteral("horizontal=\"right\"")));

    EXPECT_TRUE(workbook.contains(QStringLiteral("Tabelle1!$A:$A,Tabelle1!$3:$3"))) << workbook.toStdString();
    EXPECT_TRUE(workbook.indexOf(QStringLiteral("Tabelle1")) < workbook.indexOf(QStringLiteral("Tabelle2")));

    const auto list = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-l"), file});
    EXPECT_TRUE(list.out.contains("xl/media/image1.png"));
}

TEST(XlsxFile, UnwritablePlaceIsReportedAndLeavesNoFile)
{
    QTemporaryDir dir;
    testsupport::writeFile(dir.filePath(QStringLiteral("plain")), "x");
    TWorkbook book;
    book.Sheet(0).SetText(0, 0, u"x");
    QString error;
    const QString file = dir.filePath(QStringLiteral("plain/b.xlsx"));
    EXPECT_FALSE(WriteXlsxFile(book, file, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

TEST(XlsxFile, BrokenPictureFailsTheWriting)
{
    QTemporaryDir dir;
    TWorkbook book;
    book.Sheet(0).Pictures.push_back({0, 0, QByteArray("not a picture"), 10, 10});
    QString error;
    const QString file = dir.filePath(QStringLiteral("b.xlsx"));
    EXPECT_FALSE(WriteXlsxFile(book, file, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("picture"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

TEST(XlsxFile, LibreOfficeReadsTheCells)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    TWorkbook book;
    const uint32_t date = book.StyleIndex({QStringLiteral("TT.MM.JJJJ"), false, 0, THorzAlign::Right});
    const uint32_t two = book.StyleIndex({QStringLiteral("0,00"), false, 0, THorzAlign::Right});
    TWorksheet& s = book.Sheet(0);
    s.SetText(0, 0, u"Zähler");
    s.SetNumber(1, 0, 38384.0, date);
    s.SetNumber(1, 1, 12.5, two);
    s.SetText(1, 2, u"=1+1");
    const QString file = dir.filePath(QStringLiteral("b.xlsx"));
    ASSERT_TRUE(WriteXlsxFile(book, file));
    QString error;
    const QString csv = testsupport::convertWithLibreOffice(file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                                            dir.path(), &error);
    ASSERT_FALSE(csv.isEmpty()) << error.toStdString();
    const QString text = QString::fromUtf8(testsupport::readFile(csv));
    EXPECT_EQ(text.trimmed(), QStringLiteral("Zähler,,\n01.02.2005,12.50,=1+1")) << text.toStdString();
}

// ---- Characters XML cannot hold ---------------------------------------------------------

namespace {

// One row per hostile character (its text, then a text after it), a text
// like the file's escapes, then plain rows up to 62 rows in all, the last one
// "Ende".
constexpr int HostileSheetRows = 62;

QString EscapeLookalike()
{
    return QStringLiteral("Unterstrich _x005F_ _x000d_ _x41_ _x00E4_");
}

TWorkbook HostileWorkbook()
{
    TWorkbook book;
    TWorksheet& s = book.Sheet(0);
    const int n = int(testsupport::HostileChars().size());
    for (int i = 0; i < n; ++i) {
        s.SetText(i, 0, testsupport::HostileCell(i));
        s.SetText(i, 1, QStringLiteral("nach%1").arg(i));
    }
    // A text that looks like the file's own escape of a character.
    s.SetText(n, 0, EscapeLookalike());
    for (int r = n + 1; r < HostileSheetRows - 1; ++r) {
        s.SetText(r, 0, QStringLiteral("Zeile%1").arg(r));
        s.SetNumber(r, 1, r);
    }
    s.SetText(HostileSheetRows - 1, 0, u"Ende");
    return book;
}

// What a reader must see of the hostile cell of row i.
QString ExpectedHostileCell(int i)
{
    return testsupport::HostileChars()[std::size_t(i)].XmlForbidden ? testsupport::ReplacedCell(i)
                                                                    : testsupport::HostileCell(i);
}

} // namespace

TEST(XlsxFile, SheetStaysWellFormedXmlWithCharactersXmlCannotHold)
{
    REQUIRE_TOOL("unzip");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("z.xlsx"));
    QString error;
    ASSERT_TRUE(WriteXlsxFile(HostileWorkbook(), file, &error)) << error.toStdString();
    const auto r = testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file,
                                                                  QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_EQ(r.exitCode, 0);
    // The bytes themselves: a strict reader refuses a wrong UTF-8 sequence as
    // well as a character XML 1.0 forbids.
    QXmlStreamReader reader(r.out);
    QStringList texts;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("t"))
            texts << reader.readElementText();
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString() << " at line " << reader.lineNumber()
                                    << " column " << reader.columnNumber();
    const auto& chars = testsupport::HostileChars();
    ASSERT_EQ(texts.size(), 2 * int(chars.size()) + (HostileSheetRows - int(chars.size())));
    for (int i = 0; i < int(chars.size()); ++i) {
        EXPECT_EQ(texts[2 * i], ExpectedHostileCell(i)) << chars[std::size_t(i)].Name;
        EXPECT_EQ(texts[2 * i + 1], QStringLiteral("nach%1").arg(i)) << chars[std::size_t(i)].Name;
    }
    // Its underscores that begin an escape are escaped themselves.
    EXPECT_EQ(texts[2 * int(chars.size())], QStringLiteral("Unterstrich _x005F_x005F_ _x005F_x000d_ _x41_ _x005F_x00E4_"));
    EXPECT_EQ(texts.last(), QStringLiteral("Ende"));
}

TEST(XlsxFile, CellTextsReplaceWhatXmlCannotHoldAndEscapeEscapeLookalikes)
{
    EXPECT_FALSE(XlsxCellTextDiffers(u"Z\u00E4hler 1,5 kWh\t_x_ _x12_ x0041_"));
    EXPECT_TRUE(XlsxCellTextDiffers(u"a_x0041_"));
    EXPECT_TRUE(XlsxCellTextDiffers(u"a\uFFFF"));
    EXPECT_EQ(XlsxCellText(u"_x0041__xFFFF_"), QStringLiteral("_x005F_x0041__x005F_xFFFF_"));
    EXPECT_EQ(XlsxCellText(QString(QChar(0)) + QStringLiteral("b")), QString::fromUtf16(u"\uFFFDb"));
}

TEST(XlsxFile, LibreOfficeReadsEveryRowAndTheTextAfterACharacterXmlCannotHold)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("z.xlsx"));
    ASSERT_TRUE(WriteXlsxFile(HostileWorkbook(), file));
    QString error;
    const QString csv = testsupport::convertWithLibreOffice(
        file, QStringLiteral("csv:Text - txt - csv (StarCalc):9,34,76"), dir.filePath(QStringLiteral("out")), &error);
    ASSERT_FALSE(csv.isEmpty()) << error.toStdString();
    const QByteArray bytes = testsupport::readFile(csv);
    // Rows end with LF; a cell holding one is quoted, none here does.
    QStringList rows = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    ASSERT_EQ(rows.size(), HostileSheetRows) << bytes.toStdString();
    const auto& chars = testsupport::HostileChars();
    for (int i = 0; i < int(chars.size()); ++i) {
        const QStringList cells = rows[i].split(QLatin1Char('\t'));
        ASSERT_EQ(cells.size(), 2) << chars[std::size_t(i)].Name;
        EXPECT_EQ(cells[0], ExpectedHostileCell(i)) << chars[std::size_t(i)].Name;
        EXPECT_EQ(cells[1], QStringLiteral("nach%1").arg(i)) << chars[std::size_t(i)].Name;
    }
    EXPECT_EQ(rows[int(chars.size())], EscapeLookalike() + QLatin1Char('\t'));
    EXPECT_EQ(rows[HostileSheetRows - 2], QStringLiteral("Zeile%1\t%1").arg(HostileSheetRows - 2));
    EXPECT_EQ(rows.last(), QStringLiteral("Ende\t"));
}
