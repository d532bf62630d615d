#include "reports/XlsxFile.h"

#include "platform/FileChars.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QStringEncoder>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace reports {

namespace {

bool IsPlainNumberFormat(const QString& f)
{
    if (f.isEmpty() || f[0] != QLatin1Char('0'))
        return false;
    if (f.size() == 1)
        return true;
    if (f.size() < 3)
        return false;
    for (qsizetype i = 2; i < f.size(); ++i)
        if (f[i] != QLatin1Char('0'))
            return false;
    return f[1] != QLatin1Char('0');
}

} // namespace

QString XlsxNumberFormatCode(const QString& f)
{
    if (f.isEmpty() || f == QLatin1String("@"))
        return f;
    if (IsPlainNumberFormat(f)) {
        QString code = f;
        if (code.size() > 1)
            code[1] = QLatin1Char('.');
        return code;
    }
    // A date, a time or both, in the German letters or the platform's.
    QString code;
    code.reserve(f.size() + 4);
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        switch (c.unicode()) {
        case 'T': case 't': case 'd': case 'D':
            code += QLatin1Char('d');
            break;
        case 'M': case 'm':
            code += QLatin1Char('m');
            break;
        case 'J': case 'j': case 'y': case 'Y':
            code += QLatin1Char('y');
            break;
        case 'h': case 'H':
            code += QLatin1Char('h');
            break;
        case 's': case 'S':
            code += QLatin1Char('s');
            break;
        case '\'': {
            // A quoted literal of the platform's format.
            const qsizetype end = f.indexOf(QLatin1Char('\''), i + 1);
            const QString literal = f.mid(i + 1, (end < 0 ? f.size() : end) - i - 1);
            code += QLatin1Char('"') + literal + QLatin1Char('"');
            i = end < 0 ? f.size() : end;
            break;
        }
        case 'A': case 'a':
            if (i + 1 < f.size() && (f[i + 1] == QLatin1Char('P') || f[i + 1] == QLatin1Char('p'))) {
                code += QLatin1String("AM/PM");
                ++i;
            } else {
                code += QLatin1String("\"") + c + QLatin1String("\"");
            }
            break;
        default:
            if (c.isLetter())
                code += QLatin1String("\"") + c + QLatin1String("\"");
            else
                code += c;
        }
    }
    return code;
}

namespace {

bool IsHex(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

// Whether an underscore at text[i] begins "_xHHHH_", which readers take as
// the escape of the character HHHH.
bool StartsEscape(QStringView text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != QLatin1Char('_') || text[i + 1] != QLatin1Char('x')
        || text[i + 6] != QLatin1Char('_'))
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k)
        if (!IsHex(text[k]))
            return false;
    return true;
}

} // namespace

bool XlsxCellTextDiffers(QStringView text)
{
    if (platform::HasUnholdable(text, platform::XmlCanHold))
        return true;
    for (qsizetype i = text.indexOf(QLatin1String("_x")); i >= 0; i = text.indexOf(QLatin1String("_x"), i + 1))
        if (StartsEscape(text, i))
            return true;
    return false;
}

QString XlsxCellText(QStringView text)
{
    const QString holdable = platform::HoldableText(text, platform::XmlCanHold);
    QString out;
    out.reserve(holdable.size());
    for (qsizetype i = 0; i < holdable.size(); ++i) {
        if (StartsEscape(holdable, i))
            out += QLatin1String("_x005F");
        out += holdable[i];
    }
    return out;
}

namespace {

class TXlsxWriter {
public:
    TXlsxWriter(const TWorkbook& workbook, QString* error) : book_(workbook), error_(error) {}

    bool Write(const QString& fileName)
    {
        // The library writes the temporary file beside the final name; an
        // earlier file of that name is replaced only by a complete workbook.
        platform::SafeFile file(fileName);
        if (!file.Reserve())
            return Fail(file.ErrorString());
        const QByteArray name = QFile::encodeName(file.TemporaryName());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = nullptr;
        options.use_zip64 = LXW_FALSE;
        lxw_workbook* wb = workbook_new_opt(name.constData(), &options);
        if (wb == nullptr)
            return Fail(QStringLiteral("the workbook cannot be created"));
        wb_ = wb;
        bool ok = WriteSheets();
        // Closing assembles the file; it also frees the workbook after a failure.
        const lxw_error closed = workbook_close(wb);
        wb_ = nullptr;
        if (ok && closed != LXW_NO_ERROR)
            ok = Fail(QStringLiteral("closing the file: ") + QString::fromUtf8(lxw_strerror(closed)));
        if (!ok)
            file.Fail(error_ != nullptr ? *error_ : QString());
        if (!file.Commit())
            return Fail(file.ErrorString());
        return ok;
    }

private:
    bool Fail(const QString& reason)
    {
        if (error_ != nullptr && error_->isEmpty())
            *error_ = reason;
        return false;
    }
    bool Check(lxw_error err, const char* what)
    {
        if (err == LXW_NO_ERROR)
            return true;
        return Fail(QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(err)));
    }

