#include "platform/WindowsMetafile.h"

#include "platform/Colors.h"
#include "support/ExternalTools.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

using namespace platform;

namespace {

// ---- A reader of our own -----------------------------------------------------

struct Record {
    uint32_t words = 0;
    uint16_t function = 0;
    QByteArray params;

    int16_t i16(int index) const
    {
        return int16_t(uint8_t(params[2 * index]) | (uint8_t(params[2 * index + 1]) << 8));
    }
    uint16_t u16(int index) const { return uint16_t(i16(index)); }
    uint32_t u32(int index) const { return uint32_t(u16(index)) | (uint32_t(u16(index + 1)) << 16); }
};

struct Metafile {
    bool ok = false;
    QString error;
    uint32_t key = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t inch = 0;
    uint16_t checksum = 0;
    uint16_t computedChecksum = 0;
    uint16_t type = 0, headerWords = 0, version = 0, objects = 0;
    uint32_t sizeWords = 0, maxRecord = 0;
    std::vector<Record> records;

    std::vector<const Record*> all(uint16_t function) const
    {
        std::vector<const Record*> out;
        for (const Record& r : records)
            if (r.function == function)
                out.push_back(&r);
        return out;
    }
};

uint16_t U16(const QByteArray& b, qsizetype at) { return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); }
uint32_t U32(const QByteArray& b, qsizetype at) { return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16); }

Metafile Parse(const QByteArray& bytes)
{
    Metafile m;
    if (bytes.size() < 22 + 18 + 6) {
        m.error = "too short";
        return m;
    }
    m.key = U32(bytes, 0);
    m.left = int16_t(U16(bytes, 6));
    m.top = int16_t(U16(bytes, 8));
    m.right = int16_t(U16(bytes, 10));
    m.bottom = int16_t(U16(bytes, 12));
    m.inch = U16(bytes, 14);
    m.checksum = U16(bytes, 20);
    for (int i = 0; i < 20; i += 2)
        m.computedChecksum ^= U16(bytes, i);
    m.type = U16(bytes, 22);
    m.headerWords = U16(bytes, 24);
    m.version = U16(bytes, 26);
    m.sizeWords = U32(bytes, 28);
    m.objects = U16(bytes, 32);
    m.maxRecord = U32(bytes, 34);
    if (qsizetype(m.sizeWords) * 2 + 22 != bytes.size()) {
        m.error = QString("size %1 words, file %2 bytes").arg(m.sizeWords).arg(bytes.size());
        return m;
    }
    qsizetype at = 22 + 18;
    while (at + 6 <= bytes.size()) {
        Record r;
        r.words = U32(bytes, at);
        r.function = U16(bytes, at + 4);
        if (r.words < 3 || at + qsizetype(r.words) * 2 > bytes.size()) {
            m.error = QString("bad record at %1").arg(at);
            return m;
        }
        if (r.words > m.maxRecord) {
            m.error = "record larger than the header's largest";
            return m;
        }
        r.params = bytes.mid(at + 6, qsizetype(r.words) * 2 - 6);
        m.records.push_back(r);
        at += qsizetype(r.words) * 2;
        if (r.function == 0)
            break;
    }
    if (m.records.empty() || m.records.back().function != 0 || at != bytes.size()) {
        m.error = "no end-of-file record at the end";
        return m;
    }
    m.ok = true;
    return m;
}

constexpr uint16_t RecPolyline = 0x0325;
constexpr uint16_t RecPolygon = 0x0324;
constexpr uint16_t RecCreateFont = 0x02FB;
constexpr uint16_t RecCreatePen = 0x02FA;
constexpr uint16_t RecCreateBrush = 0x02FC;
constexpr uint16_t RecExtTextOut = 0x0A32;
constexpr uint16_t RecStretchDib = 0x0F43;
constexpr uint16_t RecPie = 0x081A;
constexpr uint16_t RecRectangle = 0x041B;
constexpr uint16_t RecIntersectClip = 0x0416;
constexpr uint16_t RecSelectObject = 0x012D;
constexpr uint16_t RecDeleteObject = 0x01F0;
constexpr uint16_t RecSetWindowOrg = 0x020B;
constexpr uint16_t RecSetWindowExt = 0x020C;

