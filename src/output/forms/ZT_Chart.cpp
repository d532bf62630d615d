#include "output/forms/ZT_Chart.h"

#include "base/ZT_Meld.h"
#include "output/GridSelection.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

TZT_Chart* ZT_Chart = nullptr;

TZT_Chart::TZT_Chart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZT_Chart"));
    setWindowTitle(QStringLiteral("Diagramm"));
    DefaultChartOptions(options_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(2, 2, 2, 2);
    Drucken_Knopf = new QToolButton(Panel2);
    Drucken_Knopf->setObjectName(QStringLiteral("Drucken_Knopf"));
    Drucken_Knopf->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    Drucken_Knopf->setToolTip(QStringLiteral("Ausgabe des Diagramms auf den aktuellen Drucker."));
    bar->addWidget(Drucken_Knopf);
    SpeedButton5 = new QToolButton(Panel2);
    SpeedButton5->setObjectName(QStringLiteral("SpeedButton5"));
    SpeedButton5->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    SpeedButton5->setToolTip(QStringLiteral("Kopieren des Diagramms in die Zwischenablage."));
    bar->addWidget(SpeedButton5);
    bar->addStretch(1);
    layout->addWidget(Panel2);

    Diagramm = new QFrame(this);
    Diagramm->setObjectName(QStringLiteral("Diagramm"));
    Diagramm->setFrameShape(QFrame::NoFrame);
    Diagramm->setAutoFillBackground(true);
    layout->addWidget(Diagramm, 1);

    // Language ids of the controls that carry texts so far.
    translations_.Register(Drucken_Knopf, 1, platform::TTranslatableKind::SpeedButton);
    translations_.Register(SpeedButton5, 2, platform::TTranslatableKind::SpeedButton);

    ZT_Chart = this;
}

TZT_Chart::~TZT_Chart()
{
    if (ZT_Chart == this)
        ZT_Chart = nullptr;
}

void TZT_Chart::LoadChartOptions(const TChartOptions& options)
{
    options_ = options;
    ++loadCount_;
}

void TZT_Chart::SaveChartOptions(TChartOptions& options) const
{
    options = options_;
}

void TZT_Chart::Anzeige_Update() {}

bool TZT_Chart::GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left, int& bottom,
                                 int& right)
{
    return ::GetGridSelection(grid, top, left, bottom, right);
}

void TZT_Chart::ShowChartForGrid(platform::TStringGridModel& grid)
{
    Grid = &grid;
    if (!GetGridSelection(grid, SelTop, SelLeft, SelBottom, SelRight)) {
        ShowMessageNr(QString(), 75);
        return;
    }
    if (Panel2)
        Panel2->setEnabled(true);
    // Nothing is drawn yet, so the panel that holds the chart area keeps the
    // visibility its owner gave it.
    ++chartBuildCount_;
}

bool TZT_Chart::ChartHasSeries() const
{
    return false;
}

bool TZT_Chart::CopyChartForReport()
{
    return false;
}

void TZT_Chart::SetTitleMemo(QPlainTextEdit* memo)
{
    TitleMemo = memo;
}

void TZT_Chart::SetChartTitle(const QString& title)
{
    ChartTitle = title.left(132);
}
