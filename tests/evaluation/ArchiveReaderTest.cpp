#include "evaluation/ArchiveReader.h"
#include "evaluation/HeaderKeys.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"

#include "support/ArchiveGenerator.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

LocaleFormats German()
{
    return LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"));
}

LocaleFormats English()
{
    return LocaleFormats(QStringLiteral("M/d/yy"), QStringLiteral("h:mm:ss AP"));
}

DateTimeValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s));
}

int64_t Seconds(DateTimeValue v)
{
    return ToWholeSeconds(v);
}

// A reader over a state pointing at one file, with a pump of its own that
// counts its runs.
struct ReaderFixture {
    TEvaluationState state;
    MessagePump pump{0};
    int pumps = 0;
    TArchiveReader reader{state};

    ReaderFixture(const QString& directory, const QString& file)
    {
        state.Settings.ArchivPfad = directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
        state.CurrentArchiveFile = file;
        pump.SetAction([this] { ++pumps; });
        reader.SetPump(&pump);
    }

    QStringList readAll(uint8_t answer = 1)
    {
        QStringList lines;
        reader.ReadArchiveLines([&lines, answer](const QString& line) {
            lines.append(line);
            return answer;
        });
        return lines;
    }
};

QString FixtureDir()
{
    return testsupport::fixturePath(QStringLiteral("archives"));
}

} // namespace

// ---- Line reader ------------------------------------------------------------

TEST(ReadArchiveLines, HandsEveryLineWithoutItsLineEnd)
{
    ReaderFixture f(FixtureDir(), QStringLiteral("Messwerte.AGR"));
    const QStringList lines = f.readAll();
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[0], QStringLiteral(";DATERO=15.03.2004 08:00:00"));
    EXPECT_EQ(lines[4], QStringLiteral(";CUSTNAME=M>ller Überland"));   // Windows-1252 byte
    EXPECT_EQ(lines[15], QStringLiteral("O\t\t\t"));
    EXPECT_EQ(lines[18], QStringLiteral("3\t14.03.2004 00:37:12\t00012351\t0001235,1\t8\t0x8104"));
    EXPECT_EQ(f.pumps, 19);   // messages let through after every line
}

TEST(ReadArchiveLines, LoneLineFeedEndsALineAndTheLastLineNeedsNoEnd)
{
    ReaderFixture f(FixtureDir(), QStringLiteral("Zeilenenden.AGR"));
    const QStringList lines = f.readAll();
    const QStringList expected = {QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("drei"),
                                  QString(), QStringLiteral("fünf\rmit CR"), QStringLiteral("sechs")};
    EXPECT_EQ(lines, expected);
}

TEST(ReadArchiveLines, EmptyMissingAndDirectoryGiveNoLine)
{
    for (const QString& name : {QStringLiteral("Leer.AGR"), QStringLiteral("Fehlt.AGR"), QString()}) {
        ReaderFixture f(FixtureDir(), name);
        f.state.RVDevice = 0;
        f.state.DeviceType = QStringLiteral("QM410");
        EXPECT_TRUE(f.readAll().isEmpty()) << name.toStdString();
        // The family and device type are reset before the file is opened.
        EXPECT_EQ(f.state.RVDevice, 1);
        EXPECT_TRUE(f.state.DeviceType.isEmpty());
        EXPECT_EQ(f.pumps, 0);
    }
}

TEST(ReadArchiveLines, LinesLongerThanTheBufferAndCrLfAcrossItsEdge)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray longLine(200000, 'x');
    // CR as the last byte of the first 64 KiB block, its LF the first of the next.
    QByteArray edge(65535, 'y');
    edge[0] = 'a';
    QByteArray bytes = edge + "\r\n" + longLine + "\r\nEnde\r\n";
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("lang.AGR")), bytes));

    ReaderFixture f(dir.path(), QStringLiteral("lang.AGR"));
    const QStringList lines = f.readAll();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 65535);
    EXPECT_FALSE(lines[0].endsWith(QLatin1Char('\r')));
    EXPECT_EQ(lines[1], QString::fromLatin1(longLine));
    EXPECT_EQ(lines[2], QStringLiteral("Ende"));
}

