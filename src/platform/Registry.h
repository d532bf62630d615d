#pragma once
// A file-backed stand-in for the Windows registry with the same key paths and
// value names. Each hive is one INI file: a section is a full key path such as
// "Software\Morvax\bin\valdran", a key is a value name.
// - HKEY_CURRENT_USER: $XDG_CONFIG_HOME/valdran/HKEY_CURRENT_USER.ini
//   (~/.config/valdran/... when the variable is unset);
// - HKEY_LOCAL_MACHINE: /etc/valdran/HKEY_LOCAL_MACHINE.ini, read-only;
// VALDRAN_REGISTRY_DIR moves both files into one directory.
// Key paths are compared without case and always start at the hive's root: a
// leading '\' is ignored. A key exists when its section or a section of one of
// its sub keys exists. Values are text; integers are decimal and Booleans "1"/"0".
#include "platform/IniFile.h"

#include <QString>
#include <QStringList>

namespace platform {

class Registry {
public:
    enum Hive { CurrentUser, LocalMachine };

    explicit Registry(Hive hive = CurrentUser);

    Hive RootKey() const { return hive_; }
    static QString HiveFileName(Hive hive);
    // Key path without leading and trailing '\'.
    static QString NormalizeKey(const QString& key);

    // Opens a key with full access; creates it (and its parents) when missing
    // and canCreate is set. Fails for the read-only hive and when the hive file
    // cannot be written.
    bool OpenKey(const QString& key, bool canCreate);
    // Opens an existing key for reading.
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();
    bool HasOpenKey() const { return open_; }
    QString CurrentPath() const { return current_; }

    bool KeyExists(const QString& key) const;
    bool CreateKey(const QString& key);
    // Deletes the key with all its sub keys and values.
    bool DeleteKey(const QString& key);
    // Names of the direct sub keys and the values of the open key.
    QStringList GetKeyNames() const;
    QStringList GetValueNames() const;

    // Values of the open key; without an open key reads give the default and
    // writes fail, as do writes through a key opened read-only.
    bool ValueExists(const QString& name) const;
    QString ReadString(const QString& name, const QString& defaultValue = QString()) const;
    int ReadInteger(const QString& name, int defaultValue = 0) const;
    bool ReadBool(const QString& name, bool defaultValue = false) const;
    bool WriteString(const QString& name, const QString& value);
    bool WriteInteger(const QString& name, int value);
    bool WriteBool(const QString& name, bool value);
    bool DeleteValue(const QString& name);

private:
    bool hiveWritable() const;

    Hive hive_;
    IniFile file_;
    QString current_;
    bool open_ = false;
    bool writable_ = false;
};

// The class library's registry-backed INI view: below a base key each section
// is a sub key and each key a value name. Opened for writing, the base key is
// created when missing; opened for reading, writes are refused.
class RegistryIniFile : public CustomIniFile {
public:
    RegistryIniFile(Registry::Hive hive, const QString& baseKey, bool forWriting);

    QString FileName() const override { return base_; }
    bool IsWritable() const { return writable_; }

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const override;
    bool WriteString(const QString& section, const QString& key, const QString& value) override;

    bool SectionExists(const QString& section) const override;
    bool ValueExists(const QString& section, const QString& key) const override;
    QStringList ReadSection(const QString& section) const override;
    QStringList ReadSectionValues(const QString& section) const override;
    QStringList ReadSections() const override;
    bool EraseSection(const QString& section) override;
    bool DeleteKey(const QString& section, const QString& key) override;

private:
    QString keyOf(const QString& section) const;

    Registry::Hive hive_;
    QString base_;
    bool writable_ = false;
};

} // namespace platform
