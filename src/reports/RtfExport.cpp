#include "reports/RtfExport.h"

#include "platform/SafeFile.h"
#include "reports/RtfReader.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace rtf {

namespace {

int twips(double pixels) { return int(std::lround(pixels * 15.0)); }

bool isOemFamily(const QString& family)
{
    return family.compare(QLatin1String("Terminal"), Qt::CaseInsensitive) == 0;
}

class Exporter {
public:
    Exporter(const QTextDocument& doc, TRtfWriter& w, const TRtfDocumentSettings& s) : doc_(doc), w_(w), settings_(s) {}
    bool run();

private:
    QString familyOf(const QTextCharFormat& f) const;
    int charsetOf(const QTextCharFormat& f, const QString& family) const;
    void noteFormat(const QTextCharFormat& f);
    void noteColour(const QBrush& brush);
    void noteLineColour(const QBrush& brush);
    void noteFrame(const QTextFrame* frame);
    int fontIndex(const QTextCharFormat& f) const;
    int colourIndex(const QBrush& brush) const;
    int lineColourIndex(const QBrush& brush) const;
    TRtfCharFormat charFormat(const QTextCharFormat& f) const;
    TRtfParagraphFormat paragraphFormat(const QTextBlock& block) const;
    void walkFrame(const QTextFrame* frame);
    void walkCellFrame(const QTextFrame* frame);
    void writeBlock(const QTextBlock& block, bool inCell);
    void writeImage(const QTextImageFormat& f);
    void writeTable(const QTextTable* table);
    int textWidth() const;

    const QTextDocument& doc_;
    TRtfWriter& w_;
    TRtfDocumentSettings settings_;
    std::vector<TRtfFont> fonts_;
    QHash<QString, int> fontIndex_;       // family + '\n' + charset
    std::vector<QColor> colours_;
    QHash<QRgb, int> colourIndex_;
};

QString Exporter::familyOf(const QTextCharFormat& f) const
{
    // Names are compared as the font table will hold them.
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty()) {
        const QString name = TRtfWriter::CleanFontName(families.front());
        if (!name.isEmpty())
            return name;
    }
    return TRtfWriter::CleanFontName(doc_.defaultFont().family());
}

int Exporter::charsetOf(const QTextCharFormat& f, const QString& family) const
{
    if (f.hasProperty(FontCharsetProperty))
        return f.intProperty(FontCharsetProperty);
    return isOemFamily(family) ? CharsetOem : CharsetAnsi;
}

void Exporter::noteFormat(const QTextCharFormat& f)
{
    const QString family = familyOf(f);
    const int charset = charsetOf(f, family);
    const QString key = family + QLatin1Char('\n') + QString::number(charset);
    if (!fontIndex_.contains(key)) {
        fontIndex_.insert(key, int(fonts_.size()));
        fonts_.push_back({family, charset, charset == CharsetOem ? TFontFamily::Modern : TFontFamily::Nil});
    }
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        noteColour(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        noteColour(f.background());
}

void Exporter::noteLineColour(const QBrush& brush)
{
    if (brush.style() != Qt::NoBrush && (brush.color().rgb() & 0xFFFFFFu) != 0)
        noteColour(brush);
}

void Exporter::noteColour(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return;
    const QRgb rgb = brush.color().rgb() | 0xFF000000u;
    if (!colourIndex_.contains(rgb)) {
        colours_.push_back(QColor::fromRgb(rgb));
        colourIndex_.insert(rgb, int(colours_.size()));
    }
}

void Exporter::noteFrame(const QTextFrame* frame)
{
    for (const QTextFrame* child : frame->childFrames()) {
        if (const auto* table = qobject_cast<const QTextTable*>(child)) {
            // Only colours of lines that will be written: a colour in the
            // table that nothing uses would not come back.
            const QTextTableFormat tf = table->format();
            if (tf.hasProperty(QTextFormat::FrameBorderBrush) && tf.border() > 0
                && tf.borderStyle() != QTextFrameFormat::BorderStyle_None)
                noteLineColour(tf.borderBrush());
            static const int sides[4][3] = {
                {QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellTopBorderBrush},
                {QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle, QTextFormat::TableCellLeftBorderBrush},
                {QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellBottomBorderBrush},
                {QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle, QTextFormat::TableCellRightBorderBrush},
            };
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCellFormat cf = table->cellAt(r, c).format().toTableCellFormat();
                    if (cf.hasProperty(QTextFormat::BackgroundBrush))
                        noteColour(cf.background());
                    for (const auto& side : sides) {
                        if (!cf.hasProperty(side[2]) || (!cf.hasProperty(side[0]) && !cf.hasProperty(side[1])))
                            continue;
                        const double w = cf.hasProperty(side[0]) ? cf.doubleProperty(side[0]) : tf.border();
                        const int style = cf.hasProperty(side[1]) ? cf.intProperty(side[1])
                                                                  : int(QTextFrameFormat::BorderStyle_Solid);
                        if (w > 0 && style != int(QTextFrameFormat::BorderStyle_None))
                            noteLineColour(cf.brushProperty(side[2]));
                    }
                }
        }
        noteFrame(child);
    }
}

