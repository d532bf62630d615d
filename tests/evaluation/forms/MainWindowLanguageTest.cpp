// The main window's language on the offscreen platform: German and English
// built-in texts, a language module, and the string-table sources written
// for translators read back as a module.
#include "evaluation/HeaderKeys.h"
#include "evaluation/LanguageModule.h"
#include "evaluation/forms/AV_Haupt.h"
#include "evaluation/forms/AV_Opt.h"
#include "evaluation/forms/LanguageForms.h"
#include "evaluation/forms/ZT_TbAus.h"
#include "base/forms/ZT_PfadMaske.h"
#include "output/forms/ZT_Chart.h"
#include "output/forms/ZT_Vorschau.h"
#include "platform/IniFile.h"
#include "platform/LocaleInfo.h"
#include "platform/PlatformTexts.h"
#include "platform/Printer.h"
#include "platform/forms/PrintDialog.h"
#include "platform/TextCodec.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QFontDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <map>
#include <memory>

using platform::TTranslatableKind;

namespace {

class MainWindowLanguageTest : public ::testing::Test {
protected:
    ~MainWindowLanguageTest() override
    {
        window.reset();
        platform::SetLanguageAbbreviationOverride(QString());
        platform::ResetPlatformDialogsLanguage();
        ResetHeaderKeyTable();
    }

    QString IniPath() const { return sandbox.programDir() + QStringLiteral("valdran.INI"); }

    // Starts the window (not shown: no scan) under the given user language.
    void Start(const QString& abbreviation)
    {
        window.reset();
        platform::SetLanguageAbbreviationOverride(abbreviation);
        window = std::make_unique<TAV_HauptFormular>(QStringList{});
    }

    void WriteModule(const QStringList& entries)
    {
        QStringList lines = {QStringLiteral("STRINGTABLE"), QStringLiteral("BEGIN")};
        lines << entries << QStringLiteral("END");
        ASSERT_TRUE(testsupport::writeFile(sandbox.programDir() + QStringLiteral("SPR/AV_FRA.DLL"),
                                           platform::EncodeLines(lines)));
        platform::IniFile(IniPath()).WriteString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"),
                                                 QStringLiteral("FRA"));
    }

    testsupport::ProgramSandbox sandbox;
    testsupport::FakeHooks hooks;
    std::unique_ptr<TAV_HauptFormular> window;
};

// Caption, hint and items of every registered control of a form, by id.
using TTexts = std::map<int, QString>;
void Collect(const platform::TFormTranslations& form, int offset, TTexts& texts)
{
    texts[platform::TagOf(form.Form()) + offset] = form.Form()->windowTitle();
    for (const auto& entry : form.Entries()) {
        if (!entry.Control)
            continue;
        const int id = platform::TagOf(entry.Control) + offset;
        texts[id] = platform::JoinCaptionHint(platform::ControlCaption(entry.Control, entry.Kind),
                                              platform::ControlHint(entry.Control, entry.Kind));
        const QStringList items = platform::ControlItems(entry.Control, entry.Kind);
        for (int j = 0; j < items.size(); ++j)
            texts[id + 1 + j] = items[j];
    }
}

TTexts AllTexts(TAV_HauptFormular& w)
{
    TTexts texts;
    Collect(w.Translations(), language_offsets::MainWindow, texts);
    Collect(Optionen_Form->Translations(), language_offsets::Options, texts);
    Collect(PfadMaske->Translations(), language_offsets::DirectorySelection, texts);
    Collect(ZT_Chart->Translations(), language_offsets::Chart, texts);
    Collect(ZT_Vorschau->Translations(), language_offsets::PagePreview, texts);
    Collect(TabAus_Form->Translations(), language_offsets::TableWindow, texts);
    return texts;
}

} // namespace

