#pragma once
// Rich-text printing: a text document laid out page by page inside the page
// margins, every page decorated with a header and a footer line (sections,
// formats and macros), optional border lines and a logo. The same pages go to
// the printer (a PDF file here) and, recorded as pictures, to the preview.
// Margins, measure unit and orientation live in memory and are mirrored to
// the program's INI file, section "Seite".
#include "platform/DateTimeValue.h"

#include <QFont>
#include <QImage>
#include <QPicture>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPdfWriter;
class QTextDocument;

namespace platform {
class SafeFile;
}

namespace reports {

class ELinePrinter : public std::runtime_error {
public:
    explicit ELinePrinter(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }
private:
    QString message_;
};

// The page count of a document laid out in pages (its page size set); throws
// ELinePrinter when the document is too tall for the text layout to measure
// (its height and page count would wrap around).
int CheckedPageCount(const QTextDocument& paginatedDoc);

enum TMeasureUnit : uint8_t { muMillimeters = 0, muInches = 1 };
enum TPageBorderStyle : uint8_t { pbTop = 1, pbBottom = 2, pbLeft = 4, pbRight = 8 };
using TPageBorders = uint8_t;                // set of TPageBorderStyle bits
enum TPageSetupFlag : uint8_t {
    poDisableMargins = 1, poMargins = 2, poDisableOrientation = 4, poDisablePaper = 8, poDisablePrinter = 16
};
using TPageOptions = uint8_t;               // set of TPageSetupFlag bits
enum TPrinterOrientation : uint8_t { poPortrait = 0, poLandscape = 1 };

// Where the pages go. All pixel values are the device's own, for the current
// orientation; the painter's origin is the printable area's top left corner.
class TRichPrintTarget {
public:
    virtual ~TRichPrintTarget() = default;
    // False when there is no printer to reach.
    virtual bool Available() const { return true; }
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    // The whole paper, and the printable area's offset and size on it.
    virtual QSize PaperPixels() const = 0;
    virtual QRect PrintablePixels() const = 0;
    virtual bool Landscape() const = 0;
    // False when the orientation cannot be changed.
    virtual bool SetLandscape(bool landscape) = 0;
    // A job: Begin answers the painter of the first page or null on failure.
    virtual QPainter* Begin(const QString& title) = 0;
    virtual bool NewPage() = 0;
    virtual bool End() = 0;
    virtual bool Printing() const = 0;
    // True when the last Begin failed because the user cancelled (no file
    // chosen): nothing is printed and nothing is reported.
    virtual bool BeginCancelled() const { return false; }
};

// The program's printer service as a target: the paper and the printable
// page of its current target (a printer queue's page lies inside the paper,
// a PDF file's is the paper). The service's orientation is the table
// printing's too: the target keeps its own and sets it on the service only
// while measuring and during a job.
class TServiceRichTarget : public TRichPrintTarget {
public:
    TServiceRichTarget();
    ~TServiceRichTarget() override;
    int DpiX() const override;
    int DpiY() const override { return DpiX(); }
    QSize PaperPixels() const override;
    QRect PrintablePixels() const override;
    bool Landscape() const override { return landscape_; }
    bool SetLandscape(bool landscape) override { landscape_ = landscape; return true; }
    QPainter* Begin(const QString& title) override;
    bool NewPage() override;
    bool End() override;
    bool Printing() const override;
    bool BeginCancelled() const override { return cancelled_; }
private:
    bool landscape_ = false;
    bool cancelled_ = false;
    int savedOrientation_ = -1;
};

// A target writing a PDF file: A4, no unprintable edges, 600 dots per inch.
class TPdfRichTarget : public TRichPrintTarget {
public:
    explicit TPdfRichTarget(const QString& fileName, int dpi = 600);
    ~TPdfRichTarget() override;
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& FileName() const { return fileName_; }
    int DpiX() const override { return dpi_; }
    int DpiY() const override { return dpi_; }
    QSize PaperPixels() const override;
    QRect PrintablePixels() const override { return QRect(QPoint(0, 0), PaperPixels()); }
    bool Landscape() const override { return landscape_; }
    bool SetLandscape(bool landscape) override { landscape_ = landscape; return true; }
    QPainter* Begin(const QString& title) override;
    bool NewPage() override;
    bool End() override;
    bool Printing() const override { return painter_ != nullptr; }
private:
    QString fileName_;
    int dpi_;
    bool landscape_ = false;
    std::unique_ptr<platform::SafeFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
};

// The text of one header or footer section as drawn: its left edge in pixels
// and the text after macros and cutting.
struct TPlacedSection {
    int X = 0;
    QString Text;
};

// A format section: "<" left, ">" right, "^" centred (none: left), then a
// width in the measure unit. An empty section is left with width 0.
struct TSectionFormat {
    char Align = '<';
    double Width = 0;
};
TSectionFormat ParseSectionFormat(const QString& section);

// Values of the header and footer macros.
struct TMacroValues {
    int Line = 0;
    int Page = 1;
    QString Date;
    QString Time;
    QString Title;
};
// Replaces {$LINE}, {$PAGE}, {$DATE}, {$TIME} and {$TITLE}, in that order.
QString ExpandMacros(const QString& text, const TMacroValues& values);

// Lays out one header or footer line: text and format split at "|", each
// format section advancing x by its width; a text section without a format
// section is never drawn. toPixels turns a width in the measure unit into
// pixels, textWidth measures a text.
std::vector<TPlacedSection> LayoutHeaderLine(const QString& text, const QString& format, int startX, int dpiX,
                                             const TMacroValues& values,
                                             const std::function<int(double)>& toPixels,
                                             const std::function<int(const QString&)>& textWidth);

// The pages of a preview, recorded in the printer's pixels.
struct TRichPreviewPages {
    QSize PaperPixels;
    bool Landscape = false;
    std::vector<QPicture> Pages;
};

// The progress box of a print or preview job. While a printer's
// ShowProgress is on, its first progress report of a job creates the box
// through the installed factory; every report gives it the status text
// (empty: the text stays as it was), the job's title and the current page
// number; the report made after the job frees it.
class TRichPrintProgress {
public:
    virtual ~TRichPrintProgress() = default;
    virtual void Report(const QString& status, const QString& title, int pageNumber) = 0;
};
using TRichPrintProgressFactory = std::function<std::unique_ptr<TRichPrintProgress>()>;

// Installs the factory of the progress box (the window comes from the ui
// side); answers the one it replaced. Without one no box is shown.
TRichPrintProgressFactory SetRichPrintProgressFactory(TRichPrintProgressFactory factory);

class TRichPrinter {
public:
    // Loads the stored margins, unit and orientation. Without a target the
    // pages go to the program's printer service.
    explicit TRichPrinter(std::shared_ptr<TRichPrintTarget> target = nullptr);
    ~TRichPrinter();
    TRichPrinter(const TRichPrinter&) = delete;
    TRichPrinter& operator=(const TRichPrinter&) = delete;

