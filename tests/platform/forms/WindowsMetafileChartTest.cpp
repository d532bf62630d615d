// A QCustomPlot chart drawn into the metafile device, as the chart window
// saves and copies it: its curves, axis texts and turned axis label survive.
#include "platform/WindowsMetafile.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

uint16_t U16(const QByteArray& b, qsizetype at) { return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); }
uint32_t U32(const QByteArray& b, qsizetype at) { return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16); }

} // namespace

TEST(WindowsMetafileChart, CustomPlotDrawsItsCurvesAndTextsIntoIt)
{
    QCustomPlot plot;
    plot.resize(600, 400);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(QPen(QColor(255, 0, 0), 2));
    QVector<double> x, y;
    for (int i = 0; i < 200; ++i) {
        x << i;
        y << std::sin(i / 20.0) * 50 + 50;
    }
    graph->setData(x, y);
    plot.xAxis->setRange(0, 199);
    plot.yAxis->setRange(0, 100);
    plot.yAxis->setLabel(QString::fromUtf8("Zählerstand"));

    platform::WindowsMetafile metafile(QSize(600, 400));
    {
        QCPPainter painter(&metafile);
        plot.toPainter(&painter, 600, 400);
    }
    const QByteArray bytes = metafile.bytes();
    ASSERT_GT(bytes.size(), 40);
    int polylinePoints = 0;
    bool redPen = false;
    bool turnedLabel = false;
    QByteArray texts;
    for (qsizetype at = 40; at + 6 <= bytes.size();) {
        const uint32_t words = U32(bytes, at);
        const uint16_t function = U16(bytes, at + 4);
        ASSERT_GE(words, 3u);
        const QByteArray params = bytes.mid(at + 6, qsizetype(words) * 2 - 6);
        if (function == 0x0325)
            polylinePoints += U16(params, 0);
        if (function == 0x02FA && U32(params, 6) == 0x0000FFu)
            redPen = true;
        if (function == 0x02FB && U16(params, 4) == 900)
            turnedLabel = true;
        if (function == 0x0A32)
            texts += params.mid(8, U16(params, 4)) + ' ';
        at += qsizetype(words) * 2;
        if (function == 0)
            break;
    }
    EXPECT_TRUE(redPen);
    EXPECT_GT(polylinePoints, 100);
    EXPECT_TRUE(turnedLabel) << "the value axis label is turned by 90 degrees";
    EXPECT_TRUE(texts.contains("Z\xe4hlerstand")) << texts.toStdString();
    EXPECT_TRUE(texts.contains("100")) << texts.toStdString();
}
