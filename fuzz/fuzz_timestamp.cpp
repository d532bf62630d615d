// The time-stamp parser of data lines under German and English platform
// formats. The lines of one input are read in order by one reader, as the
// lines of one archive are: the layout found last is tried first.
#include "FuzzSupport.h"

#include "evaluation/ArchiveReader.h"
#include "platform/LocaleFormats.h"
#include "platform/TextCodec.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const platform::LocaleFormats& Formats(uint8_t which)
{
    static const platform::LocaleFormats german(QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss"),
                                                QLocale(QLocale::German, QLocale::Germany));
    static const platform::LocaleFormats english(QStringLiteral("M/d/yyyy"), QStringLiteral("h:mm:ss AP"),
                                                 QLocale(QLocale::English, QLocale::UnitedStates));
    static const platform::LocaleFormats british(QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss"),
                                                 QLocale(QLocale::English, QLocale::UnitedKingdom));
    static const platform::LocaleFormats iso(QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"));
    switch (which % 4) {
    case 0: return german;
    case 1: return english;
    case 2: return british;
    default: return iso;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::EnsureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const platform::LocaleFormats& formats = Formats(in.Byte());
    platform::ScopedLocaleFormats scoped(formats);
    TEvaluationState state;
    TArchiveReader reader(state);

    const QByteArray bytes = in.Rest();
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QString line = platform::DecodeLine(bytes.constData() + start, std::size_t(end - start));
        start = end + 1;

        const platform::DateTimeValue value = reader.ParseTimestamp(line);
        if (!std::isfinite(value)) {
            std::fprintf(stderr, "time stamp read as a value that is not finite\n");
            std::abort();
        }
        platform::DateTimeValue direct = 0;
        if (formats.TryParseDateTime(line, direct)) {
            // What the formats read they must write again and read back (the
            // written time has whole seconds).
            const QString written = formats.FormatDateTime(direct);
            platform::DateTimeValue again = 0;
            if (!formats.TryParseDateTime(written, again) || std::fabs(again - direct) >= 1.0 / 86400.0) {
                std::fprintf(stderr, "date text %s does not read back\n", qPrintable(written));
                std::abort();
            }
        }
    }
    return 0;
}
