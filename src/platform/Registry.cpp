#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

const QChar Sep = QLatin1Char('\\');

bool sameKey(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isBelow(const QString& section, const QString& key)
{
    return section.size() > key.size() + 1 && section.startsWith(key, Qt::CaseInsensitive) && section[key.size()] == Sep;
}

QString joinKey(const QString& base, const QString& sub)
{
    const QString s = Registry::NormalizeKey(sub);
    if (base.isEmpty())
        return s;
    if (s.isEmpty())
        return base;
    return base + Sep + s;
}

} // namespace

// ---- Registry ------------------------------------------------------------------

Registry::Registry(Hive hive)
    : hive_(hive)
    , file_(HiveFileName(hive))
{
}

QString Registry::HiveFileName(Hive hive)
{
    const QString name = hive == CurrentUser ? QStringLiteral("HKEY_CURRENT_USER.ini")
                                             : QStringLiteral("HKEY_LOCAL_MACHINE.ini");
    QString dir = qEnvironmentVariable("VALDRAN_REGISTRY_DIR");
    if (dir.isEmpty())
        dir = hive == CurrentUser ? UserConfigDirectory() + QStringLiteral("valdran/") : QStringLiteral("/etc/valdran/");
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + name;
}

QString Registry::NormalizeKey(const QString& key)
{
    QString k = key.trimmed();
    while (k.startsWith(Sep))
        k.remove(0, 1);
    while (k.endsWith(Sep))
        k.chop(1);
    return k;
}

bool Registry::hiveWritable() const
{
    if (hive_ != CurrentUser)
        return false;
    const QString path = file_.FileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return IniFile::CanOpenForWriting(path);
}

bool Registry::KeyExists(const QString& key) const
{
    const QString k = NormalizeKey(key);
    if (k.isEmpty())
        return true;
    const QStringList sections = file_.ReadSections();
    for (const QString& s : sections) {
        const QString n = NormalizeKey(s);
        if (sameKey(n, k) || isBelow(n, k))
            return true;
    }
    return false;
}

bool Registry::CreateKey(const QString& key)
{
    const QString k = NormalizeKey(key);
    if (k.isEmpty())
        return hiveWritable();
    if (KeyExists(k))
        return true;
    return hiveWritable() && file_.CreateSection(k);
}

bool Registry::DeleteKey(const QString& key)
{
    const QString k = NormalizeKey(key);
    if (k.isEmpty() || !hiveWritable())
        return false;
    bool ok = true;
    for (const QString& s : file_.ReadSections()) {
        const QString n = NormalizeKey(s);
        if (sameKey(n, k) || isBelow(n, k))
            ok = file_.EraseSection(s) && ok;
    }
    if (open_ && (sameKey(current_, k) || isBelow(current_, k)))
        CloseKey();
    return ok;
}

bool Registry::OpenKey(const QString& key, bool canCreate)
{
    CloseKey();
    const QString k = NormalizeKey(key);
    if (!hiveWritable())
        return false;
    if (!KeyExists(k)) {
        if (!canCreate || !CreateKey(k))
            return false;
    }
    current_ = k;
    open_ = true;
    writable_ = true;
    return true;
}

bool Registry::OpenKeyReadOnly(const QString& key)
{
    CloseKey();
    const QString k = NormalizeKey(key);
    if (!KeyExists(k))
        return false;
    current_ = k;
    open_ = true;
    writable_ = false;
    return true;
}

void Registry::CloseKey()
{
    current_.clear();
    open_ = false;
    writable_ = false;
}

QStringList Registry::GetKeyNames() const
{
    QStringList out;
    if (!open_)
        return out;
    for (const QString& s : file_.ReadSections()) {
        const QString n = NormalizeKey(s);
        QString rest;
        if (current_.isEmpty())
            rest = n;
        else if (isBelow(n, current_))
            rest = n.mid(current_.size() + 1);
        else
            continue;
        const QString child = rest.section(Sep, 0, 0);
        if (!child.isEmpty() && !out.contains(child, Qt::CaseInsensitive))
            out.append(child);
    }
    return out;
}

