#pragma once
// Language modules: string tables that map ids to texts made of a caption,
// optionally followed by "|" and a hint. A module is a text file in the
// resource-script form the generator writes ("SPR/AV_" + language + ".DLL"
// below the program directory keeps its historic name):
//
//   STRINGTABLE
//   BEGIN
//     ; comment
//      3410, "Besondere Ereignisse darstellen"
//   20901, "Tabellenausgabe |Hinweis"
//   END
//
// A double quote inside a text is written as two double quotes. No code
// library is ever loaded. This file also holds the generator's non-visual
// part (the lines of the script) and the module reader t_ZT_SPR_Auswerten
// without its window translation (evaluation/forms/LanguageForms.h).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>

using TStringTable = std::map<int, QString>;

// Longest text a module gives and longest LANGUAGE value taken (short strings).
constexpr int LanguageTextMax = 255;

// A text in double quotes, inner double quotes doubled.
QString QuoteStringTableText(const QString& text);
// An entry line: the id right-aligned in 5 characters, ", " and the quoted text.
QString StringTableEntryLine(int id, const QString& text);

// Reads the entries of every STRINGTABLE block of a script; comments (";",
// "//", "#"), keywords and lines that are no entry are passed over. Of two
// entries with one id the first wins. Answers the number of entries read.
int ParseStringTable(const QString& script, TStringTable& table);
// Reads a script file (UTF-8 or Windows-1252 lines); false when it cannot be read.
bool ReadStringTableFile(const QString& path, TStringTable& table);

// The lines of a string-table script as the generator builds them: comment
// blocks and entries, the entries of a block collected, sorted as text and
// appended by FlushEntries (identical lines once, like a sorted string list).
class TStringTableScript {
public:
    // "STRINGTABLE", "BEGIN" and the header comment naming the program and
    // the time of generation.
    void Begin(const QString& programName, const QString& generatedAt);
    // A comment block: "  ; ", "  ; " + text, "  ; ".
    void AddComment(const QString& text);
    // An entry of the caption and, when not empty, "|" and the hint.
    void AddEntry(int id, const QString& caption, const QString& hint);
    void FlushEntries();
    // "  ; " and "END" (pending entries are flushed first).
    void Finish();

    const QStringList& Lines() const { return lines_; }
    // Writes the lines as Windows-1252 (UTF-8 where needed) with CR LF.
    bool SaveToFile(const QString& path) const;

private:
    QStringList lines_;
    QStringList entries_;
};

// The LANGUAGE key of section COMMON in the program's INI file: read from the
// INI file beside the program (or of that name in the Windows directory),
// else from wherever the settings store keeps it; written through the
// settings store's fallback, so a program directory without write access
// never stops the start-up.
QString ReadLanguageKey();
void WriteLanguageKey(const QString& value);
// Writes the abbreviation when the key has no value yet (a language module's
// locale on its first start).
void WriteLanguageKeyIfMissing(const QString& abbreviation);

// The language module reader: loads the module named by COMMON/LANGUAGE and
// answers its texts.
class t_ZT_SPR_Auswerten {
public:
    enum : uint8_t { StateLoaded = 0, StateNotNeeded = 1, StateMissing = 2 };

    // Create: prefix of the module file ("SPR/ZT_" when empty; '\' is taken as
    // '/'); a relative prefix is taken from the current directory. The module
    // is prefix + LANGUAGE + ".DLL", found without regard to case. A missing
    // module is reported once ("file: " + module file + " not found.").
    explicit t_ZT_SPR_Auswerten(const QString& prefix = QString());

    // The prefix the program uses: program directory + "SPR/AV_".
    static QString ProgramModulePrefix();

    uint8_t State() const { return state_; }
    const QString& ModuleFileName() const { return moduleFile_; }
    bool HasModule() const { return state_ == StateLoaded; }
    const TStringTable& Table() const { return table_; }

    // The module's text of the id (at most 255 characters) when it has a
    // non-empty one, else the default.
    QString GetText(int id, const QString& defaultText) const;

    // A general message box with text GetText(textId, defaultText) and caption
    // GetText(captionId, "Meldung"); answers the box's answer.
    int ShowMessage(int textId, int captionId, const QString& defaultText, uint32_t flags) const;

private:
    QString moduleFile_;
    uint8_t state_ = StateNotNeeded;
    TStringTable table_;
};
