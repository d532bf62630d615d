#include "evaluation/TableModel.h"

#include "base/ZT_Tools.h"
#include "platform/CharCopy.h"
#include "platform/MessagePump.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

using namespace platform;

namespace {

constexpr double NoValue = -9999.0;

QFont DefaultTableFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(9);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

double ScreenScale()
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = app->primaryScreen())
            if (screen->logicalDotsPerInch() > 0)
                return screen->logicalDotsPerInch() / 96.0;
    }
    return 1.0;
}

} // namespace

TTableModel::TTableModel(QObject* parent)
    : QObject(parent), font_(DefaultTableFont()), metrics_(font_), scale_(ScreenScale())
{
    ApplyTableFont(font_);
    SetTableMode(false, false, 9);
}

TTableModel::~TTableModel() = default;

// ---- Set-up ---------------------------------------------------------------------

void TTableModel::InitTableWindow(TTableOutputParams& params,
                                  std::function<void(uint8_t)> onChooserChange,
                                  std::function<void(const QString&)> onFileChosen,
                                  std::function<void()> onPageDrawn)
{
    params_ = &params;
    OnChooserChange = std::move(onChooserChange);
    OnFileChosen = std::move(onFileChosen);
    OnPageDrawn = std::move(onPageDrawn);
    QFont font(params.SchriftName);
    font.setStyleHint(QFont::TypeWriter);
    if (params.SchriftGroesse > 0)
        font.setPointSize(params.SchriftGroesse);
    ApplyTableFont(font);
}

void TTableModel::SetTableMode(bool decimalComma, bool numbersFormatted, uint8_t width)
{
    DecimalComma = decimalComma;
    NumbersFormatted = numbersFormatted;
    DifferenceWidth = width;
}

// ---- Font and sizes -------------------------------------------------------------

void TTableModel::ApplyTableFont(const QFont& font)
{
    font_ = font;
    metrics_ = QFontMetrics(font_);
    digitAdvance_ = QFontMetricsF(font_).horizontalAdvance(QLatin1Char('0'));
    widthByLength_.fill(0);
    // The table is laid out again at once, as a new evaluation would lay it
    // out in this font: row heights, and the column widths of a table shown
    // (one being filled sizes its columns as its cells come).
    grid_.BeginUpdate();
    grid_.SetDefaultRowHeight(DefaultRowHeight());
    if (!filling_)
        FitColumnWidths();
    grid_.EndUpdate();
    if (!filling_)
        grid_.NotifyChanged();
    emit FontChanged();
}

void TTableModel::FitColumnWidths()
{
    // A column starts at the default width and grows with its cells; a
    // filled column is at least MinFilledColumnWidth wide; a hidden column
    // (width 0) stays hidden.
    const int rows = grid_.RowCount();
    const int base = DefaultColumnWidth();
    for (int c = 0; c < grid_.ColCount(); ++c) {
        const int old = grid_.ColWidth(c);
        if (old == 0)
            continue;
        int width = base;
        for (int r = 0; r < rows; ++r)
            width = std::max(width, TextColumnWidth(grid_.CellView(c, r)));
        width = std::max(width, std::min(old, MinFilledColumnWidth));
        grid_.SetColWidth(c, width);
    }
}

void TTableModel::ApplyChosenFont(const QFont& font)
{
    if (params_) {
        params_->SchriftName = font.family().left(31);
        if (font.pointSize() > 0)
            params_->SchriftGroesse = font.pointSize();
    }
    ApplyTableFont(font);
}

