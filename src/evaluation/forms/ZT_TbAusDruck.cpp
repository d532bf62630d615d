// The table window's printing and preview: the print dialog, print jobs on
// the program's printer or into a text file, and the preview's page drawer.
#include "evaluation/forms/ZT_TbAus.h"

#include "base/FileSelect.h"
#include "base/ZT_Meld.h"
#include "base/ZT_Tools.h"
#include "base/forms/ZT_DateiPfad.h"
#include "evaluation/TablePrintSetup.h"
#include "output/GraphicsSettings.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/Hooks.h"
#include "platform/PlatformTexts.h"
#include "platform/PrintCanvas.h"
#include "platform/Printer.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

QPointer<TTabAus_Form> PreviewTabAus_Form;

namespace {

// Why a job printed nothing, in the language of the platform's own dialogs.
QString NothingPrintedText(const TZT_TabDruck& d)
{
    const bool german = platform::PlatformDialogsGerman();
    if (d.Druck_Bereich != db_Seitenzahlen)
        return german ? QStringLiteral("Es wurde nichts gedruckt: die Tabelle hat keine Zeilen.")
                      : QStringLiteral("Nothing was printed: the table has no rows.");
    if (german)
        return QStringLiteral("Es wurde nichts gedruckt: die Seiten %1 bis %2 gibt es nicht, die Ausgabe hat %3.")
            .arg(d.Von_Seite)
            .arg(d.Bis_Seite)
            .arg(d.PageCount() == 1 ? QStringLiteral("nur eine Seite") : QStringLiteral("%1 Seiten").arg(d.PageCount()));
    return QStringLiteral("Nothing was printed: there are no pages %1 to %2, the printout has %3.")
        .arg(d.Von_Seite)
        .arg(d.Bis_Seite)
        .arg(d.PageCount() == 1 ? QStringLiteral("only one page") : QStringLiteral("%1 pages").arg(d.PageCount()));
}

TTablePrintContent ContentOf(TTableModel& model)
{
    TTablePrintContent c;
    c.MemoLines = model.TitleLines();
    c.ChooserHasItems = !model.ChooserItems().isEmpty();
    c.ChooserText = model.ChooserText();
    c.EvaluationLabel = model.EvaluationLabel();
    c.Grid = &model.Grid();
    c.GridFont = model.TableFont();
    return c;
}

// The pages a job on the printer's page of that orientation lays out, counted
// without drawing: the preview shows that many, and the print dialog reaches
// the last of them. The note names the columns the page leaves off.
TZT_TabDruck::TPageLayoutInfo CountPrintedLayout(TZT_TabDruck& d, const TTableOutputParams& params,
                                                 const TTablePrintContent& content, int orientation)
{
    platform::TPrinterService& printer = platform::Printer();
    const QSize size = PrinterPageSize(printer, orientation);
    platform::TScaledPageCanvas measure(printer.Canvas(), nullptr, size.width(), size.height());
    CopyJobFieldsToComponent(params, d);
    d.AusgabeGeraet = AG_Vorschau;
    d.DruckInDatei = false;
    d.Canvas = &measure;
    d.Breite = size.width();
    d.Hoehe = size.height();
    PrepareTablePrintComponent(d, params, content, false, orientation, orientation);
    TZT_TabDruck::TPageLayoutInfo info;
    info.Pages = d.CountPages();
    info.Note = LeftOutColumnsNote(d.Layout().LeftOutHeaders, orientation);
    d.Canvas = nullptr;
    return info;
}

int32_t CountPrintedPages(TZT_TabDruck& d, const TTableOutputParams& params, const TTablePrintContent& content,
                          int orientation)
{
    return CountPrintedLayout(d, params, content, orientation).Pages;
}

} // namespace

int32_t TTabAus_Form::EstimatePageCount() const
{
    return ::EstimatePageCount(model_.Grid().RowCount(), GraphicsSettings.PrintOrientation);
}

bool TTabAus_Form::PrinterSetup()
{
    TTableOutputParams* params = model_.Params();
    if (!params)
        return false;
    // The dialog offers the pages the job lays out in the orientation chosen
    // there (the estimate ignores the font and may miss pages or offer pages
    // that do not exist), and says which columns the paper leaves off. Both
    // are counted before the dialog: counting uses the component.
    const TTablePrintContent content = ContentOf(model_);
    const TZT_TabDruck::TPageLayoutInfo layouts[2] = {CountPrintedLayout(*tabDruck_, *params, content, 0),
                                                      CountPrintedLayout(*tabDruck_, *params, content, 1)};
    CopyDialogFieldsToComponent(*params, *tabDruck_);
    // The job's name is the PDF file name the dialog proposes.
    tabDruck_->DruckAuftragsName = QStringLiteral("ZT_Ausgabe");
    if (!tabDruck_->ExecutePrinterSetup([layouts](int orientation) { return layouts[orientation == 1 ? 1 : 0]; }))
        return false;
    CopyDialogFieldsToParams(*tabDruck_, *params);
    return true;
}

void TTabAus_Form::DruckKnopfClick()
{
    TTableOutputParams* params = model_.Params();
    if (!params)
        return;
    // One job at a time: a printout under way lets messages through.
    if (platform::PrintJobRunning()) {
        platform::Beep();
        return;
    }
    if (PrinterSetup()) {
        params->AusgabeGeraet = AG_Drucker;
        PrepareTablePrint(false);
    }
}

void TTabAus_Form::Vorschau_KnopfClick()
{
    ShowTablePreview();
}

