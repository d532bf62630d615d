#include "evaluation/forms/AV_Haupt.h"

#include "base/ZT_Tools.h"
#include "base/forms/FormPosition.h"
#include "platform/forms/BarLayouts.h"
#include "base/forms/ZT_DateiPfad.h"
#include "base/forms/ZT_PfadMaske.h"
#include "evaluation/GridSort.h"
#include "evaluation/HeaderKeys.h"
#include "evaluation/forms/AV_Opt.h"
#include "evaluation/forms/LanguageForms.h"
#include "evaluation/forms/ZT_Baum.h"
#include "evaluation/forms/ZT_TbAus.h"
#include "evaluation/forms/ZT_Zeit.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_GrPar.h"
#include "output/forms/ZT_Vorschau.h"
#include "base/ZT_Meld.h"
#include "platform/Printer.h"
#include "platform/Colors.h"
#include "platform/DateTimeValue.h"
#include "platform/Hooks.h"
#include "platform/LocaleInfo.h"
#include "platform/PlatformTexts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

TAV_HauptFormular* AV_HauptFormular = nullptr;

using platform::TGridDrawState;
using platform::TGridMouseEvent;
using platform::TGridRect;

namespace {

constexpr int TreeControlWidth = 160;
constexpr int StripWidth = 504;
constexpr int AutoCloseDelayMs = 500;
constexpr platform::TColor SpecialEventColor = 0x00FFFF;   // yellow
constexpr platform::TColor EvenRowColor = 0xDADADA;        // light grey

QToolButton* MakeButton(QWidget* parent, const QString& name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// A flat tool-bar button that shows an icon; its text is its tool tip's
// caption and shows nowhere.
QToolButton* MakeIconButton(QWidget* parent, const QString& name, QStyle::StandardPixmap icon, const QString& text,
                            const QString& hint)
{
    QToolButton* button = MakeButton(parent, name, text, hint);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    return button;
}

QCheckBox* MakeSwitch(QWidget* parent, const QString& name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QString WithTrailingSlash(const QString& dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        return dir;
    return dir + QLatin1Char('/');
}

} // namespace

namespace {
QStringList ProgramArguments()
{
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments;
}
} // namespace

TAV_HauptFormular::TAV_HauptFormular(QWidget* parent) : TAV_HauptFormular(ProgramArguments(), parent) {}

TAV_HauptFormular::TAV_HauptFormular(const QStringList& arguments, QWidget* parent) : QMainWindow(parent)
{
    AV_HauptFormular = this;
    setObjectName(QStringLiteral("AV_HauptFormular"));
    FormCreate(arguments);
}

TAV_HauptFormular::~TAV_HauptFormular()
{
    FormDestroy();
    if (AV_HauptFormular == this)
        AV_HauptFormular = nullptr;
}

// ---- Life cycle -------------------------------------------------------------------

void TAV_HauptFormular::FormCreate(const QStringList& arguments)
{
    // No resize handling while the window is built; FormShow binds it.
    resizeBound_ = false;

    // This window's own controls, as its form holds them.
    BuildControls();
    RegisterTranslatables();

    // The other windows, each once and each into its global variable, owned
    // by this window. The preview, chart and table windows are never shown
    // themselves: their controls move into this window below.
    preview_ = new TZT_Vorschau(this);
    preview_->hide();
    chart_ = new TZT_Chart(this);
    chart_->hide();
    tabAus_ = new TTabAus_Form(this);
    tabAus_->hide();
    // Clearing the table empties the chart's point labels.
    tabAus_->Model().ClearPointLabels = [this] {
        if (chart_)
            chart_->ClearPointLabels();
    };
    fileSelection_ = new TDateiPfadMaske(this);
    directorySelection_ = new TPfadMaske(this);
    options_ = new TOptionen_Form(this);

    InitLanguage();
    Hinweis_Panel->hide();

    DefaultChartOptions(chartOptions_);
    chartOptions_.LegendPart2 = false;
    DefaultGraphicsSettings(GraphicsSettings);
    GraphicsSettings.CopyWithHeaders = true;
    DefaultTableOutputParams(tableParams_);

    scanner_ = std::make_unique<TArchiveScanner>(state_, reader_, hooks_);
    evaluator_ = std::make_unique<TEvaluator>(state_, reader_, decoder_, headTemplate_, tabAus_->Model(),
                                              scanner_->Overview(), hooks_);

    // Settings, then the command line.
    TViewState view = CurrentViewState();
    LoadSettings(state_, view, language_.CounterText);
    ReadCommandLine(arguments, state_);
    ApplyViewState(view);
    evaluator_->Selection = view.Selektion;
    tableParams_.SchriftName = view.FontName;
    tableParams_.SchriftGroesse = view.FontSize;

    // Full screen less 40 pixels; the position component restores a stored
    // position when the window is shown and stores it when it closes.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        setGeometry(0, 0, area.width(), std::max(200, area.height() - 40));
    }
    FormPosition1 = new TFormPosition(this);
    FormPosition1->setObjectName(QStringLiteral("FormPosition1"));
    FormPosition1->SetDepot(TDepot::dpRegistry);

    // File overview.
    scanner_->SetMessages(language_.Messages);
    scanner_->InitOverview();
    StringGrid1 = new platform::TStringGridView(&scanner_->Overview(), centralWidget());
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->hide();
    state_.DateLayout = TDateLayout{};

    // Selection tree.
    baum_ = new TBaum_Form(this);
    baum_->hide();
    if (baum_->VST) {
        baum_->VST->setMinimumWidth(TreeControlWidth);
        baum_->VST->setParent(Panel2);
        Panel2->layout()->addWidget(baum_->VST);
        baum_->VST->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(baum_->VST, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            if (PopupMenu1 && baum_ && baum_->VST)
                PopupMenu1->popup(baum_->VST->viewport()->mapToGlobal(pos));
        });
    }

    // Table window: its memo, tool bar, grid and label come into this window.
    tabAus_->InitTableWindow(tableParams_);
    tabAus_->HideChartControls();
    // A column headed with the time caption (translated with this window) sorts by date.
    tabAus_->TimeLabel = Zeit_Label;
    HideTable();
    auto* panel1Layout = static_cast<QVBoxLayout*>(Panel1->layout());
    if (tabAus_->Memo1) {
        tabAus_->Memo1->setParent(Panel1);
        tabAus_->Memo1->setFixedHeight(100);
        panel1Layout->insertWidget(0, tabAus_->Memo1);
    }
    if (tabAus_->Bedien_Box) {
        Bedien_Box = tabAus_->Bedien_Box.data();
        Bedien_Box->setParent(centralWidget());
        static_cast<QVBoxLayout*>(centralWidget()->layout())->insertWidget(0, Bedien_Box);
        Bedien_Box->show();
    }
    if (tabAus_->AllesMarkieren_Knopf) {
        disconnect(tabAus_->AllesMarkieren_Knopf, &QToolButton::clicked, tabAus_, nullptr);
        connect(tabAus_->AllesMarkieren_Knopf, &QToolButton::clicked, this, [this] { TableSelectAll(); });
    }

