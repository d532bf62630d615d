#include "output/forms/ZT_Chart.h"
#include "output/forms/ChildWindow.h"

#include "base/ZT_Meld.h"
#include "output/GridSelection.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/Hooks.h"
#include "platform/Printer.h"
#include "platform/WindowsMetafile.h"

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QSvgGenerator>
#include <QVBoxLayout>

using namespace chart;

TZT_Chart* ZT_Chart = nullptr;

namespace {

// Glyphs of our own for the tool bar buttons, drawn on 16 x 16 pixels.
QIcon Glyph(int kind)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor a(0, 0, 160), b(0, 160, 0);
    p.setPen(Qt::NoPen);
    switch (kind) {
    case 0: // bars
        p.fillRect(2, 8, 3, 7, a);
        p.fillRect(6, 4, 3, 11, b);
        p.fillRect(10, 6, 3, 9, a);
        break;
    case 1: // horizontal bars
        p.fillRect(1, 2, 8, 3, a);
        p.fillRect(1, 6, 13, 3, b);
        p.fillRect(1, 10, 10, 3, a);
        break;
    case 2: // area
        p.setBrush(a);
        p.drawPolygon(QPolygon({QPoint(1, 15), QPoint(1, 9), QPoint(5, 5), QPoint(9, 8), QPoint(14, 2), QPoint(14, 15)}));
        break;
    case 3: // step area
        p.setBrush(a);
        p.drawPolygon(QPolygon({QPoint(1, 15), QPoint(1, 10), QPoint(5, 10), QPoint(5, 5), QPoint(10, 5), QPoint(10, 8),
                                QPoint(14, 8), QPoint(14, 15)}));
        break;
    case 4: // line
        p.setPen(QPen(a, 2));
        p.drawPolyline(QPolygon({QPoint(1, 12), QPoint(5, 5), QPoint(9, 10), QPoint(14, 3)}));
        break;
    case 5: // step line
        p.setPen(QPen(a, 2));
        p.drawPolyline(QPolygon({QPoint(1, 12), QPoint(5, 12), QPoint(5, 5), QPoint(10, 5), QPoint(10, 10), QPoint(14, 10)}));
        break;
    case 6: // pie
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(a);
        p.drawPie(QRectF(1, 1, 14, 14), 0, 220 * 16);
        p.setBrush(b);
        p.drawPie(QRectF(1, 1, 14, 14), 220 * 16, 140 * 16);
        break;
    case 7: // zoom in, zoom out, reset
    case 8:
    case 9: {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.drawLine(QPointF(9, 9), QPointF(14.5, 14.5));
        if (kind != 9)
            p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
        if (kind == 7)
            p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
        if (kind == 9)
            p.drawText(QRectF(1.5, 1.5, 9, 9), Qt::AlignCenter, QStringLiteral("1"));
        break;
    }
    case 10: // print
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
        break;
    case 11: // copy
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 8, 10);
        p.drawRect(6, 5, 8, 10);
        break;
    case 12: // preview
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 10, 14);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawEllipse(QRectF(6, 7, 6, 6));
        p.drawLine(QPointF(11, 12), QPointF(15, 15));
        break;
    case 13: // save
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0, 0, 160));
        p.drawRect(1, 1, 14, 14);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.drawRect(3, 9, 10, 6);
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pm);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& hint, int glyph, bool checkable = false)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(Glyph(glyph));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    return b;
}

QCheckBox* MakeSwitch(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(hint);
    return c;
}

// The pictures of the rotation image, one per rotation state: the letters
// "AB" across, turned up (90) or down (270).
QPixmap RotationPicture(int rotation, const QColor& back)
{
    const QSize size = rotation == 0 ? QSize(20, 8) : QSize(8, 20);
    QPixmap pm(size);
    pm.fill(back);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    // Two letter shapes of our own, drawn as strokes in a 20 x 8 box.
    auto letters = [&p] {
        p.drawPolyline(QPolygon({QPoint(1, 7), QPoint(4, 0), QPoint(7, 7)}));
        p.drawLine(2, 4, 6, 4);
        p.drawPolyline(QPolygon({QPoint(11, 7), QPoint(11, 0), QPoint(15, 0), QPoint(16, 1), QPoint(16, 2), QPoint(15, 3),
                                 QPoint(11, 3), QPoint(16, 4), QPoint(16, 6), QPoint(15, 7), QPoint(11, 7)}));
    };
    if (rotation == 1) {
        p.translate(0, 20);
        p.rotate(-90);
    } else if (rotation == 2) {
        p.translate(8, 0);
        p.rotate(90);
    }
    letters();
    p.end();
    return pm;
}

