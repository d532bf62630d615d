#include "support/RecordingReport.h"
#include "support/FakeHooks.h"

#include "platform/StringGrid.h"
#include "reports/ZT_BerEx.h"
#include "reports/ZT_Fort.h"

#include <QObject>
#include <QVariant>
#include <gtest/gtest.h>

using testsupport::TRecordingReportKind;

namespace {

// A back end that overrides nothing: every slot is the base's.
class TBareReport : public TBer_Intf_Basis {
public:
    using TBer_Intf_Basis::TBer_Intf_Basis;
    using TBer_Intf_Basis::NotImplementedYet;
    using TBer_Intf_Basis::FontParts;
};

} // namespace

TEST(ReportInterface, ConstructorKeepsTitleCutTo132AndStartsClean)
{
    const QString title(140, QLatin1Char('T'));
    bool called = false;
    TBareReport report(title, QStringLiteral("/tmp/x.doc"), [&called] { called = true; });
    EXPECT_EQ(report.Title().size(), 132);
    EXPECT_EQ(report.FileName(), QStringLiteral("/tmp/x.doc"));
    EXPECT_FALSE(report.Aborted);
    EXPECT_FALSE(bool(report.OnCellColor));
    ASSERT_TRUE(bool(report.Callback()));
    report.Callback()();
    EXPECT_TRUE(called);
}

TEST(ReportInterface, SlotsWithoutBodyRaiseInsteadOfDoingNothing)
{
    TBareReport report(QStringLiteral("t"), QString(), {});
    platform::TStringGridModel grid;
    EXPECT_THROW(report.WriteLine(QStringLiteral("x")), EAbstractReportOperation);
    EXPECT_THROW(report.WriteTable(grid), EAbstractReportOperation);
    EXPECT_THROW(report.AfterPaste(), EAbstractReportOperation);
    EXPECT_THROW(report.SkipLines(12), EAbstractReportOperation);
    EXPECT_THROW(report.ShowResult(true), EAbstractReportOperation);
    EXPECT_THROW(report.GetLine(0), EAbstractReportOperation);
}

TEST(ReportInterface, NotImplementedShowsThePlainMessageWithOk)
{
    testsupport::FakeHooks hooks;
    TBareReport::NotImplementedYet();
    ASSERT_EQ(hooks.messageBoxes.size(), 1u);
    EXPECT_EQ(hooks.messageBoxes[0].Text, QStringLiteral("Zur Zeit noch nicht implementiert !"));
    EXPECT_EQ(hooks.messageBoxes[0].Flags & platform::mb::ButtonMask, platform::mb::Ok);
}

TEST(ReportInterface, AbortClickSetsAbortedAndDisablesTheButtonOnce)
{
    TBareReport report(QStringLiteral("t"), QString(), {});
    QObject button;
    button.setProperty("enabled", true);
    report.AbortClick(&button);
    EXPECT_TRUE(report.Aborted);
    EXPECT_FALSE(button.property("enabled").toBool());
    report.AbortClick(nullptr);     // no sender: only the flag
    EXPECT_TRUE(report.Aborted);
}

TEST(ReportInterface, FontPartsGiveNameRoundedSizeAndStyles)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.5);
    font.setBold(true);
    font.setUnderline(true);
    QString name;
    uint16_t size = 0;
    TReportFontStyles style = 0;
    TBareReport::FontParts(font, name, size, style);
    EXPECT_EQ(name, QStringLiteral("Arial"));
    EXPECT_EQ(size, 10);            // halves go to the even neighbour
    EXPECT_EQ(style, rfsBold | rfsUnderline);
}

