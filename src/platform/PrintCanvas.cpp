#include "platform/PrintCanvas.h"

#include "platform/SafeFile.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace platform {

TPrintCanvas::~TPrintCanvas() = default;

double FontPointSize(const QFont& font, int dpi)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    if (font.pixelSize() > 0 && dpi > 0)
        return font.pixelSize() * 72.0 / dpi;
    return 9.0;
}

// ---- TPainterCanvas ------------------------------------------------------------

struct TPainterCanvas::TState {
    std::unique_ptr<QPainter> painter;
    QPaintDevice* device = nullptr;
    QFont font;
    // Metrics of the font on the device, made once per font change: a table
    // page measures thousands of texts with the same font.
    std::unique_ptr<QFontMetrics> metrics;
    QPaintDevice* metricsDevice = nullptr;
    QColor colour = Qt::black;
    int penWidth = 1;
    bool transparent = false;
};

TPainterCanvas::TPainterCanvas() : s_(std::make_unique<TState>()) {}
TPainterCanvas::~TPainterCanvas() = default;

int TPainterCanvas::PageWidth() const
{
    const QPaintDevice* d = s_->device ? s_->device : IdleDevice();
    return d ? d->width() : 0;
}

int TPainterCanvas::PageHeight() const
{
    const QPaintDevice* d = s_->device ? s_->device : IdleDevice();
    return d ? d->height() : 0;
}

int TPainterCanvas::Resolution() const
{
    const QPaintDevice* d = s_->device ? s_->device : IdleDevice();
    return d ? d->logicalDpiY() : 96;
}

QPaintDevice* TPainterCanvas::MeasureDevice() const
{
    return s_->device ? s_->device : IdleDevice();
}

bool TPainterCanvas::BeginDoc(const QString& title)
{
    if (s_->painter)
        return false;
    QPaintDevice* device = OpenDevice(title);
    if (!device)
        return false;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(device)) {
        CloseDevice(false);
        return false;
    }
    s_->device = device;
    s_->painter = std::move(painter);
    s_->metrics.reset();
    s_->painter->setFont(s_->font);
    s_->painter->setBackgroundMode(s_->transparent ? Qt::TransparentMode : Qt::OpaqueMode);
    s_->painter->setBackground(Qt::white);
    ApplyPen();
    return true;
}

bool TPainterCanvas::NewPage()
{
    if (!s_->painter)
        return false;
    return DeviceNewPage();
}

bool TPainterCanvas::EndDoc()
{
    if (!s_->painter)
        return false;
    const bool ok = s_->painter->end();
    s_->painter.reset();
    s_->device = nullptr;
    s_->metrics.reset();
    return CloseDevice(ok) && ok;
}

bool TPainterCanvas::Printing() const
{
    return s_->painter != nullptr;
}

void TPainterCanvas::SetFont(const QFont& font)
{
    QFont f = font;
    // A font given in pixels means screen pixels; on a page it keeps its size
    // in points, so that a 600-dpi page does not print it six times smaller.
    if (f.pointSizeF() <= 0)
        f.setPointSizeF(FontPointSize(font, 96));
    s_->font = f;
    s_->metrics.reset();
    if (s_->painter)
        s_->painter->setFont(f);
}

QFont TPainterCanvas::Font() const
{
    return s_->font;
}

int TPainterCanvas::TextHeight(const QString& text)
{
    QPaintDevice* d = MeasureDevice();
    if (!s_->metrics || s_->metricsDevice != d) {
        s_->metrics = d ? std::make_unique<QFontMetrics>(s_->font, d) : std::make_unique<QFontMetrics>(s_->font);
        s_->metricsDevice = d;
    }
    return s_->metrics->height();
}

int TPainterCanvas::TextWidth(const QString& text)
{
    TextHeight(QString());
    return s_->metrics->horizontalAdvance(text);
}

void TPainterCanvas::TextOut(int x, int y, const QString& text, TTextAlign align)
{
    if (!s_->painter || text.isEmpty())
        return;
    const int w = TextWidth(text);
    const int left = align == TTextAlign::Left ? x : align == TTextAlign::Right ? x - w : x - w / 2;
    const int ascent = s_->metrics->ascent();
    if (!s_->transparent)
        s_->painter->fillRect(QRect(left, y, w, s_->metrics->height()), Qt::white);
    s_->painter->drawText(QPoint(left, y + ascent), text);
}

