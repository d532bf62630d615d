#pragma once
// A complete evaluation set-up without windows: settings, reader, status
// decoder, head template, table model, a file overview filled the way the
// directory scan fills it, and recording hooks.
#include "evaluation/ArchiveReader.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/EvaluationState.h"
#include "evaluation/Evaluator.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableModel.h"
#include "evaluation/TableOutputParams.h"
#include "platform/LocaleFormats.h"
#include "platform/MessagePump.h"
#include "platform/StringGrid.h"
#include "support/FakeHooks.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace evaltest {

// One overview row as the scan writes it for one device channel of a file.
struct OverviewEntry {
    OverviewEntry(const QString& file_, const QString& deviceNumber_,
                  const QString& customerNumber_ = QStringLiteral("123"), const QString& beginOfDay_ = QString())
        : file(file_), deviceNumber(deviceNumber_), customerNumber(customerNumber_), beginOfDay(beginOfDay_)
    {
    }
    QString file;
    QString deviceNumber;
    QString customerNumber;
    QString beginOfDay;                 // column 8, "" = none in the header
};

// Fills an overview grid: 14 columns, one header row, one row per entry.
void FillOverview(platform::TStringGridModel& overview, const std::vector<OverviewEntry>& entries);

// The text of an archive: header lines, "O" line, then the data lines, each
// ended by CR LF. names and units are the fields after "#" and "E".
QByteArray ArchiveText(const QString& deviceNumber, const QStringList& names, const QStringList& units,
                       const QStringList& dataLines, bool logbook = false);
// One data line: ordinal, time stamp and the fields, TAB-separated.
QString DataLine(int ordinal, const QString& timestamp, const QStringList& fields);

class EvaluatorTest : public ::testing::Test {
protected:
    EvaluatorTest();
    ~EvaluatorTest() override;

    // Writes an archive into the archive directory.
    void WriteArchive(const QString& name, const QByteArray& bytes);
    // Period from day1 to day2 (dd.MM.yyyy).
    void SetPeriod(const QString& from, const QString& to);
    // A generated archive "G.AGR" of device 0012345 from 01.01.2004 (first
    // line one interval after midnight, no status column) as the overview's one
    // row, with the given day begin in the overview (empty: none); answers the
    // file's bytes.
    QByteArray WriteGeneratedDevice(int days, int channels, const QString& dayBegin = QStringLiteral("06"),
                                    int intervalMinutes = 15);
    // Selects an entry: level, node, parent and grandparent texts, rows.
    void Select(uint8_t level, const QString& node, const QString& parent, const QString& grandParent,
                const QString& rows);
    // Selects a device under the device grouping (level 1).
    void SelectDevice(const QString& device, const QString& rows);

    platform::TStringGridModel& Grid() { return table.Grid(); }
    int DataRows() { return Grid().RowCount() - Grid().FixedRows(); }
    // The cells of grid row r from column 0 to the last column.
    QStringList Row(int r);
    // The cells of data row i (0 = first data row).
    QStringList DataRow(int i) { return Row(Grid().FixedRows() + i); }
    // Column c of every data row.
    QStringList Column(int c);
    // The header cells of a row (grid row index).
    QStringList Header(int r) { return Row(r); }

    QTemporaryDir dir;
    QString archiveDir;
    platform::ScopedLocaleFormats formats{platform::LocaleFormats(QStringLiteral("dd.MM.yyyy"),
                                                                  QStringLiteral("HH:mm:ss"))};
    testsupport::FakeHooks fakes;
    platform::MessagePump pump;
    TEvaluationState state;
    TArchiveReader reader{state};
    TStatusDecoder decoder;
    THeadTemplate headTemplate;
    TTableOutputParams params;
    TTableModel table;
    platform::TStringGridModel overview;
    TEvaluationHooks hooks;
    std::unique_ptr<TEvaluator> evaluator;

    // What the hooks recorded.
    std::vector<std::pair<bool, bool>> shown;   // ShowTable calls
    std::vector<int> statusTexts;
    std::vector<bool> running;
    int chartUpdates = 0;
};

} // namespace evaltest