constexpr int DefaultDepthPercent = 20;

} // namespace

TZT_Chart::TZT_Chart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZT_Chart"));
    setWindowTitle(QStringLiteral("Windows - Diagrammausgabe"));
    CreateChildWindowParams(*this);
    ApplyChildWindowStyle(*this);
    // The whole width of the screen and its height less 28 pixels.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        resize(area.width(), std::max(200, area.height() - 28));
    }
    DefaultChartOptions(loaded_);
    builder_.LoadOptionCopies(loaded_);
    builder_.LabelLines = 0;
    builder_.LabelRotation = 0;
    builder_.LabelColumnUsed.fill(true);
    builder_.ClearPointLabels();
    model_.Bottom.MinorTicks = true;
    model_.Depth3DPercent = DefaultDepthPercent;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    BuildToolBar();
    layout->addWidget(Panel2);

    Diagramm = new platform::TChartPlot(this);
    Diagramm->setObjectName(QStringLiteral("Diagramm"));
    Diagramm->setToolTip(QStringLiteral("Ausschnitt ändern mit linker, Verschieben mit rechter Maustaste."));
    Diagramm->SetModel(&model_);
    Diagramm->setMinimumSize(120, 80);
    layout->addWidget(Diagramm, 1);
    connect(Diagramm, &platform::TChartPlot::ViewChanged, this, [this] {
        if (ZoomAus_Knopf)
            ZoomAus_Knopf->setEnabled(true);
    });

    // Translatable controls with their tags (offset 20300 of the chart window).
    using K = platform::TTranslatableKind;
    translations_.Register(Drucken_Knopf, 1, K::SpeedButton);
    translations_.Register(SpeedButton5, 2, K::SpeedButton);
    translations_.Register(ZoomIn_Knopf, 3, K::SpeedButton);
    translations_.Register(ZoomOut_Knopf, 4, K::SpeedButton);
    translations_.Register(ZoomAus_Knopf, 5, K::SpeedButton);
    translations_.Register(Label_3d, 6, K::Label);
    translations_.Register(dreiD_Schalter, 7, K::CheckBox);
    translations_.Register(Legende1_Schalter, 8, K::CheckBox);
    translations_.Register(Legende2_Schalter, 9, K::CheckBox);
    translations_.Register(Werte_Schalter, 10, K::CheckBox);
    translations_.Register(Titel_Schalter, 11, K::CheckBox);
    translations_.Register(HilfsLinien_Schalter, 12, K::CheckBox);
    translations_.Register(Einheit_Schalter, 13, K::CheckBox);
    translations_.Register(Dreh_Label, 14, K::Label);
    translations_.Register(Balken_Knopf, 15, K::SpeedButton);
    translations_.Register(QuerBalken_Knopf, 16, K::SpeedButton);
    translations_.Register(Flaechen_Knopf, 17, K::SpeedButton);
    translations_.Register(StufenFlaechen_Knopf, 18, K::SpeedButton);
    translations_.Register(Linien_Knopf, 19, K::SpeedButton);
    translations_.Register(Stufen_Knopf, 20, K::SpeedButton);
    translations_.Register(Torte_Knopf, 21, K::SpeedButton);
    translations_.Register(Vorschau_Knopf, 22, K::SpeedButton);
    translations_.Register(Speichern_Knopf, 23, K::SpeedButton);
    translations_.Register(Diagramm, 24, K::Chart);

    ShowRotation();
    ApplyLabelHints();
    ZT_Chart = this;
}

TZT_Chart::~TZT_Chart()
{
    if (ZT_Chart == this)
        ZT_Chart = nullptr;
}

