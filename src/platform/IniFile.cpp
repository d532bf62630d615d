#include "platform/IniFile.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

int ParseProfileInteger(const QString& text, int defaultValue)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i + 1 < t.size() && t[i] == QLatin1Char('0') && (t[i + 1] == QLatin1Char('x') || t[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= t.size())
        return defaultValue;
    long long value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return defaultValue;
        value = value * base + digit;
        if (value > 0x100000000LL)
            return defaultValue;
    }
    if (negative)
        value = -value;
    if (base == 16 && !negative && value > std::numeric_limits<int>::max() && value <= 0xFFFFFFFFLL)
        value -= 0x100000000LL; // "$FFFFFFFF" is -1, as a 32-bit hexadecimal constant
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return defaultValue;
    return int(value);
}

// ---- CustomIniFile defaults -------------------------------------------------

int CustomIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    if (text.isEmpty())
        return defaultValue;
    return ParseProfileInteger(text, defaultValue);
}

bool CustomIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool CustomIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool CustomIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

// ---- Parsing ------------------------------------------------------------------

namespace {

enum class LineKind { Other, Section, Key };

struct LineInfo {
    LineKind kind = LineKind::Other;
    QString name;  // section name or key, trimmed
    QString value; // key value, trimmed and unquoted
};

QString unquote(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

LineInfo classify(const QString& line)
{
    LineInfo info;
    const QString t = line.trimmed();
    if (t.isEmpty() || t.front() == QLatin1Char(';'))
        return info;
    if (t.front() == QLatin1Char('[')) {
        const int close = t.indexOf(QLatin1Char(']'));
        info.kind = LineKind::Section;
        info.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
        return info;
    }
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return info;
    info.name = t.left(eq).trimmed();
    if (info.name.isEmpty())
        return info;
    info.kind = LineKind::Key;
    info.value = unquote(t.mid(eq + 1).trimmed());
    return info;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A section's lines: the header at `header`, its body up to (not including) `end`.
struct SectionRange {
    int header;
    int end;
};

std::vector<SectionRange> sectionsNamed(const QStringList& lines, const QString& section)
{
    std::vector<SectionRange> out;
    const QString wanted = section.trimmed();
    for (int i = 0; i < lines.size(); ++i) {
        const LineInfo info = classify(lines[i]);
        if (info.kind != LineKind::Section)
            continue;
        if (!out.empty() && out.back().end < 0)
            out.back().end = i;
        if (sameName(info.name, wanted))
            out.push_back({i, -1});
    }
    if (!out.empty() && out.back().end < 0)
        out.back().end = int(lines.size());
    return out;
}

// Index of the first line that holds the key, or -1.
int findKey(const QStringList& lines, const std::vector<SectionRange>& sections, const QString& key, LineInfo* found)
{
    const QString wanted = key.trimmed();
    for (const SectionRange& r : sections) {
        for (int i = r.header + 1; i < r.end; ++i) {
            LineInfo info = classify(lines[i]);
            if (info.kind == LineKind::Key && sameName(info.name, wanted)) {
                if (found)
                    *found = std::move(info);
                return i;
            }
        }
    }
    return -1;
}

// Texts go on one line of their own; a line break inside would split the file.
QString oneLine(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

// Reading trims blanks and removes enclosing quotes; a value that would lose
// something that way is written inside quotes, so it reads back unchanged.
QString encodeValue(const QString& value)
{
    const QString v = oneLine(value);
    bool quote = v != v.trimmed();
    if (!quote && v.size() >= 2) {
        const QChar first = v.front();
        quote = (first == QLatin1Char('"') || first == QLatin1Char('\'')) && v.back() == first;
    }
    return quote ? QLatin1Char('"') + v + QLatin1Char('"') : v;
}

} // namespace

// ---- IniFile -------------------------------------------------------------------

IniFile::IniFile(const QString& fileName)
    : fileName_(ResolveIniName(fileName))
{
}

QStringList IniFile::load() const
{
    QFile f(fileName_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty())
        return {};
    QString text = DecodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.split(QLatin1Char('\n'));
}

bool IniFile::loadForChange(QStringList& lines) const
{
    // A file that is there but cannot be read (no read permission, a link
    // to nowhere, a read error) must not be replaced by one that holds only
    // the new key: the change fails and the file stays as it is.
    lines.clear();
    const QFileInfo fi(fileName_);
    if (!fi.exists() && !fi.isSymLink())
        return true;
    QFile f(fileName_);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    if (bytes.isEmpty())
        return true;
    QString text = DecodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    lines = text.split(QLatin1Char('\n'));
    return true;
}

bool IniFile::save(const QStringList& lines) const
{
    return WriteWholeFile(fileName_, EncodeLines(lines));
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QStringList lines = load();
    LineInfo info;
    if (findKey(lines, sectionsNamed(lines, section), key, &info) < 0)
        return defaultValue;
    return info.value;
}

bool IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = oneLine(section).trimmed();
    const QString keyName = oneLine(key).trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty())
        return false;
    QStringList lines;
    const FileLock lock(fileName_);
    if (!lock.Locked() || !loadForChange(lines))
        return false;
    const std::vector<SectionRange> sections = sectionsNamed(lines, sectionName);
    LineInfo info;
    const int at = findKey(lines, sections, keyName, &info);
    if (at >= 0) {
        // Keep the spelling of the key as it stands in the file.
        const QString line = info.name + QLatin1Char('=') + encodeValue(value);
        if (lines[at] == line)
            return true;
        lines[at] = line;
    } else if (!sections.empty()) {
        // After the last line of the section that is not blank.
        const SectionRange& r = sections.front();
        int insertAt = r.end;
        while (insertAt > r.header + 1 && lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.insert(insertAt, keyName + QLatin1Char('=') + encodeValue(value));
    } else {
        if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
        lines.append(keyName + QLatin1Char('=') + encodeValue(value));
    }
    return save(lines);
}

bool IniFile::SectionExists(const QString& section) const
{
    return !sectionsNamed(load(), section).empty();
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    const QStringList lines = load();
    return findKey(lines, sectionsNamed(lines, section), key, nullptr) >= 0;
}

QStringList IniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    for (const QString& line : ReadSectionValues(section))
        keys.append(line.left(line.indexOf(QLatin1Char('='))));
    return keys;
}

QStringList IniFile::ReadSectionValues(const QString& section) const
{
    const QStringList lines = load();
    QStringList out;
    QStringList seen;
    for (const SectionRange& r : sectionsNamed(lines, section)) {
        for (int i = r.header + 1; i < r.end; ++i) {
            const LineInfo info = classify(lines[i]);
            if (info.kind != LineKind::Key || seen.contains(info.name, Qt::CaseInsensitive))
                continue;
            seen.append(info.name);
            out.append(info.name + QLatin1Char('=') + info.value);
        }
    }
    return out;
}

QStringList IniFile::ReadSections() const
{
    QStringList out;
    for (const QString& line : load()) {
        const LineInfo info = classify(line);
        if (info.kind == LineKind::Section && !out.contains(info.name, Qt::CaseInsensitive))
            out.append(info.name);
    }
    return out;
}

bool IniFile::EraseSection(const QString& section)
{
    QStringList lines;
    const FileLock lock(fileName_);
    if (!lock.Locked() || !loadForChange(lines))
        return false;
    const std::vector<SectionRange> sections = sectionsNamed(lines, section);
    if (sections.empty())
        return true;
    for (auto it = sections.rbegin(); it != sections.rend(); ++it)
        lines.erase(lines.begin() + it->header, lines.begin() + it->end);
    return save(lines);
}

bool IniFile::DeleteKey(const QString& section, const QString& key)
{
    QStringList lines;
    const FileLock lock(fileName_);
    if (!lock.Locked() || !loadForChange(lines))
        return false;
    const std::vector<SectionRange> sections = sectionsNamed(lines, section);
    bool changed = false;
    for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
        for (int i = it->end - 1; i > it->header; --i) {
            const LineInfo info = classify(lines[i]);
            if (info.kind == LineKind::Key && sameName(info.name, key.trimmed())) {
                lines.removeAt(i);
                changed = true;
            }
        }
    }
    return changed ? save(lines) : true;
}

