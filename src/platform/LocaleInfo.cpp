#include "platform/LocaleInfo.h"

#include <QLocale>

namespace platform {

namespace {

struct TAbbreviation {
    QLocale::Language Language;
    QLocale::Territory Territory;   // AnyTerritory marks the language's main entry
    const char* Text;
};

// The main entry of each language comes first; it answers for territories not
// listed.
constexpr TAbbreviation Abbreviations[] = {
    {QLocale::German, QLocale::AnyTerritory, "DEU"},
    {QLocale::German, QLocale::Germany, "DEU"},
    {QLocale::German, QLocale::Austria, "DEA"},
    {QLocale::German, QLocale::Switzerland, "DES"},
    {QLocale::German, QLocale::Luxembourg, "DEL"},
    {QLocale::German, QLocale::Liechtenstein, "DEC"},

    {QLocale::English, QLocale::AnyTerritory, "ENU"},
    {QLocale::English, QLocale::UnitedStates, "ENU"},
    {QLocale::English, QLocale::UnitedKingdom, "ENG"},
    {QLocale::English, QLocale::Australia, "ENA"},
    {QLocale::English, QLocale::Canada, "ENC"},
    {QLocale::English, QLocale::NewZealand, "ENZ"},
    {QLocale::English, QLocale::Ireland, "ENI"},
    {QLocale::English, QLocale::SouthAfrica, "ENS"},
    {QLocale::English, QLocale::Jamaica, "ENJ"},
    {QLocale::English, QLocale::Belize, "ENL"},
    {QLocale::English, QLocale::TrinidadAndTobago, "ENT"},
    {QLocale::English, QLocale::Zimbabwe, "ENW"},
    {QLocale::English, QLocale::Philippines, "ENP"},
    {QLocale::English, QLocale::India, "ENN"},
    {QLocale::English, QLocale::Malaysia, "ENM"},
    {QLocale::English, QLocale::Singapore, "ENE"},

    {QLocale::French, QLocale::AnyTerritory, "FRA"},
    {QLocale::French, QLocale::France, "FRA"},
    {QLocale::French, QLocale::Belgium, "FRB"},
    {QLocale::French, QLocale::Canada, "FRC"},
    {QLocale::French, QLocale::Switzerland, "FRS"},
    {QLocale::French, QLocale::Luxembourg, "FRL"},
    {QLocale::French, QLocale::Monaco, "FRM"},

    {QLocale::Italian, QLocale::AnyTerritory, "ITA"},
    {QLocale::Italian, QLocale::Italy, "ITA"},
    {QLocale::Italian, QLocale::Switzerland, "ITS"},

    {QLocale::Spanish, QLocale::AnyTerritory, "ESP"},
    {QLocale::Spanish, QLocale::Spain, "ESP"},
    {QLocale::Spanish, QLocale::Mexico, "ESM"},
    {QLocale::Spanish, QLocale::Argentina, "ESS"},
    {QLocale::Spanish, QLocale::Chile, "ESL"},
    {QLocale::Spanish, QLocale::Colombia, "ESO"},
    {QLocale::Spanish, QLocale::Peru, "ESR"},
    {QLocale::Spanish, QLocale::Venezuela, "ESV"},
    {QLocale::Spanish, QLocale::UnitedStates, "EST"},

    {QLocale::Dutch, QLocale::AnyTerritory, "NLD"},
    {QLocale::Dutch, QLocale::Netherlands, "NLD"},
    {QLocale::Dutch, QLocale::Belgium, "NLB"},

    {QLocale::Portuguese, QLocale::AnyTerritory, "PTG"},
    {QLocale::Portuguese, QLocale::Portugal, "PTG"},
    {QLocale::Portuguese, QLocale::Brazil, "PTB"},

    {QLocale::Swedish, QLocale::AnyTerritory, "SVE"},
    {QLocale::Swedish, QLocale::Finland, "SVF"},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, "NOR"},
    {QLocale::NorwegianNynorsk, QLocale::AnyTerritory, "NON"},
    {QLocale::Danish, QLocale::AnyTerritory, "DAN"},
    {QLocale::Finnish, QLocale::AnyTerritory, "FIN"},
    {QLocale::Icelandic, QLocale::AnyTerritory, "ISL"},

