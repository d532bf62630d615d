#pragma once
// What printed pages are drawn on. Page layouts (table printing, charts, rich
// text) draw through this interface in the page's own device pixels; the
// target decides where the strokes go: a PDF file, a printer queue (the ui
// adapter), a preview page image at 96 dpi, or a recording for tests.
//
// Chart and rich-text printing draw with QPainter: Painter() gives the page's
// painter wherever there is one (not on the recording canvas). A painter
// handed out stays valid until the next NewPage() or EndDoc().
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QPdfWriter;

namespace platform {

class SafeFile;

// Where the x of a text lies: its left edge, its right edge or its centre.
// Texts are always placed by their top edge.
enum class TTextAlign : uint8_t { Left, Right, Center };

class TPrintCanvas {
public:
    virtual ~TPrintCanvas();

    // Page size in device pixels and the device's dots per inch.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int Resolution() const = 0;

    // Begins a job titled title: false when it cannot begin (no writable file,
    // no printer). Drawing before BeginDoc or after EndDoc does nothing.
    virtual bool BeginDoc(const QString& title) = 0;
    // Ends the current page and begins the next one; false when the job failed.
    virtual bool NewPage() = 0;
    // Ends the job; false when it failed (the file could not be written).
    virtual bool EndDoc() = 0;
    virtual bool Printing() const = 0;

    // The font texts are drawn and measured with; point sizes are converted
    // to the device's pixels.
    virtual void SetFont(const QFont& font) = 0;
    virtual QFont Font() const = 0;
    virtual int TextHeight(const QString& text) = 0;
    virtual int TextWidth(const QString& text) = 0;

    // A text whose top edge is at y and whose left edge, right edge or centre
    // (by align) is at x.
    virtual void TextOut(int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) = 0;
    // The same, with everything outside clip cut away.
    virtual void TextRect(const QRect& clip, int x, int y, const QString& text,
                          TTextAlign align = TTextAlign::Left) = 0;
    // With a transparent background texts leave the page under them alone;
    // otherwise they are drawn on a white box.
    virtual void SetBackgroundTransparent(bool transparent) = 0;

    virtual void SetPenColor(const QColor& colour) = 0;
    virtual void SetPenWidth(int width) = 0;
    virtual int PenWidth() const = 0;
    // A line from (x1, y1) to (x2, y2) with the current pen.
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // The outline of the rectangle from (left, top) to (right, bottom), the
    // right and bottom edges excluded; the inside is left alone.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // Fills the rectangle, or the whole page when rect is empty.
    virtual void FillRect(const QRect& rect, const QColor& colour) = 0;
    void FillPageWhite() { FillRect(QRect(), Qt::white); }

    // The painter of the current page, or nullptr where there is none.
    virtual QPainter* Painter() = 0;
};

// A canvas over a QPainter on a paint device: the common part of the PDF
// canvas, the preview page and the printer queue of the ui adapter. The
// painter is begun by BeginDoc; newPage ends a page of a multi-page device.
class TPainterCanvas : public TPrintCanvas {
public:
    ~TPainterCanvas() override;

    int PageWidth() const override;
    int PageHeight() const override;
    int Resolution() const override;
    bool BeginDoc(const QString& title) override;
    bool NewPage() override;
    bool EndDoc() override;
    bool Printing() const override;
    void SetFont(const QFont& font) override;
    QFont Font() const override;
    int TextHeight(const QString& text) override;
    int TextWidth(const QString& text) override;
    void TextOut(int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void SetBackgroundTransparent(bool transparent) override;
    void SetPenColor(const QColor& colour) override;
    void SetPenWidth(int width) override;
    int PenWidth() const override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const QRect& rect, const QColor& colour) override;
    QPainter* Painter() override;

protected:
    TPainterCanvas();
    // The device to paint on, asked for at BeginDoc; nullptr when the job
    // cannot begin.
    virtual QPaintDevice* OpenDevice(const QString& title) = 0;
    // Starts the next page on the device.
    virtual bool DeviceNewPage() = 0;
    // Called after the painter ended; answers whether the output is complete.
    virtual bool CloseDevice(bool painterOk) = 0;
    // The device while no job runs (for sizes and measuring), may be nullptr.
    virtual QPaintDevice* IdleDevice() const = 0;

private:
    void ApplyPen();
    QPaintDevice* MeasureDevice() const;
    struct TState;
    std::unique_ptr<TState> s_;
};

// A job written to a PDF file by QPdfWriter with an explicit resolution (never
// the screen's). Page size and orientation are fixed before BeginDoc.
class TPdfCanvas : public TPainterCanvas {
public:
    // A4 portrait at 600 dpi: 4958 x 7017 pixels.
    explicit TPdfCanvas(QString fileName = QString(), int dpi = 600);
    ~TPdfCanvas() override;

    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& FileName() const { return fileName_; }
    // 0 portrait, 1 landscape; only while no job runs.
    void SetOrientation(int orientation);
    int Orientation() const { return orientation_; }
    // The pages begun in the current (or last) job.
    int PagesWritten() const { return pages_; }

