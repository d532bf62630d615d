// The period strip window (offscreen): clicks, drags and keys on its rows
// report the right period, and the window shows only the rows of the period.
#include "evaluation/forms/ZT_Zeit.h"

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Report {
    int fd, fm, fy, td, tm, ty;
    friend bool operator==(const Report&, const Report&) = default;
};

void PrintTo(const Report& r, std::ostream* os)
{
    *os << r.fd << '.' << r.fm << '.' << r.fy << " - " << r.td << '.' << r.tm << '.' << r.ty;
}

// The strip inside a panel, as the main window holds it: today 15 March 2024,
// the period 1 January to today.
class PeriodStripFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<QWidget>();
        panel->resize(600, 80);
        form = new tZeitraumForm(panel.get(), QDate(2024, 3, 15));
        form->Strip().MonthLocale = QLocale(QLocale::German, QLocale::Germany);
        form->SetPeriod(1, DayNumberFromDMY(1, 1, 2024), DayNumberFromDMY(15, 3, 2024), 1, 1);
        form->SetPeriodCallback([this](uint16_t fd, uint16_t fm, uint16_t fy, uint16_t td, uint16_t tm, uint16_t ty) {
            reports.push_back({fd, fm, fy, td, tm, ty});
        });
        form->show();
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    void Click(TCellRow* row, int col)
    {
        QTest::mouseClick(row, Qt::LeftButton, {}, row->CellRect(col).center());
    }
    void Drag(TCellRow* row, int fromCol, int toCol)
    {
        QTest::mousePress(row, Qt::LeftButton, {}, row->CellRect(fromCol).center());
        QTest::mouseMove(row, row->CellRect(toCol).center());
        QTest::mouseRelease(row, Qt::LeftButton, {}, row->CellRect(toCol).center());
    }
    int YearCol(int year) const { return year - form->Strip().FirstYear; }
    Report Last() const { return reports.empty() ? Report{} : reports.back(); }

    std::unique_ptr<QWidget> panel;
    tZeitraumForm* form = nullptr;  // owned by the panel
    std::vector<Report> reports;
};

// Pixels of a cell whose colour is clearly red (the Sunday text colours).
int RedPixels(const QImage& image, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 120 && c.green() < 90 && c.blue() < 90)
                ++count;
        }
    return count;
}

} // namespace

TEST(PeriodStripFormLife, GlobalVariableCaptionAndFirstState)
{
    {
        tZeitraumForm form(nullptr, QDate(2024, 3, 15));
        EXPECT_EQ(ZeitraumForm, &form);
        EXPECT_EQ(form.windowTitle(), "Zeitraum-Auswahl");
        EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(form.Tag_Grid->ColCount(), 31);
        EXPECT_EQ(form.Tag_Grid->Cell(30), "31");
        EXPECT_EQ(form.Tag_Grid->ColWidth(8), 8);
        EXPECT_EQ(form.Tag_Grid->ColWidth(9), 15);
        EXPECT_EQ(form.Tag_Grid->width(), 432);
    }
    EXPECT_EQ(ZeitraumForm, nullptr);
}

TEST_F(PeriodStripFormTest, TheGridsShowThePeriodSet)
{
    EXPECT_EQ(form->Jahr_Grid->ColCount(), 6);
    EXPECT_EQ(form->Jahr_Grid->Cell(0), "2019");
    EXPECT_EQ(form->Jahr_Grid->SelLeft(), 5);
    EXPECT_TRUE(form->Monat_Grid->isVisible());
    EXPECT_EQ(form->Monat_Grid->SelLeft(), 0);
    EXPECT_EQ(form->Monat_Grid->SelRight(), 2);
    EXPECT_FALSE(form->Tag_Grid->isVisible());
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(form->windowTitle(), "Zeitraum-Auswahl");
}

TEST_F(PeriodStripFormTest, ClickingAYearKeepsTheMonths)
{
    Click(form->Jahr_Grid, YearCol(2023));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Last(), (Report{1, 1, 2023, 31, 3, 2023}));
    EXPECT_EQ(form->windowTitle(), "Zeitraum-Auswahl: 1.1.2023 - 31.3.2023");
    EXPECT_EQ(form->Jahr_Grid->SelLeft(), YearCol(2023));

    Click(form->Jahr_Grid, YearCol(2023));
    EXPECT_FALSE(form->Monat_Grid->isVisible());
    EXPECT_EQ(Last(), (Report{1, 1, 2023, 31, 12, 2023}));
}

