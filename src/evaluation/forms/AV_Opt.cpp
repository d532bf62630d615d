#include "evaluation/forms/AV_Opt.h"

#include "base/ZT_Tools.h"
#include "evaluation/HeadTemplate.h"
#include "evaluation/OptionsLogic.h"
#include "platform/Hooks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TOptionen_Form* Optionen_Form = nullptr;

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TOptionen_Form::TOptionen_Form(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Optionen_Form"));
    setWindowTitle(QStringLiteral("Optionen"));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);

    // ---- Archive data ----
    Pfad_Box = Named(new QGroupBox(QStringLiteral("Archivdaten"), this), "Pfad_Box");
    auto* pathGrid = new QGridLayout(Pfad_Box);
    ParaPfadLabel = Named(new QLabel(QStringLiteral("Verzeichnis"), Pfad_Box), "ParaPfadLabel");
    ArchivPfad_EditFeld = Named(new QLineEdit(Pfad_Box), "ArchivPfad_EditFeld");
    ArchivPfad_EditFeld->setToolTip(QStringLiteral("Pfad zu den Archiv-Dateien."));
    // A path is limited by nothing but the file system.
    ArchivPfad_EditFeld->setMaxLength(32767);
    ArchivPfad_Knopf = Named(new QToolButton(Pfad_Box), "ArchivPfad_Knopf");
    ArchivPfad_Knopf->setText(QStringLiteral("..."));
    ArchivPfad_Knopf->setToolTip(QStringLiteral("Auswahl von Archivdaten-Laufwerk und -Pfad"));
    Datei_Label = Named(new QLabel(QStringLiteral("Dateimaske"), Pfad_Box), "Datei_Label");
    Datei_EditFeld = Named(new QLineEdit(Pfad_Box), "Datei_EditFeld");
    ZahlenFormat_Label = Named(new QLabel(QStringLiteral("Zahlenformat"), Pfad_Box), "ZahlenFormat_Label");
    ZahlenFormat_Edit = Named(new QLineEdit(Pfad_Box), "ZahlenFormat_Edit");

    const auto check = [this](const char* name, const char* caption) {
        auto* box = Named(new QCheckBox(QString::fromUtf8(caption), Pfad_Box), name);
        return box;
    };
    TagesBeginnAusKopf_Schalter = check("TagesBeginnAusKopf_Schalter", "Tagesbeginn aus Archiv holen");
    ZahlenFormatiert_Schalter = check("ZahlenFormatiert_Schalter", "Zahlen formatiert");
    UhrzeitImmer_Schalter = check("UhrzeitImmer_Schalter", "Uhrzeit immer an");
    KopfZeile_Schalter = check("KopfZeile_Schalter", "1. Kopfzeile");
    ArchivBeschreibung_Schalter = check("ArchivBeschreibung_Schalter", "Archivbeschreibung");

    BesondereEreignisse_Schalter =
        Named(new QGroupBox(QStringLiteral("Besondere Ereignisse darstellen"), Pfad_Box), "BesondereEreignisse_Schalter");
    auto* radioRow = new QHBoxLayout(BesondereEreignisse_Schalter);
    specialEvents_ = new QButtonGroup(this);
    const QStringList items{QStringLiteral("Nein"), QStringLiteral("Ja"), QStringLiteral("Nur")};
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], BesondereEreignisse_Schalter);
        item->setObjectName(QStringLiteral("BesondereEreignisse_Item%1").arg(i));
        specialEvents_->addButton(item, i);
        specialEventItems_.append(item);
        radioRow->addWidget(item);
    }

    OhneDoppelte_Schalter = check("OhneDoppelte_Schalter", "Ohne doppelte");
    StatusDekodiert_Schalter = check("StatusDekodiert_Schalter", "Status dekodiert");
    GerKan_Schalter = check("GerKan_Schalter", "RV mit DS-Nummern");
    InstStatus_Schalter = check("InstStatus_Schalter", "Werte-Status");
    InstStatus_Schalter->setToolTip(QStringLiteral("Status-Spalten zu den Werten"));
    OnoSortierung_Schalter = check("OnoSortierung_Schalter", "Default-Sortierung nach Ordnungsnr.");

    pathGrid->addWidget(ParaPfadLabel, 0, 0);
    pathGrid->addWidget(ArchivPfad_EditFeld, 0, 1, 1, 2);
    pathGrid->addWidget(ArchivPfad_Knopf, 0, 3);
    pathGrid->addWidget(Datei_Label, 1, 0);
    pathGrid->addWidget(Datei_EditFeld, 1, 1);
    pathGrid->addWidget(ZahlenFormat_Label, 1, 2);
    pathGrid->addWidget(ZahlenFormat_Edit, 1, 3);
    pathGrid->addWidget(TagesBeginnAusKopf_Schalter, 2, 0, 1, 2);
    pathGrid->addWidget(ZahlenFormatiert_Schalter, 2, 2, 1, 2);
    pathGrid->addWidget(UhrzeitImmer_Schalter, 3, 0, 1, 2);
    pathGrid->addWidget(KopfZeile_Schalter, 3, 2, 1, 2);
    pathGrid->addWidget(ArchivBeschreibung_Schalter, 4, 0, 1, 2);
    pathGrid->addWidget(OhneDoppelte_Schalter, 4, 2, 1, 2);
    pathGrid->addWidget(StatusDekodiert_Schalter, 5, 0, 1, 2);
    pathGrid->addWidget(GerKan_Schalter, 5, 2, 1, 2);
    pathGrid->addWidget(InstStatus_Schalter, 6, 0, 1, 2);
    pathGrid->addWidget(OnoSortierung_Schalter, 6, 2, 1, 2);
    pathGrid->addWidget(BesondereEreignisse_Schalter, 7, 0, 1, 4);
    pathGrid->setColumnStretch(1, 1);
    pathGrid->setColumnStretch(3, 1);
    layout->addWidget(Pfad_Box);

    // ---- Head template ----
    GrBoxDateien = Named(new QGroupBox(QString::fromUtf8("Text für den Kopf"), this), "GrBoxDateien");
    auto* templateLayout = new QVBoxLayout(GrBoxDateien);
    KopfDatei_Text = Named(new QPlainTextEdit(GrBoxDateien), "KopfDatei_Text");
    KopfDatei_Text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    KopfDatei_Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    templateLayout->addWidget(KopfDatei_Text);
    layout->addWidget(GrBoxDateien, 1);

    // ---- Counter evaluation text ----
    GroupBox1 = Named(new QGroupBox(QString::fromUtf8("Text für die Zählerdaten-Auswertung"), this), "GroupBox1");
    auto* counterLayout = new QVBoxLayout(GroupBox1);
    Auswert_Edit = Named(new QLineEdit(GroupBox1), "Auswert_Edit");
    counterLayout->addWidget(Auswert_Edit);
    layout->addWidget(GroupBox1);

    // ---- Buttons ----
    Datei_Box = Named(new QGroupBox(this), "Datei_Box");
    auto* buttonRow = new QHBoxLayout(Datei_Box);
    OkKnopf = Named(new QPushButton(QStringLiteral("&Ok"), Datei_Box), "OkKnopf");
    OkKnopf->setToolTip(QString::fromUtf8("Übernehmen der Einstellungen"));
    OkKnopf->setDefault(true);
    AbbruchKnopf = Named(new QPushButton(QStringLiteral("&Abbruch"), Datei_Box), "AbbruchKnopf");
    AbbruchKnopf->setToolTip(QString::fromUtf8("Verwerfen der Änderungen"));
    AbbruchKnopf->setAutoDefault(false);
    buttonRow->addStretch(1);
    buttonRow->addWidget(OkKnopf);
    buttonRow->addWidget(AbbruchKnopf);
    layout->addWidget(Datei_Box);

    // Every field's limit holds only for typing; the path field has none.
    LimitTyping(Datei_EditFeld, options::MaskFieldLength, true);
    LimitTyping(ZahlenFormat_Edit, options::NumberFormatFieldLength, true);
    LimitTyping(Auswert_Edit, options::CounterTextFieldLength, true);
    for (QLineEdit* edit : {ArchivPfad_EditFeld.data(), Datei_EditFeld.data(), ZahlenFormat_Edit.data()})
        connect(edit, &QLineEdit::editingFinished, this, &TOptionen_Form::ArchivPfad_EditFeldExit);
    connect(ArchivPfad_Knopf, &QToolButton::clicked, this, &TOptionen_Form::ArchivPfad_KnopfClick);
    connect(OkKnopf, &QPushButton::clicked, this, &TOptionen_Form::accept);
    connect(AbbruchKnopf, &QPushButton::clicked, this, &TOptionen_Form::reject);

    RegisterTranslatables();
    resize(520, 560);
    Optionen_Form = this;
}

