#pragma once
// The chart window "Windows - Diagrammausgabe": draws the marked rectangle of
// the table window's grid as a chart. The main window never shows the window
// itself: it takes the chart Diagramm into its chart panel and the print and
// copy buttons into its switch panel; the tool bar Panel2 with the zoom,
// scroll, 3-D, switch, rotation and style controls shows inside the chart
// options dialog. Building the chart is TChartBuilder's (output/ChartBuild.h);
// the chart itself is a chart::TChartModel drawn by the view TChartPlot, which
// draws it for the printer, the preview, the metafile and the clipboard too.
#include "output/ChartBuild.h"
#include "output/GraphicsSettings.h"
#include "platform/ChartModel.h"
#include "platform/Clipboard.h"
#include "platform/StringGrid.h"
#include "platform/forms/ChartView.h"
#include "platform/forms/DirectionSpinner.h"
#include "platform/forms/TranslationRegistry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

class TZT_Chart : public QWidget {
    Q_OBJECT
public:
    explicit TZT_Chart(QWidget* parent = nullptr);
    ~TZT_Chart() override;

    // ---- Controls the main window moves -----------------------------------------
    QPointer<platform::TChartPlot> Diagramm;   // the chart
    QPointer<QToolButton> Drucken_Knopf;
    QPointer<QToolButton> SpeedButton5;
    QPointer<QWidget> Panel2;                  // the tool bar

    // ---- Tool bar ------------------------------------------------------------------
    QPointer<QToolButton> ZoomIn_Knopf;
    QPointer<QToolButton> ZoomOut_Knopf;
    QPointer<QToolButton> ZoomAus_Knopf;
    QPointer<platform::TDirectionSpinner> Verschieben_Knopf;
    QPointer<QCheckBox> dreiD_Schalter;
    QPointer<QScrollBar> ScrollBar2;           // 3-D depth, 1..100
    QPointer<QCheckBox> Legende1_Schalter;
    QPointer<QCheckBox> Legende2_Schalter;
    QPointer<QCheckBox> Werte_Schalter;
    QPointer<QCheckBox> Titel_Schalter;
    QPointer<QCheckBox> HilfsLinien_Schalter;
    QPointer<QCheckBox> Einheit_Schalter;
    QPointer<QWidget> Dreh_Panel;
    QPointer<QLabel> Dreh_Image;
    QPointer<QToolButton> Balken_Knopf;
    QPointer<QToolButton> QuerBalken_Knopf;
    QPointer<QToolButton> Flaechen_Knopf;
    QPointer<QToolButton> StufenFlaechen_Knopf;
    QPointer<QToolButton> Linien_Knopf;
    QPointer<QToolButton> Stufen_Knopf;
    QPointer<QToolButton> Torte_Knopf;
    QPointer<QToolButton> Vorschau_Knopf;
    QPointer<QToolButton> Speichern_Knopf;
    // Hidden carriers of translated hints: the depth bar's (caption) and the
    // spinner's (hint) on Label_3d, the rotation image's on Dreh_Label.
    QPointer<QLabel> Label_3d;
    QPointer<QLabel> Dreh_Label;

    // ---- Building the chart -------------------------------------------------------------
    // Charts the grid's marked rectangle; an unusable one gives message 75
    // ("Kein Bereich markiert.") and changes nothing else.
    void ShowChartForGrid(platform::TStringGridModel& grid);
    static bool GetGridSelection(const platform::TStringGridModel& grid, int& top, int& left,
                                 int& bottom, int& right);
    void BuildChart();
    void ApplyChartLook(chart::TChartModel& model, const QFont& font);
    void SetSeriesStyle(int style);
    // Whether the chart holds at least one curve (the report pastes it only then).
    bool ChartHasSeries() const;
    void ClearPointLabels();
    void SetTitleMemo(QPlainTextEdit* memo);
    void SetChartTitle(const QString& title);    // cut to 132 characters
    // Rebuilds when a grid is charted and the control holding Diagramm shows.
    void Anzeige_Update(QObject* Sender = nullptr);