bool TTabAus_Form::AskOutputFileName(QString& FileName)
{
    TFileRequest request;
    request.FileKind = FileKindExportData;
    uint16_t index = 0;
    FileKindFilterIndex(FileKindExportData, FileName, index);
    request.FilterIndex = static_cast<uint8_t>(index);
    request.Directory = AppendBackslash(ExtractPathPart(FileName));
    request.FileName = FileNamePart(FileName);
    if (DateiPfadMaske) {
        DateiPfadMaske->SelectFileOfKind(request);
    } else {
        static TFileKindTables tables;
        if (!tables.Translated())
            tables.Translate(TFileKindWords{});
        ::SelectFileOfKind(tables, QStringLiteral("speichern"), request);
    }
    if (!request.Accepted)
        return false;
    FileName = request.Directory + request.FileName;
    if (model_.OnFileChosen)
        model_.OnFileChosen(FileName);
    return true;
}

void TTabAus_Form::PrepareTablePrint(bool SkipFileQuestion)
{
    TTableOutputParams* params = model_.Params();
    if (!params)
        return;
    if (params->AusgabeGeraet == AG_Drucker && params->DruckInDatei && !SkipFileQuestion) {
        if (!AskOutputFileName(params->DruckDateiName))
            return;
    }
    TZT_TabDruck& d = *tabDruck_;
    CopyJobFieldsToComponent(*params, d);
    const TTablePrintContent content = ContentOf(model_);
    const int printOrientation = GraphicsSettings.PrintOrientation;

    if (params->AusgabeGeraet == AG_Vorschau) {
        TZT_Vorschau* preview = ZT_Vorschau;
        platform::TPrintCanvas* canvas = preview ? preview->PageCanvas() : nullptr;
        // Preview pages are drawn only inside the preview's drawing.
        if (!canvas)
            return;
        d.Von_Seite = d.Bis_Seite = previewPage_;
        d.Druck_Bereich = db_Seitenzahlen;
        preview->setWindowTitle(preview->Abfrage_Label_0->text() + QLatin1Char('-') + windowTitle());
        // The page is the printer's, laid out with the printout's fonts in
        // the printer's pixels and drawn scaled onto the image: preview page
        // n is printed page n, whatever the view or the window size.
        const int orientation = preview->Orientation();
        platform::TPrinterService& printer = platform::Printer();
        const QSize size = PrinterPageSize(printer, orientation);
        platform::TScaledPageCanvas page(printer.Canvas(), canvas, size.width(), size.height());
        d.Canvas = &page;
        d.Breite = size.width();
        d.Hoehe = size.height();
        PrepareTablePrintComponent(d, *params, content, false, orientation, orientation);
        const bool ok = d.PrintTable();
        d.Canvas = nullptr;
        if (!ok && !d.NothingInRange())
            ShowMessageNr(QString(), 120);
        // The layout's own count, should the printer's page have changed.
        preview->SetPageCount(d.PageCount());
        preview->SetStatusNote(LeftOutColumnsNote(d.Layout().LeftOutHeaders, orientation));
        return;
    }

    platform::TPrinterService& printer = platform::Printer();
    platform::TOrientationKeeper keep(printer, printOrientation);
    d.Canvas = &printer.Canvas();
    d.Breite = printer.PageWidth();
    d.Hoehe = printer.PageHeight();
    PrepareTablePrintComponent(d, *params, content, false, printer.Orientation(), printOrientation);
    // A cancelled question for the PDF file prints nothing and reports nothing.
    if (!d.PrintTable()) {
        if (d.NothingInRange())
            platform::ShowMessageBox(NothingPrintedText(d), platform::PlatformText(platform::TPlatformText::PrintTitle),
                                     platform::mb::Ok | platform::mb::IconExclamation);
        else if (!(d.Canvas == &printer.Canvas() && printer.BeginCancelled()))
            ShowMessageNr(QString(), 120);
    }
    // A file chosen for this job and not used by it is no choice for the next.
    printer.ForgetPdfChoice();
}

bool TTabAus_Form::PreviewShowsThisTable() const
{
    const TZT_Vorschau* preview = ZT_Vorschau;
    if (!preview || !preview->isVisible())
        return false;
    // The preview draws the table's pages through the table's page drawer,
    // for the window it was opened from (the global one while none was).
    const auto* drawer = preview->DrawPage.target<void (*)(int32_t)>();
    if (!drawer || *drawer != &TTabAus_Form::DrawPreviewPage)
        return false;
    const TTabAus_Form* shown = PreviewTabAus_Form ? PreviewTabAus_Form.data() : TabAus_Form;
    return shown == this;
}

void TTabAus_Form::ShowTablePreview()
{
    TZT_Vorschau* preview = ZT_Vorschau;
    TTableOutputParams* params = model_.Params();
    if (!preview || !params)
        return;
    PreviewTabAus_Form = this;
    const int orientation = GraphicsSettings.PrintOrientation;

    // The pages the printout has: the preview draws each of them.
    const int32_t count = CountPrintedPages(*tabDruck_, *params, ContentOf(model_), orientation);

    const int32_t page = std::clamp(previewPage_, 1, count);
    preview->ShowPages(page, count, &TTabAus_Form::DrawPreviewPage, orientation);
}

void TTabAus_Form::DrawPreviewPage(int32_t Page)
{
    TTabAus_Form* form = PreviewTabAus_Form ? PreviewTabAus_Form.data() : TabAus_Form;
    if (!form)
        return;
    TTableOutputParams* params = form->model_.Params();
    if (!params)
        return;
    form->previewPage_ = Page;
    params->AusgabeGeraet = AG_Vorschau;
    form->PrepareTablePrint(false);
    form->tabDruck_->Canvas = nullptr;
    if (form->model_.OnPageDrawn)
        form->model_.OnPageDrawn();
}
