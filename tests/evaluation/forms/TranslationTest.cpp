// Translating registered controls from a language module, the built-in English
// texts and the language-module generator (offscreen).
#include "evaluation/forms/LanguageForms.h"
#include "evaluation/forms/ZT_TbAus.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::TTranslatableKind;
using testsupport::FakeHooks;

namespace {

// A small form with one control of every kind, registered as a window does.
struct TestForm {
    explicit TestForm(const QString& name = QStringLiteral("Test_Form"))
        : form(new QWidget), reg(form.get(), 40)
    {
        form->setObjectName(name);
        form->setWindowTitle(QStringLiteral("Testfenster"));
        label = new QLabel(QStringLiteral("Verzeichnis"), form.get());
        label->setObjectName(QStringLiteral("Pfad_Label"));
        check = new QCheckBox(QStringLiteral("Zähler"), form.get());
        check->setObjectName(QStringLiteral("ZST_Schalter"));
        check->setToolTip(QStringLiteral("Zählerstände"));
        radio = new QRadioButton(QStringLiteral("Einzeln"), form.get());
        group = new QGroupBox(QStringLiteral("Archivdaten"), form.get());
        button = new QPushButton(QStringLiteral("&Ok"), form.get());
        button->setToolTip(QStringLiteral("Übernehmen"));
        speed = new QToolButton(form.get());
        speed->setText(QStringLiteral("Drucken"));
        tabs = new QTabWidget(form.get());
        sheet = new QWidget;
        tabs->addTab(sheet, QStringLiteral("Allgemein"));
        tabs->addTab(new QWidget, QStringLiteral("Weiteres"));
        menu = new QMenu(form.get());
        menuItem = menu->addAction(QStringLiteral("Aktualisieren"));
        action = new QAction(QStringLiteral("Alles öffnen"), form.get());
        chart = new QWidget(form.get());
        chart->setToolTip(QStringLiteral("Diagramm"));
        edit = new QLineEdit(form.get());
        edit->setToolTip(QStringLiteral("Pfad zu den Archiv-Dateien."));
        radioGroup = new QGroupBox(QStringLiteral("Besondere Ereignisse darstellen"), form.get());
        for (const char* item : {"Nein", "Ja", "Nur"})
            new QRadioButton(QString::fromLatin1(item), radioGroup);
        list = new QListWidget(form.get());
        list->addItems({QStringLiteral("Erste Seite"), QStringLiteral("Nächste Seite")});

        reg.Register(label, 1, TTranslatableKind::Label);
        reg.Register(check, 2, TTranslatableKind::CheckBox);
        reg.Register(radio, 3, TTranslatableKind::RadioButton);
        reg.Register(group, 4, TTranslatableKind::GroupBox);
        reg.Register(button, 5, TTranslatableKind::Button);
        reg.Register(speed, 6, TTranslatableKind::SpeedButton);
        reg.Register(sheet, 7, TTranslatableKind::TabSheet);
        reg.Register(menuItem, 8, TTranslatableKind::MenuItem);
        reg.Register(action, 9, TTranslatableKind::Action);
        reg.Register(chart, 10, TTranslatableKind::Chart);
        reg.Register(edit, 11, TTranslatableKind::Edit);
        reg.Register(radioGroup, 12, TTranslatableKind::RadioGroup);   // items 13..15
        reg.Register(list, 16, TTranslatableKind::ListBox);            // items 17, 18
        reg.Register(tabs, 20, TTranslatableKind::TabbedNotebook);     // pages 20, 21
    }

    QString radioItem(int j) const
    {
        return radioGroup->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)[j]->text();
    }

    std::unique_ptr<QWidget> form;
    platform::TFormTranslations reg;
    QLabel* label;
    QCheckBox* check;
    QRadioButton* radio;
    QGroupBox* group;
    QPushButton* button;
    QToolButton* speed;
    QTabWidget* tabs;
    QWidget* sheet;
    QMenu* menu;
    QAction* menuItem;
    QAction* action;
    QWidget* chart;
    QLineEdit* edit;
    QGroupBox* radioGroup;
    QListWidget* list;
};