    // The main window's buttons go behind the font button of the tool bar.
    for (QToolButton* button : MainToolButtons())
        button->setParent(Bedien_Box ? static_cast<QWidget*>(Bedien_Box.data()) : centralWidget());
    PlaceToolButtons();

    if (tabAus_->StringGrid1) {
        tabAus_->StringGrid1->setParent(Panel1);
        panel1Layout->insertWidget(2, tabAus_->StringGrid1, 1);
    }
    if (tabAus_->Auswert_Label) {
        tabAus_->Auswert_Label->setParent(Panel1);
        panel1Layout->insertWidget(3, tabAus_->Auswert_Label);
    }
    HideTable();

    // Table printing writes data cells into text files without their
    // leading and trailing control characters and blanks.
    TrimCellsInFile = true;
    // A print job without a print dialog asks before writing over a PDF file.
    platform::SetPdfOverwriteQuestion([](const QString& fileName) { return ShowMessageNr(fileName, 51); });

    tabAus_->SetTableMode(false, state_.Settings.Format, 9);

    // Chart: the chart area into Panel4, its print and copy buttons into the
    // switch panel behind "Grafik"; all three follow Panel4's visibility.
    if (chart_->Diagramm) {
        chart_->Diagramm->setParent(Panel4);
        Panel4->layout()->addWidget(chart_->Diagramm);
    }
    if (auto* switches = dynamic_cast<platform::TWrapLayout*>(Panel5->layout())) {
        int at = switches->indexOf(Grafik_Schalter) + 1;
        for (QToolButton* button : {chart_->Drucken_Knopf.data(), chart_->SpeedButton5.data()}) {
            if (!button)
                continue;
            // Their place is kept while they are hidden: when "Linien" or
            // "Grafik" shows them, no switch moves from under the mouse.
            QSizePolicy policy = button->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            button->setSizePolicy(policy);
            button->setParent(Panel5);
            switches->insertWidget(at++, button);
        }
    }
    SyncChartControls();

    // Period strip.
    zeitraum_ = new tZeitraumForm(Panel6);
    zeitraum_->setFixedWidth(StripWidth);
    if (zeitraum_->Jahr_Grid)
        zeitraum_->Jahr_Grid->SetColCount(3);
    Panel6->setFixedWidth(zeitraum_->width());
    zeitraum_->PlaceStrip(0);
    zeitraum_->show();
    // The strip sets Panel6's height to the rows it shows; the bottom bar keeps
    // room for all three, so the table above does not jump with each choice.
    Panel3->setMinimumHeight(zeitraum_->Strip().FullHeight());
    if (auto* bar = dynamic_cast<platform::TBesideOrBelowLayout*>(Panel3->layout()))
        bar->SetFirstHeightFloor(zeitraum_->Strip().FullHeight());

    // Period: 1 January of this year to today.
    const QDate today = QDate::currentDate();
    evaluator_->View().PeriodEnd = platform::Now();
    evaluator_->View().PeriodStart = platform::EncodeDate(today.year(), 1, 1);
    evaluator_->DayBegin = -1.0;
    zeitraum_->SetPeriod(1, DayNumberFromDMY(1, 1, today.year()),
                         DayNumberFromDMY(today.day(), today.month(), today.year()), 1, 1);
    zeitraum_->SetPeriodCallback([this](uint16_t fd, uint16_t fm, uint16_t fy, uint16_t td, uint16_t tm,
                                        uint16_t ty) { PeriodChanged(fd, fm, fy, td, tm, ty); });

    // External programs: a button only for a program that was found.
    programs_.Find();
    OxRV_Knopf->setVisible(programs_.OxRV.Visible);
    if (programs_.OxRV.Visible)
        OxRV_Knopf->setToolTip(programs_.OxRV.Hint);
    OxQM_Knopf->setVisible(programs_.OxQM.Visible);
    if (programs_.OxQM.Visible)
        OxQM_Knopf->setToolTip(programs_.OxQM.Hint);
    ZTauslesen_Knopf->setVisible(programs_.Readout.Visible);
    PlaceToolButtons();

    // Ordinary event codes and event-code texts; the head template of the
    // language (its file name comes with the settings).
    decoder_.LoadFromProgramDirectory(language_.EventCodeFile);
    headTemplate_.LoadHeadTemplate(language_.HeadTemplateAbbreviation, state_.Settings, language_.Messages[4],
                                   language_.Messages[5]);

    // Event hint window.
    EventHint = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    EventHint->setObjectName(QStringLiteral("EventHint"));
    EventHint->setFrameShape(QFrame::Box);
    EventHint->setMargin(3);
    EventHint->hide();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState appState) {
        if (appState != Qt::ApplicationActive)
            ReleaseHint();
    });

    ConnectHooks();
    ConnectViewSwitches();
}

