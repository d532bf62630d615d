#pragma once
// The main window of the program. It owns the shared records and the
// non-visual workers (reader, scanner, level provider, status decoder, head
// template, evaluator), creates the other windows once and takes their
// controls into its own client area, so the user sees one window: the
// selection tree on the left, title memo, table and chart in the middle, the
// period strip and the view switches at the bottom.
//
// Everything the workers do to widgets arrives through the TEvaluationHooks
// record that this window connects in FormCreate.
#include "evaluation/ArchiveReader.h"
#include "evaluation/ArchiveScan.h"
#include "evaluation/EvaluationHooks.h"
#include "evaluation/EvaluationState.h"
#include "evaluation/Evaluator.h"
#include "evaluation/ExternalPrograms.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/Language.h"
#include "evaluation/LanguageModule.h"
#include "evaluation/Settings.h"
#include "evaluation/StatusDecoder.h"
#include "evaluation/TableOutputParams.h"
#include "output/GraphicsSettings.h"
#include "platform/forms/StringGridView.h"
#include "platform/forms/TranslationRegistry.h"

#include <QMainWindow>
#include <QGroupBox>
#include <QPointer>
#include <QTimer>
#include <QStringList>
#include <cstdint>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QSplitter;
class QTimer;
class QToolButton;
class QGroupBox;
class QWidget;
class TBaum_Form;
class TFormPosition;
class TTabAus_Form;
class TZT_Chart;
class TZT_Vorschau;
class TDateiPfadMaske;
class TPfadMaske;
class TOptionen_Form;
class tZeitraumForm;
struct TOptionsResult;

class TAV_HauptFormular : public QMainWindow {
    Q_OBJECT
public:
    // The command line comes from the application's arguments.
    explicit TAV_HauptFormular(QWidget* parent = nullptr);
    // The same with the arguments after the program's name given.
    explicit TAV_HauptFormular(const QStringList& arguments, QWidget* parent = nullptr);
    ~TAV_HauptFormular() override;

    // ---- Records and workers ---------------------------------------------------
    TEvaluationState& State() { return state_; }
    TEvaluationHooks& EvaluationHooks() { return hooks_; }
    TTableOutputParams& TableOutputParams() { return tableParams_; }
    TChartOptions& ChartOptions() { return chartOptions_; }
    TArchiveScanner& Scanner() { return *scanner_; }
    TStatusDecoder& StatusDecoder() { return decoder_; }
    THeadTemplate& HeadTemplate() { return headTemplate_; }
    TEvaluator& Evaluator() { return *evaluator_; }
    const TLanguageChoice& Language() const { return language_; }
    // The language module reader; null unless a module language is in use.
    const t_ZT_SPR_Auswerten* LanguageReader() const { return languageReader_.get(); }
    const TExternalPrograms& ExternalPrograms() const { return programs_; }
    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    // The view states as the widgets show them now (what SaveSettings writes).
    TViewState CurrentViewState() const;

    // ---- Controls ----------------------------------------------------------------
    QPointer<platform::TStringGridView> StringGrid1;   // hidden file overview
    QPointer<TFormPosition> FormPosition1;             // stores the window's position
    QPointer<QWidget> Panel1;                          // title memo, status box, table, chart
    QPointer<QWidget> Panel2;                          // selection tree
    QPointer<QWidget> Panel3;                          // bottom bar
    QPointer<QCheckBox> Konvert_Schalter;              // hidden
    QPointer<QWidget> Panel4;                          // chart panel
    QPointer<QSplitter> Trenner;                       // between Panel2 and Panel1
    QPointer<QWidget> Panel6;                          // period strip
    QPointer<QWidget> Panel5;                          // switches
    QPointer<QToolButton> E_Schalter;
    QPointer<QToolButton> T_Schalter;
    QPointer<QToolButton> M_Schalter;
    QPointer<QCheckBox> Grafik_Schalter;
    QPointer<QCheckBox> ZST_Schalter;
    QPointer<QCheckBox> Differenzen_Schalter;
    QPointer<QCheckBox> Linien_Schalter;
    QPointer<QCheckBox> Zusatz_Schalter;
    QPointer<QFrame> Status_Box;
    QPointer<QLabel> Status_Label;
    QPointer<QFrame> Hinweis_Panel;
    QPointer<QLabel> Hinweis_Label;
    QPointer<QLabel> Hint_Label;
    QPointer<QToolButton> SpeedButton1;
    QPointer<QToolButton> Optionen_Knopf;
    QPointer<QToolButton> OxRV_Knopf;
    QPointer<QToolButton> OxQM_Knopf;
    QPointer<QToolButton> ZTauslesen_Knopf;
    QPointer<QToolButton> Aktualisieren_Knopf;
    QPointer<QToolButton> Abbruch_Knopf;
    QPointer<QMenu> PopupMenu1;
    QPointer<QAction> Update1;
    QPointer<QAction> N1;
    QPointer<QAction> Allesffnen1;
    QPointer<QAction> Allesschliessen1;
    QPointer<QAction> SprachDateien_MenuItem;          // developer machines only
    QPointer<QLabel> Zeit_Label;                       // hidden: caption of the date column
    // Hidden: caption and hint give the words of the default counter text.
    QPointer<QLabel> Auswert_Label;
    // Hidden lists that carry the header key labels, the messages and the
    // status lines through a language module.
    QPointer<QListWidget> Feld_Liste;
    QPointer<QListWidget> Melde_Liste;
    QPointer<QListWidget> Status_Liste;
    // The event hint window (a frameless label of its own).
    QPointer<QLabel> EventHint;