TEST_F(MainWindowLanguageTest, GermanKeepsTheBuiltInTextsAndTheChartPopup)
{
    Start(QStringLiteral("DEU"));
    EXPECT_EQ(window->Grafik_Schalter->text(), QStringLiteral("Grafik"));
    EXPECT_EQ(window->E_Schalter->toolTip(), QStringLiteral("Einzelwerte"));
    EXPECT_EQ(window->Allesffnen1->text(), QStringLiteral("Alles öffnen"));
    EXPECT_EQ(Optionen_Form->ArchivBeschreibung_Schalter->text(), QStringLiteral("Archivbeschreibung"));
    EXPECT_EQ(ZT_Vorschau->ListBox2->item(1)->text(), QStringLiteral("Vorherige Seite"));
    EXPECT_EQ(HeaderKeyTable[hkCustNo].Caption, window->Scanner().Overview().Cell(HeaderKeyTable[hkCustNo].OverviewColumn, 0));
    EXPECT_TRUE(window->ChartOptionsPopupEnabled());
    EXPECT_EQ(window->Grafik_Schalter->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" - v1.17")));
    EXPECT_EQ(window->Aktualisieren_Knopf->toolTip(), QStringLiteral("Aktualisieren"));
    EXPECT_TRUE(window->Language().CounterText.startsWith(QStringLiteral("Zählerstände: ")));
    EXPECT_EQ(window->LanguageReader(), nullptr);
    EXPECT_FALSE(window->SprachDateien_MenuItem->isVisible());
}