// The bytes of a text record.
QByteArray TextOf(const Record& r)
{
    return r.params.mid(8, r.u16(2));
}

// The curve colours as they are kept: 0x00BBGGRR.
const TColor CurveColours[12] = {clBlue, clLime, clRed, clFuchsia, clAqua, clGreen,
                                 clMaroon, clPurple, clNavy, clOlive, clTeal, clYellow};

constexpr int SceneWidth = 640;
constexpr int SceneHeight = 480;

// The test drawing: a black frame round the whole (so the drawing can be found
// on a page), twelve thick lines in the curve colours, two filled rectangles, a
// pie, texts at 0, 90 and 270 degrees and an image.
void DrawScene(QPainter& p)
{
    p.fillRect(QRect(0, 0, SceneWidth, SceneHeight), Qt::white);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 2, SceneWidth - 4, SceneHeight - 4));
    for (int i = 0; i < 12; ++i) {
        p.setPen(QPen(ColorRefToQColor(CurveColours[i]), 8, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(30, 30 + i * 20), QPointF(300, 30 + i * 20));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 0, 0));
    p.drawRect(QRectF(340, 30, 120, 80));
    p.setBrush(QColor(0, 0, 255));
    p.drawRect(QRectF(480, 30, 120, 80));
    // A quarter pie above and right of (400, 250), radius 100.
    p.setBrush(QColor(0, 128, 0));
    WindowsMetafile::DrawPie(p, QRectF(300, 150, 200, 200), 0, 90 * 16);

    QFont font("DejaVu Sans");
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(30, 300), QString::fromUtf8("Zähler Öl €"));
    p.save();
    p.translate(540, 200);
    p.rotate(90);
    p.drawText(QPointF(0, 0), QString::fromUtf8("Grüße neunzig"));
    p.restore();
    p.save();
    p.translate(600, 440);
    p.rotate(270);
    p.drawText(QPointF(0, 0), QString::fromUtf8("Maß"));
    p.restore();

    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(QColor(255, 128, 0));
    p.drawImage(QRectF(30, 360, 80, 80), image);
}

QByteArray SceneBytes()
{
    WindowsMetafile metafile(QSize(SceneWidth, SceneHeight));
    {
        QPainter p(&metafile);
        DrawScene(p);
    }
    return metafile.bytes();
}

} // namespace

// ---- The file's own structure ------------------------------------------------

TEST(WindowsMetafile, HeaderHoldsKeyChecksumAndBoundingBox)
{
    WindowsMetafile metafile(QSize(640, 480), 96);
    EXPECT_EQ(metafile.unitsPerPixel(), 15);
    {
        QPainter p(&metafile);
        p.drawLine(0, 0, 10, 10);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok) << m.error.toStdString();
    EXPECT_EQ(m.key, 0x9AC6CDD7u);
    EXPECT_EQ(m.checksum, m.computedChecksum);
    EXPECT_EQ(m.left, 0);
    EXPECT_EQ(m.top, 0);
    EXPECT_EQ(m.right, 640 * 15);
    EXPECT_EQ(m.bottom, 480 * 15);
    // 1440 units an inch: 640 pixels at 96 dpi are 6 2/3 inches.
    EXPECT_EQ(m.inch, 96 * 15);
    EXPECT_EQ(m.type, 1);
    EXPECT_EQ(m.headerWords, 9);
    EXPECT_EQ(m.version, 0x0300);
    EXPECT_GE(m.objects, 2);   // a pen and a brush
}

