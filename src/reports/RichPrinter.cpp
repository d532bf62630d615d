#include "reports/RichPrinter.h"

#include "base/ZT_Meld.h"
#include "platform/Hooks.h"
#include "platform/LocaleFormats.h"
#include "platform/Printer.h"
#include "platform/SafeFile.h"
#include "reports/PageSettings.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

const QString MarginKeys[4] = {QStringLiteral("LeftMargin"), QStringLiteral("TopMargin"),
                               QStringLiteral("RightMargin"), QStringLiteral("BottomMargin")};
const QString UnitKey = QStringLiteral("Einheit");
const QString OrientationKey = QStringLiteral("Ausrichtung");

// The text is laid out once at this resolution, whatever the target, so the
// preview and the printer break lines and pages alike.
constexpr int LayoutDpi = 96;

const QImage& layoutDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(LayoutDpi / 0.0254));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    return device;
}

int roundTenths(double v)
{
    return int(std::nearbyint(v * 10.0));
}

// Least text width and height: 2 cm.
double leastTextLength(TMeasureUnit unit)
{
    return unit == muMillimeters ? 20.0 : 20.0 / 25.4;
}

} // namespace

// ---- The printer service as target -----------------------------------------------

namespace {

// Sets the service's orientation for a query and puts it back.
template <typename F>
auto withOrientation(bool landscape, F f)
{
    platform::TPrinterService& p = platform::Printer();
    if (p.Printing())
        return f(p);
    platform::TOrientationKeeper keep(p, landscape ? 1 : 0);
    return f(p);
}

} // namespace

TServiceRichTarget::TServiceRichTarget() = default;

TServiceRichTarget::~TServiceRichTarget()
{
    if (savedOrientation_ >= 0)
        End();
}

int TServiceRichTarget::DpiX() const
{
    return std::max(1, platform::Printer().Resolution());
}

QSize TServiceRichTarget::PaperPixels() const
{
    return withOrientation(landscape_, [](platform::TPrinterService& p) { return p.PaperSize(); });
}

QRect TServiceRichTarget::PrintablePixels() const
{
    return withOrientation(landscape_, [](platform::TPrinterService& p) {
        return QRect(p.PageOffset(), QSize(p.PageWidth(), p.PageHeight()));
    });
}

QPainter* TServiceRichTarget::Begin(const QString& title)
{
    cancelled_ = false;
    platform::TPrinterService& p = platform::Printer();
    if (p.Printing())
        return nullptr;
    savedOrientation_ = p.Orientation();
    p.SetOrientation(landscape_ ? 1 : 0);
    p.SetTitle(title.isEmpty() ? QStringLiteral("ZT_Druckerausgabe") : title);
    // On the PDF target the job asks for its file (and before overwriting one).
    if (!p.BeginDoc()) {
        cancelled_ = p.BeginCancelled();
        p.SetOrientation(savedOrientation_);
        savedOrientation_ = -1;
        return nullptr;
    }
    return p.Canvas().Painter();
}

bool TServiceRichTarget::NewPage()
{
    return platform::Printer().NewPage();
}

bool TServiceRichTarget::End()
{
    platform::TPrinterService& p = platform::Printer();
    const bool ok = p.EndDoc();
    if (savedOrientation_ >= 0)
        p.SetOrientation(savedOrientation_);
    savedOrientation_ = -1;
    return ok;
}

bool TServiceRichTarget::Printing() const
{
    return savedOrientation_ >= 0 && platform::Printer().Printing();
}

// ---- PDF target ------------------------------------------------------------------

TPdfRichTarget::TPdfRichTarget(const QString& fileName, int dpi) : fileName_(fileName), dpi_(dpi) {}

TPdfRichTarget::~TPdfRichTarget()
{
    if (painter_)
        End();
}

QSize TPdfRichTarget::PaperPixels() const
{
    const int w = int(std::lround(210.0 / 25.4 * dpi_));
    const int h = int(std::lround(297.0 / 25.4 * dpi_));
    return landscape_ ? QSize(h, w) : QSize(w, h);
}