void TZT_Chart::BuildToolBar()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->installEventFilter(this);
    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);

    ZoomIn_Knopf = MakeButton(Panel2, "ZoomIn_Knopf", QStringLiteral("Vergrößern der Anzeige."), 7);
    ZoomOut_Knopf = MakeButton(Panel2, "ZoomOut_Knopf", QStringLiteral("Verkleinern der Anzeige"), 8);
    ZoomAus_Knopf = MakeButton(Panel2, "ZoomAus_Knopf", QStringLiteral("Zurücksetzen der Anzeige"), 9);
    Verschieben_Knopf = new platform::TDirectionSpinner(Panel2);
    Verschieben_Knopf->setObjectName(QStringLiteral("Verschieben_Knopf"));
    dreiD_Schalter = MakeSwitch(Panel2, "dreiD_Schalter", QStringLiteral("3&D"),
                                QStringLiteral("Aktivierung der 3D-Darstellung"));
    ScrollBar2 = new QScrollBar(Qt::Horizontal, Panel2);
    ScrollBar2->setObjectName(QStringLiteral("ScrollBar2"));
    ScrollBar2->setRange(1, 100);
    ScrollBar2->setValue(15);
    ScrollBar2->setPageStep(5);
    ScrollBar2->setFixedWidth(80);
    Legende1_Schalter = MakeSwitch(Panel2, "Legende1_Schalter", QStringLiteral("L.1"),
                                   QStringLiteral("Aktivierung des ersten Teils der Legende für die Messpunkte."));
    Legende2_Schalter = MakeSwitch(Panel2, "Legende2_Schalter", QStringLiteral("L.2"),
                                   QStringLiteral("Aktivierung des zweiten Teils der Legende für die Messpunkte."));
    Werte_Schalter = MakeSwitch(Panel2, "Werte_Schalter", QStringLiteral("M."),
                                QStringLiteral("Aktivierung der Marker (Messpunkt-Beschriftungen)."));
    Titel_Schalter = MakeSwitch(Panel2, "Titel_Schalter", QStringLiteral("T."), QStringLiteral("Aktivierung der Überschriften."));
    HilfsLinien_Schalter = MakeSwitch(Panel2, "HilfsLinien_Schalter", QStringLiteral("H."),
                                      QStringLiteral("Aktivierung der Hilfslinien"));
    Einheit_Schalter = MakeSwitch(Panel2, "Einheit_Schalter", QStringLiteral("E."),
                                  QStringLiteral("Aktivieren der Y-Achsen-Einheit"));
    Dreh_Panel = new QWidget(Panel2);
    Dreh_Panel->setObjectName(QStringLiteral("Dreh_Panel"));
    Dreh_Image = new QLabel(Dreh_Panel);
    Dreh_Image->setObjectName(QStringLiteral("Dreh_Image"));
    Dreh_Image->installEventFilter(this);
    Dreh_Image->setCursor(Qt::PointingHandCursor);

    Balken_Knopf = MakeButton(Panel2, "Balken_Knopf", QStringLiteral("Umschalten auf Balkendarstellung."), 0, true);
    QuerBalken_Knopf = MakeButton(Panel2, "QuerBalken_Knopf", QStringLiteral("Umschalten auf Querbalkendarstellung."), 1, true);
    Flaechen_Knopf = MakeButton(Panel2, "Flaechen_Knopf", QStringLiteral("Umschalten auf Flächendarstellung."), 2, true);
    StufenFlaechen_Knopf = MakeButton(Panel2, "StufenFlaechen_Knopf",
                                      QStringLiteral("Umschalten auf Stufenflächendarstellung."), 3, true);
    Linien_Knopf = MakeButton(Panel2, "Linien_Knopf", QStringLiteral("Umschalten auf Liniendarstellung."), 4, true);
    Stufen_Knopf = MakeButton(Panel2, "Stufen_Knopf", QStringLiteral("Umschalten auf Stufendarstellung."), 5, true);
    Torte_Knopf = MakeButton(Panel2, "Torte_Knopf", QStringLiteral("Umschalten auf Tortengrafik."), 6, true);
    styleGroup_ = new QButtonGroup(this);
    styleGroup_->setExclusive(true);
    const std::pair<QToolButton*, int> styles[] = {{Balken_Knopf, 3}, {QuerBalken_Knopf, 4}, {Flaechen_Knopf, 1},
                                                   {StufenFlaechen_Knopf, 2}, {Linien_Knopf, 5}, {Stufen_Knopf, 6},
                                                   {Torte_Knopf, 7}};
    for (const auto& [button, style] : styles)
        styleGroup_->addButton(button, style);

    Drucken_Knopf = MakeButton(Panel2, "Drucken_Knopf", QStringLiteral("Ausgabe des Diagramms auf den aktuellen Drucker."), 10);
    Vorschau_Knopf = MakeButton(Panel2, "Vorschau_Knopf", QStringLiteral("Seiteansicht für die angezeigte Grafik"), 12);
    Speichern_Knopf = MakeButton(Panel2, "Speichern_Knopf",
                                 QStringLiteral("Speichern des Diagramms in eine Grafik-Metadatei."), 13);
    SpeedButton5 = MakeButton(Panel2, "SpeedButton5", QStringLiteral("Kopieren des Diagramms in die Zwischenablage."), 11);

    Label_3d = new QLabel(QStringLiteral("Einstellen des 3D-Effektes."), Panel2);
    Label_3d->setObjectName(QStringLiteral("Label_3d"));
    Label_3d->setToolTip(QStringLiteral("Diagramm verschieben"));
    Label_3d->hide();
    Dreh_Label = new QLabel(Panel2);
    Dreh_Label->setObjectName(QStringLiteral("Dreh_Label"));
    Dreh_Label->setToolTip(QStringLiteral("Drehen der X-Achsenbeschriftung"));
    Dreh_Label->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{
             ZoomIn_Knopf, ZoomOut_Knopf, ZoomAus_Knopf, Verschieben_Knopf, dreiD_Schalter, ScrollBar2,
             Legende1_Schalter, Legende2_Schalter, Werte_Schalter, Titel_Schalter, HilfsLinien_Schalter,
             Einheit_Schalter, Dreh_Panel, Balken_Knopf, QuerBalken_Knopf, Flaechen_Knopf, StufenFlaechen_Knopf,
             Linien_Knopf, Stufen_Knopf, Torte_Knopf, Drucken_Knopf, Vorschau_Knopf, Speichern_Knopf, SpeedButton5})
        bar->addWidget(w);
    bar->addStretch(1);

    connect(ZoomIn_Knopf, &QToolButton::clicked, this, [this] { ZoomIn_KnopfClick(); });
    connect(ZoomOut_Knopf, &QToolButton::clicked, this, [this] { ZoomOut_KnopfClick(); });
    connect(ZoomAus_Knopf, &QToolButton::clicked, this, [this] { ZoomAus_KnopfClick(); });
    connect(Verschieben_Knopf, &platform::TDirectionSpinner::Clicked, this,
            [this](platform::TDirectionSpinner::TDirection d) { Verschieben_KnopfClick(d); });
    connect(dreiD_Schalter, &QCheckBox::clicked, this, [this] { dreiD_SchalterClick(); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this] { ScrollBar2Change(); });
    for (QCheckBox* c : {Legende1_Schalter.data(), Legende2_Schalter.data(), Werte_Schalter.data()})
        connect(c, &QCheckBox::clicked, this, [this, c] { Anzeige_Update(c); });
    connect(Einheit_Schalter, &QCheckBox::clicked, this, [this] {
        if (unitBound_)
            Anzeige_Update(Einheit_Schalter);
    });
    connect(Titel_Schalter, &QCheckBox::clicked, this, [this] { Titel_SchalterClick(); });
    connect(HilfsLinien_Schalter, &QCheckBox::clicked, this, [this] { HilfsLinien_SchalterClick(); });
    connect(styleGroup_, &QButtonGroup::idClicked, this, [this](int style) { SetSeriesStyle(style); });
    connect(Drucken_Knopf, &QToolButton::clicked, this, [this] { Drucken_KnopfClick(Drucken_Knopf); });
    connect(Vorschau_Knopf, &QToolButton::clicked, this, [this] { Vorschau_KnopfClick(); });
    connect(Speichern_Knopf, &QToolButton::clicked, this, [this] { Speichern_KnopfClick(); });
    connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });

    // The switches as the default option record has them.
    Legende1_Schalter->setChecked(loaded_.LegendPart1);
    Legende2_Schalter->setChecked(loaded_.LegendPart2);
    dreiD_Schalter->setChecked(loaded_.View3D);
    HilfsLinien_Schalter->setChecked(loaded_.GridLines);
    Balken_Knopf->setChecked(true);
    ZoomAus_Knopf->setEnabled(true);
    Panel2->setEnabled(false);
}

