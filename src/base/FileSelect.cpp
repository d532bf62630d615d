#include "base/FileSelect.h"

#include "base/ZT_Meld.h"
#include "base/ZT_Tools.h"
#include "platform/Hooks.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

// The tables as built, before their bracketed words are translated.
constexpr const char16_t* InitialFilters[FileKindCount] = {
    u"Export-[Dateien] (*.CSV)|*.CSV|Excel-[Dateien] (*.XLS)|*.XLS|ASCII-[Dateien] (*.ASC)|*.ASC|"
    u"Text-[Dateien] (*.TXT)|*.TXT|HTML-[Dateien] (*.HTM)|*.HTM|Alle [Dateien] (*.*)|*.*",
    u"Import-[Dateien] (*.CSV)|*.CSV|Excel-[Dateien] (*.XLS)|*.XLS|ASCII-[Dateien] (*.ASC)|*.ASC|"
    u"Text-[Dateien] (*.TXT)|*.TXT|Archiv-[Dateien] (*.AG?)|*.AG?|Alle [Dateien] (*.*)|*.*",
    u"Tasklisten (*.TLI)|*.TLI|Alle [Dateien] (*.*)|*.*",
    u"PDF-[Berichte] (*.PDF)|*.PDF|Alle [Dateien] (*.*)|*.*",
    u"[Visualisierungsparameter] (*.VPA)|*.VPA|Alle [Dateien] (*.*)|*.*",
    u"Import-Parameter-[Dateien] (*.IPA)|*.IPA|Alle [Dateien] (*.*)|*.*",
    u"ausführbare [Dateien] (*.EXE)|*.EXE|Batch-[Dateien] (*.BAT)|*.BAT|Alle [Dateien] (*.*)|*.*",
};

constexpr const char16_t* InitialTitles[FileKindCount] = {
    u"Export-[Daten]",
    u"Import-[Daten]",
    u"Taskliste",
    u"Berichte (PDF)",
    u"[Visualisierungsparameter]",
    u"Import-Parameter",
    u"ausführbare [Dateien]",
};

// Per kind: the extensions of the types with a fixed extension, by 0-based
// index, and the index of the last type ("Alle Dateien") for anything else.
struct TKindExtensions {
    std::array<const char*, 5> Extensions;
    uint16_t Other;
};
constexpr TKindExtensions KindExtensions[FileKindCount] = {
    {{"CSV", "XLS", "ASC", "TXT", "HTM"}, 5},
    {{"CSV", "XLS", "ASC", "TXT", "HTM"}, 5},       // as kind 0; archives also 4, see below
    {{"TLI", nullptr, nullptr, nullptr, nullptr}, 1},
    {{"PDF", nullptr, nullptr, nullptr, nullptr}, 1},
    {{"VPA", nullptr, nullptr, nullptr, nullptr}, 1},
    {{"IPA", nullptr, nullptr, nullptr, nullptr}, 1},
    {{"EXE", "BAT", nullptr, nullptr, nullptr}, 2},
};

bool HasCapital(const QString& text)
{
    for (const QChar c : text)
        if (c.isUpper())
            return true;
    return false;
}

} // namespace

// ---- Bracketed words ---------------------------------------------------------

QString ReplaceBracketWords(const QString& text, const TBracketWord* words, int count,
                            bool keepUnknown, int capacity)
{
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'[', from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open + 1);
        if (open < 0 || close < 0) {
            result += QStringView(text).mid(from);
            break;
        }
        result += QStringView(text).mid(from, open - from);
        const QString inner = text.mid(open + 1, close - open - 1);
        const QString upperInner = UpperCaseShort(inner);
        bool replaced = false;
        for (int i = 0; i < count; ++i) {
            if (UpperCaseShort(words[i].Word) == upperInner) {
                result += words[i].Replacement;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            if (keepUnknown)
                result += QStringView(text).mid(open, close - open + 1);
            else
                result += inner;
        }
        from = close + 1;
    }
    if (capacity >= 0)
        result.truncate(capacity);
    return result;
}

// ---- Tables ------------------------------------------------------------------

TFileKindTables::TFileKindTables()
{
    for (int k = 0; k < FileKindCount; ++k) {
        filters_[k] = QString::fromUtf16(InitialFilters[k]);
        titles_[k] = QString::fromUtf16(InitialTitles[k]);
    }
}

QString TFileKindTables::Filter(TFileKind kind) const
{
    return kind < FileKindCount ? filters_[kind] : QString();
}

