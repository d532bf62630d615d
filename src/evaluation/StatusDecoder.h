#pragma once
// Status codes and status columns of the archives, and what gives them meaning:
//  - the list of ordinary event codes ("AV_ValEv.TXT" in the program
//    directory, one code per line): a data line whose status code after TAB
//    "0x" is not in it is a special event;
//  - the event-code text file ("EvCd_DEU.TXT" or "EvCd_ENG.TXT", INI form):
//    the status texts of the two device families (sections "RV" and "QM",
//    "RVQM" when a family's own section is empty), the names of status and
//    ordinal-number columns (section "Header") and the event descriptions per
//    status column (section family + "_" + column name).
//
// The decoder keeps the lists and works on the table's string grid; it never
// touches a widget. The event hint goes out through TEvaluationHooks.
#include "evaluation/EvaluationHooks.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace platform {
class TStringGridModel;
}

// File names in the program directory.
inline QString OrdinaryEventFileName() { return QStringLiteral("AV_ValEv.TXT"); }
inline QString EventCodeFileGerman() { return QStringLiteral("EvCd_DEU.TXT"); }
inline QString EventCodeFileEnglish() { return QStringLiteral("EvCd_ENG.TXT"); }

// Highest number of "StatusN" and "GONrN" keys read from the "Header" section.
constexpr int MaxHeaderStatusKeys = 200;

// What a click on a single table cell needs to know besides the grid.
struct TCellClickContext {
    int StatusColumn = 0;        // the table's status column, 0 = none
    int NameRow = 0;             // grid row of the value names
    uint8_t RVDevice = 1;        // family of the current archive: 1 RV, 0 QM
};

// What TableCellClick did.
enum class TCellClickResult { Nothing, Decoded, HintShown };

class TStatusDecoder {
public:
    TStatusDecoder() = default;

    // ---- Loading --------------------------------------------------------------
    // Both files from the program directory (exact name, else without regard
    // to case); eventCodeFile is "EvCd_DEU.TXT" or "EvCd_ENG.TXT".
    void LoadFromProgramDirectory(const QString& eventCodeFile);
    // Reads the ordinary event codes, one per line. Any failure leaves the list
    // empty (then every status code is a special event); false then.
    bool LoadOrdinaryEvents(const QString& fileName);
    // Reads the status texts, status keys and GONr keys from an event-code text
    // file and remembers it for the event descriptions. A missing file or
    // section leaves the lists empty, except the built-in keys "StAe", "S.AEN"
    // and "GONr", which are always present.
    void LoadEventCodeTexts(const QString& fileName);
    // Replaces the ordinary event codes (tests, and callers that read them
    // elsewhere).
    void SetOrdinaryEvents(const QStringList& codes);

    // ---- The lists -------------------------------------------------------------
    const QStringList& OrdinaryEvents() const { return ordinaryEvents_; }
    // "code=text" lines of the family's section.
    const QStringList& RVStatusTexts() const { return rvTexts_; }
    const QStringList& QMStatusTexts() const { return qmTexts_; }
    const QStringList& StatusKeys() const { return statusKeys_; }
    const QStringList& GONrKeys() const { return gonrKeys_; }
    const QString& EventCodeFile() const { return eventCodeFile_; }
    // Value names compared without regard to case; no allocation.
    bool IsStatusKey(QStringView name) const;
    bool IsGONrKey(QStringView name) const;

    // ---- Special events --------------------------------------------------------
    // '1' when the line's status code (after the first TAB "0x") is a special
    // event, else '0'. Runs for every data line: allocates nothing.
    QChar IsSpecialEvent(QStringView line) const;
    bool IsSpecialEventLine(QStringView line) const { return IsSpecialEvent(line) == u'1'; }
    // The status code of a line as the test reads it ("0x" and the digits up to
    // the first other character); empty when the line has no TAB "0x".
    static QStringView StatusCodeOfLine(QStringView line);

    // ---- Status columns -----------------------------------------------------------
    // The first column from the first non-fixed column on whose name-row cell
    // is a status key. False (and column untouched) when there is none.
    bool FindStatusColumn(const platform::TStringGridModel& grid, int nameRow, uint16_t& column) const;
    // The status text of a code ("0x0021") in the family's list, or empty.
    QString StatusText(const QString& code, uint8_t rvDevice) const;
    // The new text of a status cell when it is clicked or its column decoded:
    // a decimal status number becomes "0x" + four hex digits + ": " + text, a
    // cell beginning with "x" is decoded likewise, and a decoded cell turns back
    // into "x" + its four hex digits. Anything else comes back unchanged.
    QString DecodedCellText(const QString& cell, uint8_t rvDevice) const;
    void DecodeStatusCell(platform::TStringGridModel& grid, int col, int row, uint8_t rvDevice) const;
    // Every data row of the column, then the column is made 400 pixels wide.
    void DecodeStatusColumn(platform::TStringGridModel& grid, int col, uint8_t rvDevice) const;
    static constexpr int DecodedColumnWidth = 400;

    // ---- Event hint --------------------------------------------------------------
    // True for a column name that holds event codes: longer than 3 characters,
    // "S" first, "T" or "t" second, "." or "S" third ("St.1", "STS...").
    static bool IsEventColumnName(QStringView name);
    // The description of an event code in the column's section of the
    // event-code file (family + "_" + column name), or empty.
    QString EventDescription(const QString& columnName, const QString& code, uint8_t rvDevice) const;
    // The hint lines for a cell of an event column: one "name#code: text" per
    // non-empty code of the cell split at ";". None for an empty cell or "0".
    QStringList EventHintLines(const QString& cell, const QString& columnName, uint8_t rvDevice) const;
    // Builds the lines of cell (col, row) and shows them through the hook at
    // the click position; true when a hint is shown.
    bool ShowEventHint(const platform::TStringGridModel& grid, int col, int row, int x, int y,
                       const TCellClickContext& context, const TEvaluationHooks& hooks);
    // Releases an open hint (grid left, application deactivated).
    void HideEventHint(const TEvaluationHooks& hooks);
    bool EventHintShown() const { return hintShown_; }

    // A single table cell was clicked (mouse released on the grid's current
    // cell): releases an open hint, then decodes a cell of the status column
    // or shows the event hint of an event column. Fixed cells do nothing.
    TCellClickResult TableCellClick(platform::TStringGridModel& grid, int col, int row, int x, int y,
                                    const TCellClickContext& context, const TEvaluationHooks& hooks);

private:
    void AddStatusTexts(const QStringList& lines, QStringList& list, QHash<QString, QString>& map);
    static void AddKeyOnce(QStringList& list, const QString& key);

    QStringList ordinaryEvents_;
    std::vector<QString> sortedEvents_;      // ASCII upper case, sorted
    QStringList rvTexts_;
    QStringList qmTexts_;
    QHash<QString, QString> rvMap_;          // upper-case code -> text (first wins)
    QHash<QString, QString> qmMap_;
    QStringList statusKeys_{QStringLiteral("StAe"), QStringLiteral("S.AEN")};
    QStringList gonrKeys_{QStringLiteral("GONr")};
    QString eventCodeFile_;
    bool hintShown_ = false;
};