bool TZT_Chart::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Dreh_Image && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && Dreh_Image->isEnabled())
            Dreh_ImageClick();
        return true;
    }
    // The tool bar shows (in the chart options dialog): the hints of the
    // spinner, the depth bar and the rotation image come from their labels,
    // so that they are the translated ones.
    if (watched == Panel2 && event->type() == QEvent::Show)
        ApplyLabelHints();
    return QWidget::eventFilter(watched, event);
}

void TZT_Chart::ApplyLabelHints()
{
    if (Verschieben_Knopf && Label_3d)
        Verschieben_Knopf->setToolTip(Label_3d->toolTip());
    if (ScrollBar2 && Label_3d)
        ScrollBar2->setToolTip(Label_3d->text());
    if (Dreh_Image && Dreh_Label)
        Dreh_Image->setToolTip(Dreh_Label->toolTip());
}

// ---- Building ---------------------------------------------------------------------------

bool TZT_Chart::GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left, int& bottom, int& right)
{
    return ::GetGridSelection(grid, top, left, bottom, right);
}

TChartSwitches TZT_Chart::Switches() const
{
    TChartSwitches sw;
    sw.Legend1 = Legende1_Schalter && Legende1_Schalter->isChecked();
    sw.Legend2 = Legende2_Schalter && Legende2_Schalter->isChecked();
    sw.Marks = Werte_Schalter && Werte_Schalter->isChecked();
    sw.Titles = Titel_Schalter && Titel_Schalter->isChecked();
    sw.View3D = dreiD_Schalter && dreiD_Schalter->isChecked();
    sw.Grid = HilfsLinien_Schalter && HilfsLinien_Schalter->isChecked();
    sw.Unit = Einheit_Schalter && Einheit_Schalter->isChecked();
    return sw;
}

