#pragma once
// The texts of the platform's own dialogs (the print dialog, the printer
// setup, the PDF file question, the buttons of the general message box). They
// stand for the window system's dialogs, which speak the user's language:
// German when the program runs in German, English otherwise, as Qt's own
// dialogs do once their translations are loaded. The message catalogue's
// dialogs are not among them: they keep their German texts in every language.
#include <QString>

namespace platform {

enum class TPlatformText {
    PrintTitle, PrinterSetupTitle, PrinterGroup, PrinterName, NoPrinterInstalled,
    PrintRange, AllPages, PageNumbers, FromPage, ToPage, PrintToFile,
    Orientation, Portrait, Landscape,
    Ok, Cancel, Yes, No, Retry, Abort, Ignore,
    PdfFilter,
};

// Whether the platform's dialogs speak German: as the program's language
// chose (SetPlatformDialogsGerman), else by the user's locale (its
// abbreviation starts with "DE").
bool PlatformDialogsGerman();
// The program's language choice: German or not.
void SetPlatformDialogsGerman(bool german);
// Back to the user's locale (tests).
void ResetPlatformDialogsLanguage();

// The text in the platform dialogs' language.
QString PlatformText(TPlatformText text);

} // namespace platform
