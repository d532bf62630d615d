#include "reports/WordRtf.h"

#include "platform/SafeFile.h"
#include "reports/RtfWriter.h"


#include <algorithm>

namespace reports {

namespace {

constexpr int WordColourCount = 16;

rtf::TFontFamily FamilyOf(const QString& name)
{
    if (name.contains(QLatin1String("Courier"), Qt::CaseInsensitive)
        || name.contains(QLatin1String("Mono"), Qt::CaseInsensitive))
        return rtf::TFontFamily::Modern;
    if (name.contains(QLatin1String("Times"), Qt::CaseInsensitive)
        || name.contains(QLatin1String("Serif"), Qt::CaseInsensitive))
        return rtf::TFontFamily::Roman;
    if (name.contains(QLatin1String("Arial"), Qt::CaseInsensitive)
        || name.contains(QLatin1String("Sans"), Qt::CaseInsensitive))
        return rtf::TFontFamily::Swiss;
    return rtf::TFontFamily::Nil;
}

rtf::TAlign AlignOf(TWpAlign a)
{
    switch (a) {
    case TWpAlign::Centre: return rtf::TAlign::Center;
    case TWpAlign::Right: return rtf::TAlign::Right;
    case TWpAlign::Left: break;
    }
    return rtf::TAlign::Left;
}

class TDocWriter {
public:
    TDocWriter(const TWpDocument& doc, QIODevice* device) : doc_(doc), w_(device) {}

    bool Write()
    {
        std::vector<rtf::TRtfFont> fonts;
        for (const TWpCharFormat& f : doc_.Formats()) {
            int index = -1;
            for (std::size_t i = 0; i < fonts.size(); ++i)
                if (fonts[i].Name == f.Font)
                    index = int(i);
            if (index < 0) {
                fonts.push_back({f.Font, rtf::CharsetAnsi, FamilyOf(f.Font)});
                index = int(fonts.size() - 1);
            }
            rtf::TRtfCharFormat cf;
            cf.Font = index;
            cf.HalfPoints = std::clamp(f.Size, 1, 1638) * 2;
            cf.Bold = f.Bold;
            cf.Italic = f.Italic;
            cf.Underline = f.Underline;
            charFormats_.push_back(cf);
        }
        // Colour n of the table is the word processor's colour index n.
        std::vector<QColor> colours;
        for (int i = 1; i <= WordColourCount; ++i)
            colours.push_back(WordIndexColour(uint8_t(i)));

        rtf::TRtfDocumentSettings settings;
        settings.Landscape = doc_.Landscape;
        w_.Begin(settings, fonts, colours);
        textWidth_ = (settings.Landscape ? settings.PaperHeight : settings.PaperWidth) - settings.MarginLeft
            - settings.MarginRight;
        for (const TWpBlock& b : doc_.Blocks()) {
            if (b.IsTable)
                WriteTable(doc_.Table(b));
            else
                WriteParagraph(doc_.Paragraph(b));
        }
        return w_.End();
    }

private:
    const rtf::TRtfCharFormat& CharFormat(uint32_t index) const
    {
        return charFormats_[std::min<std::size_t>(index, charFormats_.size() - 1)];
    }

    void WriteParagraph(const TWpParagraph& p)
    {
        if (p.PageBreakBefore)
            w_.PageBreak();
        rtf::TRtfParagraphFormat pf;
        pf.Align = AlignOf(p.Align);
        w_.BeginParagraph(pf);
        if (p.Runs.empty()) {
            // The mark's font gives an empty line its height.
            w_.Text(QStringView(), CharFormat(p.MarkFormat));
        }
        for (const TWpRun& run : p.Runs) {
            if (run.Picture < 0) {
                w_.Text(run.Text, CharFormat(run.Format));
                continue;
            }
            const TWpPicture& pic = doc_.Pictures()[std::size_t(run.Picture)];
            // 15 twips a pixel (96 dots per inch), no wider than the text.
            QSize goal = pic.Pixels * 15;
            if (goal.width() > textWidth_ && goal.width() > 0)
                goal = QSize(textWidth_, int(qint64(goal.height()) * textWidth_ / goal.width()));
            w_.Picture(pic.Png, rtf::TPictureFormat::Png, pic.Pixels, goal);
        }
        w_.EndParagraph();
    }

    void WriteTable(const TWpTable& t)
    {
        if (t.Rows() == 0 || t.Cols() == 0)
            return;
        const rtf::TRtfCharFormat& cf = CharFormat(t.Format);
        rtf::TRtfParagraphFormat pf;
        pf.Align = AlignOf(t.CellAlign);
        const rtf::TRtfBorder frame{t.FrameWidth, 0, false};
        const rtf::TRtfBorder line{t.LineWidth, 0, false};
        rtf::TRtfRowFormat row;
        row.Cells.resize(std::size_t(t.Cols()));
        // A table wider than the text would run off the paper: fitted to it.
        const std::vector<int> widths = FittedColumnWidths(t, textWidth_);
        int edge = 0;
        for (int c = 0; c < t.Cols(); ++c) {
            edge += widths[std::size_t(c)];
            row.Cells[std::size_t(c)].RightEdge = edge;
        }
        std::vector<QStringView> texts(std::size_t(t.Cols()));
        for (int r = 0; r < t.Rows(); ++r) {
            const uint8_t shade = r < int(t.RowShading.size()) ? t.RowShading[std::size_t(r)] : 0;
            for (int c = 0; c < t.Cols(); ++c) {
                rtf::TRtfCellFormat& cell = row.Cells[std::size_t(c)];
                cell.Top = r == 0 ? frame : rtf::TRtfBorder{};
                cell.Bottom = r == t.Rows() - 1 ? frame : (r == t.HeaderBottomRow ? line : rtf::TRtfBorder{});
                cell.Left = c == 0 ? frame : (c == t.RightBorderCol + 1 ? line : rtf::TRtfBorder{});
                cell.Right = c == t.Cols() - 1 ? frame : (c == t.RightBorderCol ? line : rtf::TRtfBorder{});
                cell.Shading = shade >= 1 && shade <= WordColourCount ? shade : 0;
            }
            // The header rows repeat on every page of a long table.
            row.Header = r <= t.HeaderBottomRow;
            for (int c = 0; c < t.Cols(); ++c)
                texts[std::size_t(c)] = t.Cell(r, c);
            w_.TextRow(row, texts, cf, pf.Align);
        }
    }

    const TWpDocument& doc_;
    rtf::TRtfWriter w_;
    std::vector<rtf::TRtfCharFormat> charFormats_;
    int textWidth_ = 9638;
};

} // namespace

QColor WordIndexColour(uint8_t index)
{
    static const QRgb palette[WordColourCount] = {
        0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
        0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0,
    };
    if (index < 1 || index > WordColourCount)
        return QColor();
    return QColor(palette[index - 1]);
}

bool WriteWordRtf(const TWpDocument& document, QIODevice* device)
{
    TDocWriter writer(document, device);
    return writer.Write();
}

bool WriteWordRtfFile(const TWpDocument& document, const QString& fileName, QString* error)
{
    platform::SafeFile file(fileName);
    if (!file.Open() || !WriteWordRtf(document, &file.Device()) || !file.Commit()) {
        if (error != nullptr)
            *error = file.ErrorString().isEmpty() ? file.Device().errorString() : file.ErrorString();
        return false;
    }
    return true;
}

} // namespace reports