TEST(ReadArchiveLines, StopsWhenTheCallbackAnswersOtherThanOne)
{
    for (uint8_t answer : {uint8_t(0), uint8_t(3), uint8_t(4)}) {
        ReaderFixture f(FixtureDir(), QStringLiteral("Messwerte.AGR"));
        EXPECT_EQ(f.readAll(answer).size(), 1) << int(answer);
    }
    ReaderFixture f(FixtureDir(), QStringLiteral("Messwerte.AGR"));
    int count = 0;
    f.reader.ReadArchiveLines([&count](const QString& line) -> uint8_t {
        ++count;
        return line.startsWith(QLatin1Char('O')) ? 3 : 1;
    });
    EXPECT_EQ(count, 16);
}

TEST(ReadArchiveLines, AbortSetWhileMessagesPassStopsAfterThatLine)
{
    ReaderFixture f(FixtureDir(), QStringLiteral("Messwerte.AGR"));
    // The abort button is clicked while the pump lets messages through.
    f.pump.SetAction([&f] {
        if (++f.pumps == 5)
            f.state.Abort = true;
    });
    EXPECT_EQ(f.readAll().size(), 5);
}

TEST(ReadArchiveLines, ThrottledPumpRunsFarLessThanOncePerLine)
{
    QTemporaryDir dir;
    testsupport::ArchiveParams params;
    params.days = 30;
    ASSERT_TRUE(testsupport::WriteArchive(dir.filePath(QStringLiteral("a.AGR")), params));
    ReaderFixture f(dir.path(), QStringLiteral("a.AGR"));
    f.pump.SetIntervalMs(60000);
    f.pump.Restart();
    const int headerLines = 8 + 3 * params.channels + 4;
    EXPECT_EQ(f.readAll().size(), headerLines + testsupport::ArchiveDataLineCount(params));
    EXPECT_EQ(f.pumps, 1);
}

// ---- Header lines -----------------------------------------------------------

TEST(ParseHeaderLine, KeyLines)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key, value;
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral(";CUSTNO=12=3"), key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("CUSTNO"));
    EXPECT_EQ(value, QStringLiteral("12=3"));

    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral(";CUSTNO"), key, value), hlNoHeader);
    EXPECT_TRUE(value.isEmpty());

    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral(";CUSTNAME="), key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("CUSTNAME"));
    EXPECT_TRUE(value.isEmpty());

    // Key and value are cut to 132 characters.
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral(";CUSTNAME=") + QString(300, QLatin1Char('n')), key, value), hlHeader);
    EXPECT_EQ(value.size(), 132);
    EXPECT_EQ(reader.ParseHeaderLine(QLatin1Char(';') + QString(200, QLatin1Char('K')) + QStringLiteral("=1"), key, value), hlHeader);
    EXPECT_EQ(key.size(), 132);
    EXPECT_EQ(value, QStringLiteral("1"));
}

TEST(ParseHeaderLine, ShortLinesEndOfHeaderAndOthers)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key = QStringLiteral("alt"), value = QStringLiteral("alt");
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("O"), key, value), hlNoHeader);
    EXPECT_TRUE(key.isEmpty());
    EXPECT_TRUE(value.isEmpty());
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("O\t\t"), key, value), hlNoHeader);
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("O\t\t\t"), key, value), hlEndOfHeader);
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("OBIS-Ende"), key, value), hlEndOfHeader);
    EXPECT_EQ(reader.ParseHeaderLine(QString(), key, value), hlNoHeader);
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("1\t14.03.2004 00:15:00\t1"), key, value), hlNoHeader);
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t1"), key, value), hlNoHeader);   // 3 characters
}

