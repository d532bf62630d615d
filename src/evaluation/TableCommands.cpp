#include "evaluation/TableCommands.h"

#include "base/ZT_Tools.h"
#include "evaluation/GridSort.h"
#include "evaluation/TableModel.h"
#include "platform/FileChars.h"
#include "reports/ReportFiles.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <new>
#include <vector>

// ---- Copy ---------------------------------------------------------------------------

namespace {

// The visible columns of a copy, in order.
std::vector<int> CopyColumns(const platform::TStringGridModel& grid, const platform::TGridRect& sel,
                             bool withHeaders)
{
    std::vector<int> cols;
    auto add = [&](int c) {
        if (grid.ColWidth(c) > 0)
            cols.push_back(c);
    };
    if (withHeaders)
        for (int c = 0; c < grid.FixedCols(); ++c)
            add(c);
    for (int c = sel.Left; c <= sel.Right; ++c)
        add(c);
    return cols;
}

void AppendCopyRow(QString& out, const platform::TStringGridModel& grid, int row, const std::vector<int>& cols)
{
    bool first = true;
    for (const int c : cols) {
        const QStringView cell = grid.CellView(c, row);
        if (first) {
            out.append(cell.left(CopyPieceCapacity));
            first = false;
        } else {
            out.append(QLatin1Char('\t'));
            out.append(cell.left(CopyPieceCapacity - 1));
        }
    }
    out.append(QLatin1Char('\n'));
}

} // namespace

TCopyResult BuildCopyText(const platform::TStringGridModel& grid, bool withHeaders, QString& text)
{
    text.clear();
    const platform::TGridRect sel = grid.Selection();
    if (sel.Left < grid.FixedCols() || sel.Top < grid.FixedRows() || sel.Right < sel.Left || sel.Bottom < sel.Top)
        return TCopyResult::NotUsable;
    try {
        const std::vector<int> cols = CopyColumns(grid, sel, withHeaders);
        QString out;
        if (withHeaders)
            for (int r = 0; r < grid.FixedRows(); ++r)
                AppendCopyRow(out, grid, r, cols);
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            AppendCopyRow(out, grid, r, cols);
        text = std::move(out);
    } catch (const std::bad_alloc&) {
        text.clear();
        return TCopyResult::NoMemory;
    }
    return TCopyResult::Ok;
}

// ---- Sort ---------------------------------------------------------------------------

bool IsDateColumn(const platform::TStringGridModel& grid, int col, const QString& timeCaption)
{
    if (col < 0 || col >= grid.ColCount())
        return false;
    const QString time = UpperCaseShort(TrimControlChars(timeCaption));
    const int rows = std::max(grid.FixedRows(), 1);
    for (int r = 0; r < rows; ++r) {
        const QString head = UpperCaseShort(TrimControlChars(grid.Cell(col, r)));
        if (head.isEmpty())
            continue;
        if (head == QLatin1String("DATUM") || head == QLatin1String("DATE") || (!time.isEmpty() && head == time))
            return true;
    }
    return false;
}

TSortOutcome SortTableByColumn(TTableModel& model, const QString& columnText, const QString& timeCaption)
{
    platform::TStringGridModel& grid = model.Grid();
    TSortOutcome outcome;
    outcome.PreviousColumn = model.SortColumn;
    const int32_t number = ParseIntDef(columnText);
    const int column = number == -9999 ? -1 : number - 1;
    if (column < 0 || column > grid.ColCount() - 1)
        return outcome;
    model.Descending = column == model.SortColumn ? !model.Descending : false;
    outcome.ByDate = IsDateColumn(grid, column, timeCaption);
    outcome.ByNumber = !outcome.ByDate && ColumnHoldsNumbers(column, grid);
    if (outcome.ByDate)
        SortGridByDate(column, model.Descending, grid);
    else if (outcome.ByNumber)
        SortGridByNumber(column, model.Descending, grid);
    else
        SortGridByValue(column, model.Descending, grid);
    model.SortColumn = column;
    outcome.Sorted = true;
    outcome.Column = column;
    outcome.Descending = model.Descending;
    return outcome;
}

// ---- HTML export ----------------------------------------------------------------------

namespace {

void AppendEntity(QByteArray& out, char32_t code)
{
    out.append("&#");
    out.append(QByteArray::number(uint(code)));
    out.append(';');
}

// Appends text cut to capacity characters, escaped for HTML.
void AppendHtml(QByteArray& out, QStringView text, int capacity)
{
    if (capacity >= 0 && text.size() > capacity) {
        text = text.left(capacity);
        // Never keep half of a surrogate pair.
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'&': out.append("&amp;"); continue;
        case u'<': out.append("&lt;"); continue;
        case u'>': out.append("&gt;"); continue;
        case u'"': out.append("&quot;"); continue;
        default: break;
        }
        if (u >= 0x20 && u < 0x7F) {
            out.append(char(u));
            continue;
        }
        // A character HTML cannot hold (NUL, another control character, a
        // noncharacter, half a surrogate pair) is shown as U+FFFD; a C1
        // control would otherwise appear as a Windows-1252 letter.
        char32_t code = platform::CodePointAt(text, i);
        if (!platform::DocumentCanHold(code))
            code = platform::ReplacementCharacter;
        if (code < 0x80)
            out.append(char(code));
        else
            AppendEntity(out, code);
    }
}

void Line(QByteArray& out, const char* text)
{
    out.append(text);
    out.append("\r\n");
}

