#include "platform/LocaleFormats.h"

#include "platform/CharCopy.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

namespace platform {

namespace {

std::atomic<uint64_t> g_nextIdentity{1};

std::unique_ptr<LocaleFormats>& CurrentSlot()
{
    static std::unique_ptr<LocaleFormats> slot;
    return slot;
}

bool IsBlank(QChar c)
{
    return c.isSpace();
}

void SkipBlanks(QStringView text, qsizetype& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

// Reads 1..maxDigits ASCII digits.
bool ReadNumber(QStringView text, qsizetype& pos, int maxDigits, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (pos < text.size() && digits < maxDigits) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + int(c - u'0');
        ++digits;
        ++pos;
    }
    return digits > 0;
}

// A separator: the character itself with blanks allowed around it, or, for a
// blank separator, at least one blank.
bool ReadSeparator(QStringView text, qsizetype& pos, QChar sep)
{
    if (IsBlank(sep)) {
        const qsizetype start = pos;
        SkipBlanks(text, pos);
        return pos > start;
    }
    SkipBlanks(text, pos);
    if (pos >= text.size() || text[pos] != sep)
        return false;
    ++pos;
    SkipBlanks(text, pos);
    return true;
}

void AppendNumber(QString& out, int value, int width)
{
    char buf[12];
    int n = 0;
    unsigned v = unsigned(value < 0 ? -value : value);
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        out += QLatin1Char('-');
    for (int i = n; i < width; ++i)
        out += QLatin1Char('0');
    while (n > 0)
        out += QLatin1Char(buf[--n]);
}

int ExpandYear(int year, int digits)
{
    if (digits <= 2)
        return year < 80 ? 2000 + year : 1900 + year;
    return year;
}

// Short date formats of some locales name the month or the weekday; the
// platform's short date is numeric, so names become numbers and weekday names
// are left out together with the text that follows them up to the next field.
QString NumericDatePattern(const QString& pattern)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || (c != QLatin1Char('M') && c != QLatin1Char('d'))) {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        if (run <= 2) {
            out += QString(run, c);
        } else if (c == QLatin1Char('M')) {
            out += QStringLiteral("MM");
        } else {
            // A weekday name: drop it and the punctuation and blanks after it.
            while (i < pattern.size() && !pattern[i].isLetter() && pattern[i] != QLatin1Char('\''))
                ++i;
        }
    }
    return out;
}

} // namespace

