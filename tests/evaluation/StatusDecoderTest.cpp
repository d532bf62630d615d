// Special events, status keys, status decoding and the event hint.
#include "evaluation/StatusDecoder.h"

#include "platform/StringGrid.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::TStringGridModel;
using testsupport::fixturePath;

namespace {

QString Line(const char* text) { return QString::fromUtf8(text); }

class StatusDecoderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        decoder.LoadOrdinaryEvents(fixturePath(QStringLiteral("status/AV_ValEv.TXT")));
        decoder.LoadEventCodeTexts(fixturePath(QStringLiteral("status/EvCd_Test.TXT")));
    }

    // A table as the evaluation leaves it: column 0 fixed, one header row of
    // device numbers, the value names in row 1, the units in row 2.
    void MakeTable(const QStringList& names, const QStringList& firstRow)
    {
        grid.SetColCount(int(names.size()));
        grid.SetRowCount(5);
        grid.SetFixedCols(1);
        grid.SetFixedRows(3);
        for (int c = 0; c < names.size(); ++c) {
            grid.SetCell(c, NameRow, names[c]);
            grid.SetCell(c, 3, firstRow.value(c));
        }
    }

    static constexpr int NameRow = 1;
    TStatusDecoder decoder;
    TStringGridModel grid;
};

} // namespace

// ---- Special events ------------------------------------------------------------------

TEST_F(StatusDecoderTest, StatusCodeIsReadAfterTheFirstTabZeroX)
{
    EXPECT_EQ(TStatusDecoder::StatusCodeOfLine(Line("1\t01.01.2024 00:15\t5\t0x8104")).toString(), QStringLiteral("0x8104"));
    // Lower-case hexadecimal letters end the code.
    EXPECT_EQ(TStatusDecoder::StatusCodeOfLine(Line("1\t2\t0x81a4\t")).toString(), QStringLiteral("0x81"));
    // The first TAB "0x" counts, later ones do not.
    EXPECT_EQ(TStatusDecoder::StatusCodeOfLine(Line("1\t0x8104\t0x8105")).toString(), QStringLiteral("0x8104"));
    // A blank before "0x" is no TAB.
    EXPECT_TRUE(TStatusDecoder::StatusCodeOfLine(Line("1 0x8105")).isEmpty());
    EXPECT_TRUE(TStatusDecoder::StatusCodeOfLine(Line("\t0")).isEmpty());
}

TEST_F(StatusDecoderTest, SpecialEventAgainstTheOrdinaryList)
{
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t5\t0x8104")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t5\t0x8105")), u'1');
    // "0x81a4" reads as "0x81", which is not listed.
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t5\t0x81a4")), u'1');
    // The list is compared whole and without case: "0X8106" and "0x81ab" are
    // the codes 0x8106 and 0x81AB.
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x8106")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x81AB")), u'0');
    // A listed code is no prefix match.
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x81040")), u'1');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x810")), u'1');
    // No code, or a code shorter than 3 characters: ordinary.
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t5")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x\t5")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0xg")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(QString()), u'0');
    EXPECT_TRUE(decoder.IsSpecialEventLine(Line("1\t2\t0x0001")));
    // The first TAB "0x" counts, wherever an "x" or a "0x" stands before it.
    EXPECT_EQ(decoder.IsSpecialEvent(Line("x\tx0x\t00x\t0x8105\t0x8104")), u'1');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("0x8105\t0x8104\t0x8105")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("\t0x8105")), u'1');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("\t0x")), u'0');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("x")), u'0');
    // The note line heading the list is an entry of its own.
    EXPECT_EQ(decoder.OrdinaryEvents().size(), 4);
}

TEST_F(StatusDecoderTest, MissingOrdinaryListMakesEveryCodeSpecial)
{
    EXPECT_FALSE(decoder.LoadOrdinaryEvents(QStringLiteral("/nonexistent/AV_ValEv.TXT")));
    EXPECT_TRUE(decoder.OrdinaryEvents().isEmpty());
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x8104")), u'1');
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x")), u'0');
}

TEST_F(StatusDecoderTest, UnreadableOrdinaryListIsEmpty)
{
    testsupport::ProgramSandbox sandbox;
    const QString link = sandbox.programDir() + QStringLiteral("AV_ValEv.TXT");
    ASSERT_TRUE(QFile::link(sandbox.programDir() + QStringLiteral("missing"), link));
    decoder.LoadFromProgramDirectory(EventCodeFileGerman());
    EXPECT_TRUE(decoder.OrdinaryEvents().isEmpty());
    EXPECT_EQ(decoder.IsSpecialEvent(Line("1\t2\t0x8104")), u'1');
}

// ---- Loading the event-code texts -----------------------------------------------------

