// The report head template: default file, loading and saving, and the title
// lines filled from the file overview.
#include "evaluation/HeadTemplate.h"

#include "evaluation/HeaderKeys.h"
#include "evaluation/TableModel.h"
#include "platform/LocaleFormats.h"
#include "platform/StringGrid.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::EncodeDate;
using platform::LocaleFormats;
using platform::ScopedLocaleFormats;
using platform::TStringGridModel;
using testsupport::ProgramSandbox;

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
// A header value as the title shows it.
QString P(const char* text) { return U(text).leftJustified(TitleValueWidth); }

class HeadTemplateTest : public ::testing::Test {
protected:
    HeadTemplateTest() : formats(LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"))) {}

    void SetUp() override
    {
        ResetHeaderKeyTable();
        overview.SetColCount(14);
        overview.SetRowCount(3);
        SetRow(QStringLiteral("0004711/3"));
        input.Today = EncodeDate(2024, 3, 5);
        input.PeriodStart = EncodeDate(2024, 2, 1);
        input.PeriodEnd = EncodeDate(2024, 2, 29);
        input.DeviceType = QStringLiteral("RV-Test");
        input.OneDevice = true;
    }
    void TearDown() override { ResetHeaderKeyTable(); }

    void SetRow(const QString& deviceNumber)
    {
        const int r = Row;
        overview.SetCell(0, r, QStringLiteral("01.03.2024"));
        overview.SetCell(1, r, deviceNumber);
        overview.SetCell(2, r, QStringLiteral("Halle 3"));
        overview.SetCell(3, r, QStringLiteral("VV1"));
        overview.SetCell(4, r, QStringLiteral("4711"));
        overview.SetCell(5, r, QStringLiteral("123"));
        overview.SetCell(6, r, U("Müller"));
        overview.SetCell(7, r, QStringLiteral("15"));
        overview.SetCell(8, r, QStringLiteral("6"));
        overview.SetCell(9, r, QStringLiteral("1000"));
        overview.SetCell(10, r, QStringLiteral("1"));
        overview.SetCell(13, r, QStringLiteral("A.AGR"));
    }

    QString Fill(const char* line) const
    {
        return THeadTemplate::FillTemplateLine(U(line), overview, Row, input);
    }

    static constexpr int Row = 1;
    ScopedLocaleFormats formats;
    TStringGridModel overview;
    TTitleInput input;
};

const QByteArray DefaultGermanBytes =
    "Bericht vom: [Dat]\r\n"
    "Zeitraum: [DatStart] - [DatEnd]\r\n"
    ";1:Kunden-Nr.   : [CUSTNO]   Kunden-Name  : [CUSTNAME]   Z\xe4hler-Nr.   : [METERNO]\r\n"
    ";1:Me\xdfstelle    : [METERLOCATION]   MST-VV       : [MLDESCVV]   Ger\xe4te-Nr.   : [DEVNO]\r\n"
    ";1:Typ          : [DevTyp]   Cp-Wert      : [CPVALUEA]\r\n";

} // namespace

// ---- The template file ------------------------------------------------------------------

TEST_F(HeadTemplateTest, MissingTemplateIsWrittenWithTheDefaults)
{
    ProgramSandbox sandbox;
    THeadTemplate head;
    TEinstellungen settings;
    head.LoadHeadTemplate(QStringLiteral("DEU"), settings);
    const QString file = sandbox.programDir() + QStringLiteral("AV_HD_DEU.TXT");
    EXPECT_EQ(settings.KopfDatei, file);
    // Windows-1252 with CR LF, byte for byte.
    EXPECT_EQ(testsupport::readFile(file), DefaultGermanBytes);
    ASSERT_EQ(head.Lines().size(), 5);
    EXPECT_EQ(head.Lines()[2], U(";1:Kunden-Nr.   : [CUSTNO]   Kunden-Name  : [CUSTNAME]   Zähler-Nr.   : [METERNO]"));

    // The next start reads the written file back unchanged.
    THeadTemplate again;
    ASSERT_TRUE(again.LoadHeadTemplateFile(file));
    EXPECT_EQ(again.Lines(), head.Lines());
}

TEST_F(HeadTemplateTest, ExistingTemplateIsLoadedAndKept)
{
    ProgramSandbox sandbox;
    // Another letter case of the name is found as well.
    const QString file = sandbox.programDir() + QStringLiteral("av_hd_deu.txt");
    ASSERT_TRUE(QFile::copy(testsupport::fixturePath(QStringLiteral("headtemplate/AV_HD_DEU.TXT")), file));
    const QByteArray before = testsupport::readFile(file);
    THeadTemplate head;
    TEinstellungen settings;
    head.LoadHeadTemplate(QStringLiteral("DEU"), settings);
    EXPECT_EQ(settings.KopfDatei, file);
    EXPECT_EQ(head.Lines(), (QStringList{U("Eigene Vorlage [CUSTNO]"), U(";1:Nur Gerät [DEVNO]")}));
    EXPECT_EQ(testsupport::readFile(file), before);
    EXPECT_FALSE(QFile::exists(sandbox.programDir() + QStringLiteral("AV_HD_DEU.TXT")));
}

