#pragma once
// The print dialog behind the PrintDialog hook, and the printer setup dialog
// behind PrinterSetupDialog (the same window without the page range and the
// file switch). It offers the target (a printer queue or "PDF"), all pages or
// the page numbers from-to, printing into a text file and the orientation.
// It offers no "selection": the page range counts pages, not marked cells.
#include "platform/Hooks.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace platform {

class TPrintDialogForm : public QDialog {
    Q_OBJECT
public:
    // setupOnly: the printer setup (target and orientation only).
    explicit TPrintDialogForm(const TPrintDialogRequest& request, bool setupOnly = false,
                              QWidget* parent = nullptr);
    ~TPrintDialogForm() override;

    // The choice the controls hold now (Accepted as given).
    TPrintDialogAnswer Answer(bool accepted) const;
    // OK: for the PDF target the file name is asked first; a cancelled file
    // question keeps the dialog open.
    void accept() override;

    QPointer<QComboBox> Target;
    QPointer<QLabel> NoPrinterLabel;
    QPointer<QRadioButton> AllPages;
    QPointer<QRadioButton> PageNumbers;
    QPointer<QSpinBox> FromPage;
    QPointer<QSpinBox> ToPage;
    QPointer<QCheckBox> PrintToFile;
    QPointer<QRadioButton> Portrait;
    QPointer<QRadioButton> Landscape;
    // What the job lays out in the orientation chosen (columns left off).
    QPointer<QLabel> LayoutNote;

private:
    void UpdateEnabled();
    // The page range and the note for the orientation now chosen.
    void UpdateLayout();
    TPrintDialogRequest request_;
    bool setupOnly_;
    QString pdfFileName_;
    bool pdfChosenHere_ = false;
    int lastPage_ = 1;
};

TPrintDialogAnswer QtPrintDialog(const TPrintDialogRequest& request);
TPrinterSetupAnswer QtPrinterSetupDialog(const TPrinterSetupRequest& request);

} // namespace platform
