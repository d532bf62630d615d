#include "output/ZT_TabDruck.h"

#include "output/GraphicsSettings.h"
#include "platform/FileChars.h"
#include "platform/Hooks.h"
#include "platform/MessagePump.h"
#include "platform/PrintCanvas.h"
#include "platform/SafeFile.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "platform/TextCodec.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <climits>
#include <cmath>

using platform::TPrintCanvas;
using platform::TTextAlign;

bool TrimCellsInFile = false;

namespace {

// v enlarged by p percent (at most 100), rounded as the window system's MulDiv.
int Percent(int v, int p)
{
    if (p < 1)
        return v;
    const long long prod = static_cast<long long>(v) * std::min(p, 100);
    const long long q = prod >= 0 ? (prod + 50) / 100 : -((-prod + 50) / 100);
    return v + static_cast<int>(q);
}

int RoundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

QStringView TrimmedControl(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

class TBusyCursor {
public:
    TBusyCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            set_ = true;
        }
    }
    ~TBusyCursor()
    {
        if (set_)
            QGuiApplication::restoreOverrideCursor();
    }
private:
    bool set_ = false;
};

} // namespace

// Everything a job reads, copied at its start: a preview drawn while a long
// printout lets messages through may change the component's properties.
struct TZT_TabDruck::TJob {
    int LM = 0, TM = 0, RM = 0, BM = 0;
    int Offset = 0;
    QFont FontHeader, FontData, FontDate, FontTitle;
    TPrintCanvas* Canvas = nullptr;
    int Breite = 0, Hoehe = 0;
    uint8_t Target = AG_Bildschirm;
    bool ToFile = false;
    QString JobName;
    uint8_t Align = da_Mitte;
    QString FileName;
    int32_t Von = 1, Bis = 99;
    bool Frame = true, ColLines = true, RowLines = true;
    int LS = 10, LW = 20;
    uint8_t PosNr = sp_UntenMitte, PosDate = sp_UntenLeft;
    QString DateText;
    QStringList Titles;
    int Copies = 1;
    int LastCol = -1;
    int RowCount = 1, FixedRows = 0, FixedCols = 0;
    std::vector<int> Widths;                // screen widths of columns 0..LastCol
    int GridPoints = 9;
};

// The grid's cells 0..LastCol of every row, copied once for a long job.
struct TZT_TabDruck::TSnapshot {
    int Cols = 0;
    std::vector<char16_t> Chars;
    std::vector<uint32_t> Ends;             // end of each cell, row by row
    QStringView Cell(int c, int r) const
    {
        const std::size_t i = std::size_t(r) * std::size_t(Cols) + std::size_t(c);
        const uint32_t b = i == 0 ? 0 : Ends[i - 1];
        return QStringView(Chars.data() + b, qsizetype(Ends[i] - b));
    }
};

namespace {

struct TGridSource {
    const platform::TStringGridModel& Grid;
    QStringView Cell(int c, int r) const { return Grid.CellView(c, r); }
};

} // namespace

TZT_TabDruck::TZT_TabDruck() = default;
TZT_TabDruck::~TZT_TabDruck() = default;

void TZT_TabDruck::SetTable(platform::TStringGridModel* grid, int columnCount)
{
    table_ = grid;
    lastPrintedColumn_ = std::min(columnCount, MaxDruckSpalten) - 1;
}

void TZT_TabDruck::SetTable(platform::TStringGridModel* grid, int columnCount, const QFont& gridFont)
{
    SetTable(grid, columnCount);
    TableFont = gridFont;
}

namespace {

double FontPointSize(const QFont& font)
{
    return platform::FontPointSize(font, 96);
}

} // namespace

double TZT_TabDruck::GridFontPoints(const QFont& font)
{
    double dpi = 96.0;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* s = QGuiApplication::primaryScreen())
            dpi = s->logicalDotsPerInchY();
    return platform::FontPointSize(font, static_cast<int>(std::lround(dpi)));
}

bool TZT_TabDruck::ExecutePrinterSetup(int32_t pageCount)
{
    return RunPrinterSetup(pageCount, nullptr);
}

bool TZT_TabDruck::ExecutePrinterSetup(const std::function<TPageLayoutInfo(int orientation)>& layoutFor)
{
    return RunPrinterSetup(0, &layoutFor);
}

