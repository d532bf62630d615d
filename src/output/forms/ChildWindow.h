#pragma once
// What the chart window, the table window and the selection tree do when they
// are created: their creation parameters go through ChildWindowParams (a host
// window takes them in as child windows), and the chart and table windows give
// themselves the child windows' window state and form style.
class QWidget;

// Passes the window's creation parameters through ChildWindowParams and, when
// a host window is set, makes the window a child of it (without its caption
// when the parameters lost theirs).
void CreateChildWindowParams(QWidget& window);

// The window state ChildWindowState and the form style ChildFormStyle.
void ApplyChildWindowStyle(QWidget& window);
