#include "reports/ZT_BerXL.h"

#include "platform/Clipboard.h"
#include "platform/Hooks.h"
#include "platform/LocaleFormats.h"
#include "platform/StringGrid.h"
#include "reports/CellValueScan.h"
#include "reports/ReportFiles.h"
#include "reports/XlsxFile.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>

using namespace reports;

QString NumberFormatText = QStringLiteral("0");
QString DateFormatText = QStringLiteral("@");

namespace {

constexpr int LineCapacity = 255;

// A picture as PNG bytes with its size in pixels; empty when the bytes are
// no picture.
bool PngWithSize(const QByteArray& png, int& width, int& height)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid())
        return false;
    width = size.width();
    height = size.height();
    return true;
}

QByteArray EncodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TBer_Intf_MsExcel97::TBer_Intf_MsExcel97(const QString& title, const QString& fileName, TReportCallback callback)
    : TBer_Intf_Basis(title, fileName, std::move(callback))
{
    current_ = 0;
    if (!fileName.isEmpty())
        LoadFromFile(fileName);
    OnCellColor = nullptr;
    Aborted = false;
}

// The report files stay where they are: the user may have them open.
TBer_Intf_MsExcel97::~TBer_Intf_MsExcel97() = default;

void TBer_Intf_MsExcel97::LoadFromFile(const QString&)
{
    // There is no reader of spreadsheet files here.
    NotImplementedYet();
}

void TBer_Intf_MsExcel97::SaveToFile(const QString& fileName)
{
    QString target = fileName;
    if (target.isEmpty())
        target = !savedFile_.isEmpty() ? savedFile_ : resultFile_;
    if (target.isEmpty())
        return;
    QString error;
    if (!WriteXlsxFile(book_, target, &error))
        throw EReportFileError(QStringLiteral("%1: %2").arg(target, error).toStdString());
    savedFile_ = target;
}

void TBer_Intf_MsExcel97::AddText(const QString& text) { WriteLine(text); }
void TBer_Intf_MsExcel97::AddLine(const QString& text) { WriteLine(text); }

void TBer_Intf_MsExcel97::WriteLine(const QString& text)
{
    TWorksheet& sheet = Sheet();
    // Always a text cell: a title beginning with '=' is no formula.
    const QStringView line = QStringView(text).left(LineCapacity);
    if (line.isEmpty())
        sheet.SetEmpty(sheet.ActiveRow, 0);
    else
        sheet.SetText(sheet.ActiveRow, 0, line);
    NewLine();
}

void TBer_Intf_MsExcel97::NewLine()
{
    TWorksheet& sheet = Sheet();
    sheet.ActiveRow = std::min(sheet.ActiveRow + 1, XlsxMaxRows - 1);
    sheet.ActiveCol = 0;
}

void TBer_Intf_MsExcel97::WriteLines(const QStringList& memo)
{
    for (const QString& line : memo)
        WriteLine(line.left(LineCapacity));
}

void TBer_Intf_MsExcel97::SkipLines(int amount)
{
    const int n = amount > 0 ? amount / RowHeightPt : 0;
    for (int i = 0; i < n; ++i)
        NewLine();
}

void TBer_Intf_MsExcel97::NewPage()
{
    current_ = book_.InsertSheetAfter(current_);
}

void TBer_Intf_MsExcel97::ActivateFirstSheet()
{
    current_ = 0;
    book_.ActiveSheet = 0;
}

