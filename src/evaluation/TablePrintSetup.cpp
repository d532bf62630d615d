#include "evaluation/TablePrintSetup.h"

#include "platform/PlatformTexts.h"

#include "base/ZT_Tools.h"
#include "evaluation/HeadTemplate.h"
#include "platform/PrintCanvas.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"

#include <cmath>

namespace {

int32_t RoundHalfEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

} // namespace

int32_t EstimatePageCount(int rowCount, int printOrientation)
{
    const int32_t pages = printOrientation == 1 ? rowCount / 28 : RoundHalfEven(rowCount / 64.4);
    return pages < 1 ? 1 : pages;
}

QSize PrinterPageSize(platform::TPrinterService& printer, int orientation)
{
    // The page of the other orientation is the same sheet turned.
    const QSize now(printer.PageWidth(), printer.PageHeight());
    return (orientation == 1) == (printer.Orientation() == 1) ? now : now.transposed();
}

TPrintMargins PrintMarginsOf(int32_t breite, int32_t hoehe, const std::array<double, 4>& percent, int orientation)
{
    const int32_t across = orientation == 1 ? hoehe : breite;
    const int32_t down = orientation == 1 ? breite : hoehe;
    TPrintMargins m;
    m.Links = RoundHalfEven(across * percent[0] / 100.0);
    m.Oben = RoundHalfEven(down * percent[1] / 100.0);
    m.Rechts = RoundHalfEven(across * percent[2] / 100.0);
    m.Unten = RoundHalfEven(down * percent[3] / 100.0);
    return m;
}

void CopyDialogFieldsToComponent(const TTableOutputParams& p, TZT_TabDruck& d)
{
    d.AusgabeGeraet = p.AusgabeGeraet;
    d.DruckInDatei = p.DruckInDatei;
    d.DruckDateiName = p.DruckDateiName;
    d.Druck_Bereich = p.Druck_Bereich;
    d.Von_Seite = p.Von_Seite;
    d.Bis_Seite = p.Bis_Seite;
}

void CopyDialogFieldsToParams(const TZT_TabDruck& d, TTableOutputParams& p)
{
    p.AusgabeGeraet = d.AusgabeGeraet;
    p.DruckInDatei = d.DruckInDatei;
    p.DruckDateiName = d.DruckDateiName;
    p.Druck_Bereich = d.Druck_Bereich;
    p.Von_Seite = d.Von_Seite;
    p.Bis_Seite = d.Bis_Seite;
}

void CopyJobFieldsToComponent(const TTableOutputParams& p, TZT_TabDruck& d)
{
    CopyDialogFieldsToComponent(p, d);
    d.Ausrichtung = p.Ausrichtung;
    d.Rahmen = p.Rahmen;
    d.Spalten_Trennlinien = p.Spalten_Trennlinien;
    d.Zeilen_Trennlinien = p.Zeilen_Trennlinien;
    d.Position_SeitenNr = p.Position_SeitenNr;
    d.Position_Datum = p.Position_Datum;
}

int SetPrintTitleLines(TZT_TabDruck& d, const QStringList& memoLines, bool chooserHasItems,
                       const QString& chooserText, const QString& evaluationLabel)
{
    d.ClearKopfZeilen();
    int longest = 0;
    auto add = [&](const QString& line) {
        d.SetKopfZeile(line);
        longest = std::max(longest, static_cast<int>(std::min<qsizetype>(line.size(), 255)));
    };
    for (const QString& line : memoLines)
        if (!line.isEmpty())
            add(line);
    if (chooserHasItems)
        add(chooserText);
    if (!evaluationLabel.isEmpty())
        add(evaluationLabel);
    return longest;
}

void SetPrintFonts(TZT_TabDruck& d, const QFont& gridFont, bool scaleForPreview, int printOrientation,
                   int longestTitle)
{
    QFont f = gridFont;
    double size = TZT_TabDruck::GridFontPoints(gridFont);
    if (scaleForPreview) {
        // The page's usable extent against the one the grid font was made
        // for, so a preview page holds the rows of a printed one.
        if (printOrientation == 1)
            size = RoundHalfEven(size * (d.Hoehe - d.DruckSeitenRand_Oben - d.DruckSeitenRand_Unten) / 711.0);
        else
            size = RoundHalfEven(size * (d.Breite - d.DruckSeitenRand_Links - d.DruckSeitenRand_Rechts) / 644.0);
    }
    size = std::max(1.0, size);
    f.setPointSizeF(size);
    f.setBold(false);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    QFont title = f;
    title.setPointSizeF(std::max(1, RoundHalfEven(size * (longestTitle > 60 ? 1.2 : 1.5))));
    title.setItalic(true);
    QFont header = f;
    header.setBold(true);
    QFont date = f;
    date.setItalic(true);
    d.Schrift_DatumSeitenzahlZeilen = date;
    d.Schrift_TabellenUeberschriftZeilen = title;
    d.Schrift_SpaltenUeberschriftZeilen = header;
    d.Schrift_DatenZeilen = f;
}

void PrepareTablePrintComponent(TZT_TabDruck& d, const TTableOutputParams& params,
                                const TTablePrintContent& content, bool preview, int marginOrientation,
                                int printOrientation)
{
    const TPrintMargins m = PrintMarginsOf(d.Breite, d.Hoehe, params.SeitenRand_Prozent, marginOrientation);
    d.DruckSeitenRand_Links = m.Links;
    d.DruckSeitenRand_Oben = m.Oben;
    d.DruckSeitenRand_Rechts = m.Rechts;
    d.DruckSeitenRand_Unten = m.Unten;
    const int longest = SetPrintTitleLines(d, content.MemoLines, content.ChooserHasItems, content.ChooserText,
                                           content.EvaluationLabel);
    d.DruckAuftragsName = QStringLiteral("ZT_Ausgabe");
    if (content.Grid)
        d.SetTable(content.Grid, content.Grid->ColCount(), content.GridFont);
    else
        d.SetTable(nullptr, 0, content.GridFont);
    SetPrintFonts(d, content.GridFont, preview, printOrientation, longest);
    d.Luecke_Senkrecht = d.Hoehe / 200;
    d.Luecke_Waagerecht = d.Breite / 200;
    // The page's title lines give today's date in the platform's short date
    // format ("[Dat]"); the date line says it the same way, so one page
    // never shows one date in two formats.
    d.Datums_Label = FormatDateText(platform::Now());
}

QString LeftOutColumnsNote(const QStringList& headers, int orientation)
{
    if (headers.isEmpty())
        return QString();
    // The note stands in the print dialog and the preview's status line, which
    // speak the language of the platform's own dialogs.
    if (!platform::PlatformDialogsGerman()) {
        const QString remedy = orientation == 1 ? QStringLiteral("a smaller font")
                                                : QStringLiteral("Landscape or a smaller font");
        return QStringLiteral("Not on the paper: %1 (%2 takes more columns)").arg(headers.join(QStringLiteral(", ")), remedy);
    }
    const QString remedy = orientation == 1 ? QStringLiteral("eine kleinere Schrift")
                                            : QStringLiteral("Querformat oder eine kleinere Schrift");
    return QStringLiteral("Nicht auf dem Papier: %1 (%2 nimmt mehr Spalten auf)").arg(headers.join(QStringLiteral(", ")), remedy);
}
