#include "reports/RtfWriter.h"

#include "platform/FileChars.h"
#include "platform/TextCodec.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <charconv>

namespace rtf {

namespace {

constexpr qsizetype kFlushAt = 256 * 1024;

void appendInt(QByteArray& out, int value)
{
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr - buf);
}

void appendWord(QByteArray& out, const char* word, int value)
{
    out.append(word);
    appendInt(out, value);
}

const char kHex[] = "0123456789abcdef";

void appendHexByte(QByteArray& out, unsigned byte)
{
    out.append("\\'");
    out.append(kHex[(byte >> 4) & 0xF]);
    out.append(kHex[byte & 0xF]);
}

void appendUnicode(QByteArray& out, char16_t unit)
{
    // \u takes a signed 16-bit number; the fallback \'3f is skipped by
    // readers that understand \u (\uc1 is in the header).
    appendWord(out, "\\u", int(int16_t(unit)));
    out.append("\\'3f");
}

const char* familyWord(TFontFamily f)
{
    switch (f) {
    case TFontFamily::Roman: return "\\froman";
    case TFontFamily::Swiss: return "\\fswiss";
    case TFontFamily::Modern: return "\\fmodern";
    case TFontFamily::Script: return "\\fscript";
    case TFontFamily::Decor: return "\\fdecor";
    case TFontFamily::Tech: return "\\ftech";
    case TFontFamily::Nil: break;
    }
    return "\\fnil";
}

void appendBorder(QByteArray& out, const char* prefix, const TRtfBorder& b)
{
    if (b.Width <= 0)
        return;
    out.append(prefix);
    out.append(b.Double ? "\\brdrdb" : "\\brdrs");
    appendWord(out, "\\brdrw", std::min(b.Width, 75));
    if (b.Colour > 0)
        appendWord(out, "\\brdrcf", b.Colour);
}

} // namespace

TRtfWriter::TRtfWriter(QIODevice* device) : device_(device) {}

TRtfWriter::TRtfWriter(QByteArray* target) : target_(target) {}

TRtfWriter::~TRtfWriter()
{
    flush();
}

void TRtfWriter::put(const char* s)
{
    buffer_.append(s);
    maybeFlush();
}

void TRtfWriter::putInt(const char* word, int value)
{
    appendWord(buffer_, word, value);
}

void TRtfWriter::maybeFlush()
{
    if (buffer_.size() >= kFlushAt)
        flush();
}

void TRtfWriter::flush()
{
    if (buffer_.isEmpty())
        return;
    if (target_) {
        target_->append(buffer_);
    } else if (device_ && !failed_) {
        if (device_->write(buffer_) != buffer_.size())
            failed_ = true;
    } else {
        failed_ = true;
    }
    written_ += buffer_.size();
    buffer_.clear();
}

int TRtfWriter::charsetOf(int font) const
{
    return font >= 0 && font < int(charsets_.size()) ? charsets_[std::size_t(font)] : CharsetAnsi;
}

void TRtfWriter::Begin(const TRtfDocumentSettings& settings, const std::vector<TRtfFont>& fonts,
                       const std::vector<QColor>& colours)
{
    begun_ = true;
    buffer_.reserve(kFlushAt + 4096);
    put("{\\rtf1\\ansi\\ansicpg1252");
    putInt("\\deff", std::max(0, settings.DefaultFont));
    put("\\uc1\\deflang1031\n{\\fonttbl");
    std::vector<TRtfFont> list = fonts;
    if (list.empty())
        list.push_back({QStringLiteral("Arial"), CharsetAnsi, TFontFamily::Swiss});
    charsets_.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TRtfFont& f = list[i];
        putInt("{\\f", int(i));
        put(familyWord(f.Family));
        putInt("\\fcharset", f.Charset);
        buffer_.append(' ');
        // The name is written in the ANSI code page whatever the font's set.
        AppendText(buffer_, CleanFontName(f.Name), CharsetAnsi);
        put(";}");
        charsets_.push_back(f.Charset);
    }
    fontCount_ = int(list.size());
    put("}\n{\\colortbl;");
    for (const QColor& c : colours) {
        const QColor rgb = c.toRgb();
        putInt("\\red", rgb.red());
        putInt("\\green", rgb.green());
        putInt("\\blue", rgb.blue());
        put(";");
    }
    colourCount_ = int(colours.size());
    put("}\n{\\*\\generator valdran;}\n");

    int w = settings.PaperWidth;
    int h = settings.PaperHeight;
    if (settings.Landscape && w < h)
        std::swap(w, h);
    putInt("\\paperw", w);
    putInt("\\paperh", h);
    putInt("\\margl", settings.MarginLeft);
    putInt("\\margr", settings.MarginRight);
    putInt("\\margt", settings.MarginTop);
    putInt("\\margb", settings.MarginBottom);
    putInt("\\deftab", settings.DefaultTabWidth);
    if (settings.Landscape)
        put("\\landscape");
    // The section repeats the page for readers that take it from there.
    put("\n\\sectd");
    if (settings.Landscape)
        put("\\lndscpsxn");
    putInt("\\pgwsxn", w);
    putInt("\\pghsxn", h);
    putInt("\\marglsxn", settings.MarginLeft);
    putInt("\\margrsxn", settings.MarginRight);
    putInt("\\margtsxn", settings.MarginTop);
    putInt("\\margbsxn", settings.MarginBottom);
    put("\n");
}

