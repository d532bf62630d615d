#pragma once
// The protocol file: a ring of fixed-length text records into which the
// message catalogue writes instead of showing dialogs when SilentMessages is on.
//
// Layout: an 87-byte header, then records of 133 bytes; record i starts at byte
// 87 + 133 * i. A record is a length byte (0..132) followed by 132 bytes whose
// first <length> bytes are the text (Windows-1252, or UTF-8 when the text holds
// a character outside it); the rest carries no meaning.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>

constexpr int ProtocolHeaderSize = 87;
constexpr int ProtocolTextCapacity = 132;
constexpr int ProtocolRecordSize = ProtocolTextCapacity + 1;

struct TProtocolFile {
    QByteArray Text;                    // 256 bytes of free use; not used by the writer
    std::unique_ptr<QFile> File;        // open for unbuffered block writing
    uint16_t Capacity = 0;              // records the ring holds
    uint16_t Written = 0;               // records written until the ring was full
    uint16_t RingPos = 1;               // 1-based record to overwrite next once full
};

// The one protocol state that ProtocolLog writes to.
extern TProtocolFile ProtocolFile;

// Creates (or empties) a protocol file for capacity records and writes its
// header: "VALDRAN PROTOKOLL" followed by NUL bytes, the capacity as a 16-bit
// little-endian number at byte 32. False when the file cannot be written.
bool ProtocolCreate(TProtocolFile& protocol, const QString& fileName, uint16_t capacity);
void ProtocolClose(TProtocolFile& protocol);

// Writes text (first 132 characters) as the next record of the ring.
// 0 written, 2 input/output error (also when no file is open or the capacity is 0).
uint8_t ProtocolAppend(TProtocolFile& protocol, const QString& text);

// Writes text to ProtocolFile while ProtocolActive is on; an error switches
// ProtocolActive off for good.
void ProtocolLog(const QString& text);