int TTableModel::ComputeTextColumnWidth(qsizetype textLength) const
{
    // The font size in points times the length, as the table has always been
    // sized; and never less than the text at the advance of a digit (digits
    // are as wide as the widest characters of numbers and dates) plus the
    // room where the text is drawn: 6 pixels beside the hidden marker column
    // and the insets of fixed and selected cells (1 left, 6 right). No cell
    // has to be measured, which keeps filling 65,536 rows cheap.
    double points = font_.pointSizeF();
    if (points <= 0 && font_.pixelSize() > 0)
        points = font_.pixelSize() * 72.0 / 96.0;
    const double length = double(textLength);
    const int byPoints = int(std::trunc(std::fabs(points) * (length * scale_))) - 6;
    const int byAdvance = int(std::ceil(length * digitAdvance_)) + 13;
    return std::max(byPoints, byAdvance);
}

int TTableModel::DefaultColumnWidth() const
{
    return int(std::trunc(scale_ * 10));
}

int TTableModel::DefaultRowHeight() const
{
    const double points = std::fabs(font_.pointSizeF());
    const int byPoints = font_.pointSizeF() > 0 ? int(std::trunc(points * scale_)) + 6 : 0;
    // The text is drawn 2 pixels below the row's top; never clip it.
    return std::max(byPoints, metrics_.height() + 2);
}

// ---- Fill interface -------------------------------------------------------------

void TTableModel::ClearTable(const QString& fileName)
{
    if (!filling_) {
        filling_ = true;
        grid_.BeginUpdate();
    }
    grid_.SetDefaultColWidth(DefaultColumnWidth());
    grid_.Clear();
    grid_.SetColCount(1);
    grid_.SetRowCount(1);
    grid_.SetFixedRows(0);
    grid_.SetOptions(GridOptions);

    titleLines_.clear();
    chooserItems_.clear();
    chooserItemIndex_ = -1;
    chooserVisible_ = true;
    if (params_)
        params_->DruckDateiName = fileName;
    SortColumn = -1;
    if (ClearPointLabels)
        ClearPointLabels();

    emit TitleLinesChanged();
    emit ChooserChanged();
    emit TableCleared();
}

bool TTableModel::SetHeaderCell(const QString& text, int row, int col)
{
    if (row < 1 || col < 0)
        return true;
    if (row >= MaxTableRows || col >= MaxGridCount)
        return false;
    if (grid_.RowCount() <= row)
        grid_.SetRowCount(row + 1);
    if (grid_.FixedRows() < row)
        grid_.SetFixedRows(row);
    return SetCell(text, row, col);
}

int TTableModel::FindRowOfText(int col, const QString& text) const
{
    if (grid_.RowCount() < 2)
        return 0;
    if (col < 0 || col >= MaxGridCount)
        return 1;
    // A cell never written reads as empty and so equals an empty text.
    for (int r = grid_.FixedRows(); r < grid_.RowCount(); ++r) {
        if (grid_.CellView(col, r) == text)
            return r + 1;
    }
    return 1;
}

void TTableModel::AddTitleLine(const QString& text)
{
    titleLines_.append(text);
    emit TitleLineAdded(text);
}

void TTableModel::ReplaceTitleLines(const QStringList& lines)
{
    if (lines == titleLines_)
        return;
    titleLines_ = lines;
    emit TitleLinesChanged();
}

void TTableModel::FinishTable(uint8_t chooserIndex, bool scrollToEnd)
{
    // Trailing rows that hold only blanks and control characters go; the
    // count is found first and set once.
    int rows = grid_.RowCount();
    const int colCount = grid_.ColCount();
    while (rows >= 2) {
        bool empty = true;
        for (int c = 0; c < colCount && empty; ++c) {
            const QStringView text = grid_.CellView(c, rows - 1);
            for (qsizetype k = 0; k < text.size() && empty; ++k)
                empty = text[k].unicode() <= 32;
        }
        if (!empty)
            break;
        --rows;
    }
    if (rows != grid_.RowCount())
        grid_.SetRowCount(rows);

    if (scrollToEnd && grid_.RowCount() > grid_.FixedRows() + 8)
        grid_.SetTopRow(grid_.RowCount() - 8);

    ChooserIndex = chooserIndex;
    chooserItemIndex_ = int(chooserIndex) - 1;
    if (chooserItemIndex_ >= int(chooserItems_.size()))
        chooserItemIndex_ = -1;
    grid_.SetDefaultRowHeight(DefaultRowHeight());

    EndFill();
    emit ChooserChanged();
    emit TableFinished();
}

