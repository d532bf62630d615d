#include "evaluation/PeriodStrip.h"

#include "evaluation/Calendar.h"
#include "platform/DateTimeValue.h"

#include <algorithm>

namespace {

constexpr int kDayCells = 31;
constexpr int kNarrowDayCols = 9;

// A day number that names no date (0xFFFF, or anything the conversion cannot
// split) leaves that end of the period as it was.
bool SplitDayNumber(TDayNumber n, int& day, int& month, int& year)
{
    if (n == InvalidDayNumber)
        return false;
    DMYFromDayNumber(n, day, month, year);
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysOfMonth(month, year);
}

// Position 1..12 and year of the strip's year for a calendar month.
void PositionOf(int firstMonth, int month, int year, uint16_t& position, uint16_t& stripYear)
{
    if (firstMonth > month) {
        position = uint16_t(13 - firstMonth + month);
        stripYear = uint16_t(year - 1);
    } else {
        position = uint16_t(month - firstMonth + 1);
        stripYear = uint16_t(year);
    }
}

} // namespace

TCalendarMonth CalendarMonth(int firstMonth, int year, int position)
{
    TCalendarMonth result;
    result.Month = firstMonth + position - 1;
    result.Year = year;
    if (result.Month > 12) {
        result.Month -= 12;
        result.Year += 1;
    }
    return result;
}

int DaysOfMonth(int month, int year)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return kLengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

// ---- TStripRow ---------------------------------------------------------------

QString TStripRow::Cell(int col) const
{
    if (col < 0 || col >= ColCount || col >= int(Texts.size()))
        return QString();
    return Texts[std::size_t(col)];
}

void TStripRow::Select(int left, int right)
{
    SelLeft = std::min(left, right);
    SelRight = std::max(left, right);
}

// ---- TStripMetrics -----------------------------------------------------------

TStripMetrics TStripMetrics::ForPixelsPerInch(int pixelsPerInch)
{
    TStripMetrics m;
    if (pixelsPerInch <= 0)
        pixelsPerInch = 96;
    m.YearColWidth = 28 * pixelsPerInch / 96;
    m.MonthColWidth = 22 * pixelsPerInch / 96;
    m.DayColWidth = 15 * pixelsPerInch / 96;
    m.RowHeight = 16 * pixelsPerInch / 96;
    return m;
}

int StripPlacementLeft(TStripContainer container, int placement, int containerLeft,
                       int containerWidth, int stripWidth)
{
    if (placement == 0)
        return 2;
    switch (container) {
    case TStripContainer::Parent:
        return placement == 1 ? containerWidth - stripWidth - 3 : (containerWidth - stripWidth - 4) / 2;
    case TStripContainer::MainWindow:
        return placement == 1 ? containerLeft + containerWidth - stripWidth - 3
                              : containerLeft + (containerWidth - stripWidth - 4) / 2;
    case TStripContainer::Screen:
        return placement == 1 ? containerWidth - stripWidth - 1 : (containerWidth - stripWidth - 2) / 2;
    }
    return 2;
}

// ---- TPeriodStrip ------------------------------------------------------------

TPeriodStrip::TPeriodStrip(QDate today, const TStripMetrics& metrics)
    : metrics_(metrics)
{
    if (!today.isValid())
        today = QDate::currentDate();
    const int year = std::clamp(today.year(), MinFirstYear + 5, MaxYear);
    FirstYear = uint16_t(year - 5);
    LastYear = uint16_t(year);
    FromYear = ToYear = uint16_t(year);
    FromMonthPos = ToMonthPos = uint16_t(today.month());
    FromDay = 1;
    ToDay = uint16_t(DaysOfMonth(today.month(), year));

    const int h = metrics_.RowHeight;

    YearRow.ColCount = 6;
    YearRow.Texts.assign(6, QString());
    YearRow.ColWidths.assign(6, metrics_.YearColWidth);
    YearRow.Bounds = QRect(9, 1, 6 * (metrics_.YearColWidth + 1), h);

    MonthRow.ColCount = 12;
    MonthRow.Texts.assign(12, QString());
    MonthRow.ColWidths.assign(12, metrics_.MonthColWidth);
    MonthRow.Bounds = QRect(1, 18, 12 * (metrics_.MonthColWidth + 1), h);

    DayRow.ColCount = kDayCells;
    for (int d = 1; d <= kDayCells; ++d) {
        DayRow.Texts.push_back(QString::number(d));
        DayRow.ColWidths.push_back(d <= kNarrowDayCols ? metrics_.NarrowDayColWidth : metrics_.DayColWidth);
    }
    const int dayWidth = kNarrowDayCols * metrics_.NarrowDayColWidth
                         + (kDayCells - kNarrowDayCols) * (metrics_.DayColWidth + 1) + metrics_.NarrowDayColWidth;
    DayRow.Bounds = QRect(metrics_.DayGridLeft, 35, dayWidth, h);

    leftArrow_ = QRect(1, metrics_.ArrowTop, metrics_.LeftArrowWidth, metrics_.ArrowHeight);
    rightArrow_ = QRect(279, metrics_.ArrowTop, metrics_.RightArrowWidth, metrics_.ArrowHeight);
    ComputeLayout();
}