// A sandboxed program with LANGUAGE=FRA and, when given, its module.
class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(box.programDir());
        platform::IniFile(box.programDir() + QStringLiteral("valdran.INI"))
            .WriteString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"), QStringLiteral("FRA"));
    }

    std::unique_ptr<t_ZT_SPR_Auswerten> loadModule(const QStringList& entries)
    {
        QStringList lines = {QStringLiteral("STRINGTABLE"), QStringLiteral("BEGIN")};
        lines << entries << QStringLiteral("END");
        EXPECT_TRUE(testsupport::writeFile(box.programDir() + QStringLiteral("SPR/AV_FRA.DLL"),
                                           platform::EncodeLines(lines)));
        auto reader = std::make_unique<t_ZT_SPR_Auswerten>(t_ZT_SPR_Auswerten::ProgramModulePrefix());
        EXPECT_EQ(reader->State(), t_ZT_SPR_Auswerten::StateLoaded);
        return reader;
    }

    testsupport::ProgramSandbox box;
    FakeHooks hooks;
};

// Runs a test in a temporary current directory and restores the old one.
class CurrentDirectory {
public:
    CurrentDirectory() : old_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~CurrentDirectory() { QDir::setCurrent(old_); }
    QString path() const { return dir_.path(); }
private:
    QTemporaryDir dir_;
    QString old_;
};

} // namespace

TEST_F(TranslationTest, EveryKindTakesItsTextAsItsKindAsks)
{
    TestForm f;
    const auto reader = loadModule({
        QStringLiteral("3440, \"Fenêtre|Astuce\""),
        QStringLiteral("3401, \"Dossier\""),
        QStringLiteral("3402, \"Compteur|Relevés\""),
        QStringLiteral("3403, \"Seul\""),
        QStringLiteral("3404, \"Archives\""),
        QStringLiteral("3405, \"&Valider|Accepter\""),
        QStringLiteral("3406, \"Imprimer|Imprimer le tableau\""),
        QStringLiteral("3407, \"Général|Page générale\""),
        QStringLiteral("3408, \"Actualiser|Relire\""),
        QStringLiteral("3409, \"Tout ouvrir\""),
        QStringLiteral("3410, \"ignored caption|Graphique\""),
        QStringLiteral("3411, \"|Chemin des archives\""),
        QStringLiteral("3412, \"Événements|Spéciaux\""),
        QStringLiteral("3413, \"Non|pas de hint\""),
        QStringLiteral("3414, \"Oui\""),
        QStringLiteral("3417, \"Première page|hint dropped\""),
        QStringLiteral("3420, \"Onglet A|whole\""),
    });
    TranslateForm(reader.get(), &f.reg, 3400);

    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Fenêtre"));
    EXPECT_EQ(f.form->toolTip(), QStringLiteral("Astuce"));
    EXPECT_EQ(f.label->text(), QStringLiteral("Dossier"));
    EXPECT_EQ(f.check->text(), QStringLiteral("Compteur"));
    EXPECT_EQ(f.check->toolTip(), QStringLiteral("Relevés"));
    EXPECT_EQ(f.radio->text(), QStringLiteral("Seul"));
    EXPECT_EQ(f.group->title(), QStringLiteral("Archives"));
    EXPECT_EQ(f.button->text(), QStringLiteral("&Valider"));
    EXPECT_EQ(f.button->toolTip(), QStringLiteral("Accepter"));
    EXPECT_EQ(f.speed->text(), QStringLiteral("Imprimer"));
    EXPECT_EQ(f.speed->toolTip(), QStringLiteral("Imprimer le tableau"));
    EXPECT_EQ(f.tabs->tabText(0), QStringLiteral("Onglet A|whole"));   // the notebook's page 0 comes last
    EXPECT_EQ(f.tabs->tabToolTip(0), QStringLiteral("Page générale"));
    EXPECT_EQ(f.menuItem->text(), QStringLiteral("Actualiser"));
    EXPECT_EQ(f.menuItem->toolTip(), QStringLiteral("Relire"));
    EXPECT_EQ(f.action->text(), QStringLiteral("Tout ouvrir"));
    EXPECT_EQ(f.chart->toolTip(), QStringLiteral("Graphique"));
    EXPECT_EQ(f.edit->toolTip(), QStringLiteral("Chemin des archives"));
    // Radio group: caption and hint, items as whole texts, missing items "S#" + id.
    EXPECT_EQ(f.radioGroup->title(), QStringLiteral("Événements"));
    EXPECT_EQ(f.radioGroup->toolTip(), QStringLiteral("Spéciaux"));
    EXPECT_EQ(f.radioItem(0), QStringLiteral("Non|pas de hint"));
    EXPECT_EQ(f.radioItem(1), QStringLiteral("Oui"));
    EXPECT_EQ(f.radioItem(2), QStringLiteral("S#3415"));
    // List box: heads only, missing items kept.
    EXPECT_EQ(f.list->item(0)->text(), QStringLiteral("Première page"));
    EXPECT_EQ(f.list->item(1)->text(), QStringLiteral("Nächste Seite"));
    EXPECT_EQ(f.tabs->tabText(1), QStringLiteral("Weiteres"));
}

