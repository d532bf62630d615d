#pragma once
// The table print component: prints a string grid page by page on the printer
// (a printer queue or a PDF file), onto one preview page or into a text file
// with ';' or TAB between the cells (one line per title line and per row: a
// line break inside a cell or title line is written as a blank). Each page
// carries optional title lines, a date line and a page-number line, the
// column header rows and as many data rows as fit; columns keep their
// relative screen widths, columns that do not fit the page width are left
// out. The table window creates one and copies its
// output parameters into these properties before every job.
//
// All pages share one layout: the rows per page follow from the page geometry
// and the fonts, so any page is found without drawing the ones before it, and
// the page count (PageCount()) is the one the preview and the printer see.
#include <QFont>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform { class TStringGridModel; class TPrintCanvas; }

// Output target of a print job.
enum t_AusgabeGeraet : uint8_t { AG_Bildschirm = 0, AG_Vorschau = 1, AG_Drucker = 2 };

// Position of the page-number and date lines; 0 means not printed.
enum TSeitenNrPos : uint8_t {
    sp_Ohne = 0, sp_ObenLinks = 1, sp_ObenMitte = 2, sp_ObenRechts = 3,
    sp_UntenLeft = 4, sp_UntenMitte = 5, sp_UntenRechts = 6
};

// Page range mode.
enum TDruckBereich : uint8_t { db_AlleSeiten = 0, db_Markierung = 1, db_Seitenzahlen = 2 };

// Horizontal alignment of printed cells and title lines.
enum TDruckAusrichtung : uint8_t { da_Links = 0, da_Rechts = 1, da_Mitte = 2 };

// Data cells written to a text file are trimmed of leading and trailing
// control characters and blanks while this is on; the main window switches it
// on at start-up.
extern bool TrimCellsInFile;

class TZT_TabDruck {
public:
    static constexpr int MaxKopfZeilen = 10;
    static constexpr int MaxDruckSpalten = 800;

    TZT_TabDruck();
    ~TZT_TabDruck();
    TZT_TabDruck(const TZT_TabDruck&) = delete;
    TZT_TabDruck& operator=(const TZT_TabDruck&) = delete;

    int32_t DruckSeitenRand_Links = 40;
    int32_t DruckSeitenRand_Oben = 40;
    int32_t DruckSeitenRand_Rechts = 40;
    int32_t DruckSeitenRand_Unten = 40;
    uint16_t Offset_SeiteNr = 0;
    QFont Schrift_SpaltenUeberschriftZeilen;
    QFont Schrift_DatenZeilen;
    QFont Schrift_DatumSeitenzahlZeilen;
    QFont Schrift_TabellenUeberschriftZeilen;
    // Where pages are drawn: the printer's canvas, or the preview's page
    // canvas (already begun by the preview).
    platform::TPrintCanvas* Canvas = nullptr;
    int32_t Breite = 0;
    uint8_t AusgabeGeraet = AG_Bildschirm;
    bool DruckInDatei = false;
    int32_t Hoehe = 0;
    QString DruckAuftragsName;
    uint8_t Ausrichtung = da_Mitte;
    QString DruckDateiName;
    uint8_t Druck_Bereich = db_AlleSeiten;
    int32_t Von_Seite = 1;
    int32_t Bis_Seite = 99;
    bool Rahmen = true;
    bool Spalten_Trennlinien = true;
    bool Zeilen_Trennlinien = true;
    int32_t Luecke_Senkrecht = 10;
    int32_t Luecke_Waagerecht = 20;
    uint8_t Position_SeitenNr = sp_UntenMitte;
    uint8_t Position_Datum = sp_UntenLeft;
    QString Datums_Label;
    // Copies of the range a printout holds, one after the other in the one
    // job (a text file and the preview have one); set by the print dialog.
    int32_t Kopien = 1;

    // The grid to print and its font (the column widths are screen pixels of
    // that font); also limits the printed columns to the first 800.
    void SetTable(platform::TStringGridModel* grid, int columnCount);
    void SetTable(platform::TStringGridModel* grid, int columnCount, const QFont& gridFont);
    platform::TStringGridModel* Table() const { return table_; }
    int LastPrintedColumn() const { return lastPrintedColumn_; }
    // The grid's font; a font given in pixels counts by the screen's dpi.
    QFont TableFont;

    void ClearKopfZeilen() { kopfZeilen_.clear(); }
    // Appends a title line; with ten lines held the oldest one goes.
    void SetKopfZeile(const QString& text)
    {
        if (kopfZeilen_.size() >= MaxKopfZeilen)
            kopfZeilen_.removeFirst();
        kopfZeilen_.append(text.left(255));
    }
    // The last title line, or an empty text.
    QString KopfZeile() const { return kopfZeilen_.isEmpty() ? QString() : kopfZeilen_.last(); }
    const QStringList& KopfZeilen() const { return kopfZeilen_; }

    // The print dialog for pages 1..pageCount on the program's printer; true
    // when accepted (the range, the file switch and the printer's target taken
    // over, the print orientation set from the dialog).
    bool ExecutePrinterSetup(int32_t pageCount);
    // The same with the pages and the note on columns left off for each
    // orientation: the dialog's range follows the orientation chosen there,
    // and a range past the pages of that orientation is refused (false, the
    // user told, nothing taken over).
    struct TPageLayoutInfo {
        int32_t Pages = 1;
        QString Note;
    };
    bool ExecutePrinterSetup(const std::function<TPageLayoutInfo(int orientation)>& layoutFor);

    // Prints the pages of the range. False when the text file cannot be
    // written or the print job cannot begin (the caller shows message 120),
    // and when the range holds none of the table's pages (NothingInRange():
    // no job was begun; the caller tells the user).
    bool PrintTable();
    bool NothingInRange() const { return nothingInRange_; }

    // Lays out the pages on Canvas with the current properties without drawing
    // anything and answers their number (at least 1).
    int32_t CountPages();
    // The pages the last PrintTable or CountPages laid out.
    int32_t PageCount() const { return pageCount_; }

    // The point size of a grid font; one given in pixels counts by the
    // screen's dots per inch.
    static double GridFontPoints(const QFont& font);

    // ---- Layout results of the last job, for tests -----------------------------
    struct TLayout {
        int RowHeight = 0;
        int CharWidth = 0;
        int TitleLineHeight = 0;
        int HeaderHeight = 0;
        int TableTop = 0;
        int TableBottomFull = 0;            // table bottom of a page that is full
        int RowsPerPage = 0;
        int HeaderRows = 0;
        int LastPrintedColumn = -1;
        std::vector<int> X;                 // X[1]..X[count + 1]; X[0] unused
        std::vector<int> Columns;           // grid column of the n-th printed column (1-based)
        // Header texts of the shown columns that do not fit the page width.
        QStringList LeftOutHeaders;
        int ColumnCount() const { return int(Columns.size()) - 1; }
    };
    const TLayout& Layout() const { return layout_; }

private:
    struct TJob;
    struct TSnapshot;
    template <class Source> bool Run(TJob& job, const Source& source, bool drawNothing);
    bool WriteTextFile(TJob& job);

    platform::TStringGridModel* table_ = nullptr;
    int lastPrintedColumn_ = -1;
    QStringList kopfZeilen_;
    bool RunPrinterSetup(int32_t pageCount, const std::function<TPageLayoutInfo(int)>* layoutFor);

    int32_t pageCount_ = 1;
    bool nothingInRange_ = false;
    TLayout layout_;
};