LocaleFormats::LocaleFormats(const QString& shortDateFormat, const QString& longTimeFormat, const QLocale& locale)
    : shortDate_(shortDateFormat), longTime_(longTimeFormat), locale_(locale), identity_(g_nextIdentity++)
{
    dateTokens_ = Compile(shortDate_);
    timeTokens_ = Compile(longTime_);

    // Order of day, month and year, and the separator between the first two
    // fields of the date.
    int dayIndex = -1, monthIndex = -1, yearIndex = -1;
    bool sepFound = false;
    int fields = 0;
    for (const Token& t : dateTokens_) {
        switch (t.kind) {
        case Tok::Day: case Tok::Day2:
            if (dayIndex < 0) dayIndex = fields++;
            break;
        case Tok::Month: case Tok::Month2: case Tok::MonthName: case Tok::MonthLongName:
            if (monthIndex < 0) monthIndex = fields++;
            break;
        case Tok::Year:
            if (yearIndex < 0) yearIndex = fields++;
            break;
        case Tok::Literal:
            if (!sepFound && fields >= 1 && fields < 3) {
                const QString trimmed = t.text.trimmed();
                dateSep_ = trimmed.isEmpty() ? (t.text.isEmpty() ? QChar(u'/') : t.text[0]) : trimmed[0];
                sepFound = true;
            }
            break;
        default:
            break;
        }
    }
    if (yearIndex == 0)
        order_ = Order::YMD;
    else if (monthIndex >= 0 && dayIndex >= 0 && monthIndex < dayIndex)
        order_ = Order::MDY;
    else
        order_ = Order::DMY;
    if (!sepFound)
        dateSep_ = QChar(u'/');

    bool hourSeen = false;
    bool timeSepFound = false;
    for (const Token& t : timeTokens_) {
        if (t.kind == Tok::Hour24 || t.kind == Tok::Hour24_2 || t.kind == Tok::Hour12 || t.kind == Tok::Hour12_2) {
            hourSeen = true;
        } else if (hourSeen && t.kind == Tok::Literal && !timeSepFound) {
            const QString trimmed = t.text.trimmed();
            if (!trimmed.isEmpty()) {
                timeSep_ = trimmed[0];
                timeSepFound = true;
            }
        } else if (hourSeen && t.kind != Tok::Literal) {
            break;
        }
    }
    if (!timeSepFound)
        timeSep_ = QChar(u':');

    amText_ = locale_.amText();
    pmText_ = locale_.pmText();
    if (amText_.isEmpty())
        amText_ = QStringLiteral("AM");
    if (pmText_.isEmpty())
        pmText_ = QStringLiteral("PM");
    plainTime_ = longTime_ == QStringLiteral("HH") + timeSep_ + QStringLiteral("mm") + timeSep_ + QStringLiteral("ss")
        && !amText_.front().isDigit() && !pmText_.front().isDigit();
    // The ranges of the characters of "HH:mm:ss" read by position, as lower
    // bounds and as what lifts an upper bound to 0x7FFF, four to a word.
    const char16_t sep = timeSep_.unicode();
    const char16_t low[8] = {u'0', u'0', sep, u'0', u'0', sep, u'0', u'0'};
    const char16_t high[8] = {u'2', u'9', sep, u'5', u'9', sep, u'5', u'9'};
    for (int k = 0; k < 8; ++k) {
        const int word = k / 4, shift = 16 * (k % 4);
        timeLow_[word] |= uint64_t(low[k]) << shift;
        timeAdd_[word] |= uint64_t(0x7FFF - std::min<int>(high[k], 0x7FFF)) << shift;
    }
    if (sep >= 0x8000) {
        // No such range: every time goes the general way.
        timeAdd_[0] = timeAdd_[1] = 0x8000800080008000ull;
    }
}

