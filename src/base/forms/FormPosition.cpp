#include "base/forms/FormPosition.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TFormPosition::TFormPosition(QWidget* owner)
    : QObject(owner), owner_(owner)
{
    store_.OnRestore = [this] {
        if (OnRestore)
            OnRestore(this);
    };
    store_.OnSave = [this] {
        if (OnSave)
            OnSave(this);
    };
    if (owner_) {
        lastSeen_ = ownerBounds();
        owner_->installEventFilter(this);
    }
}

TFormPosition::~TFormPosition()
{
    // The component dies with its window. By then the window is half torn
    // down, so the bounds last seen while it was alive are stored. A window
    // that was never shown keeps what was stored before: its designed bounds
    // are no news worth overwriting a user's placement with.
    // The name is the one taken while the window was whole: by now its class
    // is no longer what it was.
    if (shownOnce_ && store_.Active && store_.Differs(lastSeen_))
        store_.Save(lastSeen_);
    if (owner_)
        owner_->removeEventFilter(this);
}

QString TFormPosition::FormName() const
{
    if (!owner_)
        return {};
    if (!owner_->objectName().isEmpty())
        return owner_->objectName();
    QString name = QString::fromLatin1(owner_->metaObject()->className());
    if (name.startsWith(QLatin1Char('T')) && name.size() > 1)
        name.remove(0, 1);
    return name;
}

TFormBounds TFormPosition::ownerBounds() const
{
    if (!owner_)
        return lastSeen_;
    // The client area, position and size: what is stored is what is
    // restored. The frame is not known before the window manager has framed
    // the window, so a frame position given to a window that is not yet
    // mapped places its client area there, and a frame position read back
    // at close then lies higher by the title bar: the window would creep up
    // at each start.
    const QRect g = owner_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

QRect TFormPosition::screenArea() const
{
    if (screenArea_.isValid())
        return screenArea_;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableVirtualGeometry();
    return {};
}

void TFormPosition::Restore()
{
    restore();
}

bool TFormPosition::restore()
{
    if (!owner_)
        return false;
    store_.FormName = FormName();
    TFormBounds target;
    const TFormBounds current = ownerBounds();
    if (!store_.Restore(current, screenArea(), target))
        return false;
    if (target.Width != current.Width || target.Height != current.Height || target.Left != current.Left
        || target.Top != current.Top)
        owner_->setGeometry(target.Left, target.Top, target.Width, target.Height);
    lastSeen_ = ownerBounds();
    return true;
}

void TFormPosition::Save()
{
    Save(owner_ ? ownerBounds() : lastSeen_);
}

void TFormPosition::Save(const TFormBounds& bounds)
{
    if (owner_)
        store_.FormName = FormName();
    store_.Save(bounds);
}

bool TFormPosition::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != owner_ || !event)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // Only the first show: restoring a minimised window must not move it
        // back to where it was at start-up.
        if (!shownOnce_) {
            shownOnce_ = true;
            store_.FormName = FormName();
            if (store_.Active && !restore()) {
                // Nothing stored: the bounds the window system gives the
                // window once it is on the screen are the ones to compare
                // with at close, not the transitional ones seen while showing.
                QMetaObject::invokeMethod(this, [this] {
                    if (owner_ && owner_->isVisible()) {
                        lastSeen_ = ownerBounds();
                        store_.SetLastKnown(lastSeen_);
                    }
                }, Qt::QueuedConnection);
            }
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (!(owner_->windowState() & Qt::WindowMinimized))
            lastSeen_ = ownerBounds();
        break;
    case QEvent::Close: {
        // The window's own close handling decides first (it may refuse); the
        // position is stored only when closing is still allowed. The event is
        // delivered here, so it is consumed afterwards.
        QObject* target = owner_;
        target->event(event);
        if (owner_ && event->isAccepted()) {
            lastSeen_ = ownerBounds();
            if (store_.Active && store_.Differs(lastSeen_))
                Save();
        }
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
