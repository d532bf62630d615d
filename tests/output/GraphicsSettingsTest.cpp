// Defaults of the graphics settings and chart options that other parts rely on.
#include "output/GraphicsSettings.h"
#include "evaluation/TableOutputParams.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ColorRefTest, ByteOrderIsBlueGreenRed)
{
    EXPECT_EQ(ColorRefToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorRefToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorRefToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(QColorToColorRef(QColor(0x56, 0x34, 0x12)), 0x123456u);
    // A colour value never carries an alpha or flag byte into the result.
    EXPECT_EQ(QColorToColorRef(QColor(255, 255, 255, 0)), 0xFFFFFFu);
}

TEST(GraphicsSettingsTest, DefaultsFillEveryField)
{
    TGraphicsSettings s;
    s.PrintOrientation = 1;
    s.CopyWithHeaders = true;
    s.Colours.fill(0x123456);
    DefaultGraphicsSettings(s);

    EXPECT_EQ(s.PrintOrientation, 0);
    EXPECT_FALSE(s.CopyWithHeaders);
    EXPECT_EQ(s.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(s.Percent, 100);
    EXPECT_DOUBLE_EQ(s.MarginLeft, 8.0952381);
    EXPECT_DOUBLE_EQ(s.MarginTop, 5.3535354);
    EXPECT_DOUBLE_EQ(s.MarginRight, 8.0952381);
    EXPECT_DOUBLE_EQ(s.MarginBottom, 5.3535354);
    EXPECT_EQ(s.ImageFileMask, QStringLiteral("*.BMP"));

    EXPECT_EQ(s.Colours[0], SystemWindowColor());
    EXPECT_EQ(s.Colours[1], clBlack);
    const std::array<TColor, 12> curves{0xFF0000, 0x00FF00, 0x0000FF, 0xFF00FF, 0xFFFF00, 0x008000,
                                        0x000080, 0x800080, 0x800000, 0x008080, 0x808000, 0x00FFFF};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(s.Colours[ColourFirstCurve + i], curves[i]) << "curve " << i + 1;
}

TEST(GraphicsSettingsTest, ColourNamesAreGermanAndTheLastIsEmpty)
{
    TGraphicsSettings s;
    DefaultGraphicsSettings(s);
    EXPECT_EQ(s.ColourNames[0], QStringLiteral("Hintergrund"));
    EXPECT_EQ(s.ColourNames[1], QStringLiteral("Standardfarbe"));
    EXPECT_EQ(s.ColourNames[2], QStringLiteral("1.Kurvenfarbe"));
    EXPECT_EQ(s.ColourNames[12], QStringLiteral("11.Kurvenfarbe"));
    EXPECT_TRUE(s.ColourNames[13].isEmpty());
}

TEST(ChartOptionsTest, DefaultsResetAChangedRecord)
{
    TChartOptions o;
    o.LegendPart2 = false;
    o.SeriesStyle = 7;
    o.Curves[5].LineWidth = 3;
    o.Curves[11].MarkerVisible = true;
    o.LeftAxisMax = 5;
    DefaultChartOptions(o);

    EXPECT_TRUE(o.LegendPart1);
    EXPECT_TRUE(o.LegendPart2);
    EXPECT_FALSE(o.ShowMarks);
    EXPECT_FALSE(o.ShowTitles);
    EXPECT_TRUE(o.View3D);
    EXPECT_TRUE(o.GridLines);
    EXPECT_TRUE(o.LeftAxisAuto);
    EXPECT_TRUE(o.RightAxisAuto);
    EXPECT_DOUBLE_EQ(o.LeftAxisMin, 0.0);
    EXPECT_DOUBLE_EQ(o.LeftAxisMax, 1000.0);
    EXPECT_DOUBLE_EQ(o.RightAxisMax, 1000.0);
    EXPECT_EQ(o.BarLayout, 1);
    EXPECT_EQ(o.BarWidthPercent, 70);
    EXPECT_EQ(o.Flags, 0);
    EXPECT_EQ(o.SeriesStyle, 0);
    for (const TCurveStyle& c : o.Curves) {
        EXPECT_TRUE(c.LineVisible);
        EXPECT_FALSE(c.MarkerVisible);
        EXPECT_EQ(c.MarkerStyle, 4);
        EXPECT_EQ(c.PenStyle, 0);
        EXPECT_EQ(c.LineWidth, 1);
    }
}

TEST(ChartCustomColorsTest, FourteenDefaultEntriesWhateverWasThere)
{
    QList<TColor> colors{1, 2, 3};
    ChartCustomColors(colors);
    ASSERT_EQ(colors.size(), 14);
    EXPECT_EQ(colors[0], SystemWindowColor());
    EXPECT_EQ(colors[2], clBlue);
    EXPECT_EQ(colors[12], 0x808000u);  // curve colour 11 (teal); curve 12 is not offered
    EXPECT_EQ(colors[13], SystemButtonFaceColor());

    QStringList entries{QStringLiteral("old")};
    ChartCustomColors(entries);
    ASSERT_EQ(entries.size(), 14);
    EXPECT_TRUE(entries[0].startsWith(QStringLiteral("ColorA=")));
    EXPECT_EQ(entries[1], QStringLiteral("ColorB=00000000"));
    EXPECT_EQ(entries[2], QStringLiteral("ColorC=00FF0000"));
    EXPECT_TRUE(entries[13].startsWith(QStringLiteral("ColorN=")));
}

TEST(ChartCustomColorsTest, IgnoresColoursTheUserPicked)
{
    const TGraphicsSettings saved = GraphicsSettings;
    DefaultGraphicsSettings(GraphicsSettings);
    GraphicsSettings.Colours[ColourFirstCurve] = 0x123456;
    QList<TColor> colors;
    ChartCustomColors(colors);
    EXPECT_EQ(colors[2], clBlue);
    GraphicsSettings = saved;
}

TEST(TableOutputParamsTest, DefaultsTakeMarginsFromGraphicsSettings)
{
    const TGraphicsSettings saved = GraphicsSettings;
    DefaultGraphicsSettings(GraphicsSettings);
    GraphicsSettings.MarginTop = 12.5;

    TTableOutputParams p;
    p.AusgabeGeraet = AG_Drucker;
    p.Bis_Seite = 3;
    p.SchriftGroesse = 20;
    p.DruckDateiName = QStringLiteral("x.csv");
    DefaultTableOutputParams(p);

    EXPECT_EQ(p.AusgabeGeraet, AG_Drucker);   // the defaults leave the target alone
    EXPECT_EQ(p.Von_Seite, 1);
    EXPECT_EQ(p.Bis_Seite, 99);
    EXPECT_TRUE(p.DruckDateiName.isEmpty());
    EXPECT_EQ(p.Position_SeitenNr, sp_UntenMitte);
    EXPECT_EQ(p.Position_Datum, sp_ObenRechts);
    EXPECT_EQ(p.SchriftName, QStringLiteral("Courier New"));
    EXPECT_EQ(p.SchriftGroesse, 9);
    EXPECT_TRUE(p.Rahmen && p.Spalten_Trennlinien && p.Zeilen_Trennlinien);
    EXPECT_DOUBLE_EQ(p.SeitenRand_Prozent[0], 8.0952381);
    EXPECT_DOUBLE_EQ(p.SeitenRand_Prozent[1], 12.5);
    EXPECT_DOUBLE_EQ(p.SeitenRand_Prozent[3], 5.3535354);
    GraphicsSettings = saved;
}

TEST(TabDruckTest, KeepsTheLastTenTitleLines)
{
    TZT_TabDruck druck;
    EXPECT_TRUE(druck.KopfZeile().isEmpty());
    for (int i = 1; i <= 11; ++i)
        druck.SetKopfZeile(QString::number(i));
    ASSERT_EQ(druck.KopfZeilen().size(), 10);
    EXPECT_EQ(druck.KopfZeilen().first(), QStringLiteral("2"));
    EXPECT_EQ(druck.KopfZeile(), QStringLiteral("11"));
    druck.ClearKopfZeilen();
    EXPECT_TRUE(druck.KopfZeilen().isEmpty());
}

// Without a host window the creation parameters stay as they are; with one,
// the window becomes its child, losing its caption only when asked to.
TEST(ChildWindowParams, MakesAChildOfTheHostWindowOnlyWhenOneIsSet)
{
    const uintptr_t savedHost = ChildHostWindow;
    const bool savedRemove = ChildRemoveCaption;
    TWindowCreateParams p;
    p.Style = WS_CAPTION | 0x1u;
    p.ExStyle = 0x200u;
    p.WndParent = 7;
    ChildHostWindow = 0;
    ChildRemoveCaption = true;
    ChildWindowParams(p);
    EXPECT_EQ(p.Style, WS_CAPTION | 0x1u);
    EXPECT_EQ(p.ExStyle, 0x200u);
    EXPECT_EQ(p.WndParent, 7u);

    ChildHostWindow = 0x4a00005;
    ChildRemoveCaption = false;
    ChildWindowParams(p);
    EXPECT_EQ(p.Style, WS_CHILD | WS_CAPTION | 0x1u);
    EXPECT_EQ(p.WndParent, 0x4a00005u);
    EXPECT_EQ(p.ExStyle, 0x200u);

    ChildRemoveCaption = true;
    TWindowCreateParams q;
    q.Style = WS_CAPTION | 0x1u;
    ChildWindowParams(q);
    EXPECT_EQ(q.Style, WS_CHILD | 0x1u);
    EXPECT_EQ(q.WndParent, 0x4a00005u);

    ChildHostWindow = savedHost;
    ChildRemoveCaption = savedRemove;
    // Throughout this program: no host, no removal, a normal window.
    EXPECT_EQ(ChildHostWindow, 0u);
    EXPECT_FALSE(ChildRemoveCaption);
    EXPECT_EQ(ChildWindowState, TChildWindowState::Normal);
    EXPECT_EQ(ChildFormStyle, TChildFormStyle::Normal);
}
