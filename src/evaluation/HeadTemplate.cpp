#include "evaluation/HeadTemplate.h"

#include "base/ZT_Tools.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/TableModel.h"
#include "platform/LocaleFormats.h"
#include "platform/ProgramPath.h"
#include "platform/SafeFile.h"
#include "platform/StringGrid.h"
#include "platform/TextCodec.h"

#include <QFile>

#include <utility>
#include <vector>

namespace {

constexpr int DeviceNumberColumn = 1;   // overview column of the device number

char16_t AsciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool EqualsAsciiNoCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i].unicode()) != AsciiUpper(b[i].unicode()))
            return false;
    }
    return true;
}

// The placeholder of header key table entry k: the channel entries name
// channel A.
QString KeyPlaceholder(int k)
{
    QString key = HeaderKeyTable[std::size_t(k)].Key;
    if (k >= FirstChannelKey)
        key += QLatin1Char('A');
    return QLatin1Char('[') + key + QLatin1Char(']');
}

QString OverviewCell(const platform::TStringGridModel& overview, int col, int row)
{
    if (row < 0 || row >= platform::MaxGridCount)
        return {};
    return overview.Cell(col, row);
}

} // namespace

QString FormatDateText(platform::DateTimeValue value)
{
    // The text is one date, and a date text is never cut inside itself: a
    // long format keeps its year.
    return platform::LocaleFormats::Current().FormatDate(value);
}

QString THeadTemplate::TemplateFileName(const QString& language)
{
    return platform::ProgramDataFile(QStringLiteral("AV_HD_") + language + QStringLiteral(".TXT"));
}

void THeadTemplate::LoadHeadTemplate(const QString& language, TEinstellungen& settings,
                                     const QString& reportCaption, const QString& periodCaption)
{
    const QString fileName = TemplateFileName(language);
    settings.KopfDatei = fileName;
    if (LoadHeadTemplateFile(fileName))
        return;
    lines_ = DefaultHeadTemplate(reportCaption, periodCaption);
    // The default is used for this run even when it cannot be written.
    (void)SaveHeadTemplateFile(fileName);
}

bool THeadTemplate::LoadHeadTemplateFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    lines_ = bytes.isEmpty() ? QStringList() : platform::DecodeText(bytes).split(QLatin1Char('\n'));
    return true;
}

bool THeadTemplate::SaveHeadTemplateFile(const QString& fileName) const
{
    return platform::WriteWholeFile(fileName, platform::EncodeLines(lines_));
}

QStringList THeadTemplate::DefaultHeadTemplate(const QString& reportCaption, const QString& periodCaption)
{
    QStringList out;
    out.append(reportCaption + QStringLiteral(": [Dat]"));
    out.append(periodCaption + QStringLiteral(": [DatStart] - [DatEnd]"));

    QString collected;
    int items = 0;
    const auto add = [&](const QString& item) {
        if (items > 0)
            collected += QStringLiteral("   ");
        collected += item;
        if (++items == 3) {
            out.append(SingleDeviceMarker() + collected);
            collected.clear();
            items = 0;
        }
    };
    for (int k = 0; k < HeaderKeyCount; ++k) {
        const THeaderKey& entry = HeaderKeyTable[std::size_t(k)];
        if (!entry.InTemplate)
            continue;
        // Entries up to the device number keep their key; the later channel
        // entries name channel A.
        QString key = entry.Key;
        if (k > hkDevNo)
            key += QLatin1Char('A');
        add(PadRightBlanks(entry.Caption, TemplateCaptionWidth) + QStringLiteral(" : [") + key
            + QLatin1Char(']'));
        if (k == hkDevNo)
            add(QStringLiteral("Typ          : [DevTyp]"));
    }
    if (items > 0)
        out.append(SingleDeviceMarker() + collected);
    return out;
}

QString THeadTemplate::TitleDeviceNumber(const QString& deviceNumber)
{
    if (deviceNumber.startsWith(QLatin1Char('3'))) {
        QString s = deviceNumber;
        if (s.size() >= 2)
            s[1] = QLatin1Char('2');
        return s;
    }
    const qsizetype slash = deviceNumber.indexOf(QLatin1Char('/'));
    return slash < 0 ? deviceNumber : deviceNumber.left(slash);
}