TEST(ReportChooser, InitCreatesTheRegisteredKindAndDoneFreesIt)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    ASSERT_FALSE(Ber_Intf.HasReport());
    Ber_Intf.Init(QStringLiteral("Bericht"), QString(), ReportKindWordProcessor, [] {});
    ASSERT_TRUE(Ber_Intf.HasReport());
    Ber_Intf->WriteLine(QStringLiteral("Zeile"));
    EXPECT_EQ(word.record->created, 1);
    Ber_Intf.Done();
    EXPECT_FALSE(Ber_Intf.HasReport());
    EXPECT_EQ(word.record->destroyed, 1);
    EXPECT_EQ(word.record->calls,
              QStringList({QStringLiteral("Create(Bericht,)"), QStringLiteral("WriteLine(Zeile)"),
                           QStringLiteral("Destroy()")}));
    Ber_Intf.Done();                // a second Done does nothing
    EXPECT_EQ(word.record->destroyed, 1);
}

TEST(ReportChooser, KindThreeOrAnUnregisteredKindCreatesNothingAndKeepsTheReport)
{
    TRecordingReportKind sheet(ReportKindSpreadsheet);
    TScopedReportFactory none(ReportKindEditor, {});
    Ber_Intf.Init(QStringLiteral("a"), QString(), ReportKindSpreadsheet, {});
    TBer_Intf_Basis* held = Ber_Intf.Report();
    ASSERT_NE(held, nullptr);
    Ber_Intf.Init(QStringLiteral("b"), QString(), 3, {});
    EXPECT_EQ(Ber_Intf.Report(), held);
    Ber_Intf.Init(QStringLiteral("c"), QString(), ReportKindEditor, {});
    EXPECT_EQ(Ber_Intf.Report(), held);
    EXPECT_EQ(sheet.record->created, 1);
    EXPECT_EQ(sheet.record->destroyed, 0);
    Ber_Intf.Done();
    EXPECT_EQ(sheet.record->destroyed, 1);
}

TEST(ReportChooser, ConstructorFailurePassesOnAndLeavesNoReport)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    word.record->failInConstructor = true;
    EXPECT_THROW(Ber_Intf.Init(QStringLiteral("a"), QString(), ReportKindWordProcessor, {}), std::runtime_error);
    EXPECT_FALSE(Ber_Intf.HasReport());
}

TEST(ReportChooser, InitWhileHoldingAReportFreesTheOldOneFirst)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    Ber_Intf.Init(QStringLiteral("a"), QString(), ReportKindWordProcessor, {});
    Ber_Intf.Init(QStringLiteral("b"), QString(), ReportKindWordProcessor, {});
    EXPECT_EQ(word.record->created, 2);
    EXPECT_EQ(word.record->destroyed, 1);
    Ber_Intf.Done();
    EXPECT_EQ(word.record->destroyed, 2);
}

TEST(ReportChooser, ScopedFactoryRestoresThePreviousOne)
{
    TRecordingReportKind outer(ReportKindWordProcessor);
    {
        TRecordingReportKind inner(ReportKindWordProcessor);
        Ber_Intf.Init(QStringLiteral("i"), QString(), ReportKindWordProcessor, {});
        Ber_Intf.Done();
        EXPECT_EQ(inner.record->created, 1);
    }
    Ber_Intf.Init(QStringLiteral("o"), QString(), ReportKindWordProcessor, {});
    Ber_Intf.Done();
    EXPECT_EQ(outer.record->created, 1);
}

TEST(Progress, NoWindowIsEverShownAndALongWriteRunsToItsEnd)
{
    TRecordingReportKind word(ReportKindWordProcessor);
    Ber_Intf.Init(QStringLiteral("a"), QString(), ReportKindWordProcessor, {});
    TBer_Intf_Basis* report = Ber_Intf.Report();
    SetProgressAbortHandler([report](QObject* sender) { report->AbortClick(sender); });
    ShowProgress(10, 65535, 1);
    EXPECT_FALSE(ProgressShown());
    platform::TStringGridModel grid;
    for (int i = 0; i < 1000; ++i)
        StepProgress();
    report->WriteTable(grid);
    HideProgress();
    SetProgressAbortHandler({});
    EXPECT_FALSE(report->Aborted);
    EXPECT_EQ(word.record->count(QStringLiteral("WriteTable")), 1);
    Ber_Intf.Done();
}
