#pragma once
// The evaluation of the archives behind a tree selection into the table.
//
// FillTable is the tree's selection handler: it reads every archive file of
// the selected file-overview rows line by line, puts the data lines into
// table rows (all values, or one row per day or month), merges lines of the
// same quarter hour into one row, and finishes the table: sorting, difference
// columns, the counter difference, status decoding.
//
// Table layout while it is filled: column 0 the hidden special-event flag,
// column 1 the sort key (time stamp "yyyymmddhhmmss", for event rows followed
// by the ordinal number), column 2 the date text, then the value columns of
// the archives. Header rows: the device number (with the device header row
// on), the value names, the units. After sorting column 1 is removed. While
// the table is filled the keys are kept beside the grid as numbers and the
// rows are sorted by those (in the same order as by the texts); a table left
// unsorted (aborted, or ended by an error) gets them as texts.
//
// Rows: CurrentRow and RowCount are 0-based grid rows. RowCount starts at the
// grid row of the units, so the first data row lies directly below the header
// rows, and a row R is written with the table's SetCell(R + 1). The table
// holds up to 65,536 grid rows; a selection that needs more stops reading,
// is finished and shown as far as it goes, and message 36 says so.
//
// What the routines read from widgets comes in TEvaluationView; what they do
// to widgets goes out through TEvaluationHooks.
#include "evaluation/EvaluationHooks.h"
#include "evaluation/EvaluationState.h"
#include "evaluation/GridSort.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/TableModel.h"
#include "platform/DateTimeValue.h"
#include "platform/LocaleFormats.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <unordered_map>
#include <vector>

class TArchiveReader;
class TStatusDecoder;
class THeadTemplate;
class TTableModel;
struct TRowSortKey;
namespace platform {
class TStringGridModel;
class MessagePump;
}

// The states of the main window's switches and texts that the evaluation
// reads; the main window fills it before each run.
struct TEvaluationView {
    uint8_t ViewMode = 0;        // 0 all values ("Alle"), 1 day values ("Tag"), 2 month values ("Mon")
    bool Differenz = false;      // Differenzen_Schalter
    bool Zaehler = true;         // ZST_Schalter ("Zähler")
    bool Alles = false;          // Zusatz_Schalter
    bool Grafik = false;         // Grafik_Schalter
    // The period: first and last day at 00:00 (plus the day begin when the
    // main window added it). The effective end follows from "Differenz".
    platform::DateTimeValue PeriodStart = 0;
    platform::DateTimeValue PeriodEnd = 0;
    // Translated captions.
    QString ZeitCaption = QStringLiteral("Zeit");            // Zeit_Label
    QString DifferenzCaption = QStringLiteral("Differenz");  // Differenzen_Schalter
};

// A run-time error that ends an evaluation (a column beyond the grid).
class EEvaluationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TEvaluator {
public:
    // Quarter-hour slots of a period from start to effective end (both in
    // whole seconds): the slot table covers the whole period, so no reading
    // inside it is dropped for lying far from its start.
    static std::size_t SlotCountOf(int64_t startSeconds, int64_t endSeconds);
    // Highest 0-based grid row of the table.
    static constexpr int MaxRowIndex = 65535;
    // Grid rows reserved when a table starts.
    static constexpr int InitialRowCount = 750;
    // Columns of the table get at least this width when it is finished.
    static constexpr int MinColumnWidth = TTableModel::MinFilledColumnWidth;
    // Columns while the table is filled.
    static constexpr int FlagColumn = 0;
    static constexpr int KeyColumn = 1;
    static constexpr int DateColumn = 2;

    TEvaluator(TEvaluationState& state, TArchiveReader& reader, const TStatusDecoder& decoder,
               const THeadTemplate& headTemplate, TTableModel& table,
               const platform::TStringGridModel& overview, TEvaluationHooks& hooks);
    ~TEvaluator();
    TEvaluator(const TEvaluator&) = delete;
    TEvaluator& operator=(const TEvaluator&) = delete;

    TEvaluationView& View() { return view_; }
    const TEvaluationView& View() const { return view_; }
    void SetView(const TEvaluationView& view) { view_ = view; }

    // The pump let through at the end of an evaluation (default: the
    // program's), and the clock that gives today's date for the title.
    void SetPump(platform::MessagePump* pump) { pump_ = pump; }
    std::function<platform::DateTimeValue()> Today;

