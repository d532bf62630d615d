#include "evaluation/Language.h"

#include "platform/ProgramPath.h"

QString ProgramVersionText()
{
    return QStringLiteral("1.17");
}

const std::array<QString, MainMessageCount>& GermanMainMessages()
{
    // Entries 6 and 7 are kept for the language modules but shown nowhere.
    static const std::array<QString, MainMessageCount> texts = {
        QStringLiteral("Schliessen"),
        QStringLiteral("Datei") + QString(9, QLatin1Char(' ')),
        QStringLiteral("Keine Daten in"),
        QStringLiteral("gefunden"),
        QStringLiteral("Bericht vom"),
        QStringLiteral("Zeitraum"),
        QString(),
        QString(),
    };
    return texts;
}

const std::array<QString, MainMessageCount>& EnglishMainMessages()
{
    static const std::array<QString, MainMessageCount> texts = [] {
        std::array<QString, MainMessageCount> t = GermanMainMessages();
        t[0] = QStringLiteral("Close");
        t[1] = QStringLiteral("file") + QString(9, QLatin1Char(' '));
        t[2] = QStringLiteral("no data files in");
        t[3] = QStringLiteral("found");
        t[4] = QStringLiteral("document printed");
        t[5] = QStringLiteral("period");
        return t;
    }();
    return texts;
}

const std::array<QString, StatusLineCount>& GermanStatusLines()
{
    static const std::array<QString, StatusLineCount> texts = {
        QString(),
        QStringLiteral("Bitte wählen Sie ein Verzeichnis mit Archivdateien (*.AGR, *.AGW)."),
        QStringLiteral("Bitte wählen Sie Gerät und Zeitraum."),
    };
    return texts;
}

const std::array<QString, StatusLineCount>& EnglishStatusLines()
{
    static const std::array<QString, StatusLineCount> texts = {
        QString(),
        QStringLiteral("Please select a path with archive files (*.AGR, *.AGW)."),
        QStringLiteral("Please select device and period."),
    };
    return texts;
}

QString CounterEvaluationText(const QString& caption, const QString& hint)
{
    return caption + QStringLiteral(": [ZST_Start_Dat]=[ZST_Start_Val], [ZST_End_Dat]=[ZST_End_Val], ")
        + hint + QStringLiteral("=[ZST_Diff]");
}

TLanguageChoice ChooseLanguage(const QString& abbreviation)
{
    TLanguageChoice c;
    c.Abbreviation = abbreviation.isEmpty() ? QStringLiteral("ENU") : abbreviation;
    c.HeadTemplateAbbreviation = c.Abbreviation;

    // The code compares in upper case; only ASCII letters change.
    for (const QChar ch : c.Abbreviation.left(2))
        c.Code += (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ? QChar(ch.unicode() - 32) : ch;

    const QString programDir = platform::ProgramDirectory();
    if (c.Code == QLatin1String("DE")) {
        c.Kind = TLanguageKind::German;
        c.HelpFile = programDir + QStringLiteral("AV_DE.HLP");
        c.EventCodeFile = QStringLiteral("EvCd_DEU.TXT");
        c.AuswertCaption = QStringLiteral("Zählerstände");
        c.AuswertHint = QStringLiteral("Diff.");
        c.Messages = GermanMainMessages();
        c.StatusLines = GermanStatusLines();
    } else {
        c.Kind = c.Code == QLatin1String("EN") ? TLanguageKind::English : TLanguageKind::Module;
        c.HelpFile = programDir + QStringLiteral("AV_EN.HLP");
        c.EventCodeFile = QStringLiteral("EvCd_ENG.TXT");
        c.AuswertCaption = QStringLiteral("meters");
        c.AuswertHint = QStringLiteral("difference");
        c.Messages = EnglishMainMessages();
        c.StatusLines = EnglishStatusLines();
    }
    c.CounterText = CounterEvaluationText(c.AuswertCaption, c.AuswertHint);
    c.CaptionSuffix = QStringLiteral(" - v") + ProgramVersionText();
    return c;
}
