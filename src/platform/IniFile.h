#pragma once
// INI files with the semantics of the Windows profile functions, which the
// program's settings, the sibling programs' files and the registry stand-in all
// rely on:
// - sections and keys are compared without regard to case;
// - blanks around keys and values are trimmed, enclosing quotes of a value are
//   removed;
// - the first of two equal keys wins (also across two sections of one name);
// - a section that exists but holds no key still counts as existing;
// - comments, blank lines and unknown sections survive every write;
// - a missing file reads as empty;
// - every write goes through to the file at once: read, change, write a
//   temporary file beside it, rename (see SafeFile), all under an advisory
//   lock on "<name>.lock", so two program instances never lose each other's
//   keys and a reader never sees half a file.
// Files are Windows-1252 text with CR LF; a line that needs it is UTF-8.
// QSettings is not used on purpose: it escapes, splits at commas, compares keys
// with case and reorders.
#include <QString>
#include <QStringList>

namespace platform {

// Integer text as the profile readers take it: optional blanks, an optional
// sign, decimal digits, or hexadecimal after "0x" or "$". Anything else, or a
// value outside 32 bits, gives the default.
int ParseProfileInteger(const QString& text, int defaultValue);

// The common face of an INI file and of the registry-backed INI view, so the
// settings store can hold either.
class CustomIniFile {
public:
    virtual ~CustomIniFile() = default;

    // The file name or the registry key the object works on.
    virtual QString FileName() const = 0;

    virtual QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const = 0;
    // False when the value could not be stored.
    virtual bool WriteString(const QString& section, const QString& key, const QString& value) = 0;
    virtual int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    virtual bool WriteInteger(const QString& section, const QString& key, int value);
    // A Boolean is an integer: 0 is false, any other number true; written "1"/"0".
    virtual bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    virtual bool WriteBool(const QString& section, const QString& key, bool value);

    virtual bool SectionExists(const QString& section) const = 0;
    virtual bool ValueExists(const QString& section, const QString& key) const = 0;
    // The keys of a section in file order, each once (first spelling).
    virtual QStringList ReadSection(const QString& section) const = 0;
    // "key=value" for every key of ReadSection, with the value ReadString gives.
    virtual QStringList ReadSectionValues(const QString& section) const = 0;
    virtual QStringList ReadSections() const = 0;
    virtual bool EraseSection(const QString& section) = 0;
    virtual bool DeleteKey(const QString& section, const QString& key) = 0;
};

class IniFile : public CustomIniFile {
public:
    // A name without a directory is looked up in the Windows directory, as the
    // profile functions do (see ResolveIniName).
    explicit IniFile(const QString& fileName);

    QString FileName() const override { return fileName_; }

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const override;
    bool WriteString(const QString& section, const QString& key, const QString& value) override;

    bool SectionExists(const QString& section) const override;
    bool ValueExists(const QString& section, const QString& key) const override;
    QStringList ReadSection(const QString& section) const override;
    QStringList ReadSectionValues(const QString& section) const override;
    QStringList ReadSections() const override;
    bool EraseSection(const QString& section) override;
    bool DeleteKey(const QString& section, const QString& key) override;

    // Adds an empty section unless one of that name exists already.
    bool CreateSection(const QString& section);

    // The file can be opened for reading and writing (it is created empty when
    // missing) and its directory takes a temporary file beside it, which every
    // write needs.
    static bool CanOpenForWriting(const QString& fileName);
    // The file exists and can be opened for reading.
    static bool CanOpenForReading(const QString& fileName);

private:
    QStringList load() const;
    // The lines for a change; false when the file is there but unreadable.
    bool loadForChange(QStringList& lines) const;
    bool save(const QStringList& lines) const;

    QString fileName_;
};

// The stand-in for the Windows directory: VALDRAN_WINDOWS_DIR, by default the
// user's configuration directory "valdran/". Ends in '/'.
QString WindowsDirectory();

// The user's configuration directory ($XDG_CONFIG_HOME or ~/.config), ending
// in '/'.
QString UserConfigDirectory();

// A per-user temporary folder (mode 0700) below the system's temporary
// directory, created when missing; empty when it cannot be made safe (not a
// directory, another owner). Ends in '/'.
QString UserTempDirectory();

// A file name without any directory is placed in the Windows directory; any
// other name is answered unchanged.
QString ResolveIniName(const QString& fileName);

} // namespace platform
