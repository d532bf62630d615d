#pragma once
// The language choice of the program, without windows: from the user locale's
// three-letter abbreviation it decides German, English or a language module,
// and gives the file names and the translated tables that follow from that.
// Translating the windows themselves is the main window's business.
#include <QString>
#include <array>

// Version shown in the main window's caption (" - v1.17").
QString ProgramVersionText();

constexpr int MainMessageCount = 8;
constexpr int StatusLineCount = 3;

enum class TLanguageKind { German, English, Module };

struct TLanguageChoice {
    QString Abbreviation;       // as given, or "ENU" when none was given
    QString Code;               // first two characters, ASCII upper case ("DE", "EN", "FR")
    TLanguageKind Kind = TLanguageKind::German;
    QString EventCodeFile;      // "EvCd_DEU.TXT" or "EvCd_ENG.TXT"
    QString HelpFile;           // program directory + "AV_DE.HLP" or "AV_EN.HLP"
    QString HeadTemplateAbbreviation;  // goes into "AV_HD_" + it + ".TXT"
    QString AuswertCaption;     // caption and hint of the main window's Auswert_Label
    QString AuswertHint;
    QString CounterText;        // default counter-evaluation text
    QString CaptionSuffix;      // appended to the main window's caption
    // The main window's message table and status lines in the built-in language
    // (a module translates them further).
    std::array<QString, MainMessageCount> Messages;
    std::array<QString, StatusLineCount> StatusLines;

    bool IsGerman() const { return Kind == TLanguageKind::German; }
    bool NeedsModule() const { return Kind == TLanguageKind::Module; }
};

// The German message table and status lines the program is built with, and
// their built-in English texts.
const std::array<QString, MainMessageCount>& GermanMainMessages();
const std::array<QString, MainMessageCount>& EnglishMainMessages();
const std::array<QString, StatusLineCount>& GermanStatusLines();
const std::array<QString, StatusLineCount>& EnglishStatusLines();

// The default counter-evaluation text built from Auswert_Label's caption and hint.
QString CounterEvaluationText(const QString& caption, const QString& hint);

// Decides the language for an abbreviation. An empty abbreviation takes the
// English choice, so every file name and text is set.
TLanguageChoice ChooseLanguage(const QString& abbreviation);
