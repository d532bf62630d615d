#include "platform/WindowsMetafile.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace platform {

namespace {

// Record functions of the format.
enum RecordFunction : uint16_t {
    RecEof = 0x0000,
    RecSaveDC = 0x001E,
    RecSetBkMode = 0x0102,
    RecSetMapMode = 0x0103,
    RecSetPolyFillMode = 0x0106,
    RecSetBkColor = 0x0201,
    RecSetTextColor = 0x0209,
    RecSetWindowOrg = 0x020B,
    RecSetWindowExt = 0x020C,
    RecRestoreDC = 0x0127,
    RecSelectObject = 0x012D,
    RecSetTextAlign = 0x012E,
    RecDeleteObject = 0x01F0,
    RecCreatePenIndirect = 0x02FA,
    RecCreateFontIndirect = 0x02FB,
    RecCreateBrushIndirect = 0x02FC,
    RecPolygon = 0x0324,
    RecPolyline = 0x0325,
    RecIntersectClipRect = 0x0416,
    RecEllipse = 0x0418,
    RecRectangle = 0x041B,
    RecPolyPolygon = 0x0538,
    RecPie = 0x081A,
    RecExtTextOut = 0x0A32,
    RecStretchDib = 0x0F43,
};

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr uint16_t MapModeAnisotropic = 8;
constexpr uint16_t BkTransparent = 1;
constexpr uint16_t BkOpaque = 2;
constexpr uint16_t FillAlternate = 1;
constexpr uint16_t FillWinding = 2;
constexpr uint16_t TextAlignBaselineLeft = 24;   // TA_BASELINE | TA_LEFT | TA_NOUPDATECP
constexpr uint32_t RopSrcCopy = 0x00CC0020;

constexpr uint16_t PenSolid = 0, PenDash = 1, PenDot = 2, PenDashDot = 3, PenDashDotDot = 4, PenNull = 5;
constexpr uint16_t PenEndRound = 0x0000, PenEndSquare = 0x0100, PenEndFlat = 0x0200;
constexpr uint16_t PenJoinRound = 0x0000, PenJoinBevel = 0x1000, PenJoinMiter = 0x2000;
constexpr uint16_t BrushSolid = 0, BrushNull = 1, BrushHatched = 2;

// The most points one polyline or polygon record can count.
constexpr int MaxPointsPerRecord = 32767;
// Images larger than this many pixels are scaled down before they are written.
constexpr qint64 MaxImagePixels = 16 * 1024 * 1024;

int16_t Clamp16(double v)
{
    if (!(v == v))   // NaN
        return 0;
    if (v >= 32767.0)
        return 32767;
    if (v <= -32768.0)
        return -32768;
    return int16_t(std::lround(v));
}

void PutU16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void PutU32(QByteArray& out, uint32_t v)
{
    PutU16(out, uint16_t(v & 0xFFFF));
    PutU16(out, uint16_t(v >> 16));
}

void PutI16(QByteArray& out, int16_t v) { PutU16(out, uint16_t(v)); }

// Windows-1252 bytes of a text; characters outside it become '?', a pair of
// surrogates one '?'. The advance of each byte's characters is collected too.
QByteArray EncodeAnsi(const QString& text, std::vector<QString>* pieces = nullptr)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            if (pieces)
                pieces->push_back(text.mid(i, 2));
            ++i;
            continue;
        }
        const int code = Windows1252Code(c);
        out.append(code < 0 ? '?' : char(code));
        if (pieces)
            pieces->push_back(QString(c));
    }
    return out;
}

} // namespace

// ---- The engine --------------------------------------------------------------

class WmfPaintEngine : public QPaintEngine {
public:
    explicit WmfPaintEngine(WindowsMetafile* device);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    Type type() const override { return Type(User + 0x57); }
    void updateState(const QPaintEngineState& state) override;

    using QPaintEngine::drawRects;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawEllipse;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawEllipse(const QRectF& rect) override;
    void drawPath(const QPainterPath& path) override;
    void drawPoints(const QPointF* points, int pointCount) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override;
    void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;

    void drawPie(QPainter& painter, const QRectF& rect, int startAngle, int spanAngle);

    QByteArray fileBytes() const;
    void reset();

private:
    struct PenKey {
        uint16_t style = PenNull;
        int16_t width = 0;
        uint32_t colour = 0;
        bool operator==(const PenKey&) const = default;
    };
    struct BrushKey {
        uint16_t style = BrushNull;
        uint32_t colour = 0;
        uint16_t hatch = 0;
        bool operator==(const BrushKey&) const = default;
    };
    struct FontKey {
        int16_t height = 0;
        int16_t escapement = 0;
        int16_t weight = 400;
        uint8_t italic = 0, underline = 0, strikeOut = 0;
        QByteArray face;
        bool operator==(const FontKey&) const = default;
    };
    enum Kind { KindPen, KindBrush, KindFont, KindCount };

    // Records.
    void beginRecord(uint16_t function);
    void endRecord();
    void simpleRecord(uint16_t function, std::initializer_list<int> params);

    // Units.
    int16_t lx(double deviceX) const { return Clamp16(deviceX * k_); }
    QPoint lu(const QPointF& device) const { return QPoint(lx(device.x()), lx(device.y())); }
    bool axisAligned() const
    {
        return xf_.type() <= QTransform::TxScale && xf_.m11() > 0 && xf_.m22() > 0;
    }
    double transformScale() const { return std::sqrt(std::abs(xf_.determinant())); }

