#pragma once
// The settings store. It hides where a program's settings live: the program's
// INI file beside the executable is preferred; when that cannot be used (a
// program directory without write access) the settings go to a registry key of
// the current user, and as a last resort to an INI file of the same name in the
// user's temporary folder. Callers read and write by section and key and never
// learn which store was chosen. No error reaches the caller: without a store,
// reads give their defaults and writes are dropped.
#include <QString>
#include <memory>

namespace platform {
class CustomIniFile;
}

class TIniFiler {
public:
    // Which candidate was chosen; for diagnostics and tests only.
    enum class TStoreKind {
        None,          // writes are dropped, reads give the defaults
        ProgramIni,    // the INI file beside the executable (or the given file)
        Registry,      // the program's key of the current user
        TempIni,       // the INI file in the temporary folder
        FallbackIni,   // reading found nothing usable: the INI name all the same
    };

    // fileName: empty for the executable's path with ".INI"; company: the
    // registry key's company part ("Morvax"), left out when empty; subKey:
    // the key's last part, the executable's name without extension when empty.
    TIniFiler(const QString& fileName, const QString& company, const QString& subKey, bool forWriting);
    ~TIniFiler();
    TIniFiler(const TIniFiler&) = delete;
    TIniFiler& operator=(const TIniFiler&) = delete;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void WriteBool(const QString& section, const QString& key, bool value);

    // The file name or registry key path of the chosen store.
    QString Name() const { return name_; }
    TStoreKind StoreKind() const { return kind_; }

    // The executable's path with its extension replaced by ".INI", or ".INI"
    // appended when it has none ("valdran" gives "valdran.INI").
    static QString DefaultIniName();
    // "Software\<company>\<program folder>\<sub key or executable stem>"; the
    // company part is left out when empty.
    static QString ProgramRegistryKey(const QString& company, const QString& subKey);
    // The marker key below the program's key that makes a registry store count.
    static QString MarkerKeyName() { return QStringLiteral("ifInfo"); }

private:
    void choose(const QString& fileName, const QString& company, const QString& subKey, bool forWriting);

    std::unique_ptr<platform::CustomIniFile> store_;
    QString name_;
    TStoreKind kind_ = TStoreKind::None;
};
