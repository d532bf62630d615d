#pragma once
// The table window: shows the table of an evaluation (title memo, chooser,
// grid, evaluation label) and carries the tool bar of output commands. The
// texts and cells live in its TTableModel; the widgets only show them. The main
// window takes the memo, the grid, the label and the tool bar into its own
// layout and never shows this window itself.
#include "evaluation/TableModel.h"
#include "output/ZT_TabDruck.h"
#include "platform/forms/StringGridView.h"
#include "platform/forms/TranslationRegistry.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

class TTabAus_Form : public QWidget {
    Q_OBJECT
public:
    explicit TTabAus_Form(QWidget* parent = nullptr);
    ~TTabAus_Form() override;

    TTableModel& Model() { return model_; }
    const TTableModel& Model() const { return model_; }

    // ---- Used by the main window ---------------------------------------------
    void InitTableWindow(TTableOutputParams& params,
                         std::function<void(uint8_t)> onChooserChange = {},
                         std::function<void(const QString&)> onFileChosen = {},
                         std::function<void()> onPageDrawn = {});
    void HideChartControls();
    void SetTableMode(bool decimalComma, bool numbersFormatted, uint8_t width);
    // Paints cell (Col, Row) on the grid while it paints its cells: brush
    // Color, the draw state and the font style. Outside painting the cell is
    // only scheduled for repainting.
    void DrawSortHeader(int row, int col, platform::TColor color,
                        platform::TGridDrawState state, TFontStyles style);
    void DrawSortHeader(QPainter& painter, const QRect& cellRect, int row, int col,
                        platform::TColor color, platform::TGridDrawState state, TFontStyles style);
    // Puts the fonts of the table onto grid, memo, chooser and label.
    void ApplyTableFont();

    // ---- Fill interface (forwarded to the model) --------------------------------
    void ClearTable(const QString& fileName) { model_.ClearTable(fileName); }
    bool SetHeaderCell(const QString& text, int row, int col) { return model_.SetHeaderCell(text, row, col); }
    bool SetCell(const QString& text, int row, int col) { return model_.SetCell(text, row, col); }
    int FindRowOfText(int col, const QString& text) const { return model_.FindRowOfText(col, text); }
    void AddTitleLine(const QString& text) { model_.AddTitleLine(text); }
    void FinishTable(uint8_t chooserIndex, bool scrollToEnd) { model_.FinishTable(chooserIndex, scrollToEnd); }
    void DeleteColumn(int col) { model_.DeleteColumn(col); }
    void FillDifferenceColumn(int srcCol, int dstCol, bool resetOnDecrease, const QString& picture)
    {
        model_.FillDifferenceColumn(srcCol, dstCol, resetOnDecrease, picture);
    }
    QString FormatDifference(const QString& picture, double value) const
    {
        return model_.FormatDifference(picture, value);
    }
    void SetEvaluationLabel(const QString& text) { model_.SetEvaluationLabel(text); }

    // ---- Controls -------------------------------------------------------------------
    QPointer<QGroupBox> GroupBox1;
    QPointer<QPlainTextEdit> Memo1;
    QPointer<QComboBox> GrafikAuswahl_Box;
    QPointer<QFrame> Splitter1;
    QPointer<QFrame> Splitter2;
    QPointer<QFrame> Splitter3;
    QPointer<QFrame> Splitter4;
    QPointer<platform::TStringGridView> StringGrid1;
    QPointer<QLabel> Auswert_Label;
    QPointer<QGroupBox> Bedien_Box;
    QPointer<QToolButton> Vorschau_Knopf;
    QPointer<QToolButton> DruckKnopf;
    QPointer<QToolButton> WordExportKnopf;
    QPointer<QToolButton> ExcelExportKnopf;
    QPointer<QToolButton> InternetExportKnopf;
    QPointer<QToolButton> Kopieren_Knopf;
    QPointer<QToolButton> AllesMarkieren_Knopf;
    QPointer<QToolButton> Diagramm_Knopf;
    QPointer<QToolButton> SchriftKnopf;
    QPointer<QLabel> Sortieren_Label;
    QPointer<QLineEdit> SortSpalte_EingabeFeld;
    QPointer<QPushButton> kStandardTitelKnopf;
    QPointer<QLabel> Abfrage_Label_1;
    QPointer<QLabel> Abfrage_Label_2;