    lxw_format* FormatOf(uint32_t style)
    {
        if (style == 0 || style >= book_.Styles().size())
            return nullptr;
        if (formats_.size() < book_.Styles().size())
            formats_.resize(book_.Styles().size(), nullptr);
        lxw_format*& format = formats_[style];
        if (format == nullptr) {
            const TCellStyle& s = book_.Styles()[style];
            format = workbook_add_format(wb_);
            if (format == nullptr)
                return nullptr;
            const QString code = XlsxNumberFormatCode(s.NumberFormat);
            if (!code.isEmpty())
                format_set_num_format(format, code.toUtf8().constData());
            if (s.HasFill) {
                format_set_pattern(format, LXW_PATTERN_SOLID);
                // The library takes 0xRRGGBB; ours are 0x00BBGGRR.
                const lxw_color_t rgb = ((s.Fill & 0xFF) << 16) | (s.Fill & 0xFF00) | ((s.Fill >> 16) & 0xFF);
                format_set_bg_color(format, rgb);
            }
            switch (s.Align) {
            case THorzAlign::General: break;
            case THorzAlign::Left: format_set_align(format, LXW_ALIGN_LEFT); break;
            case THorzAlign::Centre: format_set_align(format, LXW_ALIGN_CENTER); break;
            case THorzAlign::Right: format_set_align(format, LXW_ALIGN_RIGHT); break;
            }
        }
        return format;
    }

    // The text as the library takes it: UTF-8 ended by NUL (XlsxCellText).
    const char* Utf8(QStringView text)
    {
        QString own;
        if (XlsxCellTextDiffers(text)) {
            own = XlsxCellText(text);
            text = own;
        }
        const qsizetype need = encoder_.requiredSpace(text.size()) + 1;
        if (qsizetype(buffer_.size()) < need)
            buffer_.resize(std::size_t(need));
        char* end = encoder_.appendToBuffer(buffer_.data(), text);
        *end = '\0';
        return buffer_.data();
    }

    bool WriteSheets()
    {
        std::vector<lxw_worksheet*> sheets;
        for (int s = 0; s < book_.SheetCount(); ++s) {
            const TWorksheet& sheet = book_.Sheet(s);
            lxw_worksheet* ws = workbook_add_worksheet(wb_, sheet.Name().toUtf8().constData());
            if (ws == nullptr)
                return Fail(QStringLiteral("the sheet %1 cannot be added").arg(sheet.Name()));
            sheets.push_back(ws);
        }
        for (int s = 0; s < book_.SheetCount(); ++s)
            if (!WriteSheet(book_.Sheet(s), sheets[std::size_t(s)]))
                return false;
        if (book_.ActiveSheet >= 0 && book_.ActiveSheet < int(sheets.size()))
            worksheet_activate(sheets[std::size_t(book_.ActiveSheet)]);
        return true;
    }

    // A title line that is wider than the columns it may print over is merged
    // across them and wrapped; its row gets the height of the lines it wraps
    // into (a spreadsheet does not size a row to a merged cell by itself).
    struct TLineLayout {
        int LastCol = 0;    // last column of the merge
        double HeightPt = 0;
    };

    // Pixel widths of a column width of w characters of the default font as
    // a spreadsheet may show it: 7 pixels a digit with the font itself, about
    // 9 where a wider font stands in for it (LibreOffice without Calibri); the
    // wider reckoning keeps a merged title on the first page either way.
    static int ColumnPixels(double w) { return int(w * 9.0 + 0.5) + 5; }
    static double ColumnWidth(int chars) { return std::min(255.0, chars * 1.1 + 1.0); }
    static constexpr double DefaultColumnWidth = 8.43;