void TPeriodStrip::SetPeriod(uint8_t firstMonth, TDayNumber firstDay, TDayNumber lastDay,
                             uint8_t showDays, uint8_t showMonths)
{
    // A first month outside 1..12 would make positions and calendar months
    // that name no month; such a strip year begins in January.
    FirstMonth = (firstMonth >= 1 && firstMonth <= 12) ? firstMonth : 1;

    int d = 0, m = 0, y = 0;
    if (SplitDayNumber(firstDay, d, m, y)) {
        FromDay = uint16_t(d);
        PositionOf(FirstMonth, m, y, FromMonthPos, FromYear);
    }
    if (SplitDayNumber(lastDay, d, m, y)) {
        ToDay = uint16_t(d);
        PositionOf(FirstMonth, m, y, ToMonthPos, ToYear);
    }
    ShowDays = showDays != 0;
    ShowMonths = showMonths != 0;
    FitYearWindow();
    FillGrids();
}

void TPeriodStrip::FitYearWindow()
{
    if (FromYear < FirstYear) {
        FirstYear = FromYear;
        LastYear = uint16_t(FromYear + 5);
    } else if (ToYear > LastYear) {
        FirstYear = uint16_t(ToYear - 5);
        LastYear = ToYear;
    }
}

void TPeriodStrip::FillGrids()
{
    const int years = LastYear - FirstYear + 1;
    YearRow.ColCount = years;
    YearRow.Texts.clear();
    for (int c = 0; c < years; ++c)
        YearRow.Texts.push_back(QString::number(FirstYear + c));
    YearRow.ColWidths.assign(std::size_t(years), metrics_.YearColWidth);
    YearRow.Bounds.setWidth(years * (metrics_.YearColWidth + 1));
    const int selFrom = std::max<int>(FromYear, FirstYear);
    const int selTo = std::min<int>(ToYear, LastYear);
    if (selFrom <= selTo)
        YearRow.Select(selFrom - FirstYear, selTo - FirstYear);
    else
        YearRow.ClearSelection();

    MonthRow.Bounds.setWidth(12 * (metrics_.MonthColWidth + 1));
    for (int c = 0; c < 12; ++c) {
        int month = FirstMonth + c;
        if (month > 12)
            month -= 12;
        MonthRow.Texts[std::size_t(c)] = MonthCellText(month);
    }

    MonthsActive = ShowMonths && FromYear == ToYear;
    UpdateMonthGrid();
    DaysActive = ShowDays && FromMonthPos == ToMonthPos;
    UpdateDayGrid();
    Redraw();
}

void TPeriodStrip::UpdateMonthGrid()
{
    MonthRow.Visible = ShowMonths && MonthsActive && FromYear == ToYear;
    if (MonthRow.Visible)
        MonthRow.Select(FromMonthPos - 1, ToMonthPos - 1);
}

void TPeriodStrip::UpdateDayGrid()
{
    DayRow.Visible = ShowDays && DaysActive && MonthsActive && FromMonthPos == ToMonthPos;
    if (!DayRow.Visible)
        return;
    const TCalendarMonth cm = CalendarMonth(FirstMonth, ToYear, ToMonthPos);
    const int days = DaysOfMonth(cm.Month, cm.Year);
    DayRow.ColCount = days;
    if (ToDay > days)
        ToDay = uint16_t(days);
    DayRow.Select(FromDay - 1, ToDay - 1);
}

void TPeriodStrip::YearsChosen(int firstCol, int lastCol)
{
    if (firstCol > lastCol)
        std::swap(firstCol, lastCol);
    bool changed = false;
    const QString first = YearRow.Cell(firstCol);
    if (!first.isEmpty()) {
        const int y = first.toInt();
        changed = y != FromYear;
        FromYear = uint16_t(y);
    }
    const QString last = YearRow.Cell(lastCol);
    if (!last.isEmpty()) {
        const int y = last.toInt();
        changed = changed || y != ToYear;
        ToYear = uint16_t(y);
    }

    // Choosing the same single year again switches the month row off, and
    // once more on.
    MonthsActive = FromYear == ToYear && (changed || !MonthsActive);
    // A new single year chosen while the months were shown keeps the months.
    if ((changed && !MonthRow.Visible) || !MonthsActive) {
        FromMonthPos = 1;
        ToMonthPos = 12;
    }
    UpdateMonthGrid();

    DaysActive = FromMonthPos == ToMonthPos && MonthsActive && (changed || !DaysActive);
    if (changed || !DaysActive) {
        const TCalendarMonth cm = CalendarMonth(FirstMonth, ToYear, ToMonthPos);
        FromDay = 1;
        ToDay = uint16_t(DaysOfMonth(cm.Month, cm.Year));
    }
    UpdateDayGrid();
    ReportChanges = true;
    if (firstCol >= 0 && lastCol < YearRow.ColCount)
        YearRow.Select(firstCol, lastCol);
    Redraw();
}