LocaleFormats LocaleFormats::FromLocale(const QLocale& locale)
{
    // The program is German at heart: a German locale and the C locale (no
    // user choice at all) get the German formats.
    if (locale.language() == QLocale::German || locale.language() == QLocale::C)
        return LocaleFormats(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"), locale);
    return LocaleFormats(NumericDatePattern(locale.dateFormat(QLocale::ShortFormat)),
                         locale.timeFormat(QLocale::LongFormat), locale);
}

const LocaleFormats& LocaleFormats::BuildCurrent()
{
    auto& slot = CurrentSlot();
    if (!slot)
        slot = std::make_unique<LocaleFormats>(FromLocale(QLocale::system()));
    current_ = slot.get();
    return *slot;
}

void LocaleFormats::SetCurrent(const LocaleFormats& formats)
{
    // The new formats first: formats may be a copy of the ones in use.
    auto replacement = std::make_unique<LocaleFormats>(formats);
    CurrentSlot() = std::move(replacement);
    current_ = CurrentSlot().get();
}

void LocaleFormats::ResetCurrent()
{
    current_ = nullptr;
    CurrentSlot().reset();
}

std::vector<LocaleFormats::Token> LocaleFormats::Compile(const QString& pattern)
{
    std::vector<Token> tokens;
    auto addLiteral = [&tokens](const QString& text) {
        if (text.isEmpty())
            return;
        if (!tokens.empty() && tokens.back().kind == Tok::Literal)
            tokens.back().text += text;
        else
            tokens.push_back({Tok::Literal, text});
    };
    bool hasAmPm = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if ((pattern[i] == QLatin1Char('a') || pattern[i] == QLatin1Char('A')))
            hasAmPm = true;
        if (pattern[i] == QLatin1Char('\'')) { // skip quoted text in this look-ahead
            ++i;
            while (i < pattern.size() && pattern[i] != QLatin1Char('\''))
                ++i;
        }
    }

    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            if (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('\'')) {
                addLiteral(QStringLiteral("'"));
                i += 2;
                continue;
            }
            qsizetype j = i + 1;
            QString lit;
            while (j < pattern.size()) {
                if (pattern[j] == QLatin1Char('\'')) {
                    if (j + 1 < pattern.size() && pattern[j + 1] == QLatin1Char('\'')) {
                        lit += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += pattern[j++];
            }
            addLiteral(lit);
            i = j + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (c.unicode()) {
        case u'd':
            tokens.push_back({run == 1 ? Tok::Day : run == 2 ? Tok::Day2 : run == 3 ? Tok::DayName : Tok::DayLongName, {}});
            break;
        case u'M':
            tokens.push_back({run == 1 ? Tok::Month : run == 2 ? Tok::Month2 : run == 3 ? Tok::MonthName : Tok::MonthLongName, {}});
            break;
        case u'y':
            tokens.push_back({Tok::Year, {}});
            break;
        case u'h':
            tokens.push_back({hasAmPm ? (run == 1 ? Tok::Hour12 : Tok::Hour12_2) : (run == 1 ? Tok::Hour24 : Tok::Hour24_2), {}});
            break;
        case u'H':
            tokens.push_back({run == 1 ? Tok::Hour24 : Tok::Hour24_2, {}});
            break;
        case u'm':
            tokens.push_back({run == 1 ? Tok::Minute : Tok::Minute2, {}});
            break;
        case u's':
            tokens.push_back({run == 1 ? Tok::Second : Tok::Second2, {}});
            break;
        case u'z':
            tokens.push_back({run == 1 ? Tok::MSec : Tok::MSec3, {}});
            break;
        case u'A':
        case u'a': {
            // "AP", "ap", "A" and "a"; one marker per letter pair.
            const bool upper = c == QLatin1Char('A');
            qsizetype k = i;
            while (k < i + run) {
                tokens.push_back({upper ? Tok::AmPmUpper : Tok::AmPmLower, {}});
                ++k;
                if (k < pattern.size() && (pattern[k] == QLatin1Char('P') || pattern[k] == QLatin1Char('p')))
                    ++k;
            }
            run = k - i;
            break;
        }
        case u't':
            // Time-zone names have no place in the platform's formats.
            break;
        default:
            addLiteral(QString(run, c));
            break;
        }
        i += run;
    }
    // A dropped time zone leaves blanks at the ends.
    if (!tokens.empty() && tokens.back().kind == Tok::Literal) {
        QString& text = tokens.back().text;
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
        if (text.isEmpty())
            tokens.pop_back();
    }
    if (!tokens.empty() && tokens.front().kind == Tok::Literal) {
        QString& text = tokens.front().text;
        while (!text.isEmpty() && text.front().isSpace())
            text.remove(0, 1);
        if (text.isEmpty())
            tokens.erase(tokens.begin());
    }
    return tokens;
}

void LocaleFormats::AppendFormatted(QString& out, const std::vector<Token>& tokens, DateTimeValue value) const
{
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(value, y, mo, d, h, mi, s, ms);
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Tok::Literal: out += t.text; break;
        case Tok::Day: AppendNumber(out, d, 1); break;
        case Tok::Day2: AppendNumber(out, d, 2); break;
        case Tok::DayName:
        case Tok::DayLongName: {
            const int dow = DayOfWeek(value); // 0 Sunday
            out += locale_.dayName(dow == 0 ? 7 : dow, t.kind == Tok::DayName ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        }
        case Tok::Month: AppendNumber(out, mo, 1); break;
        case Tok::Month2: AppendNumber(out, mo, 2); break;
        case Tok::MonthName: out += locale_.monthName(mo, QLocale::ShortFormat); break;
        case Tok::MonthLongName: out += locale_.monthName(mo, QLocale::LongFormat); break;
        case Tok::Year: AppendNumber(out, y, 4); break;
        case Tok::Hour24: AppendNumber(out, h, 1); break;
        case Tok::Hour24_2: AppendNumber(out, h, 2); break;
        case Tok::Hour12: AppendNumber(out, h12, 1); break;
        case Tok::Hour12_2: AppendNumber(out, h12, 2); break;
        case Tok::Minute: AppendNumber(out, mi, 1); break;
        case Tok::Minute2: AppendNumber(out, mi, 2); break;
        case Tok::Second: AppendNumber(out, s, 1); break;
        case Tok::Second2: AppendNumber(out, s, 2); break;
        case Tok::MSec: AppendNumber(out, ms, 1); break;
        case Tok::MSec3: AppendNumber(out, ms, 3); break;
        case Tok::AmPmUpper: out += (h < 12 ? amText_ : pmText_).toUpper(); break;
        case Tok::AmPmLower: out += (h < 12 ? amText_ : pmText_).toLower(); break;
        }
    }
}

