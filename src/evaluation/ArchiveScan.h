#pragma once
// The archive directory scan and the hidden file overview.
//
// The scan reads every archive of the archive directory that matches the file
// mask up to the end of its header and writes one overview row per device
// channel per file. The overview is the program's index of devices: the tree
// levels are derived from it and its row numbers are what a tree entry hands
// to the evaluation. The scan never touches a widget: cursor, enabling, the
// status line and the tree go out through the hooks record.
#include "evaluation/ArchiveReader.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/EvaluationState.h"
#include "evaluation/Language.h"
#include "evaluation/TreeLevels.h"
#include "platform/StringGrid.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace platform { class MessagePump; }

// Columns of the overview; the last one holds the archive file name.
constexpr int OverviewColumnCount = 14;
// The least width of a table column from column 1 on.
constexpr int MinTableColumnWidth = 54;

// Whether a file name matches a mask of '*' and '?' wildcards, without regard
// to case ("*.AG?" matches "x.agr"). "*.*" matches every name.
bool MatchesFileMask(const QString& name, const QString& mask);

class TArchiveScanner {
public:
    TArchiveScanner(TEvaluationState& state, TArchiveReader& reader, TEvaluationHooks& hooks);

    // The overview grid: 14 columns, one fixed header row, no fixed column.
    platform::TStringGridModel& Overview() { return overview_; }
    const platform::TStringGridModel& Overview() const { return overview_; }
    // The tree levels derived from the overview.
    TTreeLevels& Levels() { return levels_; }

    // The main window's message table (entry 1 the file column's title,
    // entries 2 and 3 the words of the "no data" message); German until the
    // language selection sets the translated one. Rewrites the header row.
    void SetMessages(const std::array<QString, MainMessageCount>& messages);
    // Writes the header row from the header key table and the message table
    // and fits the columns; called again after the captions were translated.
    void InitOverview();

    // The pump let through before each file; the program's default unless set.
    void SetPump(platform::MessagePump* pump) { pump_ = pump; }

    // Scans the archive directory. True when at least one archive was found
    // and the scan was not aborted. While a scan or an evaluation runs it only
    // beeps and answers false.
    bool ScanArchiveFiles(bool ShowNotFound);
    // Per-line callback of the scan: header lines are stored, reading stops at
    // the end of the header.
    uint8_t ScanHeaderLine(const QString& Line);
    // One overview row per channel of the current file that has a device number.
    void AddOverviewRows();
    // Every column but the last as wide as its title plus 8 pixels, the last
    // the rest of the grid's width less 24 pixels.
    void FitOverviewColumns(int gridWidth = DefaultOverviewWidth);
    // Widens every column of a table from column 1 on to at least 54 pixels.
    static void EnsureTableColumnWidths(platform::TStringGridModel& table);
    // Status line: 0 hides it, 1 and 2 show those texts.
    void ShowStatusMessage(uint8_t Number);

    // The names of the directory's files that match the mask, sorted by the
    // ASCII-upper-cased name, then by the exact name.
    QStringList ListArchiveFiles() const;

    // The overview's font (its widths are measured in it).
    QFont OverviewFont;
    static constexpr int DefaultOverviewWidth = 779;

private:
    TEvaluationState& state_;
    TArchiveReader& reader_;
    TEvaluationHooks& hooks_;
    platform::MessagePump* pump_;
    platform::TStringGridModel overview_;
    TTreeLevels levels_;
    std::array<QString, MainMessageCount> messages_;
};
