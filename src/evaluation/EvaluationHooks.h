#pragma once
// What the non-visual scan and evaluation do to the windows goes out through
// this one record; the main window connects it to its widgets, tests connect
// recording fakes. Every member may be left empty: an empty hook does nothing.
#include <QString>
#include <QStringList>
#include <functional>

struct TEvaluationHooks {
    // Hourglass cursor on (true) or the normal cursor back (false).
    std::function<void(bool)> SetHourglass;
    // A scan or an evaluation starts (true) or ends (false): the main window
    // disables the tree panel, the switch panel and the options button and
    // enables the abort button while it runs, and the reverse afterwards.
    std::function<void(bool)> SetRunning;
    // Status line under the title memo: 0 hides it, 1 and 2 show those texts.
    std::function<void(int)> ShowStatusMessage;
    // The event hint of a table cell: its lines (each already "name#code: text")
    // and the click position in the table grid's pixels; the window adds the
    // offsets of the grid and its parents and sizes the hint to the lines.
    // HideEventHint releases an open hint.
    std::function<void(const QStringList& lines, int x, int y)> ShowEventHint;
    std::function<void()> HideEventHint;

    // After a successful directory scan: the main window arms the selection
    // tree and sets it up on the new file overview (4 levels, its last
    // selection, options 6, its selection handler and the level provider),
    // sets its first-file flag and updates the view.
    std::function<void()> SetupTree;
    // After a scan that found nothing or was aborted: the tree is emptied.
    std::function<void()> ClearTree;

    // Evaluation of a tree selection into the table:
    // the abort button alone is enabled (true) or disabled (false); the
    // evaluation disables it before it finishes the table.
    std::function<void(bool)> SetAbortEnabled;
    // The table grid and the title memo are shown or hidden (a hidden table
    // hides the chart as well); the evaluation hides both when it starts.
    std::function<void(bool grid, bool titleMemo)> ShowTable;
    // A new table starts: the main window installs its own draw-cell handler
    // on the table grid.
    std::function<void()> InstallTableDrawCell;
    // The table is finished: the chart is updated as if "Grafik" was clicked.
    std::function<void()> UpdateChart;

    // Convenience callers: each runs its hook when one is set.
    void Hourglass(bool on) const { if (SetHourglass) SetHourglass(on); }
    void Running(bool on) const { if (SetRunning) SetRunning(on); }
    void Status(int n) const { if (ShowStatusMessage) ShowStatusMessage(n); }
};
