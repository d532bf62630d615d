// The header-line parser and the storing of header values, on lines of any
// bytes, with the archive description and the logbook permission switched by
// the first input byte. The lines of one input are fed in order into one
// state, as the scan feeds the lines of one archive.
#include "FuzzSupport.h"

#include "evaluation/ArchiveReader.h"
#include "evaluation/HeaderKeys.h"
#include "platform/TextCodec.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "header line: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const uint8_t flags = in.Byte();
    TEvaluationState state;
    state.Settings.ArcDesc = (flags & 1) != 0;
    state.LogbooksAllowed = (flags & 2) != 0;
    state.Konvert = (flags & 4) != 0;
    state.ChannelCount = 1 + (flags >> 5);
    TArchiveReader reader(state);

    const QByteArray bytes = in.Rest();
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        qsizetype len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r')
            --len;
        const QString line = platform::DecodeLine(bytes.constData() + start, std::size_t(len));
        start = end + 1;

        QString key = QStringLiteral("old"), value = QStringLiteral("old");
        const uint8_t result = reader.ParseHeaderLine(line, key, value);
        switch (result) {
        case hlHeader: {
            const bool wholeValue = line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('E'));
            if (key.size() > ArchiveTextLength || (!wholeValue && value.size() > ArchiveTextLength))
                Fail("key or value longer than an archive text");
            if (state.Konvert)
                ConvertSpecialChars(value);
            StoreHeaderValue(state, key, value);
            break;
        }
        case hlNoHeader:
        case hlEndOfHeader:
        case hlLogbookRefused:
            if (!key.isEmpty() || !value.isEmpty())
                Fail("key or value set for a line that is no header line");
            if (result == hlLogbookRefused && state.LogbooksAllowed)
                Fail("logbook refused although logbooks are allowed");
            break;
        default:
            Fail("unknown result");
        }
    }
    for (const QString& v : state.HeaderValues) {
        if (v.size() > 100000)
            Fail("header value grew without bound");
    }
    return 0;
}