    // Width a line of text takes, generous: a wide fallback font shows about
    // 7.5 pixels a character, and words wrapped whole leave gaps at line ends.
    static constexpr double LineCharPixels = 7.5;
    // What a page shows across: A4 portrait (the narrower of A4 and Letter)
    // less the file's default margins of 0.7 inches a side, at 96 pixels an inch.
    static constexpr int PrintablePixels = int((210.0 / 25.4 - 1.4) * 96.0);
    static constexpr double LineHeightPt = 15.0;

    // Width of columns 0 to last.
    static int TablePixels(const TWorksheet& sheet, int last)
    {
        int pixels = 0;
        for (int c = 0; c <= last; ++c) {
            const int chars = sheet.ColumnChars(c);
            pixels += ColumnPixels(chars > 8 ? ColumnWidth(chars) : DefaultColumnWidth);
        }
        return pixels;
    }

    // A table up to twice as wide as a page prints scaled to the page's
    // width: every row whole on one page, titles whole above it. Wider ones
    // go on over pages across, with their fixed columns repeated.
    static bool FitsScaledToPageWidth(int tablePixels)
    {
        return tablePixels > PrintablePixels && tablePixels <= 2 * PrintablePixels;
    }

    // pagePixels: the width the first page shows of the table.
    static std::vector<TLineLayout> LayOutLines(const TWorksheet& sheet, int pagePixels)
    {
        std::vector<TLineLayout> out(std::size_t(sheet.RowCount()));
        for (const TWorksheet::TSpannedLine& line : sheet.SpannedLines) {
            // Only a line that is alone in its row (a paste may have put more there).
            if (line.Row < 0 || line.Row >= sheet.RowCount() || sheet.CellCount(line.Row) != 1
                || sheet.KindAt(line.Row, 0) != TCellKind::Text)
                continue;
            // The columns of the table that fit one printed page.
            int last = 0;
            int pixels = 0;
            for (int c = 0; c <= line.LastCol; ++c) {
                const int chars = sheet.ColumnChars(c);
                const int w = ColumnPixels(chars > 8 ? ColumnWidth(chars) : DefaultColumnWidth);
                if (c > 0 && pixels + w > pagePixels)
                    break;
                pixels += w;
                last = c;
            }
            const int room = std::max(pixels - 6, 20);
            const double textPixels = sheet.TextAt(line.Row, 0).size() * LineCharPixels;
            if (textPixels <= room)
                continue;
            TLineLayout& layout = out[std::size_t(line.Row)];
            layout.LastCol = last;
            layout.HeightPt = std::ceil(textPixels / room) * LineHeightPt;
        }
        return out;
    }

    lxw_format* WrappedLineFormat()
    {
        if (wrapped_ == nullptr) {
            wrapped_ = workbook_add_format(wb_);
            if (wrapped_ != nullptr) {
                format_set_text_wrap(wrapped_);
                format_set_align(wrapped_, LXW_ALIGN_LEFT);
                format_set_align(wrapped_, LXW_ALIGN_VERTICAL_TOP);
            }
        }
        return wrapped_;
    }