QPainter* TPdfRichTarget::Begin(const QString& title)
{
    if (painter_)
        return nullptr;
    // Written into a temporary file beside the final name, which replaces an
    // earlier file only when it is complete (see End).
    file_ = std::make_unique<platform::SafeFile>(fileName_);
    if (!file_->Open()) {
        file_.reset();
        return nullptr;
    }
    writer_ = std::make_unique<QPdfWriter>(&file_->Device());
    writer_->setResolution(dpi_);
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("valdran"));
    writer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                       landscape_ ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
        painter_.reset();
        writer_.reset();
        file_.reset();
        return nullptr;
    }
    return painter_.get();
}

bool TPdfRichTarget::NewPage()
{
    return writer_ && painter_ && writer_->newPage();
}

bool TPdfRichTarget::End()
{
    if (!painter_)
        return false;
    // Qt's PDF engine answers true here whatever its device did: the
    // device's errors and the file's end decide.
    const bool ended = painter_->end();
    painter_.reset();
    writer_.reset();
    if (!ended)
        file_->Fail(QStringLiteral("the job did not end"));
    file_->RequireEnding("%%EOF");
    const bool ok = file_->Commit();
    file_.reset();
    return ok && ended;
}

// ---- Header and footer lines ----------------------------------------------------

TSectionFormat ParseSectionFormat(const QString& section)
{
    TSectionFormat f;
    QString rest = section.trimmed();
    if (rest.isEmpty())
        return f;
    const QChar c = rest.front();
    if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('^')) {
        f.Align = char(c.unicode());
        rest = rest.mid(1).trimmed();
    }
    rest.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double w = QLocale::c().toDouble(rest, &ok);
    f.Width = ok && w > 0 ? w : 0;
    return f;
}

QString ExpandMacros(const QString& text, const TMacroValues& values)
{
    if (!text.contains(QLatin1String("{$")))
        return text;
    QString s = text;
    s.replace(QLatin1String("{$LINE}"), QString::number(values.Line));
    s.replace(QLatin1String("{$PAGE}"), QString::number(values.Page));
    s.replace(QLatin1String("{$DATE}"), values.Date);
    s.replace(QLatin1String("{$TIME}"), values.Time);
    s.replace(QLatin1String("{$TITLE}"), values.Title);
    return s;
}

std::vector<TPlacedSection> LayoutHeaderLine(const QString& text, const QString& format, int startX, int dpiX,
                                             const TMacroValues& values,
                                             const std::function<int(double)>& toPixels,
                                             const std::function<int(const QString&)>& textWidth)
{
    std::vector<TPlacedSection> placed;
    const QStringList formats = format.split(QLatin1Char('|'));
    const QStringList texts = text.split(QLatin1Char('|'));
    const int d = dpiX / 600;
    int x = startX;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        const TSectionFormat f = ParseSectionFormat(formats[i]);
        const int w = toPixels(f.Width);
        QString t = i < texts.size() ? ExpandMacros(texts[i], values) : QString();
        // The longest beginning that fits the section.
        if (textWidth(t) > w) {
            qsizetype lo = 0, hi = t.size();
            while (lo < hi) {
                const qsizetype mid = (lo + hi + 1) / 2;
                if (textWidth(t.left(mid)) <= w)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            t = t.left(lo);
        }
        const int tw = textWidth(t);
        int offset = 0;
        if (f.Align == '>')
            offset = w - tw;
        else if (f.Align == '^')
            offset = (w - tw) / 2;
        if (tw < w - 6 * d) {
            if (f.Align == '>')
                offset -= 6 * d;
            else if (f.Align == '<')
                offset += 6 * d;
        }
        placed.push_back({x + offset, t});
        x += w;
    }
    return placed;
}

// ---- The printer -----------------------------------------------------------------

struct TRichPrinter::PageGeometry {
    int dpiX = 600, dpiY = 600;
    QRect printable;        // on the paper
    int left = 0, top = 0, right = 0, bottom = 0;
    int textW = 1, textH = 1;
    QFont font;
    int lineHeight = 0;
    int ascent = 0;
};

TRichPrinter::TRichPrinter(std::shared_ptr<TRichPrintTarget> target)
    : target_(target ? std::move(target) : std::make_shared<TServiceRichTarget>())
{
    Font_HeaderFooter = QFont(QStringLiteral("Courier New"), 10);
    if (!target_->Available())
        platform::ShowMessageBox(QStringLiteral("There have to be at least one printer installed will printing "
                                                "functioning."),
                                 QString(), platform::mb::Ok | platform::mb::IconExclamation);
    // The stored orientation is read, not overwritten with the default.
    LoadSettings();
}