void TAV_HauptFormular::BuildControls()
{
    setWindowTitle(QStringLiteral("Valdran: Auswertung von Archivdateien"));
    setMinimumSize(400, 300);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Zentrum"));
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    setCentralWidget(central);

    Trenner = new QSplitter(Qt::Horizontal, central);
    Trenner->setObjectName(QStringLiteral("Trenner"));
    Trenner->setChildrenCollapsible(false);
    connect(Trenner, &QSplitter::splitterMoved, this, [this] {
        if (!Trenner->sizes().isEmpty())
            storedTreeWidth_ = Trenner->sizes().constFirst();
    });

    Panel2 = new QWidget(Trenner);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setMinimumWidth(settings::SplitterMinimum);
    auto* panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);

    Panel1 = new QWidget(Trenner);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    panel1Layout->setSpacing(2);

    Status_Box = new QFrame(Panel1);
    Status_Box->setObjectName(QStringLiteral("Status_Box"));
    Status_Box->setFrameShape(QFrame::StyledPanel);
    auto* statusLayout = new QHBoxLayout(Status_Box);
    Status_Label = new QLabel(Status_Box);
    Status_Label->setObjectName(QStringLiteral("Status_Label"));
    Status_Label->installEventFilter(this);
    statusLayout->addWidget(Status_Label);
    Status_Box->hide();
    // The status line keeps its own height at the top; it does not fill the
    // client area while the table is hidden.
    Status_Box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    panel1Layout->addWidget(Status_Box);          // index 0 until the memo comes in

    Hinweis_Panel = new QFrame(Panel1);
    Hinweis_Panel->setObjectName(QStringLiteral("Hinweis_Panel"));
    auto* hintLayout = new QHBoxLayout(Hinweis_Panel);
    Hint_Label = new QLabel(QStringLiteral("Hinweis"), Hinweis_Panel);
    Hint_Label->setObjectName(QStringLiteral("Hint_Label"));
    hintLayout->addWidget(Hint_Label);
    Hinweis_Label = new QLabel(Hinweis_Panel);
    Hinweis_Label->setObjectName(QStringLiteral("Hinweis_Label"));
    hintLayout->addWidget(Hinweis_Label, 1);
    SpeedButton1 = MakeButton(Hinweis_Panel, QStringLiteral("SpeedButton1"), QStringLiteral("OK"), QString());
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    hintLayout->addWidget(SpeedButton1);

    Panel4 = new QWidget(Panel1);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* chartLayout = new QVBoxLayout(Panel4);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    Panel4->hide();
    panel1Layout->addWidget(Panel4);
    panel1Layout->addWidget(Hinweis_Panel);
    // Takes the free space only while nothing with a stretch (the grid) is shown.
    panel1Layout->addStretch(0);

    Trenner->addWidget(Panel2);
    Trenner->addWidget(Panel1);
    Trenner->setStretchFactor(0, 0);
    Trenner->setStretchFactor(1, 1);
    centralLayout->addWidget(Trenner, 1);

    // The bottom bar: the period strip, and the switches beside it where the
    // window is wide enough, else below it; the switches wrap rather than
    // lose their captions, and a window narrower than the strip scrolls the
    // bar sideways.
    auto* bottomBar = new platform::TBarScrollArea(central);
    bottomBar->setObjectName(QStringLiteral("BottomBar"));
    Panel3 = new QWidget(bottomBar);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel6 = new QWidget(Panel3);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setMinimumHeight(60);

    Panel5 = new QWidget(Panel3);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* switches = new platform::TWrapLayout(Panel5);
    switches->setContentsMargins(6, 6, 6, 6);
    E_Schalter = MakeButton(Panel5, QStringLiteral("E_Schalter"), QStringLiteral("Alle"), QStringLiteral("Einzelwerte"));
    T_Schalter = MakeButton(Panel5, QStringLiteral("T_Schalter"), QStringLiteral("Tag"), QStringLiteral("Tageswerte"));
    M_Schalter = MakeButton(Panel5, QStringLiteral("M_Schalter"), QStringLiteral("Mon"), QStringLiteral("Monatswerte"));
    viewGroup_ = new QButtonGroup(this);
    viewGroup_->setExclusive(true);
    for (QToolButton* b : {E_Schalter.data(), T_Schalter.data(), M_Schalter.data()}) {
        b->setCheckable(true);
        viewGroup_->addButton(b);
        switches->addWidget(b);
    }
    E_Schalter->setChecked(true);
    Grafik_Schalter = MakeSwitch(Panel5, QStringLiteral("Grafik_Schalter"), QStringLiteral("Grafik"));
    ZST_Schalter = MakeSwitch(Panel5, QStringLiteral("ZST_Schalter"), QStringLiteral("Zähler"));
    Differenzen_Schalter = MakeSwitch(Panel5, QStringLiteral("Differenzen_Schalter"), QStringLiteral("Differenz"));
    Linien_Schalter = MakeSwitch(Panel5, QStringLiteral("Linien_Schalter"), QStringLiteral("Linien"));
    Zusatz_Schalter = MakeSwitch(Panel5, QStringLiteral("Zusatz_Schalter"), QStringLiteral("Alles"));
    for (QCheckBox* c : {Grafik_Schalter.data(), ZST_Schalter.data(), Differenzen_Schalter.data(),
                         Linien_Schalter.data(), Zusatz_Schalter.data()})
        switches->addWidget(c);
    new platform::TBesideOrBelowLayout(Panel3, Panel6, Panel5);
    bottomBar->SetBar(Panel3);
    centralLayout->addWidget(bottomBar);

    Konvert_Schalter = MakeSwitch(central, QStringLiteral("Konvert_Schalter"), QStringLiteral("Sonderzeichen konvertieren"));
    Konvert_Schalter->setChecked(true);
    Konvert_Schalter->hide();
    Zeit_Label = new QLabel(QStringLiteral("Zeit"), central);
    Zeit_Label->setObjectName(QStringLiteral("Zeit_Label"));
    Zeit_Label->hide();
    Auswert_Label = new QLabel(QStringLiteral("Zählerstände"), central);
    Auswert_Label->setObjectName(QStringLiteral("Auswert_Label"));
    Auswert_Label->setToolTip(QStringLiteral("Diff."));
    Auswert_Label->hide();
    for (auto [list, name] : {std::pair{&Feld_Liste, "Feld_Liste"}, std::pair{&Melde_Liste, "Melde_Liste"},
                              std::pair{&Status_Liste, "Status_Liste"}}) {
        *list = new QListWidget(central);
        (*list)->setObjectName(QString::fromLatin1(name));
        (*list)->hide();
    }

    Optionen_Knopf = MakeIconButton(central, QStringLiteral("Optionen_Knopf"), QStyle::SP_FileDialogInfoView,
                                    QStringLiteral("Optionen"), QStringLiteral("Einstellungen"));
    OxRV_Knopf = MakeButton(central, QStringLiteral("OxRV_Knopf"), QStringLiteral("RV"), QString());
    OxQM_Knopf = MakeButton(central, QStringLiteral("OxQM_Knopf"), QStringLiteral("QM"), QString());
    ZTauslesen_Knopf = MakeIconButton(central, QStringLiteral("ZTauslesen_Knopf"), QStyle::SP_DriveHDIcon,
                                      QStringLiteral("Auslesen"), QString());
    Aktualisieren_Knopf = MakeIconButton(central, QStringLiteral("Aktualisieren_Knopf"), QStyle::SP_BrowserReload,
                                         QStringLiteral("Aktualisieren"), QStringLiteral("Verzeichnis neu einlesen"));
    Abbruch_Knopf = MakeIconButton(central, QStringLiteral("Abbruch_Knopf"), QStyle::SP_BrowserStop,
                                   QStringLiteral("Abbruch"), QStringLiteral("Abbrechen"));
    connect(Aktualisieren_Knopf, &QToolButton::clicked, this, [this] { Update1Click(); });
    connect(Abbruch_Knopf, &QToolButton::clicked, this, [this] { Abbruch_KnopfClick(); });
    connect(Optionen_Knopf, &QToolButton::clicked, this, [this] { Optionen_KnopfClick(); });
    connect(OxRV_Knopf, &QToolButton::clicked, this, [this] { OxRV_KnopfClick(); });
    connect(OxQM_Knopf, &QToolButton::clicked, this, [this] { OxQM_KnopfClick(); });
    connect(ZTauslesen_Knopf, &QToolButton::clicked, this, [this] { ZTauslesen_KnopfClick(); });
    ZTauslesen_Knopf->setToolTip(external_programs::ReadoutHint());

    // Right click on "Grafik": the chart options, as long as the language
    // keeps the popup.
    Grafik_Schalter->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grafik_Schalter, &QWidget::customContextMenuRequested, this, [this] {
        if (chartPopupEnabled_)
            Grafik_SchalterContextPopup();
    });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Update1 = PopupMenu1->addAction(QStringLiteral("Aktualisieren"));
    Update1->setObjectName(QStringLiteral("Update1"));
    N1 = PopupMenu1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Allesffnen1 = PopupMenu1->addAction(QStringLiteral("Alles öffnen"));
    Allesffnen1->setObjectName(QStringLiteral("Allesffnen1"));
    Allesschliessen1 = PopupMenu1->addAction(QStringLiteral("Alles schliessen"));
    Allesschliessen1->setObjectName(QStringLiteral("Allesschliessen1"));
    SprachDateien_MenuItem = PopupMenu1->addAction(QStringLiteral("Schreibe Sprach-Dateien"));
    SprachDateien_MenuItem->setObjectName(QStringLiteral("SprachDateien_MenuItem"));
    SprachDateien_MenuItem->setVisible(false);
    connect(Update1, &QAction::triggered, this, [this] { Update1Click(); });
    connect(Allesffnen1, &QAction::triggered, this, [this] { Allesffnen1Click(); });
    connect(Allesschliessen1, &QAction::triggered, this, [this] { Allesschliessen1Click(); });
    connect(SprachDateien_MenuItem, &QAction::triggered, this, [this] { SprachDateien_MenuItemClick(); });
}