bool TZT_TabDruck::RunPrinterSetup(int32_t pageCount, const std::function<TPageLayoutInfo(int)>* layoutFor)
{
    platform::TPrinterService& printer = platform::Printer();
    const int saved = printer.Orientation();
    printer.SetOrientation(GraphicsSettings.PrintOrientation);
    TPageLayoutInfo now;
    if (layoutFor) {
        now = (*layoutFor)(printer.Orientation());
        pageCount = now.Pages;
    }
    pageCount = std::max<int32_t>(1, pageCount);
    if (Bis_Seite > pageCount)
        Bis_Seite = pageCount;

    platform::TPrintDialogRequest request;
    request.Range = Druck_Bereich;
    request.FromPage = Von_Seite;
    request.ToPage = Bis_Seite;
    request.MinPage = 1;
    request.MaxPage = pageCount;
    request.AllowSelection = false;
    request.AllowPageNumbers = true;
    request.AllowPrintToFile = true;
    request.PrintToFile = DruckInDatei;
    request.WarnNoPrinter = true;
    request.Orientation = printer.Orientation();
    request.Targets = printer.Targets();
    request.Target = printer.Target();
    request.JobName = DruckAuftragsName;
    request.PreviousFile = DruckDateiName;
    request.PdfFileName = printer.PdfFileName();
    if (layoutFor) {
        request.Note = now.Note;
        request.LayoutFor = [layout = *layoutFor](int orientation) {
            const TPageLayoutInfo info = layout(orientation);
            return platform::TPrintDialogRequest::TLayoutInfo{info.Pages, info.Note};
        };
    }

    const platform::THooks& h = platform::Hooks();
    platform::TPrintDialogAnswer answer = h.PrintDialog ? h.PrintDialog(request) : platform::TPrintDialogAnswer{};
    if (answer.Accepted && answer.Range == db_Seitenzahlen && layoutFor) {
        // Pages past the last one of the orientation chosen would print
        // nothing: refused, and the user learns why.
        const int32_t pages = std::max<int32_t>(1, (*layoutFor)(answer.Orientation).Pages);
        if (answer.FromPage > pages) {
            platform::ShowMessageBox(QStringLiteral("Die Seiten %1 bis %2 gibt es nicht: die Ausgabe hat %3.")
                                         .arg(answer.FromPage)
                                         .arg(std::max(answer.FromPage, answer.ToPage))
                                         .arg(pages == 1 ? QStringLiteral("nur eine Seite")
                                                         : QStringLiteral("%1 Seiten").arg(pages)),
                                     QStringLiteral("Drucken"), platform::mb::Ok | platform::mb::IconExclamation);
            answer.Accepted = false;
        } else {
            answer.ToPage = std::min(answer.ToPage, pages);
        }
    }
    if (answer.Accepted) {
        // The range counts pages; a "selection" has no meaning here and prints all.
        Druck_Bereich = answer.Range == db_Seitenzahlen ? db_Seitenzahlen : db_AlleSeiten;
        if (Druck_Bereich == db_Seitenzahlen) {
            Von_Seite = std::max(1, answer.FromPage);
            Bis_Seite = std::max(Von_Seite, answer.ToPage);
        }
        DruckInDatei = answer.PrintToFile;
        Kopien = std::max(1, answer.Copies);
        if (!answer.Target.isEmpty())
            printer.SetTarget(answer.Target);
        // A file chosen for a PDF printout is that job's; a text-file job or
        // a printer queue leaves the next job to ask for its own.
        if (!answer.PdfFileName.isEmpty() && !DruckInDatei && printer.Target() == platform::PdfTargetName())
            printer.SetPdfFileName(answer.PdfFileName);
        else
            printer.ForgetPdfChoice();
        printer.SetOrientation(answer.Orientation);
    }
    GraphicsSettings.PrintOrientation = static_cast<uint8_t>(printer.Orientation());
    printer.SetOrientation(saved);
    return answer.Accepted;
}