    // Colours mixed with white by their alpha and the painter's opacity.
    uint32_t colourRef(const QColor& c) const;
    bool invisible(const QColor& c) const { return c.alpha() == 0 || opacity_ <= 0; }

    // Objects and attributes of the device context.
    int allocateSlot();
    void releaseSlot(int kind, int slot);
    void selectPen(const PenKey& key);
    void selectBrush(const BrushKey& key);
    void selectFont(const FontKey& key);
    PenKey penKeyFor(const QPen& pen) const;
    BrushKey brushKeyFor(const QBrush& brush) const;
    void setTextColour(uint32_t colour);
    void setBkColour(uint32_t colour);
    void setBkMode(uint16_t mode);
    void setTextAlign(uint16_t align);
    void setPolyFillMode(uint16_t mode);
    void flushClip();
    void prepare(bool stroke, bool fill);
    bool brushNeedsRaster() const;

    // Geometry.
    void writePoints(const QPoint* points, int count);
    void emitPolyline(const std::vector<QPoint>& points);
    void emitPolygon(std::vector<QPoint> points);
    void emitPolyPolygon(std::vector<std::vector<QPoint>> polygons);
    std::vector<QPoint> toUnits(const QPolygonF& devicePolygon) const;
    void strokeAndFill(const QPainterPath& userPath, bool fill, bool stroke);
    void rasterFill(const QPainterPath& userPath);
    void emitImage(const QRectF& deviceRect, const QImage& image);

    WindowsMetafile* device_;
    int k_;
    QByteArray records_;
    qsizetype recordStart_ = 0;
    uint32_t maxRecordWords_ = 3;
    int maxObjects_ = 0;
    std::vector<bool> slots_;

    // The painter's state as last reported.
    QPen pen_;
    QBrush brush_;
    QFont font_;
    QTransform xf_;
    QBrush bgBrush_;
    Qt::BGMode bgMode_ = Qt::TransparentMode;
    qreal opacity_ = 1.0;
    QPointF brushOrigin_;
    Qt::FillRule fillRule_ = Qt::OddEvenFill;
    bool wantClip_ = false;
    QRect wantClipRect_;

    // What the device context holds; -1 where it is not known.
    std::array<int, KindCount> slot_{{-1, -1, -1}};
    PenKey selPen_;
    BrushKey selBrush_;
    FontKey selFont_;
    int64_t textColour_ = -1, bkColour_ = -1;
    int bkMode_ = -1, textAlign_ = -1, polyFill_ = -1;
    // The clip lives in a saved context: restoring it removes the clip.
    bool clipSaved_ = false;
    QRect clipRect_;
    std::array<int, KindCount> savedSlot_{{-1, -1, -1}};
    PenKey savedPen_;
    BrushKey savedBrush_;
    FontKey savedFont_;
};

WmfPaintEngine::WmfPaintEngine(WindowsMetafile* device)
    : QPaintEngine(PrimitiveTransform | PatternTransform | PixmapTransform | PatternBrush
                   | AlphaBlend | PainterPaths | Antialiasing | ConstantOpacity | MaskedBrush
                   | PaintOutsidePaintEvent)
    , device_(device)
    , k_(device->unitsPerPixel())
{
    reset();
}

void WmfPaintEngine::reset()
{
    records_.clear();
    maxRecordWords_ = 3;
    maxObjects_ = 0;
    slots_.clear();
    slot_ = {-1, -1, -1};
    savedSlot_ = {-1, -1, -1};
    textColour_ = bkColour_ = -1;
    bkMode_ = textAlign_ = polyFill_ = -1;
    clipSaved_ = false;
    simpleRecord(RecSetMapMode, {MapModeAnisotropic});
    simpleRecord(RecSetWindowOrg, {0, 0});
    simpleRecord(RecSetWindowExt, {Clamp16(double(device_->size().height()) * k_),
                                   Clamp16(double(device_->size().width()) * k_)});
}

bool WmfPaintEngine::begin(QPaintDevice*)
{
    pen_ = QPen();
    brush_ = QBrush();
    xf_ = QTransform();
    opacity_ = 1.0;
    wantClip_ = false;
    setActive(true);
    return true;
}

bool WmfPaintEngine::end()
{
    // A later painter starts without this one's clip.
    wantClip_ = false;
    flushClip();
    setActive(false);
    return true;
}

void WmfPaintEngine::updateState(const QPaintEngineState& state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        pen_ = state.pen();
    if (flags & DirtyBrush)
        brush_ = state.brush();
    if (flags & DirtyBrushOrigin)
        brushOrigin_ = state.brushOrigin();
    if (flags & DirtyFont)
        font_ = state.font();
    if (flags & DirtyBackground)
        bgBrush_ = state.backgroundBrush();
    if (flags & DirtyBackgroundMode)
        bgMode_ = state.backgroundMode();
    if (flags & DirtyTransform)
        xf_ = state.transform();
    if (flags & DirtyOpacity)
        opacity_ = state.opacity();
    if (flags & (DirtyClipEnabled | DirtyClipRegion | DirtyClipPath)) {
        QPainter* p = painter();
        wantClip_ = p && p->hasClipping();
        if (wantClip_) {
            // The bounding rectangle of the clip, in device pixels.
            const QRectF device = p->combinedTransform().mapRect(p->clipBoundingRect());
            const int left = lx(device.left());
            const int top = lx(device.top());
            wantClipRect_ = QRect(left, top, std::max(0, lx(device.right()) - left),
                                  std::max(0, lx(device.bottom()) - top));
        }
    }
}

// ---- Records -----------------------------------------------------------------

