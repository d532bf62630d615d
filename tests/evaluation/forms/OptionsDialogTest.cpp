// The options dialog driven without a modal run: round trip of the settings,
// typed paths confirmed with Enter, Cancel, the directory button and a head
// template that cannot be written.
#include "evaluation/forms/AV_Opt.h"

#include "evaluation/HeadTemplate.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

using testsupport::FakeHooks;
using testsupport::ProgramSandbox;

namespace {

bool SameSettings(const TEinstellungen& a, const TEinstellungen& b)
{
    return a.ArchivPfad == b.ArchivPfad && a.DateiMaske == b.DateiMaske && a.KopfDatei == b.KopfDatei
        && a.HoleTB == b.HoleTB && a.Format == b.Format && a.ZeitImmer == b.ZeitImmer
        && a.KopfZeile == b.KopfZeile && a.ArcDesc == b.ArcDesc && a.SondEreig == b.SondEreig
        && a.OhneDoppelte == b.OhneDoppelte && a.StatusDekodiert == b.StatusDekodiert && a.GerKan == b.GerKan
        && a.InstStat == b.InstStat && a.SortOno == b.SortOno && a.ZaehlerText == b.ZaehlerText
        && a.ZahlenFormat == b.ZahlenFormat;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        archive = sandbox.root() + QStringLiteral("/arc/");
        ASSERT_TRUE(QDir().mkpath(archive));
        templateFile = sandbox.programDir() + QStringLiteral("AV_HD_DEU.TXT");
        ASSERT_TRUE(testsupport::writeFile(templateFile, "Bericht vom: [Dat]\r\n[KDNR] [KDNAME]\r\n"));

        settings.ArchivPfad = archive;
        settings.DateiMaske = QStringLiteral("*.AG?");
        settings.KopfDatei = templateFile;
        settings.HoleTB = true;
        settings.Format = false;
        settings.ZeitImmer = true;
        settings.KopfZeile = false;
        settings.ArcDesc = true;
        settings.SondEreig = 2;
        settings.OhneDoppelte = false;
        settings.StatusDekodiert = true;
        settings.GerKan = false;
        settings.InstStat = true;
        settings.SortOno = true;
        settings.ZaehlerText = QString::fromUtf8("Zählerstände [a] Diff. [b]");
        settings.ZahlenFormat = QStringLiteral("######.##");
        headTemplate.SetLines({QStringLiteral("im Speicher")});
    }

    // Begin, show, let the test act, then the result as Execute gives it.
    template <typename Act>
    TOptionsResult Run(Act act)
    {
        dialog.BeginExecute(settings, headTemplate);
        dialog.show();
        act();
        if (dialog.isVisible())
            dialog.reject();
        return dialog.FinishExecute(dialog.result(), settings);
    }

    ProgramSandbox sandbox;
    FakeHooks hooks;
    QString archive;
    QString templateFile;
    TEinstellungen settings;
    THeadTemplate headTemplate;
    TOptionen_Form dialog;
};

TEST_F(OptionsDialogTest, OkStoresEverythingAsItWasLoaded)
{
    EXPECT_EQ(Optionen_Form, &dialog);
    const TEinstellungen before = settings;
    const TOptionsResult result = Run([&] {
        EXPECT_EQ(dialog.ArchivPfad_EditFeld->text(), archive);
        EXPECT_EQ(dialog.KopfDatei_Text->toPlainText(), QStringLiteral("Bericht vom: [Dat]\n[KDNR] [KDNAME]"));
        EXPECT_TRUE(dialog.KopfDatei_Text->isVisible());
        EXPECT_EQ(dialog.SpecialEventsIndex(), 2);
        QTest::mouseClick(dialog.OkKnopf, Qt::LeftButton);
    });
    EXPECT_TRUE(result.Accepted);
    EXPECT_FALSE(result.Rescan);
    EXPECT_TRUE(result.ReloadTemplate);
    EXPECT_TRUE(SameSettings(settings, before));
    EXPECT_EQ(testsupport::readFile(templateFile), QByteArray("Bericht vom: [Dat]\r\n[KDNR] [KDNAME]\r\n"));
    EXPECT_EQ(headTemplate.Lines(), QStringList{QStringLiteral("im Speicher")});
}

