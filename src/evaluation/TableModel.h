#pragma once
// The table of an evaluation without its window: the string grid that holds
// every cell as text, the title lines, the evaluation chooser and label, the
// mode switches of the difference formatting, and the fill interface that the
// evaluation uses. The table window owns one and only shows what it holds; the
// evaluation fills it without knowing whether a window exists.
//
// Grid rows: the header rows are the fixed rows from row 0; data rows follow.
// Column 0 is a hidden marker column holding "1" in special-event rows. The
// fill operations count rows from 1 (row R is grid row R-1).
//
// Filling is one batch: ClearTable opens it and FinishTable closes it, so the
// grid notifies its view once when the fill is finished, not per cell.
#include "evaluation/TableOutputParams.h"
#include "platform/Colors.h"
#include "platform/StringGrid.h"

#include <QFont>
#include <QFontMetrics>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace platform { class MessagePump; }

// Font styles handed to the cell painter.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

// What one table cell looks like: the rectangle filled with Brush, and Text
// drawn in TextColor with the font styles at TextPos, clipped to Rect.
struct TCellLook {
    platform::TColor Brush = 0;
    platform::TColor TextColor = 0;
    TFontStyles Style = 0;
    QRect Rect;
    QPoint TextPos;
    QString Text;
};

class TTableModel : public QObject {
    Q_OBJECT
public:
    // Grid options restored on every clear: fixed vertical lines, vertical
    // lines, range selection, column sizing, row and column moving.
    static constexpr platform::TGridOptions TableGridOptions =
        platform::goFixedVertLine | platform::goVertLine | platform::goRangeSelect
        | platform::goColSizing | platform::goRowMoving | platform::goColMoving;
    static_assert(TableGridOptions == 917);
    // The grid's index limit: rows 1..65,536 of the fill interface exist.
    static constexpr int MaxTableRows = platform::MaxGridCount;
    static constexpr int PictureCapacity = 21;

    explicit TTableModel(QObject* parent = nullptr);
    ~TTableModel() override;

    platform::TStringGridModel& Grid() { return grid_; }
    const platform::TStringGridModel& Grid() const { return grid_; }

    // ---- Set-up ----------------------------------------------------------------
    // Keeps the output parameters (they must outlive the model or be replaced)
    // and the three hooks (any may be empty), and applies the parameters' font.
    void InitTableWindow(TTableOutputParams& params,
                         std::function<void(uint8_t)> onChooserChange = {},
                         std::function<void(const QString&)> onFileChosen = {},
                         std::function<void()> onPageDrawn = {});
    TTableOutputParams* Params() const { return params_; }
    // Sets the shared DecimalComma switch of the picture formatting, and the
    // mode and minimum width of FormatDifference.
    void SetTableMode(bool decimalComma, bool numbersFormatted, uint8_t width);