// Writes the file through a buffer that goes to the file whenever it grows
// beyond a few hundred kilobytes; remembers the first write error.
class THtmlSink {
public:
    explicit THtmlSink(QFile* file) : file_(file)
    {
        // The text built in memory grows as it needs.
        if (file_ != nullptr)
            buf_.reserve(Chunk + 4096);
    }
    QByteArray& Buffer() { return buf_; }
    void MaybeFlush()
    {
        if (file_ != nullptr && buf_.size() >= Chunk)
            Flush();
    }
    void Flush()
    {
        if (file_ == nullptr || buf_.isEmpty())
            return;
        if (ok_ && file_->write(buf_) != buf_.size())
            ok_ = false;
        buf_.clear();
    }
    bool Ok() const { return ok_; }

private:
    static constexpr qsizetype Chunk = 512 * 1024;
    QFile* file_;
    QByteArray buf_;
    bool ok_ = true;
};

void WriteHtml(THtmlSink& sink, const QString& fileName, const THtmlExportInput& in)
{
    QByteArray& out = sink.Buffer();
    const auto quoted = [&](const QString& face) {
        out.append('"');
        AppendHtml(out, face, -1);
        out.append('"');
    };
    Line(out, "<HTML>");
    Line(out, "<HEAD>");
    out.append("<TITLE>");
    AppendHtml(out, FileStemPart(fileName), -1);
    Line(out, "</TITLE>");
    Line(out, "<!-- Automatically generated by HTML-Exporter from Z.T.! -->");
    Line(out, "</HEAD>");
    out.append("<P><B><FONT><FONT FACE=");
    quoted(in.MemoFontName);
    Line(out, " SIZE=5>");
    for (const QString& line : in.TitleLines) {
        if (line.isEmpty())
            continue;
        AppendHtml(out, line, -1);
        Line(out, "<BR>");
    }
    if (in.ChooserHasItems) {
        AppendHtml(out, in.ChooserText, -1);
        Line(out, "<BR>");
    }
    if (!in.EvaluationLabel.isEmpty()) {
        AppendHtml(out, in.EvaluationLabel, -1);
        Line(out, "<BR>");
    }
    Line(out, "</B></FONT></P>");
    Line(out, "<BODY>");
    out.append("<B><FONT><FONT FACE=");
    quoted(in.GridFontName);
    Line(out, " SIZE=1>");
    Line(out, "<TABLE CELLSPACING=1 BORDER=1 CELLPADDING=1 WIDTH= 100%>");
    Line(out, "<TR>");
    const platform::TStringGridModel* grid = in.Grid;
    std::vector<int> cols;
    if (grid != nullptr)
        for (int c = 0; c < grid->ColCount(); ++c)
            if (grid->ColWidth(c) > 0)
                cols.push_back(c);
    for (const int c : cols) {
        QString head;
        for (int r = 0; r < grid->FixedRows(); ++r)
            head += grid->CellView(c, r);
        out.append("<TD VALIGN=\"TOP\"><B><P>");
        AppendHtml(out, head, HtmlCellCapacity);
        Line(out, "</P></B></TD>");
    }
    Line(out, "</TR>");
    Line(out, "</B></FONT>");
    out.append("<FONT><FONT FACE=");
    quoted(in.GridFontName);
    Line(out, " SIZE=1>");
    if (grid != nullptr) {
        for (int r = grid->FixedRows(); r < grid->RowCount(); ++r) {
            Line(out, "<TR>");
            for (const int c : cols) {
                Line(out, "<TD VALIGN=\"TOP\">");
                out.append("<P>");
                const QStringView cell = grid->CellView(c, r);
                if (cell.isEmpty())
                    out.append('-');
                else
                    AppendHtml(out, cell, HtmlCellCapacity);
                Line(out, "</TD>");
            }
            Line(out, "</TR>");
            sink.MaybeFlush();
        }
    }
    Line(out, "</FONT>");
    Line(out, "</TABLE>");
    Line(out, "</BODY>");
    Line(out, "</HTML>");
}

} // namespace

QString HtmlText(QStringView text, int capacity)
{
    QByteArray out;
    AppendHtml(out, text, capacity);
    return QString::fromLatin1(out);
}

QString HtmlFileNameFor(const QString& printFileName)
{
    QString stem = FileStemPart(printFileName);
    if (stem.isEmpty())
        stem = QStringLiteral("STANDARD");
    const QString dir = ExtractPathPart(printFileName);
    if (!dir.isEmpty())
        return AppendBackslash(dir) + stem + QStringLiteral(".HTM");
    // The current directory is wherever the program was started from.
    const QString reports = reports::ReportDirectory();
    return reports.isEmpty() ? QString() : reports + stem + QStringLiteral(".HTM");
}

QByteArray BuildHtml(const QString& fileName, const THtmlExportInput& input)
{
    THtmlSink sink(nullptr);
    WriteHtml(sink, fileName, input);
    return sink.Buffer();
}

THtmlWriteResult WriteHtmlFile(const QString& fileName, const THtmlExportInput& input)
{
    platform::SafeFile file(fileName);
    if (!file.Open())
        return THtmlWriteResult::CreateFailed;
    THtmlSink sink(&file.Device());
    WriteHtml(sink, fileName, input);
    sink.Flush();
    if (!sink.Ok())
        file.Fail(file.Device().errorString());
    if (!file.Commit())
        return THtmlWriteResult::WriteFailed;
    return THtmlWriteResult::Ok;
}

QString ShellErrorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out of memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied access to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred.");
    case 27: return QStringLiteral("The filename association is incomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not be completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30: return QStringLiteral("The DDE transaction could not be completed because other DDE transactions were being processed.");
    case 31: return QStringLiteral("There is no application associated with the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return {};
    }
}
