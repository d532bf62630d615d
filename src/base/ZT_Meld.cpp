#include "base/ZT_Meld.h"

#include "base/ZT_Ptk.h"
#include "platform/Hooks.h"

#include <array>
#include <iterator>

QStringList* MessageTextList = nullptr;
bool SilentMessages = false;
bool ProtocolActive = false;

namespace {

struct TCatalogueEntry {
    uint8_t Nr;
    const char* Line1;
    const char* Line2;
};

// Every number that has a text; numbers not listed have none. The texts are the
// program's own wording and are shown as they stand (typos included).
constexpr TCatalogueEntry Catalogue[] = {
    {0, "Es ist nicht mehr genügend Speicherplatz", "vorhanden."},
    {1, "Falsche Eingabe.", ""},
    {2, "Falsche Eingabe: Neue Daten müssen vollständig zwischen", "zwei vorhandene Datensätze passen oder angehängt werden."},
    {3, "Fehler beim Kopieren der Datei", "aufgetreten."},
    {4, "Fehler beim Löschen der Datei", "aufgetreten."},
    {5, "Der Dateiname", "ist nicht eindeutig."},
    {6, "Konfigurationsdatei", "nicht gefunden."},
    {7, "Fehler beim Lesen der Konfigurationsdatei", "aufgetreten."},
    {8, "Fehler beim Sichern der Konfigurationsdatei", "aufgetreten."},
    {9, "Meßwertdatei", "nicht gefunden."},
    {10, "Fehler beim Lesen der Datei", "aufgetreten (Datenformat ungültig)."},
    {11, "Fehler beim Sichern von Daten in der Meßwertdatei", "aufgetreten."},
    {12, "Fehler beim Zugriff auf die Meßwertdatei", "aufgetreten. (RAM-Fehler)"},
    {13, "Die Datei", "ist keine ASCII-Meßwertdatei. Soll sie trotzdem überschrieben werden?"},
    {14, "Eine Erweiterung ist nicht möglich, denn die Datei", "ist keine ASCII-Meßwertdatei. Soll die Datei überschrieben werden?"},
    {15, "Fehler beim Anlegen der Meßwertdatei", "aufgetreten."},
    {16, "Die Datei", "gehört nicht zu diesem Programmpaket."},
    {17, "Die Datei", "wurde mit einer anderen Programmversion erstellt."},
    {18, "Die Datei", "ist keine ASCII-Meßwertdatei."},
    {19, "Fehler beim Lesen der Meßwertdatei", "aufgetreten (Puffer voll)."},
    {20, "Die Meßwertdatei", "enthält keine Katasterdaten."},
    {21, "Das Ende des Zeitraums", "muß nach dessen Beginn liegen."},
    {22, "Fehler beim", "aufgetreten."},
    {23, "Soll die Meßwertdatei", "gelöscht werden?"},
    {24, "Fehler beim Lesen der Protokolldatei", "aufgetreten."},
    {25, "", "nicht gefunden."},
    {26, "Mailbox-Datei", "nicht gefunden."},
    {27, "Fehler beim Schreiben der Mailbox-Datei", "aufgetreten."},
    {28, "Benutzerabbruch", ""},
    {29, "Der Bericht", "paßt nicht vollständig aufs Papier."},
    {30, "Soll die Datei", "abgespeichert werden?"},
    {31, "Fehler beim Lesen der Hauptkomponententabelle", "aufgetreten."},
    {32, "Fehler beim Sichern der Hauptkomponententabelle", "aufgetreten."},
    {33, "Fehler beim Erstellen der Datei", "aufgetreten."},
    {34, "Hauptkomponententabelle", "nicht gefunden."},
    {35, "Die Funktion EDITIEREN ist nur zum Verbessern von Rechtschreibfehlern gedacht. ", "Wollen Sie wirklich eine Änderung vornehmen?"},
    {36, "Die Tabelle kann max.", "Komponenten aufnehmen."},
    {37, "Es ist keine Komponente zum Editieren vorhanden.", ""},
    {38, "Es ist kein Datensatz zum Editieren vorhanden.", ""},
    {39, "Die Blattparameterdatei", "enthält keine ladbaren Grafikparameterdateien."},
    {40, "Für die gewünschte Station sind keine", "vorhanden."},
    {41, "Eine Regression bzw. Korrelation von Kalibrierwerten", "aus verschiedenen Stationen ist nicht sinnvoll!"},
    {42, " nicht gefunden.", "Sollen die nächstmöglichen Daten angezeigt werden?"},
    {43, " nicht gefunden.", "Soll die davor vorhandenen Daten angezeigt werden?"},
    {44, "Die Datei", "kann nicht geöffnet werden."},
    {45, "Fehler beim Schreiben der Datei", "aufgetreten."},
    {46, "Parameterdatei", "nicht gefunden."},
    {47, "Fehler beim Lesen der Parameterdatei", "aufgetreten."},
    {48, "Fehler beim Sichern der Parameterdatei", "aufgetreten."},
    {49, "Fehler beim Schreiben der Auswertungsdatei", "aufgetreten."},
    {50, "Dateipfad", "existiert nicht."},
    {51, "Die Datei", "existiert schon, soll sie überschrieben werden?"},
    {52, "Keine Meßwertdateien vorhanden.", ""},
    {53, "Soll die Verbindung unterbrochen werden?", ""},
    {54, "Soll die Datei", "gelöscht werden ?"},
    {55, "Der Wechsel in das Verzeichnis", "ist nicht möglich."},
    {56, "Fehler beim Speichern der Verzeichnisbaum-Datei", "aufgetreten."},
    {57, "Fehler beim Laden der Verzeichnisbaum-Datei", "aufgetreten."},
    {58, "Der Name der Datei", "ist nicht eindeutig."},
    {59, "Legen Sie die Stations-Installationsdiskette in Laufwerk", "und betätigen Sie den Startknopf erneut."},
    {60, "Datei", "nicht gefunden. Wiederholen?"},
    {61, "Fehler beim Kopieren der Datei", "aufgetreten. Wiederholen?"},
    {62, "Die Ferninstallation", "wurde nicht richtig vorbereitet."},
    {63, "Fehler beim Einrichten der Station aufgetreten.", "Wollen Sie den Vorgang wiederholen?"},
    {64, "Fehler beim Sichern der Stations-Komponentenbelegung", "aufgetreten."},
    {65, "Fehler beim Laden der Stations-Komponentenbelegung", "aufgetreten."},
    {66, "Stations-Komponentenbelegung", "nicht gefunden."},
    {67, "Die eingegebene Nummer", "ist ungültig."},
    {68, "Der eingetragene Anschluß", "ist nicht belegt."},
    {69, "Fehler beim Verbindungsaufbau.", ""},
    {70, "Während der On-Line Aufschaltung kann keine", "Übertragung gestartet werden."},
    {71, "Während der On-Line Aufschaltung kann das Programm", "nicht beendet werden."},
    {72, "", "Es wurde keine Station ausgewählt."},
    {73, "Solle die Verbindung aufgebaut werden,", "um den Pfadnamen auswählen zu können?"},
    {74, "Sollen die aktuellen Einstellungen", "ersetzt werden?"},
    {75, "", "Kein Bereich markiert."},
    {76, "", "Keine Grafik geladen."},
    {77, "Keine gültigen Daten", "vorhanden."},
    {78, "Aus einem einzigen Messwert kann keine Aussage über die", "gemacht werden!"},
    {79, "Es wurde noch kein Hauptkomponenteneintrag", "ausgewählt. Berichtigen Sie zunächst die Auswertungsoptionen."},
    {80, "Wollen Sie die Datei(en)", "wirklich löschen?"},
    {81, "Fehler beim Umbenennen der Datei", "aufgetreten."},
    {82, "Fehler beim Anlegen des Verzeichnisses", "aufgetreten."},
    {83, "Fehler beim Entfernen des Verzeichnisses", "aufgetreten."},
    {84, "Es werden nur", "übernommen!"},
    {85, "Fehler beim Ausführen des Befehls", "aufgetreten."},
    {86, "Sie haben weniger als 4 Nachkommastellen ausgewählt.", "Wollen Sie dies wirklich?"},
    {87, "Fehler beim Mischen der Komponentenbelegungen", "aufgetreten."},
    {88, "Wollen Sie die aktuellen Einstellungen", "wirklich löschen?"},
    {95, "Das Paßwort wurde nicht richtig eingegeben.", ""},
    {96, "Sie sind nicht berechtigt,", "Änderungen vorzunehmen!"},
    {98, "Sie sind nicht berechtigt, die Funktion", "aufzurufen."},
    {99, "Die Funktion", "ist nicht implementiert!"},
    {102, "Ausgabegerät nicht bereit.", ""},
    {103, "Fehler bei der Ausgabe", "auf das gewählte Gerät aufgetreten."},
    {111, "Fehler beim Lesen der Messwertdatei", "aufgetreten."},
    {112, "Fehler beim Lesen der Rohwertdatei", "aufgetreten."},
    {120, "Fehler beim Erstellen des Berichtes", "aufgetreten."},
    {121, "Es ist nicht mehr genügend Speicherplatz", "für die Programm-Konfiguration vorhanden."},
    {122, "Es ist nicht mehr genügend Speicherplatz", "für den ausgewählten Bereich vorhanden."},
    {123, "", "existiert bereits."},
    {124, "Für das Gerät", "sind keine Daten vorhanden."},
    {125, "Suchtext", "nicht gefunden."},
    {126, "Das Ändern der Gerätenummer von", "ist nicht möglich."},
    {130, "Die Rohwertdatei", "enthält keine Daten."},
    {166, "Die Tabelle wurde nach Sollwerten sortiert. Die Reihenfolge der Istwerte", "entspricht jedoch nicht der Reihenfolge der Sollwerte."},
    {200, "", ""},
};

// Index into Catalogue per number, -1 where a number has no text.
const std::array<int16_t, 256>& CatalogueIndex()
{
    static const std::array<int16_t, 256> index = [] {
        std::array<int16_t, 256> a{};
        a.fill(-1);
        for (std::size_t i = 0; i < std::size(Catalogue); ++i)
            a[Catalogue[i].Nr] = int16_t(i);
        return a;
    }();
    return index;
}

bool IsQuestion(uint8_t nr)
{
    switch (nr) {
    case 13: case 14: case 23: case 30: case 35: case 42: case 43: case 51: case 54:
    case 60: case 61: case 63: case 73: case 74: case 80: case 86: case 88:
        return true;
    default:
        return false;
    }
}

bool IsAbortError(uint8_t nr)
{
    switch (nr) {
    case 0: case 2: case 5: case 9: case 12: case 15: case 18: case 20: case 21:
    case 25: case 26: case 28: case 33: case 36: case 39: case 40: case 41: case 50:
    case 52: case 55: case 56: case 57: case 58: case 59: case 64: case 65: case 66:
    case 67: case 68: case 69: case 70: case 71: case 72: case 75: case 76: case 77:
    case 78: case 79: case 87: case 99: case 121: case 200:
        return true;
    default:
        return false;
    }
}

} // namespace