void TAV_HauptFormular::RegisterTranslatables()
{
    // Language ids of the main window (offset 0); the hidden lists' items
    // follow their list's id (61..73, 81..88, 91..93).
    using K = platform::TTranslatableKind;
    translations_.Register(Update1, 2, K::MenuItem);
    translations_.Register(Allesffnen1, 3, K::MenuItem);
    translations_.Register(Allesschliessen1, 4, K::MenuItem);
    translations_.Register(SprachDateien_MenuItem, 5, K::MenuItem);
    translations_.Register(Hint_Label, 11, K::Label);
    translations_.Register(Zeit_Label, 12, K::Label);
    translations_.Register(Konvert_Schalter, 14, K::CheckBox);
    translations_.Register(E_Schalter, 20, K::SpeedButton);
    translations_.Register(T_Schalter, 21, K::SpeedButton);
    translations_.Register(M_Schalter, 22, K::SpeedButton);
    translations_.Register(Grafik_Schalter, 23, K::CheckBox);
    translations_.Register(ZST_Schalter, 24, K::CheckBox);
    translations_.Register(Differenzen_Schalter, 25, K::CheckBox);
    translations_.Register(Linien_Schalter, 26, K::CheckBox);
    translations_.Register(Zusatz_Schalter, 27, K::CheckBox);
    translations_.Register(Optionen_Knopf, 30, K::SpeedButton);
    translations_.Register(Aktualisieren_Knopf, 31, K::SpeedButton);
    translations_.Register(Abbruch_Knopf, 32, K::SpeedButton);
    translations_.Register(ZTauslesen_Knopf, 33, K::SpeedButton);
    translations_.Register(Auswert_Label, 40, K::Label);
    translations_.Register(Feld_Liste, 60, K::ListBox);
    translations_.Register(Melde_Liste, 80, K::ListBox);
    translations_.Register(Status_Liste, 90, K::ListBox);
}

QList<QToolButton*> TAV_HauptFormular::MainToolButtons() const
{
    return {Optionen_Knopf.data(), OxRV_Knopf.data(), OxQM_Knopf.data(),
            ZTauslesen_Knopf.data(), Aktualisieren_Knopf.data(), Abbruch_Knopf.data()};
}

void TAV_HauptFormular::PlaceToolButtons()
{
    // From left to right behind the font button, 2 pixels after it; a hidden
    // button takes no room.
    int x = 0;
    int y = 0;
    int h = 24;
    if (tabAus_ && tabAus_->SchriftKnopf) {
        x = tabAus_->SchriftKnopf->x() + tabAus_->SchriftKnopf->width() + 2;
        y = tabAus_->SchriftKnopf->y();
        h = tabAus_->SchriftKnopf->height();
    }
    for (QToolButton* button : MainToolButtons()) {
        if (!button)
            continue;
        button->adjustSize();
        button->setGeometry(x, y, std::max(button->sizeHint().width(), h), h);
        if (!button->isHidden())
            x += button->width();
    }
}

// ---- Language ------------------------------------------------------------------------

void TAV_HauptFormular::InitLanguage()
{
    SetLanguage(platform::UserLanguageAbbreviation());
}

void TAV_HauptFormular::SetLanguage(const QString& abbreviation)
{
    languageReader_.reset();
    language_ = ChooseLanguage(abbreviation);
    SprachDateien_MenuItem->setVisible(ShowLanguageFilesMenuItem());
    InstallQtTranslations(language_.IsGerman());
    // Our stand-ins for the platform's dialogs speak as Qt's own do.
    platform::SetPlatformDialogsGerman(language_.IsGerman());
    ResetHeaderKeyTable();

    chartPopupEnabled_ = language_.IsGerman();
    Grafik_Schalter->setContextMenuPolicy(chartPopupEnabled_ ? Qt::CustomContextMenu : Qt::NoContextMenu);
    if (!language_.IsGerman()) {
        for (int i = 0; i < HeaderKeyCount; ++i)
            HeaderKeyTable[std::size_t(i)].Caption = HeaderKeyEnglishCaptions[std::size_t(i)];
        ApplyBuiltInTexts(translations_, EnglishTexts_Haupt());
        if (options_)
            ApplyBuiltInTexts(options_->Translations(), EnglishTexts_Optionen());
        if (directorySelection_)
            ApplyBuiltInTexts(directorySelection_->Translations(), EnglishTexts_PfadMaske());
        if (chart_)
            ApplyBuiltInTexts(chart_->Translations(), EnglishTexts_Chart());
        if (preview_)
            ApplyBuiltInTexts(preview_->Translations(), EnglishTexts_Vorschau());
        if (tabAus_)
            SetEnglishTexts(*tabAus_);
    }

    if (language_.NeedsModule()) {
        for (QToolButton* b : {E_Schalter.data(), T_Schalter.data(), M_Schalter.data()})
            b->setFixedWidth(36);
        WriteLanguageKeyIfMissing(language_.Abbreviation);
        languageReader_ = std::make_unique<t_ZT_SPR_Auswerten>(t_ZT_SPR_Auswerten::ProgramModulePrefix());
        FillLanguageLists();
        const t_ZT_SPR_Auswerten* reader = languageReader_.get();
        TranslateForm(reader, &translations_, language_offsets::MainWindow);
        TakeLanguageLists();
        if (options_)
            TranslateForm(reader, &options_->Translations(), language_offsets::Options);
        if (directorySelection_)
            TranslateForm(reader, &directorySelection_->Translations(), language_offsets::DirectorySelection);
        if (chart_)
            TranslateForm(reader, &chart_->Translations(), language_offsets::Chart);
        if (preview_)
            TranslateForm(reader, &preview_->Translations(), language_offsets::PagePreview);
        if (tabAus_)
            TranslateForm(reader, &tabAus_->Translations(), language_offsets::TableWindow);
    }

    // For every language.
    language_.AuswertCaption = Auswert_Label->text();
    language_.AuswertHint = Auswert_Label->toolTip();
    language_.CounterText = CounterEvaluationText(language_.AuswertCaption, language_.AuswertHint);
    Aktualisieren_Knopf->setToolTip(Update1->text());
    setWindowTitle(windowTitle() + QStringLiteral(" - v") + ProgramVersionText());
}

