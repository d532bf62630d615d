#include "platform/PlatformTexts.h"

#include "platform/LocaleInfo.h"

#include <optional>

namespace platform {

namespace {

std::optional<bool>& ChosenGerman()
{
    static std::optional<bool> chosen;
    return chosen;
}

struct TTextPair {
    const char16_t* German;
    const char16_t* English;
};

TTextPair Texts(TPlatformText text)
{
    switch (text) {
    case TPlatformText::PrintTitle: return {u"Drucken", u"Print"};
    case TPlatformText::PrinterSetupTitle: return {u"Druckereinrichtung", u"Print Setup"};
    case TPlatformText::PrinterGroup: return {u"Drucker", u"Printer"};
    case TPlatformText::PrinterName: return {u"&Name:", u"&Name:"};
    case TPlatformText::NoPrinterInstalled:
        return {u"Es ist kein Drucker installiert; die Ausgabe geht in eine PDF-Datei.",
                u"No printer is installed; the output goes into a PDF file."};
    case TPlatformText::PrintRange: return {u"Druckbereich", u"Print range"};
    case TPlatformText::AllPages: return {u"&Alles", u"&All"};
    case TPlatformText::PageNumbers: return {u"&Seiten", u"Pa&ges"};
    case TPlatformText::FromPage: return {u"von:", u"from:"};
    case TPlatformText::ToPage: return {u"bis:", u"to:"};
    case TPlatformText::PrintToFile: return {u"Ausgabe in &Datei umleiten", u"Print to fi&le"};
    case TPlatformText::Orientation: return {u"Ausrichtung", u"Orientation"};
    case TPlatformText::Portrait: return {u"&Hochformat", u"&Portrait"};
    case TPlatformText::Landscape: return {u"&Querformat", u"&Landscape"};
    case TPlatformText::Ok: return {u"OK", u"OK"};
    case TPlatformText::Cancel: return {u"Abbrechen", u"Cancel"};
    case TPlatformText::Yes: return {u"&Ja", u"&Yes"};
    case TPlatformText::No: return {u"&Nein", u"&No"};
    case TPlatformText::Retry: return {u"&Wiederholen", u"&Retry"};
    case TPlatformText::Abort: return {u"&Abbrechen", u"&Abort"};
    case TPlatformText::Ignore: return {u"&Ignorieren", u"&Ignore"};
    case TPlatformText::PdfFilter: return {u"PDF-Dateien (*.pdf)|*.pdf", u"PDF files (*.pdf)|*.pdf"};
    }
    return {u"", u""};
}

} // namespace

bool PlatformDialogsGerman()
{
    if (const std::optional<bool>& chosen = ChosenGerman(); chosen.has_value())
        return *chosen;
    return UserLanguageAbbreviation().left(2).compare(QLatin1String("DE"), Qt::CaseInsensitive) == 0;
}

void SetPlatformDialogsGerman(bool german)
{
    ChosenGerman() = german;
}

void ResetPlatformDialogsLanguage()
{
    ChosenGerman().reset();
}

QString PlatformText(TPlatformText text)
{
    const TTextPair pair = Texts(text);
    return QString::fromUtf16(PlatformDialogsGerman() ? pair.German : pair.English);
}

} // namespace platform
