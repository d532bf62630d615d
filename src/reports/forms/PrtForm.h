#pragma once
// The report editor window: a formatting tool bar, the paragraph ruler above
// the rich edit control, a line scroll bar of its own, a status bar, and a
// second tool bar with the file, import, export, preview, print and page
// commands; rich-text printing comes from its own printer component. The
// editor report back end creates one window per report and writes into it.
// Closing only hides the window and calls the close callback.
#include "reports/RichPrinter.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QScrollArea;
class QScrollBar;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class TOLEEdit;
class TanlRuler;

class TPrtForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TPrtForm(QWidget* parent = nullptr, std::shared_ptr<reports::TRichPrintTarget> printer = nullptr);
    // The editor's width in pixels once the window is shown.
    static constexpr int ShownEditorWidth = 1024;
    ~TPrtForm() override;

    // ---- For the back end ----
    void SetCloseCallback(std::function<void()> callback) { closeCallback_ = std::move(callback); }
    // Loads a rich-text file, takes its leading layout lines over (margins,
    // orientation) and names the document after it. False when it could not
    // be read (the status bar says so).
    bool LoadFromFile(const QString& fileName);
    // Saves the document as rich text and clears the modified mark; the
    // document is named after the file. False when it could not be written.
    bool SaveProtokoll(const QString& fileName);
    void ResetEditorChange();
    // Reads and removes the document's leading layout lines and gives their
    // margins and orientation to the printer; a bad line is reported once
    // (message 10 with sourceName).
    void ReadLayoutLines(const QString& sourceName);
    void UpdatePageWidth();
    void PrintWithDialog();
    void PrintOneCopy(int firstPageNumber);
    void PreviewReport();
    void PageSetup();
    void CloseForm();

    // ---- Handlers ----
    void FormShow();
    void EditorSelectionChange();
    void EditorChange();
    void FontNameChange();
    void FontSizeChange();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void AlignButtonClick(int tag);
    void BulletsButtonClick();
    void ToolButton14Click();
    void ToolButton17Click();
    void ToolButton19Click();
    void ToolButton23Click() { PreviewReport(); }
    void ToolButton25Click() { PrintWithDialog(); }
    void ToolButton2Click() { PageSetup(); }
    void RulerIndentChange(int indentID);
    void VScrollBarChange(int position);
    void FooterSettings();

    reports::TRichPrinter& RichPrinter() { return *richPrinter_; }
    bool Modified() const { return modified_ != 0; }
    const QString& DocumentFileName() const { return fileName_; }
    int EditorWidth() const { return editorWidth_; }
    QString StatusText(int panel) const;
    // Margins and orientation mirrored from the printer at the last page-width
    // update, or set by layout lines since.
    int32_t LeftMargin() const { return margins_[0]; }
    int32_t TopMargin() const { return margins_[1]; }
    int32_t RightMargin() const { return margins_[2]; }
    int32_t BottomMargin() const { return margins_[3]; }
    bool Landscape() const { return landscape_ != 0; }

    // ---- Controls ----
    QPointer<QFrame> Panel1, Panel2, Panel3, Panel4;
    QPointer<QScrollArea> ScrollBox;
    QPointer<QScrollBar> VScrollBar;
    QPointer<QStatusBar> StatusBar;
    QPointer<QLabel> StatusPanels[4];
    QPointer<TanlRuler> Ruler;
    QPointer<TOLEEdit> Editor;
    QPointer<QToolBar> ToolBar2;
    QPointer<QToolButton> ToolButton14, ToolButton17, ToolButton19, ToolButton23, ToolButton25, ToolButton2;
    QPointer<QToolBar> ToolBar;
    QPointer<QComboBox> FontName;
    QPointer<QSpinBox> FontSize;      // its arrows are the up-down control
    QPointer<QToolButton> BoldButton, ItalicButton, UnderlineButton;
    QPointer<QToolButton> LeftAlign, CenterAlign, RightAlign;
    QPointer<QToolButton> BulletsButton;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layoutEditor();
    void updateScrollBar();
    void setStatus(int panel, const QString& text);
    void applyPrinterError(const reports::ELinePrinter& e);

    std::unique_ptr<reports::TRichPrinter> richPrinter_;
    QPointer<QWidget> host_;
    uint8_t updating_ = 0;
    int32_t lastScrollPos_ = 0;
    uint8_t scrollSuppress_ = 0;
    int32_t margins_[4] = {20, 20, 20, 20};
    uint8_t landscape_ = 0;
    std::function<void()> closeCallback_;
    uint8_t modified_ = 0;
    int editorWidth_ = 681;
    QString fileName_;
};