TOptionen_Form::~TOptionen_Form()
{
    if (Optionen_Form == this)
        Optionen_Form = nullptr;
}

void TOptionen_Form::RegisterTranslatables()
{
    using K = platform::TTranslatableKind;
    translations_.Register(Pfad_Box, 1, K::GroupBox);
    translations_.Register(ParaPfadLabel, 7, K::Label);
    translations_.Register(ArchivPfad_EditFeld, 3, K::Edit);
    translations_.Register(ArchivPfad_Knopf, 6, K::SpeedButton);
    translations_.Register(Datei_Label, 4, K::Label);
    translations_.Register(ZahlenFormat_Label, 2, K::Label);
    translations_.Register(TagesBeginnAusKopf_Schalter, 17, K::CheckBox);
    translations_.Register(ZahlenFormatiert_Schalter, 18, K::CheckBox);
    translations_.Register(UhrzeitImmer_Schalter, 19, K::CheckBox);
    translations_.Register(KopfZeile_Schalter, 21, K::CheckBox);
    translations_.Register(ArchivBeschreibung_Schalter, 28, K::CheckBox);
    translations_.Register(BesondereEreignisse_Schalter, 10, K::RadioGroup);
    translations_.Register(OhneDoppelte_Schalter, 15, K::CheckBox);
    translations_.Register(StatusDekodiert_Schalter, 20, K::CheckBox);
    translations_.Register(GerKan_Schalter, 26, K::CheckBox);
    translations_.Register(InstStatus_Schalter, 22, K::CheckBox);
    translations_.Register(OnoSortierung_Schalter, 27, K::CheckBox);
    translations_.Register(GrBoxDateien, 8, K::GroupBox);
    translations_.Register(GroupBox1, 23, K::GroupBox);
    translations_.Register(OkKnopf, 24, K::Button);
    translations_.Register(AbbruchKnopf, 25, K::Button);
}