void TAV_HauptFormular::FillLanguageLists()
{
    Feld_Liste->clear();
    for (const THeaderKey& key : HeaderKeyTable)
        Feld_Liste->addItem(key.Caption);
    Melde_Liste->clear();
    for (const QString& text : language_.Messages)
        Melde_Liste->addItem(text);
    Status_Liste->clear();
    for (const QString& text : language_.StatusLines)
        Status_Liste->addItem(text);
}

void TAV_HauptFormular::TakeLanguageLists()
{
    if (Feld_Liste->count() == HeaderKeyCount)
        for (int i = 0; i < HeaderKeyCount; ++i)
            HeaderKeyTable[std::size_t(i)].Caption = Feld_Liste->item(i)->text();
    if (Melde_Liste->count() == MainMessageCount)
        for (int i = 0; i < MainMessageCount; ++i)
            language_.Messages[std::size_t(i)] = Melde_Liste->item(i)->text();
    if (Status_Liste->count() == StatusLineCount)
        for (int i = 0; i < StatusLineCount; ++i)
            language_.StatusLines[std::size_t(i)] = Status_Liste->item(i)->text();
}

void TAV_HauptFormular::SprachDateien_MenuItemClick()
{
    FillLanguageLists();
    // The caption's version is appended at start-up, not translated.
    const QString caption = windowTitle();
    const QString suffix = QStringLiteral(" - v") + ProgramVersionText();
    if (caption.endsWith(suffix))
        setWindowTitle(caption.chopped(suffix.size()));
    t_ZT_SPR_Erstellen generator;
    generator.AddForm(&translations_, language_offsets::MainWindow);
    if (options_)
        generator.AddForm(&options_->Translations(), language_offsets::Options);
    if (directorySelection_)
        generator.AddForm(&directorySelection_->Translations(), language_offsets::DirectorySelection);
    if (chart_)
        generator.AddForm(&chart_->Translations(), language_offsets::Chart);
    if (preview_)
        generator.AddForm(&preview_->Translations(), language_offsets::PagePreview);
    if (tabAus_)
        generator.AddForm(&tabAus_->Translations(), language_offsets::TableWindow);
    setWindowTitle(caption);
    generator.Save();
}

void TAV_HauptFormular::Grafik_SchalterContextPopup()
{
    if (!chart_)
        return;
    // No exception may leave a context-menu handler; the panel goes back to
    // the chart window and the dialog is freed whatever happens.
    try {
        std::unique_ptr<TGrfOpt_Form> dialog = std::make_unique<TGrfOpt_Form>(this);
        QWidget* panel = chart_->Panel2;
        QRect room;
        if (panel) {
            // The chart window is never shown, so its layout may never have
            // sized the panel: at least the height its contents ask for.
            const int height = std::max(panel->height(), panel->sizeHint().height());
            // Taller by the panel and 8 pixels; wider too should the panel not fit.
            const int width = std::max(dialog->width(), panel->sizeHint().width() + 16);
            room = QRect(8, dialog->LentPanelTop(), width - 16, height);
            dialog->setFixedSize(width, dialog->height() + height + 8);
        }
        TLentPanel lent(panel, dialog.get(), room);
        const QFont gridFont = tabAus_ && tabAus_->StringGrid1 ? tabAus_->StringGrid1->font() : font();
        dialog->LoadChartOptionsDialog(chartOptions_, gridFont);
        dialog->Execute();
        // The tool bar's switches first, then the dialog's fields win.
        chart_->SaveChartOptions(chartOptions_);
        dialog->StoreChartOptionsDialog(chartOptions_);
        chart_->LoadChartOptions(chartOptions_);
        chart_->Anzeige_Update();
    } catch (...) {
    }
}

// ---- Options and external programs ------------------------------------------------------

void TAV_HauptFormular::Optionen_KnopfClick()
{
    if (!options_)
        return;
    if (state_.Busy) {
        platform::Beep();
        return;
    }
    ApplyOptionsResult(options_->Execute(state_.Settings, headTemplate_));
}

void TAV_HauptFormular::ApplyOptionsResult(const TOptionsResult& result)
{
    if (!result.Accepted)
        return;
    if (tabAus_)
        tabAus_->SetTableMode(false, state_.Settings.Format, 9);
    if (result.ReloadTemplate)
        headTemplate_.LoadHeadTemplateFile(state_.Settings.KopfDatei);
    if (result.Rescan) {
        ScanArchiveFiles(true);
        HideTable();
    } else {
        Anzeige_Update(Differenzen_Schalter);
    }
}

void TAV_HauptFormular::OxRV_KnopfClick()
{
    programs_.OxRV_KnopfClick();
}

void TAV_HauptFormular::OxQM_KnopfClick()
{
    programs_.OxQM_KnopfClick();
}

void TAV_HauptFormular::ZTauslesen_KnopfClick()
{
    programs_.ZTauslesen_KnopfClick();
}

void TAV_HauptFormular::ConnectHooks()
{
    hooks_.SetHourglass = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    hooks_.SetRunning = [this](bool on) { SetRunning(on); };
    hooks_.ShowStatusMessage = [this](int n) { ShowStatusMessage(n); };
    hooks_.ShowEventHint = [this](const QStringList& lines, int x, int y) { ShowEventHint(lines, x, y); };
    hooks_.HideEventHint = [this] { HideEventHint(); };
    hooks_.SetupTree = [this] { SetupTree(); };
    hooks_.ClearTree = [this] {
        if (baum_)
            baum_->ClearTree();
    };
    hooks_.SetAbortEnabled = [this](bool on) {
        if (Abbruch_Knopf)
            Abbruch_Knopf->setEnabled(on);
    };
    hooks_.ShowTable = [this](bool grid, bool titleMemo) { ShowTable(grid, titleMemo); };
    hooks_.InstallTableDrawCell = [this] {
        if (tabAus_ && tabAus_->StringGrid1)
            tabAus_->StringGrid1->OnDrawCell = [this](QPainter& painter, int col, int row, const QRect& rect,
                                                      TGridDrawState drawState) {
                TableDrawCell(painter, col, row, rect, drawState);
            };
    };
    hooks_.UpdateChart = [this] { Grafik_SchalterClick(Grafik_Schalter); };
}