bool TRtfWriter::End()
{
    if (ended_)
        return !failed_;
    if (inParagraph_)
        EndParagraph();
    if (inRow_)
        EndRow();
    if (!begun_)
        Begin(TRtfDocumentSettings{}, {});
    put("}\n");
    ended_ = true;
    flush();
    return !failed_;
}

QString TRtfWriter::CleanFontName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == ';' || u == '{' || u == '}' || u == '\\' || u == 0x2028 || u == 0x2029)
            continue;
        out.append(c);
    }
    return out.trimmed();
}

void TRtfWriter::AppendText(QByteArray& out, QStringView text, int charset)
{
    const bool oem = charset == CharsetOem;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0x7F) {
            switch (u) {
            case '\\': out.append("\\\\"); break;
            case '{': out.append("\\{"); break;
            case '}': out.append("\\}"); break;
            default: out.append(char(u)); break;
            }
            continue;
        }
        switch (u) {
        case '\t':
            out.append("\\tab ");
            continue;
        case '\r':
            // CR LF is one line end, and so is a CR alone.
            if (i + 1 < text.size() && text[i + 1].unicode() == u'\n')
                ++i;
            out.append("\\line ");
            continue;
        case '\n':
        case 0x2028:
        case 0x2029:
            out.append("\\line ");
            continue;
        default:
            break;
        }
        // A character a document cannot hold (NUL, another control
        // character, a noncharacter, half a surrogate pair) goes as U+FFFD:
        // the reader sees that something stood there. A C1 control would
        // otherwise go as an undefined Windows-1252 byte.
        const qsizetype at = i;
        if (!platform::DocumentCanHold(platform::CodePointAt(text, i))) {
            appendUnicode(out, char16_t(platform::ReplacementCharacter));
            continue;
        }
        if (i != at) {
            // A pair goes as its two halves.
            appendUnicode(out, u);
            appendUnicode(out, text[i].unicode());
            continue;
        }
        if (!oem) {
            const int code = platform::Windows1252Code(QChar(u));
            if (code >= 0x80) {
                appendHexByte(out, unsigned(code));
                continue;
            }
        }
        appendUnicode(out, u);
    }
}

// ---- Paragraphs -----------------------------------------------------------------

void TRtfWriter::writeParagraphStart(const TRtfParagraphFormat& f, bool inTable)
{
    put("\\pard");
    if (inTable)
        put("\\intbl");
    switch (f.Align) {
    case TAlign::Left: put("\\ql"); break;
    case TAlign::Center: put("\\qc"); break;
    case TAlign::Right: put("\\qr"); break;
    case TAlign::Justify: put("\\qj"); break;
    }
    int left = f.LeftIndent;
    int first = f.FirstIndent;
    if (f.Bullet != TBullet::None && left == 0 && first == 0) {
        // A bullet needs room: the usual hanging indent of a quarter inch.
        left = 360;
        first = -360;
    }
    if (left)
        putInt("\\li", left);
    if (first)
        putInt("\\fi", first);
    if (f.RightIndent)
        putInt("\\ri", f.RightIndent);
    if (f.SpaceBefore)
        putInt("\\sb", f.SpaceBefore);
    if (f.SpaceAfter)
        putInt("\\sa", f.SpaceAfter);
    for (const TRtfTab& t : f.Tabs) {
        switch (t.Kind) {
        case TTabKind::Left: break;
        case TTabKind::Center: put("\\tqc"); break;
        case TTabKind::Right: put("\\tqr"); break;
        case TTabKind::Decimal: put("\\tqdec"); break;
        }
        putInt("\\tx", t.Position);
    }
    if (f.Bullet == TBullet::Bullet) {
        // The old paragraph numbering: readers that know it draw the bullet
        // themselves and skip \pntext; the others show \pntext.
        put("{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb\\'b7}}");
    } else if (f.Bullet == TBullet::Numbered) {
        put("{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent360{\\pntxta.}}");
    } else {
        put(" ");   // ends the last control word (a group needs no such end)
    }
}