// The window's extent is height first, then width (the record's order); a
// drawing wider than high must not come out standing up.
TEST(WindowsMetafile, WindowExtentIsHeightThenWidth)
{
    WindowsMetafile metafile(QSize(640, 300), 96);
    {
        QPainter p(&metafile);
        p.drawLine(0, 0, 10, 10);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok) << m.error.toStdString();
    const std::vector<const Record*> extents = m.all(RecSetWindowExt);
    ASSERT_EQ(extents.size(), 1u);
    ASSERT_EQ(extents[0]->params.size(), 4);
    EXPECT_EQ(extents[0]->i16(0), 300 * 15) << "height";
    EXPECT_EQ(extents[0]->i16(1), 640 * 15) << "width";
    const std::vector<const Record*> origins = m.all(RecSetWindowOrg);
    ASSERT_EQ(origins.size(), 1u);
    EXPECT_EQ(origins[0]->i16(0), 0);
    EXPECT_EQ(origins[0]->i16(1), 0);
}

TEST(WindowsMetafile, LargeDevicesUseFewerUnitsPerPixelAndStillFit)
{
    WindowsMetafile metafile(QSize(5000, 300), 300);
    EXPECT_EQ(metafile.unitsPerPixel(), 6);
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok) << m.error.toStdString();
    EXPECT_EQ(m.right, 30000);
    EXPECT_EQ(m.inch, 1800);
    EXPECT_EQ(m.checksum, m.computedChecksum);
}

TEST(WindowsMetafile, LongPolylineComesOutWholeInSeveralRecords)
{
    constexpr int count = 70000;
    QPolygonF line;
    for (int i = 0; i < count; ++i)
        line << QPointF(i % 500, (i / 500) * 2 + (i % 2));
    WindowsMetafile metafile(QSize(600, 400));
    {
        QPainter p(&metafile);
        p.setPen(QPen(Qt::blue, 1));
        p.drawPolyline(line);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok) << m.error.toStdString();
    const auto polylines = m.all(RecPolyline);
    ASSERT_GE(polylines.size(), 3u);
    std::vector<QPoint> joined;
    for (const Record* r : polylines) {
        const int n = r->i16(0);
        ASSERT_GE(n, 2);
        std::vector<QPoint> pts;
        for (int i = 0; i < n; ++i)
            pts.emplace_back(r->i16(1 + 2 * i), r->i16(2 + 2 * i));
        if (!joined.empty()) {
            // Each record goes on from the last point of the one before.
            ASSERT_EQ(pts.front(), joined.back());
            joined.insert(joined.end(), pts.begin() + 1, pts.end());
        } else {
            joined = pts;
        }
    }
    ASSERT_EQ(joined.size(), std::size_t(count));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(joined[std::size_t(i)], (line[i] * 15).toPoint()) << "point " << i;
}

TEST(WindowsMetafile, CoordinatesBeyondSixteenBitsAreClamped)
{
    WindowsMetafile metafile(QSize(100, 100));
    {
        QPainter p(&metafile);
        p.drawLine(QPointF(10, 10), QPointF(1e6, -1e6));
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto polylines = m.all(RecPolyline);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->i16(1), 150);
    EXPECT_EQ(polylines[0]->i16(3), 32767);
    EXPECT_EQ(polylines[0]->i16(4), -32768);
}

TEST(WindowsMetafile, TextIsWindows1252WithQuestionMarksForTheRest)
{
    WindowsMetafile metafile(QSize(300, 100));
    {
        QPainter p(&metafile);
        p.drawText(QPointF(10, 50), QString::fromUtf8("Zähler € łódź 😀!"));
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    QByteArray all;
    for (const Record* r : m.all(RecExtTextOut)) {
        all += TextOf(*r);
        EXPECT_EQ(r->words * 2, 6u + 8u + ((r->u16(2) + 1u) & ~1u));
    }
    EXPECT_EQ(all, QByteArray("Z\xe4hler \x80 ?\xf3" "d? ?!"));
}

TEST(WindowsMetafile, TurnedTextGetsTheEscapementOfItsAngle)
{
    WindowsMetafile metafile(QSize(300, 300));
    {
        QPainter p(&metafile);
        QFont f("DejaVu Sans");
        f.setPixelSize(12);
        f.setBold(true);
        f.setItalic(true);
        p.setFont(f);
        p.drawText(QPointF(10, 20), "flach");
        p.translate(100, 100);
        p.rotate(-90);
        p.drawText(QPointF(0, 0), "hoch");
        p.rotate(180);
        p.drawText(QPointF(0, 0), "runter");
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto fonts = m.all(RecCreateFont);
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0]->i16(0), -12 * 15);      // character height
    EXPECT_EQ(fonts[0]->i16(2), 0);
    EXPECT_EQ(fonts[1]->i16(2), 900);           // escapement, counter-clockwise
    EXPECT_EQ(fonts[2]->i16(2), 2700);
    EXPECT_EQ(fonts[0]->i16(4), 700);           // weight
    EXPECT_EQ(uint8_t(fonts[0]->params[10]), 1); // italic
    EXPECT_EQ(uint8_t(fonts[0]->params[13]), 0); // ANSI character set
    EXPECT_EQ(fonts[0]->params.mid(18, 12), QByteArray("DejaVu Sans\0", 12));
}

