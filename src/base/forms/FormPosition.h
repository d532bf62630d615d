#pragma once
// A component that a window carries to remember where it was and how big it
// was. Created with its window as owner, it restores the stored bounds when the
// window is shown for the first time and stores them again when the window is
// allowed to close and when it is destroyed. The window's own code needs no
// call: the component watches the window's events.
#include "base/FormPosition.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

class TFormPosition : public QObject {
    Q_OBJECT
public:
    // owner: the window whose bounds are kept; the component becomes its child.
    explicit TFormPosition(QWidget* owner);
    ~TFormPosition() override;

    bool Active() const { return store_.Active; }
    void SetActive(bool active) { store_.Active = active; }
    TDepot Depot() const { return store_.Depot; }
    void SetDepot(TDepot depot) { store_.Depot = depot; }
    QString IniFileName() const { return store_.IniFileName; }
    void SetIniFileName(const QString& name) { store_.IniFileName = name; }

    // Fired at the start of every restore and every save, with the component.
    std::function<void(QObject* sender)> OnRestore;
    std::function<void(QObject* sender)> OnSave;

    QString GetIniFileName() const { return store_.GetIniFileName(); }
    // The name the window's values are stored under: the window's object name,
    // else its class name without the leading 'T'.
    QString FormName() const;

    // Both can be called directly.
    void Restore();
    void Save();

    // The screen area a restored window is kept on; by default the available
    // area of all screens. Tests set a fixed one.
    void SetScreenArea(const QRect& area) { screenArea_ = area; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Save(const TFormBounds& bounds);
    bool restore();                         // true when stored bounds were applied
    TFormBounds ownerBounds() const;
    QRect screenArea() const;

    QPointer<QWidget> owner_;
    TFormPositionStore store_;
    TFormBounds lastSeen_;                  // the owner's bounds as last seen alive
    QRect screenArea_;
    bool shownOnce_ = false;
};
