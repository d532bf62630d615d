// The INI file reader on file bytes of any kind: every section and value is
// read, and a value written into the file must read back as written while the
// file's other values stay as they were.
#include "FuzzSupport.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "ini file: %s [%s]\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    const uint8_t flags = in.Byte();
    uint8_t valueBytes[12];
    for (uint8_t& b : valueBytes)
        b = in.Byte();
    const QString path = fuzzsupport::ScratchDirectory() + QStringLiteral("fuzz.ini");
    fuzzsupport::WriteFile(path, in.Rest());

    platform::IniFile ini(path);
    const QStringList sections = ini.ReadSections();
    for (const QString& section : sections) {
        if (!ini.SectionExists(section))
            Fail("a listed section does not exist", section);
        const QStringList keys = ini.ReadSection(section);
        const QStringList values = ini.ReadSectionValues(section);
        if (keys.size() != values.size())
            Fail("keys and values differ in number", section);
        for (const QString& key : keys) {
            if (!ini.ValueExists(section, key))
                Fail("a listed key does not exist", key);
            ini.ReadString(section, key, QString());
            ini.ReadInteger(section, key, -1);
            ini.ReadBool(section, key, false);
        }
    }

    if ((flags & 1) == 0)
        return 0;
    // A write must read back and leave the other sections alone.
    const QString section = (flags & 2) != 0 && !sections.isEmpty() ? sections.first() : QStringLiteral("Fuzz");
    const QString key = QStringLiteral("FuzzKey");
    // A value of the characters the settings hold: Windows-1252 letters and
    // the like, no line break, no blanks or quotes at its ends.
    static const QString alphabet = QString::fromUtf8("aZ09 /.:\\_-äöüßÄÖÜ°€™Ý©µ±§łż\"'=;[]");
    QString written;
    for (uint8_t b : valueBytes)
        written += alphabet[b % alphabet.size()];
    written = QLatin1Char('<') + written + QLatin1Char('>');
    QStringList before;
    for (const QString& s : sections) {
        if (s.compare(section, Qt::CaseInsensitive) != 0)
            before << ini.ReadSectionValues(s);
    }
    // A section without a name, or one whose name holds a control character
    // (a line break cannot be written into a section header), takes no value.
    if (section.trimmed().isEmpty()
        || std::any_of(section.begin(), section.end(), [](QChar c) { return c.unicode() < 0x20; }))
        return 0;
    if (!ini.WriteString(section, key, written))
        Fail("write refused", section);
    if (ini.ReadString(section, key, QString()) != written)
        Fail("written value does not read back", section);
    if ((flags & 4) != 0 && ini.DeleteKey(section, key) && ini.ValueExists(section, key)
        && ini.ReadString(section, key, QString()) == written)
        Fail("deleted value still there", section);
    QStringList after;
    for (const QString& s : ini.ReadSections()) {
        if (s.compare(section, Qt::CaseInsensitive) != 0)
            after << ini.ReadSectionValues(s);
    }
    if (before != after)
        Fail("a write changed other sections", section);
    return 0;
}
