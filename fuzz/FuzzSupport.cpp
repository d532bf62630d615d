#include "FuzzSupport.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <zlib.h>

namespace fuzzsupport {

namespace {

void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropMessage);
    static int argc = 1;
    static char name[] = "valdran_fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);   // lives until the process ends
}

const QString& ScratchDirectory()
{
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;
        if (!d->isValid()) {
            std::fprintf(stderr, "no scratch directory\n");
            std::abort();
        }
        return d;
    }();
    static const QString path = dir->path() + QLatin1Char('/');
    return path;
}

uint8_t Input::Byte()
{
    return pos_ < size_ ? data_[pos_++] : 0;
}

double Input::Double()
{
    unsigned char bytes[sizeof(double)] = {};
    for (unsigned char& b : bytes)
        b = Byte();
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

QString Input::Text()
{
    const std::size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != 0)
        ++pos_;
    const QString text = platform::DecodeLine(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    if (pos_ < size_)
        ++pos_;   // the 0 byte
    return text;
}

QByteArray Input::Rest()
{
    const QByteArray rest(reinterpret_cast<const char*>(data_ + pos_), qsizetype(size_ - pos_));
    pos_ = size_;
    return rest;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::abort();
    }
    return file.readAll();
}

QString LenientText(const char* data, std::size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    QString out;
    out.reserve(qsizetype(size));
    std::size_t i = 0;
    const auto continuation = [&](std::size_t at) { return at < size && (p[at] & 0xC0) == 0x80; };
    while (i < size) {
        const unsigned b = p[i];
        char32_t code = b;
        std::size_t length = 1;
        if (b >= 0xC0 && b < 0xE0 && continuation(i + 1)) {
            code = ((b & 0x1F) << 6) | (p[i + 1] & 0x3F);
            length = 2;
        } else if (b >= 0xE0 && b < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            code = ((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            length = 3;
        } else if (b >= 0xF0 && b < 0xF8 && continuation(i + 1) && continuation(i + 2) && continuation(i + 3)) {
            code = ((b & 0x07) << 18) | ((p[i + 1] & 0x3F) << 12) | ((p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
            code %= 0x110000;
            length = 4;
        }
        if (code >= 0x10000) {
            out.append(QChar(QChar::highSurrogate(code)));
            out.append(QChar(QChar::lowSurrogate(code)));
        } else {
            out.append(QChar(char16_t(code)));   // a surrogate stays alone
        }
        i += length;
    }
    return out;
}

std::vector<QStringList> CellTable(const QByteArray& bytes, int maxRows, int maxCells)
{
    std::vector<QStringList> rows;
    const char* p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i <= n && int(rows.size()) < maxRows) {
        QStringList row;
        for (;;) {
            qsizetype end = i;
            while (end < n && uchar(p[end]) != 0xFE && uchar(p[end]) != 0xFF)
                ++end;
            if (row.size() < maxCells)
                row << LenientText(p + i, std::size_t(end - i));
            i = end + 1;
            if (end >= n || uchar(p[end]) == 0xFF)
                break;
        }
        rows.push_back(row);
    }
    return rows;
}

namespace {

uint32_t Le(const QByteArray& b, qsizetype at, int bytes)
{
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k)
        v = (v << 8) | uchar(b[at + k]);
    return v;
}

} // namespace

bool ZipEntry(const QByteArray& zip, const QByteArray& name, QByteArray* content)
{
    // The end record lies in the last 22 + 65535 bytes.
    qsizetype end = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (Le(zip, at, 4) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return false;
    const uint32_t entries = Le(zip, end + 10, 2);
    qsizetype at = qsizetype(Le(zip, end + 16, 4));
    for (uint32_t e = 0; e < entries; ++e) {
        if (at + 46 > zip.size() || Le(zip, at, 4) != 0x02014b50)
            return false;
        const uint32_t method = Le(zip, at + 10, 2);
        const uint32_t packed = Le(zip, at + 20, 4);
        const uint32_t size = Le(zip, at + 24, 4);
        const uint32_t nameLength = Le(zip, at + 28, 2);
        const uint32_t extra = Le(zip, at + 30, 2);
        const uint32_t comment = Le(zip, at + 32, 2);
        const qsizetype local = qsizetype(Le(zip, at + 42, 4));
        if (at + 46 + qsizetype(nameLength) > zip.size())
            return false;
        if (zip.mid(at + 46, nameLength) == name) {
            if (local + 30 > zip.size() || Le(zip, local, 4) != 0x04034b50)
                return false;
            const qsizetype data = local + 30 + qsizetype(Le(zip, local + 26, 2)) + qsizetype(Le(zip, local + 28, 2));
            if (data + qsizetype(packed) > zip.size())
                return false;
            if (method == 0) {
                *content = zip.mid(data, packed);
                return content->size() == qsizetype(size);
            }
            if (method != 8)
                return false;
            content->resize(qsizetype(size));
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
                return false;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.constData() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(content->data());
            z.avail_out = size;
            const int result = inflate(&z, Z_FINISH);
            const bool whole = result == Z_STREAM_END && z.total_out == size;
            inflateEnd(&z);
            return whole;
        }
        at += 46 + qsizetype(nameLength) + qsizetype(extra) + qsizetype(comment);
    }
    return false;
}

bool WellFormedXml(const QByteArray& bytes, QString* error)
{
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError() && error != nullptr)
        *error = QStringLiteral("%1 at line %2 column %3")
                     .arg(reader.errorString())
                     .arg(reader.lineNumber())
                     .arg(reader.columnNumber());
    return !reader.hasError();
}

void Fail(const char* target, const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s [%s]\n", target, what, detail.toUtf8().constData());
    std::abort();
}

} // namespace fuzzsupport