void WmfPaintEngine::beginRecord(uint16_t function)
{
    recordStart_ = records_.size();
    PutU32(records_, 0);   // size, filled in by endRecord
    PutU16(records_, function);
}

void WmfPaintEngine::endRecord()
{
    if ((records_.size() - recordStart_) % 2)
        records_.append('\0');
    const uint32_t words = uint32_t((records_.size() - recordStart_) / 2);
    char* p = records_.data() + recordStart_;
    p[0] = char(words & 0xFF);
    p[1] = char((words >> 8) & 0xFF);
    p[2] = char((words >> 16) & 0xFF);
    p[3] = char((words >> 24) & 0xFF);
    maxRecordWords_ = std::max(maxRecordWords_, words);
}

void WmfPaintEngine::simpleRecord(uint16_t function, std::initializer_list<int> params)
{
    beginRecord(function);
    for (int v : params)
        PutU16(records_, uint16_t(v));
    endRecord();
}

QByteArray WmfPaintEngine::fileBytes() const
{
    QByteArray out;
    const QSize size = device_->size();
    // Placeable header; its checksum is the XOR of its first ten words.
    QByteArray placeable;
    PutU32(placeable, PlaceableKey);
    PutU16(placeable, 0);                                   // handle
    PutI16(placeable, 0);                                   // left
    PutI16(placeable, 0);                                   // top
    PutI16(placeable, Clamp16(double(size.width()) * k_));  // right
    PutI16(placeable, Clamp16(double(size.height()) * k_)); // bottom
    PutU16(placeable, uint16_t(device_->dotsPerInch() * k_));
    PutU32(placeable, 0);                                   // reserved
    uint16_t checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= uint16_t(uint8_t(placeable[i]) | (uint8_t(placeable[i + 1]) << 8));
    PutU16(placeable, checksum);
    out += placeable;

    const uint32_t totalWords = uint32_t(9 + records_.size() / 2 + 3);
    PutU16(out, 1);              // memory metafile
    PutU16(out, 9);              // header words
    PutU16(out, 0x0300);         // version
    PutU32(out, totalWords);
    PutU16(out, uint16_t(maxObjects_));
    PutU32(out, maxRecordWords_);
    PutU16(out, 0);
    out += records_;
    PutU32(out, 3);
    PutU16(out, RecEof);
    return out;
}

// ---- Objects and attributes --------------------------------------------------

int WmfPaintEngine::allocateSlot()
{
    // Playback puts a new object into the lowest free place of its table.
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!slots_[i]) {
            slots_[i] = true;
            return int(i);
        }
    slots_.push_back(true);
    maxObjects_ = std::max(maxObjects_, int(slots_.size()));
    return int(slots_.size() - 1);
}

void WmfPaintEngine::releaseSlot(int kind, int slot)
{
    if (slot < 0)
        return;
    // An object of the saved context comes back when the clip is removed; it
    // is deleted then, if it is no longer wanted.
    if (clipSaved_ && savedSlot_[std::size_t(kind)] == slot)
        return;
    simpleRecord(RecDeleteObject, {slot});
    slots_[std::size_t(slot)] = false;
}

void WmfPaintEngine::selectPen(const PenKey& key)
{
    if (slot_[KindPen] >= 0 && selPen_ == key)
        return;
    const int slot = allocateSlot();
    beginRecord(RecCreatePenIndirect);
    PutU16(records_, key.style);
    PutI16(records_, key.width);
    PutI16(records_, 0);
    PutU32(records_, key.colour);
    endRecord();
    simpleRecord(RecSelectObject, {slot});
    const int old = slot_[KindPen];
    slot_[KindPen] = slot;
    selPen_ = key;
    releaseSlot(KindPen, old);
}

void WmfPaintEngine::selectBrush(const BrushKey& key)
{
    if (slot_[KindBrush] >= 0 && selBrush_ == key)
        return;
    const int slot = allocateSlot();
    beginRecord(RecCreateBrushIndirect);
    PutU16(records_, key.style);
    PutU32(records_, key.colour);
    PutU16(records_, key.hatch);
    endRecord();
    simpleRecord(RecSelectObject, {slot});
    const int old = slot_[KindBrush];
    slot_[KindBrush] = slot;
    selBrush_ = key;
    releaseSlot(KindBrush, old);
}

void WmfPaintEngine::selectFont(const FontKey& key)
{
    if (slot_[KindFont] >= 0 && selFont_ == key)
        return;
    const int slot = allocateSlot();
    beginRecord(RecCreateFontIndirect);
    PutI16(records_, key.height);
    PutI16(records_, 0);                  // width: the font's own
    PutI16(records_, key.escapement);
    PutI16(records_, key.escapement);     // orientation
    PutI16(records_, key.weight);
    records_.append(char(key.italic));
    records_.append(char(key.underline));
    records_.append(char(key.strikeOut));
    records_.append(char(0));             // ANSI character set
    records_.append(char(0));             // default output precision
    records_.append(char(0));             // default clip precision
    records_.append(char(0));             // default quality
    records_.append(char(0));             // default pitch, any family
    QByteArray face = key.face.left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    records_ += face;
    endRecord();
    simpleRecord(RecSelectObject, {slot});
    const int old = slot_[KindFont];
    slot_[KindFont] = slot;
    selFont_ = key;
    releaseSlot(KindFont, old);
}

