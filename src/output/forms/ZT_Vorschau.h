#pragma once
// The page preview window. The main window creates it once at start-up and
// frees it at the end. For now it holds the hidden controls that carry its
// translatable texts (page button hints, view choices, status words); showing
// pages comes with table and chart printing.
#include "platform/forms/TranslationRegistry.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QListWidget;

class TZT_Vorschau : public QWidget {
    Q_OBJECT
public:
    explicit TZT_Vorschau(QWidget* parent = nullptr);
    ~TZT_Vorschau() override;

    platform::TFormTranslations& Translations() { return translations_; }
    const platform::TFormTranslations& Translations() const { return translations_; }

    // Hidden carriers of translatable texts.
    QPointer<QLabel> Abfrage_Label_0;     // "Seitenvorschau"
    QPointer<QLabel> Abfrage_Label_1;     // "Seite"
    QPointer<QLabel> Abfrage_Label_2;     // "von"
    QPointer<QListWidget> ListBox1;       // view choices
    QPointer<QListWidget> ListBox2;       // hints of the four page buttons

private:
    platform::TFormTranslations translations_{this};
};

extern TZT_Vorschau* ZT_Vorschau;