int Exporter::fontIndex(const QTextCharFormat& f) const
{
    const QString family = familyOf(f);
    return fontIndex_.value(family + QLatin1Char('\n') + QString::number(charsetOf(f, family)), 0);
}

int Exporter::colourIndex(const QBrush& brush) const
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    return colourIndex_.value(brush.color().rgb() | 0xFF000000u, 0);
}

// Lines in black are lines in the reader's own colour ("auto").
int Exporter::lineColourIndex(const QBrush& brush) const
{
    if (brush.style() == Qt::NoBrush || (brush.color().rgb() & 0xFFFFFFu) == 0)
        return 0;
    return colourIndex(brush);
}

TRtfCharFormat Exporter::charFormat(const QTextCharFormat& f) const
{
    TRtfCharFormat out;
    out.Font = fontIndex(f);
    double points = f.fontPointSize();
    if (points <= 0 && f.hasProperty(QTextFormat::FontPixelSize))
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (points <= 0)
        points = doc_.defaultFont().pointSizeF();
    if (points <= 0)
        points = 12;
    out.HalfPoints = std::max(1, int(std::lround(points * 2)));
    out.Bold = f.fontWeight() >= QFont::DemiBold;
    out.Italic = f.fontItalic();
    out.Underline = f.fontUnderline();
    out.Strike = f.fontStrikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        out.Colour = colourIndex(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        out.Background = colourIndex(f.background());
    return out;
}

TRtfParagraphFormat Exporter::paragraphFormat(const QTextBlock& block) const
{
    const QTextBlockFormat bf = block.blockFormat();
    TRtfParagraphFormat pf;
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        pf.Align = TAlign::Center;
    else if (a & Qt::AlignJustify)
        pf.Align = TAlign::Justify;
    else if (a & Qt::AlignRight)
        pf.Align = TAlign::Right;
    double left = bf.leftMargin() + bf.indent() * doc_.indentWidth();
    double first = bf.textIndent();
    if (const QTextList* list = block.textList()) {
        left += std::max(1, list->format().indent()) * doc_.indentWidth();
        first = -std::min(24.0, left);
        const QTextListFormat::Style st = list->format().style();
        pf.Bullet = (st == QTextListFormat::ListDisc || st == QTextListFormat::ListCircle
                     || st == QTextListFormat::ListSquare)
                        ? TBullet::Bullet : TBullet::Numbered;
    }
    pf.LeftIndent = twips(left);
    pf.FirstIndent = twips(first);
    pf.RightIndent = twips(bf.rightMargin());
    pf.SpaceBefore = twips(bf.topMargin());
    pf.SpaceAfter = twips(bf.bottomMargin());
    for (const QTextOption::Tab& t : bf.tabPositions()) {
        TRtfTab tab;
        tab.Position = twips(t.position);
        switch (t.type) {
        case QTextOption::CenterTab: tab.Kind = TTabKind::Center; break;
        case QTextOption::RightTab: tab.Kind = TTabKind::Right; break;
        case QTextOption::DelimiterTab: tab.Kind = TTabKind::Decimal; break;
        default: break;
        }
        if (tab.Position > 0)
            pf.Tabs.push_back(tab);
    }
    return pf;
}

void Exporter::writeImage(const QTextImageFormat& f)
{
    const QVariant res = doc_.resource(QTextDocument::ImageResource, QUrl(f.name()));
    QImage image;
    QByteArray encoded;
    TPictureFormat kind = TPictureFormat::Png;
    if (res.typeId() == QMetaType::QByteArray) {
        encoded = res.toByteArray();
        if (encoded.startsWith("\x89PNG")) {
            kind = TPictureFormat::Png;
        } else if (encoded.startsWith("\xFF\xD8")) {
            kind = TPictureFormat::Jpeg;
        } else {
            image = QImage::fromData(encoded);
            encoded.clear();
        }
        if (!encoded.isEmpty())
            image = QImage::fromData(encoded);
    } else if (res.typeId() == QMetaType::QImage) {
        image = res.value<QImage>();
    } else if (res.typeId() == QMetaType::QPixmap) {
        image = res.value<QPixmap>().toImage();
    }
    if (image.isNull())
        return;
    double wpx = f.width();
    double hpx = f.height();
    if (wpx <= 0 && hpx <= 0) {
        wpx = image.width();
        hpx = image.height();
    } else if (wpx <= 0) {
        wpx = hpx * image.width() / std::max(1, image.height());
    } else if (hpx <= 0) {
        hpx = wpx * image.height() / std::max(1, image.width());
    }
    const QSize goal(std::max(1, twips(wpx)), std::max(1, twips(hpx)));
    if (!encoded.isEmpty())
        w_.Picture(encoded, kind, image.size(), goal);
    else
        w_.Picture(image, goal);
}

void Exporter::writeBlock(const QTextBlock& block, bool inCell)
{
    const QTextBlockFormat bf = block.blockFormat();
    if (!inCell && (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        w_.PageBreak();
    w_.BeginParagraph(paragraphFormat(block));
    // Fragments that differ only in what RTF does not keep become one run.
    QString pending;
    TRtfCharFormat pendingFormat;
    const auto flush = [&] {
        if (!pending.isEmpty())
            w_.Text(pending, pendingFormat);
        pending.clear();
    };
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid())
            continue;
        const QTextCharFormat cf = frag.charFormat();
        const QString text = frag.text();
        if (cf.isImageFormat()) {
            flush();
            for (QChar c : text)
                if (c == QChar::ObjectReplacementCharacter)
                    writeImage(cf.toImageFormat());
            continue;
        }
        QString clean = text;
        clean.remove(QChar::ObjectReplacementCharacter);
        if (clean.isEmpty())
            continue;
        const TRtfCharFormat f = charFormat(cf);
        if (!pending.isEmpty() && !(f == pendingFormat))
            flush();
        pendingFormat = f;
        pending += clean;
    }
    flush();
    w_.EndParagraph();
    if (!inCell && (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter))
        w_.PageBreak();
}

int Exporter::textWidth() const
{
    const int paper = settings_.Landscape ? std::max(settings_.PaperWidth, settings_.PaperHeight)
                                          : std::min(settings_.PaperWidth, settings_.PaperHeight);
    return std::max(1440, paper - settings_.MarginLeft - settings_.MarginRight);
}

void Exporter::writeTable(const QTextTable* table)
{
    const QTextTableFormat tf = table->format();
    if (tf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        w_.PageBreak();
    const int rows = table->rows();
    const int cols = table->columns();
    if (rows <= 0 || cols <= 0)
        return;

    // Column edges from the width constraints; free columns share the rest.
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    const int total = textWidth();
    std::vector<int> widths(std::size_t(cols), 0);
    int fixedSum = 0;
    int freeCount = 0;
    for (int c = 0; c < cols; ++c) {
        const QTextLength l = c < constraints.size() ? constraints[c] : QTextLength();
        int wt = 0;
        if (l.type() == QTextLength::FixedLength)
            wt = twips(l.rawValue());
        else if (l.type() == QTextLength::PercentageLength)
            wt = int(std::lround(total * l.rawValue() / 100.0));
        wt = std::min(wt, MaxColumnTwips);
        widths[std::size_t(c)] = wt;
        if (wt > 0)
            fixedSum += wt;
        else
            ++freeCount;
    }
    if (freeCount > 0) {
        const int share = std::clamp((total - fixedSum) / freeCount, 360, MaxColumnTwips);
        for (int& wt : widths)
            if (wt <= 0)
                wt = share;
    }

    TRtfBorder frame;
    if (tf.border() > 0 && tf.borderStyle() != QTextFrameFormat::BorderStyle_None) {
        frame.Width = std::max(1, twips(tf.border()));
        frame.Colour = tf.hasProperty(QTextFormat::FrameBorderBrush) ? lineColourIndex(tf.borderBrush()) : 0;
        frame.Double = tf.borderStyle() == QTextFrameFormat::BorderStyle_Double;
    }
    // Without collapsed borders Qt draws every cell with the table's border.
    const TRtfBorder gridDefault = tf.borderCollapse() ? TRtfBorder{} : frame;

    const auto cellBorder = [&](const QTextTableCellFormat& cf, int widthProp, int styleProp, int brushProp) {
        if (!cf.hasProperty(widthProp) && !cf.hasProperty(styleProp))
            return gridDefault;
        TRtfBorder b;
        const double wpx = cf.hasProperty(widthProp) ? cf.doubleProperty(widthProp) : tf.border();
        const auto style = cf.hasProperty(styleProp) ? QTextFrameFormat::BorderStyle(cf.intProperty(styleProp))
                                                     : QTextFrameFormat::BorderStyle_Solid;
        if (wpx <= 0 || style == QTextFrameFormat::BorderStyle_None)
            return b;
        b.Width = std::max(1, twips(wpx));
        b.Double = style == QTextFrameFormat::BorderStyle_Double;
        if (cf.hasProperty(brushProp))
            b.Colour = lineColourIndex(cf.brushProperty(brushProp));
        return b;
    };

    TRtfRowFormat rf;
    rf.FrameTop = rf.FrameLeft = rf.FrameBottom = rf.FrameRight = frame;
    const Qt::Alignment a = tf.alignment() & Qt::AlignHorizontal_Mask;
    rf.RowAlign = (a & Qt::AlignHCenter) ? TAlign::Center : (a & Qt::AlignRight) ? TAlign::Right : TAlign::Left;
    rf.CellGap = std::max(0, twips(tf.cellPadding()));
    rf.Cells.resize(std::size_t(cols));
    for (int r = 0; r < rows; ++r) {
        rf.Header = r < tf.headerRowCount();
        int edge = 0;
        for (int c = 0; c < cols; ++c) {
            TRtfCellFormat& def = rf.Cells[std::size_t(c)];
            edge += widths[std::size_t(c)];
            def = TRtfCellFormat{};
            def.RightEdge = edge;
            const QTextTableCell cell = table->cellAt(r, c);
            const QTextTableCellFormat cf = cell.format().toTableCellFormat();
            def.Top = cellBorder(cf, QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
                                 QTextFormat::TableCellTopBorderBrush);
            def.Left = cellBorder(cf, QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
                                  QTextFormat::TableCellLeftBorderBrush);
            def.Bottom = cellBorder(cf, QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
                                    QTextFormat::TableCellBottomBorderBrush);
            def.Right = cellBorder(cf, QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
                                   QTextFormat::TableCellRightBorderBrush);
            switch (cf.verticalAlignment()) {
            case QTextCharFormat::AlignMiddle: def.VAlign = TVAlign::Center; break;
            case QTextCharFormat::AlignBottom: def.VAlign = TVAlign::Bottom; break;
            default: def.VAlign = TVAlign::Top; break;
            }
            if (cf.hasProperty(QTextFormat::BackgroundBrush))
                def.Shading = colourIndex(cf.background());
        }
        w_.BeginRow(rf);
        for (int c = 0; c < cols; ++c) {
            w_.BeginCell();
            const QTextTableCell cell = table->cellAt(r, c);
            // A spanned cell is written once, where it begins; the places it
            // covers stay empty.
            if (cell.isValid() && cell.row() == r && cell.column() == c) {
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (const QTextFrame* inner = it.currentFrame())
                        walkCellFrame(inner);
                    else
                        writeBlock(it.currentBlock(), true);
                }
            }
            w_.EndCell();
        }
        w_.EndRow();
    }
}

void Exporter::walkCellFrame(const QTextFrame* frame)
{
    // Tables inside cells are written as their paragraphs.
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* inner = it.currentFrame())
            walkCellFrame(inner);
        else
            writeBlock(it.currentBlock(), true);
    }
}