TEST(WindowsMetafile, ObjectsAreDeletedWhenReplaced)
{
    WindowsMetafile metafile(QSize(200, 200));
    {
        QPainter p(&metafile);
        for (int i = 0; i < 500; ++i) {
            p.setPen(QColor(i % 256, 0, 0));
            p.setBrush(QColor(0, i % 256, 0));
            p.setClipRect(QRect(i % 7, 0, 100, 100));
            p.drawRect(QRect(10, 10, 20, 20));
        }
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    // Only the objects in use and the ones of the saved context live at once.
    EXPECT_LE(m.objects, 6);
    EXPECT_GE(m.all(RecCreatePen).size(), 256u);
    // Every object but the ones still selected is deleted again, and no
    // deletion names a free place of the table.
    std::vector<bool> live(m.objects, false);
    for (const Record& r : m.records) {
        if (r.function == RecCreatePen || r.function == RecCreateBrush || r.function == RecCreateFont) {
            auto free = std::find(live.begin(), live.end(), false);
            ASSERT_NE(free, live.end()) << "more objects than the header counts";
            *free = true;
        } else if (r.function == RecDeleteObject || r.function == RecSelectObject) {
            ASSERT_LT(r.u16(0), live.size());
            ASSERT_TRUE(live[r.u16(0)]);
            if (r.function == RecDeleteObject)
                live[r.u16(0)] = false;
        }
    }
}

TEST(WindowsMetafile, ClipIsTheClipRectangle)
{
    WindowsMetafile metafile(QSize(200, 200));
    {
        QPainter p(&metafile);
        p.translate(10, 20);
        p.setClipRect(QRect(0, 0, 50, 40));
        p.drawLine(0, 0, 100, 100);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto clips = m.all(RecIntersectClip);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0]->i16(3), 150);   // left
    EXPECT_EQ(clips[0]->i16(2), 300);   // top
    EXPECT_EQ(clips[0]->i16(1), 900);   // right
    EXPECT_EQ(clips[0]->i16(0), 900);   // bottom
}