void TTableModel::EndFill()
{
    if (filling_) {
        filling_ = false;
        grid_.EndUpdate();
    }
    grid_.NotifyChanged();
}

void TTableModel::DeleteColumn(int col)
{
    if (col < 0)
        return;
    grid_.BeginUpdate();
    grid_.DeleteColumn(std::min(col, grid_.ColCount() - 1));
    grid_.EndUpdate();
}

double TTableModel::CellValue(int col, int row) const
{
    const QStringView text = grid_.CellView(col, row);
    if (text.isEmpty())
        return NoValue;
    return ParseRealTrimmed(text);
}

void TTableModel::FillDifferenceColumn(int srcCol, int dstCol, bool resetOnDecrease, const QString& picture)
{
    FillDifferenceColumns({{srcCol, dstCol}}, resetOnDecrease, picture);
}

void TTableModel::FillDifferenceColumns(const std::vector<std::pair<int, int>>& columns, bool resetOnDecrease,
                                        const QString& picture, const std::vector<TColumnNumbers>& numbers)
{
    const int fixedRows = grid_.FixedRows();
    const int rowCount = grid_.RowCount();
    if (fixedRows + 1 >= rowCount)
        return;
    struct TColumn {
        int src = 0;
        int dst = 0;
        double prev = NoValue;
        TColumnNumbers numbers;
        qsizetype longest = 0;   // the column is widened for it at the end
    };
    std::vector<TColumn> work;
    work.reserve(columns.size());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const auto& [srcCol, dstCol] = columns[k];
        if (srcCol < 0 || dstCol < 0 || srcCol >= grid_.ColCount() || dstCol >= grid_.ColCount())
            continue;
        work.push_back(TColumn{srcCol, dstCol, NoValue, k < numbers.size() ? numbers[k] : TColumnNumbers{}});
    }
    if (work.empty())
        return;

    grid_.BeginUpdate();
    // Counters advance by few distinct amounts: the texts of the differences
    // met last are kept, in up to 4,096 slots (fewer for a small table,
    // which would not use them). One slot fills one cache line.
    struct alignas(64) TCachedText {
        uint64_t bits = 0;
        bool used = false;
        uint8_t size = 0;
        char16_t text[PictureCapacity];
    };
    static_assert(sizeof(TCachedText) == 64 && PictureCapacity < 256);
    int cacheBits = 6;
    while (cacheBits < 12 && (std::size_t(1) << cacheBits) < std::size_t(rowCount) * work.size())
        ++cacheBits;
    std::vector<TCachedText> cache(std::size_t(1) << cacheBits);
    auto differenceText = [&](double difference) -> QStringView {
        uint64_t bits = 0;
        std::memcpy(&bits, &difference, sizeof bits);
        TCachedText& slot = cache[std::size_t((bits ^ (bits >> 29) ^ (bits >> 47)) * 0x9E3779B97F4A7C15ull >> (64 - cacheBits))];
        if (!slot.used || slot.bits != bits) {
            slot.used = true;
            slot.bits = bits;
            slot.size = uint8_t(FormatDifferenceInto(picture, difference, slot.text));
        }
        return QStringView(slot.text, slot.size);
    };
    // Each difference stands one row up: in the row of the earlier value. A
    // row without a value leaves its cell empty and does not break the chain.
    // The columns do not depend on each other: one walk down the rows serves
    // all of them.
    auto valueOf = [this](const TColumn& column, int row) {
        return row < column.numbers.size ? column.numbers.values[row] : CellValue(column.src, row);
    };
    const uint64_t rowOrder = grid_.RowOrderChanges();
    const uint64_t columnOrder = grid_.ColumnOrderChanges();
    for (TColumn& column : work)
        column.prev = valueOf(column, fixedRows);
    // Side by side destination columns are written into each row at once;
    // its texts are gathered first (a text of the cache may be replaced by
    // the next column's).
    bool sideBySide = true;
    for (std::size_t k = 1; k < work.size(); ++k)
        sideBySide = sideBySide && work[k].dst == work[0].dst + int(k);
    std::vector<char16_t> rowChars(work.size() * std::size_t(PictureCapacity));
    std::vector<uint32_t> rowSizes(work.size());
    for (int r = fixedRows + 1; r < rowCount; ++r) {
        // Messages go through as often as in one walk per column. A row or
        // column the user moves meanwhile makes the known numbers stale: the
        // rest is read from the cells as they then stand.
        if (pump_ != nullptr && (r & 1023) == 0) {
            for (std::size_t k = 0; k < work.size(); ++k)
                pump_->Pump();
            if (grid_.RowOrderChanges() != rowOrder || grid_.ColumnOrderChanges() != columnOrder)
                for (TColumn& column : work)
                    column.numbers = TColumnNumbers{};
        }
        std::size_t used = 0;
        for (std::size_t k = 0; k < work.size(); ++k) {
            TColumn& column = work[k];
            const double cur = valueOf(column, r);
            double& prev = column.prev;
            QStringView text;
            if (cur == NoValue) {
            } else if (prev == NoValue) {
                prev = cur;
            } else {
                // A counter that ran over or was reset counts from zero.
                if (resetOnDecrease && cur < prev)
                    prev = 0;
                text = differenceText(cur - prev);
                prev = cur;
                column.longest = std::max(column.longest, text.size());
            }
            if (!sideBySide) {
                grid_.SetCell(column.dst, r - 1, text);
                continue;
            }
            platform::MoveChars(rowChars.data() + used, text.utf16(), std::size_t(text.size()));
            rowSizes[k] = uint32_t(text.size());
            used += std::size_t(text.size());
        }
        if (sideBySide && !grid_.TryAppendCells(r - 1, work[0].dst, rowChars.data(), rowSizes.data(), work.size())) {
            const char16_t* chars = rowChars.data();
            for (std::size_t k = 0; k < work.size(); ++k) {
                grid_.SetCell(work[k].dst, r - 1, QStringView(chars, qsizetype(rowSizes[k])));
                chars += rowSizes[k];
            }
        }
    }
    // The cells went straight into the grid: the columns are made wide
    // enough for their longest difference, which may be longer than the
    // header, or the screen would cut its last characters off.
    for (const TColumn& column : work)
        WidenColumnFor(column.dst, column.longest);
    grid_.EndUpdate();
}