TEST_F(TranslationTest, AnEntryWithoutBarKeepsTheHintAndMissingEntriesKeepTheTexts)
{
    TestForm f;
    const auto reader = loadModule({QStringLiteral("   2, \"Graph\""), QStringLiteral("   5, \"OK|\"")});
    TranslateForm(reader.get(), &f.reg, 0);
    EXPECT_EQ(f.check->text(), QStringLiteral("Graph"));
    EXPECT_EQ(f.check->toolTip(), QStringLiteral("Zählerstände"));
    EXPECT_EQ(f.button->text(), QStringLiteral("OK"));
    EXPECT_EQ(f.button->toolTip(), QStringLiteral("Übernehmen"));   // an empty hint changes nothing
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Testfenster"));
    EXPECT_EQ(f.label->text(), QStringLiteral("Verzeichnis"));
    EXPECT_EQ(f.chart->toolTip(), QStringLiteral("Diagramm"));
    EXPECT_EQ(f.edit->toolTip(), QStringLiteral("Pfad zu den Archiv-Dateien."));
    EXPECT_EQ(f.list->item(0)->text(), QStringLiteral("Erste Seite"));
    EXPECT_EQ(f.tabs->tabText(0), QStringLiteral("Allgemein"));
}

TEST_F(TranslationTest, NothingChangesWithoutALoadedModule)
{
    TestForm f;
    platform::IniFile(box.programDir() + QStringLiteral("valdran.INI"))
        .WriteString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"), QStringLiteral("ITA"));
    const t_ZT_SPR_Auswerten missing(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    ASSERT_EQ(missing.State(), t_ZT_SPR_Auswerten::StateMissing);
    TranslateForm(&missing, &f.reg, 0);
    TranslateForm(nullptr, &f.reg, 0);
    EXPECT_EQ(f.radioItem(0), QStringLiteral("Nein"));   // not "S#13"
    EXPECT_EQ(f.check->text(), QStringLiteral("Zähler"));
}

TEST_F(TranslationTest, MovedControlsKeepTheirFormsOffsetAndFreedOnesAreSkipped)
{
    TestForm options(QStringLiteral("Optionen_Form"));
    TestForm other(QStringLiteral("Other_Form"));
    // Another window takes a check box into its layout; a label is freed.
    options.check->setParent(other.form.get());
    delete options.label;
    const auto reader = loadModule({QStringLiteral("3402, \"Options\""), QStringLiteral("   2, \"Main\""),
                                    QStringLiteral("3401, \"gone\"")});
    TranslateForm(reader.get(), &other.reg, 0);
    TranslateForm(reader.get(), &options.reg, 3400);
    EXPECT_EQ(options.check->text(), QStringLiteral("Options"));
    EXPECT_EQ(other.check->text(), QStringLiteral("Main"));
    EXPECT_EQ(options.reg.FindByName(QStringLiteral("ZST_Schalter")), options.check);
}

TEST_F(TranslationTest, TableWindowEnglishTextsAndModuleTexts)
{
    TTabAus_Form table;
    EXPECT_TRUE(ApplyBuiltInTexts(table.Translations(), EnglishTexts_TabAus()).isEmpty());
    SetEnglishTexts(table);
    EXPECT_EQ(table.windowTitle(), QStringLiteral("Tessmar table"));
    EXPECT_EQ(table.Vorschau_Knopf->toolTip(), QStringLiteral("Print preview table:Screen overview of current page"));
    EXPECT_EQ(table.DruckKnopf->toolTip(), QStringLiteral("Print or export the displayed table"));
    EXPECT_EQ(table.Kopieren_Knopf->toolTip(), QStringLiteral("Copy the marked table areas to clipboard"));
    EXPECT_EQ(table.AllesMarkieren_Knopf->toolTip(), QStringLiteral("Mark all"));
    EXPECT_EQ(table.SchriftKnopf->toolTip(), QStringLiteral("Change font for table"));

    // The main window takes the tool bar away; the module still reaches it.
    QWidget mainWindow;
    table.Bedien_Box->setParent(&mainWindow);
    const auto reader = loadModule({QStringLiteral("20901, \"Tableau\""),
                                    QStringLiteral("20903, \"Imprimer|Imprimer le tableau\""),
                                    QStringLiteral("20914, \"Sortie tableau\"")});
    TranslateForm(reader.get(), &table.Translations(), language_offsets::TableWindow);
    EXPECT_EQ(table.windowTitle(), QStringLiteral("Tableau"));
    EXPECT_EQ(table.DruckKnopf->toolTip(), QStringLiteral("Imprimer le tableau"));
    EXPECT_EQ(table.Abfrage_Label_2->text(), QStringLiteral("Sortie tableau"));
    EXPECT_EQ(table.Kopieren_Knopf->toolTip(), QStringLiteral("Copy the marked table areas to clipboard"));
}

TEST_F(TranslationTest, GeneratedFilesLoadBackWithIdenticalTexts)
{
    CurrentDirectory cwd;
    ASSERT_TRUE(QDir(cwd.path()).mkdir(QStringLiteral("SPR")));
    TestForm f(QStringLiteral("Optionen_Form"));
    f.check->setText(QStringLiteral("Sag \"Ja\""));
    f.edit->setToolTip(QString());   // an edit without hint gives no entry
    TTabAus_Form table;
    QWidget mainWindow;
    table.Bedien_Box->setParent(&mainWindow);   // moved controls are still written

    t_ZT_SPR_Erstellen generator;
    ASSERT_FALSE(generator.Skipped());
    generator.AddForm(&f.reg, 3400);
    generator.AddForm(&table.Translations(), language_offsets::TableWindow);
    ASSERT_TRUE(generator.Save());
    EXPECT_TRUE(hooks.kindMessages.empty());

    const QStringList lines = generator.Lines();
    EXPECT_EQ(lines.first(), QStringLiteral("STRINGTABLE"));
    EXPECT_EQ(lines.last(), QStringLiteral("END"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("  ; valdran-Sprachmodul von ZT_SPR generiert am ")));
    // Menu block: the form's entry and its menu items and actions, sorted.
    const qsizetype menu = lines.indexOf(QStringLiteral("  ; Optionen_Form-Menuetexte"));
    ASSERT_GE(menu, 0);
    EXPECT_EQ(lines.mid(menu + 1, 4), (QStringList{QStringLiteral("  ; "),
                                                    QStringLiteral(" 3408, \"Aktualisieren\""),
                                                    QStringLiteral(" 3409, \"Alles öffnen\""),
                                                    QStringLiteral(" 3440, \"Testfenster\"")}));
    EXPECT_TRUE(lines.contains(QStringLiteral(" 3402, \"Sag \"\"Ja\"\"|Zählerstände\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral(" 3412, \"Besondere Ereignisse darstellen\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral(" 3415, \"Nur\"")));

    TStringTable german, english;
    ASSERT_TRUE(ReadStringTableFile(cwd.path() + QStringLiteral("/SPR/ZT_DE.rc"), german));
    ASSERT_TRUE(ReadStringTableFile(cwd.path() + QStringLiteral("/SPR/ZT_EN.rc"), english));
    EXPECT_EQ(german, english);
    EXPECT_EQ(german.count(3411), 0u);
    EXPECT_EQ(german[3402], QStringLiteral("Sag \"Ja\"|Zählerstände"));
    EXPECT_EQ(german[3410], QStringLiteral("|Diagramm"));
    EXPECT_EQ(german[3413], QStringLiteral("Nein"));
    EXPECT_EQ(german[3417], QStringLiteral("Erste Seite"));
    EXPECT_EQ(german[3421], QStringLiteral("Weiteres"));
    EXPECT_EQ(german[20901], QStringLiteral("Tabellenausgabe "));
    EXPECT_EQ(german[20903], QStringLiteral("Drucken|Drucken"));

    // The generated table as module over a fresh form changes no text.
    QDir().mkpath(box.programDir() + QStringLiteral("SPR"));
    ASSERT_TRUE(QFile::copy(cwd.path() + QStringLiteral("/SPR/ZT_EN.rc"),
                            box.programDir() + QStringLiteral("SPR/AV_FRA.DLL")));
    const t_ZT_SPR_Auswerten reader(t_ZT_SPR_Auswerten::ProgramModulePrefix());
    ASSERT_EQ(reader.State(), t_ZT_SPR_Auswerten::StateLoaded);
    TestForm fresh(QStringLiteral("Optionen_Form"));
    fresh.check->setText(QStringLiteral("Sag \"Ja\""));
    TranslateForm(&reader, &fresh.reg, 3400);
    EXPECT_EQ(fresh.check->text(), QStringLiteral("Sag \"Ja\""));
    EXPECT_EQ(fresh.check->toolTip(), QStringLiteral("Zählerstände"));
    EXPECT_EQ(fresh.radioItem(2), QStringLiteral("Nur"));
    EXPECT_EQ(fresh.list->item(1)->text(), QStringLiteral("Nächste Seite"));
    EXPECT_EQ(fresh.tabs->tabText(0), QStringLiteral("Allgemein"));
    EXPECT_EQ(fresh.form->windowTitle(), QStringLiteral("Testfenster"));
}

TEST_F(TranslationTest, DeclinedOverwritesAndWriteFailures)
{
    CurrentDirectory cwd;
    TestForm f;
    {
        // No SPR folder: the failure is reported, not thrown.
        t_ZT_SPR_Erstellen generator;
        generator.AddForm(&f.reg, 0);
        EXPECT_FALSE(generator.Save());
        ASSERT_EQ(hooks.kindMessages.size(), 1u);
        EXPECT_TRUE(hooks.kindMessages[0].Text.contains(QStringLiteral("SPR/ZT_DE.rc")));
    }
    ASSERT_TRUE(QDir(cwd.path()).mkdir(QStringLiteral("SPR")));
    ASSERT_TRUE(testsupport::writeFile(cwd.path() + QStringLiteral("/SPR/ZT_DE.rc"), "old"));
    ASSERT_TRUE(testsupport::writeFile(cwd.path() + QStringLiteral("/SPR/ZT_EN.rc"), "old"));
    hooks.kindMessages.clear();
    {
        hooks.kindAnswers = {platform::TMessageAnswer::No};
        t_ZT_SPR_Erstellen generator;
        EXPECT_TRUE(generator.Skipped());
        ASSERT_EQ(hooks.kindMessages.size(), 1u);
        EXPECT_EQ(hooks.kindMessages[0].Text,
                  QStringLiteral("Soll die Datei: SPR/ZT_DE.rc überschrieben werden?"));
        generator.AddForm(&f.reg, 0);
        EXPECT_FALSE(generator.Save());
        EXPECT_EQ(testsupport::readFile(cwd.path() + QStringLiteral("/SPR/ZT_DE.rc")), QByteArray("old"));
    }
    {
        hooks.kindAnswers = {platform::TMessageAnswer::Yes, platform::TMessageAnswer::No};
        t_ZT_SPR_Erstellen generator;
        generator.AddForm(&f.reg, 0);
        EXPECT_TRUE(generator.Save());
        EXPECT_NE(testsupport::readFile(cwd.path() + QStringLiteral("/SPR/ZT_DE.rc")), QByteArray("old"));
        EXPECT_EQ(testsupport::readFile(cwd.path() + QStringLiteral("/SPR/ZT_EN.rc")), QByteArray("old"));
    }
}

TEST(LanguageFiles, MenuEntryNeedsTheDeveloperEnvironment)
{
    const QByteArray old = qgetenv("VALDRAN_DEVELOPER");
    const bool had = qEnvironmentVariableIsSet("VALDRAN_DEVELOPER");
    qunsetenv("VALDRAN_DEVELOPER");
    EXPECT_FALSE(ShowLanguageFilesMenuItem());
    qputenv("VALDRAN_DEVELOPER", "1");
    EXPECT_EQ(ShowLanguageFilesMenuItem(), IsDeveloperMachine());

    // The rule itself, for the developer account and any other: both the
    // account and the environment are needed.
    EXPECT_TRUE(ShowLanguageFilesMenuItemFor(QStringLiteral("kolbrina"), QStringLiteral("1")));
    EXPECT_FALSE(ShowLanguageFilesMenuItemFor(QStringLiteral("kolbrina"), QString()));
    EXPECT_FALSE(ShowLanguageFilesMenuItemFor(QStringLiteral("kolbrina"), QStringLiteral("0")));
    EXPECT_FALSE(ShowLanguageFilesMenuItemFor(QStringLiteral("Kolbrina"), QStringLiteral("1")));
    EXPECT_FALSE(ShowLanguageFilesMenuItemFor(QStringLiteral("root"), QStringLiteral("1")));
    if (had)
        qputenv("VALDRAN_DEVELOPER", old);
    else
        qunsetenv("VALDRAN_DEVELOPER");
}