QWidget* TZT_Chart::ChartHolder() const
{
    return Diagramm ? Diagramm->parentWidget() : nullptr;
}

void TZT_Chart::ShowChartForGrid(platform::TStringGridModel& grid)
{
    Grid = &grid;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!GetGridSelection(grid, top, left, bottom, right) || right < grid.FixedCols()) {
        ShowMessageNr(QString(), 75);
        return;
    }
    SelTop = top;
    SelLeft = left;
    SelBottom = bottom;
    SelRight = right;
    Panel2->setEnabled(true);
    Titel_Schalter->setEnabled(TitleMemo != nullptr);
    SavedHint = Diagramm->toolTip().left(80);
    BuildChart();
    ++chartBuildCount_;
    if (Vorschau_Knopf)
        Vorschau_Knopf->setEnabled(ZT_Vorschau != nullptr);
    // The panel that holds the chart keeps the visibility its owner gives it
    // (the main window shows it with "Grafik"); the chart window itself
    // stays hidden.
}

void TZT_Chart::BuildChart()
{
    if (!Grid || building_)
        return;
    building_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList memoLines;
    if (TitleMemo) {
        const QString text = TitleMemo->toPlainText();
        if (!text.isEmpty())
            memoLines = text.split(QLatin1Char('\n'));
    }
    const QFont font = TitleMemo ? TitleMemo->font() : this->font();
    const TChartSwitches sw = Switches();
    builder_.ReadGrid(*Grid, QRect(QPoint(SelLeft, SelTop), QPoint(SelRight, SelBottom)), sw);
    TChartBuilder::ApplyTitles(model_, sw, memoLines, TitleMemo != nullptr, ChartTitle);
    ApplyChartLook(model_, font);
    builder_.ApplyAxes(model_, sw);
    model_.Depth3DPercent = depthMoved_ ? ScrollBar2->value() : DefaultDepthPercent;
    SetSeriesStyle(builder_.SeriesStyle);
    QApplication::restoreOverrideCursor();
    building_ = false;
}

void TZT_Chart::ApplyChartLook(chart::TChartModel& model, const QFont& font)
{
    builder_.ApplyChartLook(model, font);
}

void TZT_Chart::SetSeriesStyle(int style)
{
    if ((!model_.Series.empty() || !model_.Slices.empty()) && builder_.SeriesStyle != 0)
        ZoomLevel = 0;
    const bool allows = builder_.SetSeriesStyle(model_, style, Switches());
    PressStyleButton(builder_.SeriesStyle);
    for (QWidget* w : {static_cast<QWidget*>(ZoomOut_Knopf.data()), static_cast<QWidget*>(ZoomIn_Knopf.data()),
                       static_cast<QWidget*>(ZoomAus_Knopf.data()), static_cast<QWidget*>(HilfsLinien_Schalter.data()),
                       static_cast<QWidget*>(Verschieben_Knopf.data())})
        if (w)
            w->setEnabled(allows);
    Verschieben_Knopf->SetArrows(platform::TDirectionSpinner::TArrows::FourWay);
    Diagramm->setToolTip(allows ? SavedHint : QString());
    Diagramm->ZoomEnabled = allows;
    Diagramm->PanEnabled = allows;
    RefreshChart(true);
}

