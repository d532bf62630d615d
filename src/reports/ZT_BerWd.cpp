#include "reports/ZT_BerWd.h"

#include "platform/Printer.h"

#include "platform/Clipboard.h"
#include "platform/StringGrid.h"
#include "platform/TextCodec.h"
#include "reports/ReportFiles.h"
#include "reports/RtfReader.h"
#include "reports/WordRtf.h"
#include "reports/WordTextDocument.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>

#include <algorithm>

using namespace reports;

bool WordConnected = false;

namespace {

constexpr int LineCapacity = 255;

// Text without leading and trailing blanks and control characters.
QString Stripped(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= ' ')
        ++b;
    while (e > b && text[e - 1].unicode() <= ' ')
        --e;
    return text.mid(b, e - b);
}

// The longest piece of a text that a line cannot be broken in: lines break
// at blanks, and after a hyphen that a letter follows ("V1-" "Differenz");
// a minus sign before a number stays with it.
QStringView LongestWord(QStringView text)
{
    QStringView best;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        qsizetype end = -1, next = -1;
        if (i == n || text[i].isSpace()) {
            end = i;
            next = i + 1;
        } else if (text[i] == QLatin1Char('-') && i > start && i + 1 < n && text[i + 1].isLetter()) {
            end = i + 1;
            next = i + 1;
        }
        if (end < 0)
            continue;
        if (end - start > best.size())
            best = text.mid(start, end - start);
        start = next;
    }
    return best;
}

// Column widths in twips for the longest text of each column in the font:
// measured with the font at 20 pixels a point, so the advance is in twips
// whatever the screen's resolution.
std::vector<int> MeasureColumns(const TWpCharFormat& format, const std::vector<QStringView>& longest)
{
    std::vector<int> widths;
    widths.reserve(longest.size());
    // The cell's inner margins (twice the gap of 54 twips) and a little air.
    constexpr int Padding = 2 * 54 + 60;
    const bool haveFonts = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!haveFonts) {
        for (const QStringView t : longest)
            widths.push_back(int(t.size()) * format.Size * 12 + Padding);
        return widths;
    }
    QFont font(format.Font);
    font.setPixelSize(std::max(1, format.Size * 20));
    font.setBold(format.Bold);
    font.setItalic(format.Italic);
    const QFontMetricsF metrics(font);
    for (const QStringView t : longest)
        widths.push_back(int(std::ceil(metrics.horizontalAdvance(t.toString()))) + Padding);
    return widths;
}

bool PngSize(const QByteArray& png, QSize& size)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    size = reader.size();
    return size.isValid() && !size.isEmpty();
}

} // namespace

TBer_Intf_MsWord97::TBer_Intf_MsWord97(const QString& title, const QString& fileName, TReportCallback callback)
    : TBer_Intf_Basis(title, fileName, std::move(callback))
{
    Closing = false;
    WordConnected = true;
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile())
        LoadFromFile(fileName);
    OnCellColor = nullptr;
    Aborted = false;
}

// The report files stay where they are: the user may have them open.
TBer_Intf_MsWord97::~TBer_Intf_MsWord97()
{
    Closing = true;
    Closing = false;
}

uint8_t TBer_Intf_MsWord97::WordColourIndex(platform::TColor colour)
{
    static const struct {
        platform::TColor colour;
        uint8_t index;
    } map[] = {
        {0x00FFFF, 7},  {0x0000FF, 6},  {0xFFFF00, 3},  {0xC0C0C0, 16}, {0x000000, 1},
        {0x000080, 13}, {0x008000, 11}, {0x008080, 14}, {0x800000, 9},  {0x800080, 12},
        {0x808000, 10}, {0x808080, 15}, {0x00FF00, 4},  {0xFF0000, 2},  {0xFF00FF, 5},
        {0xFFFFFF, 8},  {0xA4A0A0, 15}, {0xF0CAA6, 3},  {0xF0FBFF, 16},
        // Money green ($C0DCC0) has no colour index of its own: no shading.
    };
    for (const auto& m : map)
        if (m.colour == colour)
            return m.index;
    return 0;
}

void TBer_Intf_MsWord97::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EReportFileError(QStringLiteral("%1: %2").arg(fileName, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    // A rich-text file comes in through the rich-text reader; anything else
    // is plain text, line by line (UTF-8 or Windows-1252).
    if (rtf::LooksLikeRtf(bytes)) {
        QTextDocument text;
        rtf::TRtfReadInfo info;
        if (rtf::ReadRtf(bytes, &text, &info)) {
            TextDocumentToWord(text, doc_);
            doc_.Landscape = info.Settings.Landscape;
            return;
        }
        // Too large a document is not read as lines of RTF instead.
        if (!info.Refusal.isEmpty())
            throw EReportFileError(QStringLiteral("%1: %2").arg(fileName, info.Refusal).toStdString());
    }
    doc_.Clear();
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i > 0)
            doc_.TypeParagraph();
        doc_.TypeText(platform::DecodeLine(line));
    }
    doc_.MoveToStart();
}