bool IniFile::CreateSection(const QString& section)
{
    const QString name = oneLine(section).trimmed();
    if (name.isEmpty())
        return false;
    QStringList lines;
    const FileLock lock(fileName_);
    if (!lock.Locked() || !loadForChange(lines))
        return false;
    if (!sectionsNamed(lines, name).empty())
        return true;
    if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
        lines.append(QString());
    lines.append(QLatin1Char('[') + name + QLatin1Char(']'));
    return save(lines);
}

bool IniFile::CanOpenForWriting(const QString& fileName)
{
    const QFileInfo fi(fileName);
    if (!QFileInfo(fi.absolutePath()).isDir())
        return false;
    if (fi.exists() && !fi.isFile())
        return false;
    {
        // Every write replaces the file through a temporary file beside it.
        QTemporaryFile probe(fi.absolutePath() + QStringLiteral("/.ini-probe-XXXXXX"));
        if (!probe.open())
            return false;
    }
    QFile f(fileName);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    f.close();
    return true;
}

bool IniFile::CanOpenForReading(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly);
}

// ---- Places --------------------------------------------------------------------

namespace {
QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
} // namespace

QString UserConfigDirectory()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return withSlash(xdg);
    return withSlash(QDir::homePath() + QStringLiteral("/.config"));
}

QString WindowsDirectory()
{
    const QString forced = qEnvironmentVariable("VALDRAN_WINDOWS_DIR");
    if (!forced.isEmpty())
        return withSlash(forced);
    return UserConfigDirectory() + QStringLiteral("valdran/");
}

QString UserTempDirectory()
{
    // TMPDIR as given: QDir::tempPath() would fall back to /tmp silently.
    QString base = qEnvironmentVariable("TMPDIR");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QStringLiteral("/tmp");
    const QString dir = withSlash(base) + QStringLiteral("valdran-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return QString();
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return QString();
    return dir + QLatin1Char('/');
}

QString ResolveIniName(const QString& fileName)
{
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
        return fileName;
    return WindowsDirectory() + fileName;
}

} // namespace platform