    bool WriteSheet(const TWorksheet& sheet, lxw_worksheet* ws)
    {
        // Columns and print titles before the rows: in constant-memory mode
        // the rows are gone once written.
        for (int c = 0; c < sheet.NotedColumns(); ++c) {
            const int chars = sheet.ColumnChars(c);
            if (chars > 8) {
                const double width = std::min(255.0, chars * 1.1 + 1.0);
                if (!Check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), width, nullptr), "column width"))
                    return false;
            }
        }
        if (sheet.PrintTitleFirstRow >= 0 && sheet.PrintTitleLastRow >= sheet.PrintTitleFirstRow
            && !Check(worksheet_repeat_rows(ws, lxw_row_t(sheet.PrintTitleFirstRow),
                                            lxw_row_t(sheet.PrintTitleLastRow)),
                      "print title rows"))
            return false;
        if (sheet.PrintTitleFirstCol >= 0 && sheet.PrintTitleLastCol >= sheet.PrintTitleFirstCol
            && !Check(worksheet_repeat_columns(ws, lxw_col_t(sheet.PrintTitleFirstCol),
                                               lxw_col_t(sheet.PrintTitleLastCol)),
                      "print title columns"))
            return false;
        for (const TSheetPicture& picture : sheet.Pictures) {
            if (picture.Png.isEmpty())
                continue;
            lxw_image_options opt{};
            opt.x_scale = 1.0;
            opt.y_scale = 1.0;
            if (!Check(worksheet_insert_image_buffer_opt(
                           ws, lxw_row_t(picture.Row), lxw_col_t(picture.Col),
                           reinterpret_cast<const unsigned char*>(picture.Png.constData()),
                           std::size_t(picture.Png.size()), &opt),
                       "picture"))
                return false;
        }
        if (sheet.PrintLastCol >= 0 && sheet.RowCount() > 0) {
            // The written block, pictures included.
            int lastRow = sheet.RowCount() - 1;
            int lastCol = sheet.PrintLastCol;
            for (const TSheetPicture& picture : sheet.Pictures) {
                lastRow = std::max(lastRow, picture.Row + picture.HeightPx / 20);
                lastCol = std::max(lastCol, picture.Col + picture.WidthPx / 64);
            }
            if (!Check(worksheet_print_area(ws, 0, 0, lxw_row_t(std::min(lastRow, XlsxMaxRows - 1)),
                                            lxw_col_t(std::min(lastCol, XlsxMaxCols - 1))),
                       "print area"))
                return false;
        }
        int pagePixels = PrintablePixels;
        if (sheet.PrintLastCol >= 0) {
            const int tablePixels = TablePixels(sheet, sheet.PrintLastCol);
            if (FitsScaledToPageWidth(tablePixels)) {
                worksheet_fit_to_pages(ws, 1, 0);
                pagePixels = tablePixels;
            }
        }
        const std::vector<TLineLayout> lines = LayOutLines(sheet, pagePixels);
        for (int r = 0; r < sheet.RowCount(); ++r) {
            if (lines[std::size_t(r)].HeightPt > 0) {
                const TLineLayout& line = lines[std::size_t(r)];
                lxw_format* format = WrappedLineFormat();
                if (format == nullptr)
                    return Fail(QStringLiteral("a cell format cannot be made"));
                if (!Check(worksheet_set_row(ws, lxw_row_t(r), line.HeightPt, nullptr), "row height"))
                    return false;
                const char* text = Utf8(sheet.TextOf(*sheet.CellAt(r, 0)));
                const lxw_error err =
                    line.LastCol > 0
                        ? worksheet_merge_range(ws, lxw_row_t(r), 0, lxw_row_t(r), lxw_col_t(line.LastCol), text, format)
                        : worksheet_write_string(ws, lxw_row_t(r), 0, text, format);
                if (!Check(err, "title line"))
                    return false;
                continue;
            }
            const int n = sheet.CellCount(r);
            for (int c = 0; c < n; ++c) {
                const TWorksheet::Cell& cell = *sheet.CellAt(r, c);
                if (cell.Kind == TCellKind::Empty && cell.Style == 0)
                    continue;
                lxw_format* format = FormatOf(cell.Style);
                if (cell.Style != 0 && format == nullptr)
                    return Fail(QStringLiteral("a cell format cannot be made"));
                lxw_error err = LXW_NO_ERROR;
                const lxw_row_t row = lxw_row_t(r);
                const lxw_col_t col = lxw_col_t(c);
                if (cell.Kind == TCellKind::Number && std::isfinite(cell.Number))
                    err = worksheet_write_number(ws, row, col, cell.Number, format);
                else if (cell.Kind == TCellKind::Text && cell.Text.Length > 0)
                    err = worksheet_write_string(ws, row, col, Utf8(sheet.TextOf(cell)), format);
                else if (format != nullptr)
                    err = worksheet_write_blank(ws, row, col, format);
                if (!Check(err, "cell"))
                    return false;
            }
        }
        return true;
    }

    const TWorkbook& book_;
    QString* error_;
    lxw_workbook* wb_ = nullptr;
    std::vector<lxw_format*> formats_;
    lxw_format* wrapped_ = nullptr;
    QStringEncoder encoder_{QStringEncoder::Utf8};
    std::vector<char> buffer_;
};

} // namespace

bool WriteXlsxFile(const TWorkbook& workbook, const QString& fileName, QString* error)
{
    if (error != nullptr)
        error->clear();
    TXlsxWriter writer(workbook, error);
    return writer.Write(fileName);
}

} // namespace reports