    TRichPrintTarget& Target() const { return *target_; }
    void SetTarget(std::shared_ptr<TRichPrintTarget> target);

    // ---- Page geometry (in the measure unit) ----
    double MarginTop() const { return margins_[1]; }
    double MarginBottom() const { return margins_[3]; }
    double MarginLeft() const { return margins_[0]; }
    double MarginRight() const { return margins_[2]; }
    // Each clamps to its gutter and to the paper less the opposite gutter,
    // refuses a value that leaves less than 2 cm of text width or height
    // (message 1) and writes its INI key. False when refused.
    bool SetMarginTop(double v);
    bool SetMarginBottom(double v);
    bool SetMarginLeft(double v);
    bool SetMarginRight(double v);
    // All four at once, checked together.
    bool SetMargins(double left, double top, double right, double bottom);

    double GutterTop() const;
    double GutterBottom() const;
    double GutterLeft() const;
    double GutterRight() const;
    double PaperWidth() const;
    double PaperLength() const;

    TMeasureUnit MeasureUnit() const { return unit_; }
    void SetMeasureUnit(TMeasureUnit unit);
    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation orientation);

    QString Title() const { return title_; }
    void SetTitle(const QString& title);

    QString Header = QStringLiteral("{$TITLE}");
    QString Footer = QStringLiteral("Page {$PAGE}");
    QString HeaderFormat = QStringLiteral(">100");
    QString FooterFormat = QStringLiteral(">100");
    TPageBorders PageBorders = 0;
    // Shows the progress box while a job runs (see TRichPrintProgress).
    bool ShowProgress = true;
    QFont Font_HeaderFooter;
    double BorderOffset = 2.0;
    QImage BitmapLogo;
    double LogoTop = 0;
    double LogoLeft = 0;
    double LogoWidth = 25.0;
    double LogoHeight = 20.0;
    TPageOptions Options_Dialog = poMargins;
    double DefaultSectionWidth = 0;