void TZT_Chart::PressStyleButton(int style)
{
    QToolButton* button = nullptr;
    switch (style) {
    case 1: button = Flaechen_Knopf; break;
    case 2: button = StufenFlaechen_Knopf; break;
    case 4: button = QuerBalken_Knopf; break;
    case 5: button = Linien_Knopf; break;
    case 6: button = Stufen_Knopf; break;
    case 7: button = Torte_Knopf; break;
    default: button = Balken_Knopf; break;
    }
    const QSignalBlocker block(styleGroup_);
    if (button)
        button->setChecked(true);
}

void TZT_Chart::RefreshChart(bool rebuild)
{
    if (!Diagramm)
        return;
    if (rebuild)
        Diagramm->Rebuild();
    else
        Diagramm->Refresh();
}

bool TZT_Chart::ChartHasSeries() const
{
    return !model_.Series.empty();
}

void TZT_Chart::ClearPointLabels()
{
    builder_.ClearPointLabels();
}

void TZT_Chart::SetTitleMemo(QPlainTextEdit* memo)
{
    TitleMemo = memo;
}

void TZT_Chart::SetChartTitle(const QString& title)
{
    ChartTitle = title.left(132);
}

void TZT_Chart::Anzeige_Update(QObject*)
{
    QWidget* holder = ChartHolder();
    const bool shows = holder && (holder == this ? isVisible() : !holder->isHidden());
    if (Grid && shows)
        BuildChart();
}

// ---- Option record ---------------------------------------------------------------------

void TZT_Chart::LoadChartOptions(const TChartOptions& o)
{
    {
        const QSignalBlocker b1(Legende1_Schalter), b2(Legende2_Schalter), b3(Werte_Schalter), b4(Titel_Schalter),
            b5(dreiD_Schalter), b6(HilfsLinien_Schalter), b7(Einheit_Schalter);
        Legende1_Schalter->setChecked(o.LegendPart1);
        Legende2_Schalter->setChecked(o.LegendPart2);
        Werte_Schalter->setChecked(o.ShowMarks);
        Titel_Schalter->setChecked(o.ShowTitles);
        dreiD_Schalter->setChecked(o.View3D);
        HilfsLinien_Schalter->setChecked(o.GridLines);
        builder_.LoadOptionCopies(o);
        ShowRotation();
        Einheit_Schalter->setChecked((o.Flags & ChartFlagUnitOnAxis) != 0);
        PressStyleButton(o.SeriesStyle);
    }
    ScrollBar2->setEnabled(o.View3D);
    unitBound_ = true;
    loaded_ = o;
    ++loadCount_;
}

void TZT_Chart::SaveChartOptions(TChartOptions& o) const
{
    o.LegendPart1 = Legende1_Schalter->isChecked();
    o.LegendPart2 = Legende2_Schalter->isChecked();
    o.ShowMarks = Werte_Schalter->isChecked();
    o.ShowTitles = Titel_Schalter->isChecked();
    o.View3D = dreiD_Schalter->isChecked();
    o.GridLines = HilfsLinien_Schalter->isChecked();
    o.LabelRotation = builder_.LabelRotation;
    o.Curves = builder_.Curves;
    o.BarLayout = builder_.BarLayout;
    o.BarWidthPercent = builder_.BarWidthPercent;
    o.SeriesStyle = builder_.SeriesStyle;
    o.Flags = uint8_t((o.Flags & ~ChartFlagUnitOnAxis) | (Einheit_Schalter->isChecked() ? ChartFlagUnitOnAxis : 0));
}

TChartOptions TZT_Chart::Options() const
{
    TChartOptions o = loaded_;
    SaveChartOptions(o);
    return o;
}

// ---- Zoom, scroll, 3-D, switches, rotation ------------------------------------------------

void TZT_Chart::ZoomIn_KnopfClick()
{
    if (++ZoomLevel == 0) {
        model_.UndoZoom();
    } else {
        model_.ZoomPercent(110);
        ZoomAus_Knopf->setEnabled(true);
    }
    RefreshChart(false);
}

void TZT_Chart::ZoomOut_KnopfClick()
{
    if (--ZoomLevel == 0) {
        model_.UndoZoom();
    } else {
        model_.ZoomPercent(90);
        ZoomAus_Knopf->setEnabled(true);
    }
    RefreshChart(false);
}

void TZT_Chart::ZoomAus_KnopfClick()
{
    ZoomLevel = 0;
    model_.UndoZoom();
    RefreshChart(false);
}