void TRtfWriter::writeCharFormat(const TRtfCharFormat& f)
{
    putInt("\\f", std::clamp(f.Font, 0, std::max(0, fontCount_ - 1)));
    putInt("\\fs", std::max(1, f.HalfPoints));
    if (f.Bold)
        put("\\b");
    if (f.Italic)
        put("\\i");
    if (f.Underline)
        put("\\ul");
    if (f.Strike)
        put("\\strike");
    if (f.Colour > 0 && f.Colour <= colourCount_)
        putInt("\\cf", f.Colour);
    if (f.Background > 0 && f.Background <= colourCount_) {
        putInt("\\highlight", f.Background);
        putInt("\\cb", f.Background);
    }
    put(" ");
}

void TRtfWriter::BeginParagraph(const TRtfParagraphFormat& format)
{
    if (!begun_)
        Begin(TRtfDocumentSettings{}, {});
    if (inParagraph_)
        EndParagraph();
    if (inRow_ && !inCell_)
        BeginCell();
    if (inCell_ && cellHasParagraph_)
        put("\\par\n");
    writeParagraphStart(format, inCell_);
    inParagraph_ = true;
}

void TRtfWriter::Text(QStringView text, const TRtfCharFormat& format)
{
    if (!inParagraph_)
        BeginParagraph(TRtfParagraphFormat{});
    put("{");
    writeCharFormat(format);
    AppendText(buffer_, text, charsetOf(format.Font));
    put("}");
}

void TRtfWriter::LineBreak()
{
    if (!inParagraph_)
        BeginParagraph(TRtfParagraphFormat{});
    put("\\line ");
}

void TRtfWriter::Tab()
{
    if (!inParagraph_)
        BeginParagraph(TRtfParagraphFormat{});
    put("\\tab ");
}

void TRtfWriter::Picture(const QByteArray& encoded, TPictureFormat kind, QSize pixelSize, QSize goal)
{
    if (encoded.isEmpty() || pixelSize.isEmpty())
        return;
    if (!inParagraph_)
        BeginParagraph(TRtfParagraphFormat{});
    if (goal.isEmpty())
        goal = pixelSize * 15;
    put(kind == TPictureFormat::Png ? "{\\pict\\pngblip" : "{\\pict\\jpegblip");
    putInt("\\picw", pixelSize.width());
    putInt("\\pich", pixelSize.height());
    putInt("\\picwgoal", goal.width());
    putInt("\\pichgoal", goal.height());
    put("\n");
    QByteArray line;
    line.reserve(130);
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const auto b = static_cast<unsigned char>(encoded[i]);
        line.append(kHex[b >> 4]);
        line.append(kHex[b & 0xF]);
        if (line.size() >= 128) {
            line.append('\n');
            put(line);
            line.clear();
        }
    }
    if (!line.isEmpty())
        put(line);
    put("}");
}

void TRtfWriter::Picture(const QImage& image, QSize goal)
{
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    if (!image.save(&buf, "PNG"))
        return;
    Picture(png, TPictureFormat::Png, image.size(), goal);
}

void TRtfWriter::EndParagraph()
{
    if (!inParagraph_)
        return;
    inParagraph_ = false;
    if (inCell_)
        cellHasParagraph_ = true;      // \par or \cell follows when we know which
    else
        put("\\par\n");
}

void TRtfWriter::Paragraph(const TRtfParagraphFormat& format, const std::vector<TRtfRun>& runs)
{
    BeginParagraph(format);
    for (const TRtfRun& r : runs)
        Text(r.Text, r.Format);
    EndParagraph();
}

void TRtfWriter::Paragraph(const TRtfParagraphFormat& format, QStringView text, const TRtfCharFormat& charFormat)
{
    BeginParagraph(format);
    Text(text, charFormat);
    EndParagraph();
}

void TRtfWriter::PageBreak()
{
    if (!begun_)
        Begin(TRtfDocumentSettings{}, {});
    if (inParagraph_)
        EndParagraph();
    if (inRow_)
        EndRow();
    put("\\pard\\page\n");
}

// ---- Tables -------------------------------------------------------------------