    // The controls taken from the table window.
    QPointer<QGroupBox> Bedien_Box;

    // ---- Life cycle --------------------------------------------------------------
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void FormResize();
    // False while a scan or an evaluation runs (after a beep).
    bool FormCloseQuery();
    void FormDestroy();

    // ---- Commands ------------------------------------------------------------------
    void Abbruch_KnopfClick();
    void Update1Click();
    void Allesffnen1Click();
    void Allesschliessen1Click();
    void SpeedButton1Click();
    void ReleaseHint();
    void ChooseArchiveDirectory();
    void HideTable();
    bool ScanArchiveFiles(bool ShowNotFound);
    // Runs the options dialog and applies its result.
    void Optionen_KnopfClick();
    // What follows an options dialog run: table mode, head template, and a
    // rescan or a refill.
    void ApplyOptionsResult(const TOptionsResult& result);

    // ---- External programs ------------------------------------------------------------
    void OxRV_KnopfClick();
    void OxQM_KnopfClick();
    void ZTauslesen_KnopfClick();

    // ---- Language -----------------------------------------------------------------------
    // The user locale's language: SetLanguage with its abbreviation.
    void InitLanguage();
    // Texts of every window that exists, the translated tables, the module.
    void SetLanguage(const QString& abbreviation);
    // Writes the string-table sources of all translated windows.
    void SprachDateien_MenuItemClick();
    // Right click on "Grafik": the chart options (German only).
    void Grafik_SchalterContextPopup();
    bool ChartOptionsPopupEnabled() const { return chartPopupEnabled_; }

    // ---- View switches and table interaction ----------------------------------------
    void Anzeige_Update(QObject* Sender);
    void PeriodChanged(uint16_t FromDay, uint16_t FromMonth, uint16_t FromYear,
                       uint16_t ToDay, uint16_t ToMonth, uint16_t ToYear);
    void UpdatePeriodEnd();
    void Grafik_SchalterClick(QObject* Sender);
    bool PrepareChart();
    bool SelectionHasDistinctCells() const;
    void TableDrawCell(QPainter& painter, int ACol, int ARow, const QRect& Rect, platform::TGridDrawState State);
    void TableMouseUp(const platform::TGridMouseEvent& event);
    void TableSelectAll();

    // The view mode the switches give: 0 all values, 1 days, 2 months.
    uint8_t ViewMode() const;
    // Whether the first scan after the show has run.
    bool FirstScanDone() const { return firstScanDone_; }
    // The auto-mode close timer (null unless it was started).
    QTimer* AutoCloseTimer() const { return autoCloseTimer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectHooks();
    void ApplyViewState(const TViewState& view);
    void RegisterTranslatables();
    // The header key labels, messages and status lines into the hidden lists,
    // and back when a list still holds its count.
    void FillLanguageLists();
    void TakeLanguageLists();
    void SetupTree();
    void SetRunning(bool on);
    void ShowStatusMessage(int n);
    void ShowTable(bool grid, bool titleMemo);
    void ShowEventHint(const QStringList& lines, int x, int y);
    void HideEventHint();
    void FillView();
    void ReselectTree();
    void ConnectViewSwitches();
    // Diagramm, Drucken_Knopf and SpeedButton5 take Panel4's visibility.
    void SyncChartControls();
    QList<QToolButton*> MainToolButtons() const;
    void PlaceToolButtons();

    TEvaluationState state_;
    TEvaluationHooks hooks_;
    TTableOutputParams tableParams_;
    TChartOptions chartOptions_;
    TLanguageChoice language_;
    TArchiveReader reader_{state_};
    std::unique_ptr<TArchiveScanner> scanner_;
    TStatusDecoder decoder_;
    THeadTemplate headTemplate_;
    std::unique_ptr<TEvaluator> evaluator_;

    QPointer<TBaum_Form> baum_;
    QPointer<TTabAus_Form> tabAus_;
    QPointer<TZT_Chart> chart_;
    QPointer<TZT_Vorschau> preview_;
    QPointer<TDateiPfadMaske> fileSelection_;
    QPointer<TPfadMaske> directorySelection_;
    QPointer<TOptionen_Form> options_;
    QPointer<tZeitraumForm> zeitraum_;
    QPointer<QButtonGroup> viewGroup_;
    QPointer<QTimer> autoCloseTimer_;
    std::unique_ptr<t_ZT_SPR_Auswerten> languageReader_;
    TExternalPrograms programs_;
    platform::TFormTranslations translations_{this, 1};

    bool resizeBound_ = false;
    bool firstScanDone_ = false;
    bool chartSwitchesBound_ = false;
    bool destroyed_ = false;
    bool chartPopupEnabled_ = true;
    int storedTreeWidth_ = 177;
};

extern TAV_HauptFormular* AV_HauptFormular;