TRichPrinter::~TRichPrinter() = default;

void TRichPrinter::SetTarget(std::shared_ptr<TRichPrintTarget> target)
{
    if (!target)
        return;
    target_ = std::move(target);
    target_->SetLandscape(orientation_ == poLandscape);
}

int TRichPrinter::LengthToPixelsX(double length) const
{
    const double inches = unit_ == muMillimeters ? length / 25.4 : length;
    return int(std::lround(target_->DpiX() * inches));
}

int TRichPrinter::LengthToPixelsY(double length) const
{
    const double inches = unit_ == muMillimeters ? length / 25.4 : length;
    return int(std::lround(target_->DpiY() * inches));
}

double TRichPrinter::PixelsToLengthX(int pixels) const
{
    const double inches = double(pixels) / std::max(1, target_->DpiX());
    return unit_ == muMillimeters ? inches * 25.4 : inches;
}

double TRichPrinter::PixelsToLengthY(int pixels) const
{
    const double inches = double(pixels) / std::max(1, target_->DpiY());
    return unit_ == muMillimeters ? inches * 25.4 : inches;
}

double TRichPrinter::GutterLeft() const { return PixelsToLengthX(target_->PrintablePixels().x()); }
double TRichPrinter::GutterTop() const { return PixelsToLengthY(target_->PrintablePixels().y()); }
double TRichPrinter::PaperWidth() const { return PixelsToLengthX(target_->PaperPixels().width()); }
double TRichPrinter::PaperLength() const { return PixelsToLengthY(target_->PaperPixels().height()); }

double TRichPrinter::GutterRight() const
{
    return PaperWidth() - PixelsToLengthX(target_->PrintablePixels().width()) - GutterLeft();
}

double TRichPrinter::GutterBottom() const
{
    return PaperLength() - PixelsToLengthY(target_->PrintablePixels().height()) - GutterTop();
}

void TRichPrinter::checkNotPrinting(const char* what) const
{
    if (printing_ || target_->Printing())
        throw ELinePrinter(QStringLiteral("Unable to change %1 while printing").arg(QLatin1String(what)));
}

void TRichPrinter::clampMargins(double m[4]) const
{
    const double gl = GutterLeft(), gr = GutterRight(), gt = GutterTop(), gb = GutterBottom();
    const double pw = PaperWidth(), pl = PaperLength();
    auto clamp = [](double v, double lo, double hi) { return std::max(lo, std::min(v, std::max(lo, hi))); };
    m[0] = clamp(m[0], gl, pw - gr);
    m[2] = clamp(m[2], gr, pw - gl);
    m[1] = clamp(m[1], gt, pl - gb);
    m[3] = clamp(m[3], gb, pl - gt);
}

bool TRichPrinter::marginsFit(const double m[4]) const
{
    const double least = leastTextLength(unit_) - 1e-9;
    return PaperWidth() - m[0] - m[2] >= least && PaperLength() - m[1] - m[3] >= least;
}

void TRichPrinter::writeMargin(int index) const
{
    WriteProgramIniInteger(PageSection, MarginKeys[index], roundTenths(margins_[index]));
}

bool TRichPrinter::SetMargins(double left, double top, double right, double bottom)
{
    checkNotPrinting("margins");
    double m[4] = {left, top, right, bottom};
    clampMargins(m);
    if (!marginsFit(m)) {
        ShowMessageNr(QString(), 1);
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        margins_[i] = m[i];
        writeMargin(i);
    }
    return true;
}

namespace {
const char* const MarginNames[4] = {"left margin", "top margin", "right margin", "bottom margin"};
}

#define RICH_MARGIN_SETTER(Name, index)                  \
    bool TRichPrinter::Set##Name(double v)               \
    {                                                    \
        checkNotPrinting(MarginNames[index]);            \
        double m[4] = {margins_[0], margins_[1], margins_[2], margins_[3]}; \
        m[index] = v;                                    \
        double c[4] = {m[0], m[1], m[2], m[3]};          \
        clampMargins(c);                                 \
        m[index] = c[index];                             \
        if (!marginsFit(m)) {                            \
            ShowMessageNr(QString(), 1);                 \
            return false;                                \
        }                                                \
        margins_[index] = m[index];                      \
        writeMargin(index);                              \
        return true;                                     \
    }