    std::function<void()> OnBeginDoc;
    std::function<void()> OnEndDoc;
    std::function<void()> OnAbortDoc;    // never called: a job cannot be aborted
    std::function<void()> OnNewPage;
    // The date and time of {$DATE} and {$TIME}; the clock when unset.
    std::function<platform::DateTimeValue()> Now;

    // ---- Settings ----
    void LoadSettings();
    void SaveSettings();

    // ---- Conversions on the target ----
    int LengthToPixelsX(double length) const;
    int LengthToPixelsY(double length) const;
    double PixelsToLengthX(int pixels) const;
    double PixelsToLengthY(int pixels) const;

    // The text rectangle of a page in device pixels, relative to the
    // printable area (the header/footer font decides the least bottom margin).
    QRect TextRect() const;
    // Pages the document takes in that rectangle.
    int PageCount(const QTextDocument& doc) const;

    // ---- Output ----
    // Prints the document; the first page carries firstPageNumber. With a
    // range (fromPage..toPage, 1-based, 0 for open ends) only those pages are
    // printed, each with its own number. Copies repeat the pages within the
    // one job, so a PDF file holds them all and is asked for once. Raises
    // ELinePrinter on failure.
    void Print(const QTextDocument& doc, int firstPageNumber = 1, int fromPage = 0, int toPage = 0,
               int copies = 1);
    // Renders every page, numbered from 1, as pictures in printer pixels.
    TRichPreviewPages Preview(const QTextDocument& doc);

    // Runs the page-setup hook with the current margins and orientation and
    // takes its answer over; true when it was confirmed.
    bool PageSetup();

    bool Printing() const { return printing_; }
    // The progress box while one is shown, else null.
    const TRichPrintProgress* ProgressBox() const { return progress_.get(); }

private:
    struct PageGeometry;
    void writeMargin(int index) const;
    bool marginsFit(const double m[4]) const;
    void clampMargins(double m[4]) const;
    void checkNotPrinting(const char* what) const;
    PageGeometry geometry(QPainter* painter) const;
    void renderPages(QPainter* painter, const QTextDocument& doc, int firstPageNumber, int fromPage,
                     int toPage, const std::function<QPainter*(bool first)>& nextPage);
    void decoratePage(QPainter* painter, const PageGeometry& g, int pageNumber);
    TMacroValues macroValues(int pageNumber) const;
    // A progress report: shows and updates the box while a job runs with
    // ShowProgress on, frees it otherwise.
    void reportProgress(const QString& text);

    std::shared_ptr<TRichPrintTarget> target_;
    double margins_[4] = {20, 20, 20, 20};    // left, top, right, bottom
    TMeasureUnit unit_ = muMillimeters;
    TPrinterOrientation orientation_ = poPortrait;
    QString title_;
    bool printing_ = false;
    bool previewing_ = false;
    int pageNumber_ = 0;
    int lineCounter_ = 0;
    std::unique_ptr<TRichPrintProgress> progress_;
};

} // namespace reports