TEST_F(StatusDecoderTest, StatusAndGONrKeysStopAtTheFirstEmptyKey)
{
    // "StAe" came from the file and is not added twice; "Status4" lies behind
    // the empty "Status3" and is not read.
    EXPECT_EQ(decoder.StatusKeys(), (QStringList{"Stat", "StAe", "S.AEN"}));
    // "gonr" is the built-in "GONr" in another case.
    EXPECT_EQ(decoder.GONrKeys(), (QStringList{"ONr", "gonr"}));
    EXPECT_TRUE(decoder.IsStatusKey(u"stat"));
    EXPECT_FALSE(decoder.IsStatusKey(u"NeverRead"));
    EXPECT_TRUE(decoder.IsGONrKey(u"GONR"));
    EXPECT_FALSE(decoder.IsGONrKey(u"Wert"));
}

TEST_F(StatusDecoderTest, FamilySectionFallsBackToRVQMOnlyWhenEmpty)
{
    // "RV" is empty in the test file: the common section stands in.
    EXPECT_EQ(decoder.RVStatusTexts().size(), 3);
    EXPECT_EQ(decoder.StatusText(QStringLiteral("0x0021"), 1), QString::fromUtf8("Gemeinsamer Text für 21"));
    EXPECT_EQ(decoder.StatusText(QStringLiteral("0x0021"), 0), QStringLiteral("QM-Text 21"));
    EXPECT_TRUE(decoder.StatusText(QStringLiteral("0x0001"), 0).isEmpty());

    decoder.LoadEventCodeTexts(fixturePath(QStringLiteral("status/EvCd_RVOnly.TXT")));
    EXPECT_EQ(decoder.StatusText(QStringLiteral("0x0021"), 1), QStringLiteral("Eigener RV-Text"));
    EXPECT_EQ(decoder.StatusText(QStringLiteral("0x0021"), 0), QStringLiteral("Gemeinsamer Text"));
    // No "Header" section: the built-in keys only.
    EXPECT_EQ(decoder.StatusKeys(), (QStringList{"StAe", "S.AEN"}));
    EXPECT_EQ(decoder.GONrKeys(), (QStringList{"GONr"}));
}

TEST_F(StatusDecoderTest, MissingEventCodeFileGivesEmptyTextsAndBuiltInKeys)
{
    decoder.LoadEventCodeTexts(QStringLiteral("/nonexistent/EvCd_DEU.TXT"));
    EXPECT_TRUE(decoder.RVStatusTexts().isEmpty());
    EXPECT_TRUE(decoder.QMStatusTexts().isEmpty());
    EXPECT_EQ(decoder.StatusKeys(), (QStringList{"StAe", "S.AEN"}));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("33"), 1), QStringLiteral("0x0021: "));
    EXPECT_EQ(decoder.EventHintLines(QStringLiteral("1;5"), QStringLiteral("St.2"), 0),
              (QStringList{"St.2#1: ", "St.2#5: "}));
}

TEST_F(StatusDecoderTest, ProgramFilesAreFoundWithoutRegardToCase)
{
    testsupport::ProgramSandbox sandbox;
    ASSERT_TRUE(QFile::copy(fixturePath(QStringLiteral("status/AV_ValEv.TXT")),
                            sandbox.programDir() + QStringLiteral("av_valev.txt")));
    ASSERT_TRUE(QFile::copy(fixturePath(QStringLiteral("status/EvCd_RVOnly.TXT")),
                            sandbox.programDir() + QStringLiteral("EVCD_DEU.txt")));
    TStatusDecoder d;
    d.LoadFromProgramDirectory(EventCodeFileGerman());
    EXPECT_EQ(d.OrdinaryEvents().size(), 4);
    EXPECT_EQ(d.IsSpecialEvent(Line("1\t2\t0x8104")), u'0');
    EXPECT_EQ(d.StatusText(QStringLiteral("0x0021"), 1), QStringLiteral("Eigener RV-Text"));
}

TEST_F(StatusDecoderTest, TheProgramsOwnDataFilesLoad)
{
    const QString data = QStringLiteral(VALDRAN_DATA_DIR "/");
    for (const QString& name : {EventCodeFileGerman(), EventCodeFileEnglish()}) {
        TStatusDecoder d;
        EXPECT_TRUE(d.LoadOrdinaryEvents(data + OrdinaryEventFileName()));
        d.LoadEventCodeTexts(data + name);
        EXPECT_EQ(d.StatusKeys(), (QStringList{"StAe", "S.AEN"})) << name.toStdString();
        EXPECT_EQ(d.GONrKeys(), (QStringList{"GONr"}));
        EXPECT_FALSE(d.StatusText(QStringLiteral("0x0001"), 1).isEmpty());
        EXPECT_FALSE(d.StatusText(QStringLiteral("0x0001"), 0).isEmpty());
        // The note line is a list entry that no status code can equal.
        EXPECT_EQ(d.IsSpecialEvent(Line("1\t2\t0x8104")), u'0');
        EXPECT_EQ(d.IsSpecialEvent(Line("1\t2\t0x0001")), u'1');
    }
    TStatusDecoder german;
    german.LoadEventCodeTexts(data + EventCodeFileGerman());
    // Windows-1252 on disk, read back with its umlaut.
    EXPECT_EQ(german.StatusText(QStringLiteral("0x0001"), 1),
              QString::fromUtf8("Beispiel: Grenzwert überschritten"));
    const QByteArray bytes = testsupport::readFile(data + EventCodeFileGerman());
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_TRUE(bytes.contains("\xfc"));   // "ü" in Windows-1252
}

