#pragma once
// What the fuzz targets share: the application object the font and table code
// needs, a reader over the fuzz input, and a scratch directory for targets
// that read files.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzsupport {

// Creates the (offscreen) application object once and silences Qt's warnings.
void EnsureApplication();

// A private directory for the files a target writes; ends in '/'.
const QString& ScratchDirectory();

// Takes the fuzz input piece by piece; every call answers something, also
// when the input is used up.
class Input {
public:
    Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    uint8_t Byte();
    double Double();                 // 8 raw bytes: any double, NaN included
    // The bytes up to the next 0 byte (or the end), decoded as an archive
    // line is decoded (UTF-8 when valid, else Windows-1252).
    QString Text();
    // All bytes that are left.
    QByteArray Rest();
    bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Writes bytes to a file; aborts when that fails (the target would test
// nothing).
void WriteFile(const QString& path, const QByteArray& bytes);
// Reads a file whole; aborts when that fails.
QByteArray ReadFile(const QString& path);

// ---- Tables of cell texts, for the targets of the file writers -------------

// The bytes as a table: rows end at a byte FF, cells at a byte FE (neither is
// ever part of UTF-8). Each cell is decoded leniently, so that every code
// point reaches the writers: well-formed and overlong UTF-8 sequences give
// their code point (U+D800 and NUL included), any other byte gives the
// character of its Latin-1 value. At most maxRows rows and maxCells cells a
// row are taken.
std::vector<QStringList> CellTable(const QByteArray& bytes, int maxRows, int maxCells);
QString LenientText(const char* data, std::size_t size);

// The stored or deflated entry called name in a ZIP archive; false when the
// archive has no such entry or it cannot be read.
bool ZipEntry(const QByteArray& zip, const QByteArray& name, QByteArray* content);

// Whether bytes are a well-formed XML 1.0 document in UTF-8, read strictly
// (a wrong UTF-8 sequence and every character XML forbids are errors); the
// reader's complaint in *error.
bool WellFormedXml(const QByteArray& bytes, QString* error);

// Stops the process with a message naming the target and what was wrong.
[[noreturn]] void Fail(const char* target, const char* what, const QString& detail = QString());

} // namespace fuzzsupport