    // ---- The selection handler -------------------------------------------------
    // Level and texts of the selected tree entry, its parent and grandparent,
    // and the overview rows ("3,7,12"). Nothing happens while busy or for level 0.
    void FillTable(uint8_t level, const QString& nodeText, const QString& parentText,
                   const QString& grandParentText, const QString& rows);
    // One collected row number of the list: sets the device number and
    // evaluates the row. An empty token does nothing.
    void EvaluateRowToken(const QString& token);
    // Evaluates the archive file of one overview row into the table.
    void EvaluateRow(int row);
    // Per-line callback of the reader: 1 go on, 3 stop this file.
    uint8_t EvaluateLine(const QString& line);
    // One data line into a table row (or into the row of its quarter hour).
    void EvaluateDataLine(QStringView line);
    // Whether data field index of the current archive becomes a column.
    bool IsColumnShown(int index) const;
    // Writes text into the current row at column offset + col. Throws
    // EEvaluationError for a column beyond the grid.
    void PutTableCell(int col, QStringView text);
    // The counter-evaluation text for the grid rows from and to (after the
    // table was finished: column 1 the dates, column 2 the first values) into
    // the evaluation label. Rows without a reading are skipped inward.
    void ShowCounterDifference(int fromRow, int toRow);

    // ---- State the main window reads --------------------------------------------
    QString Selection;           // grouping caption of the selected entry
    QString ColumnFilter;        // "name / unit" of a selected channel, else empty
    QString DeviceNumber;        // device number of the row being evaluated
    bool FirstColumnsOnly = false;
    bool FirstFile = true;       // the next archive starts a new table
    bool DataPhase = false;      // the current file's header has ended
    int CurrentRow = 0;
    int ColumnOffset = 0;
    int RowCount = 0;
    double DayBegin = -1.0;      // fraction of a day; -1.0 = find it in the data
    uint16_t StatusColumn = 0;   // 0 = none
    bool RowLimitReached = false;
    platform::DateTimeValue PeriodStart = 0;
    platform::DateTimeValue PeriodEnd = 0;
    platform::DateTimeValue PeriodEffectiveEnd = 0;
    // The last time stamp the table holds data of: the period's effective
    // end, or, when the row limit ended the evaluation, the last reading
    // before the first line that found no row (the rows after it are cut,
    // and the title names the period up to this day).
    platform::DateTimeValue CoveredEnd = 0;
    // Grid row of the value names: 1 with the device header row, else 0.
    int NameRow() const { return nameRow_; }
    // The difference columns take the numbers of the value cells kept while
    // the table is filled (true), or read every text back (false). Both give
    // the same table; the second is there to compare with.
    bool KeepCellNumbers = true;

    // Day begin read from an overview cell ("06" hours); -1.0 for a cell that
    // is empty, not an integer or outside 0..23.
    static double DayBeginFromCell(const QString& cell);
    // "yyyymmddhhmmss" of whole seconds since 30.12.1899.
    static QString SortKeyText(int64_t seconds);

private:
    struct TSlotRow {
        int32_t row;
        int32_t next;           // next entry of the same slot, -1 none
        int64_t seconds;        // time stamp of the line that made the row
        uint32_t archive;       // archive that wrote the row last
    };
    // How a data field is written: not shown, formatted number, number text
    // without leading zeros (GONr: also widened to 7).
    enum class TFieldMode : uint8_t { Hidden, Formatted, Plain, PlainGONr };
    struct TFieldPlan {
        TFieldMode mode = TFieldMode::Hidden;
        int column = 0;         // shown column (0-based from the column offset)
        // The numbers kept of that column (with difference columns).
        std::vector<double>* numbers = nullptr;
    };