QString TTableModel::FormatDifference(const QString& picture, double value) const
{
    char16_t out[PictureCapacity];
    const qsizetype size = FormatDifferenceInto(picture, value, out);
    return QString(reinterpret_cast<const QChar*>(out), size);
}

qsizetype TTableModel::FormatDifferenceInto(const QString& picture, double value, char16_t* out) const
{
    // The filled picture has at most PictureCapacity characters.
    char16_t s[PictureCapacity];
    qsizetype n = FormatByPictureInto(
        picture.size() > PictureCapacity ? picture.left(PictureCapacity) : picture, value, s);
    if (n > 0 && s[0] == u'*') {
        // Too wide for the picture: show the largest value it can hold.
        for (qsizetype k = 0; k < n; ++k)
            if (s[k] == u'*')
                s[k] = u'9';
        if (value < 0)
            s[0] = u'-';
    }
    // Control characters and blanks at both ends go.
    qsizetype begin = 0;
    while (n > 0 && s[n - 1] <= 32)
        --n;
    while (begin < n && s[begin] <= 32)
        ++begin;
    const char16_t* text = s + begin;
    qsizetype size = n - begin;
    if (NumbersFormatted) {
        bool separator = false;
        for (qsizetype k = 0; k < size && !separator; ++k)
            separator = text[k] == u'.' || text[k] == u',';
        if (separator) {
            while (size > 0) {
                const char16_t last = text[size - 1];
                if (last == u'0') {
                    --size;
                } else {
                    if (last == u'.' || last == u',')
                        --size;
                    break;
                }
            }
        }
        platform::MoveChars(out, text, std::size_t(size));
        return size;
    }
    // Padded on the left with blanks to the difference width, then cut.
    const qsizetype blanks = std::max<qsizetype>(0, qsizetype(DifferenceWidth) - size);
    const qsizetype total = std::min<qsizetype>(blanks + size, PictureCapacity);
    for (qsizetype k = 0; k < total; ++k)
        out[k] = k < blanks ? u' ' : text[k - blanks];
    return total;
}

