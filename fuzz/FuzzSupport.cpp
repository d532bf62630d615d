#include "FuzzSupport.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

} // namespace fuzzsupport
