// The period strip's rules: what choosing years, months and days does to the
// period, which rows are shown, the outline of the window and the report.
#include "evaluation/PeriodStrip.h"

#include "evaluation/Calendar.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <vector>

using Period = TPeriodStrip::TReportedPeriod;

void PrintTo(const Period& p, std::ostream* os)
{
    *os << p.FromDay << '.' << p.FromMonth << '.' << p.FromYear << " - " << p.ToDay << '.' << p.ToMonth
        << '.' << p.ToYear;
}

namespace {

Period P(int fd, int fm, int fy, int td, int tm, int ty)
{
    return {uint16_t(fd), uint16_t(fm), uint16_t(fy), uint16_t(td), uint16_t(tm), uint16_t(ty)};
}

// A strip as the main window sets it up: today 15 March 2024, the period
// 1 January of this year to today, a receiver that records every report.
class PeriodStripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        strip.MonthLocale = QLocale(QLocale::German, QLocale::Germany);
        strip.SetPeriod(1, DayNumberFromDMY(1, 1, 2024), DayNumberFromDMY(15, 3, 2024), 1, 1);
        strip.SetPeriodCallback([this](uint16_t fd, uint16_t fm, uint16_t fy, uint16_t td, uint16_t tm, uint16_t ty) {
            reports.push_back({fd, fm, fy, td, tm, ty});
        });
    }

    int YearCol(int year) const { return year - strip.FirstYear; }
    void ClickYear(int year) { strip.YearsChosen(YearCol(year), YearCol(year)); }
    void ClickMonth(int month) { strip.MonthsChosen(month - 1, month - 1); }
    Period Last() const { return reports.empty() ? Period{} : reports.back(); }

    TPeriodStrip strip{QDate(2024, 3, 15)};
    std::vector<Period> reports;
};

} // namespace

TEST(PeriodStripCalendar, PositionsOfAStripYearThatBeginsInOctober)
{
    EXPECT_EQ(CalendarMonth(10, 2023, 1), (TCalendarMonth{10, 2023}));
    EXPECT_EQ(CalendarMonth(10, 2023, 3), (TCalendarMonth{12, 2023}));
    EXPECT_EQ(CalendarMonth(10, 2023, 4), (TCalendarMonth{1, 2024}));
    EXPECT_EQ(CalendarMonth(1, 2023, 12), (TCalendarMonth{12, 2023}));
}

TEST(PeriodStripCalendar, MonthLengthsWithLeapYears)
{
    EXPECT_EQ(DaysOfMonth(2, 2024), 29);
    EXPECT_EQ(DaysOfMonth(2, 2100), 28);
    EXPECT_EQ(DaysOfMonth(2, 2000), 29);
    EXPECT_EQ(DaysOfMonth(2, 1900), 28);
    EXPECT_EQ(DaysOfMonth(4, 2023), 30);
    EXPECT_EQ(DaysOfMonth(12, 2023), 31);
    EXPECT_EQ(DaysOfMonth(0, 2023), 0);
}

TEST(PeriodStripCreation, HoldsTheCurrentMonthAndReportsNothing)
{
    TPeriodStrip strip(QDate(2024, 2, 10));
    int calls = 0;
    strip.SetPeriodCallback([&](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) { ++calls; });
    EXPECT_EQ(strip.FirstYear, 2019);
    EXPECT_EQ(strip.LastYear, 2024);
    EXPECT_EQ(strip.FromMonthPos, 2);
    EXPECT_EQ(strip.ToMonthPos, 2);
    EXPECT_EQ(strip.FromDay, 1);
    EXPECT_EQ(strip.ToDay, 29);
    EXPECT_EQ(strip.Placement, 2);
    EXPECT_FALSE(strip.ReportChanges);
    strip.SetPeriod(1, DayNumberFromDMY(1, 1, 2024), DayNumberFromDMY(10, 2, 2024), 1, 1);
    EXPECT_EQ(calls, 0);
}

