#include "reports/CellValueScan.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

namespace reports {

namespace {

QChar g_separatorOverride;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

QStringView TrimCellText(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b].unicode() <= ' ')
        ++b;
    while (e > b && text[e - 1].unicode() <= ' ')
        --e;
    return text.mid(b, e - b);
}

bool ConvertReportNumber(QStringView text, double& value)
{
    const qsizetype n = text.size();
    if (n == 0 || n > 300)
        return false;
    char buf[304];
    qsizetype i = 0;
    int out = 0;
    bool point = false, comma = false;
    auto at = [&](qsizetype k) { return k < n ? text[k].unicode() : char16_t(0); };
    // Sign; from_chars takes no '+'.
    if (at(i) == u'+') {
        ++i;
    } else if (at(i) == u'-') {
        buf[out++] = '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (IsDigit(at(i))) {
        buf[out++] = char(at(i++));
        ++mantissaDigits;
    }
    if (at(i) == u'.' || at(i) == u',') {
        (at(i) == u'.' ? point : comma) = true;
        buf[out++] = '.';
        ++i;
        while (IsDigit(at(i))) {
            buf[out++] = char(at(i++));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (at(i) == u'e' || at(i) == u'E') {
        buf[out++] = 'e';
        ++i;
        if (at(i) == u'+' || at(i) == u'-')
            buf[out++] = char(at(i++));
        int expDigits = 0;
        while (IsDigit(at(i))) {
            buf[out++] = char(at(i++));
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n || (point && comma))
        return false;
    double v = 0;
    const auto res = std::from_chars(buf, buf + out, v);
    if (res.ec != std::errc() || res.ptr != buf + out || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QChar SystemDecimalSeparator()
{
    if (!g_separatorOverride.isNull())
        return g_separatorOverride;
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point[0];
}

void SetSystemDecimalSeparatorOverride(QChar separator)
{
    g_separatorOverride = separator;
}

bool ScanValueColumns(const platform::TStringGridModel& grid, int firstCol, QString& numberFormatText,
                      QChar systemSeparator)
{
    bool allNumbers = true;
    const int lastCol = std::min(grid.ColCount() - 1, firstCol + 2);
    for (int c = firstCol; c <= lastCol; ++c) {
        for (int r = grid.FixedRows(); r < grid.RowCount(); ++r) {
            const QStringView t = TrimCellText(grid.CellView(c, r));
            if (t.isEmpty())
                continue;
            double v = 0;
            if (!ConvertReportNumber(t, v)) {
                allNumbers = false;
                break;
            }
            qsizetype p = t.indexOf(QLatin1Char('.'));
            if (p < 0)
                p = t.indexOf(QLatin1Char(','));
            if (p >= 0) {
                // Characters behind the separator (p counts from 0 here).
                const qsizetype decimals = t.size() - p - 1;
                QString f = QStringLiteral("0") + systemSeparator + QString(decimals, QLatin1Char('0'));
                numberFormatText = f.left(12);
            }
        }
    }
    return allNumbers;
}

namespace {

// h:mm or h:mm:ss (hours of one or two digits, 0..23), with the platform's
// time separator or ':'.
bool ParseTimeOfDay(QStringView t, QChar sep, double& value)
{
    int parts[3] = {0, 0, 0};
    int count = 0;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (count < 3) {
        int digits = 0;
        int v = 0;
        while (i < n && IsDigit(t[i].unicode()) && digits < 2) {
            v = v * 10 + (t[i].unicode() - u'0');
            ++i;
            ++digits;
        }
        if (digits == 0 || (count > 0 && digits != 2))
            return false;
        parts[count++] = v;
        if (i == n)
            break;
        if (t[i] != sep && t[i] != QLatin1Char(':'))
            return false;
        ++i;
    }
    if (i != n || count < 2)
        return false;
    return platform::TryEncodeTime(parts[0], parts[1], parts[2], 0, value);
}

// First day the spreadsheet's serial numbers show correctly (1 March 1900).
constexpr double FirstShownDate = 61.0;

} // namespace

TCellClass ClassifyCellText(QStringView t, const platform::LocaleFormats& formats)
{
    TCellClass result;
    if (t.isEmpty())
        return result;
    platform::DateTimeValue dt = 0;
    if (formats.TryParseDateTime(t, dt)) {
        const bool withTime = t.contains(formats.TimeSeparator()) || t.contains(QLatin1Char(':'));
        result.Kind = withTime ? TCellTextKind::DateTime : TCellTextKind::Date;
        result.Value = dt;
        result.Converted = dt >= FirstShownDate;
        return result;
    }
    double time = 0;
    if (ParseTimeOfDay(t, formats.TimeSeparator(), time)) {
        result.Kind = TCellTextKind::Time;
        result.Value = time;
        result.Converted = true;
        return result;
    }
    result.Kind = TCellTextKind::Number;
    QString kept;
    kept.reserve(t.size());
    for (const QChar c : t)
        if (IsDigit(c.unicode()) || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.'))
            kept += c;
    double v = 0;
    result.Converted = ConvertReportNumber(kept, v);
    result.Value = result.Converted ? v : 0.0;
    return result;
}

TStampShape ReadStampCell(QStringView t, const platform::LocaleFormats& formats,
                          platform::LocaleFormats::DateParseCache& cache, double& value)
{
    // Only a text that begins with a digit can be a numeric date; the rest
    // (names, device numbers with letters) is passed over at once.
    if (t.isEmpty() || !IsDigit(t[0].unicode()))
        return TStampShape::None;
    platform::DateTimeValue dt = 0;
    if (!formats.TryParseDateTime(t, dt, cache) || dt < FirstShownDate)
        return TStampShape::None;
    value = dt;
    // The time follows the date after a blank; its separators tell whether
    // seconds are shown (a time separator may equal the date's, so only the
    // part behind the blank is counted).
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return TStampShape::Date;
    const QStringView time = t.mid(blank + 1);
    const QChar sep = formats.TimeSeparator();
    const qsizetype seps = time.count(sep) + (sep == QLatin1Char(':') ? 0 : time.count(QLatin1Char(':')));
    if (seps == 0)
        return TStampShape::Date;
    return seps >= 2 ? TStampShape::DateSeconds : TStampShape::DateMinutes;
}

QString StampFormatText(const platform::LocaleFormats& formats, TStampShape shape)
{
    QString date = formats.ShortDateFormat();
    // The platform writes four-digit years whatever its format says.
    if (!date.contains(QLatin1String("yyyy")))
        date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    if (shape == TStampShape::Date || shape == TStampShape::None)
        return date;
    QString time;
    const QString& pattern = formats.LongTimeFormat();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            // Quoted literals stay whole.
            const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end + 1;
            time += QStringView(pattern).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('t') || c == QLatin1Char('z')) {
            // The time zone and milliseconds are never written.
        } else if (c == QLatin1Char('s') && shape == TStampShape::DateMinutes) {
            // Seconds and the separator before them go.
            while (!time.isEmpty() && !time.back().isLetter() && time.back() != QLatin1Char('\''))
                time.chop(1);
            while (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('s'))
                ++i;
        } else {
            time += c;
        }
    }
    return date + QLatin1Char(' ') + time.trimmed();
}

} // namespace reports