TEST(ParseHeaderLine, ValueNameAndUnitLinesAreKeptWhole)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key, value;
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("#\tZeit\tVA\tVB\tSTATUS"), key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("Wert-Namen"));
    EXPECT_EQ(value, QStringLiteral("\nZeit\nVA\nVB\nSTATUS\n"));

    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("E\t\tm3\tm3\t"), key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("Einheiten"));
    EXPECT_EQ(value, QStringLiteral("\n\nm3\nm3\n\n"));

    QString many = QStringLiteral("#\tZeit");
    for (int i = 0; i < 60; ++i)
        many += QStringLiteral("\tWert%1").arg(i);
    EXPECT_EQ(reader.ParseHeaderLine(many, key, value), hlHeader);
    EXPECT_GT(value.size(), 132);
    EXPECT_TRUE(value.endsWith(QStringLiteral("\nWert59\n")));
}

TEST(ParseHeaderLine, MetaLineWithAndWithoutArchiveDescription)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key, value;
    const QString line = QStringLiteral("M\t12 (Brenner)\t0000815\tQM410");

    state.Settings.ArcDesc = true;
    EXPECT_EQ(reader.ParseHeaderLine(line, key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("DEVNOA"));
    EXPECT_EQ(value, QStringLiteral("0000815/Brenner"));
    EXPECT_EQ(state.DeviceType, QStringLiteral("QM410"));
    EXPECT_EQ(state.RVDevice, 0);
    EXPECT_EQ(state.ValueNames, QStringList({QString(), QStringLiteral("12 (Brenner)"), QStringLiteral("0000815"), QStringLiteral("QM410")}));
    EXPECT_TRUE(state.ValueArchive);

    state.RVDevice = 1;
    state.Settings.ArcDesc = false;
    EXPECT_EQ(reader.ParseHeaderLine(line, key, value), hlHeader);
    EXPECT_EQ(value, QStringLiteral("0000815/12"));

    // Empty parentheses fall back to the digits; no digits keep the whole text.
    state.Settings.ArcDesc = true;
    state.RVDevice = 1;
    reader.ParseHeaderLine(QStringLiteral("M\tA7b ()\t0815\tRV100"), key, value);
    EXPECT_EQ(value, QStringLiteral("0815/A7"));
    reader.ParseHeaderLine(QStringLiteral("M\tArchiv (1) (Gas\t0815\tRV100"), key, value);
    EXPECT_EQ(value, QStringLiteral("0815/Gas"));
    reader.ParseHeaderLine(QStringLiteral("M\tArchiv\t0815\tRV100"), key, value);
    EXPECT_EQ(value, QStringLiteral("0815/Archiv"));
    reader.ParseHeaderLine(QStringLiteral("M\t\t0815\tRV100"), key, value);
    EXPECT_EQ(value, QStringLiteral("0815"));
    EXPECT_EQ(state.RVDevice, 1);   // RV100 is no QM model
}

TEST(ParseHeaderLine, MetaLineFamilyAndShortForms)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key, value;
    // Only five-character types "QM4?0" are family QM.
    for (const QString& type : {QStringLiteral("QM41"), QStringLiteral("QM4100"), QStringLiteral("QM411"), QStringLiteral("qm410")}) {
        state.RVDevice = 1;
        reader.ParseHeaderLine(QStringLiteral("M\t1\t2\t") + type, key, value);
        EXPECT_EQ(state.RVDevice, 1) << type.toStdString();
    }
    state.RVDevice = 1;
    reader.ParseHeaderLine(QStringLiteral("M\t1\t2\tQM400\textra"), key, value);
    EXPECT_EQ(state.RVDevice, 0);

    // Three fields: no device type, designation and device number as usual.
    state.DeviceType = QStringLiteral("alt");
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t5 (Gas)\t0042"), key, value), hlHeader);
    EXPECT_EQ(value, QStringLiteral("0042/5"));
    EXPECT_TRUE(state.DeviceType.isEmpty());

    // Two fields or fewer: the fields as lines.
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t5 (Gas)"), key, value), hlHeader);
    EXPECT_EQ(key, QStringLiteral("DEVNOA"));
    EXPECT_EQ(value, QStringLiteral("\n5 (Gas)\n"));
}