QStringList Registry::GetValueNames() const
{
    if (!open_ || current_.isEmpty())
        return {};
    return file_.ReadSection(current_);
}

bool Registry::ValueExists(const QString& name) const
{
    return open_ && !current_.isEmpty() && file_.ValueExists(current_, name);
}

QString Registry::ReadString(const QString& name, const QString& defaultValue) const
{
    if (!open_ || current_.isEmpty())
        return defaultValue;
    return file_.ReadString(current_, name, defaultValue);
}

int Registry::ReadInteger(const QString& name, int defaultValue) const
{
    if (!open_ || current_.isEmpty())
        return defaultValue;
    return file_.ReadInteger(current_, name, defaultValue);
}

bool Registry::ReadBool(const QString& name, bool defaultValue) const
{
    return ReadInteger(name, defaultValue ? 1 : 0) != 0;
}

bool Registry::WriteString(const QString& name, const QString& value)
{
    if (!open_ || !writable_ || current_.isEmpty())
        return false;
    return file_.WriteString(current_, name, value);
}

bool Registry::WriteInteger(const QString& name, int value)
{
    return WriteString(name, QString::number(value));
}

bool Registry::WriteBool(const QString& name, bool value)
{
    return WriteString(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Registry::DeleteValue(const QString& name)
{
    if (!open_ || !writable_ || current_.isEmpty())
        return false;
    return file_.DeleteKey(current_, name);
}

// ---- RegistryIniFile -------------------------------------------------------------

RegistryIniFile::RegistryIniFile(Registry::Hive hive, const QString& baseKey, bool forWriting)
    : hive_(hive)
    , base_(Registry::NormalizeKey(baseKey))
{
    if (forWriting) {
        Registry reg(hive_);
        writable_ = reg.OpenKey(base_, true);
    }
}

QString RegistryIniFile::keyOf(const QString& section) const
{
    return joinKey(base_, section);
}

QString RegistryIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    Registry reg(hive_);
    if (!reg.OpenKeyReadOnly(keyOf(section)))
        return defaultValue;
    return reg.ReadString(key, defaultValue);
}

bool RegistryIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (!writable_)
        return false;
    Registry reg(hive_);
    return reg.OpenKey(keyOf(section), true) && reg.WriteString(key, value);
}

bool RegistryIniFile::SectionExists(const QString& section) const
{
    return Registry(hive_).KeyExists(keyOf(section));
}

bool RegistryIniFile::ValueExists(const QString& section, const QString& key) const
{
    Registry reg(hive_);
    return reg.OpenKeyReadOnly(keyOf(section)) && reg.ValueExists(key);
}

QStringList RegistryIniFile::ReadSection(const QString& section) const
{
    Registry reg(hive_);
    if (!reg.OpenKeyReadOnly(keyOf(section)))
        return {};
    return reg.GetValueNames();
}

QStringList RegistryIniFile::ReadSectionValues(const QString& section) const
{
    const QString key = keyOf(section);
    if (key.isEmpty())
        return {};
    return IniFile(Registry::HiveFileName(hive_)).ReadSectionValues(key);
}

QStringList RegistryIniFile::ReadSections() const
{
    Registry reg(hive_);
    if (!reg.OpenKeyReadOnly(base_))
        return {};
    return reg.GetKeyNames();
}

bool RegistryIniFile::EraseSection(const QString& section)
{
    if (!writable_)
        return false;
    return Registry(hive_).DeleteKey(keyOf(section));
}

bool RegistryIniFile::DeleteKey(const QString& section, const QString& key)
{
    if (!writable_)
        return false;
    Registry reg(hive_);
    return reg.OpenKey(keyOf(section), false) && reg.DeleteValue(key);
}

} // namespace platform
