#include "evaluation/StatusDecoder.h"

#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"
#include "platform/IniFile.h"
#include "platform/ProgramPath.h"
#include "platform/StringGrid.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <algorithm>

namespace {

constexpr char16_t Tab = u'\t';

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool IsHexDigit(QChar c)
{
    return IsAsciiDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// A character that belongs to a status code: decimal digits, upper-case "A" to
// "F" and "x". Lower-case hexadecimal letters end the code.
bool IsCodeChar(QChar c)
{
    return IsAsciiDigit(c) || (c >= u'A' && c <= u'F') || c == u'x';
}

char16_t AsciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// Compares two texts with the ASCII letters folded to upper case; <0, 0, >0.
int CompareAsciiNoCase(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = AsciiUpper(a[i].unicode());
        const char16_t cb = AsciiUpper(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool ContainsNoCase(const QStringList& list, QStringView name)
{
    for (const QString& key : list) {
        if (name.compare(QStringView(key), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// "0x" + four hexadecimal digits + ": " + text: the form a decoded cell has.
bool IsDecodedForm(const QString& s)
{
    return s.size() >= 8 && s[0] == u'0' && s[1] == u'x' && IsHexDigit(s[2]) && IsHexDigit(s[3])
           && IsHexDigit(s[4]) && IsHexDigit(s[5]) && s[6] == u':' && s[7] == u' ';
}

QString FamilyCode(uint8_t rvDevice)
{
    return rvDevice != 0 ? QStringLiteral("RV") : QStringLiteral("QM");
}

} // namespace

// ---- Loading ----------------------------------------------------------------------

void TStatusDecoder::LoadFromProgramDirectory(const QString& eventCodeFile)
{
    LoadOrdinaryEvents(platform::ProgramDataFile(OrdinaryEventFileName()));
    LoadEventCodeTexts(platform::ProgramDataFile(eventCodeFile));
}

bool TStatusDecoder::LoadOrdinaryEvents(const QString& fileName)
{
    QStringList codes;
    bool ok = false;
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        ok = file.error() == QFileDevice::NoError;
        if (ok && !bytes.isEmpty())
            codes = platform::DecodeText(bytes).split(QLatin1Char('\n'));
    }
    SetOrdinaryEvents(ok ? codes : QStringList());
    return ok;
}

void TStatusDecoder::SetOrdinaryEvents(const QStringList& codes)
{
    ordinaryEvents_ = codes;
    sortedEvents_.clear();
    sortedEvents_.reserve(std::size_t(codes.size()));
    for (const QString& code : codes)
        sortedEvents_.push_back(UpperCaseShort(code));
    std::sort(sortedEvents_.begin(), sortedEvents_.end(),
              [](const QString& a, const QString& b) { return CompareAsciiNoCase(a, b) < 0; });
}

void TStatusDecoder::AddStatusTexts(const QStringList& lines, QStringList& list, QHash<QString, QString>& map)
{
    list = lines;
    map.clear();
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = UpperCaseShort(line.left(eq));
        if (!map.contains(key))
            map.insert(key, line.mid(eq + 1));
    }
}

void TStatusDecoder::AddKeyOnce(QStringList& list, const QString& key)
{
    if (!ContainsNoCase(list, key))
        list.append(key);
}

void TStatusDecoder::LoadEventCodeTexts(const QString& fileName)
{
    eventCodeFile_ = fileName;
    QStringList rv;
    QStringList qm;
    QStringList header;
    if (!fileName.isEmpty()) {
        const platform::IniFile ini(fileName);
        rv = ini.ReadSectionValues(QStringLiteral("RV"));
        qm = ini.ReadSectionValues(QStringLiteral("QM"));
        if (rv.isEmpty() || qm.isEmpty()) {
            const QStringList both = ini.ReadSectionValues(QStringLiteral("RVQM"));
            if (rv.isEmpty())
                rv = both;
            if (qm.isEmpty())
                qm = both;
        }
        header = ini.ReadSectionValues(QStringLiteral("Header"));
    }
    AddStatusTexts(rv, rvTexts_, rvMap_);
    AddStatusTexts(qm, qmTexts_, qmMap_);

    // The "Header" section once into a map; its values are those ReadString
    // would give, so reading key by key would answer the same.
    QHash<QString, QString> values;
    for (const QString& line : header) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            values.insert(UpperCaseShort(line.left(eq)), line.mid(eq + 1));
    }
    const auto readKeys = [&values](const QString& prefix) {
        QStringList keys;
        for (int i = 1; i <= MaxHeaderStatusKeys; ++i) {
            const QString value = values.value(UpperCaseShort(prefix + QString::number(i)));
            if (value.isEmpty())
                break;
            keys.append(value);
        }
        return keys;
    };
    statusKeys_ = readKeys(QStringLiteral("Status"));
    AddKeyOnce(statusKeys_, QStringLiteral("StAe"));
    AddKeyOnce(statusKeys_, QStringLiteral("S.AEN"));
    gonrKeys_ = readKeys(QStringLiteral("GONr"));
    AddKeyOnce(gonrKeys_, QStringLiteral("GONr"));
}

bool TStatusDecoder::IsStatusKey(QStringView name) const
{
    return ContainsNoCase(statusKeys_, name);
}

bool TStatusDecoder::IsGONrKey(QStringView name) const
{
    return ContainsNoCase(gonrKeys_, name);
}

// ---- Special events ----------------------------------------------------------------

QStringView TStatusDecoder::StatusCodeOfLine(QStringView line)
{
    const qsizetype n = line.size();
    for (qsizetype i = 0; i + 2 < n; ++i) {
        if (line[i] != Tab || line[i + 1] != u'0' || line[i + 2] != u'x')
            continue;
        qsizetype end = i + 1;
        while (end < n && IsCodeChar(line[end]))
            ++end;
        return line.mid(i + 1, end - (i + 1));
    }
    return {};
}

QChar TStatusDecoder::IsSpecialEvent(QStringView line) const
{
    // Called for every data line: the first TAB "0x" is found by its "x",
    // which is rare in a line, in one walk; the code is read from there.
    const char16_t* chars = line.utf16();
    const qsizetype n = line.size();
    qsizetype x = -1;
    if (n >= 3) {
        const char16_t* const end = chars + n;
        for (const char16_t* p = platform::FindChar(chars + 2, end, u'x'); p < end;
             p = platform::FindChar(p + 1, end, u'x')) {
            if (p[-1] == u'0' && p[-2] == u'\t') {
                x = p - chars;
                break;
            }
        }
    }
    if (x < 0)
        return QLatin1Char('0');
    const QStringView code = StatusCodeOfLine(line.mid(x - 2));
    if (code.size() < 3)
        return QLatin1Char('0');
    const auto it = std::lower_bound(sortedEvents_.begin(), sortedEvents_.end(), code,
                                     [](const QString& entry, QStringView c) {
                                         return CompareAsciiNoCase(entry, c) < 0;
                                     });
    const bool ordinary = it != sortedEvents_.end() && CompareAsciiNoCase(*it, code) == 0;
    return ordinary ? QLatin1Char('0') : QLatin1Char('1');
}

// ---- Status columns ------------------------------------------------------------------

bool TStatusDecoder::FindStatusColumn(const platform::TStringGridModel& grid, int nameRow, uint16_t& column) const
{
    if (nameRow < 0 || nameRow >= platform::MaxGridCount)
        return false;
    for (int c = grid.FixedCols(); c < grid.ColCount(); ++c) {
        if (IsStatusKey(grid.Cell(c, nameRow))) {
            column = uint16_t(c);
            return true;
        }
    }
    return false;
}

QString TStatusDecoder::StatusText(const QString& code, uint8_t rvDevice) const
{
    const QHash<QString, QString>& map = rvDevice != 0 ? rvMap_ : qmMap_;
    return map.value(UpperCaseShort(code));
}

QString TStatusDecoder::DecodedCellText(const QString& cell, uint8_t rvDevice) const
{
    if (cell.size() < 2)
        return cell;
    QString s = cell;

    // A decimal status number becomes "x" and its four hexadecimal digits.
    bool allDigits = true;
    uint32_t value = 0;
    for (QChar c : s) {
        if (!IsAsciiDigit(c)) {
            allDigits = false;
            break;
        }
        if (value <= 65535u)
            value = value * 10u + uint32_t(c.unicode() - u'0');
    }
    if (allDigits && value <= 65535u)
        s = QLatin1Char('x') + HexWord(uint16_t(value));

    if (s.startsWith(QLatin1Char('x'))) {
        s.prepend(QLatin1Char('0'));
        s += QStringLiteral(": ") + StatusText(s, rvDevice);
    } else if (IsDecodedForm(s)) {
        // Back to the code alone, so a further click decodes it again. Other
        // cells that begin with "0" ("0.5", a raw "0x8104") are no decoded
        // status and stay as they are.
        s = s.mid(1, 5);
    }
    return s;
}

void TStatusDecoder::DecodeStatusCell(platform::TStringGridModel& grid, int col, int row, uint8_t rvDevice) const
{
    const QString cell = grid.Cell(col, row);
    const QString decoded = DecodedCellText(cell, rvDevice);
    if (decoded != cell)
        grid.SetCell(col, row, decoded);
}

void TStatusDecoder::DecodeStatusColumn(platform::TStringGridModel& grid, int col, uint8_t rvDevice) const
{
    grid.BeginUpdate();
    for (int row = grid.FixedRows(); row < grid.RowCount(); ++row)
        DecodeStatusCell(grid, col, row, rvDevice);
    grid.SetColWidth(col, DecodedColumnWidth);
    grid.EndUpdate();
}

// ---- Event hint ------------------------------------------------------------------------

bool TStatusDecoder::IsEventColumnName(QStringView name)
{
    return name.size() > 3 && name[0] == u'S' && (name[1] == u'T' || name[1] == u't')
           && (name[2] == u'.' || name[2] == u'S');
}

QString TStatusDecoder::EventDescription(const QString& columnName, const QString& code, uint8_t rvDevice) const
{
    if (eventCodeFile_.isEmpty())
        return {};
    const platform::IniFile ini(eventCodeFile_);
    return ini.ReadString(FamilyCode(rvDevice) + QLatin1Char('_') + columnName, code, QString());
}

QStringList TStatusDecoder::EventHintLines(const QString& cell, const QString& columnName, uint8_t rvDevice) const
{
    QStringList lines;
    if (cell.isEmpty() || cell == QLatin1String("0"))
        return lines;
    const QStringList codes = cell.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (codes.isEmpty())
        return lines;
    // The file is read once for all codes of the cell.
    QStringList section;
    if (!eventCodeFile_.isEmpty()) {
        const platform::IniFile ini(eventCodeFile_);
        section = ini.ReadSectionValues(FamilyCode(rvDevice) + QLatin1Char('_') + columnName);
    }
    for (const QString& code : codes) {
        // A key is found as ReadString finds it: trimmed, without case.
        const QString key = code.trimmed();
        QString description;
        for (const QString& entry : section) {
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            if (eq >= 0 && QStringView(entry).left(eq).compare(key, Qt::CaseInsensitive) == 0) {
                description = entry.mid(eq + 1);
                break;
            }
        }
        lines.append(columnName + QLatin1Char('#') + code + QStringLiteral(": ") + description);
    }
    return lines;
}

bool TStatusDecoder::ShowEventHint(const platform::TStringGridModel& grid, int col, int row, int x, int y,
                                   const TCellClickContext& context, const TEvaluationHooks& hooks)
{
    const QString name = (context.NameRow >= 0 && context.NameRow < platform::MaxGridCount)
                             ? grid.Cell(col, context.NameRow)
                             : QString();
    const QStringList lines = EventHintLines(grid.Cell(col, row), name, context.RVDevice);
    if (lines.isEmpty())
        return false;
    if (hooks.ShowEventHint)
        hooks.ShowEventHint(lines, x, y);
    hintShown_ = true;
    return true;
}

void TStatusDecoder::HideEventHint(const TEvaluationHooks& hooks)
{
    if (!hintShown_)
        return;
    hintShown_ = false;
    if (hooks.HideEventHint)
        hooks.HideEventHint();
}

TCellClickResult TStatusDecoder::TableCellClick(platform::TStringGridModel& grid, int col, int row, int x, int y,
                                                const TCellClickContext& context, const TEvaluationHooks& hooks)
{
    HideEventHint(hooks);
    if (col < grid.FixedCols() || row < grid.FixedRows() || col >= platform::MaxGridCount
        || row >= platform::MaxGridCount)
        return TCellClickResult::Nothing;
    if (context.StatusColumn > 0 && col == context.StatusColumn) {
        DecodeStatusCell(grid, col, row, context.RVDevice);
        return TCellClickResult::Decoded;
    }
    const QString name = (context.NameRow >= 0 && context.NameRow < platform::MaxGridCount)
                             ? grid.Cell(col, context.NameRow)
                             : QString();
    if (IsEventColumnName(name) && ShowEventHint(grid, col, row, x, y, context, hooks))
        return TCellClickResult::HintShown;
    return TCellClickResult::Nothing;
}
