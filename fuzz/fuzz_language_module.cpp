// The language-module reader: string-table scripts of any bytes, read from
// a file as the program reads its modules. Every entry read must survive the
// way back through the generator's entry lines.
#include "FuzzSupport.h"

#include "evaluation/LanguageModule.h"
#include "platform/TextCodec.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, int id, const QString& text)
{
    std::fprintf(stderr, "language module: %s (%d) [%s]\n", what, id, qPrintable(text));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const uint8_t flags = in.Byte();
    const QByteArray bytes = in.Rest();

    TStringTable table;
    if ((flags & 1) != 0) {
        const QString path = fuzzsupport::ScratchDirectory() + QStringLiteral("AV_FUZ.DLL");
        fuzzsupport::WriteFile(path, bytes);
        if (!ReadStringTableFile(path, table))
            Fail("written file cannot be read", 0, path);
    } else {
        const int count = ParseStringTable(platform::DecodeText(bytes), table);
        // Entries of one id count each time; the first one stays.
        if (count < int(table.size()))
            Fail("fewer entries counted than kept", count, QString());
    }

    // Through the generator's script file and back.
    TStringTableScript generated;
    generated.Begin(QStringLiteral("AV"), QStringLiteral("01.01.2004 00:00:00"));
    for (const auto& [id, text] : table)
        generated.AddEntry(id, text, QString());
    generated.Finish();
    const QString back = fuzzsupport::ScratchDirectory() + QStringLiteral("AV_GEN.DLL");
    if (!generated.SaveToFile(back))
        Fail("generated script cannot be written", 0, back);
    TStringTable again;
    if (!ReadStringTableFile(back, again))
        Fail("generated script cannot be read", 0, back);
    if (again != table) {
        for (const auto& [id, text] : table) {
            const auto it = again.find(id);
            if (it == again.end())
                Fail("entry lost on the way back", id, text);
            if (it->second != text)
                Fail("entry changed on the way back", id, text + QStringLiteral(" -> ") + it->second);
        }
        Fail("entries gained on the way back", 0, QString());
    }
    return 0;
}