TEST_F(HeadTemplateTest, UnwritableTemplateStillGivesTheDefaultForThisRun)
{
    ProgramSandbox sandbox;
    // A program directory below a regular file can hold no file at all.
    const QString blocker = sandbox.root() + QStringLiteral("/blocker");
    ASSERT_TRUE(testsupport::writeFile(blocker, "x"));
    qputenv("VALDRAN_PROGRAM_DIR", (blocker + QStringLiteral("/bin")).toLocal8Bit());
    THeadTemplate head;
    TEinstellungen settings;
    head.LoadHeadTemplate(QStringLiteral("ENU"), settings, QStringLiteral("document printed"),
                          QStringLiteral("period"));
    EXPECT_TRUE(settings.KopfDatei.endsWith(QStringLiteral("/AV_HD_ENU.TXT")));
    ASSERT_EQ(head.Lines().size(), 5);
    EXPECT_EQ(head.Lines()[0], QStringLiteral("document printed: [Dat]"));
    EXPECT_FALSE(head.SaveHeadTemplateFile(settings.KopfDatei));
}

TEST_F(HeadTemplateTest, LoadAndSaveReportFailureAndKeepTheList)
{
    ProgramSandbox sandbox;
    THeadTemplate head;
    head.SetLines({QStringLiteral("a"), QString(), U("Zähler ł")});
    const QString file = sandbox.programDir() + QStringLiteral("T.TXT");
    ASSERT_TRUE(head.SaveHeadTemplateFile(file));
    // The line with a character outside Windows-1252 goes out as UTF-8.
    EXPECT_EQ(testsupport::readFile(file), QByteArray("a\r\n\r\nZ\xc3\xa4hler \xc5\x82\r\n"));

    THeadTemplate other;
    ASSERT_TRUE(other.LoadHeadTemplateFile(file));
    EXPECT_EQ(other.Lines(), head.Lines());

    EXPECT_FALSE(other.LoadHeadTemplateFile(sandbox.programDir() + QStringLiteral("missing.TXT")));
    const QString link = sandbox.programDir() + QStringLiteral("dangling.TXT");
    ASSERT_TRUE(QFile::link(sandbox.programDir() + QStringLiteral("nowhere"), link));
    EXPECT_FALSE(other.LoadHeadTemplateFile(link));
    EXPECT_EQ(other.Lines(), head.Lines());

    // An empty file is an empty template.
    ASSERT_TRUE(testsupport::writeFile(sandbox.programDir() + QStringLiteral("E.TXT"), QByteArray()));
    ASSERT_TRUE(other.LoadHeadTemplateFile(sandbox.programDir() + QStringLiteral("E.TXT")));
    EXPECT_TRUE(other.Lines().isEmpty());
}

TEST_F(HeadTemplateTest, DefaultTemplateInEnglishKeepsLongCaptionsWhole)
{
    for (int k = 0; k < HeaderKeyCount; ++k)
        HeaderKeyTable[std::size_t(k)].Caption = HeaderKeyEnglishCaptions[std::size_t(k)];
    const QStringList lines = THeadTemplate::DefaultHeadTemplate(QStringLiteral("document printed"),
                                                                 QStringLiteral("period"));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], QStringLiteral("period: [DatStart] - [DatEnd]"));
    EXPECT_EQ(lines[2], QStringLiteral(";1:customer no. : [CUSTNO]   customer name : [CUSTNAME]   "
                                       "meter no.    : [METERNO]"));
    EXPECT_EQ(lines[3], QStringLiteral(";1:meter location : [METERLOCATION]   mtr.loc.vv     : [MLDESCVV]   "
                                       "device       : [DEVNO]"));
    EXPECT_EQ(lines[4], QStringLiteral(";1:Typ          : [DevTyp]   cp value     : [CPVALUEA]"));
}

// ---- Title lines -----------------------------------------------------------------------------