TEST_F(MainWindowLanguageTest, EnglishShowsTheEnglishTextsOfEveryWindowAndNoChartPopup)
{
    Start(QStringLiteral("ENU"));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Valdran: Evaluation of archive files - v1.17")));
    EXPECT_EQ(window->Grafik_Schalter->text(), QStringLiteral("Graph"));
    EXPECT_EQ(window->M_Schalter->text(), QStringLiteral("mon"));
    // The English texts give the view switches captions only: their hints
    // stay German, as every hint the English texts do not list.
    EXPECT_EQ(window->E_Schalter->text(), QStringLiteral("all"));
    EXPECT_EQ(window->E_Schalter->toolTip(), QStringLiteral("Einzelwerte"));
    EXPECT_EQ(window->T_Schalter->toolTip(), QStringLiteral("Tageswerte"));
    EXPECT_EQ(window->M_Schalter->toolTip(), QStringLiteral("Monatswerte"));
    EXPECT_EQ(window->Update1->text(), QStringLiteral("Update"));
    EXPECT_EQ(window->Aktualisieren_Knopf->toolTip(), QStringLiteral("Update"));
    EXPECT_EQ(Optionen_Form->windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(PfadMaske->AktPfad_Label->text(), QStringLiteral("current directory"));
    EXPECT_EQ(ZT_Chart->SpeedButton5->toolTip(), QStringLiteral("Copy graph to clipboard"));
    // The page buttons take these hints in order: first, previous, next, last.
    EXPECT_EQ(ZT_Vorschau->ListBox2->item(1)->text(), QStringLiteral("Previous page"));
    EXPECT_EQ(TabAus_Form->windowTitle(), QStringLiteral("Tessmar table"));
    EXPECT_EQ(HeaderKeyTable[hkCustNo].Caption, QStringLiteral("customer no."));
    EXPECT_EQ(window->Scanner().Overview().Cell(OverviewFileColumn, 0).trimmed(), QStringLiteral("file"));
    EXPECT_TRUE(window->Language().CounterText.startsWith(QStringLiteral("meters: ")));
    EXPECT_FALSE(window->ChartOptionsPopupEnabled());
    EXPECT_EQ(window->Grafik_Schalter->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(window->LanguageReader(), nullptr);
    EXPECT_TRUE(hooks.messageBoxes.empty());
}

TEST_F(MainWindowLanguageTest, AModuleLanguageWithoutModuleWritesItsKeyAndReportsOnce)
{
    Start(QStringLiteral("FRA"));
    EXPECT_EQ(platform::IniFile(IniPath()).ReadString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"), QString()),
              QStringLiteral("FRA"));
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_TRUE(hooks.messageBoxes[0].Text.contains(QStringLiteral("AV_FRA.DLL")));
    // The English texts stay.
    EXPECT_EQ(window->Grafik_Schalter->text(), QStringLiteral("Graph"));
    EXPECT_EQ(window->E_Schalter->width(), 36);
    EXPECT_FALSE(window->ChartOptionsPopupEnabled());
}

TEST_F(MainWindowLanguageTest, AModuleTranslatesEveryWindowAndTheTables)
{
    WriteModule({
        QStringLiteral("   23, \"Graphique|Afficher le graphique\""),
        QStringLiteral("   20, \"Tous\""),
        QStringLiteral("   40, \"Compteurs|Diff\""),
        QStringLiteral("   66, \"numéro client\""),
        QStringLiteral("   92, \"Choisissez un répertoire.\""),
        QStringLiteral(" 3440, \"Réglages\""),
        QStringLiteral("20902, \"Aperçu|Aperçu avant impression\""),
    });
    Start(QStringLiteral("FRA"));
    ASSERT_NE(window->LanguageReader(), nullptr);
    EXPECT_TRUE(hooks.messageBoxes.empty());
    EXPECT_EQ(window->Grafik_Schalter->text(), QStringLiteral("Graphique"));
    EXPECT_EQ(window->Grafik_Schalter->toolTip(), QStringLiteral("Afficher le graphique"));
    // Without "|" the caption changes and the hint stays.
    EXPECT_EQ(window->E_Schalter->text(), QStringLiteral("Tous"));
    EXPECT_EQ(window->E_Schalter->toolTip(), QStringLiteral("Einzelwerte"));
    EXPECT_TRUE(window->Language().CounterText.startsWith(QStringLiteral("Compteurs: ")));
    EXPECT_TRUE(window->Language().CounterText.endsWith(QStringLiteral("Diff=[ZST_Diff]")));
    EXPECT_EQ(HeaderKeyTable[hkCustNo].Caption, QStringLiteral("numéro client"));
    EXPECT_EQ(window->Language().StatusLines[1], QStringLiteral("Choisissez un répertoire."));
    EXPECT_EQ(Optionen_Form->windowTitle(), QStringLiteral("Réglages"));
    EXPECT_EQ(TabAus_Form->Vorschau_Knopf->toolTip(), QStringLiteral("Aperçu avant impression"));
    // Entries the module lacks keep the English texts.
    EXPECT_EQ(window->Linien_Schalter->text(), QStringLiteral("lines"));
}

TEST_F(MainWindowLanguageTest, GeneratedSourcesLoadBackWithIdenticalTexts)
{
    QTemporaryDir current;
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(current.path());
    QDir().mkpath(QStringLiteral("SPR"));

    Start(QStringLiteral("DEU"));
    // The table window's tool bar lives in the main window now.
    EXPECT_TRUE(window->isAncestorOf(TabAus_Form->Vorschau_Knopf));
    window->SprachDateien_MenuItemClick();
    QDir::setCurrent(oldCurrent);
    const TTexts german = AllTexts(*window);   // the hidden lists filled as well
    const QString germanCustomer = HeaderKeyTable[hkCustNo].Caption;

    TStringTable table;
    ASSERT_TRUE(ReadStringTableFile(current.filePath(QStringLiteral("SPR/ZT_DE.rc")), table));
    QFile de(current.filePath(QStringLiteral("SPR/ZT_DE.rc")));
    QFile en(current.filePath(QStringLiteral("SPR/ZT_EN.rc")));
    ASSERT_TRUE(de.open(QIODevice::ReadOnly) && en.open(QIODevice::ReadOnly));
    EXPECT_EQ(de.readAll(), en.readAll());
    EXPECT_EQ(table.at(20902), german.at(20902));   // a tool bar button of the table window
    EXPECT_EQ(table.at(61), HeaderKeyTable[0].Caption);
    EXPECT_EQ(table.at(23), QStringLiteral("Grafik"));
    EXPECT_EQ(table.at(3428), QStringLiteral("Archivbeschreibung"));
    EXPECT_FALSE(table.at(1).endsWith(QStringLiteral("1.17")));   // the version is no text to translate

    // The German sources as a module give every window its German texts back.
    QDir().mkpath(sandbox.programDir() + QStringLiteral("SPR"));
    ASSERT_TRUE(QFile::copy(current.filePath(QStringLiteral("SPR/ZT_DE.rc")),
                            sandbox.programDir() + QStringLiteral("SPR/AV_FRA.DLL")));
    platform::IniFile(IniPath()).WriteString(QStringLiteral("COMMON"), QStringLiteral("LANGUAGE"),
                                             QStringLiteral("FRA"));
    Start(QStringLiteral("FRA"));
    ASSERT_NE(window->LanguageReader(), nullptr);
    const TTexts translated = AllTexts(*window);
    for (const auto& [id, text] : german)
        EXPECT_EQ(translated.at(id), text) << "id " << id;
    EXPECT_EQ(HeaderKeyTable[hkCustNo].Caption, germanCustomer);
}

// Qt's own dialogs speak the program's language: German with "DEU", Qt's own
// English otherwise.
TEST_F(MainWindowLanguageTest, QtsOwnDialogsSpeakTheChosenLanguage)
{
    auto texts = [] {
        QFontDialog font;
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QFileDialog file;
        return QStringList{font.windowTitle(), buttons.button(QDialogButtonBox::Cancel)->text(),
                           QCoreApplication::translate("QFileDialog", "Open")};
    };
    Start(QStringLiteral("DEU"));
    const QStringList german = texts();
    EXPECT_EQ(german[0], QStringLiteral("Schriftart auswählen"));
    EXPECT_EQ(QString(german[1]).remove(QLatin1Char('&')), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QString(german[2]).remove(QLatin1Char('&')), QStringLiteral("Öffnen"));

    window.reset();
    Start(QStringLiteral("ENU"));
    const QStringList english = texts();
    EXPECT_EQ(english[0], QStringLiteral("Select Font"));
    EXPECT_EQ(QString(english[1]).remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    EXPECT_EQ(english[2], QStringLiteral("Open"));
}


// Our stand-ins for the platform's dialogs (the print dialog, the printer
// setup, the PDF file question, the general message box's buttons) speak as
// Qt's own do; the catalogue's dialogs stay German in every language.
TEST_F(MainWindowLanguageTest, ThePlatformsOwnDialogsSpeakTheChosenLanguage)
{
    struct TSeen {
        QString title, setupTitle, range, allPages, pages, toFile, orientation, portrait, landscape, cancel, noPrinter;
        QString pdfFilter, generalCancel, catalogueAbort;
    };
    auto look = [&](const QString& shot) {
        platform::TPrintDialogRequest r;
        r.AllowPrintToFile = true;
        r.Targets = {platform::PdfTargetName()};
        r.Target = platform::PdfTargetName();
        platform::TPrintDialogForm dialog(r);
        platform::TPrintDialogForm setup(r, true);
        TSeen seen;
        seen.title = dialog.windowTitle();
        seen.setupTitle = setup.windowTitle();
        seen.range = qobject_cast<QGroupBox*>(dialog.AllPages->parentWidget())->title();
        seen.allPages = dialog.AllPages->text();
        seen.pages = dialog.PageNumbers->text();
        seen.toFile = dialog.PrintToFile->text();
        seen.orientation = qobject_cast<QGroupBox*>(dialog.Portrait->parentWidget())->title();
        seen.portrait = dialog.Portrait->text();
        seen.landscape = dialog.Landscape->text();
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() != QStringLiteral("OK"))
                seen.cancel = b->text();
        seen.noPrinter = dialog.NoPrinterLabel->text();
        // The PDF file question asks through the save dialog hook.
        hooks.saveRequests.clear();
        platform::AskPdfFileName(QStringLiteral("ZT_Ausgabe"), QString());
        if (!hooks.saveRequests.empty())
            seen.pdfFilter = hooks.saveRequests.back().Filter;
        seen.generalCancel = platform::PlatformText(platform::TPlatformText::Cancel);
        seen.catalogueAbort = platform::MessageButtonText(platform::TMessageAnswer::Abort);
        // VALDRAN_PRINT_DIALOG_SCREENSHOT=dir keeps a picture of each.
        const QString dir = qEnvironmentVariable("VALDRAN_PRINT_DIALOG_SCREENSHOT");
        if (!dir.isEmpty()) {
            dialog.adjustSize();
            dialog.grab().save(dir + QLatin1Char('/') + shot);
        }
        return seen;
    };

    Start(QStringLiteral("DEU"));
    const TSeen german = look(QStringLiteral("print-dialog-deu.png"));
    EXPECT_EQ(german.title, QStringLiteral("Drucken"));
    EXPECT_EQ(german.setupTitle, QStringLiteral("Druckereinrichtung"));
    EXPECT_EQ(german.range, QStringLiteral("Druckbereich"));
    EXPECT_EQ(german.allPages, QStringLiteral("&Alles"));
    EXPECT_EQ(german.pages, QStringLiteral("&Seiten"));
    EXPECT_EQ(german.toFile, QStringLiteral("Ausgabe in &Datei umleiten"));
    EXPECT_EQ(german.orientation, QStringLiteral("Ausrichtung"));
    EXPECT_EQ(german.portrait, QStringLiteral("&Hochformat"));
    EXPECT_EQ(german.landscape, QStringLiteral("&Querformat"));
    EXPECT_EQ(german.cancel, QStringLiteral("Abbrechen"));
    EXPECT_EQ(german.noPrinter, QStringLiteral("Es ist kein Drucker installiert; die Ausgabe geht in eine PDF-Datei."));
    EXPECT_EQ(german.pdfFilter, QStringLiteral("PDF-Dateien (*.pdf)|*.pdf"));
    EXPECT_EQ(german.generalCancel, QStringLiteral("Abbrechen"));
    EXPECT_EQ(german.catalogueAbort, QStringLiteral("&Abbrechen"));

    for (const char* language : {"ENU", "FRA"}) {
        Start(QString::fromLatin1(language));
        const TSeen english = look(QStringLiteral("print-dialog-%1.png").arg(QString::fromLatin1(language).toLower()));
        EXPECT_EQ(english.title, QStringLiteral("Print")) << language;
        EXPECT_EQ(english.setupTitle, QStringLiteral("Print Setup"));
        EXPECT_EQ(english.range, QStringLiteral("Print range"));
        EXPECT_EQ(english.allPages, QStringLiteral("&All"));
        EXPECT_EQ(english.pages, QStringLiteral("Pa&ges"));
        EXPECT_EQ(english.toFile, QStringLiteral("Print to fi&le"));
        EXPECT_EQ(english.orientation, QStringLiteral("Orientation"));
        EXPECT_EQ(english.portrait, QStringLiteral("&Portrait"));
        EXPECT_EQ(english.landscape, QStringLiteral("&Landscape"));
        EXPECT_EQ(english.cancel, QStringLiteral("Cancel"));
        EXPECT_EQ(english.noPrinter, QStringLiteral("No printer is installed; the output goes into a PDF file."));
        EXPECT_EQ(english.pdfFilter, QStringLiteral("PDF files (*.pdf)|*.pdf"));
        EXPECT_EQ(english.generalCancel, QStringLiteral("Cancel"));
        // The catalogue's buttons are the Part's German texts in every language.
        EXPECT_EQ(english.catalogueAbort, QStringLiteral("&Abbrechen"));
    }
}