QString THeadTemplate::FillTemplateLine(const QString& line, const platform::TStringGridModel& overview, int row,
                                        const TTitleInput& input)
{
    // The four single placeholders replace their first occurrence only.
    bool usedDat = false, usedStart = false, usedEnd = false, usedType = false;

    const auto resolve = [&](QStringView token, QString& replacement) -> bool {
        if (!usedDat && EqualsAsciiNoCase(token, u"[Dat]")) {
            usedDat = true;
            replacement = FormatDateText(input.Today);
            return true;
        }
        if (!usedStart && EqualsAsciiNoCase(token, u"[DatStart]")) {
            usedStart = true;
            replacement = FormatDateText(input.PeriodStart);
            return true;
        }
        if (!usedEnd && EqualsAsciiNoCase(token, u"[DatEnd]")) {
            usedEnd = true;
            replacement = FormatDateText(input.PeriodEnd);
            return true;
        }
        if (!usedType && EqualsAsciiNoCase(token, u"[DevTyp]")) {
            usedType = true;
            replacement = PadRightBlanks(input.DeviceType, TitleValueWidth);
            return true;
        }
        if (EqualsAsciiNoCase(token, u"[DEVNO]")) {
            replacement = PadRightBlanks(TitleDeviceNumber(OverviewCell(overview, DeviceNumberColumn, row)),
                                         TitleValueWidth);
            return true;
        }
        for (int k = 0; k < HeaderKeyCount; ++k) {
            const QString placeholder = KeyPlaceholder(k);
            if (!EqualsAsciiNoCase(token, placeholder))
                continue;
            const QString cell = OverviewCell(overview, HeaderKeyTable[std::size_t(k)].OverviewColumn, row);
            // A cell that is its own placeholder is left in place.
            if (cell == placeholder)
                return false;
            replacement = PadRightBlanks(cell, TitleValueWidth);
            return true;
        }
        return false;
    };

    QString out;
    out.reserve(line.size() + 64);
    std::vector<std::pair<qsizetype, qsizetype>> dateSpans;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = line[i];
        if (c != u'[') {
            out += c;
            ++i;
            continue;
        }
        const qsizetype close = line.indexOf(QLatin1Char(']'), i + 1);
        if (close < 0) {
            out += QStringView(line).mid(i);
            break;
        }
        QString replacement;
        const int datesBefore = int(usedDat) + int(usedStart) + int(usedEnd);
        if (resolve(QStringView(line).mid(i, close - i + 1), replacement)) {
            if (int(usedDat) + int(usedStart) + int(usedEnd) > datesBefore)
                dateSpans.emplace_back(out.size(), out.size() + replacement.size());
            out += replacement;
            i = close + 1;
        } else {
            // No placeholder here: the bracket stays, and scanning goes on
            // behind it (a placeholder may start inside "[[Dat]").
            out += c;
            ++i;
        }
    }
    // The line's cut never falls inside a date: it moves behind it.
    qsizetype cut = TitleLineLength;
    for (const auto& [begin, end] : dateSpans)
        if (begin < cut && cut < end)
            cut = end;
    out.truncate(cut);
    return out;
}

QStringList THeadTemplate::TitleLines(const platform::TStringGridModel& overview, int row,
                                      const TTitleInput& input) const
{
    QStringList out;
    for (const QString& line : lines_) {
        QString s = line.left(TitleLineLength);
        const qsizetype marker = s.indexOf(SingleDeviceMarker());
        if (marker >= 0) {
            s.remove(marker, SingleDeviceMarker().size());
            if (!input.OneDevice)
                continue;
        }
        out.append(FillTemplateLine(s, overview, row, input));
    }
    return out;
}

void THeadTemplate::BuildTitle(const platform::TStringGridModel& overview, int row, const TTitleInput& input,
                               TTableModel& table) const
{
    for (const QString& line : TitleLines(overview, row, input))
        table.AddTitleLine(line);
}