TEST_F(PeriodStripTest, SetPeriodFillsTheRowsWithoutReporting)
{
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(strip.YearRow.ColCount, 6);
    EXPECT_EQ(strip.YearRow.Cell(0), "2019");
    EXPECT_EQ(strip.YearRow.Cell(5), "2024");
    EXPECT_EQ(strip.YearRow.SelLeft, 5);
    EXPECT_EQ(strip.YearRow.SelRight, 5);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.MonthRow.Cell(0), "Jan");
    EXPECT_EQ(strip.MonthRow.Cell(9), "Okt");
    EXPECT_EQ(strip.MonthRow.SelLeft, 0);
    EXPECT_EQ(strip.MonthRow.SelRight, 2);
    EXPECT_FALSE(strip.DayRow.Visible);
    EXPECT_EQ(strip.CurrentPeriod(), P(1, 1, 2024, 15, 3, 2024));
}

TEST_F(PeriodStripTest, SetPeriodMovesTheYearWindowToThePeriod)
{
    strip.SetPeriod(1, DayNumberFromDMY(3, 5, 2010), DayNumberFromDMY(3, 5, 2010), 1, 1);
    EXPECT_EQ(strip.FirstYear, 2010);
    EXPECT_EQ(strip.LastYear, 2015);
    EXPECT_TRUE(strip.DayRow.Visible);
    EXPECT_EQ(strip.DayRow.ColCount, 31);
    EXPECT_EQ(strip.DayRow.SelLeft, 2);
    EXPECT_EQ(strip.DayRow.SelRight, 2);

    strip.SetPeriod(1, DayNumberFromDMY(1, 1, 2030), DayNumberFromDMY(31, 12, 2031), 1, 1);
    EXPECT_EQ(strip.FirstYear, 2026);
    EXPECT_EQ(strip.LastYear, 2031);
    EXPECT_FALSE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.YearRow.SelLeft, 4);
    EXPECT_EQ(strip.YearRow.SelRight, 5);
    EXPECT_TRUE(reports.empty());
}

TEST_F(PeriodStripTest, PeriodPartlyOutsideTheVisibleYearsSelectsTheVisiblePart)
{
    strip.SetPeriod(1, DayNumberFromDMY(1, 1, 2000), DayNumberFromDMY(31, 12, 2024), 1, 1);
    EXPECT_EQ(strip.FirstYear, 2000);
    EXPECT_EQ(strip.YearRow.SelLeft, 0);
    EXPECT_EQ(strip.YearRow.SelRight, 5);
    for (int i = 0; i < 30; ++i)
        strip.Rechts_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 2030);
    EXPECT_FALSE(strip.YearRow.HasSelection());
    // Moving the years keeps the period and reports it each time.
    EXPECT_EQ(reports.size(), 30u);
    EXPECT_EQ(Last(), P(1, 1, 2000, 31, 12, 2024));
}

TEST_F(PeriodStripTest, AnotherYearKeepsTheChosenMonths)
{
    ClickYear(2023);
    EXPECT_EQ(Last(), P(1, 1, 2023, 31, 3, 2023));
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.MonthRow.SelLeft, 0);
    EXPECT_EQ(strip.MonthRow.SelRight, 2);
    EXPECT_FALSE(strip.DayRow.Visible);
    EXPECT_EQ(strip.Caption, "Zeitraum-Auswahl: 1.1.2023 - 31.3.2023");
}

TEST_F(PeriodStripTest, TheSameYearAgainTogglesTheMonthRow)
{
    ClickYear(2023);
    ClickYear(2023);
    EXPECT_FALSE(strip.MonthRow.Visible);
    EXPECT_EQ(Last(), P(1, 1, 2023, 31, 12, 2023));
    ClickYear(2023);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.MonthRow.SelLeft, 0);
    EXPECT_EQ(strip.MonthRow.SelRight, 11);
    EXPECT_EQ(Last(), P(1, 1, 2023, 31, 12, 2023));
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(PeriodStripTest, ANewYearWhileTheMonthsAreHiddenTakesTheWholeYear)
{
    ClickYear(2024);  // the same year: months off
    ASSERT_FALSE(strip.MonthRow.Visible);
    ClickYear(2022);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.MonthRow.SelLeft, 0);
    EXPECT_EQ(strip.MonthRow.SelRight, 11);
    EXPECT_EQ(Last(), P(1, 1, 2022, 31, 12, 2022));
}

