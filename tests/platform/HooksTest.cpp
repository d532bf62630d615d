#include "platform/Hooks.h"
#include "support/FakeHooks.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Hooks, SilentDefaultsAnswerCancelled)
{
    ScopedHooks scope;
    ResetHooks();
    const THooks& h = Hooks();
    EXPECT_EQ(h.KindMessageBox(TKindMessageRequest{}), TMessageAnswer::Closed);
    EXPECT_EQ(ShowMessageBox(QStringLiteral("t"), QStringLiteral("c"), mb::IconStop), mb::NotShown);
    Beep();
    TFileDialogRequest fr;
    fr.FilterIndex = 3;
    const TFileDialogAnswer fa = h.SaveFileDialog(fr);
    EXPECT_FALSE(fa.Accepted);
    EXPECT_EQ(fa.FilterIndex, 3);
    EXPECT_FALSE(h.OpenFileDialog(fr).Accepted);
    EXPECT_FALSE(h.DirectoryDialog(TDirectoryDialogRequest{}).Accepted);
    EXPECT_FALSE(h.PrintDialog(TPrintDialogRequest{}).Accepted);
    EXPECT_FALSE(h.PrinterSetupDialog(TPrinterSetupRequest{}).Accepted);
    QFont font(QStringLiteral("Courier New"), 9);
    EXPECT_FALSE(h.FontDialog(font));
    EXPECT_EQ(font.family(), QStringLiteral("Courier New"));
    QColor colour(Qt::red);
    QList<QColor> custom;
    EXPECT_FALSE(h.ColourDialog(colour, custom, QStringLiteral("Farbe 1")));
    EXPECT_EQ(colour, QColor(Qt::red));
    EXPECT_FALSE(h.OpenDocument(QStringLiteral("/tmp/x.htm")));
    const TStartAnswer s = h.StartProcess(QStringLiteral("/bin/true"), {}, QString());
    EXPECT_FALSE(s.Started);
    EXPECT_NE(s.Error, 0);
    EXPECT_FALSE(h.FindProgramWindow(QStringLiteral("cls"), QString()));
    EXPECT_FALSE(h.ActivateProgramWindow(QStringLiteral("cls"), QString()));
}

TEST(Hooks, ScopedHooksRestoresEverySlot)
{
    int outer = 0;
    ScopedHooks keep;
    Hooks().Beep = [&] { ++outer; };
    {
        testsupport::FakeHooks fakes;
        Beep();
        EXPECT_EQ(fakes.beeps, 1);
        Hooks().OpenDocument = nullptr;   // a cleared slot must not crash callers
        EXPECT_EQ(ShowKindMessage(TKindMessageRequest{}), TMessageAnswer::Closed);
    }
    Beep();
    EXPECT_EQ(outer, 1);
    ASSERT_TRUE(Hooks().OpenDocument);
}

TEST(Hooks, ClearedSlotsAnswerLikeTheDefaults)
{
    ScopedHooks scope;
    Hooks().KindMessageBox = nullptr;
    Hooks().MessageBox = nullptr;
    Hooks().Beep = nullptr;
    EXPECT_EQ(ShowKindMessage(TKindMessageRequest{}), TMessageAnswer::Closed);
    EXPECT_EQ(ShowMessageBox(QString(), QString(), 0), mb::NotShown);
    Beep();
}

TEST(Hooks, KindRequestsCarryGermanCaptionsAndButtons)
{
    TKindMessageRequest r;
    ASSERT_TRUE(MakeKindMessageRequest(QStringLiteral("t"), 0, r));
    EXPECT_EQ(r.Caption, QStringLiteral("Bestätigung"));
    EXPECT_EQ(r.Icon, TMessageIcon::Question);
    EXPECT_EQ(r.Buttons, (std::vector<TMessageAnswer>{TMessageAnswer::Yes, TMessageAnswer::No}));
    ASSERT_TRUE(MakeKindMessageRequest(QStringLiteral("t"), 1, r));
    EXPECT_EQ(r.Caption, QStringLiteral("Fehler"));
    EXPECT_EQ(r.Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Abort});
    ASSERT_TRUE(MakeKindMessageRequest(QStringLiteral("t"), 2, r));
    EXPECT_EQ(r.Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Ignore});
    ASSERT_TRUE(MakeKindMessageRequest(QStringLiteral("t"), 3, r));
    EXPECT_EQ(r.Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Ok});
    EXPECT_FALSE(MakeKindMessageRequest(QStringLiteral("t"), 4, r));

    EXPECT_EQ(MessageButtonText(TMessageAnswer::Yes), QStringLiteral("&Ja"));
    EXPECT_EQ(MessageButtonText(TMessageAnswer::No), QStringLiteral("&Nein"));
    EXPECT_EQ(MessageButtonText(TMessageAnswer::Abort), QStringLiteral("&Abbrechen"));
    EXPECT_EQ(MessageButtonText(TMessageAnswer::Ignore), QStringLiteral("&Ignorieren"));
    EXPECT_EQ(MessageButtonText(TMessageAnswer::Ok), QStringLiteral("OK"));
}

TEST(Hooks, FilterListsBecomeCaseInsensitiveQtFilters)
{
    EXPECT_EQ(CaseInsensitiveMask(QStringLiteral("*.AG?")), QStringLiteral("*.[aA][gG]?"));
    EXPECT_EQ(CaseInsensitiveMask(QStringLiteral("*.[ab]")), QStringLiteral("*.[ab]"));
    const QStringList f = FileDialogNameFilters(
        QStringLiteral("Export-Dateien (*.CSV)|*.CSV|Archiv-Dateien (*.AG?)|*.AGR;*.AGW|Alle Dateien (*.*)|*.*"));
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0], QStringLiteral("Export-Dateien (*.CSV) (*.[cC][sS][vV])"));
    EXPECT_EQ(f[1], QStringLiteral("Archiv-Dateien (*.AG?) (*.[aA][gG][rR] *.[aA][gG][wW])"));
    EXPECT_EQ(f[2], QStringLiteral("Alle Dateien (*.*) (*)"));
    // A description without its mask (an odd count) is dropped.
    EXPECT_EQ(FileDialogNameFilters(QStringLiteral("Text|*.TXT|Rest")).size(), 1);
    EXPECT_TRUE(FileDialogNameFilters(QString()).isEmpty());
}
