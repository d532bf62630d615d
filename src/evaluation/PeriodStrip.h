#pragma once
// The logic of the period strip: the row of visible years, the twelve months
// of the chosen year and the days of the chosen month, on which the user picks
// the evaluation period with the mouse.
//
// TPeriodStrip holds the period, decides what a choice of years, months or
// days does to it, which rows are shown, where the rows sit and which outline
// the window gets, and reports the period to its receiver. The strip window
// (tZeitraumForm) owns one of these, forwards its mouse and key events to it
// and shows what it answers through the view hooks; nothing here needs a
// widget, so the rules are tested without one.
//
// The strip's year may begin with any month (FirstMonth): a month is then a
// position 1..12 within such a year, and the year of a position is the
// calendar year in which that year begins.
#include "base/ZT_Tools.h"

#include <QLocale>
#include <QDate>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Receiver of the period: calendar day, month (1..12) and year of the first
// and of the last day.
using TPeriodEvent = std::function<void(uint16_t FromDay, uint16_t FromMonth, uint16_t FromYear,
                                        uint16_t ToDay, uint16_t ToMonth, uint16_t ToYear)>;

// Calendar month and year of a position 1..12 of the strip's year that begins
// with firstMonth in year.
struct TCalendarMonth {
    int Month = 1;
    int Year = 1900;
    friend bool operator==(const TCalendarMonth&, const TCalendarMonth&) = default;
};
TCalendarMonth CalendarMonth(int firstMonth, int year, int position);

// Days of a calendar month, February with 29 days in a leap year (divisible
// by 4 and either not by 100 or by 400). Any year is accepted here, unlike the
// day-number routines, because the strip scrolls beyond 2078.
int DaysOfMonth(int month, int year);

// One row of cells as the strip wants it shown: the texts of its columns,
// how many columns there are, the selected columns (-1 when none), whether
// the row is visible, and its place in the window.
struct TStripRow {
    std::vector<QString> Texts;  // at least ColCount entries
    std::vector<int> ColWidths;  // width of each column without its grid line
    int ColCount = 0;
    int SelLeft = -1;
    int SelRight = -1;
    bool Visible = true;
    QRect Bounds;                // left, top, width and height in the window

    bool HasSelection() const { return SelLeft >= 0 && SelRight >= SelLeft; }
    QString Cell(int col) const;
    void Select(int left, int right);
    void ClearSelection() { SelLeft = SelRight = -1; }
};

// The sizes the strip is built from, in pixels.
struct TStripMetrics {
    int YearColWidth = 28;
    int MonthColWidth = 22;
    int DayColWidth = 15;
    int NarrowDayColWidth = 8;   // days 1..9
    int RowHeight = 16;
    int DayGridLeft = 1;
    int LeftArrowWidth = 10;
    int RightArrowWidth = 8;
    int ArrowHeight = 13;
    int ArrowTop = 3;

    // The design sizes scaled by pixelsPerInch / 96, as the window system does
    // for a form that is not scaled as a whole but sizes its grids itself.
    static TStripMetrics ForPixelsPerInch(int pixelsPerInch);
};

// How a cell of the day row is coloured.
enum class TDayCellKind { Ordinary, Sunday, NonWorkday };

// Where the strip sits: inside a parent window, over the main window, or on
// the screen alone.
enum class TStripContainer { Parent, MainWindow, Screen };

// Left edge of the strip for a placement (0 left, 1 right, 2 centre) in a
// container that starts at containerLeft and is containerWidth wide.
int StripPlacementLeft(TStripContainer container, int placement, int containerLeft,
                       int containerWidth, int stripWidth);

// What the strip window does for the logic: lock and unlock the rows while the
// strip is redrawn and the period is reported, show the rows and the layout,
// and show a new caption. Each may be left empty.
struct TPeriodStripView {
    std::function<void(bool enabled)> EnableGrids;
    std::function<void()> Apply;
    std::function<void(const QString& caption)> SetCaption;
};

class TPeriodStrip {
public:
    // The state after the window's creation: the current month of today as
    // period, the visible years ending with today's year; nothing reported.
    explicit TPeriodStrip(QDate today = QDate::currentDate(),
                          const TStripMetrics& metrics = TStripMetrics());

    // ---- Interface for the main window -------------------------------------
    void SetPeriodCallback(TPeriodEvent onPeriod) { OnPeriod = std::move(onPeriod); }
    void SetPeriod(uint8_t firstMonth, TDayNumber firstDay, TDayNumber lastDay,
                   uint8_t showDays, uint8_t showMonths);

    // ---- The user's choices ------------------------------------------------
    // The first and last column of a drag over a row, or the current column
    // twice for a key.
    void YearsChosen(int firstCol, int lastCol);
    void MonthsChosen(int firstCol, int lastCol);
    void DaysChosen(int firstCol, int lastCol);
    void Links_KnopfClick();   // the visible years one back (first year down to 1899)
    void Rechts_KnopfClick();  // the visible years one on

    // ---- Steps, callable on their own --------------------------------------
    void FitYearWindow();
    void FillGrids();
    void UpdateMonthGrid();
    void UpdateDayGrid();
    void Redraw();

    // Colour class of column col of the day row.
    TDayCellKind DayCellKind(int col) const;

    // The period as it would be reported now (the FirstMonth rule applied).
    struct TReportedPeriod {
        uint16_t FromDay, FromMonth, FromYear, ToDay, ToMonth, ToYear;
        friend bool operator==(const TReportedPeriod&, const TReportedPeriod&) = default;
    };
    TReportedPeriod CurrentPeriod() const;
    static QString CaptionOf(const TReportedPeriod& period);

    // ---- Layout, valid after Redraw ----------------------------------------
    QSize Size() const { return size_; }
    // The height with all three rows shown, the tallest the strip becomes.
    int FullHeight() const { return 3 * (metrics_.RowHeight + 1); }
    const QPolygon& Outline() const { return outline_; }
    QRegion OutlineRegion() const;
    QRect LeftArrowBounds() const { return leftArrow_; }
    QRect RightArrowBounds() const { return rightArrow_; }

    // Short name of a calendar month as the month row shows it.
    QString MonthCellText(int month) const;

    // ---- State (names as the strip's fields) -------------------------------
    TStripRow YearRow;
    TStripRow MonthRow;
    TStripRow DayRow;

    bool MonthsActive = false;
    bool DaysActive = false;
    bool ReportChanges = false;
    uint8_t Placement = 2;
    TPeriodEvent OnPeriod;
    uint8_t FirstMonth = 1;
    uint16_t FirstYear = 0;
    uint16_t LastYear = 0;
    uint16_t FromYear = 0;
    uint16_t ToYear = 0;
    uint16_t FromMonthPos = 1;
    uint16_t ToMonthPos = 1;
    uint16_t FromDay = 1;
    uint16_t ToDay = 1;
    bool ShowDays = true;
    bool ShowMonths = true;

    QString Caption = QStringLiteral("Zeitraum-Auswahl");
    QLocale MonthLocale = QLocale::system();
    TPeriodStripView View;

    // The visible years never pass this year, so that every year shown can
    // still form a date.
    static constexpr int MaxYear = 9999;
    static constexpr int MinFirstYear = 1899;

private:
    void ComputeLayout();
    void Report();

    TStripMetrics metrics_;
    QSize size_;
    QPolygon outline_;
    QRect leftArrow_;
    QRect rightArrow_;
    bool redrawing_ = false;
};
