#include "base/IniFiler.h"

#include "platform/IniFile.h"
#include "platform/ProgramPath.h"
#include "platform/Registry.h"

#include <algorithm>
#include <exception>

namespace {

// Position of the last directory separator, or -1.
int lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

QString fileNamePart(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString withoutExtension(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

} // namespace

QString TIniFiler::DefaultIniName()
{
    const QString exe = platform::ExecutablePath();
    const int sep = lastSeparator(exe);
    return exe.left(sep + 1) + withoutExtension(exe.mid(sep + 1)) + QStringLiteral(".INI");
}

QString TIniFiler::ProgramRegistryKey(const QString& company, const QString& subKey)
{
    const QString exe = platform::ExecutablePath();
    const QString dir = exe.left(std::max(lastSeparator(exe), 0));
    const QString folder = fileNamePart(dir);
    QString key = QStringLiteral("Software\\");
    if (!company.isEmpty())
        key += company + QLatin1Char('\\');
    key += folder + QLatin1Char('\\');
    key += subKey.isEmpty() ? withoutExtension(fileNamePart(exe)) : subKey;
    return key;
}

TIniFiler::TIniFiler(const QString& fileName, const QString& company, const QString& subKey, bool forWriting)
{
    try {
        choose(fileName, company, subKey, forWriting);
    } catch (const std::exception&) {
        store_.reset();
        kind_ = TStoreKind::None;
    }
}

TIniFiler::~TIniFiler() = default;

void TIniFiler::choose(const QString& fileName, const QString& company, const QString& subKey, bool forWriting)
{
    const QString iniName = platform::ResolveIniName(fileName.isEmpty() ? DefaultIniName() : fileName);
    const QString key = ProgramRegistryKey(company, subKey);
    const QString marker = key + QLatin1Char('\\') + MarkerKeyName();

    auto useIni = [this](const QString& path, TStoreKind kind) {
        store_ = std::make_unique<platform::IniFile>(path);
        name_ = path;
        kind_ = kind;
    };

    // 1. The program's INI file, created empty when missing; a writable program
    //    directory therefore always keeps its settings beside the program.
    if (platform::IniFile::CanOpenForWriting(iniName)) {
        useIni(iniName, TStoreKind::ProgramIni);
        return;
    }

    // 2. The registry key, which counts only with its marker key.
    {
        platform::Registry reg(platform::Registry::CurrentUser);
        const bool usable = forWriting ? reg.OpenKey(marker, true) : reg.OpenKeyReadOnly(marker);
        if (usable) {
            store_ = std::make_unique<platform::RegistryIniFile>(platform::Registry::CurrentUser, key, forWriting);
            name_ = key;
            kind_ = TStoreKind::Registry;
            return;
        }
    }

    // 3. Reading only: an INI file that can still be read.
    if (!forWriting && platform::IniFile::CanOpenForReading(iniName)) {
        useIni(iniName, TStoreKind::ProgramIni);
        return;
    }

    // 4. The INI file of that name in the temporary folder.
    const QString tempDir = platform::UserTempDirectory();
    if (!tempDir.isEmpty()) {
        const QString tempName = tempDir + fileNamePart(iniName);
        const bool usable = forWriting ? platform::IniFile::CanOpenForWriting(tempName)
                                       : platform::IniFile::CanOpenForReading(tempName);
        if (usable) {
            useIni(tempName, TStoreKind::TempIni);
            return;
        }
    }

    // Nothing usable: reading still goes through an INI object on the INI name
    // (its reads give the defaults); writing is dropped.
    if (!forWriting)
        useIni(iniName, TStoreKind::FallbackIni);
}

QString TIniFiler::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    return store_ ? store_->ReadString(section, key, defaultValue) : defaultValue;
}

void TIniFiler::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (store_)
        store_->WriteString(section, key, value);
}

int TIniFiler::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    return store_ ? store_->ReadInteger(section, key, defaultValue) : defaultValue;
}

void TIniFiler::WriteInteger(const QString& section, const QString& key, int value)
{
    if (store_)
        store_->WriteInteger(section, key, value);
}

bool TIniFiler::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return store_ ? store_->ReadBool(section, key, defaultValue) : defaultValue;
}

void TIniFiler::WriteBool(const QString& section, const QString& key, bool value)
{
    if (store_)
        store_->WriteBool(section, key, value);
}