    QString OverviewCell(int col, int row) const;
    void StartTable(int row);
    void EndOfHeader();
    bool NewRow();
    // The row for an ordinary line: a new row (its index), MergedRow when the
    // line joins an existing row (CurrentRow), FullTable when no row is left.
    static constexpr int MergedRow = -1;
    static constexpr int FullTable = -2;
    int OrdinaryRow(int64_t seconds, int slot);
    void WriteField(int index, QStringView field, bool last);
    // The number of the cell just written into the field's column, when its
    // numbers are kept.
    void KeepNumber(const TFieldPlan& p, double number)
    {
        if (p.numbers == nullptr)
            return;
        std::vector<double>& numbers = *p.numbers;
        const std::size_t row = std::size_t(CurrentRow);
        if (row >= numbers.size())
            GrowNumbers(numbers, row);
        numbers[row] = number;
    }
    // Room up to row at least, for the rows still to come too: -9999 (no
    // number) in every new place.
    static void GrowNumbers(std::vector<double>& numbers, std::size_t row);
    // Writes the special-event marker of a row (0-based grid row).
    void PutFlag(int row, bool special);
    // Writes the date text of a row (with the time when withTime is set).
    void PutDateText(platform::DateTimeValue t, bool withTime, int gridRow);
    // The sort key of a row: the number of its time stamp's key text and the
    // text after it (event rows: the ordinal number).
    // (Inline for a row of the day of the row before, and for the key of a
    // row just made without a text: the cases of nearly every line.)
    int64_t SortKeyNumber(int64_t seconds)
    {
        int64_t days = seconds / platform::SecondsPerDay;
        if (seconds % platform::SecondsPerDay < 0)
            --days;
        if (days != keyDay_)
            SetKeyDay(days);
        const int sod = int(seconds - days * platform::SecondsPerDay);
        return keyDayNumber_ + (sod / 3600) * 10000 + (sod / 60 % 60) * 100 + sod % 60;
    }
    void SetRowKey(int row, int64_t number, QStringView tail)
    {
        if (row >= 0 && std::size_t(row) == rowKeys_.size() && tail.isEmpty())
            rowKeys_.emplace_back().number = number;
        else
            SetRowKeyGeneral(row, number, tail);
    }
    // keyDay_ and keyDayNumber_ for a day (days since 30.12.1899).
    void SetKeyDay(int64_t days);
    void SetRowKeyGeneral(int row, int64_t number, QStringView tail);
    // Writes the sort keys kept beside the grid into the key column, as
    // texts, for a table that is left unsorted (aborted, or ended by an
    // error) or sorted by its texts.
    void WriteSortKeys();
    void SortByKeys();
    // After the row limit: cuts the sorted rows from the first line that
    // found no row on, sets CoveredEnd and names it in the title lines.
    void CutAtRowLimit();
    void FinishEvaluation();
    // Runs the pump when its interval has passed.
    void LetMessagesThrough();
    void AddDifferenceColumns();
    void EnsureTableColumnWidths();

    TEvaluationState& state_;
    TArchiveReader& reader_;
    const TStatusDecoder& decoder_;
    const THeadTemplate& headTemplate_;
    TTableModel& table_;
    const platform::TStringGridModel& overview_;
    TEvaluationHooks& hooks_;
    platform::MessagePump* pump_;
    TEvaluationView view_;

    // Per evaluation.
    int nameRow_ = 0;
    bool showTime_ = true;
    int64_t startSeconds_ = 0;
    int64_t endSeconds_ = 0;
    int dayBeginSeconds_ = -1;   // second of the day, -1 none
    // Time stamp of the first line that found no row (the row limit), else
    // INT64_MAX.
    int64_t limitSeconds_ = INT64_MAX;
    // What the title lines were made from (the first archive's overview row).
    int titleRow_ = -1;
    TTitleInput titleInput_;
    const platform::LocaleFormats* formats_ = nullptr;

    // Quarter-hour slots: head of each slot's row list, and the entries.
    std::vector<int32_t> slotHead_;
    std::vector<TSlotRow> slotRows_;
    // First row of each event key (time stamp and ordinal number).
    QHash<QString, int> eventRows_;
    // Sort keys by grid row (number -1: no key) while the table is filled;
    // the key column stays empty until the rows are sorted by these. The
    // texts after the time stamps of event rows, by row.
    std::vector<TRowSortKey> rowKeys_;
    std::unordered_map<int, QString> keyTails_;
    bool keysPending_ = false;
    int64_t keyDay_ = INT64_MIN; // day of keyDayNumber_, INT64_MIN none
    int64_t keyDayNumber_ = 0;
    platform::LocaleFormats::DateTextCache dateCache_;
    // The columns of each device in the table, left to right, with their
    // value names as the header row shows them.
    struct TDeviceColumn {
        QString name;
        int column;
    };
    QHash<QString, std::vector<TDeviceColumn>> deviceColumns_;
    uint32_t archive_ = 0;       // counts the EvaluateRow calls of a table

    // With difference columns: the number each value cell reads as (the
    // difference columns' -9999 for an empty cell), by grid column of the
    // fill and each by grid row, kept as the cell is written; and by grid
    // row whether its marker says special event. The finish takes the
    // differences from these instead of reading every cell back.
    // Each data row carries its grid row of the fill + 1 as its row object,
    // which moves with it through every sort and every move of a row. A
    // column moved or a row moved while the table is filled (not by the
    // evaluation) makes the finish read the cells as they stand instead.
    bool numbersKept_ = false;
    std::vector<std::vector<double>> cellNumbers_;
    std::vector<uint8_t> rowSpecial_;
    uint64_t fillRowOrder_ = 0;      // the grid's order counts when the fill began
    uint64_t fillColumnOrder_ = 0;

    // The line whose fields are being written (its characters in front of a
    // field may be read with it).
    const char16_t* lineChars_ = nullptr;
    std::vector<uint32_t> lineTabs_;     // TAB positions of the line read

    // Per archive: how each data field is written.
    std::vector<TFieldPlan> plan_;
    int shownCount_ = 0;
};
