#pragma once
// What the table window does to its print component before a print or preview
// job, without a widget: the page estimate for the print dialog, the margins
// in device pixels, the title lines, the four fonts and the gaps.
#include "evaluation/TableOutputParams.h"
#include "output/ZT_TabDruck.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace platform { class TPrinterService; }

// The printer's page in device pixels for an orientation (0 portrait, 1
// landscape), without changing the printer: a table preview is laid out on it
// and drawn scaled onto the preview's image, so preview page n is printed page
// n, whatever the view or the window size.
QSize PrinterPageSize(platform::TPrinterService& printer, int orientation);

// Pages the print dialog offers: rows div 28 in landscape, else rows / 64.4
// rounded; at least 1.
int32_t EstimatePageCount(int rowCount, int printOrientation);

struct TPrintMargins {
    int32_t Links = 0, Oben = 0, Rechts = 0, Unten = 0;
};
// Margins of percent (left, top, right, bottom) of a page breite x hoehe: in
// portrait left and right of the width and top and bottom of the height, in
// landscape the other way round.
TPrintMargins PrintMarginsOf(int32_t breite, int32_t hoehe, const std::array<double, 4>& percent,
                             int orientation);

// The six fields the print dialog shows, between the record and the component.
void CopyDialogFieldsToComponent(const TTableOutputParams& params, TZT_TabDruck& druck);
void CopyDialogFieldsToParams(const TZT_TabDruck& druck, TTableOutputParams& params);
// The twelve fields of a job, from the record into the component.
void CopyJobFieldsToComponent(const TTableOutputParams& params, TZT_TabDruck& druck);

// Title lines of a job: the non-empty memo lines, the chooser's current item
// when it has items, the evaluation label when not empty. Answers the length
// of the longest line.
int SetPrintTitleLines(TZT_TabDruck& druck, const QStringList& memoLines, bool chooserHasItems,
                       const QString& chooserText, const QString& evaluationLabel);

// The four fonts from the grid font: for a preview scaled to the page
// (landscape: by the usable height / 711, portrait: the usable width / 644),
// the title font 1.2 times as large when the longest title line has more than
// 60 characters, else 1.5 times; titles and date lines italic, header rows
// bold, data rows plain.
void SetPrintFonts(TZT_TabDruck& druck, const QFont& gridFont, bool scaleForPreview, int printOrientation,
                   int longestTitle);

// The whole preparation after the target's canvas and page size are set on
// druck (Canvas, Breite, Hoehe): margins by orientation, title lines, job
// name, table, fonts, gaps and the date line.
struct TTablePrintContent {
    QStringList MemoLines;
    bool ChooserHasItems = false;
    QString ChooserText;
    QString EvaluationLabel;
    platform::TStringGridModel* Grid = nullptr;
    QFont GridFont;
};
void PrepareTablePrintComponent(TZT_TabDruck& druck, const TTableOutputParams& params,
                                const TTablePrintContent& content, bool preview, int marginOrientation,
                                int printOrientation);

// What the user is told of the shown columns a page leaves off (their header
// texts): empty when every column fits. In portrait landscape is proposed
// besides a smaller font.
QString LeftOutColumnsNote(const QStringList& headers, int orientation);
