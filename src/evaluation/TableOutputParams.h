#pragma once
// The table output parameters: held by the main window, used by the table
// window for its jobs and copied field by field into the print component's
// properties of the same names. Only the font name and size are stored in the
// settings; the rest lives for one run.
#include "output/GraphicsSettings.h"
#include "output/ZT_TabDruck.h"

#include <QString>
#include <array>
#include <cstdint>

struct TTableOutputParams {
    uint8_t AusgabeGeraet = AG_Bildschirm;     // set before every job
    bool DruckInDatei = false;
    QString DruckDateiName;                    // also names the HTML export
    uint8_t Druck_Bereich = db_AlleSeiten;
    int32_t Von_Seite = 1;
    int32_t Bis_Seite = 99;
    uint8_t Ausrichtung = da_Links;
    bool Rahmen = true;
    bool Spalten_Trennlinien = true;
    bool Zeilen_Trennlinien = true;
    uint8_t Position_SeitenNr = sp_UntenMitte;
    uint8_t Position_Datum = sp_ObenRechts;
    QString SchriftName = QStringLiteral("Courier New"); // string[31]
    int32_t SchriftGroesse = 9;
    std::array<double, 4> SeitenRand_Prozent{}; // left, top, right, bottom
};

// The defaults; the margins come from the global graphics settings, so this is
// called after DefaultGraphicsSettings. The output target is left as it is.
inline void DefaultTableOutputParams(TTableOutputParams& p)
{
    p.DruckInDatei = false;
    p.DruckDateiName.clear();
    p.Druck_Bereich = db_AlleSeiten;
    p.Von_Seite = 1;
    p.Bis_Seite = 99;
    p.Ausrichtung = da_Links;
    p.Rahmen = true;
    p.Spalten_Trennlinien = true;
    p.Zeilen_Trennlinien = true;
    p.Position_SeitenNr = sp_UntenMitte;
    p.Position_Datum = sp_ObenRechts;
    p.SchriftName = QStringLiteral("Courier New");
    p.SchriftGroesse = 9;
    p.SeitenRand_Prozent = {GraphicsSettings.MarginLeft, GraphicsSettings.MarginTop,
                            GraphicsSettings.MarginRight, GraphicsSettings.MarginBottom};
}