TEST(WindowsMetafile, GradientsAndPathsAreNotLost)
{
    WindowsMetafile metafile(QSize(200, 200));
    {
        QPainter p(&metafile);
        QLinearGradient g(0, 0, 100, 0);
        g.setColorAt(0, Qt::red);
        g.setColorAt(1, Qt::blue);
        p.fillRect(QRect(0, 0, 100, 50), g);
        QPainterPath path;
        path.moveTo(10, 100);
        path.cubicTo(50, 60, 90, 140, 130, 100);
        path.closeSubpath();
        p.setBrush(Qt::green);
        p.drawPath(path);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto images = m.all(RecStretchDib);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->u32(11), 40u);               // BITMAPINFOHEADER
    EXPECT_EQ(images[0]->u32(17), 24u << 16 | 1u);   // one plane of 24 bits
    const auto polygons = m.all(RecPolygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_GT(polygons[0]->i16(0), 10);              // the curve as many points
}

TEST(WindowsMetafile, PieIsOneRecordAndCountsCounterClockwise)
{
    WindowsMetafile metafile(QSize(200, 200));
    {
        QPainter p(&metafile);
        WindowsMetafile::DrawPie(p, QRectF(0, 0, 100, 100), 0, 90 * 16);
        WindowsMetafile::DrawPie(p, QRectF(0, 0, 100, 100), 0, -90 * 16);
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto pies = m.all(RecPie);
    ASSERT_EQ(pies.size(), 2u);
    // From 3 o'clock to 12 o'clock: radial 1 at the right, radial 2 at the top.
    EXPECT_EQ(pies[0]->i16(3), 1500);
    EXPECT_EQ(pies[0]->i16(2), 750);
    EXPECT_EQ(pies[0]->i16(1), 750);
    EXPECT_EQ(pies[0]->i16(0), 0);
    // Clockwise to 6 o'clock: written from 6 o'clock back to 3 o'clock.
    EXPECT_EQ(pies[1]->i16(3), 750);
    EXPECT_EQ(pies[1]->i16(2), 1500);
    EXPECT_EQ(pies[1]->i16(1), 1500);
    EXPECT_EQ(pies[1]->i16(0), 750);
    // Elsewhere DrawPie is QPainter's own.
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        WindowsMetafile::DrawPie(p, QRectF(0, 0, 20, 20), 0, 90 * 16);
    }
    EXPECT_EQ(image.pixel(15, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(5, 15), qRgb(255, 255, 255));
}

TEST(WindowsMetafile, SaveAnswersFalseWhenTheFileCannotBeWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WindowsMetafile metafile(QSize(50, 50));
    {
        QPainter p(&metafile);
        p.drawEllipse(QRect(5, 5, 20, 20));
    }
    const QString good = dir.filePath("chart.wmf");
    ASSERT_TRUE(metafile.saveToFile(good));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), metafile.bytes());
    // A directory below a regular file cannot exist, even for root.
    const QString plain = dir.filePath("plain");
    QFile(plain).open(QIODevice::WriteOnly);
    EXPECT_FALSE(metafile.saveToFile(plain + "/chart.wmf"));
    EXPECT_FALSE(metafile.saveToFile(QString()));
}

TEST(WindowsMetafile, PaintingAgainAddsAndClearStartsOver)
{
    WindowsMetafile metafile(QSize(50, 50));
    const qsizetype empty = metafile.bytes().size();
    {
        QPainter p(&metafile);
        p.drawLine(0, 0, 5, 5);
    }
    const qsizetype one = metafile.bytes().size();
    {
        QPainter p(&metafile);
        p.drawLine(0, 0, 5, 6);
    }
    EXPECT_EQ(Parse(metafile.bytes()).all(RecPolyline).size(), 2u);
    metafile.clear();
    EXPECT_EQ(metafile.bytes().size(), empty);
    EXPECT_LT(empty, one);
}

// ---- Read back by the programs people use ------------------------------------

