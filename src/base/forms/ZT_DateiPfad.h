#pragma once
// The file selection window. It is never shown itself: it carries the
// translatable words of the file kinds on hidden labels (so that a language
// module translates them with the window) and asks for a file through the
// platform's save dialog. The main window creates it once; the global
// DateiPfadMaske points at it while it lives.
#include "base/FileSelect.h"
#include "platform/forms/TranslationRegistry.h"

#include <QDialog>

class QLabel;

class TDateiPfadMaske : public QDialog {
    Q_OBJECT
public:
    explicit TDateiPfadMaske(QWidget* parent = nullptr);
    ~TDateiPfadMaske() override;

    // Asks for a file to write of the request's kind; the request's Accepted
    // tells the outcome (see SelectFileOfKind of base/FileSelect.h). The first
    // call translates the kinds' tables with the hidden labels' captions.
    void SelectFileOfKind(TFileRequest& request);

    // The dialog's type-change handler: the name to show for the newly picked
    // type (1-based) of the kind being asked for.
    QString TypeChange(TFileKind kind, int typeIndex, const QString& currentName) const;

    const TFileKindTables& Tables() const { return tables_; }

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    // Hidden labels with the translatable words.
    QLabel* Abfrage_Label_1 = nullptr;                  // "öffnen"
    QLabel* Abfrage_Label_2 = nullptr;                  // "speichern"
    QLabel* Dateien_Label = nullptr;                    // "Dateien"
    QLabel* Daten_Label = nullptr;                      // "Daten"
    QLabel* Visualisierungsparameter_Label = nullptr;   // "Visualisierungsparameter"

private:
    TFileKindTables tables_;
    platform::TFormTranslations translations_{this};
};

extern TDateiPfadMaske* DateiPfadMaske;
