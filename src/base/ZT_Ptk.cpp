#include "base/ZT_Ptk.h"

#include "base/ZT_Meld.h"
#include "platform/TextCodec.h"

TProtocolFile ProtocolFile;

namespace {

// The record's text bytes: at most 132 characters, and never more bytes than a
// record holds (a UTF-8 line is shortened by whole characters).
QByteArray RecordText(const QString& text)
{
    QString t = text.left(ProtocolTextCapacity);
    QByteArray bytes = platform::EncodeLine(t);
    while (bytes.size() > ProtocolTextCapacity) {
        t.chop(t.size() >= 2 && t.at(t.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = platform::EncodeLine(t);
    }
    return bytes;
}

bool WriteAt(QFile& file, qint64 position, const QByteArray& bytes)
{
    return file.seek(position) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

bool ProtocolCreate(TProtocolFile& protocol, const QString& fileName, uint16_t capacity)
{
    ProtocolClose(protocol);
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    QByteArray header(ProtocolHeaderSize, '\0');
    const QByteArray signature("VALDRAN PROTOKOLL");
    header.replace(0, signature.size(), signature);
    header[32] = char(capacity & 0xFF);
    header[33] = char(capacity >> 8);
    if (!WriteAt(*file, 0, header))
        return false;
    protocol.Text = QByteArray(256, '\0');
    protocol.File = std::move(file);
    protocol.Capacity = capacity;
    protocol.Written = 0;
    protocol.RingPos = 1;
    return true;
}

void ProtocolClose(TProtocolFile& protocol)
{
    protocol.File.reset();
    protocol.Capacity = 0;
    protocol.Written = 0;
    protocol.RingPos = 1;
}

uint8_t ProtocolAppend(TProtocolFile& protocol, const QString& text)
{
    if (!protocol.File || !protocol.File->isOpen() || protocol.Capacity == 0)
        return 2;

    const QByteArray bytes = RecordText(text);
    QByteArray record(ProtocolRecordSize, '\0');
    record[0] = char(uint8_t(bytes.size()));
    record.replace(1, bytes.size(), bytes);

    // A ring position outside 1..capacity (a state filled in by hand) would
    // write past the ring; start it over at the first record instead.
    if (protocol.RingPos < 1 || protocol.RingPos > protocol.Capacity)
        protocol.RingPos = 1;

    uint16_t index;
    if (protocol.Written < protocol.Capacity) {
        index = protocol.Written;
    } else {
        index = uint16_t(protocol.RingPos - 1);
    }
    const qint64 position = ProtocolHeaderSize + qint64(ProtocolRecordSize) * index;
    if (!WriteAt(*protocol.File, position, record))
        return 2;

    if (protocol.Written < protocol.Capacity)
        ++protocol.Written;
    else
        protocol.RingPos = protocol.RingPos >= protocol.Capacity ? 1 : uint16_t(protocol.RingPos + 1);
    return 0;
}

void ProtocolLog(const QString& text)
{
    if (!ProtocolActive)
        return;
    if (ProtocolAppend(ProtocolFile, text) != 0)
        ProtocolActive = false;
}