TEST(WindowsMetafileReadBack, Wmf2svgShowsColoursTextsAndTurnedLabels)
{
    REQUIRE_TOOL("wmf2svg");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wmf = dir.filePath("scene.wmf");
    {
        QFile f(wmf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SceneBytes());
    }
    const QString svgPath = dir.filePath("scene.svg");
    const testsupport::ToolResult r = testsupport::runTool("wmf2svg", {"-o", svgPath, wmf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile f(svgPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray svg = f.readAll();
    for (const char* name : {"blue", "lime", "red", "fuchsia", "aqua", "green", "maroon", "purple",
                             "navy", "olive", "teal", "yellow"})
        EXPECT_TRUE(svg.contains(QByteArray("stroke:") + name) || svg.contains(QByteArray("stroke=\"") + name + "\""))
            << "no line in " << name;
    // The texts as their Windows-1252 bytes.
    EXPECT_TRUE(svg.contains("Z\xe4hler \xd6l")) << svg.left(4000).toStdString();
    EXPECT_TRUE(svg.contains("Gr\xfc\xdf" "e neunzig"));
    EXPECT_TRUE(svg.contains("Ma\xdf"));
    // Turned labels carry their rotation: wmf2svg writes each text with a
    // matrix whose first column is the baseline's direction (y downwards, so
    // 90 degrees turn clockwise as Qt does).
    std::map<QByteArray, int> angles;
    const QString latin1 = QString::fromLatin1(svg);
    static const QRegularExpression textElement(
        R"(<text[^>]*transform="matrix\(([-0-9.]+) ([-0-9.]+) [^"]*"\s*>([^<]*)</text>)");
    for (auto it = textElement.globalMatch(latin1); it.hasNext();) {
        const auto match = it.next();
        const double degrees = std::atan2(match.captured(2).toDouble(), match.captured(1).toDouble()) * 180 / M_PI;
        angles[match.captured(3).toLatin1()] = (int(std::lround(degrees)) + 360) % 360;
    }
    ASSERT_EQ(angles.count("Gr\xfc\xdf" "e neunzig"), 1u);
    EXPECT_EQ(angles["Gr\xfc\xdf" "e neunzig"], 90);
    EXPECT_EQ(angles["Ma\xdf"], 270);
    EXPECT_EQ(angles["Z\xe4hler \xd6l \x80"], 0);
}

// A drawing wider than high stays so in wmf2svg, in the proportions it was
// drawn in. (wmf2svg takes the picture's size from the header's bounding box
// and fits what was drawn into it, so it does not see the window's extent:
// WindowExtentIsHeightThenWidth and the LibreOffice read-back below do.)
TEST(WindowsMetafileReadBack, Wmf2svgKeepsTheDrawingsWidthAndHeight)
{
    REQUIRE_TOOL("wmf2svg");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wmf = dir.filePath("wide.wmf");
    {
        WindowsMetafile metafile(QSize(640, 300), 96);
        {
            QPainter p(&metafile);
            p.setPen(QPen(Qt::black, 2));
            p.drawRect(QRectF(1, 1, 638, 298));
        }
        QFile f(wmf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(metafile.bytes());
    }
    const QString svgPath = dir.filePath("wide.svg");
    const testsupport::ToolResult r = testsupport::runTool("wmf2svg", {"-o", svgPath, wmf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile f(svgPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString svg = QString::fromLatin1(f.readAll());
    const QRegularExpressionMatch size = QRegularExpression(
        R"re(<svg[^>]*\swidth="([0-9.]+)"[^>]*\sheight="([0-9.]+)")re").match(svg);
    ASSERT_TRUE(size.hasMatch()) << svg.left(1000).toStdString();
    const double width = size.captured(1).toDouble();
    const double height = size.captured(2).toDouble();
    ASSERT_GT(height, 0.0);
    EXPECT_NEAR(width / height, 640.0 / 300.0, 0.05) << svg.left(1000).toStdString();
}

TEST(WindowsMetafileReadBack, LibreOfficeShowsTheColoursWhereTheyWereDrawn)
{
    REQUIRE_TOOL("soffice");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wmf = dir.filePath("scene.wmf");
    {
        QFile f(wmf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SceneBytes());
    }
    QString error;
    const QString png = testsupport::convertWithLibreOffice(wmf, "png", dir.filePath("out"), &error);
    ASSERT_FALSE(png.isEmpty()) << error.toStdString();
    QImage page(png);
    ASSERT_FALSE(page.isNull());
    page = page.convertToFormat(QImage::Format_RGB32);

    // The drawing's frame is its outermost dark ink.
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x)
            if (qGray(line[x]) < 80) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    ASSERT_GT(right, left);
    ASSERT_GT(bottom, top);
    const double sx = (right - left + 1) / double(SceneWidth);
    const double sy = (bottom - top + 1) / double(SceneHeight);
    EXPECT_NEAR(sx / sy, 1.0, 0.05) << "aspect ratio lost";
    auto probe = [&](double x, double y) {
        return QColor(page.pixel(int(left + x * sx), int(top + y * sy)));
    };
    auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40
               && std::abs(a.blue() - b.blue()) < 40;
    };
    for (int i = 0; i < 12; ++i) {
        const QColor want = ColorRefToQColor(CurveColours[i]);
        const QColor got = probe(165, 30 + i * 20);
        EXPECT_TRUE(near(got, want)) << "line " << i << ": " << got.name().toStdString()
                                     << " instead of " << want.name().toStdString();
        // Between the lines the paper shows.
        EXPECT_TRUE(near(probe(165, 40 + i * 20), Qt::white)) << "between lines " << i;
    }
    EXPECT_TRUE(near(probe(400, 70), QColor(255, 0, 0)));
    EXPECT_TRUE(near(probe(540, 70), QColor(0, 0, 255)));
    EXPECT_TRUE(near(probe(440, 210), QColor(0, 128, 0))) << "pie quarter";
    EXPECT_TRUE(near(probe(360, 290), Qt::white)) << "outside the pie's quarter";
    EXPECT_TRUE(near(probe(70, 400), QColor(255, 128, 0))) << "image";
}

TEST(WindowsMetafile, UnderlineIsDrawnOnce)
{
    WindowsMetafile metafile(QSize(200, 100));
    {
        QPainter p(&metafile);
        QFont f("DejaVu Sans");
        f.setPixelSize(14);
        f.setUnderline(true);
        p.setFont(f);
        p.drawText(QPointF(10, 50), "Summe");
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto fonts = m.all(RecCreateFont);
    ASSERT_EQ(fonts.size(), 1u);
    // QPainter draws the line under the text; the font must not add another.
    EXPECT_EQ(uint8_t(fonts[0]->params[11]), 0);
    EXPECT_EQ(m.all(RecPolyline).size() + m.all(RecRectangle).size() + m.all(RecPolygon).size(), 1u);
}

TEST(WindowsMetafile, PensAndBrushesKeepStyleWidthAndColour)
{
    WindowsMetafile metafile(QSize(200, 200));
    {
        QPainter p(&metafile);
        p.setPen(QPen(QColor(0, 0, 255), 3, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
        p.setBrush(QBrush(QColor(0, 128, 0), Qt::BDiagPattern));
        p.drawRect(QRect(10, 10, 50, 50));
        // Translucent red over the white paper.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 0, 0, 128));
        p.drawRect(QRect(70, 10, 50, 50));
    }
    const Metafile m = Parse(metafile.bytes());
    ASSERT_TRUE(m.ok);
    const auto pens = m.all(RecCreatePen);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[0]->u16(0), 0x0201);             // dash, flat ends, round joins
    EXPECT_EQ(pens[0]->i16(1), 45);                 // 3 pixels
    EXPECT_EQ(pens[0]->u32(3), 0xFF0000u);          // blue as 0x00BBGGRR
    EXPECT_EQ(pens[1]->u16(0), 5);                  // no pen
    const auto brushes = m.all(RecCreateBrush);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[0]->u16(0), 2);               // hatched
    EXPECT_EQ(brushes[0]->u32(1), 0x008000u);
    EXPECT_EQ(brushes[0]->u16(3), 3);               // upward diagonal
    EXPECT_EQ(brushes[1]->u16(0), 0);
    EXPECT_EQ(brushes[1]->u32(1), 0x7F7FFFu);
    EXPECT_EQ(m.all(RecRectangle).size(), 2u);
}

TEST(WindowsMetafile, AFullDiskKeepsTheEarlierFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chart.wmf"));
    const QByteArray old(20000, 'w');
    ASSERT_TRUE(testsupport::writeFile(file, old));
    WindowsMetafile wmf(QSize(2000, 1500));
    {
        QPainter p(&wmf);
        for (int i = 0; i < 400; ++i)
            p.drawLine(i, 0, 2000 - i, 1500);
    }
    ASSERT_GT(wmf.bytes().size(), 4000);
    bool saved = true;
    {
        testsupport::TFullDisk full(1000);
        saved = wmf.saveToFile(file);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(testsupport::readFile(file), old);
    EXPECT_EQ(testsupport::entriesOf(dir.path()), QStringList{QStringLiteral("chart.wmf")});
}
