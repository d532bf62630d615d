#pragma once
// The level provider of the selection tree: every level of the tree is derived
// from the hidden file overview (one row per device channel per archive file).
//
//   level 0  the six grouping captions (customer number ... device number)
//   level 1  the distinct values of the chosen grouping column
//   level 2  the devices with that value, or, under the device grouping, the
//            value columns of the device
//   level 3  the value columns of a device (not under the device grouping)
//
// Every entry carries the overview rows ("3,7,12", ascending) that the
// evaluation reads when the entry is selected.
//
// The answers are computed from indexes built once per overview: the values
// of a grouping column with their rows, and per device its rows and channel
// names. Invalidate() drops them; the scan calls it whenever it refills the
// overview, and the indexes are rebuilt on the next question.
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace platform { class TStringGridModel; }

// Entries 5..10 of the header key table are the groupings of the tree.
constexpr int FirstGroupingKey = 5;
constexpr int GroupingCount = 6;

class TTreeLevels {
public:
    explicit TTreeLevels(const platform::TStringGridModel& overview);

    // Forgets every index; the next question rebuilds them from the overview.
    void Invalidate();

    // Both lists are emptied and then filled with the entries of the level
    // whose parent is Text1, grandparent Text2 and great-grandparent Text3.
    void TreeLevelProvider(uint8_t Level, const QString& Text1, const QString& Text2,
                           const QString& Text3, QStringList& Names, QStringList& Rows);

    // True and the overview column when the caption is one of the six
    // grouping captions (compared exactly, trailing blanks included).
    bool FindGroupColumn(const QString& caption, int& column) const;
    // The non-empty values of the column, in the order of their first row.
    void ListGroupValues(int column, QStringList& Names, QStringList& Rows);
    // The device numbers of the rows whose cell in the column equals value.
    void ListGroupDevices(int column, const QString& value, QStringList& Names, QStringList& Rows);
    // The value columns of the device ("Vb / m3"), each with all rows of the
    // device from the first row that gives a column on.
    void ListDeviceChannels(const QString& device, QStringList& Names, QStringList& Rows);

private:
    struct TValueRows {
        QString Value;
        std::vector<int> Rows;   // ascending
    };
    struct TColumnIndex {
        bool Built = false;
        std::vector<TValueRows> Values;   // first-occurrence order, empty values included
        QHash<QString, int> Find;         // value -> position in Values
    };
    struct TDeviceChannels {
        QStringList Names;
        QString Rows;
    };

    const TColumnIndex& ColumnIndex(int column);
    int DeviceColumn() const;
    // The channel names a row gives; empty when it gives none.
    QStringList RowChannels(int row) const;

    const platform::TStringGridModel& overview_;
    std::array<TColumnIndex, 16> columns_;     // by overview column
    QHash<QString, TDeviceChannels> channels_; // by device number
};

// Row numbers joined by ",".
QString JoinRows(const std::vector<int>& rows);