void TZT_Chart::ScrollChart(bool horizontal, double percent)
{
    model_.Scroll(horizontal, percent);
    ZoomAus_Knopf->setEnabled(true);
    RefreshChart(false);
}

void TZT_Chart::Verschieben_KnopfClick(platform::TDirectionSpinner::TDirection d)
{
    using D = platform::TDirectionSpinner::TDirection;
    switch (d) {
    case D::Up: ScrollChart(false, -10); break;
    case D::Down: ScrollChart(false, 10); break;
    case D::Left: ScrollChart(true, 10); break;
    case D::Right: ScrollChart(true, -10); break;
    }
}

void TZT_Chart::dreiD_SchalterClick()
{
    const bool on = dreiD_Schalter->isChecked();
    ScrollBar2->setEnabled(on);
    model_.View3D = on;
    model_.Walls3D = on && !model_.IsPie();
    model_.MarginTop = 4;
    RefreshChart(true);
}

void TZT_Chart::ScrollBar2Change()
{
    depthMoved_ = true;
    model_.Depth3DPercent = ScrollBar2->value();
    RefreshChart(false);
}

void TZT_Chart::Titel_SchalterClick()
{
    QStringList memoLines;
    if (TitleMemo && !TitleMemo->toPlainText().isEmpty())
        memoLines = TitleMemo->toPlainText().split(QLatin1Char('\n'));
    TChartBuilder::ApplyTitles(model_, Switches(), memoLines, TitleMemo != nullptr, ChartTitle);
    model_.MarginTop = 4;
    RefreshChart(false);
}

void TZT_Chart::HilfsLinien_SchalterClick()
{
    model_.Bottom.Grid = HilfsLinien_Schalter->isChecked();
    model_.Left.Grid = HilfsLinien_Schalter->isChecked();
    RefreshChart(false);
}

void TZT_Chart::Dreh_ImageClick()
{
    builder_.LabelRotation = uint8_t(builder_.LabelRotation + 1);
    ShowRotation();
    RefreshChart(false);
}

void TZT_Chart::ShowRotation()
{
    builder_.ApplyRotation(model_);    // above 2 becomes 0
    const int rotation = builder_.LabelRotation;
    const QSize size = rotation == 0 ? QSize(20, 8) : QSize(8, 20);
    Dreh_Panel->setFixedSize(size);
    Dreh_Image->setFixedSize(size);
    Dreh_Image->setPixmap(RotationPicture(rotation, platform::ColorRefToQColor(GraphicsSettings.Colours[ColourBackground])));
}

// ---- Output -------------------------------------------------------------------------------

void TZT_Chart::DrawChart(QPainter& painter, const QRectF& rect, double scale) const
{
    platform::RenderChart(model_, painter, rect, scale);
}

QSize TZT_Chart::ChartSize() const
{
    // A chart that was never laid out on screen is drawn at a usual size.
    const QSize s = Diagramm ? Diagramm->size() : QSize();
    if (!Diagramm || !Diagramm->testAttribute(Qt::WA_WState_Visible) || s.width() < 120 || s.height() < 80)
        return {800, 500};
    return s;
}

void TZT_Chart::Drucken_KnopfClick(QObject*)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    platform::TPrinterService& printer = platform::Printer();
    const int printerOrientation = printer.Orientation();
    SavedOrientation = GraphicsSettings.PrintOrientation;
    try {
        if (PrintLandscape())
            GraphicsSettings.PrintOrientation = 1;
        printer.SetOrientation(GraphicsSettings.PrintOrientation);
        printer.SetTitle(QStringLiteral("ZT_Druckerausgabe"));
        const QRect rect = ChartPrintRect(printer.PageWidth(), printer.PageHeight(), GraphicsSettings,
                                          GraphicsSettings.PrintOrientation == 0);
        // The chart prints itself as one job, titled with its control's name.
        printer.SetTitle(Diagramm->objectName());
        platform::TPrintJobGuard guard;
        if (!guard.Acquired()) {
            // Another printout is running: refused as the table's second job is.
            platform::Beep();
        } else if (printer.BeginDoc()) {
            if (QPainter* painter = printer.Canvas().Painter())
                DrawChart(*painter, QRectF(rect), printer.Resolution() / 96.0);
            printer.EndDoc();
        } else if (!printer.BeginCancelled()) {
            // No printer and no writable PDF file: the user must learn that
            // nothing was printed (a cancelled file question is no error).
            ShowMessageNr(QString(), 120);
        }
        QCoreApplication::processEvents();
    } catch (...) {
        // A failed printout leaves everything as it was before (below).
    }
    printer.SetOrientation(printerOrientation);
    GraphicsSettings.PrintOrientation = SavedOrientation;
    RefreshChart(false);
    QApplication::restoreOverrideCursor();
}