RICH_MARGIN_SETTER(MarginLeft, 0)
RICH_MARGIN_SETTER(MarginTop, 1)
RICH_MARGIN_SETTER(MarginRight, 2)
RICH_MARGIN_SETTER(MarginBottom, 3)
#undef RICH_MARGIN_SETTER

void TRichPrinter::SetMeasureUnit(TMeasureUnit unit)
{
    if (unit == unit_)
        return;
    const double factor = unit == muMillimeters ? 25.4 : 1.0 / 25.4;
    double m[4];
    for (int i = 0; i < 4; ++i)
        m[i] = margins_[i] * factor;
    BorderOffset *= factor;
    DefaultSectionWidth *= factor;
    unit_ = unit;
    // Same lengths in the new unit: they fit as before, so only clamped again.
    clampMargins(m);
    for (int i = 0; i < 4; ++i) {
        margins_[i] = m[i];
        writeMargin(i);
    }
    WriteProgramIniInteger(PageSection, UnitKey, unit_ == muMillimeters ? 1 : 0);
}

void TRichPrinter::SetOrientation(TPrinterOrientation orientation)
{
    checkNotPrinting("orientation");
    if (!target_->Available() || !target_->SetLandscape(orientation == poLandscape))
        platform::ShowMessageBox(QStringLiteral("You must have at least one printer installed to set the "
                                                "Orientation property for TRichPrinter."),
                                 QString(), platform::mb::Ok | platform::mb::IconExclamation);
    orientation_ = target_->Landscape() ? poLandscape : poPortrait;
    WriteProgramIniInteger(PageSection, OrientationKey, orientation_ == poPortrait ? 1 : 0);
}

void TRichPrinter::SetTitle(const QString& title)
{
    checkNotPrinting("title");
    if (!target_->Available())
        platform::ShowMessageBox(QStringLiteral("You must have at least one printer installed to set the "
                                                "Title property for TRichPrinter."),
                                 QString(), platform::mb::Ok | platform::mb::IconExclamation);
    title_ = title;
}

void TRichPrinter::LoadSettings()
{
    // The unit first, taken as it is: the stored margins are in it already.
    unit_ = ReadProgramIniInteger(PageSection, UnitKey, 1) == 1 ? muMillimeters : muInches;
    const bool landscape = ReadProgramIniInteger(PageSection, OrientationKey, 1) != 1;
    target_->SetLandscape(landscape);
    orientation_ = target_->Landscape() ? poLandscape : poPortrait;
    double m[4];
    for (int i : {0, 1, 3, 2})
        m[i] = ReadProgramIniInteger(PageSection, MarginKeys[i], roundTenths(margins_[i])) / 10.0;
    clampMargins(m);
    // Stored values that leave no room for text are passed over quietly.
    if (marginsFit(m))
        std::copy(m, m + 4, margins_);
}

void TRichPrinter::SaveSettings()
{
    for (int i = 0; i < 4; ++i)
        writeMargin(i);
    WriteProgramIniInteger(PageSection, UnitKey, unit_ == muMillimeters ? 1 : 0);
    WriteProgramIniInteger(PageSection, OrientationKey, orientation_ == poPortrait ? 1 : 0);
}

TRichPrinter::PageGeometry TRichPrinter::geometry(QPainter*) const
{
    PageGeometry g;
    g.dpiX = std::max(1, target_->DpiX());
    g.dpiY = std::max(1, target_->DpiY());
    g.printable = target_->PrintablePixels();
    g.font = Font_HeaderFooter;
    const double points = Font_HeaderFooter.pointSizeF() > 0 ? Font_HeaderFooter.pointSizeF() : 10.0;
    g.font.setPixelSize(std::max(1, int(std::lround(points * g.dpiY / 72.0))));
    const QFontMetrics fm(g.font);
    g.lineHeight = fm.height() + fm.leading();
    g.ascent = fm.ascent();
    g.left = LengthToPixelsX(margins_[0] - GutterLeft());
    g.right = LengthToPixelsX(margins_[2] - GutterRight());
    g.top = LengthToPixelsY(margins_[1] - GutterTop());
    g.bottom = std::max(LengthToPixelsY(margins_[3] - GutterBottom()), g.lineHeight);
    g.textW = std::max(1, g.printable.width() - g.left - g.right);
    g.textH = std::max(1, g.printable.height() - g.top - g.bottom);
    return g;
}

