#pragma once
// The records that the main window owns and that the non-visual routines of the
// evaluation (archive reader, scan, level provider, head template, evaluator,
// status decoder) work on. The main window fills what comes from its widgets
// before each run; the routines never touch a widget.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// What the user sets in the options dialog.
struct TEinstellungen {
    QString ArchivPfad;                        // archive directory, ends in '/'
    QString DateiMaske = QStringLiteral("*.AG?");
    QString KopfDatei;                         // head template file name (not stored)
    bool HoleTB = false;                       // day begin from the archive header
    bool Format = false;                       // numbers formatted by ZahlenFormat
    bool ZeitImmer = true;                     // time of day always shown
    bool KopfZeile = true;                     // first title line (device header row)
    bool ArcDesc = false;                      // archive description
    uint8_t SondEreig = 1;                     // special events: 0 no, 1 yes, 2 only
    bool OhneDoppelte = true;                  // merge rows of the same time
    bool StatusDekodiert = false;              // status decoded
    bool GerKan = false;                       // RV loggers with device numbers per channel
    bool InstStat = true;                      // status columns with the values
    bool SortOno = false;                      // default sort by ordinal number
    QString ZaehlerText;                       // counter-evaluation text template
    QString ZahlenFormat = QStringLiteral("########.####");
};

// Number of general header values (header key table entries 0..9) and of
// per-channel values (entries 10..12).
constexpr int GeneralHeaderCount = 10;
constexpr int ChannelHeaderCount = 3;
constexpr int MaxChannels = 8;

// Detected time-stamp layout: positions are 1-based; DayPos 255 = none found.
struct TDateLayout {
    uint8_t DayPos = 0;
    uint8_t MonthPos = 0;
    uint8_t YearPos = 0;
    uint8_t YearLen = 0;
    uint8_t HourPos = 0;
    uint8_t MinutePos = 0;
    uint8_t SecondPos = 0;
};

// Shared state of the evaluation: settings, header values of the archive being
// read, and the flags the reader, the scan and the evaluation act on.
struct TEvaluationState {
    TEinstellungen Settings;

    // Settings kept outside the record.
    int UserLevel = 0;                         // BenutzerLevel: kept, nothing acts on it
    int ChannelCount = 4;                      // MaxKanal, 1..8
    bool DateLayoutPerFile = false;            // DatumsFormat = 1
    bool Konvert = true;                       // convert device substitute characters
    bool AutoMode = false;                     // started with "AUTO <path>" on the command line

    // Reader state.
    QString CurrentArchiveFile;                // file name below Settings.ArchivPfad
    bool Busy = false;
    bool Abort = false;
    bool LogbooksAllowed = true;
    bool ValueArchive = true;
    uint8_t RVDevice = 1;                      // 1 family RV, 0 family QM
    QString DeviceType;
    QStringList ValueNames;                    // also the meta line's work list
    QStringList Units;
    TDateLayout DateLayout;

    // Header values of the current archive.
    std::array<QString, GeneralHeaderCount> HeaderValues;
    std::array<std::array<QString, ChannelHeaderCount>, MaxChannels> ChannelValues;
};
