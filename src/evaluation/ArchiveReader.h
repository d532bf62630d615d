#pragma once
// Reading archive files: the line reader, the header-line parser, the
// time-stamp parser and the number-text routines.
//
// An archive is TAB-separated text with CR LF line ends. The header runs up to
// the first line of at least 4 characters that starts with 'O'; its lines are
// ";KEY=value", the meta line "M" (designation, device number, device type),
// the value names "#" and the units "E". The data lines that follow hold the
// ordinal number, the time stamp and the values.
#include "evaluation/EvaluationState.h"
#include "platform/DateTimeValue.h"
#include "platform/LocaleFormats.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>

namespace platform { class MessagePump; }

// Results of ParseHeaderLine.
enum THeaderLineResult : uint8_t {
    hlHeader = 0,          // a header line: key and value are set
    hlNoHeader = 1,        // no header line: key and value are empty
    hlEndOfHeader = 3,     // the "O" line that ends the header
    hlLogbookRefused = 4,  // a logbook meta line while logbooks are not allowed:
                           // the caller stops reading this file
};

// Per-line callback: 1 go on, any other value stop.
using TArchiveLineCallback = std::function<uint8_t(const QString& line)>;

// Texts taken from archives (header keys and values, data fields) are cut to
// this many characters.
constexpr int ArchiveTextLength = 132;

class TArchiveReader {
public:
    explicit TArchiveReader(TEvaluationState& state);

    // The pump let through after every line; the program's default pump
    // unless another one is set.
    void SetPump(platform::MessagePump* pump) { pump_ = pump; }

    // Reads Settings.ArchivPfad + CurrentArchiveFile line by line and hands
    // every line to the callback. Before opening, the RV-device flag is set to
    // 1 and the device type is emptied. Stops at the end of the file, on a
    // read error, when Abort is set after a line, or when the callback answers
    // anything but 1. A file that cannot be opened or is empty yields no line.
    void ReadArchiveLines(const TArchiveLineCallback& callback);

    // Classifies one line; see THeaderLineResult. Key and value are cut to
    // ArchiveTextLength, except the value-name ("#") and unit ("E") lines,
    // whose value is kept whole: their fields become the lines of the value.
    uint8_t ParseHeaderLine(const QString& line, QString& key, QString& value);

    // Reads a time stamp (field 1 of a data line): first by the platform's
    // formats, then by the layouts "dd.mm.yyyy hh:mm:ss",
    // "dd.mm.yy hh:mm:ss" and "yy/mm/dd hh:mm:ss". The layout found is kept in
    // the state's DateLayout (DayPos 255: none). 0 when the text cannot be read.
    platform::DateTimeValue ParseTimestamp(QStringView text);

private:
    // ParseTimestamp for a text not read by the formats' short way.
    platform::DateTimeValue ParseTimestampGeneral(QStringView text);
    bool TryLayout(QStringView text, int layout);
    bool LayoutAccepts(QStringView text, const TDateLayout& l, QChar sep) const;
    platform::DateTimeValue ReadByLayout(QStringView text) const;

    TEvaluationState& state_;
    platform::MessagePump* pump_;
    int lastLayout_ = 0;
    // The date part of the time stamp read last with the platform's formats.
    platform::LocaleFormats::DateParseCache dateParse_;   // layout accepted last (1..3), tried first next time
};

// Replaces the device substitute characters by their letters:
// [ Ä, ^ Ö, ] Ü, < ä, @ ö, > ü, ? ß, { °.
void ConvertSpecialChars(QString& text);

// Removes leading '0' characters while more than one character is left and the
// second is no decimal separator ("007" 7, "0.5" and "0,5" stay, "000" 0).
void StripLeadingZeros(QString& text);

// Normalises a number text for the table: ',' becomes '.', trailing zeros of
// the fraction and a bare decimal point go, a whole number gets ".0", leading
// zeros go, and the text is padded on the left to 8 characters
// ("00123" "   123.0", "12,500" "    12.5", "12.000" "      12").
// An empty text stays empty.
void FormatNumberText(QString& text);
