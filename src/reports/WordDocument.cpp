#include "reports/WordDocument.h"

#include "reports/RtfWriter.h"

#include <algorithm>
#include <numeric>

namespace reports {

// ---- Paragraphs ---------------------------------------------------------------

int TWpParagraph::Length() const
{
    int n = 0;
    for (const TWpRun& run : Runs)
        n += run.Picture >= 0 ? 1 : int(run.Text.size());
    return n;
}

QString TWpParagraph::Text() const
{
    QString text;
    for (const TWpRun& run : Runs)
        if (run.Picture < 0)
            text += run.Text;
    return text;
}

// ---- Tables -------------------------------------------------------------------

TWpTable::TWpTable(int rows, int cols) : rows_(std::max(rows, 0)), cols_(std::max(cols, 0))
{
    ends_.reserve(std::size_t(rows_) * std::size_t(cols_));
}

void TWpTable::AppendCell(QStringView text)
{
    if (ends_.size() >= std::size_t(rows_) * std::size_t(cols_))
        return;
    pool_.insert(pool_.end(), text.utf16(), text.utf16() + text.size());
    ends_.push_back(uint32_t(pool_.size()));
}

QStringView TWpTable::Cell(int row, int col) const
{
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_)
        return {};
    const std::size_t i = std::size_t(row) * std::size_t(cols_) + std::size_t(col);
    if (i >= ends_.size())
        return {};
    const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return QStringView(pool_.data() + begin, qsizetype(ends_[i] - begin));
}

void TWpTable::SetCell(int row, int col, QStringView text)
{
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_)
        return;
    while (ends_.size() < std::size_t(rows_) * std::size_t(cols_))
        ends_.push_back(uint32_t(pool_.size()));
    const std::size_t i = std::size_t(row) * std::size_t(cols_) + std::size_t(col);
    const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    const uint32_t end = ends_[i];
    const qsizetype delta = text.size() - qsizetype(end - begin);
    pool_.erase(pool_.begin() + begin, pool_.begin() + end);
    pool_.insert(pool_.begin() + begin, text.utf16(), text.utf16() + text.size());
    for (std::size_t k = i; k < ends_.size(); ++k)
        ends_[k] = uint32_t(qsizetype(ends_[k]) + delta);
}

std::size_t TWpTable::MemoryBytes() const
{
    return sizeof(*this) + pool_.capacity() * sizeof(char16_t) + ends_.capacity() * sizeof(uint32_t)
        + ColWidths.capacity() * sizeof(int) + MinColWidths.capacity() * sizeof(int) + RowShading.capacity();
}

std::vector<int> FittedColumnWidths(const TWpTable& table, int available)
{
    const std::size_t n = std::size_t(std::max(table.Cols(), 0));
    std::vector<int> full(n), least(n);
    for (std::size_t c = 0; c < n; ++c) {
        full[c] = c < table.ColWidths.size() ? std::max(table.ColWidths[c], 1) : 1440;
        // Without a least width a column may shrink as far as the others.
        least[c] = c < table.MinColWidths.size() ? std::clamp(table.MinColWidths[c], 1, full[c]) : 0;
    }
    const qint64 fullSum = std::accumulate(full.begin(), full.end(), qint64(0));
    if (n == 0 || available <= 0 || fullSum <= available)
        return full;
    const qint64 leastSum = std::accumulate(least.begin(), least.end(), qint64(0));
    std::vector<int> out(n);
    if (leastSum <= available) {
        // What is left over the least widths, shared by what each column lacks.
        const qint64 spare = available - leastSum;
        const qint64 lacking = fullSum - leastSum;
        for (std::size_t c = 0; c < n; ++c)
            out[c] = std::max(1, least[c] + int(lacking > 0 ? qint64(full[c] - least[c]) * spare / lacking : 0));
    } else {
        for (std::size_t c = 0; c < n; ++c)
            out[c] = std::max(1, int(qint64(least[c]) * available / leastSum));
    }
    return out;
}

