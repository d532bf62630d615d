#pragma once
// Asking for a file to write, for one of seven file kinds. Each kind has a
// filter list and a title; their translatable words stand in brackets
// ("[Dateien]", "[Daten]", "[Visualisierungsparameter]") until the words of
// the current language replace them once. The dialog itself is the platform's
// save dialog (platform::Hooks().SaveFileDialog); everything around it lives
// here, without a widget.
#include <QString>
#include <array>
#include <cstdint>

// The file kinds; the value selects filter list and title.
using TFileKind = uint8_t;
constexpr TFileKind FileKindExportData = 0;
constexpr TFileKind FileKindImportData = 1;
constexpr TFileKind FileKindTaskLists = 2;
constexpr TFileKind FileKindReports = 3;
constexpr TFileKind FileKindVisualisationParameters = 4;
constexpr TFileKind FileKindImportParameters = 5;
constexpr TFileKind FileKindExecutables = 6;
constexpr int FileKindCount = 7;

// Capacities of a filter list and a title.
constexpr int FileKindFilterCapacity = 200;
constexpr int FileKindTitleCapacity = 30;

// The record exchanged with the caller of SelectFileOfKind.
struct TFileRequest {
    // In: the proposed name (its extension is also the default extension);
    // out: the chosen name without directory.
    QString FileName;
    // In: the proposed directory; out: the chosen directory with a closing
    // separator. After a cancel it holds the directory the dialog started in.
    QString Directory;
    TFileKind FileKind = FileKindExportData;
    // In: the type to preselect (see FileKindFilterIndex), 0-based; out: the
    // type chosen.
    uint8_t FilterIndex = 0;
    // True when the user confirmed a file.
    bool Accepted = false;
};

// The words that replace the bracketed ones, in the current language.
struct TFileKindWords {
    QString Dateien = QStringLiteral("Dateien");
    QString Daten = QStringLiteral("Daten");
    QString Visualisierungsparameter = QStringLiteral("Visualisierungsparameter");
};

// Filter lists and titles of the seven kinds. They start with their bracketed
// words; Translate replaces them on its first call only.
class TFileKindTables {
public:
    TFileKindTables();

    // Out of range kinds answer an empty text.
    QString Filter(TFileKind kind) const;
    QString Title(TFileKind kind) const;

    bool Translated() const { return translated_; }
    // Replaces every bracketed word of every filter list and title, in one
    // pass each: "[Dateien]", "[Daten]" and "[Visualisierungsparameter]" by
    // the given words, any other bracketed word ("[Berichte]") by itself
    // without its brackets. Words are found without regard to case, and a
    // replacement is never searched again, so a word may hold its own
    // brackets. Results are cut to the capacities. Only the first call works.
    void Translate(const TFileKindWords& words);

private:
    std::array<QString, FileKindCount> filters_;
    std::array<QString, FileKindCount> titles_;
    bool translated_ = false;
};

// Replaces every occurrence of the bracketed words ("[word]", found without
// regard to case) in one pass from left to right; a bracketed word that the
// table does not name loses its brackets when keepUnknown is false. The
// result is cut to capacity (no cut when capacity is negative).
struct TBracketWord {
    QString Word;           // without brackets
    QString Replacement;
};
QString ReplaceBracketWords(const QString& text, const TBracketWord* words, int count,
                            bool keepUnknown, int capacity);

// The 0-based filter index whose extension matches the file name's extension
// (at most three characters, compared without regard to case). A kind out of
// range leaves filterIndex unchanged.
void FileKindFilterIndex(TFileKind kind, const QString& fileName, uint16_t& filterIndex);

// The name to show after the user picked another type (1-based, as the
// dialog counts), the same rule for every kind: when the current name's
// extension is one of CSV, XLS, ASC, TXT, HTM (without regard to case), types
// 1 to 5 put CSV, XLS, ASC, TXT, HTM in its place (in lower case when the old
// one had no capital); other types and any other name leave the name as it is.
QString FileNameForType(int typeIndex, const QString& currentName);

// Asks for a file to write: the translated tables of the kind, title word
// ("speichern") appended to the title after one blank. Resolves the request's
// directory first (a directory that does not exist is replaced by a usable
// one), shows the platform save dialog with the request's name, the kind's
// filter list and the preselected type, and asks message 51 before a file
// that exists is taken; the answer No leaves the request unaccepted. On
// acceptance directory (with a closing separator), name and filter index are
// those of the chosen file; names keep their case.
void SelectFileOfKind(const TFileKindTables& tables, const QString& titleWord, TFileRequest& request);
