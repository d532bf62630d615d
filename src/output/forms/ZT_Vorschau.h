#pragma once
// The page preview window: shows one printed page at a time as a white image
// and lets the user leaf through the pages, choose the whole-page or the
// page-width view and, for a chart, print. It knows nothing about what a page
// holds: whenever a page must be shown it calls the draw procedure it was
// handed, which draws that page onto PageCanvas() (image pixels at 96 dpi,
// Image->width() x Image->height(); PageCanvas()->Painter() for QPainter
// drawing). The main window creates it once at start-up; closing only hides it.
#include "platform/forms/TranslationRegistry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace platform { class TPrintCanvas; class TImageCanvas; }

// Draws page Page (1 <= Page <= page count) onto the preview's PageCanvas().
// Called after the image was sized and filled white, while the image is hidden.
using TDrawPageProc = std::function<void(int32_t Page)>;
// A click handler with its sender, as the print button calls it.
using TNotifyHandler = std::function<void(QObject* Sender)>;

class TZT_Vorschau : public QWidget {
    Q_OBJECT
public:
    explicit TZT_Vorschau(QWidget* parent = nullptr);
    ~TZT_Vorschau() override;

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    // Shows the preview with page Page of PageCount, drawn by DrawPage. The
    // pages are sized for Orientation (0 portrait, 1 landscape) for as long as
    // this showing lasts, whatever the global print orientation does later.
    // The print button shows only when SetPrintButton came before this call.
    void ShowPages(int32_t Page, int32_t PageCount, TDrawPageProc DrawPage, int Orientation);
    // Gives the print button its hint and click handler and shows it, for the
    // showing that follows.
    void SetPrintButton(const QString& Hint, TNotifyHandler OnClick);

    // The page count of the current showing, for a drawer whose layout found
    // another count than it was shown with (after a resize, say); updates the
    // buttons and the status line.
    void SetPageCount(int32_t Count);
    // A note beside the page count in the status line (what the pages leave
    // out); every showing starts without one.
    void SetStatusNote(const QString& Note);
    QString StatusNote() const;

    // The canvas of the image while a page is drawn; nullptr otherwise.
    platform::TPrintCanvas* PageCanvas();
    // The bitmap of the page shown last.
    QImage PageImage() const;
    // The orientation of the current showing.
    int Orientation() const { return orientation_; }
    // The view chosen in SizeBox: 0 whole page, 1 page width.
    int View() const;

    // Page buttons and keys.
    void ErsteSeite_KnopfClick();
    void ZurueckBlaettern_KnopfClick();
    void VorBlaettern_KnopfClick();
    void LetzteSeite_KnopfClick();
    void Druck_KnopfClick();
    void SizeBoxChange();
    // Page Up, Page Down and Escape; true when the key was consumed.
    bool FormKeyDown(int key);

    int32_t CurrentPage = 0;
    int32_t PageCount = 0;
    TDrawPageProc DrawPage;
    int32_t ImageHeight = 0;
    int32_t ImageWidth = 0;
    bool Resizing = false;
    int32_t InitialView = 1;

    QPointer<QToolBar> ToolBar;
    QPointer<QToolButton> ErsteSeite_Knopf;
    QPointer<QToolButton> ZurueckBlaettern_Knopf;
    QPointer<QToolButton> VorBlaettern_Knopf;
    QPointer<QToolButton> LetzteSeite_Knopf;
    QPointer<QComboBox> SizeBox;
    QPointer<QToolButton> Druck_Knopf;
    QPointer<QScrollArea> ScrollBox;
    QPointer<QLabel> Image;
    QPointer<QStatusBar> StatusBar;

    // Hidden carriers of translatable texts.
    QPointer<QLabel> Abfrage_Label_0;     // "Seitenvorschau"
    QPointer<QLabel> Abfrage_Label_1;     // "Seite"
    QPointer<QLabel> Abfrage_Label_2;     // "von"
    QPointer<QListWidget> ListBox1;       // view choices
    QPointer<QListWidget> ListBox2;       // hints of the four page buttons

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void GoToPage(int32_t page);
    struct TGeometry { int32_t ImageWidth, ImageHeight; int Left, Width, Height; };
    TGeometry GeometryFor(int orientation) const;
    void ShowWindow();
    void SizeImage();
    void PrepareBitmap();
    void DrawCurrent();
    void ShowBitmap();
    void UpdateButtonsAndStatus();
    void FormResize();

    platform::TFormTranslations translations_{this};
    QWidget* scrollContent_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* notePanel_ = nullptr;
    QAction* druckAction_ = nullptr;
    std::unique_ptr<platform::TImageCanvas> bitmap_;
    bool drawing_ = false;
    bool correcting_ = false;
    bool resizeEnabled_ = false;
    bool printButtonArmed_ = false;
    int orientation_ = 0;
    TNotifyHandler printHandler_;
};

extern TZT_Vorschau* ZT_Vorschau;