    int PageWidth() const override;
    int PageHeight() const override;
    int Resolution() const override { return dpi_; }

protected:
    QPaintDevice* OpenDevice(const QString& title) override;
    bool DeviceNewPage() override;
    bool CloseDevice(bool painterOk) override;
    QPaintDevice* IdleDevice() const override;

private:
    QString fileName_;
    int dpi_;
    int orientation_ = 0;
    int pages_ = 0;
    std::unique_ptr<SafeFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    mutable std::unique_ptr<QImage> measure_;
};

// One preview page: a white image at 96 dpi, the screen's pixels. The job is
// the drawing of that page; NewPage clears the page white again.
class TImageCanvas : public TPainterCanvas {
public:
    static constexpr int ScreenDpi = 96;
    TImageCanvas(int width, int height);
    ~TImageCanvas() override;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    int Resolution() const override { return ScreenDpi; }

protected:
    QPaintDevice* OpenDevice(const QString& title) override;
    bool DeviceNewPage() override;
    bool CloseDevice(bool painterOk) override { return true; }
    QPaintDevice* IdleDevice() const override;

private:
    QImage image_;
};

// A page of another device drawn onto a canvas of other pixels: the preview
// shows the printer's page this way. Geometry and text metrics are the page
// device's (measured on its canvas, so the layout is the printout's), the
// strokes go scaled onto the target's painter. Without a target it only
// measures. The measuring canvas gets its font back at the end, so a page
// drawn while a printout runs leaves that job's font alone.
class TScaledPageCanvas : public TPrintCanvas {
public:
    TScaledPageCanvas(TPrintCanvas& measure, TPrintCanvas* target, int pageWidth, int pageHeight);
    ~TScaledPageCanvas() override;

    int PageWidth() const override { return width_; }
    int PageHeight() const override { return height_; }
    int Resolution() const override { return measure_.Resolution(); }
    // The target's job belongs to its owner.
    bool BeginDoc(const QString&) override { return false; }
    bool NewPage() override { return false; }
    bool EndDoc() override { return false; }
    bool Printing() const override { return painter_ != nullptr; }
    void SetFont(const QFont& font) override;
    QFont Font() const override { return measure_.Font(); }
    int TextHeight(const QString& text) override { return measure_.TextHeight(text); }
    int TextWidth(const QString& text) override { return measure_.TextWidth(text); }
    void TextOut(int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void SetBackgroundTransparent(bool transparent) override;
    void SetPenColor(const QColor& colour) override;
    void SetPenWidth(int width) override;
    int PenWidth() const override { return penWidth_; }
    void Line(int x1, int y1, int x2, int y2) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const QRect& rect, const QColor& colour) override;
    QPainter* Painter() override { return painter_; }
    // Target pixels per page pixel.
    double Scale() const { return scale_; }

private:
    void ApplyPen();
    int Ascent();
    TPrintCanvas& measure_;
    QPainter* painter_ = nullptr;
    QFont savedFont_;
    int width_, height_;
    double scale_ = 1.0;
    int targetDpi_ = 96;
    QColor colour_ = Qt::black;
    int penWidth_ = 1;
    bool transparent_ = false;
    int ascent_ = -1;
};

// Sets an image to 96 dots per inch, the preview's and the control images'.
void SetScreenResolution(QImage& image);

// A canvas that draws nothing and records every call, for tests. Its font
// metrics are fixed: a text is HeightPerPoint x point size high and each
// character WidthPerPoint x point size wide (a bold font one pixel more).
class TRecordingCanvas : public TPrintCanvas {
public:
    enum class TOp : uint8_t { BeginDoc, NewPage, EndDoc, Text, Line, Rectangle, Fill };
    struct TRecord {
        TOp Op = TOp::Text;
        int X = 0, Y = 0, X2 = 0, Y2 = 0;      // text: x, y; line and rectangle: both points
        QString Text;                           // text, or the job title of BeginDoc
        TTextAlign Align = TTextAlign::Left;
        bool Clipped = false;
        QRect Clip;
        QFont Font;                             // the font at the time
        int PenWidth = 1;
        bool Transparent = false;
        QColor Colour;                          // pen colour, or the fill colour
    };

    TRecordingCanvas(int width = 4960, int height = 7016, int dpi = 600);
    ~TRecordingCanvas() override;

    int HeightPerPoint = 5;
    int WidthPerPoint = 4;
    bool FailBegin = false;                     // BeginDoc answers false
    std::vector<TRecord> Records;

    void SetPageSize(int width, int height) { width_ = width; height_ = height; }
    // The records of one kind; the texts drawn; the number of pages begun.
    std::vector<TRecord> Of(TOp op) const;
    std::vector<QString> Texts() const;
    int Pages() const;

    int PageWidth() const override { return width_; }
    int PageHeight() const override { return height_; }
    int Resolution() const override { return dpi_; }
    bool BeginDoc(const QString& title) override;
    bool NewPage() override;
    bool EndDoc() override;
    bool Printing() const override { return printing_; }
    void SetFont(const QFont& font) override { font_ = font; }
    QFont Font() const override { return font_; }
    int TextHeight(const QString& text) override;
    int TextWidth(const QString& text) override;
    void TextOut(int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void TextRect(const QRect& clip, int x, int y, const QString& text, TTextAlign align = TTextAlign::Left) override;
    void SetBackgroundTransparent(bool transparent) override { transparent_ = transparent; }
    void SetPenColor(const QColor& colour) override { colour_ = colour; }
    void SetPenWidth(int width) override { penWidth_ = width; }
    int PenWidth() const override { return penWidth_; }
    void Line(int x1, int y1, int x2, int y2) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FillRect(const QRect& rect, const QColor& colour) override;
    QPainter* Painter() override { return nullptr; }

private:
    TRecord Make(TOp op) const;
    int width_, height_, dpi_;
    bool printing_ = false;
    QFont font_;
    bool transparent_ = false;
    QColor colour_ = Qt::black;
    int penWidth_ = 1;
};

// Point size of a font, derived from its pixel size and dpi where it was given
// in pixels (Qt then answers -1).
double FontPointSize(const QFont& font, int dpi = 96);

} // namespace platform