// ---- Decoding ----------------------------------------------------------------------------

TEST_F(StatusDecoderTest, DecimalStatusBecomesCodeAndText)
{
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("33"), 1), QString::fromUtf8("0x0021: Gemeinsamer Text für 21"));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("33"), 0), QStringLiteral("0x0021: QM-Text 21"));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("65535"), 1), QStringLiteral("0xFFFF: "));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("00"), 1), QStringLiteral("0x0000: "));
    // Codes are looked up without case.
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("x00ab"), 1), QStringLiteral("0x00ab: Hex AB"));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("171"), 1), QStringLiteral("0x00AB: Hex AB"));
}

TEST_F(StatusDecoderTest, CellsThatAreNoStatusStay)
{
    for (const char* text : {"", "7", "65536", "99999999999999999999", "0.5", "0x8104", "0x0021:", "0x002G: a",
                             "abc", "-5", "1,5"})
        EXPECT_EQ(decoder.DecodedCellText(Line(text), 1), Line(text)) << text;
}

TEST_F(StatusDecoderTest, DecodedCellTogglesBackAndForth)
{
    const QString decoded = decoder.DecodedCellText(QStringLiteral("33"), 1);
    EXPECT_EQ(decoder.DecodedCellText(decoded, 1), QStringLiteral("x0021"));
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("x0021"), 1), decoded);
    // A decoded cell without a text undoes as well.
    EXPECT_EQ(decoder.DecodedCellText(QStringLiteral("0x1234: "), 1), QStringLiteral("x1234"));
}

TEST_F(StatusDecoderTest, DecodeStatusColumnDecodesDataRowsAndWidens)
{
    MakeTable({"", "Zeit", "Wert", "StAe"}, {"", "01.01.2024", "5", "33"});
    grid.SetCell(3, 4, QStringLiteral("1"));
    grid.SetCell(3, 2, QStringLiteral("33"));   // a header row stays as it is
    decoder.DecodeStatusColumn(grid, 3, 0);
    EXPECT_EQ(grid.Cell(3, 3), QStringLiteral("0x0021: QM-Text 21"));
    EXPECT_EQ(grid.Cell(3, 4), QStringLiteral("1"));
    EXPECT_EQ(grid.Cell(3, 2), QStringLiteral("33"));
    EXPECT_EQ(grid.Cell(2, 3), QStringLiteral("5"));
    EXPECT_EQ(grid.ColWidth(3), TStatusDecoder::DecodedColumnWidth);
}

TEST_F(StatusDecoderTest, FindStatusColumnSkipsFixedColumns)
{
    MakeTable({"StAe", "Zeit", "Wert", "stat", "S.AEN"}, {});
    uint16_t column = 0;
    ASSERT_TRUE(decoder.FindStatusColumn(grid, NameRow, column));
    EXPECT_EQ(column, 3);

    // A file without "StAe" in its "Header" section still knows the name.
    decoder.LoadEventCodeTexts(fixturePath(QStringLiteral("status/EvCd_RVOnly.TXT")));
    MakeTable({"", "Zeit", "Wert", "StAe"}, {});
    ASSERT_TRUE(decoder.FindStatusColumn(grid, NameRow, column));
    EXPECT_EQ(column, 3);

    MakeTable({"", "Zeit", "Wert", "Wert2"}, {});
    column = 7;
    EXPECT_FALSE(decoder.FindStatusColumn(grid, NameRow, column));
    EXPECT_EQ(column, 7);
}

// ---- Clicks and the event hint -----------------------------------------------------------

namespace {

struct HintRecorder {
    std::vector<QStringList> shown;
    std::vector<std::pair<int, int>> positions;
    int hidden = 0;
    TEvaluationHooks hooks;
    HintRecorder()
    {
        hooks.ShowEventHint = [this](const QStringList& lines, int x, int y) {
            shown.push_back(lines);
            positions.emplace_back(x, y);
        };
        hooks.HideEventHint = [this] { ++hidden; };
    }
};

} // namespace