void TAV_HauptFormular::ConnectViewSwitches()
{
    // clicked() comes from the user only: setChecked never runs a handler.
    for (QToolButton* b : {E_Schalter.data(), T_Schalter.data(), M_Schalter.data()})
        connect(b, &QToolButton::clicked, this, [this, b] { Anzeige_Update(b); });
    for (QCheckBox* c : {ZST_Schalter.data(), Differenzen_Schalter.data(), Zusatz_Schalter.data()})
        connect(c, &QCheckBox::clicked, this, [this, c] { Anzeige_Update(c); });
}

void TAV_HauptFormular::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!firstScanDone_) {
        firstScanDone_ = true;
        // After the window is on the screen, not while it is being shown.
        QMetaObject::invokeMethod(this, [this] { FormShow(); }, Qt::QueuedConnection);
    }
}

void TAV_HauptFormular::FormShow()
{
    resizeBound_ = true;
    FormResize();
    if (!ScanArchiveFiles(false)) {
        if (state_.AutoMode) {
            autoCloseTimer_ = new QTimer(this);
            autoCloseTimer_->setSingleShot(true);
            connect(autoCloseTimer_, &QTimer::timeout, this, [this] {
                autoCloseTimer_->stop();
                close();
            });
            autoCloseTimer_->start(AutoCloseDelayMs);
        } else {
            ChooseArchiveDirectory();
        }
    }
    // Only now the chart switches get their handler, so the states restored
    // by the settings draw no chart before the first table.
    if (!chartSwitchesBound_) {
        chartSwitchesBound_ = true;
        connect(Grafik_Schalter, &QCheckBox::clicked, this, [this] { Grafik_SchalterClick(Grafik_Schalter); });
        connect(Linien_Schalter, &QCheckBox::clicked, this, [this] { Grafik_SchalterClick(Linien_Schalter); });
    }
}

void TAV_HauptFormular::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (resizeBound_)
        FormResize();
}

void TAV_HauptFormular::FormResize()
{
    if (Panel4 && Panel1)
        Panel4->setFixedHeight(Panel1->height() / 2);
}

bool TAV_HauptFormular::FormCloseQuery()
{
    // A printout lets messages through between rows, as an evaluation does.
    if (state_.Busy || platform::PrintJobRunning()) {
        platform::Beep();
        return false;
    }
    return true;
}

void TAV_HauptFormular::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    HideEventHint();
    // The splitter's width as the user left it, before the window is hidden.
    if (Trenner && Trenner->isVisible() && !Trenner->sizes().isEmpty())
        storedTreeWidth_ = Trenner->sizes().constFirst();
    event->accept();
}

void TAV_HauptFormular::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    if (autoCloseTimer_)
        autoCloseTimer_->stop();
    SaveSettings(state_, CurrentViewState());

    // Nothing reaches the widgets any more.
    hooks_ = TEvaluationHooks{};
    HideEventHint();
    // The moved controls go with this window's client area, then the windows
    // that lent them (they never delete what they gave away).
    delete centralWidget();
    delete baum_.data();
    delete tabAus_.data();
    delete chart_.data();
    delete preview_.data();
    delete fileSelection_.data();
    delete directorySelection_.data();
    delete options_.data();
    languageReader_.reset();
    delete EventHint.data();
}

// ---- Commands ---------------------------------------------------------------------

void TAV_HauptFormular::Abbruch_KnopfClick()
{
    if (!state_.Busy) {
        close();
        return;
    }
    state_.Abort = true;
    if (baum_)
        baum_->ResetSelection();
}

void TAV_HauptFormular::Update1Click()
{
    if (state_.Busy) {
        platform::Beep();
        return;
    }
    ScanArchiveFiles(true);
    HideTable();
}

void TAV_HauptFormular::Allesffnen1Click()
{
    if (baum_)
        baum_->FullExpand();
}

void TAV_HauptFormular::Allesschliessen1Click()
{
    if (baum_)
        baum_->FullCollapse();
}

void TAV_HauptFormular::SpeedButton1Click()
{
    Hinweis_Panel->hide();
}

void TAV_HauptFormular::ReleaseHint()
{
    decoder_.HideEventHint(hooks_);
    HideEventHint();
}

bool TAV_HauptFormular::ScanArchiveFiles(bool ShowNotFound)
{
    return scanner_->ScanArchiveFiles(ShowNotFound);
}

void TAV_HauptFormular::ChooseArchiveDirectory()
{
    if (state_.Busy) {
        platform::Beep();
        return;
    }
    const auto& dialog = platform::Hooks().DirectoryDialog;
    if (!dialog)
        return;
    platform::TDirectoryDialogRequest request;
    request.StartDir = state_.Settings.ArchivPfad;
    QWidget* bar = Optionen_Knopf ? Optionen_Knopf->parentWidget() : nullptr;
    request.Left = x() + (bar ? bar->x() : 0) + (Optionen_Knopf ? Optionen_Knopf->x() : 0);
    request.Top = y() + 24 + (bar ? bar->y() + bar->height() : 0);
    const platform::TDirectoryDialogAnswer answer = dialog(request);
    if (!answer.Accepted)
        return;
    state_.Settings.ArchivPfad = WithTrailingSlash(answer.Directory);
    ScanArchiveFiles(true);
    HideTable();
}

void TAV_HauptFormular::HideTable()
{
    if (!tabAus_)
        return;
    if (tabAus_->StringGrid1)
        tabAus_->StringGrid1->hide();
    if (tabAus_->Memo1)
        tabAus_->Memo1->hide();
    if (Panel4)
        Panel4->hide();
    SyncChartControls();
    tabAus_->SetEvaluationLabel(QString());
}

// ---- Hooks ------------------------------------------------------------------------

void TAV_HauptFormular::SetRunning(bool on)
{
    if (Optionen_Knopf)
        Optionen_Knopf->setEnabled(!on);
    if (Aktualisieren_Knopf)
        Aktualisieren_Knopf->setEnabled(!on);
    if (Abbruch_Knopf)
        Abbruch_Knopf->setEnabled(on);
    if (Panel2)
        Panel2->setEnabled(!on);
    if (Panel3)
        Panel3->setEnabled(!on);
}

void TAV_HauptFormular::ShowStatusMessage(int n)
{
    if (!Status_Box || !Status_Label)
        return;
    QWidget* tree = baum_ ? static_cast<QWidget*>(baum_->VST.data()) : nullptr;
    if (n <= 0 || n >= StatusLineCount) {
        Status_Box->hide();
        if (tree)
            tree->unsetCursor();
        return;
    }
    Status_Label->setText(language_.StatusLines[std::size_t(n)]);
    const bool link = n == 1;
    Status_Label->setProperty("link", link);
    Status_Label->setStyleSheet(link ? QStringLiteral("color: #0000ff;") : QStringLiteral("color: #000000;"));
    Status_Label->setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (tree) {
        if (link)
            tree->setCursor(Qt::ForbiddenCursor);
        else
            tree->unsetCursor();
    }
    Status_Box->show();
}

