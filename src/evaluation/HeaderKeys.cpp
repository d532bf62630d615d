#include "evaluation/HeaderKeys.h"

#include "evaluation/ArchiveReader.h"

#include <algorithm>

namespace {

std::array<THeaderKey, HeaderKeyCount> GermanTable()
{
    return {{
        {QStringLiteral("DATERO"), QStringLiteral("Auslesung  "), false, false, 0},
        {QStringLiteral("Wert-Namen"), QStringLiteral("Wert-Namen"), false, false, 11},
        {QStringLiteral("Einheiten"), QStringLiteral("Einheiten"), false, false, 12},
        {QStringLiteral("INTERVAL"), QStringLiteral("Messperiode"), false, true, 7},
        {QStringLiteral("BEGINOFDAY"), QStringLiteral("Tagesbeginn"), false, true, 8},
        {QStringLiteral("CUSTNO"), QStringLiteral("Kunden-Nr."), true, true, 5},
        {QStringLiteral("CUSTNAME"), QStringLiteral("Kunden-Name"), true, false, 6},
        {QStringLiteral("METERNO"), QStringLiteral("Zähler-Nr."), true, true, 4},
        {QStringLiteral("METERLOCATION"), QStringLiteral("Meßstelle  "), true, false, 2},
        {QStringLiteral("MLDESCVV"), QStringLiteral("MST-VV     "), true, false, 3},
        {QStringLiteral("DEVNO"), QStringLiteral("Geräte-Nr."), true, true, 1},
        {QStringLiteral("ANALOGC"), QStringLiteral("Faktor"), false, false, 10},
        {QStringLiteral("CPVALUE"), QStringLiteral("Cp-Wert"), true, true, 9},
    }};
}

// The stored text never grows beyond a header value's length, except for the
// value-name and unit lists, which are kept whole.
constexpr int HeaderTextLength = 132;

} // namespace

std::array<THeaderKey, HeaderKeyCount> HeaderKeyTable = GermanTable();

const std::array<QString, HeaderKeyCount> HeaderKeyEnglishCaptions = {
    QStringLiteral("readout date"), QStringLiteral("Wert-Namen"), QStringLiteral("units"),
    QStringLiteral("period"), QStringLiteral("begin of day"), QStringLiteral("customer no."),
    QStringLiteral("customer name"), QStringLiteral("meter no."), QStringLiteral("meter location"),
    QStringLiteral("mtr.loc.vv    "), QStringLiteral("device  "), QStringLiteral("factor"),
    QStringLiteral("cp value"),
};

const QString OverviewFileCaptionGerman = QStringLiteral("Datei         ");
const QString OverviewFileCaptionEnglish = QStringLiteral("file         ");

void ResetHeaderKeyTable()
{
    HeaderKeyTable = GermanTable();
}

void StoreHeaderValue(TEvaluationState& state, const QString& key, const QString& value)
{
    for (int i = 0; i < GeneralHeaderCount; ++i) {
        const THeaderKey& entry = HeaderKeyTable[std::size_t(i)];
        if (key != entry.Key)
            continue;
        QString v = (i == hkValueNames || i == hkUnits) ? value : value.left(HeaderTextLength);
        if (entry.Numeric)
            StripLeadingZeros(v);
        else if (state.Konvert)
            ConvertSpecialChars(v);
        state.HeaderValues[std::size_t(i)] = v;
        return;
    }

    // Per-channel keys: the key of the entry followed by the channel letter.
    // The key must be exactly one letter longer than the entry's key.
    const int channels = std::clamp(state.ChannelCount, 1, MaxChannels);
    const bool devNoPerChannel = state.Settings.GerKan && state.RVDevice == 1;
    for (int c = 0; c < channels; ++c) {
        const QChar letter = QChar(u'A' + c);
        for (int k = FirstChannelKey; k < HeaderKeyCount; ++k) {
            const THeaderKey& entry = HeaderKeyTable[std::size_t(k)];
            if (k == hkDevNo && !devNoPerChannel) {
                // Only the first device number of a file counts, and only for
                // channel 1.
                if (c != 0 || !state.ChannelValues[0][0].isEmpty())
                    continue;
            }
            if (key.size() != entry.Key.size() + 1 || key.back() != letter || !key.startsWith(entry.Key))
                continue;
            QString v = value.left(HeaderTextLength);
            if (entry.Numeric)
                StripLeadingZeros(v);
            state.ChannelValues[std::size_t(c)][std::size_t(k - FirstChannelKey)] = v;
            return;
        }
    }
}

void ClearHeaderValues(TEvaluationState& state)
{
    for (QString& v : state.HeaderValues)
        v.clear();
    const int channels = std::clamp(state.ChannelCount, 1, MaxChannels);
    for (int c = 0; c < channels; ++c)
        for (QString& v : state.ChannelValues[std::size_t(c)])
            v.clear();
    if (state.DateLayoutPerFile)
        state.DateLayout.DayPos = 0;
}
