#pragma once
// The table window's report export without widgets: the call sequence on the
// report interface that writes the title lines, the grid and (when wanted)
// the chart into a report of one kind.
#include "reports/ZT_BerEx.h"

#include <QFont>
#include <QStringList>
#include <functional>

namespace platform { class TStringGridModel; }

struct TReportExportInput {
    QString Title;                          // the window's caption
    QFont MemoFont;
    QStringList TitleLines;
    bool ChooserHasItems = false;
    QString ChooserText;
    QString EvaluationLabel;
    const platform::TStringGridModel* Grid = nullptr;
    QFont GridFont;
    // Whether a chart page belongs into the report (chart button enabled and
    // shown, the chart has series, the chart panel shown); empty: never.
    std::function<bool()> ChartWanted;
    // Puts the chart on the clipboard for the report to paste; false when
    // that failed (the export then fails).
    std::function<bool()> CopyChart;
};

enum class TReportExportResult {
    Shown,          // the report is finished and shown
    NotCreated,     // no back end for the kind, or it could not be started
    Failed,         // a step after the report was created failed
    NotShown,       // ShowResult answered false
};

// Frees the report of an earlier export (when reportOpen) and clears the flag.
void FreeTableReport(TBer_Export& chooser, bool& reportOpen);

// Runs one export of kind through chooser: frees the earlier report, creates
// the new one (reportOpen set as soon as it exists, so a later failure still
// frees it), writes title lines, chooser text, evaluation label and an empty
// line in the memo font, the grid in its font followed by an empty line (only
// a grid of more than one row and column), the chart page when wanted and
// the report not aborted, then shows the result. Exceptions of the back end
// are caught and answered as NotCreated or Failed.
TReportExportResult ExportTableToReport(TBer_Export& chooser, uint8_t kind, const TReportExportInput& input,
                                        bool& reportOpen);