TEST_F(PeriodStripFormTest, ClickingAMonthShowsItsDaysAndTheMaskFollows)
{
    const QSize before = form->size();
    EXPECT_EQ(form->mask(), form->Strip().OutlineRegion());

    Click(form->Monat_Grid, 3);  // April 2024
    EXPECT_EQ(Last(), (Report{1, 4, 2024, 30, 4, 2024}));
    EXPECT_TRUE(form->Tag_Grid->isVisible());
    EXPECT_EQ(form->Tag_Grid->ColCount(), 30);
    EXPECT_EQ(form->Tag_Grid->SelLeft(), 0);
    EXPECT_EQ(form->Tag_Grid->SelRight(), 29);
    EXPECT_GT(form->height(), before.height());
    EXPECT_EQ(form->size(), QSize(434, 51));
    EXPECT_EQ(form->mask(), form->Strip().OutlineRegion());
    EXPECT_TRUE(form->mask().contains(form->Tag_Grid->geometry().center()));
    // The panel takes the strip's height; the strip sits in its centre.
    EXPECT_EQ(panel->height(), 51);
    EXPECT_EQ(form->x(), (600 - 434 - 4) / 2);
    EXPECT_EQ(form->y(), 0);

    // A drag over days narrows the period.
    Drag(form->Tag_Grid, 9, 4);
    EXPECT_EQ(Last(), (Report{5, 4, 2024, 10, 4, 2024}));
    Click(form->Tag_Grid, 6);
    EXPECT_EQ(Last(), (Report{7, 4, 2024, 7, 4, 2024}));
    EXPECT_EQ(form->windowTitle(), "Zeitraum-Auswahl: 7.4.2024");

    // The same month again hides the days; the mask shrinks with them.
    Click(form->Monat_Grid, 3);
    EXPECT_FALSE(form->Tag_Grid->isVisible());
    EXPECT_EQ(form->size(), QSize(277, 34));
    EXPECT_FALSE(form->mask().contains(QPoint(5, 5)));
    EXPECT_EQ(panel->height(), 34);
}

TEST_F(PeriodStripFormTest, DraggingOverTwoYearsLeavesOnlyTheYearRow)
{
    Drag(form->Jahr_Grid, YearCol(2022), YearCol(2023));
    EXPECT_EQ(Last(), (Report{1, 1, 2022, 31, 12, 2023}));
    EXPECT_FALSE(form->Monat_Grid->isVisible());
    EXPECT_FALSE(form->Tag_Grid->isVisible());
    EXPECT_EQ(form->size(), QSize(192, 16));
    EXPECT_EQ(form->mask().boundingRect(), QRect(0, 0, 192, 16));
    EXPECT_EQ(form->Links_Knopf->geometry().left(), 0);
    EXPECT_EQ(form->Jahr_Grid->geometry().left(), 10);
}

TEST_F(PeriodStripFormTest, DraggingOverMonthsFromRightToLeft)
{
    Drag(form->Monat_Grid, 6, 4);
    EXPECT_EQ(Last(), (Report{1, 5, 2024, 31, 7, 2024}));
    EXPECT_FALSE(form->Tag_Grid->isVisible());
}

TEST_F(PeriodStripFormTest, ArrowsMoveTheYears)
{
    QTest::mouseClick(form->Rechts_Knopf, Qt::LeftButton);
    EXPECT_EQ(form->Jahr_Grid->Cell(0), "2020");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(Last(), (Report{1, 1, 2024, 15, 3, 2024}));
    QTest::mouseClick(form->Links_Knopf, Qt::LeftButton);
    QTest::mouseClick(form->Links_Knopf, Qt::LeftButton);
    EXPECT_EQ(form->Jahr_Grid->Cell(0), "2018");
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(PeriodStripFormTest, KeysChooseTheCurrentColumn)
{
    form->Jahr_Grid->setFocus();
    QTest::keyClick(form->Jahr_Grid, Qt::Key_Left);  // from 2024 to 2023
    EXPECT_EQ(Last(), (Report{1, 1, 2023, 31, 3, 2023}));

    // The month row reacts to the arrow keys only.
    form->Monat_Grid->setFocus();
    const size_t before = reports.size();
    QTest::keyClick(form->Monat_Grid, Qt::Key_A);
    EXPECT_EQ(reports.size(), before);
    QTest::keyClick(form->Monat_Grid, Qt::Key_Right);  // current month 3 -> 4
    EXPECT_EQ(Last(), (Report{1, 4, 2023, 30, 4, 2023}));
    EXPECT_TRUE(form->Tag_Grid->isVisible());

    form->Tag_Grid->setFocus();
    QTest::keyClick(form->Tag_Grid, Qt::Key_End);
    EXPECT_EQ(Last(), (Report{30, 4, 2023, 30, 4, 2023}));
}

TEST_F(PeriodStripFormTest, ClicksWhileTheReceiverRunsAreIgnored)
{
    int nested = 0;
    form->SetPeriodCallback([&](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) {
        ++nested;
        if (nested == 1) {
            Click(form->Monat_Grid, 5);
            QTest::mouseClick(form->Rechts_Knopf, Qt::LeftButton);
        }
    });
    Click(form->Jahr_Grid, YearCol(2022));
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(form->Jahr_Grid->Locked());
    EXPECT_EQ(form->Strip().FirstYear, 2019);
    // Afterwards the rows take clicks again.
    Click(form->Monat_Grid, 5);
    EXPECT_EQ(nested, 2);
}

TEST_F(PeriodStripFormTest, SundaysAreDrawnInRed)
{
    Click(form->Monat_Grid, 2);  // March 2024: the 3rd and 10th are Sundays
    ASSERT_TRUE(form->Tag_Grid->isVisible());
    Click(form->Tag_Grid, 9);    // 10 March selected, the 3rd not
    const QImage image = form->Tag_Grid->grab().toImage();
    EXPECT_GT(RedPixels(image, form->Tag_Grid->CellRect(2)), 0);
    EXPECT_GT(RedPixels(image, form->Tag_Grid->CellRect(9)), 0);
    EXPECT_EQ(RedPixels(image, form->Tag_Grid->CellRect(3)), 0);
    EXPECT_EQ(RedPixels(image, form->Tag_Grid->CellRect(10)), 0);
}