void TPeriodStrip::MonthsChosen(int firstCol, int lastCol)
{
    if (firstCol > lastCol)
        std::swap(firstCol, lastCol);
    if (firstCol < 0 || lastCol >= 12)
        return;
    const bool changed = firstCol + 1 != FromMonthPos || lastCol + 1 != ToMonthPos;
    FromMonthPos = uint16_t(firstCol + 1);
    ToMonthPos = uint16_t(lastCol + 1);
    MonthRow.Select(firstCol, lastCol);

    // Choosing the same single month again switches the day row off, and once
    // more on.
    DaysActive = FromMonthPos == ToMonthPos && MonthsActive && (changed || !DaysActive);
    if (changed || !DaysActive) {
        const TCalendarMonth cm = CalendarMonth(FirstMonth, ToYear, ToMonthPos);
        FromDay = 1;
        ToDay = uint16_t(DaysOfMonth(cm.Month, cm.Year));
        ShowDays = true;
    }
    UpdateDayGrid();
    ReportChanges = true;
    Redraw();
}

void TPeriodStrip::DaysChosen(int firstCol, int lastCol)
{
    if (firstCol > lastCol)
        std::swap(firstCol, lastCol);
    if (firstCol < 0 || lastCol >= DayRow.ColCount)
        return;
    FromDay = uint16_t(firstCol + 1);
    ToDay = uint16_t(lastCol + 1);
    DayRow.Select(firstCol, lastCol);
    ReportChanges = true;
    Redraw();
}

void TPeriodStrip::Links_KnopfClick()
{
    if (FirstYear <= MinFirstYear)
        return;
    --FirstYear;
    --LastYear;
    ReportChanges = true;
    FillGrids();
}

void TPeriodStrip::Rechts_KnopfClick()
{
    // Years past 9999 form no date anywhere in the program (and the 16-bit
    // years would wrap), so the visible years stop there.
    if (LastYear >= MaxYear)
        return;
    ++FirstYear;
    ++LastYear;
    ReportChanges = true;
    FillGrids();
}

void TPeriodStrip::ComputeLayout()
{
    const int yearTop = 0;
    const int yh = metrics_.RowHeight;
    const int mh = metrics_.RowHeight;
    const int dh = metrics_.RowHeight;
    YearRow.Bounds = QRect(YearRow.Bounds.left(), yearTop, YearRow.Bounds.width(), yh);
    const int monthTop = yearTop + yh + 1;
    const int dayTop = monthTop + mh + 1;
    MonthRow.Bounds = QRect(MonthRow.Bounds.left(), monthTop, MonthRow.Bounds.width(), mh);
    DayRow.Bounds = QRect(DayRow.Bounds.left(), dayTop, DayRow.Bounds.width(), dh);

    const int yw = YearRow.Bounds.width();
    const int mw = MonthRow.Bounds.width();
    const int dw = DayRow.Bounds.width();
    const int law = metrics_.LeftArrowWidth;
    const int raw = metrics_.RightArrowWidth;
    int width = 0;
    int height = 0;
    int yearLeft = 0;
    int monthLeft = MonthRow.Bounds.left();
    int leftArrowLeft = 0;

    if (DayRow.Visible) {
        height = yearTop + yh + 1 + mh + 1 + dh + 1;
        width = DayRow.Bounds.left() + dw + 1;
        yearLeft = (width - yw) / 2;
        leftArrowLeft = yearLeft - law;
        monthLeft = (width - mw) / 2;
    } else if (MonthRow.Visible) {
        monthLeft = 0;
        height = yearTop + yh + 1 + mh + 1;
        width = mw + 1;
        yearLeft = (width - yw) / 2;
        leftArrowLeft = yearLeft - law;
    } else {
        leftArrowLeft = 0;
        yearLeft = law;
        height = yearTop + yh;
        width = yearLeft + yw + raw;
    }
    YearRow.Bounds.moveLeft(yearLeft);
    MonthRow.Bounds.moveLeft(monthLeft);
    leftArrow_ = QRect(leftArrowLeft, metrics_.ArrowTop, law, metrics_.ArrowHeight);
    rightArrow_ = QRect(yearLeft + yw, metrics_.ArrowTop, raw, metrics_.ArrowHeight);
    size_ = QSize(width, height);

    const int yl = leftArrow_.left();
    const int yr = rightArrow_.left() + raw;
    const int y1 = yearTop + yh;
    const int y2 = y1 + 1 + mh;
    const int y3 = y2 + 1 + dh;
    const int ml = monthLeft;
    const int mr = monthLeft + mw;
    const int tl = DayRow.Bounds.left();
    const int tr = tl + dw;
    outline_.clear();
    if (DayRow.Visible) {
        outline_ << QPoint(yl, 0) << QPoint(yr, 0) << QPoint(yr, y1) << QPoint(mr, y1)
                 << QPoint(mr, y2) << QPoint(tr, y2) << QPoint(tr, y3) << QPoint(tl, y3)
                 << QPoint(tl, y2) << QPoint(ml, y2) << QPoint(ml, y1) << QPoint(yl, y1);
    } else if (MonthRow.Visible) {
        outline_ << QPoint(yl, 0) << QPoint(yr, 0) << QPoint(yr, y1) << QPoint(mr, y1)
                 << QPoint(mr, y2) << QPoint(ml, y2) << QPoint(ml, y1) << QPoint(yl, y1);
    } else {
        outline_ << QPoint(yl, 0) << QPoint(width, 0) << QPoint(width, y1) << QPoint(yl, y1);
    }
}