TEST_F(StatusDecoderTest, HintLinesOfAnEventCell)
{
    EXPECT_EQ(decoder.EventHintLines(QStringLiteral("1;5"), QStringLiteral("St.2"), 0),
              (QStringList{"St.2#1: Erstes Ereignis", QString::fromUtf8("St.2#5: Fünftes Ereignis")}));
    EXPECT_EQ(decoder.EventHintLines(QStringLiteral("1;;9;"), QStringLiteral("St.2"), 1),
              (QStringList{"St.2#1: RV-Ereignis 1", "St.2#9: "}));
    EXPECT_TRUE(decoder.EventHintLines(QStringLiteral("0"), QStringLiteral("St.2"), 0).isEmpty());
    EXPECT_TRUE(decoder.EventHintLines(QString(), QStringLiteral("St.2"), 0).isEmpty());
    EXPECT_TRUE(decoder.EventHintLines(QStringLiteral(";"), QStringLiteral("St.2"), 0).isEmpty());
}

TEST_F(StatusDecoderTest, EventColumnNames)
{
    for (const char* name : {"St.1", "ST.2", "STS1", "StSx"})
        EXPECT_TRUE(TStatusDecoder::IsEventColumnName(Line(name))) << name;
    for (const char* name : {"St.", "st.1", "SX.1", "StA1", "StAe", ""})
        EXPECT_FALSE(TStatusDecoder::IsEventColumnName(Line(name))) << name;
}

TEST_F(StatusDecoderTest, ClickDecodesTheStatusColumnAndShowsHintsElsewhere)
{
    MakeTable({"", "Zeit", "St.2", "StAe", "Wert"}, {"", "01.01.2024", "1;5", "33", "12"});
    HintRecorder rec;
    const TCellClickContext ctx{3, NameRow, 0};

    EXPECT_EQ(decoder.TableCellClick(grid, 3, 3, 10, 20, ctx, rec.hooks), TCellClickResult::Decoded);
    EXPECT_EQ(grid.Cell(3, 3), QStringLiteral("0x0021: QM-Text 21"));
    EXPECT_EQ(decoder.TableCellClick(grid, 3, 3, 10, 20, ctx, rec.hooks), TCellClickResult::Decoded);
    EXPECT_EQ(grid.Cell(3, 3), QStringLiteral("x0021"));

    EXPECT_EQ(decoder.TableCellClick(grid, 2, 3, 40, 50, ctx, rec.hooks), TCellClickResult::HintShown);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(rec.shown[0], (QStringList{"St.2#1: Erstes Ereignis", QString::fromUtf8("St.2#5: Fünftes Ereignis")}));
    EXPECT_EQ(rec.positions[0], std::make_pair(40, 50));
    EXPECT_TRUE(decoder.EventHintShown());
    EXPECT_EQ(rec.hidden, 0);

    // The next click releases the open hint first, also when it does nothing.
    EXPECT_EQ(decoder.TableCellClick(grid, 4, 3, 0, 0, ctx, rec.hooks), TCellClickResult::Nothing);
    EXPECT_EQ(rec.hidden, 1);
    EXPECT_FALSE(decoder.EventHintShown());
    EXPECT_EQ(grid.Cell(4, 3), QStringLiteral("12"));

    // Fixed cells do nothing, not even decoding a status name.
    EXPECT_EQ(decoder.TableCellClick(grid, 3, NameRow, 0, 0, ctx, rec.hooks), TCellClickResult::Nothing);
    EXPECT_EQ(grid.Cell(3, NameRow), QStringLiteral("StAe"));
    EXPECT_EQ(decoder.TableCellClick(grid, 0, 3, 0, 0, ctx, rec.hooks), TCellClickResult::Nothing);
}

TEST_F(StatusDecoderTest, NoHintForAnEmptyOrZeroCellAndNoStatusColumnZero)
{
    MakeTable({"", "Zeit", "St.2"}, {"", "01.01.2024", "0"});
    HintRecorder rec;
    TCellClickContext ctx{0, NameRow, 0};
    EXPECT_EQ(decoder.TableCellClick(grid, 2, 3, 0, 0, ctx, rec.hooks), TCellClickResult::Nothing);
    grid.SetCell(2, 3, QString());
    EXPECT_EQ(decoder.TableCellClick(grid, 2, 3, 0, 0, ctx, rec.hooks), TCellClickResult::Nothing);
    EXPECT_TRUE(rec.shown.empty());
    // Without hooks nothing breaks, and hiding twice calls the hook once.
    grid.SetCell(2, 3, QStringLiteral("1"));
    EXPECT_EQ(decoder.TableCellClick(grid, 2, 3, 0, 0, ctx, TEvaluationHooks{}), TCellClickResult::HintShown);
    decoder.HideEventHint(rec.hooks);
    decoder.HideEventHint(rec.hooks);
    EXPECT_EQ(rec.hidden, 1);
}
