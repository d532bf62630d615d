#include "evaluation/TreeLevels.h"

#include "evaluation/HeaderKeys.h"
#include "platform/StringGrid.h"

namespace {

// The lines of a text as a string list reads them: CR LF, LF or CR end a line,
// and a line end at the very end makes no further empty line.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool EndsInS(const QString& name)
{
    return name.endsWith(QLatin1Char('S')) || name.endsWith(QLatin1Char('s'));
}

bool StartsWithV(const QString& name)
{
    return name.startsWith(QLatin1Char('V')) || name.startsWith(QLatin1Char('v'));
}

} // namespace

QString JoinRows(const std::vector<int>& rows)
{
    QString text;
    text.reserve(qsizetype(rows.size()) * 4);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += QString::number(rows[i]);
    }
    return text;
}

TTreeLevels::TTreeLevels(const platform::TStringGridModel& overview) : overview_(overview) {}

void TTreeLevels::Invalidate()
{
    for (TColumnIndex& c : columns_)
        c = TColumnIndex{};
    channels_.clear();
}

int TTreeLevels::DeviceColumn() const
{
    return HeaderKeyTable[hkDevNo].OverviewColumn;
}

const TTreeLevels::TColumnIndex& TTreeLevels::ColumnIndex(int column)
{
    static const TColumnIndex none;
    if (column < 0 || column >= int(columns_.size()))
        return none;
    TColumnIndex& index = columns_[std::size_t(column)];
    if (index.Built)
        return index;
    index.Built = true;
    for (int row = 1; row < overview_.RowCount(); ++row) {
        const QString value = overview_.Cell(column, row);
        auto it = index.Find.constFind(value);
        if (it == index.Find.constEnd()) {
            index.Find.insert(value, int(index.Values.size()));
            index.Values.push_back(TValueRows{value, {row}});
        } else {
            index.Values[std::size_t(*it)].Rows.push_back(row);
        }
    }
    return index;
}

bool TTreeLevels::FindGroupColumn(const QString& caption, int& column) const
{
    for (int k = FirstGroupingKey; k < FirstGroupingKey + GroupingCount; ++k) {
        const THeaderKey& entry = HeaderKeyTable[std::size_t(k)];
        if (entry.Caption == caption) {
            column = entry.OverviewColumn;
            return true;
        }
    }
    return false;
}

void TTreeLevels::ListGroupValues(int column, QStringList& Names, QStringList& Rows)
{
    for (const TValueRows& v : ColumnIndex(column).Values) {
        if (v.Value.isEmpty())
            continue;
        Names.append(v.Value);
        Rows.append(JoinRows(v.Rows));
    }
}

void TTreeLevels::ListGroupDevices(int column, const QString& value, QStringList& Names, QStringList& Rows)
{
    const TColumnIndex& index = ColumnIndex(column);
    auto it = index.Find.constFind(value);
    if (it == index.Find.constEnd())
        return;
    const int deviceColumn = DeviceColumn();
    QHash<QString, qsizetype> seen;
    for (int row : index.Values[std::size_t(*it)].Rows) {
        const QString device = overview_.Cell(deviceColumn, row);
        // The empty row that stands behind the data rows belongs to no device.
        if (device.isEmpty())
            continue;
        auto found = seen.constFind(device);
        if (found == seen.constEnd()) {
            seen.insert(device, Names.size());
            Names.append(device);
            Rows.append(QString::number(row));
        } else {
            Rows[*found] += QLatin1Char(',') + QString::number(row);
        }
    }
}

QStringList TTreeLevels::RowChannels(int row) const
{
    const QStringList names = SplitLines(overview_.Cell(HeaderKeyTable[hkValueNames].OverviewColumn, row));
    QStringList units = SplitLines(overview_.Cell(HeaderKeyTable[hkUnits].OverviewColumn, row));
    while (units.size() > names.size())
        units.removeLast();

    QStringList channels;
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (!units[i].isEmpty())
            channels.append(names[i] + QStringLiteral(" / ") + units[i]);
    }
    if (channels.isEmpty()) {
        for (const QString& name : names) {
            if (!name.isEmpty() && !EndsInS(name) && StartsWithV(name))
                channels.append(name);
        }
    }
    return channels;
}

void TTreeLevels::ListDeviceChannels(const QString& device, QStringList& Names, QStringList& Rows)
{
    if (device.isEmpty())
        return;
    auto cached = channels_.constFind(device);
    if (cached == channels_.constEnd()) {
        TDeviceChannels result;
        const TColumnIndex& index = ColumnIndex(DeviceColumn());
        auto it = index.Find.constFind(device);
        if (it != index.Find.constEnd()) {
            const std::vector<int>& rows = index.Values[std::size_t(*it)].Rows;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                result.Names = RowChannels(rows[i]);
                if (!result.Names.isEmpty()) {
                    // Every channel entry evaluates all files of the device from
                    // the first one that gives channels on.
                    result.Rows = JoinRows(std::vector<int>(rows.begin() + qsizetype(i), rows.end()));
                    break;
                }
            }
        }
        cached = channels_.insert(device, result);
    }
    Names = cached->Names;
    Rows.clear();
    for (qsizetype i = 0; i < Names.size(); ++i)
        Rows.append(cached->Rows);
}

void TTreeLevels::TreeLevelProvider(uint8_t Level, const QString& Text1, const QString& Text2,
                                    const QString& Text3, QStringList& Names, QStringList& Rows)
{
    Names.clear();
    Rows.clear();
    const QString& deviceCaption = HeaderKeyTable[hkDevNo].Caption;
    int column = 0;
    switch (Level) {
    case 0:
        for (int k = FirstGroupingKey; k < FirstGroupingKey + GroupingCount; ++k)
            Names.append(HeaderKeyTable[std::size_t(k)].Caption);
        break;
    case 1:
        if (FindGroupColumn(Text1, column))
            ListGroupValues(column, Names, Rows);
        break;
    case 2:
        if (Text2 == deviceCaption)
            ListDeviceChannels(Text1, Names, Rows);
        else if (FindGroupColumn(Text2, column))
            ListGroupDevices(column, Text1, Names, Rows);
        break;
    case 3:
        if (Text3 != deviceCaption)
            ListDeviceChannels(Text1, Names, Rows);
        break;
    default:
        break;
    }
}