QRect TRichPrinter::TextRect() const
{
    const PageGeometry g = geometry(nullptr);
    return QRect(g.left, g.top, g.textW, g.textH);
}

namespace {

// A copy of the document laid out for pages of the text rectangle.
std::unique_ptr<QTextDocument> paginated(const QTextDocument& doc, double pageW, double pageH)
{
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->documentLayout()->setPaintDevice(const_cast<QImage*>(&layoutDevice()));
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setMargin(0);
    root.setPadding(0);
    root.setBorder(0);
    copy->rootFrame()->setFrameFormat(root);
    copy->setDocumentMargin(0);
    copy->setPageSize(QSizeF(pageW, pageH));
    return copy;
}

// The text layout measures positions in 1/64 pixel in 32 bits: a document
// taller than this many pixels wraps around, and its page count with it.
constexpr double MaxLayoutHeight = 32'000'000.0;

} // namespace

int CheckedPageCount(const QTextDocument& paginatedDoc)
{
    const double height = paginatedDoc.documentLayout()->documentSize().height();
    const int count = paginatedDoc.pageCount();
    // A height that wrapped shows as negative (or beyond the limit): its pages
    // cannot be found, and printing one empty page is no printout.
    if (!(height >= 0.0) || height > MaxLayoutHeight || (count <= 0 && height > 0.0))
        throw ELinePrinter(QStringLiteral("Das Dokument ist zu lang, um es in Seiten aufzuteilen."));
    return std::max(1, count);
}

int TRichPrinter::PageCount(const QTextDocument& doc) const
{
    const PageGeometry g = geometry(nullptr);
    const auto copy = paginated(doc, g.textW * double(LayoutDpi) / g.dpiX, g.textH * double(LayoutDpi) / g.dpiY);
    return CheckedPageCount(*copy);
}

TMacroValues TRichPrinter::macroValues(int pageNumber) const
{
    TMacroValues v;
    v.Line = lineCounter_;
    v.Page = pageNumber;
    platform::DateTimeValue now;
    if (Now) {
        now = Now();
    } else {
        const QDateTime t = QDateTime::currentDateTime();
        now = platform::ComposeDateTime(
            platform::EncodeDate(t.date().year(), t.date().month(), t.date().day()),
            platform::EncodeTime(t.time().hour(), t.time().minute(), t.time().second()));
    }
    v.Date = platform::LocaleFormats::Current().FormatDate(now);
    v.Time = platform::LocaleFormats::Current().FormatTime(now);
    v.Title = title_;
    return v;
}

namespace {

TRichPrintProgressFactory& progressFactory()
{
    static TRichPrintProgressFactory factory;
    return factory;
}

} // namespace

TRichPrintProgressFactory SetRichPrintProgressFactory(TRichPrintProgressFactory factory)
{
    TRichPrintProgressFactory previous = std::move(progressFactory());
    progressFactory() = std::move(factory);
    return previous;
}

void TRichPrinter::reportProgress(const QString& text)
{
    if (!ShowProgress || !(printing_ || previewing_)) {
        progress_.reset();
        return;
    }
    if (!progress_ && progressFactory())
        progress_ = progressFactory()();
    if (progress_)
        progress_->Report(text, title_, pageNumber_);
}