TEST(ParseHeaderLine, LogbookMetaLines)
{
    TEvaluationState state;
    TArchiveReader reader(state);
    QString key, value;
    state.LogbooksAllowed = false;
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t7 Logbuch\t0000815\tQM410"), key, value), hlLogbookRefused);
    EXPECT_TRUE(value.isEmpty());
    EXPECT_TRUE(state.ValueArchive);
    for (const QString& marker : {QStringLiteral("Audit Trail"), QStringLiteral("audit trail"), QStringLiteral("logbook")})
        EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t7\t0815\tX\t") + marker, key, value), hlLogbookRefused);
    // Compared with letter case.
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t7 LOGBUCH\t0815\tX"), key, value), hlHeader);

    state.LogbooksAllowed = true;
    EXPECT_EQ(reader.ParseHeaderLine(QStringLiteral("M\t7 Logbuch\t0000815\tQM410"), key, value), hlHeader);
    EXPECT_FALSE(state.ValueArchive);
    EXPECT_EQ(value, QStringLiteral("0000815/7"));
}

TEST(ParseHeaderLine, LogbookFileIsStoppedAtItsMetaLine)
{
    ReaderFixture f(FixtureDir(), QStringLiteral("Logbuch.AGW"));
    f.state.LogbooksAllowed = false;
    uint8_t last = 0;
    int lines = 0;
    f.reader.ReadArchiveLines([&](const QString& line) -> uint8_t {
        ++lines;
        QString key, value;
        last = f.reader.ParseHeaderLine(line, key, value);
        return last == hlHeader || last == hlNoHeader ? 1 : last;
    });
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(last, hlLogbookRefused);
}

TEST(ParseHeaderLine, ScanOfAWholeHeader)
{
    ReaderFixture f(FixtureDir(), QStringLiteral("Messwerte.AGR"));
    f.state.Settings.ArcDesc = true;
    ClearHeaderValues(f.state);
    int lines = 0;
    f.reader.ReadArchiveLines([&](const QString& line) -> uint8_t {
        ++lines;
        QString key, value;
        const uint8_t r = f.reader.ParseHeaderLine(line, key, value);
        if (r == hlHeader) {
            StoreHeaderValue(f.state, key, value);
            return 1;
        }
        return r;
    });
    EXPECT_EQ(lines, 16);
    EXPECT_EQ(f.state.HeaderValues[hkCustNo], QStringLiteral("123"));
    EXPECT_EQ(f.state.HeaderValues[hkCustName], QStringLiteral("Müller Überland"));
    EXPECT_EQ(f.state.HeaderValues[hkMeterLocation], QStringLiteral("Hauptstraße 1"));
    EXPECT_EQ(f.state.HeaderValues[hkInterval], QStringLiteral("15"));
    EXPECT_EQ(f.state.HeaderValues[hkValueNames], QStringLiteral("\nZeit\nVA\nVB\nSTATUS\n"));
    EXPECT_EQ(f.state.ChannelValues[0][0], QStringLiteral("4711"));   // the ";" line came first
    EXPECT_EQ(f.state.ChannelValues[0][1], QStringLiteral("<1"));
    EXPECT_EQ(f.state.ChannelValues[1][2], QStringLiteral("200"));
    EXPECT_EQ(f.state.DeviceType, QStringLiteral("RV100"));
}

// ---- Time stamps ------------------------------------------------------------

TEST(ParseTimestamp, ThePlatformFormatsComeFirst)
{
    ScopedLocaleFormats german(German());
    TEvaluationState state;
    TArchiveReader reader(state);
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.2004 06:00:00")), Seconds(At(2004, 3, 14, 6)));
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.04 06:00:00")), Seconds(At(2004, 3, 14, 6)));
    EXPECT_EQ(reader.ParseTimestamp(u""), 0.0);

    // "04/03/14" is April 3rd, 2014 for a US locale; by layout 3 it is 14 March 2004.
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"04/03/14 06:00:00")), Seconds(At(2004, 3, 14, 6)));
    ScopedLocaleFormats english(English());
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"04/03/14 06:00:00")), Seconds(At(2014, 4, 3, 6)));
}