    {QLocale::Polish, QLocale::AnyTerritory, "PLK"},
    {QLocale::Czech, QLocale::AnyTerritory, "CSY"},
    {QLocale::Slovak, QLocale::AnyTerritory, "SKY"},
    {QLocale::Slovenian, QLocale::AnyTerritory, "SLV"},
    {QLocale::Croatian, QLocale::AnyTerritory, "HRV"},
    {QLocale::Hungarian, QLocale::AnyTerritory, "HUN"},
    {QLocale::Romanian, QLocale::AnyTerritory, "ROM"},
    {QLocale::Bulgarian, QLocale::AnyTerritory, "BGR"},
    {QLocale::Russian, QLocale::AnyTerritory, "RUS"},
    {QLocale::Ukrainian, QLocale::AnyTerritory, "UKR"},
    {QLocale::Greek, QLocale::AnyTerritory, "ELL"},
    {QLocale::Turkish, QLocale::AnyTerritory, "TRK"},
    {QLocale::Estonian, QLocale::AnyTerritory, "ETI"},
    {QLocale::Latvian, QLocale::AnyTerritory, "LVI"},
    {QLocale::Lithuanian, QLocale::AnyTerritory, "LTH"},
    {QLocale::Catalan, QLocale::AnyTerritory, "CAT"},
    {QLocale::Hebrew, QLocale::AnyTerritory, "HEB"},
    {QLocale::Arabic, QLocale::AnyTerritory, "ARA"},
    {QLocale::Japanese, QLocale::AnyTerritory, "JPN"},
    {QLocale::Korean, QLocale::AnyTerritory, "KOR"},
    {QLocale::Chinese, QLocale::AnyTerritory, "CHS"},
    {QLocale::Chinese, QLocale::China, "CHS"},
    {QLocale::Chinese, QLocale::Taiwan, "CHT"},
    {QLocale::Chinese, QLocale::HongKong, "ZHH"},
    {QLocale::Chinese, QLocale::Singapore, "ZHI"},
};

const QString EnglishUS = QStringLiteral("ENU");

QString& OverrideText()
{
    static QString text;
    return text;
}

} // namespace

QString LanguageAbbreviationOf(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return EnglishUS;
    const QLocale::Territory territory = locale.territory();
    const char* main = nullptr;
    for (const TAbbreviation& a : Abbreviations) {
        if (a.Language != language)
            continue;
        if (a.Territory == territory && territory != QLocale::AnyTerritory)
            return QString::fromLatin1(a.Text);
        if (!main && a.Territory == QLocale::AnyTerritory)
            main = a.Text;
    }
    if (main)
        return QString::fromLatin1(main);
    const QString code = QLocale::languageToCode(language, QLocale::ISO639Part2).toUpper();
    return code.isEmpty() ? EnglishUS : code;
}

QString LanguageAbbreviationOfName(const QString& localeName)
{
    // Strip the code set and the modifier: "de_AT.UTF-8@euro" gives "de_AT".
    QString name = localeName.trimmed();
    for (const QChar stop : {QLatin1Char('.'), QLatin1Char('@')}) {
        const qsizetype at = name.indexOf(stop);
        if (at >= 0)
            name.truncate(at);
    }
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return EnglishUS;
    return LanguageAbbreviationOf(QLocale(name));
}

QString UserLanguageAbbreviation()
{
    if (!OverrideText().isEmpty())
        return OverrideText();
    return LanguageAbbreviationOf(QLocale::system());
}

void SetLanguageAbbreviationOverride(const QString& abbreviation)
{
    OverrideText() = abbreviation;
}

} // namespace platform