void MessageText(uint8_t nr, QString& line1, int capacity1, QString& line2, int capacity2)
{
    if (MessageTextList && MessageTextList->size() > nr) {
        // Line 2 receives the entry; the part before the first '|' moves to line 1.
        const QString entry = MessageTextList->at(nr).left(capacity2);
        const qsizetype bar = entry.indexOf(QLatin1Char('|'));
        if (bar < 0) {
            line1 = entry.left(capacity1);
            line2.clear();
        } else {
            line1 = entry.left(bar).left(capacity1);
            line2 = entry.mid(bar + 1).left(capacity2);
        }
        return;
    }
    const int16_t i = CatalogueIndex()[nr];
    if (i >= 0) {
        line1 = QString::fromUtf8(Catalogue[i].Line1).left(capacity1);
        line2 = QString::fromUtf8(Catalogue[i].Line2).left(capacity2);
    } else {
        line1 = (QStringLiteral("error no.") + QString::number(nr)).left(capacity1);
        line2.clear();
    }
}

uint8_t MessageKindOfNr(uint8_t nr)
{
    if (IsQuestion(nr))
        return 0;
    if (IsAbortError(nr))
        return 1;
    if (nr == 125)
        return 3;
    return 2;
}

bool MessageBoxByKind(const QString& text, uint8_t kind)
{
    platform::TKindMessageRequest request;
    if (!platform::MakeKindMessageRequest(text, kind, request))
        return false;
    const platform::TMessageAnswer answer = platform::ShowKindMessage(request);
    switch (kind) {
    case 0: return answer == platform::TMessageAnswer::Yes;
    case 3: return answer == platform::TMessageAnswer::Ok;
    default: return false;  // Abort and Ignore never count as success
    }
}

bool ShowMessageNr(const QString& inserted, uint8_t nr)
{
    QString text = inserted.left(MessageLineCapacity);
    const uint8_t kind = MessageKindOfNr(nr);
    QString line1, line2;
    MessageText(nr, line1, MessageLineCapacity, line2, MessageLineCapacity);

    switch (nr) {
    case 35:
        text = QStringLiteral("Es darf auf keinen Fall die Komponente bzw. die Einheit geändert werden!");
        break;
    case 42:
    case 43:
        line1 = (text + line1).left(MessageLineCapacity);
        text.clear();
        break;
    case 63:
        text = QStringLiteral("Überprüfen Sie Ihr Fern-Installations-Verzeichnis.");
        break;
    case 86:
        text = QStringLiteral("Beim Abspeichern geänderter Dateien werden nicht angezeigte Nachkommastellen abgeschnitten");
        break;
    case 125:
        text = QLatin1Char('"') + text + QLatin1Char('"');
        break;
    default:
        break;
    }

    const QString message = (line1 + QLatin1Char(' ') + text + QLatin1Char(' ') + line2).left(255);
    if (SilentMessages) {
        if (kind != 0)
            ProtocolLog(message);
        return true;
    }
    return MessageBoxByKind(message, kind);
}
