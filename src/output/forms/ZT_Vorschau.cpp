#include "output/forms/ZT_Vorschau.h"

#include "platform/Hooks.h"
#include "platform/PrintCanvas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

TZT_Vorschau* ZT_Vorschau = nullptr;

namespace {

QLabel* hiddenLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

QListWidget* hiddenList(QWidget* parent, const char* name, const QStringList& items)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->hide();
    return list;
}

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& text)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(b);
    return b;
}

int32_t RoundHalfEven(double v)
{
    return static_cast<int32_t>(std::nearbyint(v));
}

} // namespace

TZT_Vorschau::TZT_Vorschau(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ZT_Vorschau"));
    setWindowTitle(QStringLiteral("Seitenvorschau"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar1"));
    ErsteSeite_Knopf = toolButton(ToolBar, "ErsteSeite_Knopf", QStringLiteral("|<"));
    ZurueckBlaettern_Knopf = toolButton(ToolBar, "ZurueckBlaettern_Knopf", QStringLiteral("<"));
    VorBlaettern_Knopf = toolButton(ToolBar, "VorBlaettern_Knopf", QStringLiteral(">"));
    LetzteSeite_Knopf = toolButton(ToolBar, "LetzteSeite_Knopf", QStringLiteral(">|"));
    SizeBox = new QComboBox(ToolBar);
    SizeBox->setObjectName(QStringLiteral("SizeBox"));
    SizeBox->setEditable(false);
    SizeBox->setFocusPolicy(Qt::NoFocus);
    SizeBox->setMinimumContentsLength(14);
    ToolBar->addWidget(SizeBox);
    Druck_Knopf = new QToolButton(ToolBar);
    Druck_Knopf->setObjectName(QStringLiteral("Druck_Knopf"));
    Druck_Knopf->setText(QStringLiteral("Drucken"));
    Druck_Knopf->setFocusPolicy(Qt::NoFocus);
    // A tool bar hides its widgets through their actions.
    druckAction_ = ToolBar->addWidget(Druck_Knopf);
    druckAction_->setVisible(false);
    layout->addWidget(ToolBar);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    scrollContent_ = new QWidget;
    Image = new QLabel(scrollContent_);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setScaledContents(false);
    ScrollBox->setWidget(scrollContent_);
    layout->addWidget(ScrollBox, 1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(StatusBar);
    StatusBar->addWidget(statusPanel_);
    notePanel_ = new QLabel(StatusBar);
    StatusBar->addWidget(notePanel_, 1);
    layout->addWidget(StatusBar);

    Abfrage_Label_0 = hiddenLabel(this, "Abfrage_Label_0", QStringLiteral("Seitenvorschau"));
    Abfrage_Label_1 = hiddenLabel(this, "Abfrage_Label_1", QStringLiteral("Seite"));
    Abfrage_Label_2 = hiddenLabel(this, "Abfrage_Label_2", QStringLiteral("von"));
    ListBox1 = hiddenList(this, "ListBox1", {QStringLiteral("Ganze Seite"), QStringLiteral("Seitenbreite")});
    ListBox2 = hiddenList(this, "ListBox2",
                          {QStringLiteral("Erste Seite"), QStringLiteral("Vorherige Seite"),
                           QStringLiteral("Nächste Seite"), QStringLiteral("Letzte Seite")});

    // Language ids: the labels 1..3, the view choices 11 and 12, the page
    // button hints 21..24.
    using K = platform::TTranslatableKind;
    translations_.Register(Abfrage_Label_0, 1, K::Label);
    translations_.Register(Abfrage_Label_1, 2, K::Label);
    translations_.Register(Abfrage_Label_2, 3, K::Label);
    translations_.Register(ListBox1, 10, K::ListBox);
    translations_.Register(ListBox2, 20, K::ListBox);

    connect(ErsteSeite_Knopf, &QToolButton::clicked, this, [this] { ErsteSeite_KnopfClick(); });
    connect(ZurueckBlaettern_Knopf, &QToolButton::clicked, this, [this] { ZurueckBlaettern_KnopfClick(); });
    connect(VorBlaettern_Knopf, &QToolButton::clicked, this, [this] { VorBlaettern_KnopfClick(); });
    connect(LetzteSeite_Knopf, &QToolButton::clicked, this, [this] { LetzteSeite_KnopfClick(); });
    connect(Druck_Knopf, &QToolButton::clicked, this, [this] { Druck_KnopfClick(); });
    connect(SizeBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { SizeBoxChange(); });

    // The form sees the keys first, whichever control has the focus.
    for (QWidget* w : {static_cast<QWidget*>(SizeBox), static_cast<QWidget*>(ScrollBox),
                       ScrollBox->viewport(), static_cast<QWidget*>(ToolBar)})
        w->installEventFilter(this);

    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    ZT_Vorschau = this;
}

TZT_Vorschau::~TZT_Vorschau()
{
    if (ZT_Vorschau == this)
        ZT_Vorschau = nullptr;
}

platform::TPrintCanvas* TZT_Vorschau::PageCanvas()
{
    return drawing_ ? bitmap_.get() : nullptr;
}

QImage TZT_Vorschau::PageImage() const
{
    return bitmap_ ? bitmap_->Image() : QImage();
}

int TZT_Vorschau::View() const
{
    return SizeBox->currentIndex() == 0 ? 0 : 1;
}

void TZT_Vorschau::ShowPages(int32_t Page, int32_t Count, TDrawPageProc Draw, int Orientation)
{
    if (SizeBox->count() == 0) {
        const QSignalBlocker block(SizeBox);
        for (int i = 0; i < ListBox1->count(); ++i)
            SizeBox->addItem(ListBox1->item(i)->text());
        SizeBox->setCurrentIndex(InitialView);
        QToolButton* buttons[] = {ErsteSeite_Knopf, ZurueckBlaettern_Knopf, VorBlaettern_Knopf, LetzteSeite_Knopf};
        for (int i = 0; i < 4 && i < ListBox2->count(); ++i)
            buttons[i]->setToolTip(ListBox2->item(i)->text());
    }
    CurrentPage = Page;
    PageCount = Count;
    DrawPage = std::move(Draw);
    orientation_ = Orientation;
    notePanel_->clear();

    // The print button belongs to the showing that asked for it.
    if (!printButtonArmed_) {
        printHandler_ = nullptr;
        druckAction_->setVisible(false);
    }
    printButtonArmed_ = false;

    // Asked for while a modal dialog runs (the chart options dialog's
    // preview button), the preview would be shown but blocked by that
    // dialog: it takes the input as a modal window itself for as long as
    // it is open, so it closes first (Escape included) and the dialog is
    // usable again once it is gone. Modality takes effect on showing.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality modality = modal != nullptr && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != modality) {
        if (isVisible())
            hide();
        setWindowModality(modality);
    }
    ShowWindow();
    // The tool bar shows or hides the print button at its next layout; do it now.
    ToolBar->layout()->activate();
    raise();
    activateWindow();
    resizeEnabled_ = true;

    SizeImage();
    PrepareBitmap();
    if (CurrentPage > 0 && CurrentPage <= PageCount) {
        GoToPage(CurrentPage);
    } else {
        // The page stays white, and the draw procedure is never asked for a
        // page it does not have.
        platform::Beep();
        UpdateButtonsAndStatus();
        ShowBitmap();
    }
}

void TZT_Vorschau::SetStatusNote(const QString& Note)
{
    notePanel_->setText(Note);
}

QString TZT_Vorschau::StatusNote() const
{
    return notePanel_->text();
}

void TZT_Vorschau::SetPrintButton(const QString& Hint, TNotifyHandler OnClick)
{
    Druck_Knopf->setToolTip(Hint);
    printHandler_ = std::move(OnClick);
    printButtonArmed_ = true;
    druckAction_->setVisible(true);
    ToolBar->layout()->activate();
}

void TZT_Vorschau::GoToPage(int32_t page)
{
    if (page <= 0 || page > PageCount) {
        platform::Beep();
        return;
    }
    CurrentPage = page;
    Image->hide();
    UpdateButtonsAndStatus();
    if (bitmap_)
        bitmap_->Image().fill(Qt::white);
    DrawCurrent();
    ShowBitmap();
    Image->show();
}

void TZT_Vorschau::UpdateButtonsAndStatus()
{
    ErsteSeite_Knopf->setEnabled(CurrentPage > 1);
    ZurueckBlaettern_Knopf->setEnabled(CurrentPage > 1);
    LetzteSeite_Knopf->setEnabled(CurrentPage < PageCount);
    VorBlaettern_Knopf->setEnabled(CurrentPage < PageCount);
    statusPanel_->setText(Abfrage_Label_1->text() + QLatin1Char(' ') + QString::number(CurrentPage) + QLatin1Char(' ')
                          + Abfrage_Label_2->text() + QLatin1Char(' ') + QString::number(PageCount)
                          + QString(10, QLatin1Char(' ')));
}

TZT_Vorschau::TGeometry TZT_Vorschau::GeometryFor(int orientation) const
{
    // The client area without scroll bars: the image size must not depend on
    // whether the previous image needed one.
    const QSize client = ScrollBox->maximumViewportSize();
    constexpr double root2 = 1.4142135623730951;
    TGeometry g{ImageWidth, ImageHeight, 0, Image->width(), Image->height()};
    if (View() == 0) {
        g.ImageHeight = client.height();
        if (orientation == 0)
            g.ImageWidth = RoundHalfEven(g.ImageHeight / root2);
        else if (orientation == 1)
            g.ImageWidth = RoundHalfEven(g.ImageHeight * root2);
        g.Height = g.ImageHeight;
        g.Width = g.ImageWidth;
        g.Left = std::max(0, (client.width() - g.Width) / 2);
    } else {
        g.ImageWidth = client.width();
        if (orientation == 0)
            g.ImageHeight = RoundHalfEven(root2 * g.ImageWidth);
        else if (orientation == 1)
            g.ImageHeight = RoundHalfEven(g.ImageWidth / root2);
        g.Height = g.ImageHeight;
        // Room for the vertical scroll bar, except while the window is resized.
        g.Width = Resizing ? g.ImageWidth : g.ImageWidth - 16;
    }
    g.Width = std::max(1, g.Width);
    g.Height = std::max(1, g.Height);
    return g;
}

void TZT_Vorschau::SizeImage()
{
    const TGeometry g = GeometryFor(orientation_);
    ImageWidth = g.ImageWidth;
    ImageHeight = g.ImageHeight;
    Image->setGeometry(g.Left, 0, g.Width, g.Height);
    const QSize client = ScrollBox->maximumViewportSize();
    scrollContent_->resize(std::max(g.Left + g.Width, client.width() - (View() == 1 && !Resizing ? 16 : 0)), g.Height);
}

void TZT_Vorschau::SetPageCount(int32_t Count)
{
    if (Count == PageCount)
        return;
    PageCount = Count;
    UpdateButtonsAndStatus();
}

void TZT_Vorschau::ShowWindow()
{
    if (!isVisible()) {
        showMaximized();
        if (layout())
            layout()->activate();
    }
}

void TZT_Vorschau::PrepareBitmap()
{
    bitmap_ = std::make_unique<platform::TImageCanvas>(Image->width(), Image->height());
}

void TZT_Vorschau::DrawCurrent()
{
    if (!bitmap_ || !DrawPage || CurrentPage <= 0 || CurrentPage > PageCount)
        return;
    if (!bitmap_->BeginDoc(QString()))
        return;
    drawing_ = true;
    try {
        DrawPage(CurrentPage);
    } catch (const std::exception&) {
        // A drawer that fails leaves what it drew; the preview stays usable.
    } catch (...) {
    }
    drawing_ = false;
    bitmap_->EndDoc();
    // The drawer found fewer pages than the showing had (the table shrank
    // while the preview was open): show its last page instead of a white one.
    if (CurrentPage > PageCount && PageCount >= 1 && !correcting_) {
        correcting_ = true;
        CurrentPage = PageCount;
        UpdateButtonsAndStatus();
        bitmap_->Image().fill(Qt::white);
        DrawCurrent();
        correcting_ = false;
    }
}

void TZT_Vorschau::ShowBitmap()
{
    if (bitmap_)
        Image->setPixmap(QPixmap::fromImage(bitmap_->Image()));
}

void TZT_Vorschau::ErsteSeite_KnopfClick() { GoToPage(1); }
void TZT_Vorschau::ZurueckBlaettern_KnopfClick() { GoToPage(CurrentPage - 1); }
void TZT_Vorschau::VorBlaettern_KnopfClick() { GoToPage(CurrentPage + 1); }
void TZT_Vorschau::LetzteSeite_KnopfClick() { GoToPage(PageCount); }

void TZT_Vorschau::Druck_KnopfClick()
{
    if (printHandler_)
        printHandler_(Druck_Knopf);
}

void TZT_Vorschau::SizeBoxChange()
{
    if (!resizeEnabled_)
        return;
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SizeImage();
    PrepareBitmap();
    DrawCurrent();
    ShowBitmap();
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TZT_Vorschau::FormResize()
{
    if (!resizeEnabled_)
        return;
    Resizing = true;
    SizeImage();
    PrepareBitmap();
    DrawCurrent();
    ShowBitmap();
    Resizing = false;
}

bool TZT_Vorschau::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
        GoToPage(CurrentPage - 1);
        return true;
    case Qt::Key_PageDown:
        GoToPage(CurrentPage + 1);
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

void TZT_Vorschau::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TZT_Vorschau::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyDown(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TZT_Vorschau::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TZT_Vorschau::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the program; closing only hides it.
    event->accept();
    hide();
}