bool TZT_TabDruck::PrintTable()
{
    nothingInRange_ = false;
    if (AusgabeGeraet != AG_Drucker)
        DruckInDatei = false;

    TJob job;
    job.LM = DruckSeitenRand_Links;
    job.TM = DruckSeitenRand_Oben;
    job.RM = DruckSeitenRand_Rechts;
    job.BM = DruckSeitenRand_Unten;
    job.Offset = Offset_SeiteNr;
    job.FontHeader = Schrift_SpaltenUeberschriftZeilen;
    job.FontData = Schrift_DatenZeilen;
    job.FontDate = Schrift_DatumSeitenzahlZeilen;
    job.FontTitle = Schrift_TabellenUeberschriftZeilen;
    job.Canvas = Canvas;
    job.Breite = Breite;
    job.Hoehe = Hoehe;
    job.Target = AusgabeGeraet;
    job.ToFile = DruckInDatei;
    job.JobName = DruckAuftragsName;
    job.Align = Ausrichtung;
    job.FileName = DruckDateiName;
    // All pages means all pages, however many the table has.
    job.Von = Druck_Bereich == db_AlleSeiten ? 1 : Von_Seite;
    job.Bis = Druck_Bereich == db_AlleSeiten ? INT32_MAX : Bis_Seite;
    job.Frame = Rahmen;
    job.ColLines = Spalten_Trennlinien;
    job.RowLines = Zeilen_Trennlinien;
    job.LS = Luecke_Senkrecht;
    job.LW = Luecke_Waagerecht;
    job.PosNr = Position_SeitenNr;
    job.PosDate = Position_Datum;
    job.DateText = Datums_Label;
    job.Titles = kopfZeilen_;
    job.Copies = Kopien;
    if (!table_)
        return !job.ToFile && job.Target != AG_Drucker;
    const platform::TStringGridModel& grid = *table_;
    // The table's shape as it stands now (taken again when the copy below
    // starts over).
    auto takeShape = [&] {
        job.LastCol = lastPrintedColumn_;
        job.RowCount = grid.RowCount();
        job.FixedRows = grid.FixedRows();
        job.FixedCols = grid.FixedCols();
        job.Widths.clear();
        for (int c = 0; c <= job.LastCol; ++c)
            job.Widths.push_back(grid.ColWidth(c));
        job.GridPoints = std::max(1, static_cast<int>(std::lround(GridFontPoints(TableFont))));
    };
    takeShape();

    const bool preview = job.Target != AG_Drucker;
    if (preview)
        return Run(job, TGridSource{grid}, false);

    // A printout or a text file lets messages through between rows; it works
    // on a copy of the grid, so edits, sorts or a new evaluation do not change
    // the pages under way.
    platform::TPrintJobGuard guard;
    if (!guard.Acquired()) {
        platform::Beep();
        return true;
    }
    // Copying the largest table takes longer than messages may wait: they go
    // through while it is made. A copy the table changed under starts over
    // with the table as it then stands; after a few such tries the copy is
    // made in one go, so a table that keeps changing cannot hold the job up.
    platform::MessagePump& pump = platform::MessagePump::Default();
    pump.PumpNow();
    TSnapshot snap;
    constexpr int PumpedTries = 3;
    for (int attempt = 0;; ++attempt) {
        const bool letThrough = attempt < PumpedTries;
        if (attempt > 0)
            takeShape();
        const uint64_t changes = grid.ContentChanges();
        snap.Cols = job.LastCol + 1;
        snap.Chars.clear();
        snap.Ends.clear();
        if (snap.Cols > 0 && job.RowCount > 0) {
            snap.Ends.reserve(std::size_t(job.RowCount) * std::size_t(snap.Cols));
            // Room for the texts by the last row's length, so the copy is
            // not moved again and again while it grows.
            std::size_t sample = 0;
            for (int c = 0; c < snap.Cols; ++c)
                sample += std::size_t(grid.CellView(c, job.RowCount - 1).size());
            snap.Chars.reserve((sample + std::size_t(snap.Cols)) * std::size_t(job.RowCount) * 5 / 4);
        }
        bool changed = false;
        // A row keeps its texts one after another: each row is one move.
        for (int r = 0; r < job.RowCount && !changed; ++r) {
            const char16_t* chars = nullptr;
            const uint32_t* ends = nullptr;
            const int stored = grid.RowTexts(r, snap.Cols, chars, ends);
            const uint32_t length = stored > 0 ? ends[stored - 1] : 0;
            const auto base = static_cast<uint32_t>(snap.Chars.size());
            snap.Chars.insert(snap.Chars.end(), chars, chars + length);
            for (int c = 0; c < stored; ++c)
                snap.Ends.push_back(base + ends[c]);
            snap.Ends.insert(snap.Ends.end(), std::size_t(snap.Cols - stored), base + length);
            if (letThrough && (r & 1023) == 1023 && pump.Pump())
                changed = grid.ContentChanges() != changes;
        }
        if (!changed)
            break;
    }
    // The layout and the job's start come next, without messages between:
    // they get a whole interval of their own.
    pump.PumpNow();
    return Run(job, snap, false);
}

