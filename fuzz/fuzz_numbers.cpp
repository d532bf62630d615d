// The number-text routines and FormatByPicture: number texts as they come
// from archives and settings, pictures and values of any kind.
#include "FuzzSupport.h"

#include "base/ZT_Tools.h"
#include "evaluation/ArchiveReader.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "numbers: %s [%s]\n", what, qPrintable(text));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const uint8_t flags = in.Byte();
    DecimalComma = (flags & 1) != 0;
    const double value = in.Double();
    const QString picture = in.Text();
    const QString text = in.Text();

    const QString formatted = FormatByPicture(picture, value);
    if (formatted.size() > 21 && formatted.size() > picture.size())
        Fail("FormatByPicture answered more than its picture", formatted);
    FormatByPicture(picture, ParseRealDef(text));

    ParseRealDef(text);
    ParseIntDef(text);

    QString stripped = text;
    StripLeadingZeros(stripped);
    if (stripped.size() > text.size() || (!text.isEmpty() && stripped.isEmpty()))
        Fail("StripLeadingZeros lost the text", text);

    QString number = text;
    FormatNumberText(number);
    if (text.isEmpty() && !number.isEmpty())
        Fail("FormatNumberText filled an empty text", text);
    // The table text of a table text stays as it is.
    QString again = number;
    FormatNumberText(again);

    QString converted = text;
    ConvertSpecialChars(converted);
    if (converted.size() != text.size())
        Fail("ConvertSpecialChars changed the length", text);
    return 0;
}
