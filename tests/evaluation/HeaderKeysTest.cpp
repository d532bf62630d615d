#include "evaluation/HeaderKeys.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEvaluationState FreshState()
{
    TEvaluationState state;
    ClearHeaderValues(state);
    return state;
}

} // namespace

TEST(HeaderKeyTable, EntriesAndColumns)
{
    ResetHeaderKeyTable();
    ASSERT_EQ(HeaderKeyTable.size(), 13u);
    EXPECT_EQ(HeaderKeyTable[hkDatero].Caption, QStringLiteral("Auslesung  "));
    EXPECT_EQ(HeaderKeyTable[hkMeterLocation].Caption, QStringLiteral("Meßstelle  "));
    EXPECT_EQ(HeaderKeyTable[hkMlDescVV].Caption, QStringLiteral("MST-VV     "));
    EXPECT_EQ(HeaderKeyEnglishCaptions[hkMlDescVV], QStringLiteral("mtr.loc.vv    "));
    EXPECT_EQ(HeaderKeyEnglishCaptions[hkDevNo], QStringLiteral("device  "));
    EXPECT_EQ(HeaderKeyEnglishCaptions[hkValueNames], QStringLiteral("Wert-Namen"));
    EXPECT_EQ(OverviewFileCaptionGerman, QStringLiteral("Datei") + QString(9, QLatin1Char(' ')));
    EXPECT_EQ(OverviewFileCaptionEnglish, QStringLiteral("file") + QString(9, QLatin1Char(' ')));

    // Every overview column 0..12 shows exactly one entry; 13 is the file name.
    std::set<int> columns;
    for (const THeaderKey& k : HeaderKeyTable)
        columns.insert(k.OverviewColumn);
    EXPECT_EQ(columns.size(), 13u);
    EXPECT_EQ(*columns.rbegin(), 12);

    int inTemplate = 0, numeric = 0;
    for (const THeaderKey& k : HeaderKeyTable) {
        inTemplate += k.InTemplate ? 1 : 0;
        numeric += k.Numeric ? 1 : 0;
    }
    EXPECT_EQ(inTemplate, 7);
    EXPECT_EQ(numeric, 6);

    // Captions can be replaced and put back.
    HeaderKeyTable[hkCustNo].Caption = QStringLiteral("customer no.");
    ResetHeaderKeyTable();
    EXPECT_EQ(HeaderKeyTable[hkCustNo].Caption, QStringLiteral("Kunden-Nr."));
}

TEST(StoreHeaderValue, GeneralValuesNumbersAndSubstituteCharacters)
{
    TEvaluationState state = FreshState();
    StoreHeaderValue(state, QStringLiteral("CUSTNAME"), QStringLiteral("M>ller"));
    StoreHeaderValue(state, QStringLiteral("CUSTNO"), QStringLiteral("000123"));
    StoreHeaderValue(state, QStringLiteral("METERNO"), QStringLiteral("0"));
    StoreHeaderValue(state, QStringLiteral("DATERO"), QStringLiteral("15.03.2004 08:00:00"));
    EXPECT_EQ(state.HeaderValues[hkCustName], QStringLiteral("Müller"));
    EXPECT_EQ(state.HeaderValues[hkCustNo], QStringLiteral("123"));
    EXPECT_EQ(state.HeaderValues[hkMeterNo], QStringLiteral("0"));
    EXPECT_EQ(state.HeaderValues[hkDatero], QStringLiteral("15.03.2004 08:00:00"));

    // Numeric values are not converted; with Konvert off nothing is.
    StoreHeaderValue(state, QStringLiteral("CUSTNO"), QStringLiteral("00?1"));
    EXPECT_EQ(state.HeaderValues[hkCustNo], QStringLiteral("?1"));
    state.Konvert = false;
    StoreHeaderValue(state, QStringLiteral("CUSTNAME"), QStringLiteral("M>ller"));
    EXPECT_EQ(state.HeaderValues[hkCustName], QStringLiteral("M>ller"));

    // Keys compare with letter case and length.
    StoreHeaderValue(state, QStringLiteral("custno"), QStringLiteral("5"));
    StoreHeaderValue(state, QStringLiteral("CUSTNO "), QStringLiteral("6"));
    StoreHeaderValue(state, QStringLiteral("CUST"), QStringLiteral("7"));
    EXPECT_EQ(state.HeaderValues[hkCustNo], QStringLiteral("?1"));
}

TEST(StoreHeaderValue, ValueNamesStayWholeOtherTextsAreCut)
{
    TEvaluationState state = FreshState();
    QString names;
    for (int i = 0; i < 40; ++i)
        names += QStringLiteral("\nWert<%1").arg(i);
    StoreHeaderValue(state, QStringLiteral("Wert-Namen"), names);
    EXPECT_EQ(state.HeaderValues[hkValueNames].size(), names.size());
    EXPECT_TRUE(state.HeaderValues[hkValueNames].endsWith(QStringLiteral("Wertä39")));
    StoreHeaderValue(state, QStringLiteral("CUSTNAME"), QString(200, QLatin1Char('a')));
    EXPECT_EQ(state.HeaderValues[hkCustName].size(), 132);
}

