// The RTF reader on bytes of any kind (up to whole reports of 1 MB). Whatever
// it makes of them must lay out in pages, write out as RTF and read back as
// the same text; written a second time, the RTF must not change any more. A
// document refused as too large must leave nothing behind.
#include "FuzzSupport.h"

#include "reports/RichPrinter.h"
#include "reports/RtfExport.h"
#include "reports/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <memory>

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
    if (!rtf::ReadRtf(bytes, &first, &info)) {
        if (info.Refusal.isEmpty())
            Fail("RTF refused without a reason");
        if (!first.isEmpty())
            Fail("a refused document kept text");
        return 0;
    }

    // Laid out as the editor shows it and in pages as the printer counts
    // them (a page count that cannot be found is refused, never wrong).
    {
        std::unique_ptr<QTextDocument> paged(first.clone());
        paged->setTextWidth(600);
        if (!(paged->documentLayout()->documentSize().height() >= 0))
            Fail("negative document height");
        paged->setPageSize(QSizeF(600, 900));
        try {
            if (reports::CheckedPageCount(*paged) < 1)
                Fail("no page");
        } catch (const reports::ELinePrinter&) {
        }
    }

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