TEST_F(OptionsDialogTest, ViewSettingsRefillOthersRescan)
{
    TOptionsResult result = Run([&] {
        dialog.ZahlenFormatiert_Schalter->setChecked(true);
        dialog.StatusDekodiert_Schalter->setChecked(false);
        dialog.accept();
    });
    EXPECT_TRUE(result.Accepted);
    EXPECT_FALSE(result.Rescan);
    EXPECT_TRUE(settings.Format);
    EXPECT_FALSE(settings.StatusDekodiert);

    result = Run([&] {
        dialog.GerKan_Schalter->setChecked(true);
        dialog.accept();
    });
    EXPECT_TRUE(result.Rescan);
    EXPECT_TRUE(settings.GerKan);
}

TEST_F(OptionsDialogTest, TypedDirectoryConfirmedWithEnterIsTaken)
{
    const QString typed = sandbox.root() + QStringLiteral("/Archiv Neu");
    ASSERT_TRUE(QDir().mkpath(typed));
    const TOptionsResult result = Run([&] {
        dialog.ArchivPfad_EditFeld->setFocus();
        dialog.ArchivPfad_EditFeld->selectAll();
        QTest::keyClicks(dialog.ArchivPfad_EditFeld, typed);
        QTest::keyClick(dialog.ArchivPfad_EditFeld, Qt::Key_Return);
    });
    EXPECT_TRUE(result.Accepted);
    EXPECT_TRUE(result.Rescan);
    // Neither upper-cased nor cut, with a closing separator.
    EXPECT_EQ(settings.ArchivPfad, typed + QLatin1Char('/'));
}

TEST_F(OptionsDialogTest, TypedDirectoryCountsWhenOkComesWithoutLeavingTheField)
{
    const QString typed = sandbox.root() + QStringLiteral("/direkt");
    ASSERT_TRUE(QDir().mkpath(typed));
    Run([&] {
        // Set as typing would, without the field's editing-finished signal.
        dialog.ArchivPfad_EditFeld->setText(typed);
        dialog.accept();
    });
    EXPECT_EQ(settings.ArchivPfad, typed + QLatin1Char('/'));
}

TEST_F(OptionsDialogTest, TypedMissingDirectoryKeepsThePreviousOne)
{
    const TOptionsResult result = Run([&] {
        dialog.ArchivPfad_EditFeld->selectAll();
        QTest::keyClicks(dialog.ArchivPfad_EditFeld, sandbox.root() + QStringLiteral("/gibt es nicht"));
        QTest::mouseClick(dialog.OkKnopf, Qt::LeftButton);
    });
    EXPECT_TRUE(result.Accepted);
    EXPECT_FALSE(result.Rescan);
    EXPECT_EQ(settings.ArchivPfad, archive);
    EXPECT_EQ(dialog.ArchivPfad_EditFeld->text(), archive);
}

