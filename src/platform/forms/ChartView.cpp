#include "platform/forms/ChartView.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPicture>
#include <algorithm>
#include <cmath>

namespace platform {

QFont ScreenPixelFont(const QFont& font)
{
    QFont f = font;
    if (font.pixelSize() <= 0) {
        const double pt = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
        f.setPixelSize(std::max(1, int(std::lround(pt * 96.0 / 72.0))));
    }
    return f;
}

namespace {

// Ticks of the row axis: every step-th row, labelled with the row's label;
// the step keeps the labels apart by their separation.
class TLabelTicker : public QCPAxisTicker {
public:
    const chart::TChartModel* Model = nullptr;
    double Step = 1;

protected:
    double getTickStep(const QCPRange&) override { return Step; }
    int getSubTickCount(double step) override
    {
        const int s = int(std::lround(step));
        return s <= 1 ? 0 : std::min(s - 1, 4);
    }
    QVector<double> createTickVector(double step, const QCPRange& range) override
    {
        QVector<double> ticks;
        const int n = Model ? int(Model->Labels.size()) : 0;
        if (n == 0 || step <= 0)
            return ticks;
        const double lo = std::max(range.lower, 0.0);
        const double hi = std::min(range.upper, double(n - 1));
        // Never more ticks than a plot can show, whatever the step says.
        step = std::max(step, std::ceil((hi - lo) / 2000.0));
        for (double k = std::ceil(lo / step) * step; k <= hi + 1e-9; k += step)
            ticks << k;
        return ticks;
    }
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale&, QChar, int) override
    {
        QVector<QString> labels;
        labels.reserve(ticks.size());
        for (double t : ticks) {
            const long i = std::lround(t);
            QString text = Model && i >= 0 && i < Model->Labels.size() ? Model->Labels[int(i)] : QString();
            text.replace(QChar(13), QChar(10));
            labels << text;
        }
        return labels;
    }
};

enum class TPart { Back, Main, Front };

} // namespace

// Our painters on one of QCustomPlot's layers.
class TChartLayer : public QCPLayerable {
public:
    TChartLayer(TChartPlot* plot, const QString& layer, TPart part)
        : QCPLayerable(plot, layer), plot_(plot), part_(part)
    {
    }

protected:
    void applyDefaultAntialiasingHint(QCPPainter*) const override {}
    QRect clipRect() const override { return mParentPlot->viewport(); }
    void draw(QCPPainter* painter) override;

private:
    TChartPlot* plot_;
    TPart part_;
};

