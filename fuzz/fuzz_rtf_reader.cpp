// The RTF reader on bytes of any kind. Whatever it makes of them must write
// out as RTF and read back as the same text; written a second time, the RTF
// must not change any more.
#include "FuzzSupport.h"

#include "reports/RtfExport.h"
#include "reports/RtfReader.h"

#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "rtf reader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::EnsureApplication();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Most inputs are not RTF at all: read them as the body of a document too.
    if (!rtf::LooksLikeRtf(bytes))
        bytes.prepend("{\\rtf1\\ansi ");

    QTextDocument first;
    rtf::TRtfReadInfo info;
    if (!rtf::ReadRtf(bytes, &first, &info))
        Fail("RTF refused");

    const QByteArray written = rtf::DocumentToRtf(first, info.Settings);
    QTextDocument second;
    rtf::TRtfReadInfo info2;
    if (!rtf::ReadRtf(written, &second, &info2))
        Fail("own RTF refused");
    if (second.toPlainText() != first.toPlainText())
        Fail("text changed on the way through our own RTF");
    if (!(info2.Settings == info.Settings))
        Fail("page settings changed");
    if (rtf::DocumentToRtf(second, info2.Settings) != written)
        Fail("our own RTF does not write back the same");
    return 0;
}