void Exporter::walkFrame(const QTextFrame* frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* inner = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(inner))
                writeTable(table);
            else
                walkFrame(inner);
        } else {
            writeBlock(it.currentBlock(), false);
        }
    }
}

bool Exporter::run()
{
    // Font 0 is the document's own font.
    QTextCharFormat base;
    base.setFont(doc_.defaultFont());
    noteFormat(base);
    // Fonts and colours in the order the text first uses them.
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            // Only formats of text that will be written: pictures use no font.
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || frag.charFormat().isImageFormat())
                continue;
            if (QString(frag.text()).remove(QChar::ObjectReplacementCharacter).isEmpty())
                continue;
            noteFormat(frag.charFormat());
        }
    }
    noteFrame(doc_.rootFrame());
    TRtfDocumentSettings s = settings_;
    s.DefaultFont = 0;
    w_.Begin(s, fonts_, colours_);
    walkFrame(doc_.rootFrame());
    return w_.End();
}

} // namespace

bool WriteDocument(const QTextDocument& document, TRtfWriter& writer, const TRtfDocumentSettings& settings)
{
    Exporter e(document, writer, settings);
    return e.run();
}

QByteArray DocumentToRtf(const QTextDocument& document, const TRtfDocumentSettings& settings)
{
    QByteArray out;
    {
        TRtfWriter w(&out);
        WriteDocument(document, w, settings);
    }
    return out;
}

bool SaveRtfFile(const QTextDocument& document, const QString& fileName, const TRtfDocumentSettings& settings)
{
    platform::SafeFile f(fileName);
    if (!f.Open())
        return false;
    bool ok;
    {
        TRtfWriter w(&f.Device());
        ok = WriteDocument(document, w, settings);
    }
    return ok && f.Commit();
}

} // namespace rtf
