#include "reports/forms/RichPreview.h"

#include "reports/PageSettings.h"
#include "reports/RichPreviewLogic.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TRichPreviewForm* RichPreviewForm = nullptr;

namespace {
const QString PreviewKey = QStringLiteral("Vorschau");
}

TRichPreviewForm::TRichPreviewForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    RichPreviewForm = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Seitenvorschau"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new QToolBar(this);
    auto makeButton = [this](QStyle::StandardPixmap icon, const QString& hint) {
        auto* b = new QToolButton(ToolBar);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        ToolBar->addWidget(b);
        return b;
    };
    FirstPageBtn = makeButton(QStyle::SP_MediaSkipBackward, QStringLiteral("Erste Seite"));
    PrevPageBtn = makeButton(QStyle::SP_MediaSeekBackward, QStringLiteral("Vorherige Seite"));
    NextPageBtn = makeButton(QStyle::SP_MediaSeekForward, QStringLiteral("Nächste Seite"));
    LastPageBtn = makeButton(QStyle::SP_MediaSkipForward, QStringLiteral("Letzte Seite"));
    ToolBar->addSeparator();
    SizeBox = new QComboBox(ToolBar);
    SizeBox->addItems({QStringLiteral("Ganze Seite"), QStringLiteral("Seitenbreite")});
    ToolBar->addWidget(SizeBox);
    layout->addWidget(ToolBar);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox->setWidgetResizable(false);
    Image = new QLabel;
    Image->setAlignment(Qt::AlignCenter);
    ScrollBox->setWidget(Image);
    layout->addWidget(ScrollBox, 1);

    StatusBar = new QStatusBar(this);
    StatusPanel = new QLabel(QStringLiteral("Seite x von y          "), StatusBar);
    StatusPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusBar->addPermanentWidget(StatusPanel, 1);
    layout->addWidget(StatusBar);

    connect(FirstPageBtn, &QToolButton::clicked, this, &TRichPreviewForm::FirstPageBtnClick);
    connect(PrevPageBtn, &QToolButton::clicked, this, &TRichPreviewForm::PrevPageBtnClick);
    connect(NextPageBtn, &QToolButton::clicked, this, &TRichPreviewForm::NextPageBtnClick);
    connect(LastPageBtn, &QToolButton::clicked, this, &TRichPreviewForm::LastPageBtnClick);

    resize(800, 1000);
    // FormCreate: the stored size choice, then its fitting.
    const int stored = reports::ReadProgramIniInteger(reports::PageSection, PreviewKey, 1);
    SizeBox->setCurrentIndex(stored == 1 ? reports::psPageWidth : reports::psWholePage);
    connect(SizeBox, &QComboBox::currentIndexChanged, this, &TRichPreviewForm::SizeBoxChange);
    applyFit();
    adding_ = true;
    reload_ = true;
}

TRichPreviewForm::~TRichPreviewForm()
{
    deletePageFiles();
    if (RichPreviewForm == this)
        RichPreviewForm = nullptr;
}

void TRichPreviewForm::SetPaper(QSize paperPixels, bool landscape)
{
    paperWidth_ = paperPixels.width();
    paperHeight_ = paperPixels.height();
    landscape_ = landscape;
    applyFit();
}

void TRichPreviewForm::AddPage(const QPicture& page)
{
    QPicture copy(page);
    copy.save(reports::PreviewPageFile(currentIndex_));
    lastIndex_ = currentIndex_;
    ++currentIndex_;
    filesDeleted_ = false;
    StatusPanel->setText(reports::PreviewStatusText(currentIndex_, lastIndex_));
}

void TRichPreviewForm::applyFit()
{
    const QSize client = ScrollBox->viewport()->size();
    const QRect r = reports::FitPreviewImage(SizeBox->currentIndex(), client.width(), client.height(),
                                             ScrollBox->width(), landscape_, resizing_);
    // The scroll box places the image: centred for the whole page (the left
    // edge the fitting computed), at the left for the page width.
    ScrollBox->setAlignment(SizeBox->currentIndex() == reports::psWholePage ? Qt::AlignHCenter | Qt::AlignTop
                                                                            : Qt::AlignLeft | Qt::AlignTop);
    Image->resize(r.size());
    pictureBitmap_ = QImage(r.size(), QImage::Format_RGB32);
    pictureBitmap_.fill(Qt::white);
}

