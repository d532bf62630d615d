#include "reports/forms/anlRuler.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct RulerFixture {
    RulerFixture()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        ruler = new TanlRuler(&window);
        ruler->setFixedHeight(25);
        editor = new QTextEdit(&window);
        layout->addWidget(ruler);
        layout->addWidget(editor);
        window.resize(400, 300);
        window.show();
        QApplication::processEvents();
        ruler->SetRichedit(editor);
        ruler->SetRulerTab(10);
        ruler->SetMarginLeft(30);
        ruler->PlaceIndents(31, 31, 300);
        QObject::connect(ruler, &TanlRuler::OnIndentClick, [this](TanlRuler*, int id) { events << QString("click %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnIndentDrag, [this](TanlRuler*, int id) { events << QString("drag %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnIndentChange, [this](TanlRuler*, int id) { events << QString("change %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnMarginClick, [this](TanlRuler*, int id) { events << QString("mclick %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnMarginDrag, [this](TanlRuler*, int id) { events << QString("mdrag %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnMarginChange, [this](TanlRuler*, int id) { events << QString("mchange %1").arg(id); });
        QObject::connect(ruler, &TanlRuler::OnIndentDblClick, [this](TanlRuler*, int id) { events << QString("dbl %1").arg(id); });
    }
    QWidget window;
    TanlRuler* ruler = nullptr;
    QTextEdit* editor = nullptr;
    QStringList events;
};

} // namespace

TEST(RulerWidget, DraggingTheFirstLineMarkerSnapsAndReports)
{
    RulerFixture f;
    const QPoint press(f.ruler->IndentFirst() + 4, f.ruler->Geometry().FirstMarkerTop() + 2);
    QTest::mousePress(f.ruler, Qt::LeftButton, Qt::NoModifier, press);
    EXPECT_TRUE(f.ruler->GuideVisible());
    const int guideAtPress = f.ruler->GuideX();
    QTest::mouseMove(f.ruler, press + QPoint(27, 0));
    EXPECT_EQ(f.ruler->IndentFirst(), 50);   // 31 + 27 = 58 snapped to 50
    EXPECT_EQ(f.ruler->IndentLeft(), 31);
    EXPECT_EQ(f.ruler->GuideX() - guideAtPress, 50 - 31);
    QTest::mouseRelease(f.ruler, Qt::LeftButton, Qt::NoModifier, press + QPoint(27, 0));
    EXPECT_FALSE(f.ruler->GuideVisible());
    EXPECT_EQ(f.events, (QStringList{"click 0", "drag 0", "change 0"}));
}

TEST(RulerWidget, TheBoxMovesBothLeftIndents)
{
    RulerFixture f;
    f.ruler->PlaceIndents(51, 31, 300);
    const QPoint press(f.ruler->IndentLeft() + 4, f.ruler->Geometry().BoxTop() + 3);
    QTest::mousePress(f.ruler, Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(f.ruler, press + QPoint(40, 0));
    QTest::mouseRelease(f.ruler, Qt::LeftButton, Qt::NoModifier, press + QPoint(40, 0));
    EXPECT_EQ(f.ruler->IndentLeft(), 70);
    EXPECT_EQ(f.ruler->IndentFirst(), 90);
    EXPECT_EQ(f.events.first(), "click 3");
    EXPECT_EQ(f.events.last(), "change 3");
}

TEST(RulerWidget, MarginDragMovesTheBoundaryAndTheIndents)
{
    RulerFixture f;
    f.ruler->PlaceIndents(60, 60, 300);
    const int boundary = f.ruler->BorderLeft() + f.ruler->MarginLeft();
    QTest::mousePress(f.ruler, Qt::LeftButton, Qt::NoModifier, QPoint(boundary + 1, 12));
    QTest::mouseMove(f.ruler, QPoint(boundary + 11, 12));
    QTest::mouseRelease(f.ruler, Qt::LeftButton, Qt::NoModifier, QPoint(boundary + 11, 12));
    EXPECT_EQ(f.ruler->MarginLeft(), 40);
    EXPECT_EQ(f.ruler->IndentFirst(), 70);
    EXPECT_EQ(f.ruler->IndentLeft(), 70);
    EXPECT_EQ(f.events, (QStringList{"mclick 0", "mdrag 0", "mchange 0"}));
}

TEST(RulerWidget, DoubleClickReportsWithoutStartingADrag)
{
    RulerFixture f;
    const QPoint at(f.ruler->IndentRight() + 4, f.ruler->Geometry().LeftMarkerTop() + 5);
    QTest::mouseDClick(f.ruler, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(f.events.contains("dbl 2"));
    EXPECT_FALSE(f.ruler->GuideVisible());
}

TEST(RulerWidget, PaintsMarginsScaleAndMarkers)
{
    RulerFixture f;
    f.ruler->SetTabDist(8);
    QImage image(f.ruler->size(), QImage::Format_RGB32);
    f.ruler->render(&image);
    const QColor shadow = f.ruler->palette().color(QPalette::Dark);
    // Inside the left margin area: the shadow colour.
    EXPECT_EQ(image.pixelColor(20, 12).rgb(), shadow.rgb());
    // The first-line marker's black outline at its top edge.
    EXPECT_EQ(image.pixelColor(f.ruler->IndentFirst(), f.ruler->Geometry().FirstMarkerTop()), QColor(Qt::black));
    f.ruler->SetShowIndents(false);
    image.fill(Qt::white);
    f.ruler->render(&image);
    EXPECT_NE(image.pixelColor(f.ruler->IndentFirst(), f.ruler->Geometry().FirstMarkerTop()), QColor(Qt::black));
}
