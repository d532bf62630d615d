#pragma once
// A paint device that records what a QPainter draws as a placeable Windows
// metafile (WMF), the format other programs take from files and the clipboard:
//
//     platform::WindowsMetafile metafile(QSize(800, 600));
//     {
//         QPainter painter(&metafile);
//         ... draw ...
//     }
//     metafile.saveToFile(path);       // false when the file cannot be written
//     QByteArray bytes = metafile.bytes();
//
// The device measures size() pixels at dotsPerInch(); the file's logical
// units are finer (unitsPerPixel() of them per pixel) so that lines keep their
// sub-pixel places, and its placeable header names the size in inches.
//
// What the format has no record for is not lost: gradients, pens filled with a
// brush and texture brushes reach the file as images of what Qt would have
// painted (StretchDIBits, 24 bits); curves become polygons; rotated text is a
// font with an escapement; translucent colours are mixed with white, the paper
// the file is normally shown on. Clipping keeps the bounding rectangle of the
// clip. Coordinates beyond the 16-bit range are clamped to it, and point lists
// longer than a record can count go into several records.
#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QPaintDevice>
#include <memory>

class QPainter;

namespace platform {

class WmfPaintEngine;

class WindowsMetafile : public QPaintDevice {
public:
    explicit WindowsMetafile(const QSize& size, int dotsPerInch = 96);
    ~WindowsMetafile() override;
    WindowsMetafile(const WindowsMetafile&) = delete;
    WindowsMetafile& operator=(const WindowsMetafile&) = delete;

    QSize size() const { return size_; }
    int dotsPerInch() const { return dpi_; }
    // Logical units of the file per device pixel (at most 15, fewer for large
    // devices so that the whole device fits the 16-bit coordinate range).
    int unitsPerPixel() const { return unitsPerPixel_; }

    QPaintEngine* paintEngine() const override;

    // The whole file of what was painted so far: placeable header, standard
    // header, the records and the end-of-file record. Painting again later adds
    // to the same drawing; clear() starts a new one.
    QByteArray bytes() const;
    // Writes bytes() to a file; false when it cannot be written completely.
    bool saveToFile(const QString& fileName) const;
    void clear();

    // A pie as the format's own pie record when the painter paints into a
    // metafile without rotation; on every other device (or turned) the same as
    // painter.drawPie. Angles in 1/16 degree as QPainter takes them.
    static void DrawPie(QPainter& painter, const QRectF& rect, int startAngle, int spanAngle);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    int dpi_;
    int unitsPerPixel_;
    std::unique_ptr<WmfPaintEngine> engine_;
};

} // namespace platform
