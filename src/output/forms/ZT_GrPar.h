#pragma once
// The chart options dialog: line and marker style of the twelve curves, bar
// layout and gap, the scaling of the two value axes, the second and third
// axis switches, the print-always-landscape and axes-coloured switches, and
// the chart colours, picked by clicking a demonstration chart. The main window
// creates it for one run from the context menu of its chart switch and frees
// it afterwards; while it runs, the chart window's tool bar Panel2 is lent to
// it. It has no OK or Cancel button: its values are taken however it closes.
// Created after start-up, it keeps its German texts.
#include "output/ChartOptionsDialog.h"
#include "output/GraphicsSettings.h"
#include "platform/ChartModel.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace platform {
class TChartPlot;
class TNumberEdit;
class TOwnerDrawList;
} // namespace platform

class TGrfOpt_Form : public QDialog {
    Q_OBJECT
public:
    explicit TGrfOpt_Form(QWidget* parent = nullptr);
    ~TGrfOpt_Form() override;

    // Fills the dialog from the record; the font is the demo chart's.
    void LoadChartOptionsDialog(const TChartOptions& options, const QFont& font);
    // Writes the dialog's fields back into the record.
    void StoreChartOptionsDialog(TChartOptions& options) const;

    // The dialog's values as the controls hold them, and setting them.
    chartoptions::TDialogState DialogState() const;
    void SetDialogState(const chartoptions::TDialogState& state);

    // Runs the dialog modally. Tests replace the run (ModalRun) so that no
    // modal loop starts; the replacement acts on the dialog and answers.
    int Execute();
    static std::function<int(TGrfOpt_Form&)> ModalRun;

    // ---- Handlers -----------------------------------------------------------------
    void TrackBar1Change();
    // Also the handler of DruckImmerQuer_Schalter.
    void yAuto_SchalterClick();
    void y2Auto_SchalterClick();
    // A click on the demo chart's part: picks the colour it stands for.
    void DemoChartClick(chartoptions::TDemoPart part, int bar);
    // Lets the user pick GraphicsSettings.Colours[index] through the colour
    // dialog; answers whether a colour was accepted.
    bool PickColour(int colourIndex, const QString& title);
    // Draws the demonstration chart anew (and keeps AchsenFarbig_Schalter
    // two pixels above its lower edge).
    void DrawDemoChart();

    // ---- Controls -------------------------------------------------------------------
    QGroupBox* Liniendarstellung_Box = nullptr;
    std::array<QLabel*, ChartCurveCount> Kurven_Label{};
    std::array<platform::TOwnerDrawList*, ChartCurveCount> Linie_AuswahlBox{};   // Linie1_AuswahlBox..
    std::array<platform::TOwnerDrawList*, ChartCurveCount> Marker_AuswahlBox{};  // Marker1_AuswahlBox..
    platform::TChartPlot* Demo_Diagramm = nullptr;   // the demonstration chart, drawing DemoModel
    QCheckBox* AchsenFarbig_Schalter = nullptr;
    QGroupBox* Balkendarstellung_Box = nullptr;
    QRadioButton* hintereinander_Schalter = nullptr;
    QRadioButton* nebeneinander_Schalter = nullptr;
    QRadioButton* uebereinander_Schalter = nullptr;
    QLabel* Balkenabstand_Label = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Prozent_Label = nullptr;
    QCheckBox* DruckImmerQuer_Schalter = nullptr;
    QGroupBox* YAchse_Box = nullptr;
    QCheckBox* yAuto_Schalter = nullptr;
    QLabel* yMin_Label = nullptr;
    platform::TNumberEdit* yMin_Edit = nullptr;
    QLabel* yMax_Label = nullptr;
    platform::TNumberEdit* yMax_Edit = nullptr;
    QGroupBox* AchseRechts_Box = nullptr;
    QCheckBox* y2Auto_Schalter = nullptr;
    QLabel* y2Min_Label = nullptr;
    platform::TNumberEdit* y2Min_Edit = nullptr;
    QLabel* y2Max_Label = nullptr;
    platform::TNumberEdit* y2Max_Edit = nullptr;
    QCheckBox* Achse2_Schalter = nullptr;
    QCheckBox* Achse3_Schalter = nullptr;
    QLabel* Farb_Label = nullptr;           // hidden: titles of the colour dialog
    QLabel* Grafik_Label_1 = nullptr;
    QLabel* Grafik_Label_2 = nullptr;

    // The demo chart's font, the colour dialog's title while it is shown and
    // its custom colours (the default colours, filled at creation).
    QFont DemoFont;
    QString ColourTitle;
    QList<QColor> ChartCustomColours;
    // What the demonstration chart shows.
    chart::TChartModel DemoModel;
    // The room below the controls where a lent panel goes.
    int LentPanelTop() const { return baseHeight_; }

private:
    void BuildControls();
    int baseHeight_ = 0;
    uint8_t labelRotation_ = 0;
};

extern TGrfOpt_Form* GrfOpt_Form;

// Lends a panel to another window for the lifetime of the object: it is
// moved there and shown, and given back to its own window, hidden and in its
// old place there (the same layout position when it had one), when the object
// goes, also when the other window failed.
class TLentPanel {
public:
    // The panel takes the geometry at in the borrower.
    TLentPanel(QWidget* panel, QWidget* borrower, const QRect& at);
    ~TLentPanel();
    TLentPanel(const TLentPanel&) = delete;
    TLentPanel& operator=(const TLentPanel&) = delete;
    void GiveBack();

private:
    QPointer<QWidget> panel_;
    QPointer<QWidget> home_;
    int layoutIndex_ = -1;
    QRect geometry_;
    bool wasHidden_ = false;
    bool lent_ = false;
};
