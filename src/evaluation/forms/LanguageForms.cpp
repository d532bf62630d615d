#include "evaluation/forms/LanguageForms.h"

#include "base/NTNetInfo.h"
#include "evaluation/forms/ZT_TbAus.h"
#include "platform/DateTimeValue.h"
#include "platform/Hooks.h"
#include "platform/LocaleFormats.h"
#include "platform/ProgramPath.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <QFileInfo>

using platform::TTranslatableKind;

namespace {

// Caption and hint as one text, the way a module entry holds them.
QString currentText(const QObject* control, TTranslatableKind kind)
{
    return platform::JoinCaptionHint(platform::ControlCaption(control, kind),
                                     platform::ControlHint(control, kind));
}

void translateControl(const t_ZT_SPR_Auswerten& reader, QObject* control, TTranslatableKind kind, int offset)
{
    const int tag = platform::TagOf(control);
    if (tag <= 0)
        return;
    const int id = tag + offset;
    switch (kind) {
    case TTranslatableKind::Form:
    case TTranslatableKind::Label:
    case TTranslatableKind::CheckBox:
    case TTranslatableKind::RadioButton:
    case TTranslatableKind::GroupBox:
    case TTranslatableKind::Button:
    case TTranslatableKind::SpeedButton:
    case TTranslatableKind::TabSheet:
    case TTranslatableKind::MenuItem:
    case TTranslatableKind::Action:
    case TTranslatableKind::RadioGroup: {
        const platform::TCaptionHint t = platform::SplitCaptionHint(reader.GetText(id, currentText(control, kind)));
        platform::SetControlCaption(control, kind, t.Head);
        if (!t.Rest.isEmpty())
            platform::SetControlHint(control, kind, t.Rest);
        if (kind == TTranslatableKind::RadioGroup) {
            const int count = int(platform::ControlItems(control, kind).size());
            for (int j = 0; j < count; ++j) {
                const int itemId = id + 1 + j;
                platform::SetControlItem(control, kind, j,
                                         reader.GetText(itemId, QStringLiteral("S#") + QString::number(itemId)));
            }
        }
        break;
    }
    case TTranslatableKind::Chart: {
        const platform::TCaptionHint t =
            platform::SplitCaptionHint(reader.GetText(id, platform::ControlHint(control, kind)));
        if (!t.Rest.isEmpty())
            platform::SetControlHint(control, kind, t.Rest);
        break;
    }
    case TTranslatableKind::Edit: {
        const platform::TCaptionHint t = platform::SplitCaptionHint(
            reader.GetText(id, QLatin1Char('|') + platform::ControlHint(control, kind)));
        platform::SetControlHint(control, kind, t.Rest);
        break;
    }
    case TTranslatableKind::ListBox: {
        const QStringList items = platform::ControlItems(control, kind);
        for (int j = 0; j < items.size(); ++j)
            platform::SetControlItem(control, kind, j,
                                     platform::SplitCaptionHint(reader.GetText(id + 1 + j, items[j])).Head);
        break;
    }
    case TTranslatableKind::TabbedNotebook: {
        const QStringList pages = platform::ControlItems(control, kind);
        for (int j = 0; j < pages.size(); ++j)
            platform::SetControlItem(control, kind, j, reader.GetText(id + j, pages[j]));
        break;
    }
    }
}

// Asks whether an existing file may be overwritten; true when it may be
// written (it does not exist, or the answer is Yes).
bool mayWrite(const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    platform::TKindMessageRequest request;
    platform::MakeKindMessageRequest(
        QStringLiteral("Soll die Datei: ") + fileName + QStringLiteral(" überschrieben werden?"), 0, request);
    return platform::ShowKindMessage(request) == platform::TMessageAnswer::Yes;
}

} // namespace

// ---- Translation -------------------------------------------------------------------

void TranslateForm(const t_ZT_SPR_Auswerten* reader, const platform::TFormTranslations* form, int offset)
{
    if (!reader || !form || !form->Form() || reader->State() != t_ZT_SPR_Auswerten::StateLoaded)
        return;
    translateControl(*reader, form->Form(), TTranslatableKind::Form, offset);
    for (const platform::TFormTranslations::TEntry& entry : form->Entries())
        if (entry.Control)
            translateControl(*reader, entry.Control, entry.Kind, offset);
}