TEST(StoreHeaderValue, ChannelValuesAreNotConverted)
{
    TEvaluationState state = FreshState();
    StoreHeaderValue(state, QStringLiteral("ANALOGCA"), QStringLiteral("<1"));
    StoreHeaderValue(state, QStringLiteral("CPVALUEB"), QStringLiteral("000250"));
    StoreHeaderValue(state, QStringLiteral("CPVALUED"), QStringLiteral("4"));
    EXPECT_EQ(state.ChannelValues[0][1], QStringLiteral("<1"));
    EXPECT_EQ(state.ChannelValues[1][2], QStringLiteral("250"));
    EXPECT_EQ(state.ChannelValues[3][2], QStringLiteral("4"));
    StoreHeaderValue(state, QStringLiteral("CPVALUEI"), QStringLiteral("9"));   // no channel 9
    StoreHeaderValue(state, QStringLiteral("CPVALUEAA"), QStringLiteral("9"));
    StoreHeaderValue(state, QStringLiteral("CPVALUE"), QStringLiteral("9"));
    EXPECT_EQ(state.ChannelValues[0][2], QString());
}

TEST(StoreHeaderValue, FirstDeviceNumberOfAFileWins)
{
    // The ";" line first: the meta line's DEVNOA is ignored.
    TEvaluationState state = FreshState();
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("0004711"));
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("0004711/3"));
    EXPECT_EQ(state.ChannelValues[0][0], QStringLiteral("4711"));

    // The meta line first.
    state = FreshState();
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("0004711/3"));
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("0004711"));
    EXPECT_EQ(state.ChannelValues[0][0], QStringLiteral("4711/3"));
}

TEST(StoreHeaderValue, DeviceNumbersPerChannelOnlyForRvWithGerKan)
{
    TEvaluationState state = FreshState();
    StoreHeaderValue(state, QStringLiteral("DEVNOB"), QStringLiteral("12"));
    EXPECT_TRUE(state.ChannelValues[1][0].isEmpty());

    state.Settings.GerKan = true;
    state.RVDevice = 1;
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("11"));
    StoreHeaderValue(state, QStringLiteral("DEVNOB"), QStringLiteral("0012"));
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("13"));   // not restricted: later wins
    EXPECT_EQ(state.ChannelValues[0][0], QStringLiteral("13"));
    EXPECT_EQ(state.ChannelValues[1][0], QStringLiteral("12"));

    // A QM file keeps the first-wins rule for channel 1 only.
    state = FreshState();
    state.Settings.GerKan = true;
    state.RVDevice = 0;
    StoreHeaderValue(state, QStringLiteral("DEVNOB"), QStringLiteral("12"));
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("11"));
    StoreHeaderValue(state, QStringLiteral("DEVNOA"), QStringLiteral("13"));
    EXPECT_TRUE(state.ChannelValues[1][0].isEmpty());
    EXPECT_EQ(state.ChannelValues[0][0], QStringLiteral("11"));
}

TEST(StoreHeaderValue, ChannelCountLimitsTheChannels)
{
    TEvaluationState state;
    state.ChannelCount = 2;
    ClearHeaderValues(state);
    StoreHeaderValue(state, QStringLiteral("CPVALUEB"), QStringLiteral("2"));
    StoreHeaderValue(state, QStringLiteral("CPVALUEC"), QStringLiteral("1"));
    EXPECT_EQ(state.ChannelValues[1][2], QStringLiteral("2"));
    EXPECT_TRUE(state.ChannelValues[2][2].isEmpty());
}

TEST(ClearHeaderValues, EmptiesGeneralAndCountedChannelsAndResetsTheLayoutOnRequest)
{
    TEvaluationState state;
    state.ChannelCount = 2;
    for (QString& v : state.HeaderValues)
        v = QStringLiteral("x");
    for (auto& channel : state.ChannelValues)
        for (QString& v : channel)
            v = QStringLiteral("y");
    state.DateLayout.DayPos = 7;
    ClearHeaderValues(state);
    for (const QString& v : state.HeaderValues)
        EXPECT_TRUE(v.isEmpty());
    EXPECT_TRUE(state.ChannelValues[0][0].isEmpty());
    EXPECT_TRUE(state.ChannelValues[1][2].isEmpty());
    EXPECT_EQ(state.ChannelValues[2][0], QStringLiteral("y"));
    EXPECT_EQ(state.DateLayout.DayPos, 7);

    state.DateLayoutPerFile = true;
    ClearHeaderValues(state);
    EXPECT_EQ(state.DateLayout.DayPos, 0);
}
