#pragma once
// The rich-text preview window: the pages rich-text printing renders, one at
// a time, scaled to the whole page or to the page width. Pages arrive as
// pictures and are kept in page files of the program's own preview folder;
// closing the window deletes them and frees the window.
#include "reports/RichPrinter.h"

#include <QPicture>
#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;

class TRichPreviewForm : public QWidget {
    Q_OBJECT
public:
    explicit TRichPreviewForm(QWidget* parent = nullptr);
    ~TRichPreviewForm() override;

    // Paper size in printer pixels and the printer's orientation, set by the
    // printing side when it creates the window.
    void SetPaper(QSize paperPixels, bool landscape);
    // Keeps the page in the page file of the current index and moves on.
    void AddPage(const QPicture& page);
    // Shows page 1 (the first-page button).
    void ShowFirstPage() { FirstPageBtnClick(); }

    void FirstPageBtnClick();
    void PrevPageBtnClick();
    void NextPageBtnClick();
    void LastPageBtnClick();
    void SizeBoxChange();

    int CurrentIndex() const { return currentIndex_; }
    int LastIndex() const { return lastIndex_; }
    bool Adding() const { return adding_; }
    // The picture of the page shown, as drawn into the image.
    QImage ShownImage() const;

    QPointer<QToolBar> ToolBar;
    QPointer<QToolButton> FirstPageBtn;
    QPointer<QToolButton> PrevPageBtn;
    QPointer<QToolButton> NextPageBtn;
    QPointer<QToolButton> LastPageBtn;
    QPointer<QComboBox> SizeBox;
    QPointer<QScrollArea> ScrollBox;
    QPointer<QLabel> Image;
    QPointer<QStatusBar> StatusBar;
    QPointer<QLabel> StatusPanel;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyFit();
    void paintPage();
    void deletePageFiles();

    int currentIndex_ = 0;
    int lastIndex_ = 0;
    bool adding_ = true;
    bool reload_ = true;
    bool resizing_ = false;
    bool landscape_ = false;
    bool filesDeleted_ = false;
    QPicture kept_;
    QImage pictureBitmap_;
    int paperWidth_ = 0;
    int paperHeight_ = 0;
    double paperRatio_ = 0;
};

extern TRichPreviewForm* RichPreviewForm;

// Opens a new preview window with pages (an open one is closed first) at
// page 1, and answers it.
TRichPreviewForm* ShowRichPreview(const reports::TRichPreviewPages& pages);
