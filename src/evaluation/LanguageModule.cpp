#include "evaluation/LanguageModule.h"

#include "base/IniFiler.h"
#include "evaluation/Settings.h"
#include "platform/Hooks.h"
#include "platform/IniFile.h"
#include "platform/ProgramPath.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString CommonSection = QStringLiteral("COMMON");
const QString LanguageKey = QStringLiteral("LANGUAGE");

bool isKeyword(const QString& line)
{
    const QString word = line.section(QLatin1Char(' '), 0, 0).toUpper();
    return word == QLatin1String("STRINGTABLE") || word == QLatin1String("BEGIN")
           || word == QLatin1String("END") || word == QLatin1String("{") || word == QLatin1String("}");
}

// Parses "id[,] "text"" from a trimmed line; false when the line is no entry.
bool parseEntry(const QString& line, int& id, QString& text)
{
    qsizetype pos = 0;
    const qsizetype n = line.size();
    while (pos < n && line[pos].isDigit() && line[pos].unicode() < 128)
        ++pos;
    if (pos == 0 || pos > 9)
        return false;
    id = line.left(pos).toInt();
    while (pos < n && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
    if (pos < n && line[pos] == QLatin1Char(','))
        ++pos;
    while (pos < n && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
    if (pos >= n || line[pos] != QLatin1Char('"'))
        return false;
    ++pos;
    text.clear();
    while (pos < n) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            if (pos + 1 < n && line[pos + 1] == QLatin1Char('"')) {
                text += c;
                pos += 2;
                continue;
            }
            return true;
        }
        text += c;
        ++pos;
    }
    return false;   // no closing quote
}

QString normalisedPrefix(const QString& prefix)
{
    QString p = prefix.isEmpty() ? QStringLiteral("SPR/ZT_") : prefix;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

// The module file on disk, found without regard to case.
QString findModule(const QString& moduleFile)
{
    const QString programDir = platform::ProgramDirectory();
    if (!programDir.isEmpty() && moduleFile.startsWith(programDir))
        return platform::ProgramDataFile(moduleFile.mid(programDir.size()));
    if (QDir::isRelativePath(moduleFile))
        return platform::FindFileNoCase(QString(), moduleFile);
    const QFileInfo info(moduleFile);
    return platform::FindFileNoCase(info.path(), info.fileName());
}

// The INI file the key is read from first: the one beside the program, or the
// file of that name in the Windows directory when there is none.
QString languageIniName()
{
    const QString beside = TIniFiler::DefaultIniName();
    if (QFileInfo::exists(beside))
        return beside;
    return platform::ResolveIniName(QFileInfo(beside).fileName());
}

} // namespace

// ---- Script text -------------------------------------------------------------------

QString QuoteStringTableText(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString StringTableEntryLine(int id, const QString& text)
{
    return QStringLiteral("%1, ").arg(id, 5) + QuoteStringTableText(text);
}

int ParseStringTable(const QString& script, TStringTable& table)
{
    int count = 0;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))
            || line.startsWith(QStringLiteral("//")) || isKeyword(line))
            continue;
        int id = 0;
        QString text;
        if (!parseEntry(line, id, text))
            continue;
        table.emplace(id, text);   // the first of two equal ids stays
        ++count;
    }
    return count;
}

bool ReadStringTableFile(const QString& path, TStringTable& table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    ParseStringTable(platform::DecodeText(file.readAll()), table);
    return true;
}

// ---- Generator lines ---------------------------------------------------------------

void TStringTableScript::Begin(const QString& programName, const QString& generatedAt)
{
    lines_.append(QStringLiteral("STRINGTABLE"));
    lines_.append(QStringLiteral("BEGIN"));
    AddComment(programName + QStringLiteral("-Sprachmodul von ZT_SPR generiert am ") + generatedAt);
}

void TStringTableScript::AddComment(const QString& text)
{
    lines_.append(QStringLiteral("  ; "));
    lines_.append(QStringLiteral("  ; ") + text);
    lines_.append(QStringLiteral("  ; "));
}

void TStringTableScript::AddEntry(int id, const QString& caption, const QString& hint)
{
    QString text = caption;
    if (!hint.isEmpty())
        text += QLatin1Char('|') + hint;
    entries_.append(StringTableEntryLine(id, text));
}

void TStringTableScript::FlushEntries()
{
    // Sorted as text: the right-aligned ids order numerically up to five digits.
    std::sort(entries_.begin(), entries_.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
    lines_.append(entries_);
    entries_.clear();
}

void TStringTableScript::Finish()
{
    FlushEntries();
    lines_.append(QStringLiteral("  ; "));
    lines_.append(QStringLiteral("END"));
}

bool TStringTableScript::SaveToFile(const QString& path) const
{
    return platform::WriteWholeFile(path, platform::EncodeLines(lines_));
}

// ---- The LANGUAGE key --------------------------------------------------------------

QString ReadLanguageKey()
{
    const platform::IniFile ini(languageIniName());
    QString value;
    if (ini.ValueExists(CommonSection, LanguageKey)) {
        value = ini.ReadString(CommonSection, LanguageKey, QString());
    } else {
        // Written earlier through the settings store's fallback.
        const TIniFiler store(QString(), settings::Company(), QString(), false);
        value = store.ReadString(CommonSection, LanguageKey, QString());
    }
    return value.left(LanguageTextMax);
}

void WriteLanguageKey(const QString& value)
{
    TIniFiler store(QString(), settings::Company(), QString(), true);
    store.WriteString(CommonSection, LanguageKey, value);
}

void WriteLanguageKeyIfMissing(const QString& abbreviation)
{
    if (ReadLanguageKey().isEmpty())
        WriteLanguageKey(abbreviation);
}

// ---- The module reader -------------------------------------------------------------

QString t_ZT_SPR_Auswerten::ProgramModulePrefix()
{
    return platform::ProgramDirectory() + QStringLiteral("SPR/AV_");
}

t_ZT_SPR_Auswerten::t_ZT_SPR_Auswerten(const QString& prefix)
{
    const QString language = ReadLanguageKey();
    if (language.isEmpty()) {
        state_ = StateNotNeeded;
        WriteLanguageKey(QString());
        return;
    }
    if (language == QLatin1String("DE")) {   // German is built in
        state_ = StateNotNeeded;
        return;
    }
    moduleFile_ = normalisedPrefix(prefix) + language + QStringLiteral(".DLL");
    const QString found = findModule(moduleFile_);
    if (QFileInfo(found).isFile() && ReadStringTableFile(found, table_)) {
        state_ = StateLoaded;
        return;
    }
    table_.clear();
    state_ = StateMissing;
    ShowMessage(0, 0, QStringLiteral("file: ") + moduleFile_ + QStringLiteral(" not found."),
                platform::mb::IconStop);
}

QString t_ZT_SPR_Auswerten::GetText(int id, const QString& defaultText) const
{
    if (state_ != StateLoaded)
        return defaultText;
    const auto it = table_.find(id);
    if (it == table_.end() || it->second.isEmpty())
        return defaultText;
    return it->second.left(LanguageTextMax);
}

int t_ZT_SPR_Auswerten::ShowMessage(int textId, int captionId, const QString& defaultText, uint32_t flags) const
{
    return platform::ShowMessageBox(GetText(textId, defaultText), GetText(captionId, QStringLiteral("Meldung")),
                                    flags);
}