QString TFileKindTables::Title(TFileKind kind) const
{
    return kind < FileKindCount ? titles_[kind] : QString();
}

void TFileKindTables::Translate(const TFileKindWords& words)
{
    if (translated_)
        return;
    translated_ = true;
    const TBracketWord table[] = {
        {QStringLiteral("Dateien"), words.Dateien},
        {QStringLiteral("Daten"), words.Daten},
        {QStringLiteral("Visualisierungsparameter"), words.Visualisierungsparameter},
    };
    const int count = int(std::size(table));
    for (int k = 0; k < FileKindCount; ++k) {
        filters_[k] = ReplaceBracketWords(filters_[k], table, count, false, FileKindFilterCapacity);
        titles_[k] = ReplaceBracketWords(titles_[k], table, count, false, FileKindTitleCapacity);
    }
}

// ---- Filter index --------------------------------------------------------------

void FileKindFilterIndex(TFileKind kind, const QString& fileName, uint16_t& filterIndex)
{
    if (kind >= FileKindCount)
        return;
    const QString ext = UpperCaseShort(FileExtensionPart(fileName));
    const TKindExtensions& k = KindExtensions[kind];
    for (std::size_t i = 0; i < k.Extensions.size(); ++i) {
        if (k.Extensions[i] && ext == QLatin1String(k.Extensions[i])) {
            filterIndex = uint16_t(i);
            return;
        }
    }
    if (kind == FileKindImportData && ext.startsWith(QLatin1String("AG"))) {
        filterIndex = 4;
        return;
    }
    filterIndex = k.Other;
}

// ---- Type change -----------------------------------------------------------------

QString FileNameForType(int typeIndex, const QString& currentName)
{
    // One rule for every kind: the five export extensions and the first five
    // types, whatever the kind's own list holds.
    static const QLatin1StringView Extensions[] = {QLatin1StringView("CSV"), QLatin1StringView("XLS"),
                                                   QLatin1StringView("ASC"), QLatin1StringView("TXT"),
                                                   QLatin1StringView("HTM")};
    constexpr int Types = int(std::size(Extensions));
    if (typeIndex < 1 || typeIndex > Types)
        return currentName;
    const QString name = FileNamePart(currentName);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return currentName;
    const QString oldExt = name.mid(dot + 1);
    bool known = false;
    for (const QLatin1StringView ext : Extensions)
        known = known || UpperCaseShort(oldExt) == ext;
    if (!known)
        return currentName;
    const QString newExt = Extensions[typeIndex - 1];
    const QString ext = HasCapital(oldExt) ? newExt : newExt.toLower();
    const qsizetype dotInFull = currentName.size() - name.size() + dot;
    return currentName.left(dotInFull + 1) + ext;
}

// ---- The request ---------------------------------------------------------------------

void SelectFileOfKind(const TFileKindTables& tables, const QString& titleWord, TFileRequest& request)
{
    request.Accepted = false;
    request.Directory = ResolveDirectory(request.Directory);

    const QString filterList = tables.Filter(request.FileKind);
    platform::TFileDialogRequest dialog;
    dialog.Title = tables.Title(request.FileKind) + u' ' + titleWord;
    dialog.Filter = filterList;
    dialog.FilterIndex = int(request.FilterIndex) + 1;
    dialog.InitialDir = request.Directory;
    dialog.FileName = request.FileName;
    dialog.DefaultExt = FileExtensionPart(request.FileName);
    dialog.OnTypeChange = [](int typeIndex, const QString& currentName) {
        return FileNameForType(typeIndex, currentName);
    };

    const auto& show = platform::Hooks().SaveFileDialog;
    if (!show)
        return;
    const platform::TFileDialogAnswer answer = show(dialog);
    if (!answer.Accepted || answer.FileName.isEmpty())
        return;

    // A name without a directory lies in the directory the dialog started in.
    QString chosen = answer.FileName;
    if (ExtractPathPart(chosen).isEmpty())
        chosen = request.Directory + chosen;
    if (FileNamePart(chosen).isEmpty())
        return;

    if (QFileInfo::exists(chosen) && !ShowMessageNr(chosen, 51))
        return;

    request.Directory = AppendBackslash(ExtractPathPart(chosen));
    request.FileName = FileNamePart(chosen);
    request.FilterIndex = uint8_t(std::max(answer.FilterIndex - 1, 0));
    request.Accepted = true;
}