    // ---- Fill interface ------------------------------------------------------------
    // Empties the table (every stored cell, also beyond the row count) and
    // starts a fill; FileName becomes the output file name of the parameters.
    void ClearTable(const QString& fileName);
    // Grows the row count beyond Row and the fixed rows to Row (never shrinks
    // either), then SetCell. Same answer as SetCell.
    bool SetHeaderCell(const QString& text, int row, int col);
    // Writes text into grid row Row-1, column Col, growing the columns and
    // widening column Col for the text; the row count is the caller's. A row
    // below 1 or a negative column is ignored (answers true). False when the
    // row or column lies beyond the grid's limit: the table is full and the
    // caller ends its evaluation.
    // (Inline: a fill writes every cell through here.)
    bool SetCell(QStringView text, int row, int col)
    {
        if (row < 1 || col < 0)
            return true;
        if (row > MaxTableRows || col >= platform::MaxGridCount)
            return false;
        if (grid_.ColCount() <= col)
            grid_.SetColCount(col + 1);
        WidenColumnFor(col, text.size());
        grid_.SetCell(col, row - 1, text);
        return true;
    }
    bool SetCell(const QString& text, int row, int col) { return SetCell(QStringView(text), row, col); }
    // SetCell of a text made in place (see TStringGridModel::
    // AppendCellInPlace) when the cell is the next one of a row with room
    // for maxSize characters in a column that exists; false, with nothing
    // changed, when SetCell must write it.
    template <class Write>
    bool TryAppendCell(int row, int col, std::size_t maxSize, Write&& write)
    {
        if (row < 1 || col < 0 || row > MaxTableRows || col >= grid_.ColCount())
            return false;
        std::size_t size = 0;
        if (!grid_.AppendCellInPlace(col, row - 1, maxSize, [&](char16_t* out) { return size = write(out); }))
            return false;
        WidenColumnFor(col, qsizetype(size));
        return true;
    }
    // 0 when the grid has fewer than 2 rows; else the grid row + 1 of the first
    // data row whose cell in Col equals Text exactly, or 1 when none does.
    int FindRowOfText(int col, const QString& text) const;
    void AddTitleLine(const QString& text);
    // Puts lines in place of the title lines (the evaluation names a shorter
    // period when the row limit ended it).
    void ReplaceTitleLines(const QStringList& lines);
    // Ends a fill: drops trailing empty rows, optionally scrolls to the end,
    // selects the chooser item and sets the row height; the view updates once.
    void FinishTable(uint8_t chooserIndex, bool scrollToEnd);
    // Removes column Col (or the last column when Col lies at or beyond it);
    // the columns to its right move left with their widths.
    void DeleteColumn(int col);
    // Writes into DstCol the difference of each value of SrcCol to the last
    // valid value above it, one row up; see the source for the exact rule.
    void FillDifferenceColumn(int srcCol, int dstCol, bool resetOnDecrease, const QString& picture);
    // The same for several (SrcCol, DstCol) pairs in one walk down the rows;
    // each pair as FillDifferenceColumn would write it. A destination column
    // must be no source column of another pair.
    // The numbers of a source column known beforehand, by grid row: each is
    // what the cell's text reads as (-9999 for an empty cell). Rows from size
    // on are read from their texts, and all rows once a row or column moved
    // during the walk.
    struct TColumnNumbers {
        const double* values = nullptr;
        int size = 0;
    };
    // numbers, when given, has one entry per pair of columns.
    void FillDifferenceColumns(const std::vector<std::pair<int, int>>& columns, bool resetOnDecrease,
                               const QString& picture, const std::vector<TColumnNumbers>& numbers = {});
    QString FormatDifference(const QString& picture, double value) const;
    // The same text written to out (room for PictureCapacity characters);
    // answers its length.
    qsizetype FormatDifferenceInto(const QString& picture, double value, char16_t* out) const;
    void SetEvaluationLabel(const QString& text);
    // The pump that long table operations (the difference columns) let
    // through every few rows; none by default.
    void SetPump(platform::MessagePump* pump) { pump_ = pump; }
    platform::MessagePump* Pump() const { return pump_; }

    // ---- What the window shows ----------------------------------------------------
    const QStringList& TitleLines() const { return titleLines_; }
    const QString& EvaluationLabel() const { return evaluationLabel_; }
    bool EvaluationLabelVisible() const { return !evaluationLabel_.isEmpty(); }
    const QStringList& ChooserItems() const { return chooserItems_; }
    void SetChooserItems(const QStringList& items);
    int ChooserItemIndex() const { return chooserItemIndex_; }   // 0-based, -1 none
    QString ChooserText() const;                                  // current item, or empty
    bool ChooserVisible() const { return chooserVisible_; }
    void SetChooserVisible(bool visible);
    // The user picked chooser item index1 (1-based): when it differs from the
    // last one, OnChooserChange runs and the grid's scroll offsets are kept.
    void ChooserSelected(int index1);