TEST(ParseTimestamp, LayoutsWhenThePlatformCannotRead)
{
    ScopedLocaleFormats english(English());
    TEvaluationState state;
    TArchiveReader reader(state);

    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.2004 06:00:00")), Seconds(At(2004, 3, 14, 6)));
    EXPECT_EQ(state.DateLayout.DayPos, 1);
    EXPECT_EQ(state.DateLayout.YearLen, 4);
    EXPECT_EQ(state.DateLayout.HourPos, 12);
    EXPECT_EQ(state.DateLayout.SecondPos, 18);

    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.04 06:00:00")), Seconds(At(2004, 3, 14, 6)));
    EXPECT_EQ(state.DateLayout.YearLen, 2);
    EXPECT_EQ(state.DateLayout.HourPos, 10);
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.85 23:59:58")), Seconds(At(1985, 3, 14, 23, 59, 58)));
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"14.03.79 00:00:01")), Seconds(At(2079, 3, 14, 0, 0, 1)));

    // Month 85 does not exist for the platform's "M/d/yy".
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"85/03/14 06:00:00")), Seconds(At(1985, 3, 14, 6)));
    EXPECT_EQ(state.DateLayout.DayPos, 7);
    EXPECT_EQ(state.DateLayout.YearPos, 1);
    EXPECT_EQ(state.DateLayout.HourPos, 10);

    // Back to layout 1 after layout 3 was remembered.
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"01.12.2010 12:15:00")), Seconds(At(2010, 12, 1, 12, 15)));
}

TEST(ParseTimestamp, UnreadableTimeStampsGiveZero)
{
    ScopedLocaleFormats english(English());
    TEvaluationState state;
    TArchiveReader reader(state);
    EXPECT_EQ(reader.ParseTimestamp(u"14.03.2004 06:00:0"), 0.0);    // 18 characters
    EXPECT_EQ(state.DateLayout.DayPos, 255);
    EXPECT_EQ(reader.ParseTimestamp(u"14.03.2004 06:00:00 "), 0.0);
    EXPECT_EQ(reader.ParseTimestamp(u"14-03-2004 06:00:00"), 0.0);
    EXPECT_EQ(reader.ParseTimestamp(u"14.03.2004 06-00-00"), 0.0);
    EXPECT_EQ(reader.ParseTimestamp(u"31.02.2004 06:00:00"), 0.0);   // no such day
    EXPECT_EQ(reader.ParseTimestamp(u"14.03.2004 25:00:00"), 0.0);
    EXPECT_EQ(reader.ParseTimestamp(u"xx.03.2004 06:00:00"), 0.0);   // day 0
    // A part that is not all digits makes the whole stamp unreadable.
    EXPECT_EQ(reader.ParseTimestamp(u"14.03.2004 06:00:0x"), 0.0);
}

TEST(ParseTimestamp, APartWithLettersRejectsTheStamp)
{
    for (const bool german : {true, false}) {
        ScopedLocaleFormats formats(german ? German() : English());
        TEvaluationState state;
        TArchiveReader reader(state);
        EXPECT_EQ(reader.ParseTimestamp(u"01.09.2026 1X:30:00"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"01.09.2026 00:3X:00"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"0X.09.2026 00:30:00"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"01.X9.2026 00:30:00"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"01.09.20X6 00:30:00"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"01.09.26 00:30:0X"), 0.0) << german;
        EXPECT_EQ(reader.ParseTimestamp(u"01.09.2026 +1:30:00"), 0.0) << german;
        // The genuine stamp beside them still reads.
        EXPECT_EQ(Seconds(reader.ParseTimestamp(u"01.09.2026 00:30:00")), Seconds(At(2026, 9, 1, 0, 30)));
    }
    // A date alone is read by the platform as midnight.
    ScopedLocaleFormats german(German());
    TEvaluationState state;
    TArchiveReader reader(state);
    EXPECT_EQ(Seconds(reader.ParseTimestamp(u"01.09.2026")), Seconds(At(2026, 9, 1)));
}

