#include "ArchiveGenerator.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <vector>

namespace testsupport {

namespace {

// A small deterministic generator, the same on every platform.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    uint32_t next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    double unit() { return double(next() & 0xFFFFFF) / double(0x1000000); }
private:
    uint32_t state_;
};

void appendLine(QByteArray& out, const QByteArray& line)
{
    out += line;
    out += "\r\n";
}

QByteArray latin(const QString& text)
{
    return text.toLatin1();
}

void appendInt(QByteArray& out, long long value, int width)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    const int len = int(res.ptr - buf);
    for (int i = len; i < width; ++i)
        out += '0';
    out.append(buf, len);
}

void appendTwo(QByteArray& out, int value)
{
    out += char('0' + value / 10);
    out += char('0' + value % 10);
}

} // namespace

int ArchiveDataLineCount(const ArchiveParams& params)
{
    if (params.intervalMinutes <= 0 || params.days <= 0)
        return 0;
    return params.days * 1440 / params.intervalMinutes;
}

QByteArray GenerateArchive(const ArchiveParams& params)
{
    const int channels = std::clamp(params.channels, 1, 8);
    const bool qm = params.family == QLatin1String("QM");
    QByteArray out;
    const int lines = ArchiveDataLineCount(params);
    out.reserve(512 + lines * (40 + channels * 11));

    const QDate readout = params.startDate.addDays(params.days);
    appendLine(out, ";DATERO=" + latin(readout.toString(QStringLiteral("dd.MM.yyyy"))) + " 08:00:00");
    appendLine(out, ";INTERVAL=" + QByteArray::number(params.intervalMinutes));
    appendLine(out, ";BEGINOFDAY=06");
    appendLine(out, ";CUSTNO=" + latin(params.customerNumber));
    appendLine(out, ";CUSTNAME=" + params.customerName.toLatin1());
    appendLine(out, ";METERNO=000" + latin(params.deviceNumber.right(4)));
    appendLine(out, ";METERLOCATION=Stra?e 1");
    appendLine(out, ";MLDESCVV=Einspeisung");
    for (int c = 0; c < channels; ++c) {
        const char letter = char('A' + c);
        appendLine(out, QByteArray(";DEVNO") + letter + "=" + latin(params.deviceNumber));
        appendLine(out, QByteArray(";ANALOGC") + letter + "=1");
        appendLine(out, QByteArray(";CPVALUE") + letter + "=000" + QByteArray::number(c + 1) + "00");
    }
    QByteArray designation = params.logbook ? "7 (Logbuch)" : "3 (Messwerte)";
    appendLine(out, "M\t" + designation + "\t" + latin(params.deviceNumber) + "\t" + (qm ? "QM410" : "RV100"));

    QByteArray names = "#\tZeit";
    QByteArray units = "E\t";
    for (int c = 0; c < channels; ++c) {
        names += "\tV";
        names += char('A' + c);
        units += "\tm3";
    }
    if (params.statusColumn) {
        names += "\tSTATUS";
        units += "\t";
    }
    appendLine(out, names);
    appendLine(out, units);
    appendLine(out, "O\t\t\t");

    Lcg rng(params.seed);
    std::vector<long long> counters(std::size_t(channels), 0);
    for (int c = 0; c < channels; ++c)
        counters[std::size_t(c)] = 1000 * (c + 1);
    static const char* const kCodes[] = {"0x8104", "0x0400", "0x2010", "0x8001"};

    // Wall-clock time stamps: no time-zone or daylight-saving shifts.
    for (int i = 1; i <= lines; ++i) {
        const long long minutes = (long long)i * params.intervalMinutes;
        const QDate d = params.startDate.addDays(minutes / 1440);
        const QTime tm = QTime(0, 0).addSecs(int(minutes % 1440) * 60);
        appendInt(out, i, 0);
        out += '\t';
        appendTwo(out, d.day());
        out += '.';
        appendTwo(out, d.month());
        out += '.';
        appendInt(out, d.year(), 4);
        out += ' ';
        appendTwo(out, tm.hour());
        out += ':';
        appendTwo(out, tm.minute());
        out += ':';
        appendTwo(out, tm.second());
        for (int c = 0; c < channels; ++c) {
            long long& counter = counters[std::size_t(c)];
            counter += rng.next() % 50;
            out += '\t';
            if (c % 2 == 0) {
                appendInt(out, counter, 8);
            } else {
                appendInt(out, counter / 10, 7);
                out += ',';
                out += char('0' + counter % 10);
            }
        }
        const bool special = params.specialShare > 0.0 && rng.unit() < params.specialShare;
        if (params.statusColumn) {
            out += '\t';
            out += special ? "8" : "0";
        }
        if (special) {
            out += '\t';
            out += kCodes[rng.next() % 4];
        }
        out += "\r\n";
    }
    return out;
}

bool WriteArchive(const QString& path, const ArchiveParams& params)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = GenerateArchive(params);
    return file.write(bytes) == bytes.size();
}

} // namespace testsupport