QString LocaleFormats::FormatDate(DateTimeValue value) const
{
    DateTimeParts parts;
    DecodeDateTime(value, parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second, parts.msec);
    char16_t buf[64];
    int n = 0;
    if (AppendNumericTo(buf, n, 64, dateTokens_, parts))
        return QString(reinterpret_cast<const QChar*>(buf), n);
    QString out;
    out.reserve(12);
    AppendFormatted(out, dateTokens_, value);
    return out;
}

QString LocaleFormats::FormatTime(DateTimeValue value) const
{
    QString out;
    out.reserve(12);
    AppendFormatted(out, timeTokens_, value);
    return out;
}

namespace {

void AppendNumber16(char16_t* buf, int& n, int value, int width)
{
    // The common case of a two-digit field (day, month, hour, minute, second).
    if (width == 2 && value >= 0 && value < 100) {
        buf[n++] = char16_t(u'0' + value / 10);
        buf[n++] = char16_t(u'0' + value % 10);
        return;
    }
    char digits[12];
    int count = 0;
    unsigned v = unsigned(value < 0 ? -value : value);
    do {
        digits[count++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        buf[n++] = u'-';
    for (int i = count; i < width; ++i)
        buf[n++] = u'0';
    while (count > 0)
        buf[n++] = char16_t(digits[--count]);
}

} // namespace

bool LocaleFormats::AppendNumericTo(char16_t* buf, int& n, int capacity, const std::vector<Token>& tokens,
                                    const DateTimeParts& parts) const
{
    const int y = parts.year, mo = parts.month, d = parts.day, h = parts.hour, mi = parts.minute,
              s = parts.second, ms = parts.msec;
    const int h12 = h % 12 == 0 ? 12 : h % 12;
    for (const Token& t : tokens) {
        // Room for the longest number (a sign and ten digits).
        if (n + 12 + (t.kind == Tok::Literal ? int(t.text.size()) : 0) > capacity)
            return false;
        switch (t.kind) {
        case Tok::Literal:
            for (const QChar c : t.text)
                buf[n++] = c.unicode();
            break;
        case Tok::Day: AppendNumber16(buf, n, d, 1); break;
        case Tok::Day2: AppendNumber16(buf, n, d, 2); break;
        case Tok::Month: AppendNumber16(buf, n, mo, 1); break;
        case Tok::Month2: AppendNumber16(buf, n, mo, 2); break;
        case Tok::Year: AppendNumber16(buf, n, y, 4); break;
        case Tok::Hour24: AppendNumber16(buf, n, h, 1); break;
        case Tok::Hour24_2: AppendNumber16(buf, n, h, 2); break;
        case Tok::Hour12: AppendNumber16(buf, n, h12, 1); break;
        case Tok::Hour12_2: AppendNumber16(buf, n, h12, 2); break;
        case Tok::Minute: AppendNumber16(buf, n, mi, 1); break;
        case Tok::Minute2: AppendNumber16(buf, n, mi, 2); break;
        case Tok::Second: AppendNumber16(buf, n, s, 1); break;
        case Tok::Second2: AppendNumber16(buf, n, s, 2); break;
        case Tok::MSec: AppendNumber16(buf, n, ms, 1); break;
        case Tok::MSec3: AppendNumber16(buf, n, ms, 3); break;
        default:
            return false;   // names and markers take the general way
        }
    }
    return true;
}

QString LocaleFormats::FormatDateTime(DateTimeValue value) const
{
    // Every data row of a table gets one: numeric formats are written into
    // a buffer and become a text once.
    DateTimeParts parts;
    DecodeDateTime(value, parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second, parts.msec);
    char16_t buf[64];
    int n = 0;
    if (AppendNumericTo(buf, n, 62, dateTokens_, parts)) {
        buf[n++] = u' ';
        if (AppendNumericTo(buf, n, 64, timeTokens_, parts))
            return QString(reinterpret_cast<const QChar*>(buf), n);
    }
    QString out;
    out.reserve(24);
    AppendFormatted(out, dateTokens_, value);
    out += QLatin1Char(' ');
    AppendFormatted(out, timeTokens_, value);
    return out;
}

bool LocaleFormats::FillDateCache(DateTimeValue value, int64_t day, DateTextCache& cache) const
{
    if (cache.day == day)
        return true;
    cache.day = INT64_MIN;
    // Only a date format of numbers and literals depends on the day alone.
    for (const Token& t : dateTokens_) {
        switch (t.kind) {
        case Tok::Literal: case Tok::Day: case Tok::Day2: case Tok::Month: case Tok::Month2: case Tok::Year:
            break;
        default:
            return false;
        }
    }
    DateTimeParts parts;
    DecodeDateTime(value, parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second, parts.msec);
    int n = 0;
    if (!AppendNumericTo(cache.text, n, 62, dateTokens_, parts))
        return false;
    cache.day = day;
    cache.dayBegin = day * MSecsPerDay;
    cache.year = parts.year;
    cache.month = parts.month;
    cache.dayOfMonth = parts.day;
    cache.length = n;
    return true;
}

int LocaleFormats::FormatDateTo(DateTimeValue value, DateTextCache& cache, char16_t* buf) const
{
    const int64_t ms = ToMSecs(value);
    const int64_t day = ms >= 0 ? ms / MSecsPerDay : -((-ms + MSecsPerDay - 1) / MSecsPerDay);
    if (!FillDateCache(value, day, cache))
        return -1;
    MoveChars(buf, cache.text, std::size_t(cache.length));
    return cache.length;
}

int LocaleFormats::FormatDateTimeToGeneral(int64_t ms, DateTimeValue value, DateTextCache& cache,
                                           char16_t* buf) const
{
    const int64_t day = ms >= 0 ? ms / MSecsPerDay : -((-ms + MSecsPerDay - 1) / MSecsPerDay);
    if (!FillDateCache(value, day, cache))
        return -1;
    const int rest = int(ms - day * MSecsPerDay);
    int n = cache.length;
    if (plainTime_ && n + 9 <= DateTextCapacity) {
        MoveChars(buf, cache.text, std::size_t(n));
        detail::PutPlainTime(buf + n, unsigned(rest), timeSep_.unicode());
        return n + 9;
    }
    DateTimeParts parts;
    parts.year = cache.year;
    parts.month = cache.month;
    parts.day = cache.dayOfMonth;
    parts.msec = rest % 1000;
    parts.second = rest / 1000 % 60;
    parts.minute = rest / 60000 % 60;
    parts.hour = rest / 3600000;
    MoveChars(buf, cache.text, std::size_t(n));
    buf[n++] = u' ';
    if (AppendNumericTo(buf, n, DateTextCapacity, timeTokens_, parts))
        return n;
    return -1;
}

QString LocaleFormats::FormatDate(DateTimeValue value, DateTextCache& cache) const
{
    char16_t buf[DateTextCapacity];
    const int n = FormatDateTo(value, cache, buf);
    if (n < 0)
        return FormatDate(value);
    return QString(reinterpret_cast<const QChar*>(buf), n);
}

QString LocaleFormats::FormatDateTime(DateTimeValue value, DateTextCache& cache) const
{
    char16_t buf[DateTextCapacity];
    const int n = FormatDateTimeTo(value, cache, buf);
    if (n < 0)
        return FormatDateTime(value);
    return QString(reinterpret_cast<const QChar*>(buf), n);
}

bool LocaleFormats::MatchAmPm(QStringView text, qsizetype& pos, int& ampm) const
{
    if (pos >= text.size())
        return false;
    // A digit starts no marker (unless the locale's own does): the common
    // case of a time stamp, decided without comparing texts.
    const QChar first = text[pos];
    if (first.unicode() >= u'0' && first.unicode() <= u'9' && amText_.front() != first && pmText_.front() != first)
        return false;
    const QStringView rest = text.mid(pos);
    const QString* candidates[2] = {&amText_, &pmText_};
    for (int k = 0; k < 2; ++k) {
        const QString& word = *candidates[k];
        if (rest.startsWith(word, Qt::CaseInsensitive)) {
            pos += word.size();
            ampm = k + 1;
            return true;
        }
    }
    static const QString kAm = QStringLiteral("AM");
    static const QString kPm = QStringLiteral("PM");
    if (rest.startsWith(kAm, Qt::CaseInsensitive)) {
        pos += 2;
        ampm = 1;
        return true;
    }
    if (rest.startsWith(kPm, Qt::CaseInsensitive)) {
        pos += 2;
        ampm = 2;
        return true;
    }
    return false;
}

bool LocaleFormats::TryParseDatePart(QStringView text, qsizetype& pos, DateTimeValue& date) const
{
    pos = 0;
    SkipBlanks(text, pos);

    int n[3];
    int digits[3];
    const int yearField = order_ == Order::YMD ? 0 : 2;
    for (int f = 0; f < 3; ++f) {
        if (f > 0 && !ReadSeparator(text, pos, dateSep_))
            return false;
        if (!ReadNumber(text, pos, f == yearField ? 4 : 2, n[f], digits[f]))
            return false;
    }
    int day, month, year;
    switch (order_) {
    case Order::DMY: day = n[0]; month = n[1]; year = ExpandYear(n[2], digits[2]); break;
    case Order::MDY: month = n[0]; day = n[1]; year = ExpandYear(n[2], digits[2]); break;
    case Order::YMD: default: year = ExpandYear(n[0], digits[0]); month = n[1]; day = n[2]; break;
    }
    // Formats such as "yyyy. MM. dd." end the date with the separator.
    if (!IsBlank(dateSep_) && pos < text.size() && text[pos] == dateSep_)
        ++pos;

    return TryEncodeDate(year, month, day, date);
}

bool LocaleFormats::TryParseTimePart(QStringView text, qsizetype pos, DateTimeValue date, DateTimeValue& result) const
{
    SkipBlanks(text, pos);
    DateTimeValue time = 0;
    if (plainTime_ && text.size() - pos == 8) {
        // "06:15:00" to the end: read by position, as the walk below reads it.
        const char16_t* t = text.utf16() + pos;
        auto digit = [](char16_t c) { return unsigned(c) - unsigned(u'0'); };
        const char16_t sep = timeSep_.unicode();
        if (t[2] == sep && t[5] == sep && digit(t[0]) < 10 && digit(t[1]) < 10 && digit(t[3]) < 10
            && digit(t[4]) < 10 && digit(t[6]) < 10 && digit(t[7]) < 10) {
            const int hour = int(digit(t[0]) * 10 + digit(t[1]));
            const int minute = int(digit(t[3]) * 10 + digit(t[4]));
            const int second = int(digit(t[6]) * 10 + digit(t[7]));
            if (!TryEncodeTime(hour, minute, second, 0, time))
                return false;
            result = ComposeDateTime(date, time);
            return true;
        }
    }
    if (pos < text.size()) {
        int ampm = 0;
        if (MatchAmPm(text, pos, ampm))
            SkipBlanks(text, pos);
        int hour, minute, second = 0, msec = 0, dg;
        if (!ReadNumber(text, pos, 2, hour, dg))
            return false;
        if (pos >= text.size() || text[pos] != timeSep_)
            return false;
        ++pos;
        if (!ReadNumber(text, pos, 2, minute, dg))
            return false;
        if (pos < text.size() && text[pos] == timeSep_) {
            ++pos;
            if (!ReadNumber(text, pos, 2, second, dg))
                return false;
            if (pos < text.size() && (text[pos] == QLatin1Char('.') || text[pos] == QLatin1Char(','))) {
                ++pos;
                if (!ReadNumber(text, pos, 3, msec, dg))
                    return false;
                for (; dg < 3; ++dg)
                    msec *= 10;
            }
        }
        SkipBlanks(text, pos);
        if (ampm == 0 && MatchAmPm(text, pos, ampm))
            SkipBlanks(text, pos);
        if (pos != text.size())
            return false;
        if (ampm != 0) {
            if (hour < 1 || hour > 12)
                return false;
            hour = hour % 12 + (ampm == 2 ? 12 : 0);
        }
        if (!TryEncodeTime(hour, minute, second, msec, time))
            return false;
    }
    result = ComposeDateTime(date, time);
    return true;
}

bool LocaleFormats::TryParseDateTime(QStringView text, DateTimeValue& result) const
{
    qsizetype pos = 0;
    DateTimeValue date = 0;
    return TryParseDatePart(text, pos, date) && TryParseTimePart(text, pos, date, result);
}

qsizetype LocaleFormats::LeadingDateTimeLength(QStringView text) const
{
    qsizetype pos = 0;
    DateTimeValue date = 0;
    if (!TryParseDatePart(text, pos, date))
        return 0;
    // The longest piece behind the date that reads as its time (a time
    // text is short; nothing longer is tried).
    constexpr qsizetype LongestTime = 32;
    qsizetype end = pos;
    for (qsizetype e = std::min(text.size(), pos + LongestTime); e > pos; --e) {
        DateTimeValue result = 0;
        if (TryParseTimePart(text.left(e), pos, date, result)) {
            end = e;
            break;
        }
    }
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return end;
}

QString LocaleFormats::CutBehindDateTime(const QString& text, qsizetype capacity) const
{
    if (text.size() <= capacity)
        return text;
    return text.left(std::max(capacity, LeadingDateTimeLength(text)));
}

bool LocaleFormats::TryParseDateTimeGeneral(QStringView text, DateTimeValue& result, DateParseCache& cache) const
{
    // The held date part holds for a text that agrees with it up to and
    // including the first character behind it.
    const qsizetype held = cache.length;
    const qsizetype size = text.size();
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.utf16());
    if (cache.formats == identity_ && size >= held && detail::SameChars(chars, cache.text, std::size_t(held)))
        return TryParseTimePart(text, cache.timePos, cache.date, result);
    qsizetype pos = 0;
    DateTimeValue date = 0;
    if (!TryParseDatePart(text, pos, date))
        return false;
    // The reading of the date looked at the characters up to pos, that one
    // included when it exists; a text that ends there is not held.
    if (pos < size && pos + 1 <= qsizetype(std::size(cache.text))) {
        cache.formats = identity_;
        cache.length = int(pos + 1);
        cache.timePos = pos;
        cache.plainTime = plainTime_ && IsBlank(text[pos]);
        cache.date = date;
        std::char_traits<char16_t>::copy(cache.text, chars, std::size_t(pos + 1));
    } else {
        cache.formats = 0;
        cache.plainTime = false;
    }
    return TryParseTimePart(text, pos, date, result);
}

DateTimeValue LocaleFormats::ParseDateTime(QStringView text) const
{
    DateTimeValue v = 0;
    return TryParseDateTime(text, v) ? v : 0.0;
}

ScopedLocaleFormats::ScopedLocaleFormats(const LocaleFormats& formats)
    : previous_(LocaleFormats::Current())
{
    LocaleFormats::SetCurrent(formats);
}

ScopedLocaleFormats::~ScopedLocaleFormats()
{
    LocaleFormats::SetCurrent(previous_);
}

} // namespace platform
