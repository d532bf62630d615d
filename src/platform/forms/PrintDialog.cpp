#include "platform/forms/PrintDialog.h"

#include "platform/PlatformTexts.h"
#include "platform/Printer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

TPrintDialogForm::TPrintDialogForm(const TPrintDialogRequest& request, bool setupOnly, QWidget* parent)
    : QDialog(parent), request_(request), setupOnly_(setupOnly), pdfFileName_(request.PdfFileName)
{
    setObjectName(QStringLiteral("PrintDialog"));
    setWindowTitle(PlatformText(setupOnly ? TPlatformText::PrinterSetupTitle : TPlatformText::PrintTitle));
    auto* layout = new QVBoxLayout(this);

    auto* targetBox = new QGroupBox(PlatformText(TPlatformText::PrinterGroup), this);
    auto* targetLayout = new QFormLayout(targetBox);
    Target = new QComboBox(targetBox);
    QStringList targets = request.Targets;
    if (targets.isEmpty())
        targets << PdfTargetName();
    Target->addItems(targets);
    const int current = targets.indexOf(request.Target);
    Target->setCurrentIndex(current >= 0 ? current : 0);
    targetLayout->addRow(PlatformText(TPlatformText::PrinterName), Target);
    NoPrinterLabel = new QLabel(PlatformText(TPlatformText::NoPrinterInstalled), targetBox);
    NoPrinterLabel->setWordWrap(true);
    NoPrinterLabel->setVisible(request.WarnNoPrinter && targets.size() == 1 && targets.front() == PdfTargetName());
    targetLayout->addRow(NoPrinterLabel);
    layout->addWidget(targetBox);

    auto* rangeBox = new QGroupBox(PlatformText(TPlatformText::PrintRange), this);
    auto* rangeLayout = new QVBoxLayout(rangeBox);
    AllPages = new QRadioButton(PlatformText(TPlatformText::AllPages), rangeBox);
    PageNumbers = new QRadioButton(PlatformText(TPlatformText::PageNumbers), rangeBox);
    auto* pagesRow = new QHBoxLayout;
    FromPage = new QSpinBox(rangeBox);
    ToPage = new QSpinBox(rangeBox);
    const int minPage = std::max(1, request.MinPage);
    const int maxPage = std::max(minPage, request.MaxPage);
    for (QSpinBox* s : {FromPage.data(), ToPage.data()})
        s->setRange(minPage, maxPage);
    FromPage->setValue(std::clamp(request.FromPage, minPage, maxPage));
    ToPage->setValue(std::clamp(request.ToPage, minPage, maxPage));
    pagesRow->addWidget(PageNumbers);
    pagesRow->addWidget(new QLabel(PlatformText(TPlatformText::FromPage), rangeBox));
    pagesRow->addWidget(FromPage);
    pagesRow->addWidget(new QLabel(PlatformText(TPlatformText::ToPage), rangeBox));
    pagesRow->addWidget(ToPage);
    rangeLayout->addWidget(AllPages);
    rangeLayout->addLayout(pagesRow);
    // Only page numbers and all pages: a range "selection" is shown as all.
    if (request.Range == 2 && request.AllowPageNumbers)
        PageNumbers->setChecked(true);
    else
        AllPages->setChecked(true);
    PageNumbers->setEnabled(request.AllowPageNumbers);
    layout->addWidget(rangeBox);

    PrintToFile = new QCheckBox(PlatformText(TPlatformText::PrintToFile), this);
    PrintToFile->setChecked(request.PrintToFile);
    PrintToFile->setVisible(request.AllowPrintToFile);
    layout->addWidget(PrintToFile);

    auto* orientationBox = new QGroupBox(PlatformText(TPlatformText::Orientation), this);
    auto* orientationLayout = new QHBoxLayout(orientationBox);
    Portrait = new QRadioButton(PlatformText(TPlatformText::Portrait), orientationBox);
    Landscape = new QRadioButton(PlatformText(TPlatformText::Landscape), orientationBox);
    orientationLayout->addWidget(Portrait);
    orientationLayout->addWidget(Landscape);
    (request.Orientation == 1 ? Landscape : Portrait)->setChecked(true);
    layout->addWidget(orientationBox);

    LayoutNote = new QLabel(this);
    LayoutNote->setWordWrap(true);
    layout->addWidget(LayoutNote);
    lastPage_ = maxPage;

    if (setupOnly) {
        rangeBox->hide();
        PrintToFile->hide();
    }

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(PlatformText(TPlatformText::Ok), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(PlatformText(TPlatformText::Cancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(PageNumbers, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
    connect(FromPage, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        if (ToPage->value() < v)
            ToPage->setValue(v);
    });
    connect(ToPage, qOverload<int>(&QSpinBox::valueChanged), this, [this](int v) {
        if (FromPage->value() > v)
            FromPage->setValue(v);
    });
    connect(Landscape, &QRadioButton::toggled, this, [this] { UpdateLayout(); });
    UpdateEnabled();
    UpdateLayout();
}

TPrintDialogForm::~TPrintDialogForm() = default;

void TPrintDialogForm::UpdateLayout()
{
    TPrintDialogRequest::TLayoutInfo info{lastPage_, request_.Note};
    if (request_.LayoutFor)
        info = request_.LayoutFor(Landscape->isChecked() ? 1 : 0);
    const int minPage = std::max(1, request_.MinPage);
    lastPage_ = std::max(minPage, info.Pages);
    // The page numbers stay within the pages this orientation has.
    for (QSpinBox* s : {FromPage.data(), ToPage.data()})
        s->setMaximum(lastPage_);
    LayoutNote->setText(info.Note);
    LayoutNote->setVisible(!setupOnly_ && !info.Note.isEmpty());
}

void TPrintDialogForm::UpdateEnabled()
{
    FromPage->setEnabled(PageNumbers->isChecked());
    ToPage->setEnabled(PageNumbers->isChecked());
}

TPrintDialogAnswer TPrintDialogForm::Answer(bool accepted) const
{
    TPrintDialogAnswer a;
    a.Accepted = accepted;
    a.Range = PageNumbers->isChecked() ? 2 : 0;
    a.FromPage = FromPage->value();
    a.ToPage = ToPage->value();
    a.Copies = 1;
    a.PrintToFile = request_.AllowPrintToFile && PrintToFile->isChecked();
    a.Orientation = Landscape->isChecked() ? 1 : 0;
    a.Target = Target->currentText();
    // Only a file chosen for this job: a text-file job or a printer queue
    // leaves the next job to ask for its own.
    a.PdfFileName = pdfChosenHere_ ? pdfFileName_ : QString();
    return a;
}

void TPrintDialogForm::accept()
{
    const bool toTextFile = request_.AllowPrintToFile && PrintToFile->isChecked();
    pdfChosenHere_ = false;
    if (!setupOnly_ && !toTextFile && Target->currentText() == PdfTargetName()) {
        const QString name = AskPdfFileName(request_.JobName,
                                            pdfFileName_.isEmpty() ? request_.PreviousFile : pdfFileName_);
        if (name.isEmpty())
            return;
        pdfFileName_ = name;
        pdfChosenHere_ = true;
    }
    QDialog::accept();
}

TPrintDialogAnswer QtPrintDialog(const TPrintDialogRequest& request)
{
    TPrintDialogForm dialog(request, false, QApplication::activeWindow());
    const bool ok = dialog.exec() == QDialog::Accepted;
    return dialog.Answer(ok);
}

TPrinterSetupAnswer QtPrinterSetupDialog(const TPrinterSetupRequest& request)
{
    TPrintDialogRequest r;
    r.Orientation = request.Orientation;
    r.Targets = request.Targets;
    r.Target = request.Target;
    TPrintDialogForm dialog(r, true, QApplication::activeWindow());
    const bool ok = dialog.exec() == QDialog::Accepted;
    const TPrintDialogAnswer a = dialog.Answer(ok);
    TPrinterSetupAnswer answer;
    answer.Accepted = ok;
    answer.Orientation = a.Orientation;
    answer.Target = a.Target;
    return answer;
}

} // namespace platform