uint32_t WmfPaintEngine::colourRef(const QColor& colour) const
{
    const QColor c = colour.toRgb();
    const double a = std::clamp(c.alphaF() * opacity_, 0.0, 1.0);
    auto mix = [a](int v) { return uint32_t(std::lround(v * a + 255.0 * (1.0 - a))); };
    return mix(c.red()) | (mix(c.green()) << 8) | (mix(c.blue()) << 16);
}

WmfPaintEngine::PenKey WmfPaintEngine::penKeyFor(const QPen& pen) const
{
    PenKey key;
    if (pen.style() == Qt::NoPen || pen.brush().style() == Qt::NoBrush || invisible(pen.color()))
        return key;
    switch (pen.style()) {
    case Qt::DashLine: key.style = PenDash; break;
    case Qt::DotLine: key.style = PenDot; break;
    case Qt::DashDotLine: key.style = PenDashDot; break;
    case Qt::DashDotDotLine: key.style = PenDashDotDot; break;
    case Qt::CustomDashLine: key.style = PenDash; break;
    default: key.style = PenSolid; break;
    }
    switch (pen.capStyle()) {
    case Qt::FlatCap: key.style |= PenEndFlat; break;
    case Qt::RoundCap: key.style |= PenEndRound; break;
    default: key.style |= PenEndSquare; break;
    }
    switch (pen.joinStyle()) {
    case Qt::RoundJoin: key.style |= PenJoinRound; break;
    case Qt::BevelJoin: key.style |= PenJoinBevel; break;
    default: key.style |= PenJoinMiter; break;
    }
    // A cosmetic pen is measured in device pixels, a width of 0 is one pixel.
    double pixels = pen.widthF();
    if (pixels <= 0)
        pixels = 1.0;
    else if (!pen.isCosmetic())
        pixels *= transformScale();
    key.width = std::max<int16_t>(1, Clamp16(pixels * k_));
    key.colour = colourRef(pen.color());
    return key;
}

WmfPaintEngine::BrushKey WmfPaintEngine::brushKeyFor(const QBrush& brush) const
{
    BrushKey key;
    const Qt::BrushStyle style = brush.style();
    if (style == Qt::NoBrush || invisible(brush.color()))
        return key;
    key.style = BrushSolid;
    key.colour = colourRef(brush.color());
    auto hatch = [&](uint16_t h) {
        key.style = BrushHatched;
        key.hatch = h;
    };
    switch (style) {
    case Qt::HorPattern: hatch(0); break;
    case Qt::VerPattern: hatch(1); break;
    case Qt::FDiagPattern: hatch(2); break;
    case Qt::BDiagPattern: hatch(3); break;
    case Qt::CrossPattern: hatch(4); break;
    case Qt::DiagCrossPattern: hatch(5); break;
    case Qt::Dense1Pattern: case Qt::Dense2Pattern: case Qt::Dense3Pattern: case Qt::Dense4Pattern:
    case Qt::Dense5Pattern: case Qt::Dense6Pattern: case Qt::Dense7Pattern: {
        // The format has no dotted fills: the share of set dots as a tint.
        static const double share[] = {0.94, 0.88, 0.63, 0.50, 0.37, 0.12, 0.06};
        QColor c = brush.color();
        c.setAlphaF(c.alphaF() * share[style - Qt::Dense1Pattern]);
        key.colour = colourRef(c);
        break;
    }
    case Qt::LinearGradientPattern: case Qt::RadialGradientPattern: case Qt::ConicalGradientPattern:
        // Painted as images by QPainter; should one reach us, its first colour.
        if (brush.gradient() && !brush.gradient()->stops().isEmpty())
            key.colour = colourRef(brush.gradient()->stops().first().second);
        break;
    default:
        break;
    }
    return key;
}

bool WmfPaintEngine::brushNeedsRaster() const
{
    return brush_.style() == Qt::TexturePattern;
}

void WmfPaintEngine::setTextColour(uint32_t colour)
{
    if (textColour_ == int64_t(colour))
        return;
    beginRecord(RecSetTextColor);
    PutU32(records_, colour);
    endRecord();
    textColour_ = colour;
}

void WmfPaintEngine::setBkColour(uint32_t colour)
{
    if (bkColour_ == int64_t(colour))
        return;
    beginRecord(RecSetBkColor);
    PutU32(records_, colour);
    endRecord();
    bkColour_ = colour;
}

void WmfPaintEngine::setBkMode(uint16_t mode)
{
    if (bkMode_ == mode)
        return;
    simpleRecord(RecSetBkMode, {mode});
    bkMode_ = mode;
}

void WmfPaintEngine::setTextAlign(uint16_t align)
{
    if (textAlign_ == align)
        return;
    simpleRecord(RecSetTextAlign, {align});
    textAlign_ = align;
}

void WmfPaintEngine::setPolyFillMode(uint16_t mode)
{
    if (polyFill_ == mode)
        return;
    simpleRecord(RecSetPolyFillMode, {mode});
    polyFill_ = mode;
}

