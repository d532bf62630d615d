#include "output/forms/ChildWindow.h"

#include "output/GraphicsSettings.h"

#include <QWidget>
#include <QWindow>

void CreateChildWindowParams(QWidget& window)
{
    TWindowCreateParams params;
    params.Style = window.isWindow() ? WS_CAPTION : WS_CHILD;
    ChildWindowParams(params);
    if (params.WndParent == 0)
        return;
    window.setWindowFlag(Qt::FramelessWindowHint, (params.Style & WS_CAPTION) == 0);
    window.winId();
    if (QWindow* host = QWindow::fromWinId(static_cast<WId>(params.WndParent)))
        if (QWindow* own = window.windowHandle())
            own->setParent(host);
}

void ApplyChildWindowStyle(QWidget& window)
{
    switch (ChildWindowState) {
    case TChildWindowState::Minimized: window.setWindowState(Qt::WindowMinimized); break;
    case TChildWindowState::Maximized: window.setWindowState(Qt::WindowMaximized); break;
    default: window.setWindowState(Qt::WindowNoState); break;
    }
    // Changing the flags re-creates the window: only when there is a change.
    if (ChildFormStyle == TChildFormStyle::StayOnTop)
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