QByteArray TRtfWriter::encodeRowFormat(const TRtfRowFormat& r) const
{
    QByteArray out;
    out.append("\\trowd");
    appendWord(out, "\\trgaph", r.CellGap);
    if (r.LeftEdge)
        appendWord(out, "\\trleft", r.LeftEdge);
    switch (r.RowAlign) {
    case TAlign::Center: out.append("\\trqc"); break;
    case TAlign::Right: out.append("\\trqr"); break;
    default: out.append("\\trql"); break;
    }
    if (r.Height)
        appendWord(out, "\\trrh", r.Height);
    if (r.Header)
        out.append("\\trhdr");
    appendBorder(out, "\\trbrdrt", r.FrameTop);
    appendBorder(out, "\\trbrdrl", r.FrameLeft);
    appendBorder(out, "\\trbrdrb", r.FrameBottom);
    appendBorder(out, "\\trbrdrr", r.FrameRight);
    appendBorder(out, "\\trbrdrv", r.InsideVertical);
    out.append('\n');
    for (const TRtfCellFormat& c : r.Cells) {
        switch (c.VAlign) {
        case TVAlign::Top: break;   // the default
        case TVAlign::Center: out.append("\\clvertalc"); break;
        case TVAlign::Bottom: out.append("\\clvertalb"); break;
        }
        appendBorder(out, "\\clbrdrt", c.Top);
        appendBorder(out, "\\clbrdrl", c.Left);
        appendBorder(out, "\\clbrdrb", c.Bottom);
        appendBorder(out, "\\clbrdrr", c.Right);
        if (c.Shading > 0 && c.Shading <= colourCount_)
            appendWord(out, "\\clcbpat", c.Shading);
        appendWord(out, "\\cellx", c.RightEdge);
        out.append('\n');
    }
    return out;
}

void TRtfWriter::BeginRow(const TRtfRowFormat& format)
{
    if (!begun_)
        Begin(TRtfDocumentSettings{}, {});
    if (inParagraph_)
        EndParagraph();
    if (inRow_)
        EndRow();
    if (lastRowBytes_.isEmpty() || !(format == lastRow_)) {
        lastRow_ = format;
        lastRowBytes_ = encodeRowFormat(format);
    }
    put(lastRowBytes_);
    inRow_ = true;
    inCell_ = false;
    cellsInRow_ = 0;
}

void TRtfWriter::BeginCell()
{
    if (!inRow_)
        return;
    if (inCell_)
        EndCell();
    inCell_ = true;
    cellHasParagraph_ = false;
}

void TRtfWriter::EndCell()
{
    if (!inRow_)
        return;
    if (!inCell_)
        BeginCell();
    if (inParagraph_)
        EndParagraph();
    if (!cellHasParagraph_)
        put("\\pard\\intbl");
    put("\\cell\n");
    inCell_ = false;
    cellHasParagraph_ = false;
    ++cellsInRow_;
}

void TRtfWriter::EndRow()
{
    if (!inRow_)
        return;
    if (inCell_)
        EndCell();
    // A reader pairs cells with \cellx definitions: give every defined cell
    // its \cell, even when the caller wrote fewer.
    while (cellsInRow_ < int(lastRow_.Cells.size()))
        EndCell();
    put("\\row\n");
    inRow_ = false;
}

void TRtfWriter::TableRow(const TRtfRowFormat& format, const QStringList& texts, const TRtfCharFormat& charFormat,
                          TAlign align)
{
    BeginRow(format);
    TRtfParagraphFormat pf;
    pf.Align = align;
    const int n = int(format.Cells.size());
    for (int i = 0; i < n; ++i) {
        BeginCell();
        if (i < texts.size() && !texts[i].isEmpty()) {
            BeginParagraph(pf);
            Text(texts[i], charFormat);
            EndParagraph();
        }
        EndCell();
    }
    EndRow();
}

void TRtfWriter::TableRow(const TRtfRowFormat& format, const std::vector<std::vector<TRtfRun>>& cells,
                          const std::vector<TAlign>& aligns)
{
    BeginRow(format);
    const std::size_t n = format.Cells.size();
    for (std::size_t i = 0; i < n; ++i) {
        BeginCell();
        if (i < cells.size()) {
            TRtfParagraphFormat pf;
            if (i < aligns.size())
                pf.Align = aligns[i];
            BeginParagraph(pf);
            for (const TRtfRun& r : cells[i])
                Text(r.Text, r.Format);
            EndParagraph();
        }
        EndCell();
    }
    EndRow();
}

void TRtfWriter::TextRow(const TRtfRowFormat& format, const std::vector<QStringView>& texts,
                         const TRtfCharFormat& charFormat, TAlign align)
{
    BeginRow(format);
    // Paragraph properties carry from one cell's paragraph to the next and
    // the group keeps the character format to this row's cells, so both are
    // said once; the row mark outside the group keeps the default format.
    TRtfParagraphFormat pf;
    pf.Align = align;
    writeParagraphStart(pf, true);
    put("{");
    writeCharFormat(charFormat);
    const int charset = charsetOf(charFormat.Font);
    const std::size_t n = format.Cells.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i < texts.size())
            AppendText(buffer_, texts[i], charset);
        put("\\cell\n");
        ++cellsInRow_;
    }
    put("}");
    put("\\row\n");
    inRow_ = false;
    inCell_ = false;
}

} // namespace rtf