TEST_F(OptionsDialogTest, CancelChangesNothingOnDisk)
{
    const TEinstellungen before = settings;
    const QByteArray bytes = testsupport::readFile(templateFile);
    const TOptionsResult result = Run([&] {
        dialog.KopfDatei_Text->setPlainText(QStringLiteral("geaendert"));
        dialog.GerKan_Schalter->setChecked(true);
        dialog.Datei_EditFeld->setText(QStringLiteral("*.X"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_FALSE(result.Accepted);
    EXPECT_FALSE(result.ReloadTemplate);
    EXPECT_TRUE(SameSettings(settings, before));
    EXPECT_EQ(testsupport::readFile(templateFile), bytes);

    // The Cancel button as well.
    const TOptionsResult again = Run([&] {
        dialog.KopfDatei_Text->setPlainText(QStringLiteral("geaendert"));
        QTest::mouseClick(dialog.AbbruchKnopf, Qt::LeftButton);
    });
    EXPECT_FALSE(again.Accepted);
    EXPECT_EQ(testsupport::readFile(templateFile), bytes);
}

TEST_F(OptionsDialogTest, TemplateThatCannotBeWrittenIsReportedAndKeptInMemory)
{
    ASSERT_TRUE(testsupport::writeFile(sandbox.root() + QStringLiteral("/plain"), "x"));
    settings.KopfDatei = sandbox.root() + QStringLiteral("/plain/AV_HD_DEU.TXT");
    const TOptionsResult result = Run([&] {
        // Nothing to read there: the memo shows the template in memory.
        EXPECT_EQ(dialog.KopfDatei_Text->toPlainText(), QStringLiteral("im Speicher"));
        dialog.KopfDatei_Text->setPlainText(QStringLiteral("Neu 1\nNeu 2"));
        dialog.OnoSortierung_Schalter->setChecked(false);
        dialog.accept();
    });
    EXPECT_TRUE(result.Accepted);
    EXPECT_FALSE(result.ReloadTemplate);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_TRUE(hooks.lastMessageText().contains(QStringLiteral("Fehler beim Schreiben der Datei")));
    EXPECT_TRUE(hooks.lastMessageText().contains(settings.KopfDatei));
    EXPECT_EQ(headTemplate.Lines(), QStringList({QStringLiteral("Neu 1"), QStringLiteral("Neu 2")}));
    // Every other field is stored all the same.
    EXPECT_FALSE(settings.SortOno);
}

TEST_F(OptionsDialogTest, DirectoryButtonGoesThroughTheDirectoryDialog)
{
    const QString chosen = sandbox.root() + QStringLiteral("/gewaehlt");
    hooks.directoryAnswers.push_back({true, chosen});
    Run([&] {
        QTest::mouseClick(dialog.ArchivPfad_Knopf, Qt::LeftButton);
        EXPECT_EQ(dialog.ArchivPfad_EditFeld->text(), chosen + QLatin1Char('/'));
        // Cancelled the second time: the first choice stays.
        QTest::mouseClick(dialog.ArchivPfad_Knopf, Qt::LeftButton);
        dialog.accept();
    });
    ASSERT_EQ(hooks.directoryRequests.size(), 2u);
    EXPECT_EQ(hooks.directoryRequests[0].StartDir, archive);
    EXPECT_EQ(hooks.directoryRequests[1].StartDir, chosen + QLatin1Char('/'));
    // Below the button, right edges aligned.
    const QPoint corner =
        dialog.ArchivPfad_Knopf->mapToGlobal(QPoint(dialog.ArchivPfad_Knopf->width(), dialog.ArchivPfad_Knopf->height()));
    EXPECT_EQ(hooks.directoryRequests[0].Left, corner.x() - TOptionen_Form::DirectorySelectionWidth);
    EXPECT_EQ(hooks.directoryRequests[0].Top, corner.y() + 24);
    EXPECT_EQ(settings.ArchivPfad, chosen + QLatin1Char('/'));
}

TEST_F(OptionsDialogTest, TypedFieldsAreUpperCaseAndLimitedButProgramValuesAreNotCut)
{
    settings.ZahlenFormat = QString(25, QLatin1Char('#'));
    settings.SondEreig = 7;   // no item of the radio group
    Run([&] {
        EXPECT_EQ(dialog.ZahlenFormat_Edit->text(), settings.ZahlenFormat);
        EXPECT_EQ(dialog.SpecialEventsIndex(), -1);
        dialog.ZahlenFormat_Edit->selectAll();
        QTest::keyClicks(dialog.ZahlenFormat_Edit, QString(30, QLatin1Char('0')));
        EXPECT_EQ(dialog.ZahlenFormat_Edit->text(), QString(20, QLatin1Char('0')));
        dialog.Datei_EditFeld->selectAll();
        QTest::keyClicks(dialog.Datei_EditFeld, QStringLiteral("*.agr"));
        EXPECT_EQ(dialog.Datei_EditFeld->text(), QStringLiteral("*.AGR"));
        dialog.Auswert_Edit->end(false);
        QTest::keyClicks(dialog.Auswert_Edit, QStringLiteral(" x"));
        dialog.accept();
    });
    EXPECT_EQ(settings.ZahlenFormat, QString(20, QLatin1Char('0')));
    EXPECT_EQ(settings.DateiMaske, QStringLiteral("*.AGR"));
    EXPECT_EQ(settings.ZaehlerText, QString::fromUtf8("Zählerstände [a] Diff. [b] X"));
    EXPECT_EQ(settings.SondEreig, 7);
}

TEST_F(OptionsDialogTest, TranslatableControlsCarryTheirIds)
{
    const platform::TFormTranslations& t = dialog.Translations();
    EXPECT_EQ(t.FormTag(), 40);
    EXPECT_EQ(platform::TagOf(dialog.KopfZeile_Schalter), 21);
    EXPECT_EQ(platform::TagOf(dialog.ArchivBeschreibung_Schalter), 28);   // its own text in every language
    EXPECT_EQ(platform::TagOf(dialog.OkKnopf), 24);
    EXPECT_EQ(platform::ControlItems(dialog.BesondereEreignisse_Schalter, platform::TTranslatableKind::RadioGroup),
              QStringList({QStringLiteral("Nein"), QStringLiteral("Ja"), QStringLiteral("Nur")}));
    EXPECT_EQ(t.Entries().size(), 21u);
}

} // namespace