// ---- Typed text -------------------------------------------------------------------

void TOptionen_Form::LimitTyping(QLineEdit* edit, int limit, bool upperCase)
{
    fieldTexts_.insert(edit, edit->text());
    connect(edit, &QLineEdit::textEdited, this, [this, edit, limit, upperCase](const QString& text) {
        const QString limited = options::LimitTypedText(fieldTexts_.value(edit), text, limit, upperCase);
        if (limited != text) {
            const int cursor = edit->cursorPosition() - int(text.size() - limited.size());
            edit->setText(limited);
            edit->setCursorPosition(std::max(0, cursor));
        }
        fieldTexts_.insert(edit, limited);
    });
}

void TOptionen_Form::SetFieldText(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    if (fieldTexts_.contains(edit))
        fieldTexts_.insert(edit, text);
}

// ---- Running the dialog -------------------------------------------------------------

TOptionsResult TOptionen_Form::Execute(TEinstellungen& settings, THeadTemplate& headTemplate)
{
    BeginExecute(settings, headTemplate);
    const int result = exec();
    return FinishExecute(result, settings);
}

void TOptionen_Form::BeginExecute(const TEinstellungen& settings, THeadTemplate& headTemplate)
{
    headTemplate_ = &headTemplate;
    before_ = settings;
    LoadFromSettings(settings);
}

TOptionsResult TOptionen_Form::FinishExecute(int dialogResult, TEinstellungen& settings)
{
    TOptionsResult result;
    if (dialogResult != QDialog::Accepted)
        return result;
    result.Accepted = true;
    result.ReloadTemplate = StoreToSettings(settings);
    result.Rescan = options::CompareSettings(before_, settings) == options::TOptionsEffect::Rescan;
    return result;
}