int32_t TZT_TabDruck::CountPages()
{
    TJob job;
    job.LM = DruckSeitenRand_Links;
    job.TM = DruckSeitenRand_Oben;
    job.RM = DruckSeitenRand_Rechts;
    job.BM = DruckSeitenRand_Unten;
    job.FontHeader = Schrift_SpaltenUeberschriftZeilen;
    job.FontTitle = Schrift_TabellenUeberschriftZeilen;
    job.Canvas = Canvas;
    job.Breite = Breite;
    job.Hoehe = Hoehe;
    job.Target = AG_Vorschau;
    job.LS = Luecke_Senkrecht;
    job.LW = Luecke_Waagerecht;
    job.PosNr = Position_SeitenNr;
    job.PosDate = Position_Datum;
    job.Titles = kopfZeilen_;
    job.LastCol = lastPrintedColumn_;
    job.Von = 1;
    job.Bis = INT32_MAX;
    if (!table_ || !Canvas) {
        pageCount_ = 1;
        return pageCount_;
    }
    job.RowCount = table_->RowCount();
    job.FixedRows = table_->FixedRows();
    job.FixedCols = table_->FixedCols();
    for (int c = 0; c <= job.LastCol; ++c)
        job.Widths.push_back(table_->ColWidth(c));
    job.GridPoints = std::max(1, static_cast<int>(std::lround(GridFontPoints(TableFont))));
    Run(job, TGridSource{*table_}, true);
    return pageCount_;
}