    // ---- Font and sizes ---------------------------------------------------------------
    const QFont& TableFont() const { return font_; }
    // Grid, memo, chooser and label all use this font.
    void ApplyTableFont(const QFont& font);
    // Columns of a filled table are never narrower than this (the hidden
    // marker column excepted).
    static constexpr int MinFilledColumnWidth = 54;
    // A font the user chose: stored in the parameters, applied, row height anew.
    void ApplyChosenFont(const QFont& font);
    double Scale() const { return scale_; }
    void SetScale(double scale)
    {
        scale_ = scale > 0 ? scale : 1.0;
        widthByLength_.fill(0);
    }
    // Width a column needs for text in the table font (never below 0).
    int TextColumnWidth(QStringView text) const { return TextColumnWidth(text.size()); }
    // Column col at least as wide as a text of length characters needs.
    void WidenColumnFor(int col, qsizetype length)
    {
        const int width = TextColumnWidth(length);
        if (width > grid_.ColWidth(col))
            grid_.SetColWidth(col, width);
    }
    int TextColumnWidth(qsizetype length) const
    {
        if (length == 0)
            return 0;
        if (std::size_t(length) < WidthCacheSize) {
            int& width = widthByLength_[std::size_t(length)];
            if (width == 0)
                width = ComputeTextColumnWidth(length);
            return width;
        }
        return ComputeTextColumnWidth(length);
    }
    int DefaultColumnWidth() const;   // new columns start this narrow
    int DefaultRowHeight() const;

    // ---- Cell painting (the part that needs no canvas) -------------------------------
    platform::TColor GridColor = platform::SystemWindowColor();
    platform::TColor FixedColor = platform::SystemButtonFaceColor();
    platform::TColor FontColor = platform::clBlack;
    platform::TColor HighlightColor = platform::SystemHighlightColor();
    platform::TColor HighlightTextColor = platform::SystemHighlightTextColor();
    // Colours, rectangle and text of cell (Col, Row) painted with background
    // Color, draw state and font style; cellRect is the cell's full rectangle.
    TCellLook DrawSortHeader(int row, int col, platform::TColor color,
                             platform::TGridDrawState state, TFontStyles style,
                             const QRect& cellRect) const;

    // ---- State the window's commands keep -----------------------------------------
    uint8_t ChooserIndex = 1;            // 1-based index of the chooser item last reported
    int32_t PreviewPage = 1;
    bool ReportOpen = false;
    bool NumbersFormatted = false;
    uint8_t DifferenceWidth = 9;
    int32_t SortColumn = -1;
    bool Descending = false;
    bool HeaderClick = false;
    bool ColumnDrag = false;
    platform::TGridOptions GridOptions = TableGridOptions;

    std::function<void(uint8_t)> OnChooserChange;
    std::function<void(const QString&)> OnFileChosen;
    std::function<void()> OnPageDrawn;
    // Clears the chart window's point labels; set while a chart window exists.
    std::function<void()> ClearPointLabels;

    bool Filling() const { return filling_; }

signals:
    void TableCleared();
    void TableFinished();
    void TitleLinesChanged();
    void TitleLineAdded(const QString& text);
    void EvaluationLabelChanged();
    void ChooserChanged();
    void FontChanged();

private:
    void EndFill();
    double CellValue(int col, int row) const;

    platform::TStringGridModel grid_;
    TTableOutputParams* params_ = nullptr;
    QStringList titleLines_;
    QString evaluationLabel_;
    QStringList chooserItems_;
    int chooserItemIndex_ = -1;
    bool chooserVisible_ = true;
    QFont font_;
    QFontMetrics metrics_;
    double digitAdvance_ = 0;            // advance of '0' in the table font, in pixels
    double scale_ = 1.0;
    // TextColumnWidth by text length for the current font and scale, filled
    // when first asked (0: not yet); every cell of a fill asks for one.
    static constexpr std::size_t WidthCacheSize = 64;
    mutable std::array<int, WidthCacheSize> widthByLength_{};
    int ComputeTextColumnWidth(qsizetype length) const;
    bool filling_ = false;
    void FitColumnWidths();
    platform::MessagePump* pump_ = nullptr;
};