QRegion TPeriodStrip::OutlineRegion() const
{
    return QRegion(outline_, Qt::OddEvenFill);
}

void TPeriodStrip::Redraw()
{
    // Nested redraws (a receiver that sets the period again) leave the rows
    // locked until the outermost one ends.
    const bool outermost = !redrawing_;
    redrawing_ = true;
    try {
        if (outermost && View.EnableGrids)
            View.EnableGrids(false);
        ComputeLayout();
        if (View.Apply)
            View.Apply();
        if (ReportChanges && OnPeriod)
            Report();
    } catch (...) {
        // A failing redraw or receiver must not leave the strip locked, nor
        // escape into the window system's event handling.
    }
    if (outermost) {
        redrawing_ = false;
        try {
            if (View.EnableGrids)
                View.EnableGrids(true);
        } catch (...) {
        }
    }
}

TPeriodStrip::TReportedPeriod TPeriodStrip::CurrentPeriod() const
{
    const TCalendarMonth from = CalendarMonth(FirstMonth, FromYear, FromMonthPos);
    const TCalendarMonth to = CalendarMonth(FirstMonth, ToYear, ToMonthPos);
    int fd = FromDay;
    int td = ToDay;
    const int toDays = DaysOfMonth(to.Month, to.Year);
    if (FirstMonth > 1 && !DayRow.Visible) {
        fd = 1;
        td = toDays;
    }
    // The last day never lies beyond its month.
    td = std::min(td, toDays);
    return {uint16_t(fd), uint16_t(from.Month), uint16_t(from.Year),
            uint16_t(td), uint16_t(to.Month), uint16_t(to.Year)};
}

QString TPeriodStrip::CaptionOf(const TReportedPeriod& p)
{
    QString caption = QStringLiteral("Zeitraum-Auswahl: %1.%2.%3").arg(p.FromDay).arg(p.FromMonth).arg(p.FromYear);
    if (p.FromDay != p.ToDay || p.FromMonth != p.ToMonth || p.FromYear != p.ToYear)
        caption += QStringLiteral(" - %1.%2.%3").arg(p.ToDay).arg(p.ToMonth).arg(p.ToYear);
    return caption;
}

void TPeriodStrip::Report()
{
    const TReportedPeriod p = CurrentPeriod();
    Caption = CaptionOf(p);
    if (View.SetCaption)
        View.SetCaption(Caption);
    OnPeriod(p.FromDay, p.FromMonth, p.FromYear, p.ToDay, p.ToMonth, p.ToYear);
}

TDayCellKind TPeriodStrip::DayCellKind(int col) const
{
    const TCalendarMonth cm = CalendarMonth(FirstMonth, FromYear, FromMonthPos);
    const QDate date(cm.Year, cm.Month, col + 1);
    if (!date.isValid())
        return TDayCellKind::Ordinary;
    if (date.dayOfWeek() == 7)
        return TDayCellKind::Sunday;
    if (Feiertags_Form) {
        try {
            if (!IsWorkday(*Feiertags_Form, platform::FromQDate(date)))
                return TDayCellKind::NonWorkday;
        } catch (...) {
            // Dates the calendar cannot classify are drawn as ordinary days.
        }
    }
    return TDayCellKind::Ordinary;
}

QString TPeriodStrip::MonthCellText(int month) const
{
    QString name = MonthLocale.standaloneMonthName(month, QLocale::ShortFormat);
    // Locales that abbreviate with a full stop ("Jan.") would waste a narrow
    // cell on it.
    if (name.endsWith(u'.'))
        name.chop(1);
    return name;
}