// One layout for every page: the job's geometry, fonts and columns. Drawing
// pages, counting them and writing the text file all go through here.
template <class Source>
bool TZT_TabDruck::Run(TJob& job, const Source& source, bool drawNothing)
{
    const bool toFile = job.ToFile;
    const bool printer = job.Target == AG_Drucker && !toFile;
    const bool preview = !printer && !toFile;
    TPrintCanvas* canvas = job.Canvas;
    TLayout& L = layout_;
    L = TLayout{};

    const int headerRows = job.FixedRows > 0 ? job.FixedRows : 1;
    const int firstData = headerRows;
    L.HeaderRows = headerRows;
    L.LastPrintedColumn = job.LastCol;

    if (toFile) {
        pageCount_ = 1;
        // The whole table is page 1 of a text file: a range after it would
        // write an empty file; nothing is touched, and the caller says so.
        if (job.Von > 1 || job.Bis < 1) {
            nothingInRange_ = true;
            return false;
        }
        TBusyCursor busy;
        QString name = job.FileName;
        if (name.isEmpty())
            return false;
        // The extension of the file's own name, never of a directory above it.
        const qsizetype slash = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
        const QString base = name.mid(slash + 1);
        const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
        QString ext = dot >= 0 ? base.mid(dot + 1, 3) : QString();
        for (QChar& ch : ext)
            if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'))
                ch = QChar(ch.unicode() - 32);
        const QChar sep = ext == QLatin1String("CSV") ? QLatin1Char(';') : QLatin1Char('\t');

        platform::SafeFile file(name);
        if (!file.Open())
            return false;
        // The whole table is page 1 of a text file.
        const bool inRange = job.Von <= 1 && 1 <= job.Bis;
        QByteArray buffer;
        buffer.reserve(1 << 16);
        bool ok = true;
        auto flush = [&] {
            if (!buffer.isEmpty() && !file.Write(buffer))
                ok = false;
            buffer.clear();
        };
        QString line;
        auto endLine = [&] {
            buffer += platform::EncodeLine(line);
            buffer += "\r\n";
            line.clear();
            if (buffer.size() >= (1 << 16))
                flush();
        };
        auto writeRow = [&](int r, bool data) {
            for (int c = 0; c <= job.LastCol; ++c) {
                const bool last = c == job.LastCol;
                if (!last && job.Widths[std::size_t(c)] == 0)
                    continue;
                QStringView cell = source.Cell(c, r);
                if (data && TrimCellsInFile)
                    cell = TrimmedControl(cell);
                // A line break inside a cell would start a new row for every
                // reader of the file: it becomes a blank.
                QString oneLine;
                if (platform::HasLineBreak(cell)) {
                    oneLine = platform::OneLineText(cell);
                    cell = oneLine;
                }
                // Each cell with its separator is cut to 255 characters.
                const qsizetype room = last ? 255 : 254;
                line += cell.left(std::min<qsizetype>(cell.size(), room));
                if (!last)
                    line += sep;
            }
            endLine();
        };
        platform::MessagePump& pump = platform::MessagePump::Default();
        if (inRange && firstData < job.RowCount && job.LastCol >= 0) {
            for (const QString& t : job.Titles) {
                line = platform::OneLineText(TrimmedControl(t));
                endLine();
            }
            for (int h = 0; h < headerRows; ++h)
                writeRow(h, false);
            for (int r = firstData; r < job.RowCount && ok; ++r) {
                writeRow(r, true);
                pump.Pump();
            }
        }
        flush();
        return ok && file.Commit();
    }

    if (!canvas)
        return false;

    // Geometry, measured on the target canvas.
    canvas->SetFont(job.FontTitle);
    const int titleM = canvas->TextHeight(QStringLiteral("M"));
    canvas->SetFont(job.FontHeader);
    const int rh = std::max(1, Percent(canvas->TextHeight(QStringLiteral("M")), job.LW));
    const int cw = canvas->TextWidth(QStringLiteral("E")) - 1;
    L.RowHeight = rh;
    L.CharWidth = cw;
    const int usableW = job.Breite - job.LM - job.RM;
    const int usableH = job.Hoehe - job.BM - rh - job.LW;

    // Column plan.
    std::vector<int>& X = L.X;
    std::vector<int>& cols = L.Columns;
    X.assign(2, 0);
    cols.assign(1, -1);
    X[1] = job.Frame ? 1 : 0;
    for (int c = 0; c <= job.LastCol; ++c) {
        const int w = job.Widths[std::size_t(c)];
        if (w == 0)
            continue;
        const int pw = (w + 10) * cw / job.GridPoints + 10;
        X.push_back(X.back() + pw + job.LS);
        cols.push_back(c);
    }
    int count = int(cols.size()) - 1;
    int lastCol = job.LastCol;
    // Columns that do not fit are left out; a column of width 0 was never
    // laid out, so stepping past it keeps the count.
    while (count >= 0 && X[std::size_t(count) + 1] > usableW && lastCol > 0) {
        if (job.Widths[std::size_t(lastCol)] != 0 && count > 0)
            --count;
        --lastCol;
    }
    // The shown columns left off, by their header texts, so the user can be
    // told what the paper does not hold.
    for (std::size_t n = std::size_t(count) + 1; n < cols.size(); ++n) {
        QStringList parts;
        for (int h = 0; h < headerRows; ++h) {
            const QStringView t = TrimmedControl(source.Cell(cols[n], h));
            if (!t.isEmpty())
                parts << t.toString();
        }
        L.LeftOutHeaders << (parts.isEmpty() ? QStringLiteral("%1. Spalte").arg(cols[n]) : parts.join(QLatin1Char(' ')));
    }
    X.resize(std::size_t(count) + 2);
    cols.resize(std::size_t(count) + 1);
    L.LastPrintedColumn = lastCol;

    // Page geometry: the same on every page.
    const int titleLH = Percent(titleM, job.LW);
    const int headerHeight = headerRows * rh + job.LW;
    int tableTop = job.TM + headerHeight;
    const bool topLines = (job.PosDate >= 1 && job.PosDate <= 3) || (job.PosNr >= 1 && job.PosNr <= 3);
    if (!job.Titles.isEmpty() || topLines)
        tableTop += int(job.Titles.size()) * titleLH + job.LW;
    L.TitleLineHeight = titleLH;
    L.HeaderHeight = headerHeight;
    L.TableTop = tableTop;
    const int bottom0 = tableTop + job.LW / 2;
    const long long room = static_cast<long long>(usableH) - job.LW - bottom0;
    const int kmax = room >= 0 ? static_cast<int>(room / rh) : 0;
    L.TableBottomFull = bottom0 + kmax * rh;
    auto bottomOf = [&](int r) {
        const int remaining = job.RowCount - r;
        return bottom0 + std::min(remaining, kmax) * rh;
    };
    // Rows a page starting at row r holds: it is full once the next row's
    // bottom would reach the table bottom.
    auto rowsOn = [&](int r) {
        const int remaining = job.RowCount - r;
        const long long t = static_cast<long long>(bottomOf(r)) - tableTop;
        long long m = (t + rh - 1) / rh - 1;
        if (t <= 0)
            m = 1;
        m = std::max<long long>(1, m);
        return static_cast<int>(std::min<long long>(m, remaining));
    };
    L.RowsPerPage = job.RowCount - firstData > 0 ? rowsOn(firstData) : 0;

    int32_t pages = 0;
    for (int r = firstData; r < job.RowCount; r += rowsOn(r))
        ++pages;
    pageCount_ = std::max<int32_t>(1, pages);
    if (drawNothing)
        return true;

    const int32_t von = std::max<int32_t>(1, job.Von);
    const int32_t bis = job.Bis;
    TBusyCursor busy;
    if (printer) {
        // Nothing of the range exists: no job, and no blank sheet; the
        // caller tells the user that nothing was printed.
        if (von > pages || von > bis) {
            nothingInRange_ = true;
            return false;
        }
        // On the program's printer the job begins through it, so a PDF file
        // not chosen in the dialog is asked for.
        platform::TPrinterService& service = platform::Printer();
        if (canvas == &service.Canvas()) {
            service.SetTitle(job.JobName);
            if (!service.BeginDoc())
                return false;
        } else if (!canvas->BeginDoc(job.JobName)) {
            return false;
        }
    } else {
        canvas->FillPageWhite();
    }
    canvas->SetPenWidth(1);
    canvas->SetPenColor(Qt::black);
    canvas->SetBackgroundTransparent(true);
    canvas->SetFont(job.FontHeader);

    auto alignedX = [&](int x1, int x2, TTextAlign& a) {
        switch (job.Align) {
        case da_Links: a = TTextAlign::Left; return x1 + job.LS;
        case da_Rechts: a = TTextAlign::Right; return x2 - job.LS;
        default: a = TTextAlign::Center; return x1 + RoundHalfEven((x2 - x1) / 2.0);
        }
    };
    auto positionX = [&](uint8_t pos, int x1, int x2, TTextAlign& a) {
        switch (pos) {
        case sp_ObenLinks: case sp_UntenLeft: a = TTextAlign::Left; return x1 + job.LS;
        case sp_ObenRechts: case sp_UntenRechts: a = TTextAlign::Right; return x2 - job.LS;
        default: a = TTextAlign::Center; return x1 + RoundHalfEven((x2 - x1) / 2.0);
        }
    };
    // Title lines: a line wider than the room its alignment leaves between
    // the margins is drawn from the left margin in a font small enough for
    // the width between them, so nothing runs off the paper.
    struct TTitlePlacement {
        QFont Font;
        int X = 0;
        TTextAlign Align = TTextAlign::Left;
    };
    std::vector<TTitlePlacement> titles;
    {
        const int paperRight = job.Breite - job.RM;
        for (const QString& t : job.Titles) {
            TTitlePlacement tp;
            tp.Font = job.FontTitle;
            tp.X = alignedX(job.LM, usableW, tp.Align);
            canvas->SetFont(tp.Font);
            const int w = canvas->TextWidth(t);
            int room = 0;
            switch (tp.Align) {
            case TTextAlign::Left: room = paperRight - tp.X; break;
            case TTextAlign::Right: room = tp.X - job.LM; break;
            default: room = 2 * std::min(tp.X - job.LM, paperRight - tp.X); break;
            }
            if (w > room && w > 0) {
                const int full = std::max(1, paperRight - job.LM);
                tp.X = job.LM;
                tp.Align = TTextAlign::Left;
                double points = FontPointSize(job.FontTitle) * full / w;
                for (int tries = 0; tries < 8 && points > 1; ++tries) {
                    tp.Font.setPointSizeF(points);
                    canvas->SetFont(tp.Font);
                    if (canvas->TextWidth(t) <= full)
                        break;
                    points *= 0.97;
                }
            }
            titles.push_back(tp);
        }
        canvas->SetFont(job.FontHeader);
    }
    const int centreShift = (Percent(rh, job.LW) - rh) / 2;
    const int right = X[std::size_t(count) + 1] + job.LM;

    auto drawHead = [&](int32_t page, int tableBottom) {
        TTextAlign a;
        if (!job.Titles.isEmpty() || job.PosDate != 0 || job.PosNr != 0)
            canvas->SetFont(job.FontDate);
        if (job.PosDate != 0) {
            const int x = positionX(job.PosDate, job.LM, usableW, a);
            const int y = job.PosDate >= 4 ? usableH : job.TM;
            canvas->TextOut(x, y, job.DateText, a);
        }
        if (job.PosNr != 0) {
            const int x = positionX(job.PosNr, job.LM, usableW, a);
            const int y = job.PosNr >= 4 ? usableH - job.LW : job.TM;
            canvas->TextOut(x, y, QStringLiteral("Seite ") + QString::number(static_cast<long long>(page) + job.Offset), a);
        }
        for (std::size_t i = 0; i < titles.size(); ++i) {
            canvas->SetFont(titles[i].Font);
            canvas->TextOut(titles[i].X, job.TM + int(i) * titleLH, job.Titles[int(i)], titles[i].Align);
        }
        const int headTop = tableTop - headerHeight;
        if (job.Frame) {
            canvas->SetPenWidth(2);
            canvas->Rectangle(job.LM, headTop, right + 2, tableBottom);
        }
        if (job.ColLines) {
            int k = job.FixedCols + 1;
            if (!job.Widths.empty() && job.Widths[0] == 0)
                k = job.FixedCols;
            k = std::max(1, k);
            if (k <= count + 1) {
                canvas->SetPenWidth(job.Frame ? 2 : 1);
                const int xk = X[std::size_t(k)] + job.LM + 1;
                canvas->Line(xk, headTop, xk, tableBottom - 1);
            }
            canvas->SetPenWidth(1);
            for (int j = k + 1; j <= count; ++j) {
                const int xj = X[std::size_t(j)] + job.LM + 1;
                canvas->Line(xj, headTop, xj, tableBottom);
            }
        }
        canvas->SetFont(job.FontHeader);
        for (int h = 0; h < headerRows; ++h) {
            const int y = headTop + h * rh + centreShift + job.LW / 2;
            for (int n = 1; n <= count; ++n) {
                const int x1 = X[std::size_t(n)], x2 = X[std::size_t(n) + 1];
                const int x = alignedX(x1, x2, a) + job.LM;
                const QRect clip(x1 + job.LM + job.LS, y, x2 - x1 - job.LS, tableTop - job.LW - y);
                canvas->TextRect(clip, x, y, source.Cell(cols[std::size_t(n)], h).toString(), a);
            }
        }
        if (job.RowLines) {
            canvas->SetPenWidth(2);
            canvas->Line(job.LM, tableTop, right, tableTop);
            canvas->SetPenWidth(1);
        }
    };

    platform::MessagePump& pump = platform::MessagePump::Default();
    bool ok = true;
    QString text;
    // Copies repeat the range within the one job: a PDF file holds them all.
    const int copies = printer ? std::max(1, job.Copies) : 1;
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0)
            ok = canvas->NewPage() && ok;
        int32_t page = 1;
        for (int r = firstData; r < job.RowCount && page <= bis; ++page) {
            const int m = rowsOn(r);
            if (page >= von) {
                drawHead(page, bottomOf(r));
                canvas->SetFont(job.FontData);
                for (int i = 0; i < m; ++i) {
                    const int rowTop = tableTop + i * rh;
                    const int y = rowTop + centreShift;
                    TTextAlign a;
                    for (int n = 1; n <= count; ++n) {
                        const int x1 = X[std::size_t(n)], x2 = X[std::size_t(n) + 1];
                        const int x = alignedX(x1, x2, a) + job.LM;
                        const QRect clip(x1 + job.LM + job.LS, y, x2 - x1 - job.LS, rowTop + rh - 1 - y);
                        const QStringView cell = source.Cell(cols[std::size_t(n)], r + i);
                        if (!cell.isEmpty()) {
                            text = cell.toString();
                            canvas->TextRect(clip, x, y, text, a);
                        }
                    }
                    if (job.RowLines)
                        canvas->Line(job.LM, rowTop, right, rowTop);
                    // A preview page is drawn in one go, with no input let through.
                    if (!preview)
                        pump.Pump();
                }
            }
            r += m;
            if (page >= von && page < bis && r < job.RowCount) {
                if (printer)
                    ok = canvas->NewPage() && ok;
                else
                    canvas->FillPageWhite();
            }
        }
    }
    if (printer) {
        pump.PumpNow();
        ok = canvas->EndDoc() && ok;
    }
    return ok;
}
