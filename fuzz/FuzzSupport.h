#pragma once
// What the fuzz targets share: the application object the font and table code
// needs, a reader over the fuzz input, and a scratch directory for targets
// that read files.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

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

} // namespace fuzzsupport
