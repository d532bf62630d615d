#include "evaluation/ArchiveReader.h"

#include "evaluation/HeaderKeys.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <vector>

namespace {

constexpr qsizetype ReadBufferSize = 64 * 1024;

bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The fields of a line split at TAB: entry 0 is the text before the first TAB.
QStringList SplitAtTabs(QStringView text)
{
    QStringList fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == QLatin1Char('\t')) {
            fields.append(text.mid(start, i - start).left(ArchiveTextLength).toString());
            start = i + 1;
        }
    }
    return fields;
}

// The fields of a line as the lines of one text: each TAB becomes a line feed,
// and a line feed ends the last field.
QString FieldsAsLines(QStringView rest)
{
    QString value = rest.toString();
    value.replace(QLatin1Char('\t'), QLatin1Char('\n'));
    value += QLatin1Char('\n');
    return value;
}

bool HasLogbookMarker(QStringView text)
{
    return text.contains(u"Audit Trail") || text.contains(u"audit trail") || text.contains(u"Logbuch")
        || text.contains(u"logbook");
}

// The designation of a meta line, shortened: with ArcDesc the text inside the
// last parentheses, otherwise everything up to the end of its first run of
// digits.
QString ShortDesignation(const QString& designation, bool arcDesc)
{
    if (arcDesc) {
        const qsizetype open = designation.lastIndexOf(QLatin1Char('('));
        if (open >= 0) {
            const qsizetype close = designation.indexOf(QLatin1Char(')'), open + 1);
            const QString inner = close < 0 ? designation.mid(open + 1) : designation.mid(open + 1, close - open - 1);
            if (!inner.isEmpty())
                return inner;
        }
    }
    for (qsizetype i = 0; i + 1 < designation.size(); ++i) {
        if (IsAsciiDigit(designation[i]) && !IsAsciiDigit(designation[i + 1]))
            return designation.left(i + 1);
    }
    return designation;
}

} // namespace

TArchiveReader::TArchiveReader(TEvaluationState& state)
    : state_(state), pump_(&platform::MessagePump::Default())
{
}

void TArchiveReader::ReadArchiveLines(const TArchiveLineCallback& callback)
{
    state_.RVDevice = 1;
    state_.DeviceType.clear();

    const QString path = state_.Settings.ArchivPfad + state_.CurrentArchiveFile;
    if (QFileInfo(path).isDir())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;

    std::vector<char> buffer(static_cast<std::size_t>(ReadBufferSize));
    QByteArray carry;   // the start of a line that did not end inside the buffer

    // Hands one line to the callback; false when reading stops.
    // Plain ASCII lines (nearly all of them) are widened into one text that
    // is reused from line to line; others are decoded.
    QString line;
    auto deliver = [&](const char* data, std::size_t size) -> bool {
        if (size > 0 && data[size - 1] == '\r')
            --size;
        // Widened in one pass that also collects the high bits: a loop
        // without an early exit, which the compiler turns into vector code.
        line.resize(qsizetype(size));
        char16_t* out = reinterpret_cast<char16_t*>(line.data());
        unsigned char high = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(data[i]);
            high |= c;
            out[i] = char16_t(c);
        }
        if ((high & 0x80) != 0)
            line = platform::DecodeLine(data, size);
        const uint8_t result = callback(line);
        if (pump_ != nullptr)
            pump_->PumpSometimes();
        return !state_.Abort && result == 1;
    };

    for (;;) {
        const qint64 got = file.read(buffer.data(), ReadBufferSize);
        if (got < 0)
            return;   // read error: the file ends here
        if (got == 0)
            break;
        const char* data = buffer.data();
        const std::size_t size = std::size_t(got);
        std::size_t pos = 0;
        while (pos < size) {
            const void* found = std::memchr(data + pos, '\n', size - pos);
            if (found == nullptr) {
                carry.append(data + pos, qsizetype(size - pos));
                break;
            }
            const std::size_t end = std::size_t(static_cast<const char*>(found) - data);
            bool goOn;
            if (carry.isEmpty()) {
                goOn = deliver(data + pos, end - pos);
            } else {
                carry.append(data + pos, qsizetype(end - pos));
                goOn = deliver(carry.constData(), std::size_t(carry.size()));
                carry.clear();
            }
            if (!goOn)
                return;
            pos = end + 1;
        }
    }
    // A last line without a line end.
    if (!carry.isEmpty())
        deliver(carry.constData(), std::size_t(carry.size()));
}