TEST_F(HeadTemplateTest, DefaultTemplateFilledForOneDevice)
{
    THeadTemplate head;
    head.SetLines(THeadTemplate::DefaultHeadTemplate(QStringLiteral("Bericht vom"), QStringLiteral("Zeitraum")));
    const QStringList title = head.TitleLines(overview, Row, input);
    ASSERT_EQ(title.size(), 5);
    EXPECT_EQ(title[0], QStringLiteral("Bericht vom: 05.03.2024"));
    EXPECT_EQ(title[1], QStringLiteral("Zeitraum: 01.02.2024 - 29.02.2024"));
    EXPECT_EQ(title[2], U("Kunden-Nr.   : ") + P("123") + U("   Kunden-Name  : ") + P("Müller")
                            + U("   Zähler-Nr.   : ") + P("4711"));
    EXPECT_EQ(title[3], U("Meßstelle    : ") + P("Halle 3") + U("   MST-VV       : ") + P("VV1")
                            + U("   Geräte-Nr.   : ") + P("0004711"));
    EXPECT_EQ(title[4], U("Typ          : ") + P("RV-Test") + U("   Cp-Wert      : ") + P("1000"));
}

TEST_F(HeadTemplateTest, GroupSelectionLeavesOutSingleDeviceLines)
{
    THeadTemplate head;
    head.SetLines({U("Kopf [Dat]"), U(";1:Gerät [DEVNO]"), U("vorn ;1:hinten"), QString()});
    input.OneDevice = false;
    EXPECT_EQ(head.TitleLines(overview, Row, input), (QStringList{U("Kopf 05.03.2024"), QString()}));
    input.OneDevice = true;
    EXPECT_EQ(head.TitleLines(overview, Row, input),
              (QStringList{U("Kopf 05.03.2024"), U("Gerät ") + P("0004711"), U("vorn hinten"), QString()}));
}

TEST_F(HeadTemplateTest, EveryPlaceholderIsFilled)
{
    overview.SetCell(11, Row, QStringLiteral("Namen"));
    overview.SetCell(12, Row, QStringLiteral("Einh"));
    EXPECT_EQ(Fill("[DATERO]|[Wert-Namen]|[Einheiten]|[INTERVAL]|[BEGINOFDAY]"),
              P("01.03.2024") + "|" + P("Namen") + "|" + P("Einh") + "|" + P("15") + "|" + P("6"));
    EXPECT_EQ(Fill("[CUSTNO]|[CUSTNAME]|[METERNO]|[METERLOCATION]|[MLDESCVV]"),
              P("123") + "|" + P("Müller") + "|" + P("4711") + "|" + P("Halle 3") + "|" + P("VV1"));
    EXPECT_EQ(Fill("[DEVNOA]|[ANALOGCA]|[CPVALUEA]|[DEVNO]|[DevTyp]"),
              P("0004711/3") + "|" + P("1") + "|" + P("1000") + "|" + P("0004711") + "|" + P("RV-Test"));
    EXPECT_EQ(Fill("[Dat]|[DatStart]|[DatEnd]"), U("05.03.2024|01.02.2024|29.02.2024"));
}

TEST_F(HeadTemplateTest, DeviceNumberRules)
{
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QStringLiteral("0004711/3")), QStringLiteral("0004711"));
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QStringLiteral("3012345")), QStringLiteral("3212345"));
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QStringLiteral("3012/5")), QStringLiteral("3212/5"));
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QStringLiteral("3")), QStringLiteral("3"));
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QStringLiteral("4711")), QStringLiteral("4711"));
    EXPECT_EQ(THeadTemplate::TitleDeviceNumber(QString()), QString());
    SetRow(QStringLiteral("3012345"));
    EXPECT_EQ(Fill("[DEVNO]"), P("3212345"));
    EXPECT_EQ(Fill("[DEVNOA]"), P("3012345"));
}

TEST_F(HeadTemplateTest, RepeatsCaseAndUnknownBrackets)
{
    // Header values replace every occurrence, the four single ones the first.
    EXPECT_EQ(Fill("[CUSTNO][CUSTNO]"), P("123") + P("123"));
    EXPECT_EQ(Fill("[Dat] [Dat]"), U("05.03.2024 [Dat]"));
    EXPECT_EQ(Fill("[DevTyp][DEVTYP]"), P("RV-Test") + U("[DEVTYP]"));
    EXPECT_EQ(Fill("[custno] [dat] [devno]"), P("123") + U(" 05.03.2024 ") + P("0004711"));
    EXPECT_EQ(Fill("[FOO] [ [[Dat] x]"), U("[FOO] [ [05.03.2024 x]"));
    EXPECT_EQ(Fill("offen [CUSTNO"), U("offen [CUSTNO"));
    EXPECT_EQ(Fill(""), QString());
}