void WmfPaintEngine::flushClip()
{
    if (wantClip_ == clipSaved_ && (!wantClip_ || wantClipRect_ == clipRect_))
        return;
    if (clipSaved_) {
        simpleRecord(RecRestoreDC, {uint16_t(int16_t(-1))});
        clipSaved_ = false;
        // The saved objects are selected again; the ones selected since are
        // no longer selected and are deleted.
        for (int kind = 0; kind < KindCount; ++kind) {
            const int current = slot_[std::size_t(kind)];
            if (current != savedSlot_[std::size_t(kind)])
                releaseSlot(kind, current);
            slot_[std::size_t(kind)] = savedSlot_[std::size_t(kind)];
        }
        selPen_ = savedPen_;
        selBrush_ = savedBrush_;
        selFont_ = savedFont_;
        textColour_ = bkColour_ = -1;
        bkMode_ = textAlign_ = polyFill_ = -1;
    }
    if (wantClip_) {
        simpleRecord(RecSaveDC, {});
        clipSaved_ = true;
        savedSlot_ = slot_;
        savedPen_ = selPen_;
        savedBrush_ = selBrush_;
        savedFont_ = selFont_;
        clipRect_ = wantClipRect_;
        simpleRecord(RecIntersectClipRect, {clipRect_.y() + clipRect_.height(), clipRect_.x() + clipRect_.width(),
                                            clipRect_.y(), clipRect_.x()});
    }
}

void WmfPaintEngine::prepare(bool stroke, bool fill)
{
    flushClip();
    selectPen(stroke ? penKeyFor(pen_) : PenKey());
    selectBrush(fill ? brushKeyFor(brush_) : BrushKey());
    // Hatches show the background colour between their lines only in
    // opaque mode, as in Qt.
    if (bgMode_ == Qt::OpaqueMode) {
        setBkColour(colourRef(bgBrush_.color()));
        setBkMode(BkOpaque);
    } else {
        setBkMode(BkTransparent);
    }
    if (fill)
        setPolyFillMode(fillRule_ == Qt::WindingFill ? FillWinding : FillAlternate);
}

// ---- Geometry ----------------------------------------------------------------

std::vector<QPoint> WmfPaintEngine::toUnits(const QPolygonF& devicePolygon) const
{
    std::vector<QPoint> out;
    out.reserve(std::size_t(devicePolygon.size()));
    for (const QPointF& p : devicePolygon)
        out.push_back(lu(p));
    return out;
}

void WmfPaintEngine::writePoints(const QPoint* points, int count)
{
    for (int i = 0; i < count; ++i) {
        PutI16(records_, int16_t(points[i].x()));
        PutI16(records_, int16_t(points[i].y()));
    }
}

void WmfPaintEngine::emitPolyline(const std::vector<QPoint>& points)
{
    const int n = int(points.size());
    if (n < 2)
        return;
    // Longer lines go on in the next record from the last point of this one.
    int first = 0;
    while (first < n - 1) {
        const int end = std::min(n, first + MaxPointsPerRecord);
        beginRecord(RecPolyline);
        PutU16(records_, uint16_t(end - first));
        writePoints(points.data() + first, end - first);
        endRecord();
        first = end - 1;
    }
}

namespace {

// A closed outline short enough for one record: repeated points dropped, and
// what is still too long thinned to its extremes per run of points.
std::vector<QPoint> FitPolygon(std::vector<QPoint> points)
{
    if (int(points.size()) <= MaxPointsPerRecord)
        return points;
    std::vector<QPoint> unique;
    unique.reserve(points.size());
    for (const QPoint& p : points)
        if (unique.empty() || unique.back() != p)
            unique.push_back(p);
    if (int(unique.size()) <= MaxPointsPerRecord)
        return unique;
    const std::size_t run = (unique.size() * 4 + MaxPointsPerRecord - 1) / MaxPointsPerRecord;
    std::vector<QPoint> thin;
    for (std::size_t i = 0; i < unique.size(); i += run) {
        const std::size_t end = std::min(unique.size(), i + run);
        auto [minY, maxY] = std::minmax_element(unique.begin() + std::ptrdiff_t(i), unique.begin() + std::ptrdiff_t(end),
                                                [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); });
        const QPoint keep[] = {unique[i], minY < maxY ? *minY : *maxY, minY < maxY ? *maxY : *minY, unique[end - 1]};
        for (const QPoint& p : keep)
            if (thin.empty() || thin.back() != p)
                thin.push_back(p);
    }
    if (int(thin.size()) > MaxPointsPerRecord)
        thin.resize(MaxPointsPerRecord);
    return thin;
}

} // namespace

void WmfPaintEngine::emitPolygon(std::vector<QPoint> points)
{
    points = FitPolygon(std::move(points));
    if (points.size() < 2)
        return;
    beginRecord(RecPolygon);
    PutU16(records_, uint16_t(points.size()));
    writePoints(points.data(), int(points.size()));
    endRecord();
}

void WmfPaintEngine::emitPolyPolygon(std::vector<std::vector<QPoint>> polygons)
{
    std::vector<std::vector<QPoint>> fitted;
    for (auto& poly : polygons) {
        poly = FitPolygon(std::move(poly));
        if (poly.size() >= 2)
            fitted.push_back(std::move(poly));
    }
    if (fitted.empty())
        return;
    if (fitted.size() == 1) {
        emitPolygon(std::move(fitted.front()));
        return;
    }
    std::size_t first = 0;
    while (first < fitted.size()) {
        std::size_t end = std::min(fitted.size(), first + std::size_t(MaxPointsPerRecord));
        beginRecord(RecPolyPolygon);
        PutU16(records_, uint16_t(end - first));
        for (std::size_t i = first; i < end; ++i)
            PutU16(records_, uint16_t(fitted[i].size()));
        for (std::size_t i = first; i < end; ++i)
            writePoints(fitted[i].data(), int(fitted[i].size()));
        endRecord();
        first = end;
    }
}

