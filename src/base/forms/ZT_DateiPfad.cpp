#include "base/forms/ZT_DateiPfad.h"

#include <QLabel>
#include <QVBoxLayout>

TDateiPfadMaske* DateiPfadMaske = nullptr;

namespace {

QLabel* HiddenLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->hide();
    layout->addWidget(label);
    return label;
}

} // namespace

TDateiPfadMaske::TDateiPfadMaske(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DateiPfadMaske"));
    setWindowTitle(QStringLiteral("Dateiauswahl"));

    auto* layout = new QVBoxLayout(this);
    Abfrage_Label_1 = HiddenLabel(this, layout, "Abfrage_Label_1", QStringLiteral("öffnen"));
    Abfrage_Label_2 = HiddenLabel(this, layout, "Abfrage_Label_2", QStringLiteral("speichern"));
    Dateien_Label = HiddenLabel(this, layout, "Dateien_Label", QStringLiteral("Dateien"));
    Daten_Label = HiddenLabel(this, layout, "Daten_Label", QStringLiteral("Daten"));
    Visualisierungsparameter_Label =
        HiddenLabel(this, layout, "Visualisierungsparameter_Label", QStringLiteral("Visualisierungsparameter"));

    using K = platform::TTranslatableKind;
    translations_.Register(Abfrage_Label_1, 1, K::Label);
    translations_.Register(Abfrage_Label_2, 2, K::Label);
    translations_.Register(Dateien_Label, 3, K::Label);
    translations_.Register(Daten_Label, 4, K::Label);
    translations_.Register(Visualisierungsparameter_Label, 5, K::Label);

    DateiPfadMaske = this;
}

TDateiPfadMaske::~TDateiPfadMaske()
{
    if (DateiPfadMaske == this)
        DateiPfadMaske = nullptr;
}

void TDateiPfadMaske::SelectFileOfKind(TFileRequest& request)
{
    if (!tables_.Translated()) {
        TFileKindWords words;
        words.Dateien = Dateien_Label->text();
        words.Daten = Daten_Label->text();
        words.Visualisierungsparameter = Visualisierungsparameter_Label->text();
        tables_.Translate(words);
    }
    ::SelectFileOfKind(tables_, Abfrage_Label_2->text(), request);
}

QString TDateiPfadMaske::TypeChange(TFileKind kind, int typeIndex, const QString& currentName) const
{
    return FileNameForType(typeIndex, currentName);
}