void TOptionen_Form::LoadFromSettings(const TEinstellungen& settings)
{
    acceptedPath_ = AppendBackslash(settings.ArchivPfad);
    SetFieldText(ArchivPfad_EditFeld, acceptedPath_);
    SetFieldText(Datei_EditFeld, settings.DateiMaske);

    TagesBeginnAusKopf_Schalter->setChecked(settings.HoleTB);
    ZahlenFormatiert_Schalter->setChecked(settings.Format);
    UhrzeitImmer_Schalter->setChecked(settings.ZeitImmer);
    KopfZeile_Schalter->setChecked(settings.KopfZeile);
    ArchivBeschreibung_Schalter->setChecked(settings.ArcDesc);
    SetSpecialEventsIndex(settings.SondEreig);
    OhneDoppelte_Schalter->setChecked(settings.OhneDoppelte);
    StatusDekodiert_Schalter->setChecked(settings.StatusDekodiert);
    GerKan_Schalter->setChecked(settings.GerKan);
    InstStatus_Schalter->setChecked(settings.InstStat);
    OnoSortierung_Schalter->setChecked(settings.SortOno);

    const THeadTemplate empty;
    const QStringList lines =
        options::TemplateLinesForMemo(settings.KopfDatei, headTemplate_ ? *headTemplate_ : empty);
    KopfDatei_Text->setPlainText(options::LinesToMemoText(lines));
    KopfDatei_Text->setVisible(true);

    SetFieldText(Auswert_Edit, settings.ZaehlerText);
    SetFieldText(ZahlenFormat_Edit, settings.ZahlenFormat);
}

bool TOptionen_Form::StoreToSettings(TEinstellungen& settings)
{
    settings.ArchivPfad = acceptedPath_;
    settings.DateiMaske = Datei_EditFeld->text().left(options::MaskLength);

    settings.HoleTB = TagesBeginnAusKopf_Schalter->isChecked();
    settings.Format = ZahlenFormatiert_Schalter->isChecked();
    settings.ZeitImmer = UhrzeitImmer_Schalter->isChecked();
    settings.KopfZeile = KopfZeile_Schalter->isChecked();
    settings.ArcDesc = ArchivBeschreibung_Schalter->isChecked();
    const int index = SpecialEventsIndex();
    if (index >= 0 && index <= 2)
        settings.SondEreig = uint8_t(index);
    settings.OhneDoppelte = OhneDoppelte_Schalter->isChecked();
    settings.StatusDekodiert = StatusDekodiert_Schalter->isChecked();
    settings.GerKan = GerKan_Schalter->isChecked();
    settings.InstStat = InstStatus_Schalter->isChecked();
    settings.SortOno = OnoSortierung_Schalter->isChecked();

    THeadTemplate scratch;
    const bool saved = options::StoreTemplateFromMemo(options::MemoTextToLines(KopfDatei_Text->toPlainText()),
                                                      settings.KopfDatei, headTemplate_ ? *headTemplate_ : scratch);

    settings.ZaehlerText = Auswert_Edit->text().left(options::CounterTextLength);
    settings.ZahlenFormat = ZahlenFormat_Edit->text().left(options::NumberFormatLength);
    return saved;
}

int TOptionen_Form::SpecialEventsIndex() const
{
    return specialEvents_->checkedId();
}

void TOptionen_Form::SetSpecialEventsIndex(int index)
{
    if (index >= 0 && index < specialEventItems_.size()) {
        specialEventItems_[index]->setChecked(true);
        return;
    }
    // No item chosen: an exclusive group cannot uncheck its last button.
    specialEvents_->setExclusive(false);
    for (QRadioButton* item : specialEventItems_)
        item->setChecked(false);
    specialEvents_->setExclusive(true);
}

// ---- Handlers -----------------------------------------------------------------------

void TOptionen_Form::ArchivPfad_KnopfClick()
{
    const auto& dialog = platform::Hooks().DirectoryDialog;
    if (!dialog)
        return;
    platform::TDirectoryDialogRequest request;
    request.StartDir = acceptedPath_;
    // Just below the button, right edges aligned.
    const QPoint corner = ArchivPfad_Knopf->mapToGlobal(QPoint(ArchivPfad_Knopf->width(), ArchivPfad_Knopf->height()));
    request.Left = corner.x() - DirectorySelectionWidth;
    request.Top = corner.y() + 24;
    const platform::TDirectoryDialogAnswer answer = dialog(request);
    if (!answer.Accepted || answer.Directory.isEmpty())
        return;
    acceptedPath_ = AppendBackslash(answer.Directory);
    SetFieldText(ArchivPfad_EditFeld, acceptedPath_);
}

void TOptionen_Form::ArchivPfad_EditFeldExit()
{
    acceptedPath_ = options::AcceptTypedDirectory(ArchivPfad_EditFeld->text(), acceptedPath_);
    if (ArchivPfad_EditFeld->text() != acceptedPath_)
        SetFieldText(ArchivPfad_EditFeld, acceptedPath_);
}

void TOptionen_Form::accept()
{
    // A directory typed and confirmed without leaving the field counts.
    ArchivPfad_EditFeldExit();
    QDialog::accept();
}