uint8_t TArchiveReader::ParseHeaderLine(const QString& line, QString& key, QString& value)
{
    key.clear();
    value.clear();
    if (line.size() <= 3)
        return hlNoHeader;

    const QChar kind = line[0];
    const QStringView rest = QStringView(line).mid(1);
    switch (kind.unicode()) {
    case u';': {
        const qsizetype eq = rest.indexOf(QLatin1Char('='));
        if (eq < 0)
            return hlNoHeader;
        key = rest.left(eq).left(ArchiveTextLength).toString();
        value = rest.mid(eq + 1).left(ArchiveTextLength).toString();
        return hlHeader;
    }
    case u'M': {
        if (HasLogbookMarker(rest)) {
            if (!state_.LogbooksAllowed)
                return hlLogbookRefused;
            state_.ValueArchive = false;
        }
        key = HeaderKeyTable[hkDevNo].Key + QLatin1Char('A');
        const QStringList fields = SplitAtTabs(rest);
        state_.ValueNames = fields;
        if (fields.size() <= 2) {
            value = FieldsAsLines(rest).left(ArchiveTextLength);
            return hlHeader;
        }
        if (fields.size() > 3) {
            state_.DeviceType = fields[3];
            const QString& type = state_.DeviceType;
            if (type.size() == 5 && type[0] == QLatin1Char('Q') && type[1] == QLatin1Char('M')
                && type[2] == QLatin1Char('4') && type[4] == QLatin1Char('0'))
                state_.RVDevice = 0;
        } else {
            state_.DeviceType.clear();
        }
        QString designation = fields[1];
        if (!designation.isEmpty())
            designation = QLatin1Char('/') + ShortDesignation(designation, state_.Settings.ArcDesc);
        value = (fields[2] + designation).left(ArchiveTextLength);
        return hlHeader;
    }
    case u'#':
        key = HeaderKeyTable[hkValueNames].Key;
        value = FieldsAsLines(rest);
        return hlHeader;
    case u'E':
        key = HeaderKeyTable[hkUnits].Key;
        value = FieldsAsLines(rest);
        return hlHeader;
    case u'O':
        return hlEndOfHeader;
    default:
        return hlNoHeader;
    }
}

bool TArchiveReader::LayoutAccepts(QStringView text, const TDateLayout& l, QChar sep) const
{
    // Positions are 1-based.
    return text.size() == qsizetype(l.SecondPos) + 1
        && text[l.MonthPos - 2] == sep && text[l.MonthPos + 1] == sep
        && text[l.HourPos + 1] == QLatin1Char(':') && text[l.MinutePos + 1] == QLatin1Char(':');
}

bool TArchiveReader::TryLayout(QStringView text, int layout)
{
    TDateLayout& l = state_.DateLayout;
    QChar sep = QLatin1Char('.');
    switch (layout) {
    case 1: l.DayPos = 1; l.MonthPos = 4; l.YearPos = 7; l.YearLen = 4; break;
    case 2: l.DayPos = 1; l.MonthPos = 4; l.YearPos = 7; l.YearLen = 2; break;
    default: l.YearPos = 1; l.YearLen = 2; l.MonthPos = 4; l.DayPos = 7; sep = QLatin1Char('/'); break;
    }
    l.HourPos = l.YearPos > l.DayPos ? uint8_t(l.YearPos + l.YearLen + 1) : uint8_t(l.DayPos + 3);
    l.MinutePos = uint8_t(l.HourPos + 3);
    l.SecondPos = uint8_t(l.MinutePos + 3);
    return LayoutAccepts(text, l, sep);
}

