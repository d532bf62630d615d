#pragma once
// The report head template: the lines above the table (and atop printouts and
// reports), one template line per title line with bracketed placeholders.
// The file "AV_HD_" + language abbreviation + ".TXT" lives in the program
// directory; when it is missing a default made from the header key table is
// written there, so the user can edit it.
//
// Placeholders (letters compared without case):
//   [Dat] today, [DatStart] and [DatEnd] the period's first and last day (each
//   in the platform's short date format), [DevTyp] the device type; these four
//   replace their first occurrence only.
//   "[" + key + "]" for the header keys 0..9, "[DEVNOA]", "[ANALOGCA]" and
//   "[CPVALUEA]" for the channel keys, and "[DEVNO]" (the device number up to
//   its first "/"); these replace every occurrence.
// A line beginning with ";1:" is used only for a selection of one device.
#include "evaluation/EvaluationState.h"
#include "platform/DateTimeValue.h"

#include <QString>
#include <QStringList>

class TTableModel;

namespace platform {
class TStringGridModel;
}

// Marker of template lines used only for one-device selections.
inline QString SingleDeviceMarker() { return QStringLiteral(";1:"); }
// Width of every filled header value and of the device type.
constexpr int TitleValueWidth = 14;
// Width of the caption of a default template item.
constexpr int TemplateCaptionWidth = 12;
// A title line is a short string of 255.
constexpr int TitleLineLength = 255;

// Today's date, the period, the device type and whether one device is
// selected: what the title needs besides the overview row.
struct TTitleInput {
    platform::DateTimeValue Today = 0;
    platform::DateTimeValue PeriodStart = 0;
    platform::DateTimeValue PeriodEnd = 0;   // the last day, not the effective end
    QString DeviceType;                      // of the first archive
    bool OneDevice = true;                   // the evaluation's logbooks-allowed flag
};

// A date in the platform's short date format, whole (a date text is never
// cut inside itself).
QString FormatDateText(platform::DateTimeValue value);

class THeadTemplate {
public:
    THeadTemplate() = default;

    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines) { lines_ = lines; }

    // "AV_HD_" + language + ".TXT" in the program directory (exact name, else
    // without regard to case).
    static QString TemplateFileName(const QString& language);

    // Sets the template file name (also into settings.KopfDatei), loads the
    // file, or builds the default, keeps it and writes it (a failure to write
    // is ignored). reportCaption and periodCaption are the translated
    // "Bericht vom" and "Zeitraum"; the item captions come from HeaderKeyTable.
    void LoadHeadTemplate(const QString& language, TEinstellungen& settings,
                          const QString& reportCaption = QStringLiteral("Bericht vom"),
                          const QString& periodCaption = QStringLiteral("Zeitraum"));
    // Load or save the lines; false when the file cannot be read or written
    // (the list is left as it was when loading fails).
    bool LoadHeadTemplateFile(const QString& fileName);
    bool SaveHeadTemplateFile(const QString& fileName) const;

    // The default template in the current captions of HeaderKeyTable.
    static QStringList DefaultHeadTemplate(const QString& reportCaption, const QString& periodCaption);

    // The filled title lines for the first archive's row of the file overview.
    QStringList TitleLines(const platform::TStringGridModel& overview, int row, const TTitleInput& input) const;
    // Adds TitleLines to the table (AddTitleLine), empty lines included.
    void BuildTitle(const platform::TStringGridModel& overview, int row, const TTitleInput& input,
                    TTableModel& table) const;

    // One template line filled in one left-to-right pass (inserted text is
    // never scanned again); the ";1:" marker is not handled here.
    static QString FillTemplateLine(const QString& line, const platform::TStringGridModel& overview, int row,
                                    const TTitleInput& input);
    // The device number as "[DEVNO]" shows it: a number beginning with "3" gets
    // "2" as its second character and is taken whole; any other is cut before
    // its first "/".
    static QString TitleDeviceNumber(const QString& deviceNumber);

private:
    QStringList lines_;
};