void TBer_Intf_MsExcel97::PasteFromClipboard()
{
    const platform::TClipboardContent content = platform::ClipboardContent();
    TWorksheet& sheet = Sheet();
    QByteArray png = content.Format(QString::fromLatin1(platform::MimePng));
    if (png.isEmpty() && !content.Image.isNull())
        png = EncodePng(content.Image);
    if (!png.isEmpty()) {
        TSheetPicture picture;
        if (!PngWithSize(png, picture.WidthPx, picture.HeightPx))
            return;
        picture.Row = sheet.ActiveRow;
        picture.Col = sheet.ActiveCol;
        picture.Png = png;
        sheet.Pictures.push_back(std::move(picture));
        return;
    }
    if (!content.HasText || content.Text.isEmpty())
        return;
    // Text goes in as the spreadsheet pastes it: a row per line, a cell per
    // TAB-separated piece, from the active cell on; the active cell stays.
    const QStringList lines = content.Text.split(QLatin1Char('\n'));
    int row = sheet.ActiveRow;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        int col = sheet.ActiveCol;
        for (const QStringView piece : line.split(QLatin1Char('\t'))) {
            if (!piece.isEmpty())
                sheet.SetText(row, col, piece);
            ++col;
        }
        ++row;
    }
}

void TBer_Intf_MsExcel97::AfterPaste()
{
}

void TBer_Intf_MsExcel97::InsertGraphic(const TReportGraphic& graphic)
{
    PutGraphicOnClipboard(graphic);
    PasteFromClipboard();
    SkipLines(int(graphic.HeightPt));
}

void TBer_Intf_MsExcel97::SetFontFrom(const QFont& font)
{
    QString name;
    uint16_t size = 0;
    TReportFontStyles style = 0;
    FontParts(font, name, size, style);
    SetFont(name, size, style);
}

// The spreadsheet keeps its own fonts.
void TBer_Intf_MsExcel97::SetFont(const QString&, uint16_t, TReportFontStyles) {}

void TBer_Intf_MsExcel97::WriteAligned(const QString&, uint8_t) { NotImplementedYet(); }
void TBer_Intf_MsExcel97::SetOrientation(uint8_t) { NotImplementedYet(); }
void TBer_Intf_MsExcel97::PrintDialog() { NotImplementedYet(); }
void TBer_Intf_MsExcel97::Print(uint16_t, uint16_t) { NotImplementedYet(); }
void TBer_Intf_MsExcel97::Preview() { NotImplementedYet(); }

QString TBer_Intf_MsExcel97::GetLine(uint16_t)
{
    NotImplementedYet();
    return QString();
}

int TBer_Intf_MsExcel97::GetLineCount()
{
    NotImplementedYet();
    return 0;
}

void TBer_Intf_MsExcel97::SetLine(uint16_t, const QString&) { NotImplementedYet(); }

bool TBer_Intf_MsExcel97::IsVisible()
{
    NotImplementedYet();
    return false;
}

void TBer_Intf_MsExcel97::Clear(const QString&) { NotImplementedYet(); }
void TBer_Intf_MsExcel97::SetCaption(const QString&) { NotImplementedYet(); }

bool TBer_Intf_MsExcel97::SetVisible(bool visible)
{
    if (!EnsureConnected())
        return false;
    // Showing the spreadsheet is showing the finished workbook.
    if (visible)
        return ShowResult(true);
    ActivateFirstSheet();
    return true;
}

bool TBer_Intf_MsExcel97::ShowResult(bool show)
{
    if (!EnsureConnected() || !show)
        return false;
    ActivateFirstSheet();
    QString error;
    const QString file = CreateUniqueReportFile(QStringLiteral("xlsx"), &error);
    if (file.isEmpty())
        return false;
    if (!WriteXlsxFile(book_, file, &error))
        return false;
    resultFile_ = file;
    // The report is done once its file is written: when no spreadsheet
    // program shows it, the user is told where it is.
    PresentReportFile(file);
    return true;
}