platform::DateTimeValue TArchiveReader::ReadByLayout(QStringView text) const
{
    const TDateLayout& l = state_.DateLayout;
    // A part that is not all digits ("1X") makes the stamp unreadable: read
    // as 0 it would stand for another time and overwrite that time's line.
    bool digits = true;
    auto part = [&text, &digits](int pos, int len) {
        const QStringView t = text.mid(pos - 1, len);
        int value = 0;
        for (const QChar c : t) {
            if (!IsAsciiDigit(c))
                digits = false;
            else
                value = value * 10 + int(c.unicode() - u'0');
        }
        return value;
    };
    const int day = part(l.DayPos, 2);
    const int month = part(l.MonthPos, 2);
    int year = part(l.YearPos, l.YearLen);
    if (l.YearLen == 2)
        year += year < 80 ? 2000 : 1900;
    const int hour = part(l.HourPos, 2);
    const int minute = part(l.MinutePos, 2);
    const int second = part(l.SecondPos, 2);
    if (!digits)
        return 0.0;
    platform::DateTimeValue date = 0, time = 0;
    if (!platform::TryEncodeDate(year, month, day, date)
        || !platform::TryEncodeTime(hour, minute, second, 0, time))
        return 0.0;
    return platform::ComposeDateTime(date, time);
}

platform::DateTimeValue TArchiveReader::ParseTimestamp(QStringView text)
{
    // Lines of one day share the date part: it is read once, and the time
    // of the common stamp by position (same answers).
    platform::DateTimeValue value = 0;
    if (platform::LocaleFormats::Current().TryParseHeldDayStamp(text, value, dateParse_) && value != 0.0)
        return value;
    return ParseTimestampGeneral(text);
}

platform::DateTimeValue TArchiveReader::ParseTimestampGeneral(QStringView text)
{
    if (text.isEmpty())
        return 0.0;
    platform::DateTimeValue value = 0;
    if (platform::LocaleFormats::Current().TryParseDateTime(text, value, dateParse_) && value != 0.0)
        return value;

    // The layout found last is tried first: an archive keeps its layout, and
    // the layouts exclude each other, so the order does not change the result.
    const TDateLayout& l = state_.DateLayout;
    int known = 0;
    if (l.DayPos == 1 && l.YearLen == 4)
        known = 1;
    else if (l.DayPos == 1 && l.YearLen == 2)
        known = 2;
    else if (l.DayPos == 7)
        known = 3;
    if (known != 0 && TryLayout(text, known))
        return ReadByLayout(text);
    for (int layout = 1; layout <= 3; ++layout) {
        if (layout != known && TryLayout(text, layout))
            return ReadByLayout(text);
    }
    state_.DateLayout.DayPos = 255;
    return 0.0;
}

void ConvertSpecialChars(QString& text)
{
    QChar* p = text.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        switch (p[i].unicode()) {
        case u'[': p[i] = QChar(u'Ä'); break;
        case u'^': p[i] = QChar(u'Ö'); break;
        case u']': p[i] = QChar(u'Ü'); break;
        case u'<': p[i] = QChar(u'ä'); break;
        case u'@': p[i] = QChar(u'ö'); break;
        case u'>': p[i] = QChar(u'ü'); break;
        case u'?': p[i] = QChar(u'ß'); break;
        case u'{': p[i] = QChar(u'°'); break;
        default: break;
        }
    }
}

void StripLeadingZeros(QString& text)
{
    qsizetype n = 0;
    while (text.size() - n > 1 && text[n] == QLatin1Char('0') && text[n + 1] != QLatin1Char('.')
           && text[n + 1] != QLatin1Char(','))
        ++n;
    if (n > 0)
        text.remove(0, n);
}

void FormatNumberText(QString& text)
{
    if (text.isEmpty())
        return;
    qsizetype point = text.indexOf(QLatin1Char(','));
    if (point >= 0)
        text[point] = QLatin1Char('.');
    else
        point = text.indexOf(QLatin1Char('.'));

    if (point >= 0) {
        while (text.size() >= 2 && text.back() == QLatin1Char('0'))
            text.chop(1);
        if (!text.isEmpty() && (text.back() == QLatin1Char('.') || text.back() == QLatin1Char(',')))
            text.chop(1);
        if (!text.isEmpty() && text.back() == QLatin1Char(':')) {
            text.chop(1);
            return;
        }
    } else {
        text += QStringLiteral(".0");
    }
    StripLeadingZeros(text);
    if (text.size() < 8)
        text.prepend(QString(8 - text.size(), QLatin1Char(' ')));
}
