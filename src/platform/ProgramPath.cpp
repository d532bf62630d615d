#include "platform/ProgramPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString ExecutablePath()
{
    const QString forced = qEnvironmentVariable("VALDRAN_PROGRAM_DIR");
    if (!forced.isEmpty()) {
        QString dir = forced;
        if (!dir.endsWith(QLatin1Char('/')))
            dir += QLatin1Char('/');
        return dir + QStringLiteral("valdran");
    }
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QDir::currentPath() + QStringLiteral("/valdran");
}

QString ProgramDirectory()
{
    const QString exe = ExecutablePath();
    const int slash = exe.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : exe.left(slash + 1);
}

QString FindFileNoCase(const QString& directory, const QString& name)
{
    QString dir = directory;
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    const QString exact = dir + name;
    if (QFileInfo::exists(exact))
        return exact;
    // Walk the name's components, matching each without regard to case.
    QString current = dir.isEmpty() ? QStringLiteral("./") : dir;
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        const QStringList entries = QDir(current).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        QString found;
        for (const QString& e : entries) {
            if (e.compare(parts[i], Qt::CaseInsensitive) == 0) {
                found = e;
                break;
            }
        }
        if (found.isEmpty())
            return exact;
        current += found;
        if (i + 1 < parts.size())
            current += QLatin1Char('/');
    }
    return dir.isEmpty() ? current.mid(2) : current;
}

QString ProgramDataFile(const QString& name)
{
    return FindFileNoCase(ProgramDirectory(), name);
}

} // namespace platform