void TBer_Intf_MsExcel97::WriteTable(const platform::TStringGridModel& grid)
{
    TWorksheet& sheet = Sheet();
    const int r0 = sheet.ActiveRow;
    const int c0 = sheet.ActiveCol;
    const int rowCount = grid.RowCount();
    const int colCount = grid.ColCount();
    const int fixedRows = grid.FixedRows();
    const int fixedCols = grid.FixedCols();

    // Leading hidden columns are left out; hidden columns further right are
    // written like the others.
    int hidden = 0;
    while (hidden < colCount && grid.ColWidth(hidden) == 0)
        ++hidden;
    const int lastCol = std::min(c0 + colCount - 1 - hidden, XlsxMaxCols - 1);
    const bool tooLong = qint64(r0) + rowCount - 1 > XlsxMaxRows - 1;
    const int lastRow = std::min(r0 + rowCount - 1, XlsxMaxRows - 1);
    for (int r = r0; r <= lastRow; ++r)
        sheet.ReserveCells(r, lastCol + 1);

    TCellStyle greyStyle;
    greyStyle.NumberFormat = NumberFormatText;
    greyStyle.HasFill = true;
    greyStyle.Fill = HeaderColor;
    const uint32_t grey = book_.StyleIndex(greyStyle);

    auto putText = [&sheet](int row, int col, QStringView text, uint32_t style) {
        if (text.isEmpty()) {
            sheet.SetEmpty(row, col, style);
        } else {
            sheet.SetText(row, col, text, style);
            sheet.NoteColumnChars(col, int(text.size()));
        }
    };

    // Header rows.
    if (fixedRows > 0) {
        for (int r = 0; r < fixedRows && r0 + r <= lastRow; ++r)
            for (int c = hidden; c < colCount && c0 + c - hidden <= lastCol; ++c)
                putText(r0 + r, c0 + c - hidden, grid.CellView(c, r), grey);
        sheet.PrintTitleFirstRow = r0;
        sheet.PrintTitleLastRow = std::min(r0 + fixedRows - 1, lastRow);
    }

    bool blockWritten = true;
    if (tooLong) {
        platform::ShowMessageBox(QString::fromLatin1(TooManyLinesText) + QString::number(qint64(r0) + 1 + rowCount),
                                 QString(), platform::mb::Ok);
        blockWritten = false;
    } else if (fixedCols > hidden) {
        // Fixed columns of the data rows, column by column.
        const int lastFixed = std::min(c0 + fixedCols - 1 - hidden, lastCol);
        // Time stamps become the spreadsheet's date-times, shown as written
        // and still shaded, so the clerk can sort, filter and compute with them.
        const platform::LocaleFormats& formats = platform::LocaleFormats::Current();
        platform::LocaleFormats::DateParseCache stampCache;
        uint32_t stampStyle[4] = {0, 0, 0, 0};
        auto stampStyleOf = [&](TStampShape shape) {
            uint32_t& index = stampStyle[int(shape)];
            if (index == 0) {
                TCellStyle s = greyStyle;
                s.NumberFormat = StampFormatText(formats, shape);
                index = book_.StyleIndex(s);
            }
            return index;
        };
        for (int c = hidden; c < fixedCols && c0 + c - hidden <= lastFixed; ++c) {
            for (int r = fixedRows; r < rowCount; ++r) {
                const int row = r0 + r;
                const int col = c0 + c - hidden;
                const QStringView cell = grid.CellView(c, r);
                const QStringView t = TrimCellText(cell);
                double stamp = 0;
                const TStampShape shape = ReadStampCell(t, formats, stampCache, stamp);
                if (shape == TStampShape::None) {
                    putText(row, col, cell, grey);
                } else {
                    sheet.SetNumber(row, col, stamp, stampStyleOf(shape));
                    sheet.NoteColumnChars(col, int(t.size()));
                }
            }
            if (Aborted)
                break;
        }
        sheet.PrintTitleFirstCol = 0;
        sheet.PrintTitleLastCol = lastFixed;
    }

    if (blockWritten)
        WriteValueBlock(grid, r0, c0, hidden, lastRow, lastCol);

    // The lines of text written since the last table (its title lines) print
    // within this table's width; the print area takes in the table.
    for (int row = sheet.LinesFrom; row < r0; ++row)
        if (sheet.CellCount(row) == 1 && sheet.KindAt(row, 0) == TCellKind::Text)
            sheet.SpannedLines.push_back({row, lastCol});
    sheet.LinesFrom = lastRow + 1;
    sheet.PrintLastCol = std::max(sheet.PrintLastCol, lastCol);

    // Below the block, so the next line never overwrites the table.
    sheet.ActiveRow = std::min(lastRow + 1, XlsxMaxRows - 1);
    sheet.ActiveCol = 0;
}

