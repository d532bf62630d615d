#pragma once
// Translating windows: the language module's texts and the built-in English
// texts applied to a form's registered controls, and the generator that writes
// the German texts of the registered controls as string-table scripts
// ("SPR/ZT_DE.rc" and "SPR/ZT_EN.rc" below the current directory) for
// translators.
#include "evaluation/LanguageModule.h"
#include "platform/forms/TranslationRegistry.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class TTabAus_Form;

// Id offsets of the translated windows (a control's id is its tag plus this).
namespace language_offsets {
constexpr int MainWindow = 0;
constexpr int Options = 3400;
constexpr int DirectorySelection = 20200;
constexpr int Chart = 20300;
constexpr int PagePreview = 20800;
constexpr int TableWindow = 20900;
} // namespace language_offsets

// Translates the form itself and then each registered control with a tag above
// 0, in registration order, from the reader's module; nothing when there is no
// form or no module is loaded. A text is split at its first "|" into caption
// and hint as the control's kind asks (see the definition).
void TranslateForm(const t_ZT_SPR_Auswerten* reader, const platform::TFormTranslations* form, int offset);

// A built-in text of one control, found by object name among a form's
// registered controls (the form included). Unset parts stay as they are.
struct TBuiltInText {
    QString Name;
    std::optional<QString> Caption;
    std::optional<QString> Hint;
    QStringList Items;      // radio group, list box, notebook: replaces items from 0 on
};
// Applies the texts; answers the names that matched no registered control.
QStringList ApplyBuiltInTexts(const platform::TFormTranslations& form, const std::vector<TBuiltInText>& texts);

// The built-in English texts of the table window, and applying them.
std::vector<TBuiltInText> EnglishTexts_TabAus();
void SetEnglishTexts(TTabAus_Form& form);

// The built-in English texts of the other translated windows, by control name:
// the main window, the options dialog, the directory selection, the chart
// window and the page preview.
std::vector<TBuiltInText> EnglishTexts_Haupt();
std::vector<TBuiltInText> EnglishTexts_Optionen();
std::vector<TBuiltInText> EnglishTexts_PfadMaske();
std::vector<TBuiltInText> EnglishTexts_Chart();
std::vector<TBuiltInText> EnglishTexts_Vorschau();

// Qt's own dialogs (file, font, colour, the standard buttons) speak the
// program's language: Qt's German translations (qtbase_de) are installed for
// German and removed for every other language, which Qt's own English then
// serves. True when the wanted translations are in place.
bool InstallQtTranslations(bool german);

// The developer account: the logged-on user is "kolbrina" (in full, with case).
bool IsDeveloperMachine();
// The generator's menu entry is shown on the developer account while the
// development environment runs, which VALDRAN_DEVELOPER=1 stands for.
bool ShowLanguageFilesMenuItem();
// The same rule for a given user name and value of VALDRAN_DEVELOPER.
bool ShowLanguageFilesMenuItemFor(const QString& userName, const QString& developerEnvironment);

// The generator. Creating it names "SPR/ZT_DE.rc" and, when that file exists,
// asks whether to overwrite it; a declined question skips everything. Forms
// are added with their offsets; Save writes both files.
class t_ZT_SPR_Erstellen {
public:
    t_ZT_SPR_Erstellen();

    void AddForm(const platform::TFormTranslations* form, int offset);
    void AddComment(const QString& text) { script_.AddComment(text); }
    void AddEntry(int id, const QString& caption, const QString& hint) { script_.AddEntry(id, caption, hint); }
    // Only for a tag above 0; the offset of the form being added applies.
    void AddTaggedEntry(int tag, const QString& caption, const QString& hint);
    void FlushEntries() { script_.FlushEntries(); }

    // Writes "SPR/ZT_DE.rc" and then, unless its overwrite question is
    // declined, "SPR/ZT_EN.rc", both with the German texts. A write failure is
    // reported with an error message and answers false. Does nothing after
    // the first call or when the first overwrite was declined.
    bool Save();

    bool Skipped() const { return skip_; }
    const QString& FileName() const { return fileName_; }
    const QStringList& Lines() const { return script_.Lines(); }

    static QString GermanFileName() { return QStringLiteral("SPR/ZT_DE.rc"); }
    static QString EnglishFileName() { return QStringLiteral("SPR/ZT_EN.rc"); }

private:
    bool write(const QString& fileName);

    TStringTableScript script_;
    QString fileName_;
    bool skip_ = false;
    bool saved_ = false;
    int offset_ = 0;
};