TEST_F(PeriodStripTest, OneMonthShowsItsDaysAndTheSameMonthTogglesThem)
{
    ClickYear(2023);
    ClickMonth(4);
    EXPECT_TRUE(strip.DayRow.Visible);
    EXPECT_EQ(strip.DayRow.ColCount, 30);
    EXPECT_EQ(strip.DayRow.SelLeft, 0);
    EXPECT_EQ(strip.DayRow.SelRight, 29);
    EXPECT_EQ(Last(), P(1, 4, 2023, 30, 4, 2023));

    ClickMonth(4);
    EXPECT_FALSE(strip.DayRow.Visible);
    EXPECT_EQ(Last(), P(1, 4, 2023, 30, 4, 2023));
    ClickMonth(4);
    EXPECT_TRUE(strip.DayRow.Visible);
    EXPECT_EQ(reports.size(), 4u);
}

TEST_F(PeriodStripTest, ChoosingDaysNarrowsThePeriodAndASingleDayHasAShortCaption)
{
    ClickYear(2023);
    ClickMonth(4);
    strip.DaysChosen(9, 19);
    EXPECT_EQ(Last(), P(10, 4, 2023, 20, 4, 2023));
    EXPECT_EQ(strip.Caption, "Zeitraum-Auswahl: 10.4.2023 - 20.4.2023");
    strip.DaysChosen(4, 4);
    EXPECT_EQ(Last(), P(5, 4, 2023, 5, 4, 2023));
    EXPECT_EQ(strip.Caption, "Zeitraum-Auswahl: 5.4.2023");
    // Another month starts again with the whole month.
    strip.MonthsChosen(1, 1);
    EXPECT_EQ(Last(), P(1, 2, 2023, 28, 2, 2023));
    EXPECT_EQ(strip.DayRow.ColCount, 28);
}

TEST_F(PeriodStripTest, DaysBeyondTheMonthAreRefused)
{
    ClickYear(2023);
    ClickMonth(2);
    const size_t before = reports.size();
    strip.DaysChosen(27, 30);
    EXPECT_EQ(reports.size(), before);
    EXPECT_EQ(strip.ToDay, 28);
}

TEST_F(PeriodStripTest, AMonthRangeHidesTheDays)
{
    ClickYear(2023);
    ClickMonth(4);
    strip.MonthsChosen(6, 2);  // dragged right to left
    EXPECT_FALSE(strip.DayRow.Visible);
    EXPECT_EQ(strip.MonthRow.SelLeft, 2);
    EXPECT_EQ(strip.MonthRow.SelRight, 6);
    EXPECT_EQ(Last(), P(1, 3, 2023, 31, 7, 2023));
}

TEST_F(PeriodStripTest, DraggingOverTwoYearsHidesMonthsAndDays)
{
    ClickYear(2023);
    ClickMonth(4);
    strip.YearsChosen(YearCol(2022), YearCol(2023));
    EXPECT_FALSE(strip.MonthRow.Visible);
    EXPECT_FALSE(strip.DayRow.Visible);
    EXPECT_EQ(Last(), P(1, 1, 2022, 31, 12, 2023));
    EXPECT_EQ(strip.YearRow.SelLeft, YearCol(2022));
    EXPECT_EQ(strip.YearRow.SelRight, YearCol(2023));
    // Back to a single year: the months come back with the whole year.
    ClickYear(2022);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(Last(), P(1, 1, 2022, 31, 12, 2022));
}