void TBer_Intf_MsWord97::SaveToFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    QString error;
    if (!WriteWordRtfFile(doc_, fileName, &error))
        throw EReportFileError(QStringLiteral("%1: %2").arg(fileName, error).toStdString());
}

void TBer_Intf_MsWord97::AddText(const QString& text) { WriteLine(text); }
void TBer_Intf_MsWord97::AddLine(const QString& text) { WriteLine(text); }

void TBer_Intf_MsWord97::WriteLine(const QString& text)
{
    doc_.TypeText(text);
    NewLine();
}

void TBer_Intf_MsWord97::NewLine()
{
    doc_.TypeParagraph();
}

void TBer_Intf_MsWord97::WriteAligned(const QString& text, uint8_t alignment)
{
    const TWpAlign before = doc_.Alignment();
    switch (alignment) {
    case raLeft: doc_.SetAlignment(TWpAlign::Left); break;
    case raRight: doc_.SetAlignment(TWpAlign::Right); break;
    case raCentre: doc_.SetAlignment(TWpAlign::Centre); break;
    default: break;
    }
    WriteLine(text);
    doc_.SetAlignment(before);
}

void TBer_Intf_MsWord97::WriteLines(const QStringList& memo)
{
    for (const QString& line : memo)
        WriteLine(line.left(LineCapacity));
}

void TBer_Intf_MsWord97::InsertGraphic(const TReportGraphic& graphic)
{
    PutGraphicOnClipboard(graphic);
    PasteFromClipboard();
    NewLine();
}

void TBer_Intf_MsWord97::PasteFromClipboard()
{
    const platform::TClipboardContent content = platform::ClipboardContent();
    QByteArray png = content.Format(QString::fromLatin1(platform::MimePng));
    if (png.isEmpty() && !content.Image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        content.Image.save(&buffer, "PNG");
    }
    if (!png.isEmpty()) {
        QSize size;
        if (PngSize(png, size))
            doc_.InsertPicture(png, size);
        return;
    }
    if (!content.HasText)
        return;
    // Text comes in as typed: a paragraph per line.
    const QStringList lines = content.Text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i > 0)
            doc_.TypeParagraph();
        doc_.TypeText(line);
    }
}

// A pasted picture already sits in the text flow as an inline picture: there
// is no floating shape left to convert.
void TBer_Intf_MsWord97::AfterPaste() {}

void TBer_Intf_MsWord97::NewPage()
{
    doc_.InsertPageBreak();
    WriteLine(QString());
}

void TBer_Intf_MsWord97::SkipLines(int amount)
{
    // A line counts as 10 points.
    const int n = amount > 0 ? amount / 10 : 0;
    for (int i = 0; i < n; ++i)
        NewLine();
}

void TBer_Intf_MsWord97::SetFontFrom(const QFont& font)
{
    QString name;
    uint16_t size = 0;
    TReportFontStyles style = 0;
    FontParts(font, name, size, style);
    SetFont(name, size, style);
}

void TBer_Intf_MsWord97::SetFont(const QString& name, uint16_t size, TReportFontStyles style)
{
    TWpCharFormat f;
    f.Font = name.isEmpty() ? doc_.CurrentFormat().Font : name;
    f.Size = std::max<int>(1, size);
    f.Bold = (style & rfsBold) != 0;
    f.Italic = (style & rfsItalic) != 0;
    f.Underline = (style & rfsUnderline) != 0;
    // Strike-out is not carried over, as the word processor's report never did.
    doc_.SetCurrentFormat(f);
}

void TBer_Intf_MsWord97::SetOrientation(uint8_t orientation)
{
    if (orientation == roPortrait)
        doc_.Landscape = false;
    else if (orientation == roLandscape)
        doc_.Landscape = true;
}

void TBer_Intf_MsWord97::PrintDialog() {}
void TBer_Intf_MsWord97::Preview() {}
void TBer_Intf_MsWord97::SetCaption(const QString&) {}

void TBer_Intf_MsWord97::Print(uint16_t fromPage, uint16_t toPage)
{
    // A failed job is a failure of the target, as a refused print was.
    const QString job = Title().isEmpty() ? QStringLiteral("Bericht") : Title();
    if (!PrintWordDocument(doc_, job, fromPage, toPage)) {
        // The user cancelled the question for the PDF file: nothing to report.
        if (platform::Printer().BeginCancelled())
            return;
        throw EReportFileError(QStringLiteral("printing \"%1\" failed").arg(job).toStdString());
    }
}