void TZT_Chart::Vorschau_KnopfClick()
{
    if (!ZT_Vorschau)
        return;
    SavedOrientation = GraphicsSettings.PrintOrientation;
    if (PrintLandscape())
        GraphicsSettings.PrintOrientation = 1;
    ZT_Vorschau->SetPrintButton(Drucken_Knopf->toolTip(), [this](QObject* sender) { Drucken_KnopfClick(sender); });
    ZT_Vorschau->ShowPages(1, 1, [this](int32_t page) { DrawChartPage(page); }, GraphicsSettings.PrintOrientation);
    GraphicsSettings.PrintOrientation = SavedOrientation;
}

void TZT_Chart::DrawChartPage(int32_t)
{
    if (!ZT_Vorschau)
        return;
    if (PrintLandscape())
        GraphicsSettings.PrintOrientation = 1;
    platform::TPrintCanvas* canvas = ZT_Vorschau->PageCanvas();
    if (canvas) {
        const QRect rect = ChartPrintRect(canvas->PageWidth(), canvas->PageHeight(), GraphicsSettings,
                                          GraphicsSettings.PrintOrientation == 0);
        const QString head = ZT_Vorschau->Abfrage_Label_0 ? ZT_Vorschau->Abfrage_Label_0->text() : QString();
        ZT_Vorschau->setWindowTitle(head + QLatin1Char('-') + windowTitle());
        if (QPainter* painter = canvas->Painter())
            DrawChart(*painter, QRectF(rect), canvas->Resolution() / 96.0);
    }
    RefreshChart(false);
    GraphicsSettings.PrintOrientation = SavedOrientation;
}

bool TZT_Chart::WriteMetafile(const QString& fileName)
{
    const QSize size = ChartSize();
    platform::WindowsMetafile metafile(size);
    {
        QPainter painter(&metafile);
        DrawChart(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (!metafile.saveToFile(fileName)) {
        ShowMessageNr(fileName, 45);
        return false;
    }
    return true;
}

void TZT_Chart::Speichern_KnopfClick()
{
    platform::TFileDialogRequest request;
    request.Title = QStringLiteral("Diagramm speichern");
    request.Filter = QStringLiteral("Metadateien|*.WMF");
    request.DefaultExt = QStringLiteral("WMF");
    request.FileName = QStringLiteral("*.WMF");
    const auto& dialog = platform::Hooks().SaveFileDialog;
    if (!dialog)
        return;
    const platform::TFileDialogAnswer answer = dialog(request);
    if (!answer.Accepted || answer.FileName.isEmpty())
        return;
    QString fileName = answer.FileName;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".WMF");
    // The dialog asks before a file is overwritten (the hook itself never does).
    if (QFileInfo::exists(fileName) && !ShowMessageNr(fileName, 51))
        return;
    WriteMetafile(fileName);
}

platform::TClipboardContent TZT_Chart::ChartClipboardContent() const
{
    platform::TClipboardContent content;
    const QSize size = ChartSize();
    const QRectF rect(QPointF(0, 0), QSizeF(size));
    {
        platform::WindowsMetafile metafile(size);
        QPainter painter(&metafile);
        DrawChart(painter, rect);
        painter.end();
        content.SetFormat(QString::fromLatin1(platform::MimeWmf), metafile.bytes());
    }
    {
        QByteArray svg;
        QBuffer buffer(&svg);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(rect);
        generator.setResolution(96);
        generator.setTitle(windowTitle());
        QPainter painter(&generator);
        DrawChart(painter, rect);
        painter.end();
        content.SetFormat(QString::fromLatin1(platform::MimeSvg), svg);
    }
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawChart(painter, rect);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        content.SetFormat(QString::fromLatin1(platform::MimePng), png);
    }
    return content;
}

bool TZT_Chart::CopyChartForReport()
{
    if (!ChartHasSeries())
        return false;
    return platform::SetClipboardContent(ChartClipboardContent());
}

void TZT_Chart::SpeedButton5Click()
{
    platform::SetClipboardContent(ChartClipboardContent());
    platform::Beep();
}