void TRichPrinter::decoratePage(QPainter* painter, const PageGeometry& g, int pageNumber)
{
    pageNumber_ = pageNumber;
    reportProgress(QStringLiteral("Currently Printing"));
    painter->save();
    painter->setFont(g.font);
    painter->setPen(Qt::black);
    const QFontMetrics fm(g.font);
    auto measure = [&fm](const QString& s) { return fm.horizontalAdvance(s); };
    auto toPixels = [this](double w) { return LengthToPixelsX(w > 0 ? w : DefaultSectionWidth); };
    auto drawLine = [&](const QString& text, const QString& format, int y) {
        const TMacroValues values = macroValues(pageNumber);
        for (const TPlacedSection& s : LayoutHeaderLine(text, format, g.left, g.dpiX, values, toPixels, measure))
            if (!s.Text.isEmpty())
                painter->drawText(QPoint(s.X, y + g.ascent), s.Text);
    };
    if (!Header.isEmpty()) {
        const int y = (g.top - g.lineHeight) / 2;
        drawLine(Header, HeaderFormat, y);
        if (!BitmapLogo.isNull() && PaperWidth() > 0 && PaperLength() > 0) {
            const int x0 = g.left;
            const int y0 = (g.top - g.lineHeight) / 2 + g.lineHeight;
            const int top = y0 + int(LogoTop / PaperLength() * g.textH);
            const int left = x0 + int(LogoLeft / PaperWidth() * g.textW);
            const int right = left + int(LogoWidth / PaperWidth() * g.textW);
            const int bottom = top + int(LogoHeight / PaperLength() * g.textH);
            const QRect r(QPoint(left, top), QPoint(right - 1, bottom - 1));
            QPen dotted(Qt::black);
            dotted.setStyle(Qt::DotLine);
            painter->setPen(dotted);
            painter->drawRect(r);
            painter->drawImage(r, BitmapLogo);
            painter->setPen(Qt::black);
        }
    }
    if (!Footer.isEmpty()) {
        const int y = g.top + g.textH + (g.bottom - g.lineHeight) / 2;
        drawLine(Footer, FooterFormat, y);
    }
    lineCounter_ = 0;
    if (PageBorders != 0) {
        const int ox = LengthToPixelsX(BorderOffset);
        const int oy = LengthToPixelsY(BorderOffset);
        QPen hPen(Qt::black, (g.dpiY / 600) * 2);
        QPen vPen(Qt::black, (g.dpiX / 600) * 2);
        const int l = g.left - ox, r = g.left + g.textW + ox;
        const int t = g.top - oy, b = g.top + g.textH + oy;
        painter->setPen(hPen);
        if (PageBorders & pbTop)
            painter->drawLine(l, t, r, t);
        if (PageBorders & pbBottom)
            painter->drawLine(l, b, r, b);
        painter->setPen(vPen);
        if (PageBorders & pbLeft)
            painter->drawLine(l, t, l, b);
        if (PageBorders & pbRight)
            painter->drawLine(r, t, r, b);
    }
    painter->restore();
    if (OnNewPage)
        OnNewPage();
}

void TRichPrinter::renderPages(QPainter* painter, const QTextDocument& doc, int firstPageNumber, int fromPage,
                               int toPage, const std::function<QPainter*(bool)>& nextPage)
{
    const PageGeometry g = geometry(painter);
    const double sx = double(g.dpiX) / LayoutDpi;
    const double sy = double(g.dpiY) / LayoutDpi;
    const double pageW = g.textW / sx;
    const double pageH = g.textH / sy;
    const auto copy = paginated(doc, pageW, pageH);
    const int count = CheckedPageCount(*copy);
    const int from = std::max(1, fromPage);
    const int to = toPage <= 0 ? count : std::min(toPage, count);
    lineCounter_ = 0;
    bool first = true;
    for (int page = from; page <= to; ++page) {
        if (!first)
            painter = nextPage(false);
        first = false;
        decoratePage(painter, g, firstPageNumber + page - 1);
        painter->save();
        painter->translate(g.left, g.top);
        painter->scale(sx, sy);
        const QRectF clip(0, (page - 1) * pageH, pageW, pageH);
        painter->translate(0, -clip.top());
        painter->setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = clip;
        ctx.palette.setColor(QPalette::Text, Qt::black);
        copy->documentLayout()->draw(painter, ctx);
        painter->restore();
    }
}