TEST(ParseTimestamp, EveryLineOfAGeneratedArchive)
{
    QTemporaryDir dir;
    testsupport::ArchiveParams params;
    params.days = 3;
    params.specialShare = 0.2;
    ASSERT_TRUE(testsupport::WriteArchive(dir.filePath(QStringLiteral("g.AGR")), params));
    for (const LocaleFormats& formats : {German(), English()}) {
        ScopedLocaleFormats scoped(formats);
        ReaderFixture f(dir.path(), QStringLiteral("g.AGR"));
        bool data = false;
        int count = 0;
        int64_t previous = 0;
        bool ordered = true;
        f.reader.ReadArchiveLines([&](const QString& line) -> uint8_t {
            if (!data) {
                QString key, value;
                data = f.reader.ParseHeaderLine(line, key, value) == hlEndOfHeader;
                return 1;
            }
            const qsizetype a = line.indexOf(QLatin1Char('\t'));
            const qsizetype b = line.indexOf(QLatin1Char('\t'), a + 1);
            const int64_t s = Seconds(f.reader.ParseTimestamp(QStringView(line).mid(a + 1, b - a - 1)));
            if (count == 0)
                EXPECT_EQ(s, Seconds(At(2004, 1, 1, 0, 15)));
            else
                ordered = ordered && s == previous + 900;
            previous = s;
            ++count;
            return 1;
        });
        EXPECT_EQ(count, 3 * 96);
        EXPECT_TRUE(ordered);
        EXPECT_EQ(previous, Seconds(At(2004, 1, 4)));
    }
}

// ---- Number texts and substitute characters ---------------------------------

TEST(NumberTexts, StripLeadingZeros)
{
    const std::pair<const char*, const char*> cases[] = {
        {"007", "7"}, {"0.5", "0.5"}, {"0,5", "0,5"}, {"000", "0"}, {"0", "0"}, {"", ""},
        {"00.25", "0.25"}, {"1000", "1000"}, {"0012,5", "12,5"}, {"-007", "-007"},
    };
    for (const auto& [in, out] : cases) {
        QString s = QString::fromLatin1(in);
        StripLeadingZeros(s);
        EXPECT_EQ(s, QString::fromLatin1(out)) << in;
    }
}

TEST(NumberTexts, FormatNumberText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"00123", "   123.0"}, {"12,500", "    12.5"}, {"12.000", "      12"},
        {"0001234,5", "  1234.5"}, {"0,50", "     0.5"}, {"100.0", "     100"},
        {"123456789", "123456789.0"}, {"12:30.0", "   12:30"}, {"12:.0", "12"}, {"", ""},
    };
    for (const auto& [in, out] : cases) {
        QString s = QString::fromLatin1(in);
        FormatNumberText(s);
        EXPECT_EQ(s, QString::fromLatin1(out)) << in;
    }
}

TEST(NumberTexts, ConvertSpecialChars)
{
    QString s = QStringLiteral("[^]<@>?{ M>ller Stra?e 20{C");
    ConvertSpecialChars(s);
    EXPECT_EQ(s, QStringLiteral("ÄÖÜäöüß° Müller Straße 20°C"));
}

// ---- Time stamps of one day read by their time part ---------------------------

