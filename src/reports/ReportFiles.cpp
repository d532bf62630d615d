#include "reports/ReportFiles.h"

#include "platform/Hooks.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace reports {

QString ReportDirectory()
{
    const QString base = platform::UserTempDirectory();
    if (base.isEmpty())
        return QString();
    const QString dir = base + QStringLiteral("Berichte");
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return QString();
    return dir + QLatin1Char('/');
}

QString CreateUniqueReportFile(const QString& extension, QString* error)
{
    const QString dir = ReportDirectory();
    if (dir.isEmpty()) {
        if (error != nullptr)
            *error = QStringLiteral("no folder for report files");
        return QString();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 10000; ++n) {
        const QString path = dir + QStringLiteral("Bericht-%1-%2.%3").arg(stamp).arg(n).arg(extension);
        QFile file(path);
        // NewOnly fails when the name exists: two reports never share a file.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (file.error() != QFileDevice::OpenError || !QFile::exists(path)) {
            if (error != nullptr)
                *error = file.errorString();
            return QString();
        }
    }
    if (error != nullptr)
        *error = QStringLiteral("no free report file name");
    return QString();
}

bool OpenReportDocument(const QString& path)
{
    const auto& open = platform::Hooks().OpenDocument;
    return open ? open(path) : false;
}

QString NotOpenedText(const QString& path)
{
    return QStringLiteral("Die Datei wurde gespeichert, aber kein Programm hat sie geöffnet:\n")
        + QFileInfo(path).absoluteFilePath();
}

bool PresentReportFile(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (OpenReportDocument(full))
        return true;
    platform::ShowMessageBox(NotOpenedText(full), QCoreApplication::applicationName(),
                             platform::mb::Ok | platform::mb::IconInformation);
    return false;
}

} // namespace reports
