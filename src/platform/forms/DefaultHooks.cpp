#include "platform/forms/DefaultHooks.h"

#include "platform/Hooks.h"
#include "platform/PlatformTexts.h"
#include "platform/Printer.h"
#include "platform/forms/PrintDialog.h"
#include "platform/forms/QtPrinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

namespace {

QWidget* DialogOwner()
{
    return QApplication::activeWindow();
}

QMessageBox::ButtonRole RoleOf(TMessageAnswer answer)
{
    switch (answer) {
    case TMessageAnswer::Yes: return QMessageBox::YesRole;
    case TMessageAnswer::No: return QMessageBox::NoRole;
    case TMessageAnswer::Abort: return QMessageBox::RejectRole;
    case TMessageAnswer::Ignore:
    case TMessageAnswer::Ok: return QMessageBox::AcceptRole;
    case TMessageAnswer::Closed: break;
    }
    return QMessageBox::InvalidRole;
}

QMessageBox::Icon QtIcon(TMessageIcon icon)
{
    switch (icon) {
    case TMessageIcon::Question: return QMessageBox::Question;
    case TMessageIcon::Error: return QMessageBox::Critical;
    case TMessageIcon::Warning: return QMessageBox::Warning;
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

TMessageAnswer QtKindMessageBox(const TKindMessageRequest& request)
{
    QMessageBox box(QtIcon(request.Icon), request.Caption, request.Text, QMessageBox::NoButton, DialogOwner());
    // File names may hold '<' or '&'; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    std::vector<std::pair<QAbstractButton*, TMessageAnswer>> buttons;
    for (const TMessageAnswer answer : request.Buttons) {
        QPushButton* b = box.addButton(MessageButtonText(answer), RoleOf(answer));
        if (buttons.empty())
            box.setDefaultButton(b);
        buttons.emplace_back(b, answer);
    }
    box.exec();
    for (const auto& [button, answer] : buttons)
        if (box.clickedButton() == button)
            return answer;
    return TMessageAnswer::Closed;
}

int QtMessageBox(const TMessageBoxRequest& request)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.Flags & mb::IconMask) {
    case mb::IconStop: icon = QMessageBox::Critical; break;
    case mb::IconQuestion: icon = QMessageBox::Question; break;
    case mb::IconExclamation: icon = QMessageBox::Warning; break;
    case mb::IconInformation: icon = QMessageBox::Information; break;
    default: break;
    }
    struct TButton { QString Text; QMessageBox::ButtonRole Role; int Id; };
    std::vector<TButton> wanted;
    const TButton ok{PlatformText(TPlatformText::Ok), QMessageBox::AcceptRole, mb::IdOk};
    const TButton cancel{PlatformText(TPlatformText::Cancel), QMessageBox::RejectRole, mb::IdCancel};
    const TButton yes{PlatformText(TPlatformText::Yes), QMessageBox::YesRole, mb::IdYes};
    const TButton no{PlatformText(TPlatformText::No), QMessageBox::NoRole, mb::IdNo};
    const TButton retry{PlatformText(TPlatformText::Retry), QMessageBox::AcceptRole, mb::IdRetry};
    switch (request.Flags & mb::ButtonMask) {
    case mb::OkCancel: wanted = {ok, cancel}; break;
    case mb::AbortRetryIgnore:
        wanted = {{PlatformText(TPlatformText::Abort), QMessageBox::RejectRole, mb::IdAbort}, retry,
                  {PlatformText(TPlatformText::Ignore), QMessageBox::AcceptRole, mb::IdIgnore}};
        break;
    case mb::YesNoCancel: wanted = {yes, no, cancel}; break;
    case mb::YesNo: wanted = {yes, no}; break;
    case mb::RetryCancel: wanted = {retry, cancel}; break;
    default: wanted = {ok}; break;
    }

    QMessageBox box(icon, request.Caption, request.Text, QMessageBox::NoButton, DialogOwner());
    box.setTextFormat(Qt::PlainText);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const TButton& w : wanted)
        buttons.emplace_back(box.addButton(w.Text, w.Role), w.Id);
    std::size_t def = 0;
    switch (request.Flags & mb::DefButtonMask) {
    case mb::DefButton2: def = 1; break;
    case mb::DefButton3: def = 2; break;
    default: break;
    }
    if (def < buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons[def].first));
    box.exec();
    for (const auto& [button, id] : buttons)
        if (box.clickedButton() == button)
            return id;
    // Closed without a button: the window system answers Cancel, or OK for a
    // box that has only OK.
    return wanted.size() == 1 ? wanted.front().Id : mb::IdCancel;
}

TFileDialogAnswer QtFileDialog(const TFileDialogRequest& request, bool save)
{
    QFileDialog dialog(DialogOwner());
    SetUpFileDialog(dialog, request, save);
    const int result = dialog.exec();
    return FileDialogAnswerOf(dialog, request, result);
}

bool QtFontDialog(QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, DialogOwner(), QString(),
                                              QFontDialog::DontUseNativeDialog);
    if (ok)
        font = chosen;
    return ok;
}

