#include "output/forms/ZT_Vorschau.h"
#include "platform/PrintCanvas.h"
#include "support/FakeHooks.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct PreviewFixture : ::testing::Test {
    testsupport::FakeHooks fakes;
    TZT_Vorschau preview;
    std::vector<int32_t> drawn;
    TDrawPageProc drawer = [this](int32_t page) {
        drawn.push_back(page);
        ASSERT_NE(preview.PageCanvas(), nullptr);
        EXPECT_EQ(preview.PageCanvas()->PageWidth(), preview.Image->width());
        preview.PageCanvas()->FillRect(QRect(0, 0, 5, 5), Qt::black);
    };
    QString Status() const { return preview.StatusBar->findChild<QLabel*>()->text(); }
};

} // namespace

TEST_F(PreviewFixture, OnePageOfOneDisablesAllPageButtons)
{
    preview.ShowPages(1, 1, drawer, 0);
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(drawn, std::vector<int32_t>{1});
    EXPECT_FALSE(preview.ErsteSeite_Knopf->isEnabled());
    EXPECT_FALSE(preview.ZurueckBlaettern_Knopf->isEnabled());
    EXPECT_FALSE(preview.VorBlaettern_Knopf->isEnabled());
    EXPECT_FALSE(preview.LetzteSeite_Knopf->isEnabled());
    EXPECT_EQ(Status(), QStringLiteral("Seite 1 von 1          "));
    EXPECT_EQ(preview.PageCanvas(), nullptr);   // only while drawing
    EXPECT_EQ(preview.PageImage().pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(preview.SizeBox->currentIndex(), 1);
    EXPECT_EQ(preview.ErsteSeite_Knopf->toolTip(), QStringLiteral("Erste Seite"));
    EXPECT_EQ(preview.LetzteSeite_Knopf->toolTip(), QStringLiteral("Letzte Seite"));
    EXPECT_FALSE(preview.Druck_Knopf->isVisible());
    EXPECT_EQ(fakes.beeps, 0);
}

TEST_F(PreviewFixture, PagesOutsideTheRangeBeepAndAreNeverDrawn)
{
    preview.ShowPages(0, 3, drawer, 0);
    EXPECT_EQ(fakes.beeps, 1);
    EXPECT_TRUE(drawn.empty());
    preview.SizeBox->setCurrentIndex(0);   // a view change with no valid page
    preview.resize(preview.width() - 20, preview.height());
    EXPECT_TRUE(drawn.empty());
    preview.ShowPages(4, 3, drawer, 0);
    EXPECT_EQ(fakes.beeps, 2);
    EXPECT_TRUE(drawn.empty());
}

TEST_F(PreviewFixture, ADrawerThatFindsFewerPagesShowsItsLastPage)
{
    // The table shrank to one page while page 3 of 5 was open.
    bool shrunk = false;
    TDrawPageProc shrinking = [&](int32_t page) {
        drawn.push_back(page);
        preview.SetPageCount(shrunk ? 1 : 5);
    };
    preview.ShowPages(3, 5, shrinking, 0);
    EXPECT_EQ(drawn, std::vector<int32_t>{3});
    shrunk = true;
    preview.resize(preview.width() - 20, preview.height());
    EXPECT_EQ(preview.PageCount, 1);
    EXPECT_EQ(preview.CurrentPage, 1);
    EXPECT_EQ(drawn, (std::vector<int32_t>{3, 3, 1}));
    EXPECT_EQ(Status(), QStringLiteral("Seite 1 von 1          "));
    EXPECT_FALSE(preview.LetzteSeite_Knopf->isEnabled());
    EXPECT_EQ(fakes.beeps, 0);
}

TEST_F(PreviewFixture, ButtonsAndKeysLeafThroughThePages)
{
    preview.ShowPages(2, 3, drawer, 0);
    EXPECT_TRUE(preview.ErsteSeite_Knopf->isEnabled());
    EXPECT_TRUE(preview.VorBlaettern_Knopf->isEnabled());
    EXPECT_EQ(Status(), QStringLiteral("Seite 2 von 3          "));
    QTest::keyClick(&preview, Qt::Key_PageDown);
    EXPECT_EQ(preview.CurrentPage, 3);
    EXPECT_FALSE(preview.VorBlaettern_Knopf->isEnabled());
    QTest::keyClick(preview.SizeBox, Qt::Key_PageDown);   // the form sees it first
    EXPECT_EQ(preview.CurrentPage, 3);
    EXPECT_EQ(fakes.beeps, 1);
    preview.ErsteSeite_Knopf->click();
    EXPECT_EQ(preview.CurrentPage, 1);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_EQ(fakes.beeps, 2);
    preview.LetzteSeite_Knopf->click();
    EXPECT_EQ(preview.CurrentPage, 3);
    EXPECT_EQ(drawn, (std::vector<int32_t>{2, 3, 1, 3}));
    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
}

TEST_F(PreviewFixture, ViewsSizeTheImageByTheOrientationOfTheShowing)
{
    preview.ShowPages(1, 1, drawer, 0);
    const QSize client = preview.ScrollBox->maximumViewportSize();
    // Page width: the client width, 16 pixels less for the scroll bar.
    EXPECT_EQ(preview.ImageWidth, client.width());
    EXPECT_EQ(preview.Image->width(), client.width() - 16);
    EXPECT_EQ(preview.ImageHeight, static_cast<int>(std::nearbyint(std::sqrt(2.0) * client.width())));
    preview.SizeBox->setCurrentIndex(0);
    EXPECT_EQ(preview.Image->height(), client.height());
    EXPECT_EQ(preview.Image->width(), static_cast<int>(std::nearbyint(client.height() / std::sqrt(2.0))));
    EXPECT_EQ(preview.Image->x(), (client.width() - preview.Image->width()) / 2);

    preview.ShowPages(1, 1, drawer, 1);   // a landscape showing
    EXPECT_EQ(preview.Image->width(), static_cast<int>(std::nearbyint(client.height() * std::sqrt(2.0))));
    preview.resize(preview.width() + 40, preview.height());
    EXPECT_EQ(preview.Orientation(), 1);
    EXPECT_GT(preview.Image->width(), preview.Image->height());
    preview.SizeBox->setCurrentIndex(1);
    // Right after a resize the page-width image has the full width.
    preview.resize(preview.width() - 40, preview.height());
    const QSize now = preview.ScrollBox->maximumViewportSize();
    EXPECT_EQ(preview.Image->width(), now.width());
    EXPECT_EQ(preview.Image->height(), static_cast<int>(std::nearbyint(now.width() / std::sqrt(2.0))));
}

TEST_F(PreviewFixture, ThePrintButtonBelongsToTheShowingThatSetIt)
{
    int clicks = 0;
    QObject* sender = nullptr;
    preview.SetPrintButton(QStringLiteral("Ausgabe des Diagramms"), [&](QObject* s) { ++clicks; sender = s; });
    preview.ShowPages(1, 1, drawer, 1);
    EXPECT_TRUE(preview.Druck_Knopf->isVisible());
    EXPECT_EQ(preview.Druck_Knopf->toolTip(), QStringLiteral("Ausgabe des Diagramms"));
    preview.Druck_Knopf->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, preview.Druck_Knopf.data());
    preview.ShowPages(1, 2, drawer, 0);   // a table showing sets no button
    EXPECT_FALSE(preview.Druck_Knopf->isVisible());
    preview.Druck_KnopfClick();
    EXPECT_EQ(clicks, 1);
}