TEST_F(HeadTemplateTest, InsertedTextIsNeverScannedAgain)
{
    overview.SetCell(6, Row, QStringLiteral("[CUSTNAME] & [CUSTNO] [Dat]"));
    input.DeviceType = QStringLiteral("[CUSTNO]");
    EXPECT_EQ(Fill("[CUSTNAME]|[CUSTNO]|[DevTyp]"),
              U("[CUSTNAME] & [CUSTNO] [Dat]|") + P("123") + "|" + P("[CUSTNO]"));
    // A cell that is its own placeholder leaves the placeholder in place.
    overview.SetCell(5, Row, QStringLiteral("[CUSTNO]"));
    EXPECT_EQ(Fill("a[CUSTNO]b[custno]"), U("a[CUSTNO]b[custno]"));
    // A device number holding "[DEVNO]" is inserted once.
    SetRow(QStringLiteral("[DEVNO]/1"));
    EXPECT_EQ(Fill("[DEVNO][DEVNO]"), P("[DEVNO]") + P("[DEVNO]"));
}

TEST_F(HeadTemplateTest, TitleLinesAreShortStrings)
{
    THeadTemplate head;
    head.SetLines({QString(300, QLatin1Char('a')), QString(245, QLatin1Char('b')) + QStringLiteral("[CUSTNO]")});
    const QStringList title = head.TitleLines(overview, Row, input);
    ASSERT_EQ(title.size(), 2);
    // The line is cut to 255 before it is filled, and the filled line again.
    EXPECT_EQ(title[0], QString(TitleLineLength, QLatin1Char('a')));
    EXPECT_EQ(title[1], (QString(245, QLatin1Char('b')) + P("123")).left(TitleLineLength));
}

TEST_F(HeadTemplateTest, TheLinesCutNeverFallsInsideADate)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const ScopedLocaleFormats us(LocaleFormats(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"), english));
    // "3/5/2024" would lose "024" at the line's cut: it stays whole.
    auto fill = [&](const QString& line) { return THeadTemplate::FillTemplateLine(line, overview, Row, input); };
    EXPECT_EQ(fill(QString(250, QLatin1Char('x')) + QStringLiteral("[Dat] more")),
              QString(250, QLatin1Char('x')) + QStringLiteral("3/5/2024"));
    // A line whose cut falls behind its dates is cut as before.
    EXPECT_EQ(fill(QString(240, QLatin1Char('x')) + QStringLiteral("[Dat]") + QString(20, QLatin1Char('y'))),
              (QString(240, QLatin1Char('x')) + QStringLiteral("3/5/2024") + QString(20, QLatin1Char('y')))
                  .left(TitleLineLength));
}

TEST_F(HeadTemplateTest, BuildTitleAddsEveryLineToTheTable)
{
    TTableModel table;
    THeadTemplate head;
    head.SetLines({U("[CUSTNO]"), QString(), U(";1:[DEVNO]")});
    input.OneDevice = false;
    head.BuildTitle(overview, Row, input, table);
    EXPECT_EQ(table.TitleLines(), (QStringList{P("123"), QString()}));
}

// ---- Dates --------------------------------------------------------------------------------------

TEST(FormatDateTextTest, ShortDateOfThePlatformWhole)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    {
        ScopedLocaleFormats f(LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"), german));
        EXPECT_EQ(FormatDateText(EncodeDate(2024, 3, 5) + 0.75), QStringLiteral("05.03.2024"));
    }
    {
        // Years are written with four digits always.
        ScopedLocaleFormats f(LocaleFormats(QStringLiteral("d.M.yy"), QStringLiteral("HH:mm:ss"), german));
        EXPECT_EQ(FormatDateText(EncodeDate(2024, 3, 5)), QStringLiteral("5.3.2024"));
    }
    {
        ScopedLocaleFormats f(
            LocaleFormats(QStringLiteral("dddd, dd. MMMM yyyy"), QStringLiteral("HH:mm:ss"), german));
        // "Dienstag, 05. März 2024" has 23 characters: a date is never cut
        // inside itself.
        EXPECT_EQ(FormatDateText(EncodeDate(2024, 3, 5)), U("Dienstag, 05. März 2024"));
    }
}

TEST_F(HeadTemplateTest, AFullDiskKeepsTheEarlierTemplate)
{
    ProgramSandbox sandbox;
    const QString file = sandbox.programDir() + QStringLiteral("T.TXT");
    ASSERT_TRUE(testsupport::writeFile(file, "old line\r\n"));
    THeadTemplate head;
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(QStringLiteral("Zeile %1 des Kopfes").arg(i));
    head.SetLines(lines);
    bool saved = true;
    {
        testsupport::TFullDisk full(500);
        saved = head.SaveHeadTemplateFile(file);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(testsupport::readFile(file), QByteArray("old line\r\n"));
    EXPECT_EQ(testsupport::entriesOf(sandbox.programDir()).filter(QStringLiteral("T.TXT")), QStringList{QStringLiteral("T.TXT")});
}
