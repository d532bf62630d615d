#pragma once
// The clipboard. Texts go on it as UTF-16 text (no closing NUL); pictures and
// documents go on it as mime data, several formats at once (the chart as a
// Windows metafile with a bitmap and SVG beside it, a report piece as RTF and
// plain text), so every receiving program can take the format it knows.
//
// Every call goes through one replaceable back end. The default uses the
// application's QClipboard; without a GUI application object it keeps the
// content in memory, so core code never fails for lack of a display. Tests
// install a TScopedClipboard, which records what was put on the clipboard and
// never touches the desktop's clipboard.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace platform {

// Mime types of the formats the program puts on the clipboard.
inline constexpr const char* MimePlainText = "text/plain";
inline constexpr const char* MimeHtml = "text/html";
inline constexpr const char* MimeRtf = "text/rtf";
inline constexpr const char* MimeWmf = "image/x-wmf";        // Windows metafile
inline constexpr const char* MimeEmf = "image/x-emf";        // enhanced metafile
inline constexpr const char* MimeSvg = "image/svg+xml";
inline constexpr const char* MimePng = "image/png";

// One clipboard content: an optional text, an optional bitmap and any number
// of further formats, each a mime type with its bytes.
struct TClipboardContent {
    bool HasText = false;
    QString Text;
    QImage Image;                                       // null: no bitmap
    std::vector<std::pair<QString, QByteArray>> Formats; // in the order given

    bool Empty() const { return !HasText && Image.isNull() && Formats.empty(); }
    // The bytes of a format, or an empty array when the content lacks it.
    QByteArray Format(const QString& mimeType) const;
    bool HasFormat(const QString& mimeType) const;
    // Adds or replaces a format.
    void SetFormat(const QString& mimeType, const QByteArray& data);
};

// The back end of the clipboard: replace both functions together.
struct TClipboardBackend {
    // Empties the clipboard and puts the content on it; false when the
    // clipboard could not be had (nothing changed then).
    std::function<bool(const TClipboardContent&)> Set;
    // What the clipboard holds now (its text, bitmap and every format).
    std::function<TClipboardContent()> Get;
};

// The back end in use; SetClipboardBackend answers the one it replaced.
const TClipboardBackend& ClipboardBackend();
TClipboardBackend SetClipboardBackend(TClipboardBackend backend);
// The default back end (QClipboard, or memory without a GUI application).
TClipboardBackend DefaultClipboardBackend();

// Convenience calls; each is one opening of the clipboard.
bool SetClipboardText(const QString& text);
bool SetClipboardContent(const TClipboardContent& content);
// The clipboard's text, empty when it holds none.
QString ClipboardText();
TClipboardContent ClipboardContent();
bool ClipboardHasFormat(const QString& mimeType);
// Empties the clipboard.
bool ClearClipboard();

// For tests: a clipboard in memory for its lifetime; records every Set.
class TScopedClipboard {
public:
    TScopedClipboard();
    ~TScopedClipboard();
    TScopedClipboard(const TScopedClipboard&) = delete;
    TScopedClipboard& operator=(const TScopedClipboard&) = delete;

    TClipboardContent content;                  // what the clipboard holds
    std::vector<TClipboardContent> setCalls;    // every content put on it
    bool refuse = false;                        // Set answers false, keeps content

private:
    TClipboardBackend saved_;
};

} // namespace platform
