#include "evaluation/TableReport.h"

#include "platform/StringGrid.h"

#include <cmath>

namespace {

void SetFontOf(TBer_Intf_Basis& report, const QFont& font)
{
    TReportFontStyles style = 0;
    if (font.bold())
        style |= rfsBold;
    if (font.italic())
        style |= rfsItalic;
    if (font.underline())
        style |= rfsUnderline;
    if (font.strikeOut())
        style |= rfsStrikeOut;
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    const uint16_t size = uint16_t(std::clamp(std::nearbyint(points), 1.0, 65535.0));
    report.SetFont(font.family(), size, style);
}

} // namespace

void FreeTableReport(TBer_Export& chooser, bool& reportOpen)
{
    if (!reportOpen)
        return;
    chooser.Done();
    reportOpen = false;
}

TReportExportResult ExportTableToReport(TBer_Export& chooser, uint8_t kind, const TReportExportInput& input,
                                        bool& reportOpen)
{
    FreeTableReport(chooser, reportOpen);
    try {
        chooser.Init(input.Title.left(ReportTitleCapacity), QString(), kind, [] {});
    } catch (...) {
        return TReportExportResult::NotCreated;
    }
    TBer_Intf_Basis* report = chooser.Report();
    if (report == nullptr)
        return TReportExportResult::NotCreated;
    reportOpen = true;
    try {
        SetFontOf(*report, input.MemoFont);
        for (const QString& line : input.TitleLines)
            if (!line.isEmpty())
                report->WriteLine(line);
        if (input.ChooserHasItems)
            report->WriteLine(input.ChooserText);
        if (!input.EvaluationLabel.isEmpty())
            report->WriteLine(input.EvaluationLabel);
        report->WriteLine(QString());
        const platform::TStringGridModel* grid = input.Grid;
        if (grid != nullptr && grid->RowCount() > 1 && grid->ColCount() > 1) {
            SetFontOf(*report, input.GridFont);
            report->WriteTable(*grid);
            report->WriteLine(QString());
        }
        if (input.ChartWanted && input.ChartWanted() && !report->Aborted) {
            report->NewPage();
            if (!input.CopyChart || !input.CopyChart())
                return TReportExportResult::Failed;
            report->PasteFromClipboard();
            report->AfterPaste();
        }
        if (!report->ShowResult(true))
            return TReportExportResult::NotShown;
    } catch (...) {
        return TReportExportResult::Failed;
    }
    return TReportExportResult::Shown;
}
