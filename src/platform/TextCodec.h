#pragma once
// Text on disk: archive files, INI files, templates, event-code files and
// string tables are Windows-1252 text with CR LF. A line is read as UTF-8 when it
// is valid UTF-8, else as Windows-1252. Lines written for the same readers are
// Windows-1252; a line holding a character outside Windows-1252 is written as
// UTF-8 so nothing is lost.
#include <QByteArray>
#include <QString>
#include <cstddef>

namespace platform {

bool IsValidUtf8(const char* data, std::size_t size);
QString DecodeWindows1252(const char* data, std::size_t size);
// UTF-8 when valid (pure ASCII included), else Windows-1252.
QString DecodeLine(const char* data, std::size_t size);
inline QString DecodeLine(const QByteArray& bytes) { return DecodeLine(bytes.constData(), std::size_t(bytes.size())); }

// Windows-1252 code of a character, or -1 when it has none.
int Windows1252Code(QChar c);
bool IsWindows1252(const QString& text);
// Windows-1252 bytes when every character has a code, else UTF-8. Windows-1252
// bytes that would read as valid UTF-8 are written as UTF-8 as well, so
// DecodeLine(EncodeLine(text)) gives text back.
QByteArray EncodeLine(const QString& text);

// Decodes a whole text file line by line (CR LF, lone LF and a last line without
// an end), each line as DecodeLine does. Lines are joined with '\n'.
QString DecodeText(const QByteArray& bytes);
// Encodes lines for a file: each line by EncodeLine, each ended by CR LF.
QByteArray EncodeLines(const QStringList& lines);

} // namespace platform