void WmfPaintEngine::strokeAndFill(const QPainterPath& userPath, bool fill, bool stroke)
{
    const QList<QPolygonF> polys = userPath.toSubpathPolygons(xf_);
    if (polys.isEmpty())
        return;
    fill = fill && brushKeyFor(brush_).style != BrushNull;
    stroke = stroke && penKeyFor(pen_).style != PenNull;
    if (fill && brushNeedsRaster()) {
        rasterFill(userPath);
        fill = false;
    }
    if (!fill && !stroke)
        return;
    fillRule_ = userPath.fillRule();
    bool allClosed = true;
    for (const QPolygonF& poly : polys)
        if (poly.size() < 3 || !poly.isClosed())
            allClosed = false;
    if (fill && (allClosed || !stroke)) {
        // One record fills and outlines closed figures.
        prepare(stroke && allClosed, true);
        std::vector<std::vector<QPoint>> units;
        for (const QPolygonF& poly : polys)
            units.push_back(toUnits(poly));
        emitPolyPolygon(std::move(units));
        if (stroke && allClosed)
            return;
    } else if (fill) {
        prepare(false, true);
        std::vector<std::vector<QPoint>> units;
        for (const QPolygonF& poly : polys)
            units.push_back(toUnits(poly));
        emitPolyPolygon(std::move(units));
    }
    if (stroke) {
        prepare(true, false);
        for (const QPolygonF& poly : polys)
            emitPolyline(toUnits(poly));
    }
}

void WmfPaintEngine::rasterFill(const QPainterPath& userPath)
{
    const QRect bounds = xf_.map(userPath).boundingRect().toAlignedRect()
                             .intersected(QRect(QPoint(0, 0), device_->size()));
    if (bounds.isEmpty())
        return;
    QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-bounds.topLeft());
        p.setTransform(xf_, true);
        p.setBrushOrigin(brushOrigin_);
        p.setOpacity(opacity_);
        p.setPen(Qt::NoPen);
        p.setBrush(brush_);
        p.drawPath(userPath);
    }
    emitImage(QRectF(bounds), image);
}

void WmfPaintEngine::emitImage(const QRectF& deviceRect, const QImage& source)
{
    if (source.isNull() || deviceRect.isEmpty())
        return;
    flushClip();
    QImage image = source;
    // The coordinates of the source count in 16 bits; very large images are
    // scaled to fit and to keep the record within reason.
    if (image.width() > 32767 || image.height() > 32767
        || qint64(image.width()) * image.height() > MaxImagePixels) {
        const double f = std::min({32767.0 / image.width(), 32767.0 / image.height(),
                                   std::sqrt(double(MaxImagePixels) / (double(image.width()) * image.height()))});
        image = image.scaled(std::max(1, int(image.width() * f)), std::max(1, int(image.height() * f)),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // 24 bits have no alpha: what is translucent is shown over white.
    QImage rgb(image.size(), QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.setOpacity(opacity_);
        p.drawImage(0, 0, image);
    }
    const int w = rgb.width();
    const int h = rgb.height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const QPoint topLeft = lu(deviceRect.topLeft());
    const QPoint bottomRight = lu(deviceRect.bottomRight());

    beginRecord(RecStretchDib);
    PutU32(records_, RopSrcCopy);
    PutU16(records_, 0);                         // colours are RGB values
    PutI16(records_, int16_t(h));                // source height, width, y, x
    PutI16(records_, int16_t(w));
    PutI16(records_, 0);
    PutI16(records_, 0);
    PutI16(records_, int16_t(std::clamp(bottomRight.y() - topLeft.y(), -32768, 32767)));
    PutI16(records_, int16_t(std::clamp(bottomRight.x() - topLeft.x(), -32768, 32767)));
    PutI16(records_, int16_t(topLeft.y()));
    PutI16(records_, int16_t(topLeft.x()));
    // BITMAPINFOHEADER, then the rows from the bottom up, blue green red.
    PutU32(records_, 40);
    PutU32(records_, uint32_t(w));
    PutU32(records_, uint32_t(h));
    PutU16(records_, 1);
    PutU16(records_, 24);
    PutU32(records_, 0);
    PutU32(records_, uint32_t(rowBytes * h));
    PutU32(records_, 0);
    PutU32(records_, 0);
    PutU32(records_, 0);
    PutU32(records_, 0);
    QByteArray row(rowBytes, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        char* out = row.data();
        for (int x = 0; x < w; ++x) {
            *out++ = char(qBlue(line[x]));
            *out++ = char(qGreen(line[x]));
            *out++ = char(qRed(line[x]));
        }
        records_ += row;
    }
    endRecord();
}

// ---- Drawing -----------------------------------------------------------------

void WmfPaintEngine::drawRects(const QRectF* rects, int rectCount)
{
    if (!axisAligned() || brushNeedsRaster()) {
        for (int i = 0; i < rectCount; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            strokeAndFill(path, true, true);
        }
        return;
    }
    prepare(true, true);
    for (int i = 0; i < rectCount; ++i) {
        const QRectF d = xf_.mapRect(rects[i].normalized());
        simpleRecord(RecRectangle, {lx(d.bottom()), lx(d.right()), lx(d.top()), lx(d.left())});
    }
}

void WmfPaintEngine::drawLines(const QLineF* lines, int lineCount)
{
    if (penKeyFor(pen_).style == PenNull)
        return;
    prepare(true, false);
    // Lines that go on where the one before ended become one polyline.
    std::vector<QPoint> run;
    for (int i = 0; i < lineCount; ++i) {
        const QPoint a = lu(xf_.map(lines[i].p1()));
        const QPoint b = lu(xf_.map(lines[i].p2()));
        if (run.empty() || run.back() != a) {
            emitPolyline(run);
            run.clear();
            run.push_back(a);
        }
        run.push_back(b);
    }
    emitPolyline(run);
}

void WmfPaintEngine::drawEllipse(const QRectF& rect)
{
    if (!axisAligned() || brushNeedsRaster()) {
        QPainterPath path;
        path.addEllipse(rect);
        strokeAndFill(path, true, true);
        return;
    }
    prepare(true, true);
    const QRectF d = xf_.mapRect(rect.normalized());
    simpleRecord(RecEllipse, {lx(d.bottom()), lx(d.right()), lx(d.top()), lx(d.left())});
}

void WmfPaintEngine::drawPath(const QPainterPath& path)
{
    strokeAndFill(path, true, true);
}

void WmfPaintEngine::drawPoints(const QPointF* points, int pointCount)
{
    const PenKey key = penKeyFor(pen_);
    if (key.style == PenNull)
        return;
    // A point is a dot of the pen's width in the pen's colour.
    flushClip();
    selectPen(PenKey());
    BrushKey dot;
    dot.style = BrushSolid;
    dot.colour = key.colour;
    selectBrush(dot);
    const double half = std::max<double>(key.width, k_) / 2.0;
    const bool round = pen_.capStyle() == Qt::RoundCap;
    for (int i = 0; i < pointCount; ++i) {
        const QPointF c = xf_.map(points[i]) * k_;
        simpleRecord(round ? RecEllipse : RecRectangle,
                     {Clamp16(c.y() + half), Clamp16(c.x() + half), Clamp16(c.y() - half), Clamp16(c.x() - half)});
    }
}

void WmfPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode)
{
    if (pointCount < 2)
        return;
    if (mode == PolylineMode) {
        if (penKeyFor(pen_).style == PenNull)
            return;
        prepare(true, false);
        std::vector<QPoint> units;
        units.reserve(std::size_t(pointCount));
        for (int i = 0; i < pointCount; ++i)
            units.push_back(lu(xf_.map(points[i])));
        emitPolyline(units);
        return;
    }
    if (brushNeedsRaster()) {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + pointCount)));
        path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        strokeAndFill(path, true, true);
        return;
    }
    fillRule_ = mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill;
    prepare(true, true);
    std::vector<QPoint> units;
    units.reserve(std::size_t(pointCount));
    for (int i = 0; i < pointCount; ++i)
        units.push_back(lu(xf_.map(points[i])));
    if (int(units.size()) > MaxPointsPerRecord && penKeyFor(pen_).style != PenNull) {
        // Too long for one record: the fill thinned, the outline whole.
        prepare(false, true);
        emitPolygon(units);
        units.push_back(units.front());
        prepare(true, false);
        emitPolyline(units);
        return;
    }
    emitPolygon(std::move(units));
}

void WmfPaintEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                               Qt::ImageConversionFlags)
{
    if (image.isNull() || r.isEmpty())
        return;
    const QRect source = sr.toAlignedRect().intersected(image.rect());
    if (source.isEmpty())
        return;
    if (axisAligned()) {
        emitImage(xf_.mapRect(r), source == image.rect() ? image : image.copy(source));
        return;
    }
    // Turned or mirrored: the picture as Qt paints it, upright on the device.
    const QRect bounds = xf_.mapRect(r).toAlignedRect().intersected(QRect(QPoint(0, 0), device_->size()));
    if (bounds.isEmpty())
        return;
    QImage turned(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    turned.fill(Qt::transparent);
    {
        QPainter p(&turned);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(-bounds.topLeft());
        p.setTransform(xf_, true);
        p.drawImage(r, image, sr);
    }
    emitImage(QRectF(bounds), turned);
}

void WmfPaintEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr)
{
    drawImage(r, pm.toImage(), sr, Qt::AutoColor);
}

void WmfPaintEngine::drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s)
{
    const QSize size(int(std::ceil(r.width())), int(std::ceil(r.height())));
    if (size.isEmpty() || pixmap.isNull())
        return;
    QImage tiles(size, QImage::Format_ARGB32_Premultiplied);
    tiles.fill(Qt::transparent);
    {
        QPainter p(&tiles);
        p.drawTiledPixmap(QRectF(QPointF(0, 0), QSizeF(size)), pixmap, s);
    }
    drawImage(QRectF(r.topLeft(), QSizeF(size)), tiles, QRectF(tiles.rect()), Qt::AutoColor);
}

void WmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty() || pen_.style() == Qt::NoPen || invisible(pen_.color()))
        return;
    const double scale = transformScale();
    if (scale <= 0)
        return;
    const QFont font = textItem.font();
    const double pixelSize = font.pixelSize() > 0 ? double(font.pixelSize())
                                                  : font.pointSizeF() * device_->dotsPerInch() / 72.0;
    // Escapement counts tenths of a degree counter-clockwise; Qt turns
    // clockwise on the screen.
    const double degrees = -std::atan2(xf_.m12(), xf_.m11()) * 180.0 / M_PI;
    int tenths = int(std::lround(degrees * 10.0)) % 3600;
    if (tenths < 0)
        tenths += 3600;

    FontKey key;
    key.height = Clamp16(-pixelSize * scale * k_);
    if (key.height == 0)
        key.height = -1;
    key.escapement = int16_t(tenths);
    key.weight = int16_t(std::clamp(int(font.weight()), 1, 1000));
    key.italic = font.italic() ? 1 : 0;
    // QPainter draws underlines and strike-outs itself, as lines in the text
    // colour: the font's own would show them twice.
    key.underline = 0;
    key.strikeOut = 0;
    key.face = EncodeAnsi(font.family());

    flushClip();
    selectFont(key);
    setTextColour(colourRef(pen_.color()));
    setTextAlign(TextAlignBaselineLeft);
    if (bgMode_ == Qt::OpaqueMode) {
        setBkColour(colourRef(bgBrush_.color()));
        setBkMode(BkOpaque);
    } else {
        setBkMode(BkTransparent);
    }

    // The reader lays the text out with its own font: no advances are
    // written, so readers that take them (wmf2svg) keep the text whole. Only a
    // text too long for one record is cut, each part placed where Qt's metrics
    // end the one before.
    std::vector<QString> pieces;
    const QByteArray bytes = EncodeAnsi(text, &pieces);
    const QPointF origin = xf_.map(p);
    constexpr int chunk = 8192;
    double before = 0;
    const QFontMetricsF metrics(font, device_);
    const double ux = xf_.m11() / scale;   // the baseline's direction on the device
    const double uy = xf_.m12() / scale;
    for (int first = 0; first < bytes.size(); first += chunk) {
        const int count = std::min<int>(chunk, int(bytes.size()) - first);
        const QPoint at = lu(origin + QPointF(ux, uy) * before);
        beginRecord(RecExtTextOut);
        PutI16(records_, int16_t(at.y()));
        PutI16(records_, int16_t(at.x()));
        PutU16(records_, uint16_t(count));
        PutU16(records_, 0);      // no clipping or opaque rectangle
        records_ += bytes.mid(first, count);
        endRecord();
        if (first + count < bytes.size())
            for (int i = first; i < first + count; ++i)
                before += metrics.horizontalAdvance(pieces[std::size_t(i)]) * scale;
    }
}

void WmfPaintEngine::drawPie(QPainter& painter, const QRectF& rect, int startAngle, int spanAngle)
{
    syncState();
    const Qt::BrushStyle bs = brush_.style();
    const bool plainBrush = bs != Qt::TexturePattern && bs != Qt::LinearGradientPattern
                            && bs != Qt::RadialGradientPattern && bs != Qt::ConicalGradientPattern;
    const Qt::BrushStyle ps = pen_.brush().style();
    const bool plainPen = pen_.style() == Qt::NoPen || ps == Qt::SolidPattern;
    if (!axisAligned() || !plainBrush || !plainPen || spanAngle == 0) {
        painter.drawPie(rect, startAngle, spanAngle);
        return;
    }
    fillRule_ = Qt::WindingFill;
    prepare(true, true);
    const QRectF d = xf_.mapRect(rect.normalized());
    const int16_t box[] = {lx(d.bottom()), lx(d.right()), lx(d.top()), lx(d.left())};
    if (std::abs(spanAngle) >= 360 * 16) {
        simpleRecord(RecEllipse, {box[0], box[1], box[2], box[3]});
        return;
    }
    // The pie runs counter-clockwise from the first radial to the second.
    int from = startAngle;
    int to = startAngle + spanAngle;
    if (spanAngle < 0)
        std::swap(from, to);
    const QPointF c = d.center();
    auto radial = [&](int angle16) {
        const double a = angle16 / 16.0 * M_PI / 180.0;
        return lu(QPointF(c.x() + std::cos(a) * d.width() / 2, c.y() - std::sin(a) * d.height() / 2));
    };
    const QPoint r1 = radial(from);
    const QPoint r2 = radial(to);
    simpleRecord(RecPie, {r2.y(), r2.x(), r1.y(), r1.x(), box[0], box[1], box[2], box[3]});
}

// ---- The device --------------------------------------------------------------

namespace {

int UnitsPerPixel(const QSize& size, int dpi)
{
    const int longest = std::max({1, size.width(), size.height()});
    int k = std::clamp(32767 / longest, 1, 15);
    while (k > 1 && dpi * k > 65535)
        --k;
    return k;
}

} // namespace

WindowsMetafile::WindowsMetafile(const QSize& size, int dotsPerInch)
    : size_(size.expandedTo(QSize(1, 1)))
    , dpi_(std::clamp(dotsPerInch, 1, 65535))
    , unitsPerPixel_(UnitsPerPixel(size_, dpi_))
{
    engine_ = std::make_unique<WmfPaintEngine>(this);
}

WindowsMetafile::~WindowsMetafile() = default;

QPaintEngine* WindowsMetafile::paintEngine() const
{
    return engine_.get();
}

QByteArray WindowsMetafile::bytes() const
{
    return engine_->fileBytes();
}

bool WindowsMetafile::saveToFile(const QString& fileName) const
{
    return WriteWholeFile(fileName, bytes());
}

void WindowsMetafile::clear()
{
    if (!engine_->isActive())
        engine_->reset();
}

void WindowsMetafile::DrawPie(QPainter& painter, const QRectF& rect, int startAngle, int spanAngle)
{
    auto* metafile = dynamic_cast<WindowsMetafile*>(painter.device());
    if (!metafile || !painter.isActive() || painter.paintEngine() != metafile->engine_.get()) {
        painter.drawPie(rect, startAngle, spanAngle);
        return;
    }
    metafile->engine_->drawPie(painter, rect, startAngle, spanAngle);
}

int WindowsMetafile::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return int(std::lround(size_.width() * 25.4 / dpi_));
    case PdmHeightMM: return int(std::lround(size_.height() * 25.4 / dpi_));
    case PdmNumColors: return 0xFFFFFF;
    case PdmDepth: return 24;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return dpi_;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}

} // namespace platform