QStringList ApplyBuiltInTexts(const platform::TFormTranslations& form, const std::vector<TBuiltInText>& texts)
{
    QStringList unmatched;
    for (const TBuiltInText& text : texts) {
        QObject* control = form.FindByName(text.Name);
        TTranslatableKind kind{};
        if (!control || !form.KindOf(control, kind)) {
            unmatched.append(text.Name);
            continue;
        }
        if (text.Caption)
            platform::SetControlCaption(control, kind, *text.Caption);
        if (text.Hint)
            platform::SetControlHint(control, kind, *text.Hint);
        for (int j = 0; j < text.Items.size(); ++j)
            platform::SetControlItem(control, kind, j, text.Items[j]);
    }
    return unmatched;
}

std::vector<TBuiltInText> EnglishTexts_TabAus()
{
    auto hint = [](const char* name, const char* text) {
        return TBuiltInText{QString::fromLatin1(name), std::nullopt, QString::fromLatin1(text), {}};
    };
    return {
        TBuiltInText{QStringLiteral("TabAus_Form"), QStringLiteral("Tessmar table"), std::nullopt, {}},
        hint("Vorschau_Knopf", "Print preview table:Screen overview of current page"),
        hint("DruckKnopf", "Print or export the displayed table"),
        hint("Kopieren_Knopf", "Copy the marked table areas to clipboard"),
        hint("AllesMarkieren_Knopf", "Mark all"),
        hint("SchriftKnopf", "Change font for table"),
    };
}

void SetEnglishTexts(TTabAus_Form& form)
{
    ApplyBuiltInTexts(form.Translations(), EnglishTexts_TabAus());
}

namespace {

TBuiltInText captionText(const char* name, const char* caption)
{
    return TBuiltInText{QString::fromLatin1(name), QString::fromLatin1(caption), std::nullopt, {}};
}

TBuiltInText hintText(const char* name, const char* hint)
{
    return TBuiltInText{QString::fromLatin1(name), std::nullopt, QString::fromLatin1(hint), {}};
}

TBuiltInText bothTexts(const char* name, const char* caption, const char* hint)
{
    return TBuiltInText{QString::fromLatin1(name), QString::fromLatin1(caption), QString::fromLatin1(hint), {}};
}

TBuiltInText itemTexts(const char* name, QStringList items)
{
    return TBuiltInText{QString::fromLatin1(name), std::nullopt, std::nullopt, std::move(items)};
}

} // namespace

std::vector<TBuiltInText> EnglishTexts_Haupt()
{
    return {
        captionText("AV_HauptFormular", "Valdran: Evaluation of archive files"),
        captionText("Zeit_Label", "time"),
        captionText("Hint_Label", "Hint"),
        captionText("Update1", "Update"),
        captionText("Allesffnen1", "open all"),
        captionText("Allesschliessen1", "close all"),
        hintText("Abbruch_Knopf", "Cancel"),
        hintText("Optionen_Knopf", "Options"),
        hintText("ZTauslesen_Knopf", "ZT readout"),
        captionText("Grafik_Schalter", "Graph"),
        captionText("Linien_Schalter", "lines"),
        captionText("ZST_Schalter", "meters"),
        captionText("Differenzen_Schalter", "difference"),
        captionText("Zusatz_Schalter", "all"),
        captionText("E_Schalter", "all"),
        captionText("T_Schalter", "day"),
        captionText("M_Schalter", "mon"),
        bothTexts("Auswert_Label", "meters", "difference"),
    };
}

