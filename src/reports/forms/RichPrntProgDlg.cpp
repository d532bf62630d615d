#include "reports/forms/RichPrntProgDlg.h"

#include <QGridLayout>
#include <QLabel>

namespace {

TRichPrntProgDlg* current = nullptr;

} // namespace

TRichPrntProgDlg::TRichPrntProgDlg() : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("RichPrntProgDlg"));
    setWindowTitle(QStringLiteral("Print Progress"));
    // The job runs without the message loop: nothing here may wait for input.
    setModal(false);
    auto* grid = new QGridLayout(this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    Label1 = new QLabel(QStringLiteral("Page Number:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblPageNumber = new QLabel(this);
    lblPageNumber->setObjectName(QStringLiteral("lblPageNumber"));
    grid->addWidget(lblStatus, 0, 0, 1, 2);
    grid->addWidget(lblTitle, 1, 0, 1, 2);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(lblPageNumber, 2, 1);
    setMinimumWidth(260);
    current = this;
}

TRichPrntProgDlg::~TRichPrntProgDlg()
{
    if (current == this)
        current = nullptr;
}

void TRichPrntProgDlg::Report(const QString& status, const QString& title, int pageNumber)
{
    if (!status.isEmpty())
        lblStatus->setText(status);
    lblTitle->setText(title);
    lblPageNumber->setText(QString::number(pageNumber));
    if (!isVisible())
        show();
    // Painted at once: the job does not return to the message loop until it
    // is done.
    repaint();
}

TRichPrntProgDlg* CurrentRichPrntProgDlg()
{
    return current;
}

void InstallRichPrintProgressBox()
{
    reports::SetRichPrintProgressFactory(
        []() -> std::unique_ptr<reports::TRichPrintProgress> { return std::make_unique<TRichPrntProgDlg>(); });
}