TEST_F(PeriodStripTest, FebruaryHasItsLeapDayIn2024ButNotIn2100)
{
    ClickMonth(2);
    EXPECT_EQ(strip.DayRow.ColCount, 29);
    EXPECT_EQ(Last(), P(1, 2, 2024, 29, 2, 2024));
    strip.DaysChosen(28, 28);
    EXPECT_EQ(Last(), P(29, 2, 2024, 29, 2, 2024));

    while (strip.LastYear < 2100)
        strip.Rechts_KnopfClick();
    ClickYear(2100);
    // A new year with the day row shown starts with its whole month.
    EXPECT_TRUE(strip.DayRow.Visible);
    EXPECT_EQ(strip.DayRow.ColCount, 28);
    EXPECT_EQ(Last(), P(1, 2, 2100, 28, 2, 2100));
}

TEST_F(PeriodStripTest, ArrowsMoveTheYearsAndReportTheUnchangedPeriod)
{
    strip.Rechts_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 2020);
    EXPECT_EQ(strip.LastYear, 2025);
    EXPECT_EQ(strip.YearRow.Cell(0), "2020");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Last(), P(1, 1, 2024, 15, 3, 2024));
    strip.Links_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 2019);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(PeriodStripTest, TheLeftArrowStopsAt1899)
{
    strip.SetPeriod(1, DayNumberFromDMY(1, 1, 1900), DayNumberFromDMY(31, 1, 1900), 1, 1);
    ASSERT_EQ(strip.FirstYear, 1900);
    strip.Links_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 1899);
    EXPECT_EQ(strip.YearRow.Cell(0), "1899");
    const size_t before = reports.size();
    strip.Links_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 1899);
    EXPECT_EQ(reports.size(), before);
    strip.Rechts_KnopfClick();
    EXPECT_EQ(strip.FirstYear, 1900);
}

TEST_F(PeriodStripTest, TheRightArrowStopsBeforeYearsThatFormNoDate)
{
    while (strip.LastYear < TPeriodStrip::MaxYear)
        strip.Rechts_KnopfClick();
    EXPECT_EQ(strip.LastYear, 9999);
    strip.Rechts_KnopfClick();
    EXPECT_EQ(strip.LastYear, 9999);
    EXPECT_EQ(strip.FirstYear, 9994);
}

TEST_F(PeriodStripTest, AStripYearThatBeginsInOctober)
{
    strip.SetPeriod(10, DayNumberFromDMY(1, 10, 2023), DayNumberFromDMY(31, 1, 2024), 1, 1);
    EXPECT_EQ(strip.FromYear, 2023);
    EXPECT_EQ(strip.ToYear, 2023);
    EXPECT_EQ(strip.FromMonthPos, 1);
    EXPECT_EQ(strip.ToMonthPos, 4);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_EQ(strip.MonthRow.Cell(0), "Okt");
    EXPECT_EQ(strip.MonthRow.Cell(3), "Jan");
    EXPECT_EQ(strip.MonthRow.Cell(11), "Sep");   // the name of the month itself, not its form inside a date

    strip.MonthsChosen(3, 3);  // January 2024
    EXPECT_EQ(Last(), P(1, 1, 2024, 31, 1, 2024));
    EXPECT_EQ(strip.DayRow.ColCount, 31);
    strip.MonthsChosen(2, 4);  // December 2023 to February 2024
    EXPECT_EQ(Last(), P(1, 12, 2023, 29, 2, 2024));
}

TEST_F(PeriodStripTest, WithALaterFirstMonthHiddenDaysReportWholeMonths)
{
    strip.SetPeriod(10, DayNumberFromDMY(5, 10, 2023), DayNumberFromDMY(20, 1, 2024), 1, 1);
    strip.Rechts_KnopfClick();
    EXPECT_EQ(Last(), P(1, 10, 2023, 31, 1, 2024));
    // With the first month 1 the days of the period stand as they are.
    strip.SetPeriod(1, DayNumberFromDMY(5, 10, 2023), DayNumberFromDMY(20, 1, 2024), 1, 1);
    EXPECT_EQ(Last(), P(5, 10, 2023, 20, 1, 2024));
}