void TChartLayer::draw(QCPPainter* painter)
{
    const chart::TChartModel* model = plot_->model_;
    if (!model)
        return;
    const chart::TChartFrame frame = plot_->Frame();
    const QRect plotRect = plot_->axisRect()->rect();
    painter->save();
    switch (part_) {
    case TPart::Back:
        if (!model->IsPie()) {
            chart::TTicks ticks;
            QCPAxis* key = plot_->PhysicalAxis(model->KeyAxis());
            QCPAxis* value = plot_->PhysicalAxis(model->ValueAxis());
            for (double t : key->tickVector())
                ticks.Key.push_back(t);
            for (double t : value->tickVector())
                ticks.Value.push_back(t);
            chart::PaintWalls(*painter, frame, *model, ticks);
            chart::PaintPlotFrame(*painter, frame, *model);
        }
        break;
    case TPart::Main:
        if (model->IsPie())
            chart::PaintPie(*painter, chart::PieRect(QRectF(plotRect), *model), *model,
                            ScreenPixelFont(model->Left.LabelsFont));
        else
            chart::PaintSeries(*painter, frame, *model);
        break;
    case TPart::Front: {
        if (!model->IsPie()) {
            chart::PaintMarkers(*painter, frame, *model);
            chart::PaintMarks(*painter, frame, *model, ScreenPixelFont(model->Left.LabelsFont));
        }
        painter->setRenderHint(QPainter::Antialiasing, false);
        if (!plot_->legendRect_.isEmpty()) {
            const QFont font = ScreenPixelFont(model->LegendFont);
            const QFontMetricsF fm(font);
            painter->setFont(font);
            painter->setPen(QPen(model->StandardColour, 1));
            painter->setBrush(model->BackColour);
            painter->drawRect(plot_->legendRect_);
            const QStringList texts = plot_->LegendTexts();
            const std::vector<QColor> colours = plot_->LegendColours();
            const double line = fm.height() + 2;
            const double box = std::max(4.0, fm.height() - 4);
            for (int i = 0; i < texts.size(); ++i) {
                const double y = plot_->legendRect_.top() + 3 + i * line;
                const QRectF swatch(plot_->legendRect_.left() + 4, y + (line - box) / 2, box, box);
                painter->setPen(QPen(Qt::black, 1));
                painter->setBrush(colours[std::size_t(i)]);
                painter->drawRect(swatch);
                painter->setPen(model->StandardColour);
                painter->drawText(QRectF(swatch.right() + 4, y, plot_->legendRect_.right() - swatch.right() - 6, line),
                                  Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
            }
        }
        if (!plot_->titleRect_.isEmpty()) {
            const QFont font = ScreenPixelFont(model->TitleFont);
            const QFontMetricsF fm(font);
            const QRectF& area = plot_->titleRect_;
            painter->setPen(model->StandardColour);
            // Line by line: a line wider than the chart is drawn in a font
            // small enough to fit, so nothing is cut off at either side.
            double y = area.top();
            for (const QString& line : model->TitleLines) {
                QFont lineFont = font;
                const double width = fm.horizontalAdvance(line);
                if (width > area.width() && area.width() > 0) {
                    double pixels = std::max(1.0, std::floor(font.pixelSize() * area.width() / width));
                    lineFont.setPixelSize(int(pixels));
                    while (pixels > 1 && QFontMetricsF(lineFont).horizontalAdvance(line) > area.width()) {
                        pixels -= 1;
                        lineFont.setPixelSize(int(pixels));
                    }
                }
                painter->setFont(lineFont);
                painter->drawText(QRectF(area.left(), y, area.width(), fm.lineSpacing()),
                                  Qt::AlignHCenter | Qt::AlignBottom, line);
                y += fm.lineSpacing();
            }
        }
        break;
    }
    }
    painter->restore();
}

TChartPlot::TChartPlot(QWidget* parent) : QCustomPlot(parent)
{
    setAutoAddPlottableToLegend(false);
    legend->setVisible(false);
    setInteractions(QCP::Interactions());
    setNoAntialiasingOnDrag(false);
    xAxis2->setVisible(false);
    yAxis2->setVisible(false);
    axisRect()->setAutoMargins(QCP::msAll);
    keyTicker_ = QSharedPointer<QCPAxisTicker>(new TLabelTicker);
    valueTicker_ = QSharedPointer<QCPAxisTicker>(new QCPAxisTicker);
    rightTicker_ = QSharedPointer<QCPAxisTicker>(new QCPAxisTicker);
    back_ = new TChartLayer(this, QStringLiteral("grid"), TPart::Back);
    main_ = new TChartLayer(this, QStringLiteral("main"), TPart::Main);
    front_ = new TChartLayer(this, QStringLiteral("legend"), TPart::Front);
    for (QCPAxis* a : {xAxis, yAxis, xAxis2, yAxis2})
        a->grid()->setVisible(false);
}

TChartPlot::~TChartPlot() = default;

void TChartPlot::SetModel(chart::TChartModel* model)
{
    model_ = model;
    static_cast<TLabelTicker*>(keyTicker_.data())->Model = model;
}

QCPAxis* TChartPlot::PhysicalAxis(chart::TAxisId id) const
{
    switch (id) {
    case chart::TAxisId::Left: return yAxis;
    case chart::TAxisId::Right: return yAxis2;
    case chart::TAxisId::Bottom: break;
    }
    return xAxis;
}

void TChartPlot::Rebuild(TRedraw redraw)
{
    for (QCPGraph* g : graphs_)
        removePlottable(g);
    graphs_.clear();
    if (model_ && model_->Kind == chart::TKind::Line && !model_->View3D) {
        for (const chart::TSeries& s : model_->Series) {
            QCPGraph* g = addGraph(xAxis, yAxis);
            QVector<QCPGraphData> data(s.Count());
            for (int i = 0; i < s.Count(); ++i)
                data[i] = QCPGraphData(i, s.Values[std::size_t(i)]);
            g->data()->set(data, true);
            QPen pen(s.Colour, std::clamp(s.LineWidth, 1, 3), s.PenStyle);
            pen.setCapStyle(Qt::FlatCap);
            g->setPen(pen);
            g->setLineStyle(!s.LineVisible ? QCPGraph::lsNone : model_->Stairs ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
            g->setAdaptiveSampling(true);
            g->setAntialiased(false);
            graphs_.push_back(g);
        }
    }
    Refresh(redraw);
}

void TChartPlot::ApplyAxes()
{
    if (!model_)
        return;
    const chart::TChartModel& m = *model_;
    setBackground(QBrush(m.BackColour));
    axisRect()->setBackground(Qt::NoBrush);
    const bool pie = m.IsPie();
    QCPAxis* key = PhysicalAxis(m.KeyAxis());
    QCPAxis* value = PhysicalAxis(m.ValueAxis());
    key->setTicker(keyTicker_);
    value->setTicker(valueTicker_);
    yAxis2->setTicker(rightTicker_);
    for (chart::TAxisId id : {chart::TAxisId::Left, chart::TAxisId::Right, chart::TAxisId::Bottom}) {
        QCPAxis* a = PhysicalAxis(id);
        const chart::TAxis& ax = m.Axis(id);
        const chart::TRange r = m.ViewRange(id);
        a->setRange(r.Lo, r.Hi);
        const QPen pen(ax.Colour, 1);
        a->setBasePen(pen);
        a->setTickPen(pen);
        a->setSubTickPen(pen);
        a->setTickLabelColor(ax.Colour);
        a->setLabelColor(ax.Colour);
        a->setTickLabelFont(ScreenPixelFont(ax.LabelsFont));
        a->setLabelFont(ScreenPixelFont(ax.TitleFont));
        a->setSubTicks(ax.MinorTicks);
        a->setTickLabelRotation(0);
    }
    value->setLabel(m.Left.Title);
    key->setLabel(QString());
    yAxis2->setLabel(QString());
    key->setVisible(!pie && m.AxesVisible && m.Bottom.Visible);
    value->setVisible(!pie && m.AxesVisible);
    yAxis2->setVisible(!pie && m.AxesVisible && m.Right.Visible);
    if (key == xAxis) {
        const int angle = m.Bottom.LabelsAngle;
        xAxis->setTickLabelRotation(angle == 90 ? -90 : angle == 270 ? 90 : 0);
    }
}

void TChartPlot::Refresh(TRedraw redraw)
{
    ApplyAxes();
    if (redraw != TRedraw::None)
        replot(redraw == TRedraw::Immediate ? QCustomPlot::rpImmediateRefresh : QCustomPlot::rpQueuedReplot);
}

void TChartPlot::ApplyKeyStep()
{
    auto* ticker = static_cast<TLabelTicker*>(keyTicker_.data());
    ticker->Step = 1;
    if (!model_ || model_->Labels.isEmpty())
        return;
    const chart::TChartModel& m = *model_;
    QCPAxis* key = PhysicalAxis(m.KeyAxis());
    double extent = key == xAxis ? axisRect()->width() : axisRect()->height();
    // Before the first layout the plot has no size yet: the viewport stands in,
    // so that no pass measures a label for every row.
    const double whole = key == xAxis ? viewport().width() : viewport().height();
    if (extent < 50)
        extent = std::max(extent, whole * 0.8);
    const chart::TRange r = m.ViewRange(m.KeyAxis());
    if (extent <= 0 || r.Size() <= 0)
        return;
    const double ppk = extent / r.Size();
    const QFontMetricsF fm(ScreenPixelFont(m.Axis(m.KeyAxis()).LabelsFont));
    // The widest (or, turned or along a vertical axis, the highest) of up to
    // 64 labels spread over the rows shown.
    const int n = int(m.Labels.size());
    const int lo = std::clamp(int(std::floor(r.Lo)), 0, n - 1);
    const int hi = std::clamp(int(std::ceil(r.Hi)), 0, n - 1);
    const bool across = key == xAxis && m.Bottom.LabelsAngle == 0;
    double size = 0;
    const int samples = std::min(64, hi - lo + 1);
    for (int j = 0; j < samples; ++j) {
        const int i = lo + int((long(hi - lo) * j) / std::max(1, samples - 1));
        const QString& text = m.Labels[i];
        if (across) {
            for (const QString& part : text.split(QChar(13)))
                size = std::max(size, fm.horizontalAdvance(part));
        } else {
            size = std::max(size, fm.height() * (text.count(QChar(13)) + 1));
        }
    }
    if (!across && key == xAxis)
        size = std::max(size, fm.height());
    const double sep = std::max(1, m.Bottom.LabelsSeparation);
    const double need = size * (1 + sep / 100.0) + 2;
    ticker->Step = std::max(1.0, std::ceil(need / ppk));
}

double TChartPlot::TitleHeight() const
{
    if (!model_ || !model_->TitleVisible || model_->TitleLines.isEmpty())
        return 0;
    const QFontMetricsF fm(ScreenPixelFont(model_->TitleFont));
    return fm.lineSpacing() * model_->TitleLines.size() + 4;
}

QStringList TChartPlot::LegendTexts() const
{
    QStringList out;
    if (!model_)
        return out;
    if (model_->IsPie()) {
        for (const chart::TPieSlice& s : model_->Slices)
            out << QString(s.Label).replace(QChar(13), QLatin1Char(' '));
    } else {
        for (const chart::TSeries& s : model_->Series)
            out << s.Title;
    }
    return out;
}

std::vector<QColor> TChartPlot::LegendColours() const
{
    std::vector<QColor> out;
    if (!model_)
        return out;
    if (model_->IsPie())
        for (const chart::TPieSlice& s : model_->Slices)
            out.push_back(s.Colour);
    else
        for (const chart::TSeries& s : model_->Series)
            out.push_back(s.Colour);
    return out;
}

QSizeF TChartPlot::LegendSize() const
{
    if (!model_ || !model_->LegendVisible)
        return {};
    const QStringList texts = LegendTexts();
    if (texts.isEmpty())
        return {};
    const QFontMetricsF fm(ScreenPixelFont(model_->LegendFont));
    double w = 0;
    for (const QString& t : texts)
        w = std::max(w, fm.horizontalAdvance(t));
    const double box = std::max(4.0, fm.height() - 4);
    return {w + box + 14, texts.size() * (fm.height() + 2) + 6};
}

void TChartPlot::LayoutFor(const QSize& size)
{
    setViewport(QRect(QPoint(0, 0), size));
    updateLayout();
}

void TChartPlot::updateLayout()
{
    titleRect_ = legendRect_ = QRectF();
    if (!model_) {
        QCustomPlot::updateLayout();
        return;
    }
    ApplyAxes();
    const chart::TChartModel& m = *model_;
    const QRect vp = viewport();
    const int mL = int(std::lround(vp.width() * m.MarginLeft / 100.0));
    const int mR = int(std::lround(vp.width() * m.MarginRight / 100.0));
    const int mT = int(std::lround(vp.height() * m.MarginTop / 100.0));
    const int mB = int(std::lround(vp.height() * m.MarginBottom / 100.0));
    const double titleH = TitleHeight();
    const QSizeF legend = LegendSize();
    const int legendW = legend.isEmpty() ? 0 : int(std::ceil(legend.width())) + 8;
    plotLayout()->setMargins(QMargins(mL, mT + int(std::ceil(titleH)), mR + legendW, mB));
    const int depth = m.View3D && !m.IsPie() ? int(chart::DepthPixels(QRectF(vp), m.Depth3DPercent)) : 0;
    axisRect()->setMinimumMargins(QMargins(8, 8 + depth, 8 + depth, 8));
    // Twice: the row step needs the plot's width, which needs the labels.
    ApplyKeyStep();
    QCustomPlot::updateLayout();
    ApplyKeyStep();
    QCustomPlot::updateLayout();
    if (titleH > 0)
        titleRect_ = QRectF(vp.left() + mL, vp.top() + mT, vp.width() - mL - mR, titleH);
    if (!legend.isEmpty()) {
        const QRect plot = axisRect()->rect();
        double top = plot.center().y() - legend.height() / 2;
        top = std::max(double(vp.top() + mT + titleH), top);
        legendRect_ = QRectF(vp.right() - mR - legend.width(), top, legend.width(), legend.height());
    }
}

chart::TChartFrame TChartPlot::Frame() const
{
    chart::TChartFrame f;
    const QRect r = axisRect()->rect();
    f.Plot = QRectF(r.left(), r.top() - 1, r.width(), r.height());
    if (!model_)
        return f;
    const chart::TChartModel& m = *model_;
    f.Horizontal = m.Horizontal();
    const QCPRange key = PhysicalAxis(m.KeyAxis())->range();
    const QCPRange value = PhysicalAxis(m.ValueAxis())->range();
    f.Key = {key.lower, key.upper};
    f.Value = {value.lower, value.upper};
    if (m.View3D && !m.IsPie()) {
        const double d = chart::DepthPixels(QRectF(viewport()), m.Depth3DPercent);
        f.DepthX = f.DepthY = d;
    }
    f.ZRows = m.ZRows();
    return f;
}

chart::TChartGeometry TChartPlot::Geometry() const
{
    chart::TChartGeometry g;
    g.Frame = Frame();
    g.Viewport = QRectF(viewport());
    g.Title = titleRect_;
    g.Legend = legendRect_;
    const QRectF outer(axisRect()->outerRect());
    const QRectF plot = g.Frame.Plot;
    if (model_ && !model_->IsPie()) {
        if (yAxis->visible())
            g.LeftAxis = QRectF(outer.left(), plot.top(), plot.left() - outer.left(), plot.height());
        if (yAxis2->visible()) {
            const double right = plot.right() + g.Frame.DepthX;
            g.RightAxis = QRectF(right, plot.top(), outer.right() - right, plot.height());
        }
        if (xAxis->visible())
            g.BottomAxis = QRectF(plot.left(), plot.bottom() + 1, plot.width(), outer.bottom() - plot.bottom());
    }
    if (model_ && model_->IsPie())
        g.Pie = chart::PieRect(QRectF(axisRect()->rect()), *model_);
    return g;
}

chart::THit TChartPlot::HitTest(QPointF p) const
{
    if (!model_)
        return {};
    return chart::HitTest(*model_, Geometry(), p);
}

void TChartPlot::mousePressEvent(QMouseEvent* event)
{
    pressPos_ = event->pos();
    pressButton_ = event->button();
    dragged_ = false;
    if (model_) {
        panBottom_ = model_->ViewRange(chart::TAxisId::Bottom);
        panLeft_ = model_->ViewRange(chart::TAxisId::Left);
    }
    event->accept();
}

void TChartPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (pressButton_ == Qt::NoButton || !model_)
        return;
    const QPoint d = event->pos() - pressPos_;
    if (!dragged_ && d.manhattanLength() < 4)
        return;
    if (pressButton_ == Qt::LeftButton && ZoomEnabled) {
        dragged_ = true;
        if (!band_)
            band_ = new QRubberBand(QRubberBand::Rectangle, this);
        band_->setGeometry(QRect(pressPos_, event->pos()).normalized());
        band_->show();
    } else if (pressButton_ == Qt::RightButton && PanEnabled) {
        dragged_ = true;
        const QRect plot = axisRect()->rect();
        if (plot.width() <= 0 || plot.height() <= 0)
            return;
        const double db = -double(d.x()) / plot.width() * panBottom_.Size();
        const double dl = double(d.y()) / plot.height() * panLeft_.Size();
        model_->ZoomTo({panBottom_.Lo + db, panBottom_.Hi + db}, {panLeft_.Lo + dl, panLeft_.Hi + dl});
        Refresh(TRedraw::Queued);
        emit ViewChanged();
    }
}

void TChartPlot::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = pressButton_;
    pressButton_ = Qt::NoButton;
    if (band_)
        band_->hide();
    if (!model_)
        return;
    if (!dragged_) {
        emit ChartClicked(HitTest(event->position()), button);
        return;
    }
    if (button == Qt::LeftButton && ZoomEnabled) {
        const QPoint end = event->pos();
        if (end.x() > pressPos_.x() && end.y() > pressPos_.y()) {
            const QRect r = QRect(pressPos_, end).normalized();
            model_->ZoomTo({xAxis->pixelToCoord(r.left()), xAxis->pixelToCoord(r.right())},
                           {yAxis->pixelToCoord(r.bottom()), yAxis->pixelToCoord(r.top())});
        } else {
            model_->UndoZoom();
        }
        Refresh(TRedraw::Queued);
        emit ViewChanged();
    }
}