bool TAV_HauptFormular::eventFilter(QObject* watched, QEvent* event)
{
    // The event type first: while the label is being destroyed it still sends
    // events through this filter, and reading the QPointer then would cast an
    // object that is no longer a QLabel.
    if (event->type() == QEvent::MouseButtonRelease && watched == Status_Label
        && Status_Label->property("link").toBool()) {
        ChooseArchiveDirectory();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TAV_HauptFormular::ShowTable(bool grid, bool titleMemo)
{
    if (!tabAus_)
        return;
    if (tabAus_->StringGrid1)
        tabAus_->StringGrid1->setVisible(grid);
    if (tabAus_->Memo1)
        tabAus_->Memo1->setVisible(titleMemo);
    if (!grid && Panel4) {
        Panel4->hide();
        SyncChartControls();
    }
}

void TAV_HauptFormular::ShowEventHint(const QStringList& lines, int x, int y)
{
    if (!EventHint || !tabAus_ || !tabAus_->StringGrid1)
        return;
    EventHint->setText(lines.join(QLatin1Char('\n')));
    EventHint->adjustSize();
    EventHint->move(tabAus_->StringGrid1->viewport()->mapToGlobal(QPoint(x, y)));
    EventHint->show();
}

void TAV_HauptFormular::HideEventHint()
{
    if (EventHint)
        EventHint->hide();
}

void TAV_HauptFormular::SetupTree()
{
    if (!baum_)
        return;
    baum_->SetSetupArmed(true);
    baum_->SetKeepSingleChildren(true);
    baum_->Setup(
        4, true, evaluator_->Selection, 6,
        [this](uint8_t level, const QString& node, const QString& parentText, const QString& grandParent,
               const QString& rows) {
            FillView();
            evaluator_->FillTable(level, node, parentText, grandParent, rows);
        },
        [this](uint8_t level, const QString& t1, const QString& t2, const QString& t3, QStringList& names,
               QStringList& rows) { scanner_->Levels().TreeLevelProvider(level, t1, t2, t3, names, rows); });
    evaluator_->FirstFile = true;
    Anzeige_Update(Differenzen_Schalter);
}

// ---- View states --------------------------------------------------------------------

TViewState TAV_HauptFormular::CurrentViewState() const
{
    TViewState view;
    if (Konvert_Schalter)
        view.Konvert = Konvert_Schalter->isChecked();
    view.Grafik = Grafik_Schalter && Grafik_Schalter->isChecked();
    view.Linien = Linien_Schalter && Linien_Schalter->isChecked();
    view.ZST = ZST_Schalter && ZST_Schalter->isChecked();
    view.Differenz = Differenzen_Schalter && Differenzen_Schalter->isChecked();
    view.Zusatz = Zusatz_Schalter && Zusatz_Schalter->isChecked();
    view.ZusatzEnabled = !Zusatz_Schalter || Zusatz_Schalter->isEnabled();
    view.Breite1 = storedTreeWidth_;
    if (Trenner && Trenner->isVisible() && !Trenner->sizes().isEmpty())
        view.Breite1 = Trenner->sizes().constFirst();
    view.Zeit = ViewMode();
    view.FontName = tableParams_.SchriftName;
    view.FontSize = tableParams_.SchriftGroesse;
    if (evaluator_)
        view.Selektion = evaluator_->Selection;
    return view;
}

void TAV_HauptFormular::ApplyViewState(const TViewState& view)
{
    // setChecked runs no click handler: loading starts no rebuild.
    Konvert_Schalter->setChecked(view.Konvert);
    state_.Konvert = view.Konvert;
    Grafik_Schalter->setChecked(view.Grafik);
    Linien_Schalter->setChecked(view.Linien);
    ZST_Schalter->setChecked(view.ZST);
    Differenzen_Schalter->setChecked(view.Differenz);
    Zusatz_Schalter->setChecked(view.Zusatz);
    Zusatz_Schalter->setEnabled(view.ZusatzEnabled);
    switch (view.Zeit) {
    case 1: T_Schalter->setChecked(true); break;
    case 2: M_Schalter->setChecked(true); break;
    default: E_Schalter->setChecked(true); break;
    }
    storedTreeWidth_ = std::max(settings::SplitterMinimum, view.Breite1);
    Trenner->setSizes({storedTreeWidth_, std::max(100, width() - storedTreeWidth_)});
}

uint8_t TAV_HauptFormular::ViewMode() const
{
    if (M_Schalter && M_Schalter->isChecked())
        return 2;
    if (T_Schalter && T_Schalter->isChecked())
        return 1;
    return 0;
}

void TAV_HauptFormular::FillView()
{
    TEvaluationView& view = evaluator_->View();
    view.ViewMode = ViewMode();
    view.Differenz = Differenzen_Schalter->isChecked();
    view.Zaehler = ZST_Schalter->isChecked();
    view.Alles = Zusatz_Schalter->isChecked();
    view.Grafik = Grafik_Schalter->isChecked();
    view.ZeitCaption = Zeit_Label->text();
    view.DifferenzCaption = Differenzen_Schalter->text();
    state_.Konvert = Konvert_Schalter->isChecked();
}

void TAV_HauptFormular::ReselectTree()
{
    if (baum_)
        baum_->ReportSelection();
}

// ---- View switches --------------------------------------------------------------------

void TAV_HauptFormular::Anzeige_Update(QObject* Sender)
{
    QCheckBox* alles = Zusatz_Schalter;
    QCheckBox* zaehler = ZST_Schalter;
    QCheckBox* differenz = Differenzen_Schalter;

    // Rules in this order, each on the states as they stand.
    if (alles->isChecked()) {
        if (Sender == alles)
            zaehler->setChecked(true);
        else if (Sender == zaehler && !zaehler->isChecked())
            alles->setChecked(false);
    }
    if (alles->isChecked() && differenz->isChecked()) {
        if (Sender == alles)
            differenz->setChecked(false);
        else if (Sender == differenz)
            alles->setChecked(false);
    }
    if (!zaehler->isChecked() && !differenz->isChecked()) {
        if (Sender == differenz)
            zaehler->setChecked(true);
        else if (Sender == zaehler)
            differenz->setChecked(true);
    }
    zaehler->setEnabled(!alles->isChecked());

    FillView();
    UpdatePeriodEnd();
    if (!evaluator_->FirstFile)
        ReselectTree();
}

void TAV_HauptFormular::UpdatePeriodEnd()
{
    const TEvaluationView& view = evaluator_->View();
    evaluator_->PeriodEffectiveEnd =
        view.PeriodEnd + 1.0 - (Differenzen_Schalter->isChecked() ? 0.0 : 1.0 / 86400.0);
}

void TAV_HauptFormular::PeriodChanged(uint16_t FromDay, uint16_t FromMonth, uint16_t FromYear, uint16_t ToDay,
                                      uint16_t ToMonth, uint16_t ToYear)
{
    const double newStart = platform::EncodeDate(FromYear, FromMonth, FromDay);
    const double newEnd = platform::EncodeDate(ToYear, ToMonth, ToDay);
    TEvaluationView& view = evaluator_->View();
    if (std::floor(newStart) == std::floor(view.PeriodStart) && std::floor(newEnd) == std::floor(view.PeriodEnd))
        return;
    view.PeriodStart = newStart;
    view.PeriodEnd = newEnd;
    if (evaluator_->DayBegin != -1.0) {
        view.PeriodStart += evaluator_->DayBegin;
        view.PeriodEnd += evaluator_->DayBegin;
    }
    UpdatePeriodEnd();
    FillView();
    ReselectTree();
}

void TAV_HauptFormular::Grafik_SchalterClick(QObject* Sender)
{
    if (Sender == Linien_Schalter && Linien_Schalter->isChecked() && !Grafik_Schalter->isChecked())
        Grafik_Schalter->setChecked(true);

    platform::TStringGridView* view = tabAus_ ? tabAus_->StringGrid1.data() : nullptr;
    const bool gridShown = view && !view->isHidden();
    bool show = false;
    if (Grafik_Schalter->isChecked() && gridShown) {
        platform::TStringGridModel& grid = tabAus_->Model().Grid();
        if (grid.RowCount() - grid.FixedRows() >= 2) {
            const TGridRect sel = grid.Selection();
            if (sel.Left == sel.Right && sel.Top == sel.Bottom)
                GridSelectAll(grid);
            show = PrepareChart();
        }
    }
    if (Panel4)
        Panel4->setVisible(show);
    if (show)
        tabAus_->Diagramm_KnopfClick();

    if (view) {
        if (gridShown)
            view->OnMouseUp = [this](const TGridMouseEvent& event) { TableMouseUp(event); };
        else
            view->OnMouseUp = nullptr;
    }
    SyncChartControls();
}

void TAV_HauptFormular::SyncChartControls()
{
    if (!chart_ || !Panel4)
        return;
    const bool shown = !Panel4->isHidden();
    for (QWidget* w : {static_cast<QWidget*>(chart_->Diagramm.data()), static_cast<QWidget*>(chart_->Drucken_Knopf.data()),
                       static_cast<QWidget*>(chart_->SpeedButton5.data())})
        if (w)
            w->setVisible(shown);
}

bool TAV_HauptFormular::PrepareChart()
{
    const TGridRect sel = tabAus_->Model().Grid().Selection();
    if (sel.Bottom > sel.Top || sel.Right > sel.Left) {
        if (Linien_Schalter->isChecked()) {
            chartOptions_.SeriesStyle = 5;
            chartOptions_.View3D = false;
            chartOptions_.LeftAxisAuto = SelectionHasDistinctCells();
        } else {
            chartOptions_.SeriesStyle = 0;
            chartOptions_.View3D = true;
            chartOptions_.LeftAxisAuto = true;
        }
        if (chart_)
            chart_->LoadChartOptions(chartOptions_);
    }
    return true;
}

bool TAV_HauptFormular::SelectionHasDistinctCells() const
{
    const platform::TStringGridModel& grid = tabAus_->Model().Grid();
    const TGridRect sel = grid.Selection();
    const int l = uint16_t(sel.Left);
    const int r = uint16_t(sel.Right);
    const int t = uint16_t(sel.Top);
    const int b = uint16_t(sel.Bottom);
    if (b == t && r == l)
        return false;
    const int firstRow = b > t ? t + 1 : t;
    const int firstCol = r > l ? l + 1 : l;
    const QString reference = grid.Cell(l, t);
    for (int c = firstCol; c <= r; ++c)
        for (int row = firstRow; row <= b; ++row)
            if (grid.Cell(c, row) != reference)
                return true;
    return false;
}

// ---- Table interaction -----------------------------------------------------------------

void TAV_HauptFormular::TableDrawCell(QPainter& painter, int ACol, int ARow, const QRect& Rect,
                                      TGridDrawState State)
{
    const TTableModel& model = tabAus_->Model();
    const platform::TStringGridModel& grid = model.Grid();
    const bool fixed = ARow < grid.FixedRows() || ACol < grid.FixedCols();
    platform::TColor color = model.GridColor;
    if (!fixed && grid.Cell(0, ARow) == QLatin1String("1")) {
        // A special event stays yellow also inside the selection.
        color = SpecialEventColor;
        State.Selected = false;
    }
    else if (!State.Selected && !State.Focused && !State.Fixed && ARow % 2 == 0)
        color = EvenRowColor;
    // The sort column's header cells stay bold through every repaint.
    const TFontStyles style = ARow < grid.FixedRows() && ACol == model.SortColumn ? TFontStyles(fsBold) : 0;
    tabAus_->DrawSortHeader(painter, Rect, ARow, ACol, color, State, style);
}

void TAV_HauptFormular::TableMouseUp(const TGridMouseEvent& event)
{
    platform::TStringGridModel& grid = tabAus_->Model().Grid();
    // A release over a fixed row is a header click (column sort).
    if (event.Row >= 0 && event.Row < grid.FixedRows()) {
        tabAus_->StringGrid1MouseUp(event);
        return;
    }
    const TGridRect sel = grid.Selection();
    if (sel.Left == sel.Right && sel.Top == sel.Bottom) {
        TCellClickContext context;
        context.StatusColumn = evaluator_->StatusColumn;
        context.NameRow = evaluator_->NameRow();
        context.RVDevice = state_.RVDevice;
        // A decoded status is read in the cell: its column grows to show it
        // whole (a code turned back stays in the width it has).
        if (decoder_.TableCellClick(grid, sel.Left, sel.Top, event.X, event.Y, context, hooks_)
            == TCellClickResult::Decoded)
            tabAus_->Model().WidenColumnFor(sel.Left, grid.CellView(sel.Left, sel.Top).size());
        return;
    }
    if (Grafik_Schalter->isChecked() && PrepareChart())
        tabAus_->StringGrid1MouseUp(event);
    if (ZST_Schalter->isChecked() && tabAus_->StringGrid1 && !tabAus_->StringGrid1->isHidden())
        evaluator_->ShowCounterDifference(sel.Top, sel.Bottom);
}

void TAV_HauptFormular::TableSelectAll()
{
    platform::TStringGridModel& grid = tabAus_->Model().Grid();
    GridSelectAll(grid);
    if (tabAus_->StringGrid1)
        tabAus_->StringGrid1->UpdateFromModel();
    Grafik_SchalterClick(Grafik_Schalter);
    if (ZST_Schalter->isChecked() && tabAus_->StringGrid1 && !tabAus_->StringGrid1->isHidden()) {
        const TGridRect sel = grid.Selection();
        evaluator_->ShowCounterDifference(sel.Top, sel.Bottom);
    }
}