QString TBer_Intf_MsWord97::GetLine(uint16_t index)
{
    return doc_.LineText(index).left(LineCapacity);
}

int TBer_Intf_MsWord97::GetLineCount()
{
    return doc_.LineCount();
}

void TBer_Intf_MsWord97::SetLine(uint16_t index, const QString& text)
{
    doc_.SetLineText(index, Stripped(text));
}

bool TBer_Intf_MsWord97::SetVisible(bool visible)
{
    if (visible)
        return ShowResult(true);
    visible_ = false;
    return true;
}

bool TBer_Intf_MsWord97::ShowResult(bool show)
{
    if (!show) {
        visible_ = false;
        return true;
    }
    // The view starts at the top.
    doc_.MoveToStart();
    QString error;
    const QString file = CreateUniqueReportFile(QStringLiteral("rtf"), &error);
    if (file.isEmpty())
        return false;
    if (!WriteWordRtfFile(doc_, file, &error)) {
        QFile::remove(file);
        return false;
    }
    resultFile_ = file;
    // The report is done once its file is written: when no word processor
    // shows it, the user is told where it is.
    visible_ = PresentReportFile(file);
    return true;
}

bool TBer_Intf_MsWord97::IsVisible()
{
    return WordConnected && visible_;
}

void TBer_Intf_MsWord97::Clear(const QString&)
{
    doc_.Clear();
}

void TBer_Intf_MsWord97::WriteTable(const platform::TStringGridModel& grid)
{
    const int rowCount = grid.RowCount();
    const int colCount = grid.ColCount();
    // Columns of width 0 are left out, except the last one.
    std::vector<int> cols;
    for (int c = 0; c + 1 < colCount; ++c)
        if (grid.ColWidth(c) > 0)
            cols.push_back(c);
    cols.push_back(colCount - 1);

    if (int(cols.size()) > MaxTableColumns) {
        // Too wide for a table: the rows stay as lines, the cells separated
        // by '|', and a line says why.
        for (int r = 0; r < rowCount; ++r) {
            QString line;
            for (std::size_t i = 0; i < cols.size(); ++i) {
                if (i > 0)
                    line += QLatin1Char('|');
                line += grid.CellView(cols[i], r);
            }
            WriteLine(line);
        }
        WriteLine(QString::fromLatin1(TableTooBigText));
        NewLine();
        return;
    }

    auto table = std::make_unique<TWpTable>(rowCount, int(cols.size()));
    std::vector<QStringView> longest(cols.size());
    // Each column's longest word: the least width it can be fitted to.
    std::vector<QStringView> longestWord(cols.size());
    for (int r = 0; r < rowCount; ++r) {
        for (std::size_t i = 0; i < cols.size(); ++i) {
            const QStringView text = grid.CellView(cols[i], r);
            table->AppendCell(text);
            if (text.size() > longest[i].size())
                longest[i] = text;
            // No word of a text is longer than the text.
            if (text.size() > longestWord[i].size()) {
                const QStringView word = LongestWord(text);
                if (word.size() > longestWord[i].size())
                    longestWord[i] = word;
            }
        }
    }
    table->ColWidths = MeasureColumns(doc_.CurrentFormat(), longest);
    table->MinColWidths = MeasureColumns(doc_.CurrentFormat(), longestWord);
    table->Format = doc_.CurrentFormatIndex();
    table->CellAlign = TWpAlign::Centre;
    table->HeaderBottomRow = grid.FixedRows() > 0 ? grid.FixedRows() - 1 : -1;
    // The line after the fixed columns; none when no fixed column shows.
    int shownFixed = 0;
    for (int c = 0; c < grid.FixedCols(); ++c)
        if (grid.ColWidth(c) > 0)
            ++shownFixed;
    table->RightBorderCol = shownFixed > 0 ? shownFixed - 1 : -1;
    table->LineWidth = 10;
    table->FrameWidth = 30;

    if (OnCellColor) {
        try {
            for (int r = 0; r < rowCount; ++r) {
                platform::TColor colour = 0;
                if (OnCellColor(grid, uint16_t(grid.FixedCols()), r, false, colour)) {
                    if (table->RowShading.empty())
                        table->RowShading.assign(std::size_t(rowCount), 0);
                    table->RowShading[std::size_t(r)] = WordColourIndex(colour);
                }
            }
        } catch (...) {
            // A failing colour query leaves the rest of the rows unshaded.
        }
    }
    doc_.InsertTable(std::move(table));
    NewLine();
}
