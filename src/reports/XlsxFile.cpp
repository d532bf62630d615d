#include "reports/XlsxFile.h"

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

    const char* Utf8(QStringView text)
    {
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
        for (int r = 0; r < sheet.RowCount(); ++r) {
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
