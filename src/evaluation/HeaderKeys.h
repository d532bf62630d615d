#pragma once
// The keys of an archive header and the store of the header values of the
// archive being read.
#include "evaluation/EvaluationState.h"

#include <QString>
#include <array>
#include <cstdint>

struct THeaderKey {
    QString Key;             // as written after ';' (per-channel keys without their letter)
    QString Caption;         // label in the user's language; overview column title
    bool InTemplate;         // one of the items of the default report head template
    bool Numeric;            // leading zeros are removed when the value is stored
    uint8_t OverviewColumn;  // column of the hidden file overview showing the value
};

constexpr int HeaderKeyCount = 13;
// Entries 0..9 are general values, 10..12 per-channel values.
constexpr int FirstChannelKey = GeneralHeaderCount;

// Indices of the table (used by every reader of the header values).
enum THeaderKeyIndex : int {
    hkDatero = 0, hkValueNames = 1, hkUnits = 2, hkInterval = 3, hkBeginOfDay = 4,
    hkCustNo = 5, hkCustName = 6, hkMeterNo = 7, hkMeterLocation = 8, hkMlDescVV = 9,
    hkDevNo = 10, hkAnalogC = 11, hkCpValue = 12
};

// The table, with German captions. Modifiable: the language selection puts
// translated captions in.
extern std::array<THeaderKey, HeaderKeyCount> HeaderKeyTable;
// The built-in English captions, in table order.
extern const std::array<QString, HeaderKeyCount> HeaderKeyEnglishCaptions;
// Title of the last overview column, which holds the archive file name.
extern const QString OverviewFileCaptionGerman;   // "Datei" and 9 blanks
extern const QString OverviewFileCaptionEnglish;  // "file" and 9 blanks
constexpr int OverviewFileColumn = 13;

// Puts the German captions back.
void ResetHeaderKeyTable();

// Stores one parsed header line (key and value as ParseHeaderLine gives them).
// Keys not in the table, in another letter case or of a channel beyond
// ChannelCount are ignored. Numeric values lose their leading zeros; general
// texts get their substitute characters converted when Konvert is on.
void StoreHeaderValue(TEvaluationState& state, const QString& key, const QString& value);

// Empties the general values and the channel values of channels
// 1..ChannelCount; with DateLayoutPerFile the detected date layout is reset.
void ClearHeaderValues(TEvaluationState& state);