bool TBer_Intf_MsExcel97::WriteValueBlock(const platform::TStringGridModel& grid, int r0, int c0, int hidden,
                                          int lastRow, int lastCol)
{
    TWorksheet& sheet = Sheet();
    const int rowCount = grid.RowCount();
    const int colCount = grid.ColCount();
    const int fixedRows = grid.FixedRows();
    // Value columns never start left of the table: with no fixed column
    // beyond the hidden ones they start at the first shown column.
    const int firstValue = std::max(grid.FixedCols(), hidden);
    if (firstValue >= colCount)
        return true;

    const bool allNumbers = ScanValueColumns(grid, firstValue, NumberFormatText, SystemDecimalSeparator());
    const platform::LocaleFormats& formats = platform::LocaleFormats::Current();
    const QString shortDate = formats.ShortDateFormat();
    DateFormatText = shortDate.contains(QLatin1Char('/')) ? shortDate : QStringLiteral("TT.MM.JJJJ");

    auto style = [this](const QString& format) {
        TCellStyle s;
        s.NumberFormat = format;
        s.Align = THorzAlign::Right;
        return s;
    };
    const TCellStyle valueStyle = style(NumberFormatText);
    const TCellStyle kindStyles[5] = {valueStyle, style(DateFormatText), style(QStringLiteral("hh:mm")),
                                      style(DateFormatText + QStringLiteral(" hh:mm")), style(QStringLiteral("@"))};
    uint32_t kindIndex[5];
    for (int k = 0; k < 5; ++k)
        kindIndex[k] = book_.StyleIndex(kindStyles[k]);
    const uint32_t value = kindIndex[0];

    for (int c = firstValue; c < colCount; ++c) {
        const int col = c0 + c - hidden;
        if (col > lastCol)
            break;
        for (int r = fixedRows; r < rowCount; ++r) {
            const int row = r0 + r;
            if (row > lastRow)
                break;
            const QStringView cell = grid.CellView(c, r);
            const QStringView t = TrimCellText(cell);
            // An empty cell of the block carries the block's format and
            // alignment, so what the clerk types there later looks like its
            // neighbours; it holds no value (never a 0).
            if (!allNumbers) {
                if (!t.isEmpty()) {
                    sheet.SetText(row, col, cell, value);
                    sheet.NoteColumnChars(col, int(cell.size()));
                } else {
                    sheet.SetEmpty(row, col, value);
                }
                continue;
            }
            int kind = 0;
            if (t.isEmpty()) {
                sheet.SetEmpty(row, col, value);
            } else {
                double number = 0;
                if (ConvertReportNumber(t, number)) {
                    sheet.SetNumber(row, col, number, value);
                    sheet.NoteColumnChars(col, int(t.size()));
                } else {
                    const TCellClass cls = ClassifyCellText(t, formats);
                    kind = int(cls.Kind);
                    if (cls.Converted) {
                        sheet.SetNumber(row, col, cls.Value, kindIndex[kind]);
                        sheet.NoteColumnChars(col, int(t.size()));
                    } else {
                        kind = int(TCellTextKind::Number);
                        sheet.SetText(row, col, t, kindIndex[kind]);
                        sheet.NoteColumnChars(col, int(t.size()));
                    }
                }
            }
            if (OnCellColor) {
                platform::TColor colour = 0;
                try {
                    if (OnCellColor(grid, uint16_t(c), r, false, colour)) {
                        TCellStyle shaded = kindStyles[kind];
                        shaded.HasFill = true;
                        shaded.Fill = colour;
                        sheet.SetStyle(row, col, book_.StyleIndex(shaded));
                    }
                } catch (...) {
                    // A failing colour query leaves the cell unshaded.
                }
            }
        }
        if (Aborted)
            break;
    }
    return true;
}