int WordTextWidth(bool landscape)
{
    const rtf::TRtfDocumentSettings page;
    return (landscape ? page.PaperHeight : page.PaperWidth) - page.MarginLeft - page.MarginRight;
}

// ---- The document -------------------------------------------------------------

TWpDocument::TWpDocument()
{
    Clear();
}

void TWpDocument::Clear()
{
    blocks_.clear();
    paragraphs_.clear();
    tables_.clear();
    pictures_.clear();
    formats_.assign(1, TWpCharFormat{});
    current_ = 0;
    Landscape = false;
    paragraphs_.emplace_back();
    blocks_.push_back({false, 0});
    posBlock_ = 0;
    posOffset_ = 0;
}

uint32_t TWpDocument::FormatIndex(const TWpCharFormat& format)
{
    for (std::size_t i = 0; i < formats_.size(); ++i)
        if (formats_[i] == format)
            return uint32_t(i);
    formats_.push_back(format);
    return uint32_t(formats_.size() - 1);
}

void TWpDocument::SetCurrentFormat(const TWpCharFormat& format)
{
    current_ = FormatIndex(format);
    // An empty paragraph takes the format for its mark, so an empty line has
    // the height of the font that is set.
    TWpParagraph& p = PositionParagraph();
    if (p.Runs.empty())
        p.MarkFormat = current_;
}

std::size_t TWpDocument::SplitRunsAt(TWpParagraph& p, int offset)
{
    int at = 0;
    for (std::size_t i = 0; i < p.Runs.size(); ++i) {
        if (at >= offset)
            return i;
        TWpRun& run = p.Runs[i];
        const int len = run.Picture >= 0 ? 1 : int(run.Text.size());
        if (offset < at + len) {
            // Inside a text run: cut it in two.
            TWpRun tail = run;
            tail.Text = run.Text.mid(offset - at);
            run.Text.truncate(offset - at);
            p.Runs.insert(p.Runs.begin() + std::ptrdiff_t(i) + 1, std::move(tail));
            return i + 1;
        }
        at += len;
    }
    return p.Runs.size();
}

void TWpDocument::TypeText(QStringView text)
{
    if (text.isEmpty())
        return;
    TWpParagraph& p = PositionParagraph();
    const std::size_t i = SplitRunsAt(p, posOffset_);
    if (i > 0 && p.Runs[i - 1].Picture < 0 && p.Runs[i - 1].Format == current_) {
        p.Runs[i - 1].Text.append(text);
    } else {
        TWpRun run;
        run.Format = current_;
        run.Text = text.toString();
        p.Runs.insert(p.Runs.begin() + std::ptrdiff_t(i), std::move(run));
    }
    posOffset_ += int(text.size());
}

int TWpDocument::SplitParagraph(int offset)
{
    const int index = blocks_[std::size_t(posBlock_)].Index;
    const std::size_t i = SplitRunsAt(paragraphs_[std::size_t(index)], offset);
    TWpParagraph tail;
    {
        TWpParagraph& p = paragraphs_[std::size_t(index)];
        tail.Align = p.Align;
        tail.MarkFormat = p.MarkFormat;
        tail.Runs.assign(std::make_move_iterator(p.Runs.begin() + std::ptrdiff_t(i)),
                         std::make_move_iterator(p.Runs.end()));
        p.Runs.erase(p.Runs.begin() + std::ptrdiff_t(i), p.Runs.end());
    }
    paragraphs_.push_back(std::move(tail));
    blocks_.insert(blocks_.begin() + posBlock_ + 1, TWpBlock{false, int(paragraphs_.size() - 1)});
    return posBlock_ + 1;
}

void TWpDocument::TypeParagraph()
{
    PositionParagraph().MarkFormat = current_;
    posBlock_ = SplitParagraph(posOffset_);
    posOffset_ = 0;
    PositionParagraph().MarkFormat = current_;
}

void TWpDocument::InsertPageBreak()
{
    if (posOffset_ == 0 && !PositionParagraph().PageBreakBefore) {
        PositionParagraph().PageBreakBefore = true;
        return;
    }
    posBlock_ = SplitParagraph(posOffset_);
    posOffset_ = 0;
    PositionParagraph().PageBreakBefore = true;
}

