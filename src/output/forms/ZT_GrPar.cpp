#include "output/forms/ZT_GrPar.h"

#include "output/ChartBuild.h"
#include "output/forms/ZT_Chart.h"
#include "platform/ChartPainters.h"
#include "platform/Colors.h"
#include "platform/Hooks.h"
#include "platform/forms/ChartView.h"
#include "platform/forms/NumberEdit.h"
#include "platform/forms/OwnerDrawList.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

using namespace chartoptions;

TGrfOpt_Form* GrfOpt_Form = nullptr;
std::function<int(TGrfOpt_Form&)> TGrfOpt_Form::ModalRun;

namespace {

constexpr int FormWidth = 616;
constexpr int RowHeight = 24;

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TGrfOpt_Form::TGrfOpt_Form(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GrfOpt_Form"));
    setWindowTitle(QStringLiteral("Grafik-Optionen"));
    BuildControls();
    // The custom colours are always the default ones, whatever was picked.
    QList<platform::TColor> colours;
    ChartCustomColors(colours);
    for (platform::TColor c : colours)
        ChartCustomColours << platform::ColorRefToQColor(c);
    GrfOpt_Form = this;
}

TGrfOpt_Form::~TGrfOpt_Form()
{
    if (GrfOpt_Form == this)
        GrfOpt_Form = nullptr;
}

void TGrfOpt_Form::BuildControls()
{
    // Curves.
    Liniendarstellung_Box = new QGroupBox(QStringLiteral("Liniendarstellung"), this);
    Liniendarstellung_Box->setGeometry(8, 8, 196, 20 + ChartCurveCount * RowHeight + 8);
    for (int i = 0; i < ChartCurveCount; ++i) {
        const int y = 20 + i * RowHeight;
        Kurven_Label[std::size_t(i)] = MakeLabel(Liniendarstellung_Box, QString::number(i + 1), QRect(8, y + 3, 20, 16));
        auto* line = new platform::TOwnerDrawList(Liniendarstellung_Box);
        line->setObjectName(QStringLiteral("Linie%1_AuswahlBox").arg(i + 1));
        line->setGeometry(30, y, 80, 22);
        line->SetEntryCount(LineEntryCount);
        line->SetDrawEntry([](QPainter& p, const QRect& r, int entry, bool selected) {
            DrawLineEntry(p, r, entry, selected);
        });
        Linie_AuswahlBox[std::size_t(i)] = line;
        auto* marker = new platform::TOwnerDrawList(Liniendarstellung_Box);
        marker->setObjectName(QStringLiteral("Marker%1_AuswahlBox").arg(i + 1));
        marker->setGeometry(114, y, 74, 22);
        marker->SetEntryCount(MarkerEntryCount);
        marker->setMaxVisibleItems(MarkerEntryCount);
        marker->SetDrawEntry([](QPainter& p, const QRect& r, int entry, bool selected) {
            DrawMarkerEntry(p, r, entry, selected,
                            [](QPainter& painter, QPointF centre, int style, double half, const QColor& colour) {
                                chart::DrawMarker(painter, centre, MarkerOfStyle(style), half, colour);
                            });
        });
        Marker_AuswahlBox[std::size_t(i)] = marker;
    }

    // The demonstration chart; the switch lies on its lower edge.
    Demo_Diagramm = new platform::TChartPlot(this);
    Demo_Diagramm->setObjectName(QStringLiteral("Demo_Diagramm"));
    Demo_Diagramm->ZoomEnabled = false;
    Demo_Diagramm->PanEnabled = false;
    Demo_Diagramm->setGeometry(212, 8, FormWidth - 212 - 8, 232);
    Demo_Diagramm->setToolTip(
        QStringLiteral("Klicken Sie auf einen Bereich der Grafik, um eine Farb-Einstellung zu ändern."));
    AchsenFarbig_Schalter = MakeCheckBox(this, QStringLiteral("Achsenfarben werteabhängig"), QRect(220, 0, 190, 18));
    AchsenFarbig_Schalter->resize(std::max(190, AchsenFarbig_Schalter->sizeHint().width()),
                                  std::max(18, AchsenFarbig_Schalter->sizeHint().height()));

    // Bars.
    Balkendarstellung_Box = new QGroupBox(QStringLiteral("Balkendarstellung"), this);
    Balkendarstellung_Box->setGeometry(212, 246, FormWidth - 212 - 8, 98);
    hintereinander_Schalter = new QRadioButton(QStringLiteral("hintereinander"), Balkendarstellung_Box);
    hintereinander_Schalter->setGeometry(8, 18, 120, 20);
    nebeneinander_Schalter = new QRadioButton(QStringLiteral("nebeneinander"), Balkendarstellung_Box);
    nebeneinander_Schalter->setGeometry(132, 18, 120, 20);
    uebereinander_Schalter = new QRadioButton(QStringLiteral("übereinander"), Balkendarstellung_Box);
    uebereinander_Schalter->setGeometry(256, 18, 120, 20);
    Balkenabstand_Label = MakeLabel(Balkendarstellung_Box, QStringLiteral("Balkenabstand:"), QRect(8, 46, 96, 18));
    TrackBar1 = new QSlider(Qt::Horizontal, Balkendarstellung_Box);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(104, 42, 170, 26);
    TrackBar1->setRange(0, 90);
    TrackBar1->setTickInterval(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(10);
    TrackBar1->setValue(30);
    Prozent_Label = MakeLabel(Balkendarstellung_Box, GapText(30), QRect(282, 46, 50, 18));
    DruckImmerQuer_Schalter = MakeCheckBox(Balkendarstellung_Box, QStringLiteral("Grafik-Ausdruck immer quer"),
                                           QRect(8, 72, 220, 20));

    // Left value axis.
    YAchse_Box = new QGroupBox(QStringLiteral("Y-Achsenskalierung"), this);
    YAchse_Box->setToolTip(QStringLiteral("Skalierung der Werteachse"));
    YAchse_Box->setGeometry(8, 20 + ChartCurveCount * RowHeight + 24, 196, 74);
    yAuto_Schalter = MakeCheckBox(YAchse_Box, QStringLiteral("automatisch"), QRect(8, 18, 120, 20));
    yMin_Label = MakeLabel(YAchse_Box, QStringLiteral("Min."), QRect(8, 46, 28, 18));
    yMin_Edit = new platform::TNumberEdit(YAchse_Box);
    yMin_Edit->setGeometry(36, 44, 58, 22);
    yMax_Label = MakeLabel(YAchse_Box, QStringLiteral("Max."), QRect(100, 46, 30, 18));
    yMax_Edit = new platform::TNumberEdit(YAchse_Box);
    yMax_Edit->setGeometry(130, 44, 58, 22);

    // Right value axis.
    AchseRechts_Box = new QGroupBox(QStringLiteral("Achse rechts"), this);
    AchseRechts_Box->setToolTip(QStringLiteral("Skalierung der 2. Werteachse"));
    AchseRechts_Box->setGeometry(212, 350, FormWidth - 212 - 8, 56);
    y2Auto_Schalter = MakeCheckBox(AchseRechts_Box, QStringLiteral("automatisch"), QRect(8, 24, 100, 20));
    y2Min_Label = MakeLabel(AchseRechts_Box, QStringLiteral("Min."), QRect(110, 26, 28, 18));
    y2Min_Edit = new platform::TNumberEdit(AchseRechts_Box);
    y2Min_Edit->setGeometry(138, 22, 70, 22);
    y2Max_Label = MakeLabel(AchseRechts_Box, QStringLiteral("Max."), QRect(216, 26, 30, 18));
    y2Max_Edit = new platform::TNumberEdit(AchseRechts_Box);
    y2Max_Edit->setGeometry(246, 22, 70, 22);
    Achse2_Schalter = MakeCheckBox(AchseRechts_Box, QString(), QRect(330, 24, 20, 20));
    Achse3_Schalter = MakeCheckBox(AchseRechts_Box, QString(), QRect(356, 24, 20, 20));

    // Titles of the colour dialog.
    Farb_Label = MakeLabel(this, QStringLiteral("Farbe"), QRect(0, 0, 40, 16));
    Grafik_Label_1 = MakeLabel(this, QStringLiteral("Titel- und Achsen-Farbe"), QRect(0, 0, 140, 16));
    Grafik_Label_2 = MakeLabel(this, QStringLiteral("Hintergrund-Farbe"), QRect(0, 0, 120, 16));
    Farb_Label->hide();
    Grafik_Label_1->hide();
    Grafik_Label_2->hide();

    baseHeight_ = YAchse_Box->geometry().bottom() + 1 + 8;
    setFixedSize(FormWidth, baseHeight_);

    connect(Demo_Diagramm, &platform::TChartPlot::ChartClicked, this,
            [this](const chart::THit& hit, Qt::MouseButton button) {
                if (button != Qt::LeftButton)
                    return;
                switch (hit.Part) {
                case chart::THitPart::Series: DemoChartClick(TDemoPart::Bar, hit.Index); break;
                case chart::THitPart::Title: DemoChartClick(TDemoPart::Title, -1); break;
                case chart::THitPart::LeftAxis: DemoChartClick(TDemoPart::LeftAxis, -1); break;
                case chart::THitPart::BottomAxis: DemoChartClick(TDemoPart::BottomAxis, -1); break;
                default: DemoChartClick(TDemoPart::Other, -1); break;
                }
            });
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
    connect(yAuto_Schalter, &QCheckBox::clicked, this, [this] { yAuto_SchalterClick(); });
    connect(DruckImmerQuer_Schalter, &QCheckBox::clicked, this, [this] { yAuto_SchalterClick(); });
    connect(y2Auto_Schalter, &QCheckBox::clicked, this, [this] { y2Auto_SchalterClick(); });
}

// ---- The record ----------------------------------------------------------------------

TDialogState TGrfOpt_Form::DialogState() const
{
    TDialogState s;
    for (std::size_t i = 0; i < std::size_t(ChartCurveCount); ++i) {
        s.LineEntry[i] = std::max(0, Linie_AuswahlBox[i]->currentIndex());
        s.MarkerEntry[i] = std::max(0, Marker_AuswahlBox[i]->currentIndex());
    }
    s.Behind = hintereinander_Schalter->isChecked();
    s.SideBySide = nebeneinander_Schalter->isChecked();
    s.Stacked = uebereinander_Schalter->isChecked();
    s.Gap = TrackBar1->value();
    s.PrintLandscape = DruckImmerQuer_Schalter->isChecked();
    s.AxesColoured = AchsenFarbig_Schalter->isChecked();
    s.LeftAuto = yAuto_Schalter->isChecked();
    s.LeftMin = yMin_Edit->Value();
    s.LeftMax = yMax_Edit->Value();
    s.Axis2 = Achse2_Schalter->isChecked();
    s.Axis3 = Achse3_Schalter->isChecked();
    s.RightAuto = y2Auto_Schalter->isChecked();
    s.RightMin = y2Min_Edit->Value();
    s.RightMax = y2Max_Edit->Value();
    return s;
}

void TGrfOpt_Form::SetDialogState(const TDialogState& s)
{
    for (std::size_t i = 0; i < std::size_t(ChartCurveCount); ++i) {
        Linie_AuswahlBox[i]->setCurrentIndex(std::clamp(s.LineEntry[i], 0, LineEntryCount - 1));
        Marker_AuswahlBox[i]->setCurrentIndex(std::clamp(s.MarkerEntry[i], 0, MarkerEntryCount - 1));
    }
    hintereinander_Schalter->setChecked(s.Behind);
    uebereinander_Schalter->setChecked(s.Stacked);
    nebeneinander_Schalter->setChecked(!s.Behind && !s.Stacked);
    DruckImmerQuer_Schalter->setChecked(s.PrintLandscape);
    AchsenFarbig_Schalter->setChecked(s.AxesColoured);
    TrackBar1->setValue(s.Gap);
    TrackBar1Change();
    yAuto_Schalter->setChecked(s.LeftAuto);
    yMin_Edit->SetValue(s.LeftMin);
    yMax_Edit->SetValue(s.LeftMax);
    yAuto_SchalterClick();
    Achse2_Schalter->setChecked(s.Axis2);
    Achse3_Schalter->setChecked(s.Axis3);
    y2Auto_Schalter->setChecked(s.RightAuto);
    y2Min_Edit->SetValue(s.RightMin);
    y2Max_Edit->SetValue(s.RightMax);
    y2Auto_SchalterClick();
}

void TGrfOpt_Form::LoadChartOptionsDialog(const TChartOptions& options, const QFont& font)
{
    SetDialogState(LoadDialogState(options));
    labelRotation_ = options.LabelRotation;
    DemoFont = font;
    DrawDemoChart();
}

void TGrfOpt_Form::StoreChartOptionsDialog(TChartOptions& options) const
{
    StoreDialogState(DialogState(), options);
}

int TGrfOpt_Form::Execute()
{
    return ModalRun ? ModalRun(*this) : exec();
}

// ---- Handlers --------------------------------------------------------------------------

void TGrfOpt_Form::TrackBar1Change()
{
    Prozent_Label->setText(GapText(TrackBar1->value()));
}

void TGrfOpt_Form::yAuto_SchalterClick()
{
    const bool manual = !yAuto_Schalter->isChecked();
    yMin_Edit->setEnabled(manual);
    yMax_Edit->setEnabled(manual);
}

void TGrfOpt_Form::y2Auto_SchalterClick()
{
    const bool manual = !y2Auto_Schalter->isChecked();
    y2Min_Edit->setEnabled(manual);
    y2Max_Edit->setEnabled(manual);
}

void TGrfOpt_Form::DemoChartClick(TDemoPart part, int bar)
{
    const TColourPick pick = ColourPickFor(part, bar, Farb_Label->text(), Grafik_Label_1->text(), Grafik_Label_2->text());
    PickColour(pick.ColourIndex, pick.Title);
}

bool TGrfOpt_Form::PickColour(int colourIndex, const QString& title)
{
    if (colourIndex < 0 || colourIndex >= GraphicsColourCount)
        return false;
    ColourTitle = title.left(128);
    const auto& dialog = platform::Hooks().ColourDialog;
    QColor colour = platform::ColorRefToQColor(GraphicsSettings.Colours[std::size_t(colourIndex)]);
    if (!dialog || !dialog(colour, ChartCustomColours, ColourTitle) || !colour.isValid())
        return false;
    GraphicsSettings.Colours[std::size_t(colourIndex)] = platform::QColorToColorRef(colour);
    DrawDemoChart();
    return true;
}

void TGrfOpt_Form::DrawDemoChart()
{
    // The chart window's look with the demo font, the colours of the
    // graphics settings and the chart window's current label rotation (the
    // record's when there is no chart window).
    TChartBuilder look;
    look.LabelRotation = ZT_Chart ? ZT_Chart->Builder().LabelRotation : labelRotation_;
    look.ApplyChartLook(DemoModel, DemoFont);
    DemoModel.Kind = chart::TKind::Bar;
    DemoModel.MultiBar = chart::TMultiBar::None;
    DemoModel.TitleLines = QStringList{QStringLiteral("Farbeinstellungen")};
    DemoModel.TitleVisible = true;
    DemoModel.LegendVisible = false;
    DemoModel.Labels.clear();
    chart::TSeries bars;
    bars.Title = QStringLiteral("BarSeries1");
    for (int j = 0; j < ChartCurveCount; ++j) {
        DemoModel.Labels << DemoLabel(j);
        bars.Add(DemoValues[std::size_t(j)]);
        bars.PointColours.push_back(
            platform::ColorRefToQColor(GraphicsSettings.Colours[std::size_t(ColourFirstCurve + j)]));
    }
    bars.Colour = bars.PointColours.front();
    DemoModel.Series = {bars};
    Demo_Diagramm->SetModel(&DemoModel);
    Demo_Diagramm->Rebuild(platform::TChartPlot::TRedraw::Immediate);

    const QRect chart = Demo_Diagramm->geometry();
    AchsenFarbig_Schalter->move(AchsenFarbig_Schalter->x(), chart.y() + chart.height() - 2 - AchsenFarbig_Schalter->height());
    AchsenFarbig_Schalter->raise();
}

// ---- Lending a panel -------------------------------------------------------------------

TLentPanel::TLentPanel(QWidget* panel, QWidget* borrower, const QRect& at)
    : panel_(panel)
{
    if (!panel || !borrower)
        return;
    home_ = panel->parentWidget();
    geometry_ = panel->geometry();
    if (home_ && home_->layout())
        layoutIndex_ = home_->layout()->indexOf(panel);
    panel->setParent(borrower);
    panel->setGeometry(at);
    panel->show();
    lent_ = true;
}

TLentPanel::~TLentPanel()
{
    GiveBack();
}

void TLentPanel::GiveBack()
{
    if (!lent_ || !panel_)
        return;
    lent_ = false;
    panel_->hide();
    panel_->setParent(home_);
    if (home_ && home_->layout() && layoutIndex_ >= 0) {
        if (auto* box = qobject_cast<QBoxLayout*>(home_->layout()))
            box->insertWidget(layoutIndex_, panel_);
        else
            home_->layout()->addWidget(panel_);
    } else {
        panel_->setGeometry(geometry_);
    }
}