void TChartPlot::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

void RenderChart(const chart::TChartModel& model, QPainter& painter, const QRectF& target, double scale)
{
    if (target.isEmpty() || scale <= 0)
        return;
    const QSize logical(std::max(1, int(std::lround(target.width() / scale))),
                        std::max(1, int(std::lround(target.height() / scale))));
    TChartPlot plot;
    plot.setAttribute(Qt::WA_DontShowOnScreen);
    plot.SetModel(const_cast<chart::TChartModel*>(&model)); // drawn only, never changed
    plot.Rebuild(TChartPlot::TRedraw::None);
    plot.LayoutFor(logical);
    QPicture picture;
    {
        QCPPainter p;
        p.begin(&picture);
        // Vector devices get what QCustomPlot draws for PDF (exact pen widths);
        // images get its screen drawing, which is much faster there.
        const QPaintDevice* device = painter.device();
        const bool raster = device && (device->devType() == QInternal::Image || device->devType() == QInternal::Pixmap);
        if (!raster)
            p.setMode(QCPPainter::pmVectorized);
        p.setMode(QCPPainter::pmNoCaching);
        plot.toPainter(&p, logical.width(), logical.height());
        p.end();
    }
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    // A picture keeps its size in inches on every device: it is enlarged by
    // the device's resolution over its own. The scale asked for includes that.
    double fx = 1, fy = 1;
    if (const QPaintDevice* device = painter.device()) {
        if (picture.logicalDpiX() > 0 && device->logicalDpiX() > 0)
            fx = double(device->logicalDpiX()) / picture.logicalDpiX();
        if (picture.logicalDpiY() > 0 && device->logicalDpiY() > 0)
            fy = double(device->logicalDpiY()) / picture.logicalDpiY();
    }
    painter.scale(scale / fx, scale / fy);
    painter.drawPicture(QPointF(0, 0), picture);
    painter.restore();
}

} // namespace platform