std::vector<TBuiltInText> EnglishTexts_Optionen()
{
    return {
        captionText("Optionen_Form", "Options"),
        hintText("OkKnopf", "Accept changes"),
        bothTexts("AbbruchKnopf", "Cancel", ""),
        captionText("GrBoxDateien", "Text for the head"),
        captionText("Pfad_Box", "archive files"),
        captionText("ParaPfadLabel", "path"),
        captionText("Datei_Label", "file mask"),
        hintText("ArchivPfad_EditFeld", "path for archive files"),
        hintText("ArchivPfad_Knopf", "Select Drive and directory for archive files"),
        captionText("TagesBeginnAusKopf_Schalter", "Get begin of day from archive files"),
        captionText("GerKan_Schalter", "RV with DS-No."),
        captionText("ZahlenFormatiert_Schalter", "Format numbers"),
        captionText("UhrzeitImmer_Schalter", "Show times always"),
        captionText("KopfZeile_Schalter", "1. Caption"),
        captionText("ArchivBeschreibung_Schalter", "Archive description"),
        TBuiltInText{QStringLiteral("BesondereEreignisse_Schalter"), QStringLiteral("Display special events"),
                     std::nullopt, {QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Only")}},
        captionText("OhneDoppelte_Schalter", "not multiple"),
        captionText("StatusDekodiert_Schalter", "status decoded"),
        bothTexts("InstStatus_Schalter", "status column", "status column for each value column"),
        captionText("GroupBox1", "Text for evaluation of meters"),
        captionText("ZahlenFormat_Label", "number format"),
        captionText("OnoSortierung_Schalter", "default sort by ONO"),
    };
}

std::vector<TBuiltInText> EnglishTexts_PfadMaske()
{
    return {
        captionText("PfadMaske", "select directory"),
        captionText("Verzeichnisse_Label", "paths"),
        captionText("Laufwerke_Label", "volumes"),
        captionText("AktPfad_Label", "current directory"),
        bothTexts("Abbruch_Knopf", "Cancel", ""),
    };
}

std::vector<TBuiltInText> EnglishTexts_Chart()
{
    return {
        hintText("Drucken_Knopf", "Print graph"),
        hintText("SpeedButton5", "Copy graph to clipboard"),
        hintText("ZoomIn_Knopf", "Zoom in."),
        hintText("ZoomOut_Knopf", "Zoom out"),
        hintText("ZoomAus_Knopf", "Reset the view"),
        bothTexts("Label_3d", "Set the 3D effect.", "Move graph"),
        bothTexts("dreiD_Schalter", "3&D", "Switch the 3D view on"),
        bothTexts("Legende1_Schalter", "L.1", "First part of the legend for the points."),
        bothTexts("Legende2_Schalter", "L.2", "Second part of the legend for the points."),
        bothTexts("Werte_Schalter", "M.", "Marks (point labels)."),
        bothTexts("Titel_Schalter", "T.", "Titles."),
        bothTexts("HilfsLinien_Schalter", "G.", "Grid lines"),
        bothTexts("Einheit_Schalter", "U.", "Unit on the Y axis"),
        hintText("Dreh_Label", "Turn the X axis labels"),
        hintText("Balken_Knopf", "Switch to bars."),
        hintText("QuerBalken_Knopf", "Switch to horizontal bars."),
        hintText("Flaechen_Knopf", "Switch to areas."),
        hintText("StufenFlaechen_Knopf", "Switch to step areas."),
        hintText("Linien_Knopf", "Switch to lines."),
        hintText("Stufen_Knopf", "Switch to steps."),
        hintText("Torte_Knopf", "Switch to pie."),
        hintText("Vorschau_Knopf", "Page preview of the graph"),
        hintText("Speichern_Knopf", "Save the graph as a metafile."),
        hintText("Diagramm", "Zoom with the left, move with the right mouse button."),
    };
}

std::vector<TBuiltInText> EnglishTexts_Vorschau()
{
    // The page buttons' hints in the order the buttons take them: first,
    // previous, next, last.
    return {
        itemTexts("ListBox2", {QStringLiteral("First page"), QStringLiteral("Previous page"),
                               QStringLiteral("Next page"), QStringLiteral("Last page")}),
        itemTexts("ListBox1", {QStringLiteral("whole page"), QStringLiteral("Page width")}),
        captionText("Abfrage_Label_0", "Page preview"),
        captionText("Abfrage_Label_1", "Page"),
        captionText("Abfrage_Label_2", "of"),
    };
}

// ---- Developer machine -------------------------------------------------------------

namespace {
const QString DeveloperAccount = QStringLiteral("kolbrina");
// The translator installed on the application, owned by it.
QPointer<QTranslator> QtTranslator;
}

bool InstallQtTranslations(bool german)
{
    if (QtTranslator) {
        QCoreApplication::removeTranslator(QtTranslator);
        delete QtTranslator.data();
    }
    if (!german || QCoreApplication::instance() == nullptr)
        return !german;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    QtTranslator = translator;
    return true;
}

bool IsDeveloperMachine()
{
    return LoggedOnUserIs(DeveloperAccount);
}

bool ShowLanguageFilesMenuItemFor(const QString& userName, const QString& developerEnvironment)
{
    return developerEnvironment == QLatin1String("1") && userName == DeveloperAccount;
}

bool ShowLanguageFilesMenuItem()
{
    const QString environment = qEnvironmentVariable("VALDRAN_DEVELOPER");
    return ShowLanguageFilesMenuItemFor(IsDeveloperMachine() ? DeveloperAccount : QString(), environment);
}

// ---- Generator ---------------------------------------------------------------------

t_ZT_SPR_Erstellen::t_ZT_SPR_Erstellen() : fileName_(GermanFileName())
{
    if (!mayWrite(fileName_)) {
        skip_ = true;
        return;
    }
    const QString program = QFileInfo(platform::ExecutablePath()).fileName();
    script_.Begin(program, platform::LocaleFormats::Current().FormatDateTime(platform::Now()));
}

void t_ZT_SPR_Erstellen::AddTaggedEntry(int tag, const QString& caption, const QString& hint)
{
    if (tag > 0)
        script_.AddEntry(tag + offset_, caption, hint);
}

void t_ZT_SPR_Erstellen::AddForm(const platform::TFormTranslations* form, int offset)
{
    if (skip_ || saved_ || !form || !form->Form())
        return;
    offset_ = offset;
    const QString name = form->FormName();
    QWidget* self = form->Form();

    // The form's own entry and its menu items and actions.
    AddTaggedEntry(platform::TagOf(self), platform::ControlCaption(self, TTranslatableKind::Form),
                   platform::ControlHint(self, TTranslatableKind::Form));
    AddComment(name + QStringLiteral("-Menuetexte"));
    for (const auto& entry : form->Entries()) {
        if (entry.Control && platform::IsMenuKind(entry.Kind))
            AddTaggedEntry(platform::TagOf(entry.Control), platform::ControlCaption(entry.Control, entry.Kind),
                           platform::ControlHint(entry.Control, entry.Kind));
    }
    FlushEntries();

    AddComment(name + QStringLiteral("-Bedienelemente"));
    for (const auto& entry : form->Entries()) {
        QObject* control = entry.Control;
        const int tag = platform::TagOf(control);
        if (!control || tag <= 0 || platform::IsMenuKind(entry.Kind))
            continue;
        const QString caption = platform::ControlCaption(control, entry.Kind);
        const QString hint = platform::ControlHint(control, entry.Kind);
        switch (entry.Kind) {
        case TTranslatableKind::Edit:
            if (!hint.isEmpty())
                AddTaggedEntry(tag, QString(), hint);
            break;
        case TTranslatableKind::Chart:
            AddTaggedEntry(tag, QString(), hint);
            break;
        case TTranslatableKind::TabbedNotebook: {
            const QStringList pages = platform::ControlItems(control, entry.Kind);
            for (int j = 0; j < pages.size(); ++j)
                AddTaggedEntry(tag + j, pages[j], QString());
            break;
        }
        case TTranslatableKind::ListBox: {
            const QStringList items = platform::ControlItems(control, entry.Kind);
            for (int j = 0; j < items.size(); ++j)
                AddTaggedEntry(tag + 1 + j, items[j], QString());
            break;
        }
        case TTranslatableKind::RadioGroup: {
            AddTaggedEntry(tag, caption, hint);
            const QStringList items = platform::ControlItems(control, entry.Kind);
            for (int j = 0; j < items.size(); ++j)
                AddTaggedEntry(tag + 1 + j, items[j], QString());
            break;
        }
        default:
            AddTaggedEntry(tag, caption, hint);
            break;
        }
    }
    FlushEntries();
}

bool t_ZT_SPR_Erstellen::write(const QString& fileName)
{
    if (script_.SaveToFile(fileName))
        return true;
    platform::TKindMessageRequest request;
    platform::MakeKindMessageRequest(
        QStringLiteral("Die Datei: ") + fileName + QStringLiteral(" konnte nicht geschrieben werden."), 3, request);
    platform::ShowKindMessage(request);
    return false;
}

bool t_ZT_SPR_Erstellen::Save()
{
    if (skip_ || saved_)
        return !skip_;
    saved_ = true;
    script_.Finish();
    if (!write(fileName_))
        return false;
    fileName_ = EnglishFileName();
    if (!mayWrite(fileName_))
        return true;
    return write(fileName_);
}
