#include "output/forms/ZT_Vorschau.h"

#include <QLabel>
#include <QListWidget>

TZT_Vorschau* ZT_Vorschau = nullptr;

namespace {

QLabel* hiddenLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

QListWidget* hiddenList(QWidget* parent, const char* name, const QStringList& items)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->hide();
    return list;
}

} // namespace

TZT_Vorschau::TZT_Vorschau(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZT_Vorschau"));
    setWindowTitle(QStringLiteral("Seitenvorschau"));

    Abfrage_Label_0 = hiddenLabel(this, "Abfrage_Label_0", QStringLiteral("Seitenvorschau"));
    Abfrage_Label_1 = hiddenLabel(this, "Abfrage_Label_1", QStringLiteral("Seite"));
    Abfrage_Label_2 = hiddenLabel(this, "Abfrage_Label_2", QStringLiteral("von"));
    ListBox1 = hiddenList(this, "ListBox1", {QStringLiteral("Ganze Seite"), QStringLiteral("Seitenbreite")});
    ListBox2 = hiddenList(this, "ListBox2",
                          {QStringLiteral("Erste Seite"), QStringLiteral("Vorherige Seite"),
                           QStringLiteral("Nächste Seite"), QStringLiteral("Letzte Seite")});

    // Language ids: the labels 1..3, the view choices 11 and 12, the page
    // button hints 21..24.
    using K = platform::TTranslatableKind;
    translations_.Register(Abfrage_Label_0, 1, K::Label);
    translations_.Register(Abfrage_Label_1, 2, K::Label);
    translations_.Register(Abfrage_Label_2, 3, K::Label);
    translations_.Register(ListBox1, 10, K::ListBox);
    translations_.Register(ListBox2, 20, K::ListBox);

    ZT_Vorschau = this;
}

TZT_Vorschau::~TZT_Vorschau()
{
    if (ZT_Vorschau == this)
        ZT_Vorschau = nullptr;
}
