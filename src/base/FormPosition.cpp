#include "base/FormPosition.h"

#include "base/IniFiler.h"
#include "platform/IniFile.h"
#include "platform/ProgramPath.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace {

const QString kXPos = QStringLiteral("XPos");
const QString kYPos = QStringLiteral("YPos");
const QString kXSize = QStringLiteral("XSize");
const QString kYSize = QStringLiteral("YSize");

} // namespace

QString FormPositionSection(const QString& formName)
{
    return QStringLiteral("Form_") + formName;
}

QString FormPositionRegistryKey(const QString& formName)
{
    const QString exeName = QFileInfo(platform::ExecutablePath()).fileName();
    return QStringLiteral("\\Software\\FormPos\\") + exeName + QLatin1Char('\\')
        + FormPositionSection(formName);
}

TFormBounds ReadStoredFormBounds(TDepot depot, const QString& iniFileName, const QString& formName)
{
    TFormBounds b;
    if (depot == TDepot::dpIniFile) {
        const platform::IniFile ini(iniFileName);
        const QString section = FormPositionSection(formName);
        b.Left = ini.ReadInteger(section, kXPos, 0);
        b.Top = ini.ReadInteger(section, kYPos, 0);
        b.Width = ini.ReadInteger(section, kXSize, 0);
        b.Height = ini.ReadInteger(section, kYSize, 0);
        return b;
    }
    // Opened for reading only: looking for a position must not create its key.
    platform::Registry reg(platform::Registry::CurrentUser);
    if (!reg.OpenKeyReadOnly(FormPositionRegistryKey(formName)))
        return b;
    auto read = [&reg](const QString& name, int& value) {
        if (reg.ValueExists(name))
            value = reg.ReadInteger(name, 0);
    };
    read(kXPos, b.Left);
    read(kYPos, b.Top);
    read(kXSize, b.Width);
    read(kYSize, b.Height);
    return b;
}

bool WriteStoredFormBounds(TDepot depot, const QString& iniFileName, const QString& formName,
                           const TFormBounds& bounds)
{
    if (depot == TDepot::dpIniFile) {
        platform::IniFile ini(iniFileName);
        const QString section = FormPositionSection(formName);
        bool ok = ini.WriteInteger(section, kXPos, bounds.Left);
        ok = ini.WriteInteger(section, kYPos, bounds.Top) && ok;
        ok = ini.WriteInteger(section, kXSize, bounds.Width) && ok;
        ok = ini.WriteInteger(section, kYSize, bounds.Height) && ok;
        return ok;
    }
    platform::Registry reg(platform::Registry::CurrentUser);
    if (!reg.OpenKey(FormPositionRegistryKey(formName), true))
        return false;
    bool ok = reg.WriteInteger(kXPos, bounds.Left);
    ok = reg.WriteInteger(kYPos, bounds.Top) && ok;
    ok = reg.WriteInteger(kXSize, bounds.Width) && ok;
    ok = reg.WriteInteger(kYSize, bounds.Height) && ok;
    return ok;
}

bool HasStoredSize(const TFormBounds& stored)
{
    return stored.Width > 0 && stored.Height > 0;
}

TFormBounds KeepFormOnScreen(const TFormBounds& stored, const QRect& screen)
{
    TFormBounds b = stored;
    // Computed in 64 bits: stored values come from a file anyone can edit.
    const qint64 right = qint64(screen.x()) + screen.width();
    const qint64 bottom = qint64(screen.y()) + screen.height();
    if (right <= qint64(b.Left) + 20)
        b.Left = screen.width() > b.Width ? int(right - b.Width) : screen.x();
    if (bottom <= qint64(b.Top) + 50)
        b.Top = screen.height() > b.Height ? int(bottom - b.Height) : screen.y();
    return b;
}

QString TFormPositionStore::GetIniFileName() const
{
    return IniFileName.isEmpty() ? TIniFiler::DefaultIniName() : IniFileName;
}

bool TFormPositionStore::Restore(const TFormBounds& current, const QRect& screen, TFormBounds& target)
{
    if (!Active)
        return false;
    if (OnRestore)
        OnRestore();
    const TFormBounds stored = ReadStoredFormBounds(Depot, GetIniFileName(), FormName);
    if (!HasStoredSize(stored)) {
        last_ = current;
        return false;
    }
    target = KeepFormOnScreen(stored, screen);
    last_ = target;
    return true;
}

void TFormPositionStore::Save(const TFormBounds& current)
{
    if (OnSave)
        OnSave();
    // Write errors are swallowed: the window closes all the same.
    WriteStoredFormBounds(Depot, GetIniFileName(), FormName, current);
    last_ = current;
}
