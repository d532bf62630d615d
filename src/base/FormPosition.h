#pragma once
// The remembered place and size of a window, kept per executable and window
// either in an INI file or in the current user's registry stand-in. This is the
// part without widgets: reading and writing the four values and keeping a
// restored window on the screen. The component that hooks into a window's
// show, close and destroy lives in base/forms/FormPosition.h.
#include <QRect>
#include <QString>
#include <functional>

enum class TDepot { dpIniFile, dpRegistry };

// Left and top edge, width and height in screen pixels.
struct TFormBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const TFormBounds&) const = default;
};

// "Form_" followed by the window's name: the INI section, and the last part of
// the registry key.
QString FormPositionSection(const QString& formName);

// "\Software\FormPos\" + the executable's file name + "\" + "Form_" + name.
QString FormPositionRegistryKey(const QString& formName);

// Reads the four stored values; all four are 0 for what is missing. A missing
// file, section, key or value is not an error.
TFormBounds ReadStoredFormBounds(TDepot depot, const QString& iniFileName, const QString& formName);

// Writes the four values; false when they could not be stored (the caller
// swallows it: a window position is never worth a message).
bool WriteStoredFormBounds(TDepot depot, const QString& iniFileName, const QString& formName,
                           const TFormBounds& bounds);

// Whether stored values describe a window at all: a width or height of 0 or
// less means nothing usable was stored.
bool HasStoredSize(const TFormBounds& stored);

// Pulls a window whose left edge lies within 20 pixels of the screen's right
// end (or beyond), or whose top edge lies within 50 pixels of its bottom (or
// beyond), back onto the screen: to the far edge when the window fits, else to
// the screen's near edge. Positions before the screen's start stay.
TFormBounds KeepFormOnScreen(const TFormBounds& stored, const QRect& screen);

// The bookkeeping of one window's position store: where it stores, whether it
// is active, and the last bounds it restored or saved, so a close that moved
// nothing writes nothing.
class TFormPositionStore {
public:
    bool Active = true;
    TDepot Depot = TDepot::dpIniFile;
    QString IniFileName;                    // empty: the executable's path with ".INI"
    QString FormName;

    // Called at the start of every restore and every save.
    std::function<void()> OnRestore;
    std::function<void()> OnSave;

    // IniFileName, or the program's own INI file when it is empty.
    QString GetIniFileName() const;

    // Only when Active: reads the stored bounds. With nothing stored the
    // window's current bounds become the last known ones and false is
    // answered; otherwise the stored bounds, kept on the screen, are put into
    // target (and become the last known ones) and true is answered.
    bool Restore(const TFormBounds& current, const QRect& screen, TFormBounds& target);

    // Stores the window's current bounds (also when not Active: a direct call
    // is a request) and makes them the last known ones.
    void Save(const TFormBounds& current);

    // Whether the window's bounds differ from the last known ones.
    bool Differs(const TFormBounds& current) const { return !(current == last_); }
    TFormBounds LastKnown() const { return last_; }
    void SetLastKnown(const TFormBounds& bounds) { last_ = bounds; }

private:
    TFormBounds last_;
};