void TRichPrinter::Print(const QTextDocument& doc, int firstPageNumber, int fromPage, int toPage, int copies)
{
    const int count = PageCount(doc);
    const int from = std::max(1, fromPage);
    const int to = toPage <= 0 ? count : std::min(toPage, count);
    if (from > to)
        return;   // nothing of the document lies in the range
    if (!target_->Available())
        throw ELinePrinter(QStringLiteral("Not be able to start the printing."));
    // One printout at a time in the program; the main window waits for it.
    platform::TPrintJobGuard job;
    if (!job.Acquired()) {
        platform::Beep();
        return;
    }
    if (OnBeginDoc)
        OnBeginDoc();
    QPainter* painter = target_->Begin(title_);
    if (!painter && target_->BeginCancelled())
        return;
    if (!painter)
        throw ELinePrinter(QStringLiteral("Not be able to start the printing."));
    printing_ = true;
    pageNumber_ = firstPageNumber + from - 1;
    try {
        reportProgress(QStringLiteral("Preparing to Print"));
        auto nextPage = [this, painter](bool) {
            if (!target_->NewPage())
                throw ELinePrinter(QStringLiteral("Not be able to print a new page."));
            return painter;
        };
        for (int copy = 0; copy < std::max(1, copies); ++copy) {
            if (copy > 0)
                nextPage(false);
            renderPages(painter, doc, firstPageNumber, from, to, nextPage);
        }
        reportProgress(QStringLiteral("Finished Printing"));
    } catch (...) {
        printing_ = false;
        target_->End();
        reportProgress(QString());
        throw;
    }
    printing_ = false;
    const bool ended = target_->End();
    // The report after the job closes the box.
    reportProgress(QString());
    if (!ended)
        throw ELinePrinter(QStringLiteral("Not be able to end the printing."));
    if (OnEndDoc)
        OnEndDoc();
}

TRichPreviewPages TRichPrinter::Preview(const QTextDocument& doc)
{
    TRichPreviewPages out;
    out.PaperPixels = target_->PaperPixels();
    out.Landscape = target_->Landscape();
    const QPoint origin = target_->PrintablePixels().topLeft();
    if (OnBeginDoc)
        OnBeginDoc();
    QPicture current;
    std::unique_ptr<QPainter> painter;
    auto start = [&]() {
        current = QPicture();
        painter = std::make_unique<QPainter>(&current);
        painter->fillRect(QRect(QPoint(0, 0), out.PaperPixels), Qt::white);
        painter->translate(origin);
        return painter.get();
    };
    auto finish = [&]() {
        painter->end();
        painter.reset();
        current.setBoundingRect(QRect(QPoint(0, 0), out.PaperPixels));
        out.Pages.push_back(current);
    };
    // The preview job ends (and its progress box goes) however it ends.
    struct TPreviewJob {
        TRichPrinter& printer;
        explicit TPreviewJob(TRichPrinter& p) : printer(p) { printer.previewing_ = true; }
        ~TPreviewJob()
        {
            printer.previewing_ = false;
            printer.reportProgress(QString());
        }
    } job(*this);
    pageNumber_ = 1;
    reportProgress(QStringLiteral("Preparing to Print Preview"));
    start();
    renderPages(painter.get(), doc, 1, 0, 0, [&](bool) {
        finish();
        return start();
    });
    finish();
    reportProgress(QStringLiteral("Finished Preparing Preview"));
    previewing_ = false;
    reportProgress(QString());
    if (OnEndDoc)
        OnEndDoc();
    return out;
}

bool TRichPrinter::PageSetup()
{
    platform::TPageSetupRequest request;
    request.Millimeters = unit_ == muMillimeters;
    const double scale = request.Millimeters ? 100.0 : 1000.0;
    request.MarginLeft = int(margins_[0] * scale);
    request.MarginTop = int(margins_[1] * scale);
    request.MarginRight = int(margins_[2] * scale);
    request.MarginBottom = int(margins_[3] * scale);
    request.Orientation = orientation_;
    request.DisableMargins = (Options_Dialog & poDisableMargins) && !(Options_Dialog & poMargins);
    request.DisableOrientation = (Options_Dialog & poDisableOrientation) != 0;
    request.DisablePaper = (Options_Dialog & poDisablePaper) != 0;
    request.DisablePrinter = (Options_Dialog & poDisablePrinter) != 0;
    const platform::TPageSetupAnswer answer = platform::ShowPageSetupDialog(request);
    if (!answer.Accepted)
        return false;
    // Orientation first: it decides the paper the margins are checked on.
    if (!request.DisableOrientation)
        SetOrientation(answer.Orientation == 1 ? poLandscape : poPortrait);
    if (!request.DisableMargins)
        SetMargins(answer.MarginLeft / scale, answer.MarginTop / scale, answer.MarginRight / scale,
                   answer.MarginBottom / scale);
    SaveSettings();
    return true;
}

} // namespace reports
