#pragma once
// The chart window. The main window never shows it: it takes the chart
// Diagramm into its chart panel and the print and copy buttons into its switch
// panel. Until the chart is drawn here the chart area stays empty; the option
// record is kept so that LoadChartOptions and SaveChartOptions round-trip.
#include "output/GraphicsSettings.h"
#include "platform/StringGrid.h"
#include "platform/forms/TranslationRegistry.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

class TZT_Chart : public QWidget {
    Q_OBJECT
public:
    explicit TZT_Chart(QWidget* parent = nullptr);
    ~TZT_Chart() override;

    // ---- Controls the main window moves -----------------------------------------
    QPointer<QFrame> Diagramm;          // the chart area
    QPointer<QToolButton> Drucken_Knopf;
    QPointer<QToolButton> SpeedButton5;
    QPointer<QWidget> Panel2;           // the chart's switch panel

    // ---- Option record ------------------------------------------------------------
    // Takes the record's switches into the window.
    void LoadChartOptions(const TChartOptions& options);
    // Writes the window's switch states back into the record.
    void SaveChartOptions(TChartOptions& options) const;
    const TChartOptions& Options() const { return options_; }
    // Rebuilds the chart from the current options (nothing drawn yet).
    void Anzeige_Update();
    // How often LoadChartOptions ran (the main window loads before drawing).
    int LoadCount() const { return loadCount_; }

    // ---- Charting the table window's grid ----------------------------------------
    // Charts the grid's marked rectangle: keeps the grid, and when the marked
    // rectangle is unusable shows message 75 ("Kein Bereich markiert.") and
    // changes nothing else.
    void ShowChartForGrid(platform::TStringGridModel& grid);
    // The grid's usable marked rectangle (see ::GetGridSelection).
    static bool GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left,
                                 int& bottom, int& right);
    // Whether the chart area holds at least one series.
    bool ChartHasSeries() const;
    // Puts the chart on the clipboard as an enhanced metafile for a report to
    // paste; false when there is nothing to copy.
    bool CopyChartForReport();
    // The title memo of the table window, whose lines become the chart title.
    void SetTitleMemo(QPlainTextEdit* memo);
    // An extra title line (cut to 132 characters).
    void SetChartTitle(const QString& title);

    QPointer<platform::TStringGridModel> Grid;  // the grid being charted
    QPointer<QPlainTextEdit> TitleMemo;
    QString ChartTitle;
    int SelTop = 0;                             // the charted rectangle, inclusive
    int SelLeft = 0;
    int SelBottom = 0;
    int SelRight = 0;
    // How often ShowChartForGrid charted a usable rectangle.
    int ChartBuildCount() const { return chartBuildCount_; }

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

private:
    TChartOptions options_;
    int loadCount_ = 0;
    int chartBuildCount_ = 0;
    platform::TFormTranslations translations_{this};
};

extern TZT_Chart* ZT_Chart;
