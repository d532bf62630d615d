#include "support/ExternalTools.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace testsupport {

QString findTool(const QString& program)
{
    const QString found = QStandardPaths::findExecutable(program);
    // Administration programs (cupsd, lpadmin) live in sbin, which a user's
    // search path often leaves out.
    if (!found.isEmpty())
        return found;
    return QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

QString packageOfTool(const QString& program)
{
    if (program == "soffice" || program == "libreoffice")
        return "libreoffice-calc-nogui libreoffice-writer-nogui libreoffice-draw-nogui";
    if (program == "wmf2svg")
        return "libwmf-bin";
    if (program == "unrtf")
        return "unrtf";
    if (program == "pdfinfo" || program == "pdftotext" || program == "pdftoppm")
        return "poppler-utils";
    if (program == "unzip")
        return "unzip";
    if (program == "Xvfb")
        return "xvfb";
    if (program == "openbox")
        return "openbox";
    if (program == "cupsd" || program == "lpadmin" || program == "lpstat" || program == "lp")
        return "cups";
    return program;
}

bool runningUnderCi()
{
    const QByteArray ci = qgetenv("CI");
    return !ci.isEmpty() && ci != "0" && ci.toLower() != "false";
}

ToolResult runTool(const QString& program, const QStringList& args,
                   const QString& workingDir, int timeoutMs)
{
    ToolResult result;
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        result.exitCode = -1;
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.exitCode = -2;
    } else {
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString convertWithLibreOffice(const QString& file, const QString& filter,
                               const QString& outDir, QString* error)
{
    QDir().mkpath(outDir);
    const QString profile = QDir(outDir).absoluteFilePath(".lo-profile");
    const QStringList args{
        "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
        "--headless", "--norestore", "--convert-to", filter, "--outdir", outDir, file};
    const ToolResult r = runTool("soffice", args, outDir, 180000);
    // The converted file keeps the base name; the extension is the filter's
    // first word ("csv:Text - txt - csv (StarCalc):44,34,76" gives "csv").
    const QString ext = filter.section(':', 0, 0);
    const QString converted = QDir(outDir).absoluteFilePath(QFileInfo(file).completeBaseName() + "." + ext);
    if (r.exitCode != 0 || !QFileInfo::exists(converted)) {
        if (error)
            *error = QString("soffice exit %1: %2 %3").arg(r.exitCode)
                         .arg(QString::fromLocal8Bit(r.out), QString::fromLocal8Bit(r.err));
        return QString();
    }
    return converted;
}

} // namespace testsupport
