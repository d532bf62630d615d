#pragma once
// The table print component: prints a string grid page by page on the printer,
// onto a preview page or into a text file. The table window creates one and
// copies its output parameters into these properties before every job.
//
// This header holds the component's properties and its title-line store; the
// page layout and the output (ExecutePrinterSetup, PrintTable) are built with
// table printing and are not here yet.
#include <QFont>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>

namespace platform { class TStringGridModel; }

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

class TZT_TabDruck {
public:
    static constexpr int MaxKopfZeilen = 10;
    static constexpr int MaxDruckSpalten = 800;

    int32_t DruckSeitenRand_Links = 40;
    int32_t DruckSeitenRand_Oben = 40;
    int32_t DruckSeitenRand_Rechts = 40;
    int32_t DruckSeitenRand_Unten = 40;
    uint16_t Offset_SeiteNr = 0;
    QFont Schrift_SpaltenUeberschriftZeilen;
    QFont Schrift_DatenZeilen;
    QFont Schrift_DatumSeitenzahlZeilen;
    QFont Schrift_TabellenUeberschriftZeilen;
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

    // The grid to print; also limits the printed columns to the first 800.
    void SetTable(platform::TStringGridModel* grid, int columnCount)
    {
        table_ = grid;
        lastPrintedColumn_ = std::min(columnCount, MaxDruckSpalten) - 1;
    }
    platform::TStringGridModel* Table() const { return table_; }
    int LastPrintedColumn() const { return lastPrintedColumn_; }

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

private:
    platform::TStringGridModel* table_ = nullptr;
    int lastPrintedColumn_ = -1;
    QStringList kopfZeilen_;
};
