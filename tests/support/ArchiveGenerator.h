#pragma once
// Writes archive files for tests and benchmarks from a few parameters: a
// header (";" keys, the "M" meta line, "#" value names, "E" units, the "O"
// line) and one data line per interval, CR LF line ends, Windows-1252 text.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>

namespace testsupport {

struct ArchiveParams {
    QString deviceNumber = QStringLiteral("0012345");
    QString family = QStringLiteral("RV");     // "RV" or "QM"
    int channels = 4;                          // value channels, 1..8
    int intervalMinutes = 15;
    QDate startDate = QDate(2004, 1, 1);
    int days = 1;
    double specialShare = 0.0;                 // share of lines with a status code "0x...."
    QString customerNumber = QStringLiteral("000123");
    QString customerName = QStringLiteral("M>ller");   // device substitute characters
    bool logbook = false;
    bool statusColumn = true;                  // a status column named "STATUS"
    uint32_t seed = 1;
};

// Number of data lines the parameters give.
int ArchiveDataLineCount(const ArchiveParams& params);

// The archive file's bytes.
QByteArray GenerateArchive(const ArchiveParams& params);

// Writes the archive to path; false when the file cannot be written.
bool WriteArchive(const QString& path, const ArchiveParams& params);

} // namespace testsupport