TEST_F(PeriodStripTest, FlagsOffKeepTheRowsHidden)
{
    strip.SetPeriod(1, DayNumberFromDMY(1, 4, 2023), DayNumberFromDMY(30, 4, 2023), 0, 0);
    EXPECT_FALSE(strip.MonthRow.Visible);
    EXPECT_FALSE(strip.DayRow.Visible);
    strip.SetPeriod(1, DayNumberFromDMY(1, 4, 2023), DayNumberFromDMY(30, 4, 2023), 0, 1);
    EXPECT_TRUE(strip.MonthRow.Visible);
    EXPECT_FALSE(strip.DayRow.Visible);
    // Choosing a month switches the day row on again.
    strip.MonthsChosen(4, 4);
    EXPECT_TRUE(strip.ShowDays);
    EXPECT_TRUE(strip.DayRow.Visible);
}

TEST_F(PeriodStripTest, InvalidInputLeavesThePeriodSound)
{
    strip.SetPeriod(0, InvalidDayNumber, DayNumberFromDMY(30, 4, 2024), 1, 1);
    EXPECT_EQ(strip.FirstMonth, 1);
    EXPECT_EQ(strip.FromDay, 1);
    EXPECT_EQ(strip.FromMonthPos, 1);
    EXPECT_EQ(strip.FromYear, 2024);
    EXPECT_EQ(strip.ToMonthPos, 4);
    strip.SetPeriod(13, DayNumberFromDMY(1, 4, 2024), InvalidDayNumber, 1, 1);
    EXPECT_EQ(strip.FirstMonth, 1);
    EXPECT_EQ(strip.ToDay, 30);
    // Columns outside the rows do nothing.
    strip.ReportChanges = true;
    const size_t before = reports.size();
    strip.MonthsChosen(-1, -1);
    strip.MonthsChosen(0, 12);
    strip.DaysChosen(-1, 3);
    EXPECT_EQ(reports.size(), before);
}

TEST_F(PeriodStripTest, AFailingReceiverIsSwallowedAndTheRowsUnlocked)
{
    std::vector<bool> enabled;
    strip.View.EnableGrids = [&](bool e) { enabled.push_back(e); };
    strip.SetPeriodCallback([](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) {
        throw std::runtime_error("evaluation failed");
    });
    EXPECT_NO_THROW(ClickYear(2023));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(strip.FromYear, 2023);
}

TEST_F(PeriodStripTest, TheRowsAreLockedWhileTheReceiverRuns)
{
    bool lockedDuringReport = false;
    bool locked = false;
    strip.View.EnableGrids = [&](bool e) { locked = !e; };
    strip.SetPeriodCallback([&](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) {
        lockedDuringReport = locked;
    });
    ClickYear(2022);
    EXPECT_TRUE(lockedDuringReport);
    EXPECT_FALSE(locked);
}