void TTableModel::SetEvaluationLabel(const QString& text)
{
    evaluationLabel_ = text;
    emit EvaluationLabelChanged();
}

// ---- Chooser ------------------------------------------------------------------

void TTableModel::SetChooserItems(const QStringList& items)
{
    chooserItems_ = items;
    if (chooserItemIndex_ >= int(chooserItems_.size()))
        chooserItemIndex_ = chooserItems_.isEmpty() ? -1 : 0;
    emit ChooserChanged();
}

QString TTableModel::ChooserText() const
{
    if (chooserItemIndex_ < 0 || chooserItemIndex_ >= int(chooserItems_.size()))
        return QString();
    return chooserItems_[chooserItemIndex_];
}

void TTableModel::SetChooserVisible(bool visible)
{
    chooserVisible_ = visible;
    emit ChooserChanged();
}

void TTableModel::ChooserSelected(int index1)
{
    if (index1 < 1 || index1 > int(chooserItems_.size()))
        return;
    chooserItemIndex_ = index1 - 1;
    if (index1 == ChooserIndex)
        return;
    ChooserIndex = uint8_t(index1);
    // The hook refills the table; the user keeps looking at the same place.
    const int vOffset = grid_.TopRow() - grid_.FixedRows();
    const int hOffset = grid_.LeftCol() - grid_.FixedCols();
    if (OnChooserChange)
        OnChooserChange(ChooserIndex);
    if (hOffset >= 1 && hOffset < grid_.ColCount())
        grid_.SetLeftCol(grid_.FixedCols() + hOffset);
    if (vOffset >= 1 && vOffset < grid_.RowCount())
        grid_.SetTopRow(grid_.FixedRows() + vOffset);
}

// ---- Cell painting --------------------------------------------------------------

TCellLook TTableModel::DrawSortHeader(int row, int col, TColor color, TGridDrawState state,
                                      TFontStyles style, const QRect& cellRect) const
{
    TCellLook look;
    const bool fixed = state.Fixed || row < grid_.FixedRows() || col < grid_.FixedCols();
    if (fixed) {
        look.Brush = FixedColor;
        look.TextColor = FontColor;
    } else if (!state.Selected) {
        look.Brush = color;
        look.TextColor = FontColor;
    } else if (state.Focused) {
        look.Brush = color != GridColor ? (color & 0xC0C0C0) : color;
        look.TextColor = FontColor;
    } else {
        look.Brush = HighlightColor;
        look.TextColor = HighlightTextColor;
    }
    look.Style = style;

    QRect r = cellRect;
    if (fixed || state.Selected || state.Focused) {
        r.setLeft(r.left() + 1);
        r.setRight(r.right() - 6);
    }
    // Beside the hidden marker column the text keeps a distance from the line.
    if (col > 0 && grid_.ColWidth(col - 1) == 0)
        r.setLeft(r.left() + 6);
    look.Rect = r;
    look.TextPos = QPoint(r.left(), r.top() + 2);
    if (row >= 0 && col >= 0 && row < MaxGridCount && col < MaxGridCount)
        look.Text = grid_.Cell(col, row);
    return look;
}