    // The print component; its properties take the output parameters before
    // every job.
    TZT_TabDruck* TabDruck() { return tabDruck_.get(); }

    // ---- Printing and preview ------------------------------------------------------
    // Pages the print dialog offers for the grid's rows.
    int32_t EstimatePageCount() const;
    // The print dialog on the output parameters; true when accepted.
    bool PrinterSetup();
    // Runs one print job (output target 2) or draws one preview page (1).
    void PrepareTablePrint(bool SkipFileQuestion);
    // Opens the preview on this window's pages.
    void ShowTablePreview();
    // The preview's page drawer: draws page Page of the window the preview
    // was opened from (the global table window while none was).
    static void DrawPreviewPage(int32_t Page);
    // Asks for the text file of a print to file; true when one was chosen.
    bool AskOutputFileName(QString& FileName);
    // The page the preview shows of this window (starts at 1).
    int32_t PreviewPage() const { return previewPage_; }
    // Whether the preview is open on this window's pages.
    bool PreviewShowsThisTable() const;

    // The translatable controls with their tags (ids from 20900 on), also
    // after the main window took them into its layout.
    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

public slots:
    // The user picked a chooser item.
    void GrafikAuswahl_BoxChange();
    // The font button: the table font from the font dialog.
    void SchriftKnopfClick();

    // Commands of the tool bar and the grid that are built with the table
    // commands, the report export and table printing. The buttons are wired to
    // them already; until then a click does nothing.
    void Vorschau_KnopfClick();
    void DruckKnopfClick();
    void WordExportKnopfClick();
    void ExcelExportKnopfClick();
    void InternetExportKnopfClick();
    void Kopieren_KnopfClick();
    void AllesMarkieren_KnopfClick();
    void Diagramm_KnopfClick();
    void kStandardTitelKnopfClick();
    void StringGrid1MouseDown(const platform::TGridMouseEvent& event);
    void StringGrid1MouseMove(const platform::TGridMouseEvent& event);
    void StringGrid1MouseUp(const platform::TGridMouseEvent& event);

public:
    // ---- Table commands ------------------------------------------------------------
    // The marked cells as text on the clipboard (message 75 when nothing
    // usable is marked, 122 when the text cannot be had), then a beep.
    void CopyToClipboard();
    // Sorts by the column in SortSpalte_EingabeFeld (message 67 when it is no
    // column); the same column again flips the direction.
    void SortByColumn();
    // Writes the table as HTML; with open, the file is opened with its
    // program. Message 49 with the file name when it cannot be written.
    void ExportHtml(const QString& fileName, bool open);
    // A report of the kind (1 word processor, 2 spreadsheet) through the
    // report chooser; message 120 when it cannot be made or shown.
    void ExportToReport(uint8_t kind);
    // Frees the report of the last export, when one is open.
    void FreeReport();
    // The main window's time caption ("Zeit" or its translation): a column
    // headed so sorts by date.
    QPointer<QLabel> TimeLabel;

private:
    void BuildControls();
    void RegisterTranslatables();
    void LayoutGroupBox();
    void LayoutTitleArea();
    void ShowTitleLines();
    void ShowEvaluationLabel();
    void ShowChooser();
    void OnTableCleared();
    void OnTableFinished();
    QList<QToolButton*> ToolButtons() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    TTableModel model_;
    std::unique_ptr<TZT_TabDruck> tabDruck_;
    int32_t previewPage_ = 1;
    platform::TFormTranslations translations_{this};
};

extern TTabAus_Form* TabAus_Form;
// The table window whose pages the preview draws, set when the preview is
// opened from a table window.
extern QPointer<TTabAus_Form> PreviewTabAus_Form;