void TRichPreviewForm::paintPage()
{
    const int index = adding_ ? currentIndex_ - 1 : currentIndex_;
    const QString file = reports::PreviewPageFile(index);
    if (QFile::exists(file)) {
        bool have = true;
        if (reload_) {
            QPicture loaded;
            have = loaded.load(file);
            if (have)
                kept_ = loaded;
        }
        if (have) {
            if (paperWidth_ != 0 && paperHeight_ != 0)
                paperRatio_ = double(paperHeight_) / paperWidth_;
            pictureBitmap_ = QImage(Image->size(), QImage::Format_RGB32);
            pictureBitmap_.fill(Qt::white);
            QPainter p(&pictureBitmap_);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            const QRect bounds = kept_.boundingRect();
            const double w = paperWidth_ > 0 ? paperWidth_ : std::max(1, bounds.width());
            const double h = paperHeight_ > 0 ? paperHeight_ : std::max(1, bounds.height());
            p.scale(pictureBitmap_.width() / w, pictureBitmap_.height() / h);
            p.drawPicture(0, 0, kept_);
            p.end();
            Image->setPixmap(QPixmap::fromImage(pictureBitmap_));
        }
    }
    FirstPageBtn->setEnabled(currentIndex_ > 0);
    PrevPageBtn->setEnabled(currentIndex_ > 0);
    NextPageBtn->setEnabled(currentIndex_ < lastIndex_);
    LastPageBtn->setEnabled(currentIndex_ < lastIndex_);
    StatusPanel->setText(reports::PreviewStatusText(currentIndex_, lastIndex_));
}

QImage TRichPreviewForm::ShownImage() const
{
    return pictureBitmap_;
}

void TRichPreviewForm::FirstPageBtnClick()
{
    adding_ = false;
    reload_ = true;
    currentIndex_ = 0;
    paintPage();
}

void TRichPreviewForm::PrevPageBtnClick()
{
    adding_ = false;
    reload_ = true;
    currentIndex_ = reports::PreviewPrevIndex(currentIndex_, lastIndex_);
    paintPage();
}

void TRichPreviewForm::NextPageBtnClick()
{
    adding_ = false;
    reload_ = true;
    currentIndex_ = reports::PreviewNextIndex(currentIndex_, lastIndex_);
    paintPage();
}

void TRichPreviewForm::LastPageBtnClick()
{
    adding_ = false;
    reload_ = true;
    currentIndex_ = lastIndex_;
    paintPage();
}

void TRichPreviewForm::SizeBoxChange()
{
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    applyFit();
    paintPage();
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TRichPreviewForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    resizing_ = true;
    applyFit();
    // The kept copy is drawn again: no need to read the file on every step.
    const bool reload = reload_;
    reload_ = false;
    if (!kept_.isNull())
        paintPage();
    reload_ = reload;
    resizing_ = false;
}

void TRichPreviewForm::deletePageFiles()
{
    if (filesDeleted_)
        return;
    for (int i = 0; i <= lastIndex_; ++i)
        QFile::remove(reports::PreviewPageFile(i));
    filesDeleted_ = true;
}

void TRichPreviewForm::closeEvent(QCloseEvent* event)
{
    reports::WriteProgramIniInteger(reports::PageSection, PreviewKey, SizeBox->currentIndex());
    deletePageFiles();
    kept_ = QPicture();
    event->accept();
}

TRichPreviewForm* ShowRichPreview(const reports::TRichPreviewPages& pages)
{
    if (RichPreviewForm)
        RichPreviewForm->close();
    if (RichPreviewForm)   // closed but not yet freed
        delete RichPreviewForm;
    auto* form = new TRichPreviewForm;
    form->SetPaper(pages.PaperPixels, pages.Landscape);
    for (const QPicture& page : pages.Pages)
        form->AddPage(page);
    form->showMaximized();
    // Fitted to the laid-out client area, not to the size before showing.
    form->layout()->activate();
    QCoreApplication::sendPostedEvents(form);
    form->SizeBoxChange();
    form->ShowFirstPage();
    return form;
}