namespace {

// Time stamps in every form the reader knows, many lines in a row: across
// midnight, month ends (also February of a leap year) and a year end, at
// quarter hours and at odd steps.
QStringList StampTexts(const LocaleFormats& platformFormats, int form)
{
    QStringList texts;
    const DateTimeValue starts[] = {At(2004, 2, 27, 22), At(2004, 4, 30, 21), At(2004, 12, 31, 20),
                                    At(1999, 12, 31, 23), At(2079, 12, 31, 22)};
    for (const DateTimeValue start : starts) {
        for (const int step : {900, 37, 3599}) {
            for (int i = 0; i < 400; ++i) {
                const DateTimeValue t = ComposeDateTime(start, double(step) * i / 86400.0);
                int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
                DecodeDateTime(t, y, mo, d, h, mi, s, ms);
                switch (form) {
                case 0: texts.append(platformFormats.FormatDateTime(t)); break;
                case 1: texts.append(QString::asprintf("%02d.%02d.%04d %02d:%02d:%02d", d, mo, y, h, mi, s)); break;
                case 2: texts.append(QString::asprintf("%02d.%02d.%02d %02d:%02d:%02d", d, mo, y % 100, h, mi, s)); break;
                default: texts.append(QString::asprintf("%02d/%02d/%02d %02d:%02d:%02d", y % 100, mo, d, h, mi, s)); break;
                }
            }
        }
    }
    return texts;
}

// Texts that share the start of a date with the text before them but are
// read differently, or not at all.
QStringList NearTexts()
{
    static const char16_t* const texts[] = {u"14.03.2004 06:00:00", u"14.03.2004 06:15:00", u"14.03.20045 06:00:00",
            u"14.03.2004 06:30:00", u"14.03.2004", u"14.03.2004 06:45:00", u"14.03.20041",
            u"14.03.2004  07:00:00", u"14.03.2004x07:00:00", u"14.03.2004.07:00:00",
            u"14.03.2004 07:15:00", u"14.03.200 07:15:00", u"14.03.2004 7:15:00 PM",
            u"14.03.2004 07:15", u"14.03.2004 07:15:00 ", u"14.03.2004 25:00:00",
            u"14.03.2004 07:30:00", u"14.03.04 07:30:00", u"14.03.04 07:45:00",
            u"14.03.041 07:45:00", u"14.03.04 08:00:00", u"04/03/14 08:00:00",
            u"04/03/14 08:15:00", u"04/03/141 08:15:00", u"04/03/14 08:30:00",
            u"3/14/04 8:30:00 AM", u"3/14/04 8:45:00 AM", u"3/14/04 8:45:00 PM",
            u"3/14/04 12:00:00 AM", u"3/14/04", u"3/14/04 1:00:00 AM", u"3/14/041 1:00:00 AM",
            u"  14.03.2004 06:00:00", u"14.03.2004 06:00:00", u"31.02.2004 06:00:00",
            u"30.12.1899 00:00:00", u"30.12.1899 00:00:01", u""};
    QStringList list;
    for (const char16_t* text : texts)
        list.append(QString::fromUtf16(text));
    return list;
}

} // namespace

TEST(ParseTimestamp, ALineOfTheSameDayGivesWhatAFreshReadingGives)
{
    const LocaleFormats formatsList[] = {German(), English(),
                                         LocaleFormats(QStringLiteral("yy/MM/dd"), QStringLiteral("HH:mm:ss"))};
    for (const LocaleFormats& formats : formatsList) {
        ScopedLocaleFormats scoped(formats);
        for (int form = 0; form <= 4; ++form) {
            const QStringList texts = form == 4 ? NearTexts() : StampTexts(formats, form);
            ASSERT_FALSE(texts.isEmpty());
            TEvaluationState state;
            TArchiveReader reader(state);   // reads every text in a row
            int read = 0;
            for (const QString& text : texts) {
                TEvaluationState freshState;
                TArchiveReader fresh(freshState);   // reads this text alone
                const DateTimeValue expected = fresh.ParseTimestamp(text);
                const DateTimeValue got = reader.ParseTimestamp(text);
                EXPECT_EQ(got, expected) << qPrintable(formats.ShortDateFormat()) << " form " << form << ": "
                                         << qPrintable(text);
                if (expected != 0.0)
                    ++read;
            }
            if (form != 4) {
                EXPECT_EQ(read, texts.size()) << qPrintable(formats.ShortDateFormat()) << " form " << form;
            }
        }
    }
}