bool QtColourDialog(QColor& colour, QList<QColor>& customColours, const QString& title)
{
    const int customSlots = QColorDialog::customCount();
    for (int i = 0; i < customSlots && i < customColours.size(); ++i)
        QColorDialog::setCustomColor(i, customColours.at(i));
    const QColor chosen = QColorDialog::getColor(colour, DialogOwner(), title,
                                                 QColorDialog::DontUseNativeDialog);
    customColours.clear();
    for (int i = 0; i < customSlots; ++i)
        customColours << QColorDialog::customColor(i);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

bool QtOpenDocument(const QString& path)
{
    if (path.isEmpty())
        return false;
    // An address with a scheme ("https://...") opens as it is; anything else
    // is a file. A one-letter scheme would be a drive letter, not an address.
    const QUrl url(path);
    if (url.isValid() && url.scheme().size() > 1)
        return QDesktopServices::openUrl(url);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

} // namespace

namespace {

// The type box of the non-native dialog, and its file-name field.
QComboBox* FileTypeBox(const QFileDialog& dialog)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

QLineEdit* FileNameEdit(const QFileDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// The chosen type, 1-based; 0 when it cannot be told. With the filters'
// details hidden the dialog reports the filter by its shown text, not as it
// was given, so the type box's position is what counts.
int ChosenFileType(const QFileDialog& dialog, const QStringList& filters)
{
    if (const QComboBox* box = FileTypeBox(dialog); box && box->count() == filters.size())
        return box->currentIndex() + 1;
    return int(filters.indexOf(dialog.selectedNameFilter())) + 1;
}

} // namespace

void SetUpFileDialog(QFileDialog& dialog, const TFileDialogRequest& request, bool save)
{
    dialog.setWindowTitle(request.Title);
    if (!request.InitialDir.isEmpty())
        dialog.setDirectory(request.InitialDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Callers ask their own overwrite question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    const QStringList filters = FileDialogNameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index = std::clamp<qsizetype>(request.FilterIndex, 1, filters.size());
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.DefaultExt.isEmpty())
        dialog.setDefaultSuffix(request.DefaultExt);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (!save && request.OfferReadOnly) {
        // The non-native dialog lays its controls out in a grid: the tick
        // goes into a row of its own under them.
        auto* box = new QCheckBox(QStringLiteral("Schreibgeschützt öffnen"), &dialog);
        box->setObjectName(QLatin1String(ReadOnlyBoxName));
        box->setChecked(request.ReadOnly);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        else if (dialog.layout())
            dialog.layout()->addWidget(box);
    }

    QComboBox* typeBox = FileTypeBox(dialog);
    QLineEdit* nameEdit = FileNameEdit(dialog);
    // A save dialog puts the new type's first pattern in place of the name's
    // extension when the user picks a type, and our case-blind patterns would
    // read "tab.[xX][lL][sS]" there. The name is taken before the type box
    // reports the choice, and the name field gets it back, or what the
    // caller's handler makes of it.
    auto nameBefore = std::make_shared<QString>();
    const bool keepName = save && typeBox && nameEdit;
    if (keepName)
        QObject::connect(typeBox, &QComboBox::currentIndexChanged, &dialog,
                         [nameEdit, nameBefore] { *nameBefore = nameEdit->text(); });
    if (keepName || request.OnTypeChange) {
        const auto onTypeChange = request.OnTypeChange;
        QFileDialog* d = &dialog;
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [d, nameEdit, nameBefore, keepName, onTypeChange, filters](const QString&) {
            const QString current = keepName ? *nameBefore
                                             : QFileInfo(d->selectedFiles().value(0)).fileName();
            const QString name = onTypeChange ? onTypeChange(ChosenFileType(*d, filters), current) : current;
            if (keepName)
                nameEdit->setText(name);
            else if (!name.isEmpty())
                d->selectFile(name);
        });
    }
}

TFileDialogAnswer FileDialogAnswerOf(const QFileDialog& dialog, const TFileDialogRequest& request, int result)
{
    TFileDialogAnswer answer;
    answer.FilterIndex = request.FilterIndex;
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.Accepted = true;
    answer.FileName = dialog.selectedFiles().constFirst();
    if (const auto* box = dialog.findChild<QCheckBox*>(QLatin1String(ReadOnlyBoxName)))
        answer.ReadOnly = box->isChecked();
    const int chosen = ChosenFileType(dialog, FileDialogNameFilters(request.Filter));
    if (chosen > 0)
        answer.FilterIndex = chosen;
    return answer;
}

void InstallDefaultHooks()
{
    THooks& h = Hooks();
    h.KindMessageBox = QtKindMessageBox;
    h.MessageBox = QtMessageBox;
    h.Beep = [] { QApplication::beep(); };
    h.OpenFileDialog = [](const TFileDialogRequest& r) { return QtFileDialog(r, false); };
    h.SaveFileDialog = [](const TFileDialogRequest& r) { return QtFileDialog(r, true); };
    h.FontDialog = QtFontDialog;
    h.PrintDialog = QtPrintDialog;
    h.PrinterSetupDialog = QtPrinterSetupDialog;
    // The one printer of the program: the printer queues and PDF files.
    if (!dynamic_cast<TQtPrinter*>(&Printer())) {
        SetPrinter(std::make_unique<TQtPrinter>());
        // QPrinter needs the application: free it before the application goes.
        qAddPostRoutine([] { SetPrinter(nullptr); });
    }
    h.ColourDialog = QtColourDialog;
    h.OpenDocument = QtOpenDocument;
    h.PageSetupDialog = QtPageSetupDialog;
}

} // namespace platform