TEST_F(PeriodStripTest, OutlineFollowsTheShownRows)
{
    // Months shown, days hidden.
    EXPECT_EQ(strip.Size(), QSize(277, 34));
    EXPECT_EQ(strip.YearRow.Bounds, QRect(51, 0, 174, 16));
    EXPECT_EQ(strip.MonthRow.Bounds, QRect(0, 17, 276, 16));
    EXPECT_EQ(strip.LeftArrowBounds().left(), 41);
    EXPECT_EQ(strip.RightArrowBounds().left(), 225);
    EXPECT_EQ(strip.Outline().size(), 8);
    QRegion region = strip.OutlineRegion();
    EXPECT_TRUE(region.contains(QPoint(0, 17)));
    EXPECT_TRUE(region.contains(QPoint(275, 32)));
    EXPECT_TRUE(region.contains(QPoint(41, 0)));
    EXPECT_FALSE(region.contains(QPoint(40, 5)));
    EXPECT_FALSE(region.contains(QPoint(233, 5)));
    EXPECT_FALSE(region.contains(QPoint(276, 20)));
    EXPECT_FALSE(region.contains(QPoint(10, 33)));

    // Days shown.
    ClickMonth(3);
    ASSERT_TRUE(strip.DayRow.Visible);
    EXPECT_EQ(strip.Size(), QSize(434, 51));
    EXPECT_EQ(strip.YearRow.Bounds.left(), 130);
    EXPECT_EQ(strip.MonthRow.Bounds, QRect(79, 17, 276, 16));
    EXPECT_EQ(strip.DayRow.Bounds, QRect(1, 34, 432, 16));
    const QPolygon expected({QPoint(120, 0), QPoint(312, 0), QPoint(312, 16), QPoint(355, 16),
                             QPoint(355, 33), QPoint(433, 33), QPoint(433, 50), QPoint(1, 50),
                             QPoint(1, 33), QPoint(79, 33), QPoint(79, 16), QPoint(120, 16)});
    EXPECT_EQ(strip.Outline(), expected);
    region = strip.OutlineRegion();
    EXPECT_TRUE(region.contains(QPoint(1, 34)));
    EXPECT_TRUE(region.contains(QPoint(432, 49)));
    EXPECT_TRUE(region.contains(QPoint(79, 20)));
    EXPECT_FALSE(region.contains(QPoint(0, 40)));
    EXPECT_FALSE(region.contains(QPoint(433, 40)));
    EXPECT_FALSE(region.contains(QPoint(78, 20)));
    EXPECT_FALSE(region.contains(QPoint(10, 5)));

    // Only the years.
    strip.YearsChosen(YearCol(2022), YearCol(2023));
    EXPECT_EQ(strip.Size(), QSize(192, 16));
    EXPECT_EQ(strip.LeftArrowBounds().left(), 0);
    EXPECT_EQ(strip.YearRow.Bounds.left(), 10);
    EXPECT_EQ(strip.RightArrowBounds().left(), 184);
    region = strip.OutlineRegion();
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 192, 16));
    EXPECT_EQ(region.rectCount(), 1);
}

TEST_F(PeriodStripTest, SundaysAndHolidaysOfTheDayRow)
{
    ClickMonth(3);  // March 2024: the 3rd is a Sunday
    EXPECT_EQ(strip.DayCellKind(2), TDayCellKind::Sunday);
    EXPECT_EQ(strip.DayCellKind(9), TDayCellKind::Sunday);
    EXPECT_EQ(strip.DayCellKind(0), TDayCellKind::Ordinary);
    EXPECT_EQ(strip.DayCellKind(1), TDayCellKind::Ordinary);  // Saturdays are not coloured
    EXPECT_EQ(strip.DayCellKind(40), TDayCellKind::Ordinary);

    ClickMonth(5);
    // 1 May is a public holiday, but only an attached calendar says so.
    EXPECT_EQ(strip.DayCellKind(0), TDayCellKind::Ordinary);
    THolidayForm holidays;
    Feiertags_Form = &holidays;
    EXPECT_EQ(strip.DayCellKind(0), TDayCellKind::NonWorkday);
    EXPECT_EQ(strip.DayCellKind(4), TDayCellKind::Sunday);
    EXPECT_EQ(strip.DayCellKind(1), TDayCellKind::Ordinary);
    Feiertags_Form = nullptr;
}

TEST(PeriodStripPlacement, LeftEdgeForEachContainerAndPlacement)
{
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Parent, 0, 0, 500, 192), 2);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Parent, 1, 0, 500, 192), 305);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Parent, 2, 0, 500, 192), 152);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::MainWindow, 1, 100, 800, 434), 463);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::MainWindow, 2, 100, 800, 434), 281);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Screen, 1, 0, 1920, 434), 1485);
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Screen, 2, 0, 1920, 434), 742);
    // Halving truncates towards zero in a container narrower than the strip.
    EXPECT_EQ(StripPlacementLeft(TStripContainer::Parent, 2, 0, 100, 192), -48);
}
