#pragma once
// The options dialog: edits the settings record and the report head template
// file. The main window creates it once and runs it from its options button;
// the result tells whether the archive directory has to be scanned again and
// whether the head template may be reloaded from its file.
#include "evaluation/EvaluationState.h"
#include "platform/forms/TranslationRegistry.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class THeadTemplate;

// What came of a run of the dialog.
struct TOptionsResult {
    bool Accepted = false;        // confirmed with OK
    // The archive directory, the file mask, ArcDesc or GerKan changed: scan
    // again and hide the table; otherwise update the view (refills a table).
    bool Rescan = false;
    // The head template file was written: reload the template from it. False
    // when writing failed; the template in memory then holds the memo's lines.
    bool ReloadTemplate = false;
};

class TOptionen_Form : public QDialog {
    Q_OBJECT
public:
    explicit TOptionen_Form(QWidget* parent = nullptr);
    ~TOptionen_Form() override;

    // Loads the record into the dialog, shows it modally and, after OK, stores
    // it back; after Cancel the record and the template file stay untouched.
    TOptionsResult Execute(TEinstellungen& settings, THeadTemplate& headTemplate);

    // Execute without its modal run: Begin fills the dialog, Finish stores
    // after an accepted result (the dialog's result()) and answers as Execute.
    void BeginExecute(const TEinstellungen& settings, THeadTemplate& headTemplate);
    TOptionsResult FinishExecute(int dialogResult, TEinstellungen& settings);

    void LoadFromSettings(const TEinstellungen& settings);
    // Answers false when the head template file could not be written (the
    // other fields are stored all the same).
    bool StoreToSettings(TEinstellungen& settings);

    // Handlers.
    void ArchivPfad_KnopfClick();
    void ArchivPfad_EditFeldExit();

    // The archive directory that OK writes back (the path field only shows it).
    const QString& AcceptedArchivePath() const { return acceptedPath_; }

    // Takes the typed archive directory as if the field had been left.
    void accept() override;

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    // Width the directory selection is assumed to have when it is placed
    // below the directory button.
    static constexpr int DirectorySelectionWidth = 320;

    // ---- Controls ----------------------------------------------------------------
    QPointer<QGroupBox> Pfad_Box;
    QPointer<QLabel> ParaPfadLabel;
    QPointer<QLineEdit> ArchivPfad_EditFeld;
    QPointer<QToolButton> ArchivPfad_Knopf;
    QPointer<QLabel> Datei_Label;
    QPointer<QLineEdit> Datei_EditFeld;
    QPointer<QLabel> ZahlenFormat_Label;
    QPointer<QLineEdit> ZahlenFormat_Edit;
    QPointer<QCheckBox> TagesBeginnAusKopf_Schalter;
    QPointer<QCheckBox> ZahlenFormatiert_Schalter;
    QPointer<QCheckBox> UhrzeitImmer_Schalter;
    QPointer<QCheckBox> KopfZeile_Schalter;
    QPointer<QCheckBox> ArchivBeschreibung_Schalter;
    QPointer<QGroupBox> BesondereEreignisse_Schalter;   // radio group "Nein", "Ja", "Nur"
    QPointer<QCheckBox> OhneDoppelte_Schalter;
    QPointer<QCheckBox> StatusDekodiert_Schalter;
    QPointer<QCheckBox> GerKan_Schalter;
    QPointer<QCheckBox> InstStatus_Schalter;
    QPointer<QCheckBox> OnoSortierung_Schalter;
    QPointer<QGroupBox> GrBoxDateien;
    QPointer<QPlainTextEdit> KopfDatei_Text;
    QPointer<QGroupBox> GroupBox1;
    QPointer<QLineEdit> Auswert_Edit;
    QPointer<QGroupBox> Datei_Box;
    QPointer<QPushButton> OkKnopf;
    QPointer<QPushButton> AbbruchKnopf;

    // The radio group's item index: 0..2, or -1 when no item is chosen.
    int SpecialEventsIndex() const;
    void SetSpecialEventsIndex(int index);

private:
    void RegisterTranslatables();
    // An edit whose typed text is upper-cased and limited (see LimitTypedText).
    void LimitTyping(QLineEdit* edit, int limit, bool upperCase);
    // Sets a field's text from the program (never cut or upper-cased).
    void SetFieldText(QLineEdit* edit, const QString& text);

    QString acceptedPath_;
    THeadTemplate* headTemplate_ = nullptr;
    TEinstellungen before_;
    QButtonGroup* specialEvents_ = nullptr;
    QList<QRadioButton*> specialEventItems_;
    // The text each limited edit held before the last edit.
    QHash<QLineEdit*, QString> fieldTexts_;
    platform::TFormTranslations translations_{this, 40};
};

extern TOptionen_Form* Optionen_Form;