    // ---- Option record ------------------------------------------------------------
    // Sets the tool bar and the window's copies from the record (no rebuild).
    void LoadChartOptions(const TChartOptions& options);
    // Writes the tool bar state and the window's copies back.
    void SaveChartOptions(TChartOptions& options) const;
    // The last loaded record as SaveChartOptions leaves it.
    TChartOptions Options() const;
    // How often LoadChartOptions ran (the main window loads before drawing).
    int LoadCount() const { return loadCount_; }

    // ---- Tool bar handlers ------------------------------------------------------------
    void ZoomIn_KnopfClick();
    void ZoomOut_KnopfClick();
    void ZoomAus_KnopfClick();
    // Scrolls both axes of a direction by percent of their range.
    void ScrollChart(bool horizontal, double percent);
    void Verschieben_KnopfClick(platform::TDirectionSpinner::TDirection direction);
    void dreiD_SchalterClick();
    void ScrollBar2Change();
    void Titel_SchalterClick();
    void HilfsLinien_SchalterClick();
    void Dreh_ImageClick();
    void ShowRotation();
    void Drucken_KnopfClick(QObject* Sender = nullptr);
    void Vorschau_KnopfClick();
    // The preview's page drawer (one page; the page number is ignored).
    void DrawChartPage(int32_t Page);
    void Speichern_KnopfClick();
    void SpeedButton5Click();

    // ---- Output ---------------------------------------------------------------------
    // Draws the chart into rect on painter, laid out at rect / scale pixels.
    void DrawChart(QPainter& painter, const QRectF& rect, double scale = 1.0) const;
    // The chart's size on screen (a default when it was never laid out).
    QSize ChartSize() const;
    // Writes the chart as a Windows metafile of its current size; message 45
    // with the file name when it cannot be written.
    bool WriteMetafile(const QString& fileName);
    // The clipboard content of a chart copy: metafile, SVG and PNG.
    platform::TClipboardContent ChartClipboardContent() const;
    // Puts the chart on the clipboard as SpeedButton5 does, without the beep,
    // for a report to paste; false when there is nothing to copy.
    bool CopyChartForReport();

    // ---- State ---------------------------------------------------------------------
    QPointer<platform::TStringGridModel> Grid;  // the grid being charted
    QPointer<QPlainTextEdit> TitleMemo;
    QString ChartTitle;
    int SelTop = 0;                             // the charted rectangle, inclusive
    int SelLeft = 0;
    int SelBottom = 0;
    int SelRight = 0;
    QString SavedHint;                          // Diagramm's hint while zooming is off
    int32_t ZoomLevel = 0;
    uint8_t SavedOrientation = 0;
    // How often ShowChartForGrid charted a usable rectangle.
    int ChartBuildCount() const { return chartBuildCount_; }

    // The build state (DataSeries, LabelColumnUsed, LabelLines, SeriesCount,
    // SeriesStyle, the option copies, PointLabels) and the chart shown.
    TChartBuilder& Builder() { return builder_; }
    const TChartBuilder& Builder() const { return builder_; }
    chart::TChartModel& Model() { return model_; }
    const chart::TChartModel& Model() const { return model_; }
    bool PrintLandscape() const { return builder_.PrintLandscape; }
    bool AxesColoured() const { return builder_.AxesColoured; }
    TChartSwitches Switches() const;

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolBar();
    void ApplyLabelHints();
    void PressStyleButton(int style);
    QWidget* ChartHolder() const;
    void RefreshChart(bool rebuild);

    TChartBuilder builder_;
    chart::TChartModel model_;
    TChartOptions loaded_;
    QButtonGroup* styleGroup_ = nullptr;
    bool depthMoved_ = false;
    bool unitBound_ = false;
    bool building_ = false;
    int loadCount_ = 0;
    int chartBuildCount_ = 0;
    platform::TFormTranslations translations_{this};
};

extern TZT_Chart* ZT_Chart;