void TWpDocument::InsertPicture(const QByteArray& png, QSize pixels)
{
    pictures_.push_back({png, pixels});
    TWpParagraph& p = PositionParagraph();
    const std::size_t i = SplitRunsAt(p, posOffset_);
    TWpRun run;
    run.Format = current_;
    run.Picture = int(pictures_.size() - 1);
    p.Runs.insert(p.Runs.begin() + std::ptrdiff_t(i), std::move(run));
    posOffset_ += 1;
}

void TWpDocument::InsertTable(std::unique_ptr<TWpTable> table)
{
    if (!table)
        return;
    if (posOffset_ > 0) {
        posBlock_ = SplitParagraph(posOffset_);
        posOffset_ = 0;
    }
    tables_.push_back(std::move(table));
    blocks_.insert(blocks_.begin() + posBlock_, TWpBlock{true, int(tables_.size() - 1)});
    ++posBlock_;
}

TWpAlign TWpDocument::Alignment() const
{
    return PositionParagraph().Align;
}

void TWpDocument::SetAlignment(TWpAlign align)
{
    PositionParagraph().Align = align;
}

void TWpDocument::MoveToStart()
{
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        if (!blocks_[b].IsTable) {
            posBlock_ = int(b);
            posOffset_ = 0;
            return;
        }
    }
}

void TWpDocument::MoveToEnd()
{
    posBlock_ = int(blocks_.size()) - 1;
    posOffset_ = PositionParagraph().Length();
}

int TWpDocument::LineCount() const
{
    int n = 0;
    for (const TWpBlock& b : blocks_)
        n += b.IsTable ? Table(b).Rows() * Table(b).Cols() : 1;
    return n;
}

QString TWpDocument::LineText(int index) const
{
    if (index < 0)
        return QString();
    for (const TWpBlock& b : blocks_) {
        if (!b.IsTable) {
            if (index == 0)
                return Paragraph(b).Text();
            --index;
            continue;
        }
        const TWpTable& t = Table(b);
        const int cells = t.Rows() * t.Cols();
        if (index < cells)
            return t.Cell(index / t.Cols(), index % t.Cols()).toString();
        index -= cells;
    }
    return QString();
}

bool TWpDocument::SetLineText(int index, QStringView text)
{
    if (index < 0)
        return false;
    for (std::size_t bi = 0; bi < blocks_.size(); ++bi) {
        const TWpBlock& b = blocks_[bi];
        if (!b.IsTable) {
            if (index == 0) {
                TWpParagraph& p = paragraphs_[std::size_t(b.Index)];
                const uint32_t format = p.Runs.empty() ? p.MarkFormat : p.Runs.front().Format;
                p.Runs.clear();
                if (!text.isEmpty()) {
                    TWpRun run;
                    run.Format = format;
                    run.Text = text.toString();
                    p.Runs.push_back(std::move(run));
                }
                if (int(bi) == posBlock_)
                    posOffset_ = std::min(posOffset_, p.Length());
                return true;
            }
            --index;
            continue;
        }
        TWpTable& t = *tables_[std::size_t(b.Index)];
        const int cells = t.Rows() * t.Cols();
        if (index < cells) {
            t.SetCell(index / t.Cols(), index % t.Cols(), text);
            return true;
        }
        index -= cells;
    }
    return false;
}

std::size_t TWpDocument::MemoryBytes() const
{
    std::size_t bytes = blocks_.capacity() * sizeof(TWpBlock) + paragraphs_.capacity() * sizeof(TWpParagraph);
    for (const TWpParagraph& p : paragraphs_)
        for (const TWpRun& r : p.Runs)
            bytes += sizeof(TWpRun) + std::size_t(r.Text.capacity()) * 2;
    for (const auto& t : tables_)
        bytes += t->MemoryBytes();
    for (const TWpPicture& pic : pictures_)
        bytes += std::size_t(pic.Png.size());
    return bytes;
}

} // namespace reports