void TPainterCanvas::TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align)
{
    if (!s_->painter || text.isEmpty() || clip.isEmpty())
        return;
    const int w = TextWidth(text);
    const int h = s_->metrics->height();
    const int left = align == TTextAlign::Left ? x : align == TTextAlign::Right ? x - w : x - w / 2;
    const QRect box(left, y, w, h);
    // Clipping costs a state change in the PDF stream for every cell; only a
    // text that reaches outside its cell pays for it.
    const bool inside = clip.contains(box);
    if (!inside) {
        s_->painter->save();
        s_->painter->setClipRect(clip, Qt::IntersectClip);
    }
    if (!s_->transparent)
        s_->painter->fillRect(clip, Qt::white);
    s_->painter->drawText(QPoint(left, y + s_->metrics->ascent()), text);
    if (!inside)
        s_->painter->restore();
}

void TPainterCanvas::SetBackgroundTransparent(bool transparent)
{
    s_->transparent = transparent;
    if (s_->painter)
        s_->painter->setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

void TPainterCanvas::SetPenColor(const QColor& colour)
{
    s_->colour = colour;
    ApplyPen();
}

void TPainterCanvas::SetPenWidth(int width)
{
    s_->penWidth = std::max(0, width);
    ApplyPen();
}

int TPainterCanvas::PenWidth() const
{
    return s_->penWidth;
}

void TPainterCanvas::ApplyPen()
{
    if (!s_->painter)
        return;
    QPen pen(s_->colour);
    pen.setWidth(s_->penWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    s_->painter->setPen(pen);
    s_->painter->setBrush(Qt::NoBrush);
}

void TPainterCanvas::Line(int x1, int y1, int x2, int y2)
{
    if (s_->painter)
        s_->painter->drawLine(x1, y1, x2, y2);
}

void TPainterCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (s_->painter && right > left && bottom > top)
        s_->painter->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TPainterCanvas::FillRect(const QRect& rect, const QColor& colour)
{
    if (!s_->painter)
        return;
    const QRect r = rect.isEmpty() ? QRect(0, 0, PageWidth(), PageHeight()) : rect;
    s_->painter->fillRect(r, colour);
}

QPainter* TPainterCanvas::Painter()
{
    return s_->painter.get();
}

// ---- TPdfCanvas ----------------------------------------------------------------

namespace {

QPageLayout A4Layout(int orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

// The page in pixels at dpi as QPdfWriter reports it while printing.
QSize A4Pixels(int dpi, int orientation)
{
    return A4Layout(orientation).fullRectPixels(dpi).size();
}

} // namespace

TPdfCanvas::TPdfCanvas(QString fileName, int dpi) : fileName_(std::move(fileName)), dpi_(dpi > 0 ? dpi : 600) {}
TPdfCanvas::~TPdfCanvas()
{
    if (Printing())
        EndDoc();
}

void TPdfCanvas::SetOrientation(int orientation)
{
    if (!Printing())
        orientation_ = orientation == 1 ? 1 : 0;
}

int TPdfCanvas::PageWidth() const
{
    return A4Pixels(dpi_, orientation_).width();
}

int TPdfCanvas::PageHeight() const
{
    return A4Pixels(dpi_, orientation_).height();
}

QPaintDevice* TPdfCanvas::OpenDevice(const QString& title)
{
    pages_ = 0;
    if (fileName_.isEmpty())
        return nullptr;
    // The engine writes into a temporary file beside the final name; the file
    // replaces an earlier one only when it is complete (see CloseDevice).
    auto file = std::make_unique<SafeFile>(fileName_);
    if (!file->Open())
        return nullptr;
    auto writer = std::make_unique<QPdfWriter>(&file->Device());
    writer->setResolution(dpi_);
    writer->setPageLayout(A4Layout(orientation_));
    writer->setTitle(title);
    writer->setCreator(QStringLiteral("valdran"));
    file_ = std::move(file);
    writer_ = std::move(writer);
    pages_ = 1;
    return writer_.get();
}

bool TPdfCanvas::DeviceNewPage()
{
    if (!writer_ || !writer_->newPage())
        return false;
    ++pages_;
    return true;
}

bool TPdfCanvas::CloseDevice(bool painterOk)
{
    // Qt's PDF engine ends a job with success whatever its device did, so the
    // device's errors and the file's end decide.
    writer_.reset();
    if (!file_)
        return false;
    if (!painterOk)
        file_->Fail(QStringLiteral("the job did not end"));
    file_->RequireEnding("%%EOF");
    const bool ok = file_->Commit();
    file_.reset();
    return ok && painterOk;
}

QPaintDevice* TPdfCanvas::IdleDevice() const
{
    // Measuring between jobs happens on an image of the page's resolution, so
    // text sizes come out as the job will draw them.
    if (!measure_ || measure_->logicalDpiY() != dpi_) {
        measure_ = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
        const int dpm = static_cast<int>(std::lround(dpi_ / 0.0254));
        measure_->setDotsPerMeterX(dpm);
        measure_->setDotsPerMeterY(dpm);
    }
    return measure_.get();
}

// ---- TImageCanvas --------------------------------------------------------------

void SetScreenResolution(QImage& image)
{
    const int dpm = static_cast<int>(std::lround(TImageCanvas::ScreenDpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
}

TImageCanvas::TImageCanvas(int width, int height)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32)
{
    SetScreenResolution(image_);
    image_.fill(Qt::white);
}

TImageCanvas::~TImageCanvas()
{
    if (Printing())
        EndDoc();
}

QPaintDevice* TImageCanvas::OpenDevice(const QString&)
{
    return &image_;
}

bool TImageCanvas::DeviceNewPage()
{
    FillPageWhite();
    return true;
}

QPaintDevice* TImageCanvas::IdleDevice() const
{
    return const_cast<QImage*>(&image_);
}

// ---- TScaledPageCanvas -----------------------------------------------------------

TScaledPageCanvas::TScaledPageCanvas(TPrintCanvas& measure, TPrintCanvas* target, int pageWidth, int pageHeight)
    : measure_(measure), savedFont_(measure.Font()), width_(std::max(1, pageWidth)), height_(std::max(1, pageHeight))
{
    if (target && target->Painter()) {
        painter_ = target->Painter();
        targetDpi_ = std::max(1, target->Resolution());
        scale_ = double(target->PageWidth()) / width_;
        painter_->save();
        painter_->scale(scale_, scale_);
        painter_->setBackground(Qt::white);
        ApplyPen();
    }
}

TScaledPageCanvas::~TScaledPageCanvas()
{
    if (painter_)
        painter_->restore();
    measure_.SetFont(savedFont_);
}

void TScaledPageCanvas::SetFont(const QFont& font)
{
    measure_.SetFont(font);
    ascent_ = -1;
    if (!painter_)
        return;
    // The painter's device counts points by its own dpi: the font is made as
    // large in page pixels as the page device makes it.
    QFont f = measure_.Font();
    f.setPointSizeF(FontPointSize(f, 96) * Resolution() / targetDpi_);
    painter_->setFont(f);
}

int TScaledPageCanvas::Ascent()
{
    if (ascent_ < 0)
        ascent_ = painter_ ? QFontMetrics(painter_->font(), painter_->device()).ascent() : 0;
    return ascent_;
}

void TScaledPageCanvas::TextOut(int x, int y, const QString& text, TTextAlign align)
{
    if (!painter_ || text.isEmpty())
        return;
    const int w = TextWidth(text);
    const int left = align == TTextAlign::Left ? x : align == TTextAlign::Right ? x - w : x - w / 2;
    if (!transparent_)
        painter_->fillRect(QRect(left, y, w, TextHeight(text)), Qt::white);
    painter_->drawText(QPoint(left, y + Ascent()), text);
}

void TScaledPageCanvas::TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align)
{
    if (!painter_ || text.isEmpty() || clip.isEmpty())
        return;
    const int w = TextWidth(text);
    const int left = align == TTextAlign::Left ? x : align == TTextAlign::Right ? x - w : x - w / 2;
    const bool inside = clip.contains(QRect(left, y, w, TextHeight(text)));
    if (!inside) {
        painter_->save();
        painter_->setClipRect(clip, Qt::IntersectClip);
    }
    if (!transparent_)
        painter_->fillRect(clip, Qt::white);
    painter_->drawText(QPoint(left, y + Ascent()), text);
    if (!inside)
        painter_->restore();
}

void TScaledPageCanvas::SetBackgroundTransparent(bool transparent)
{
    transparent_ = transparent;
    if (painter_)
        painter_->setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

void TScaledPageCanvas::SetPenColor(const QColor& colour)
{
    colour_ = colour;
    ApplyPen();
}

void TScaledPageCanvas::SetPenWidth(int width)
{
    penWidth_ = std::max(0, width);
    ApplyPen();
}

void TScaledPageCanvas::ApplyPen()
{
    if (!painter_)
        return;
    QPen pen(colour_);
    pen.setWidth(penWidth_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
}

void TScaledPageCanvas::Line(int x1, int y1, int x2, int y2)
{
    if (painter_)
        painter_->drawLine(x1, y1, x2, y2);
}

void TScaledPageCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (painter_ && right > left && bottom > top)
        painter_->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TScaledPageCanvas::FillRect(const QRect& rect, const QColor& colour)
{
    if (painter_)
        painter_->fillRect(rect.isEmpty() ? QRect(0, 0, width_, height_) : rect, colour);
}

// ---- TRecordingCanvas ----------------------------------------------------------

TRecordingCanvas::TRecordingCanvas(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}
TRecordingCanvas::~TRecordingCanvas() = default;

TRecordingCanvas::TRecord TRecordingCanvas::Make(TOp op) const
{
    TRecord r;
    r.Op = op;
    r.Font = font_;
    r.PenWidth = penWidth_;
    r.Transparent = transparent_;
    r.Colour = colour_;
    return r;
}

std::vector<TRecordingCanvas::TRecord> TRecordingCanvas::Of(TOp op) const
{
    std::vector<TRecord> out;
    for (const TRecord& r : Records)
        if (r.Op == op)
            out.push_back(r);
    return out;
}

std::vector<QString> TRecordingCanvas::Texts() const
{
    std::vector<QString> out;
    for (const TRecord& r : Records)
        if (r.Op == TOp::Text)
            out.push_back(r.Text);
    return out;
}

int TRecordingCanvas::Pages() const
{
    int pages = 0;
    for (const TRecord& r : Records)
        if (r.Op == TOp::BeginDoc || r.Op == TOp::NewPage)
            ++pages;
    return pages;
}

bool TRecordingCanvas::BeginDoc(const QString& title)
{
    if (FailBegin || printing_)
        return false;
    TRecord r = Make(TOp::BeginDoc);
    r.Text = title;
    Records.push_back(r);
    printing_ = true;
    return true;
}

bool TRecordingCanvas::NewPage()
{
    if (!printing_)
        return false;
    Records.push_back(Make(TOp::NewPage));
    return true;
}

bool TRecordingCanvas::EndDoc()
{
    if (!printing_)
        return false;
    Records.push_back(Make(TOp::EndDoc));
    printing_ = false;
    return true;
}

int TRecordingCanvas::TextHeight(const QString&)
{
    return static_cast<int>(std::lround(FontPointSize(font_, dpi_) * HeightPerPoint));
}

int TRecordingCanvas::TextWidth(const QString& text)
{
    const int perChar = static_cast<int>(std::lround(FontPointSize(font_, dpi_) * WidthPerPoint)) + (font_.bold() ? 1 : 0);
    return perChar * static_cast<int>(text.size());
}

void TRecordingCanvas::TextOut(int x, int y, const QString& text, TTextAlign align)
{
    TRecord r = Make(TOp::Text);
    r.X = x;
    r.Y = y;
    r.Text = text;
    r.Align = align;
    Records.push_back(r);
}

void TRecordingCanvas::TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align)
{
    TRecord r = Make(TOp::Text);
    r.X = x;
    r.Y = y;
    r.Text = text;
    r.Align = align;
    r.Clipped = true;
    r.Clip = clip;
    Records.push_back(r);
}

void TRecordingCanvas::Line(int x1, int y1, int x2, int y2)
{
    TRecord r = Make(TOp::Line);
    r.X = x1; r.Y = y1; r.X2 = x2; r.Y2 = y2;
    Records.push_back(r);
}

void TRecordingCanvas::Rectangle(int left, int top, int right, int bottom)
{
    TRecord r = Make(TOp::Rectangle);
    r.X = left; r.Y = top; r.X2 = right; r.Y2 = bottom;
    Records.push_back(r);
}

void TRecordingCanvas::FillRect(const QRect& rect, const QColor& colour)
{
    TRecord r = Make(TOp::Fill);
    const QRect full = rect.isEmpty() ? QRect(0, 0, width_, height_) : rect;
    r.X = full.left(); r.Y = full.top(); r.X2 = full.right() + 1; r.Y2 = full.bottom() + 1;
    r.Colour = colour;
    Records.push_back(r);
}

} // namespace platform
