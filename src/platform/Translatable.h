#pragma once
// Translatable controls: each carries its string id ("tag") as a property, and
// its text in a language module is the caption, optionally followed by "|" and
// the hint. The window-side registry (platform/forms/TranslationRegistry.h)
// lists a form's translatable controls with their kinds; what follows needs no
// widget and is shared by the module reader, the translation and the
// generator.
#include <QString>

class QObject;

namespace platform {

// The kinds of control a translation knows; each sets caption, hint and items
// in its own way.
enum class TTranslatableKind {
    Form,            // window title and tool tip
    Label,           // QLabel (also report labels)
    CheckBox,        // QCheckBox
    RadioButton,     // QRadioButton
    GroupBox,        // QGroupBox (title)
    Button,          // QPushButton
    SpeedButton,     // QToolButton
    TabSheet,        // a page of a QTabWidget (its tab text and tab tool tip)
    MenuItem,        // QAction shown in a menu
    Action,          // QAction of an action list
    Chart,           // any widget: its tool tip only
    Edit,            // QLineEdit or QPlainTextEdit: the tool tip only
    RadioGroup,      // QGroupBox whose direct QRadioButton children are its items
    ListBox,         // QListWidget: its items
    TabbedNotebook,  // QTabWidget: its page names
};

// Menu items and actions go into the generator's menu block beside the form's
// own entry; every other kind into the controls block.
bool IsMenuKind(TTranslatableKind kind);

// Name of the dynamic property that holds a control's tag.
inline const char* TagPropertyName() { return "Tag"; }

// A control's tag; 0 (untranslated) when it has none.
int TagOf(const QObject* object);
void SetTag(QObject* object, int tag);

// A module text split at its first "|": the caption before, the hint after.
struct TCaptionHint {
    QString Head;
    QString Rest;
    bool HasSeparator = false;
};
TCaptionHint SplitCaptionHint(const QString& text);

// The text of a caption and a hint: the caption, and "|" and the hint when the
// hint is not empty.
QString JoinCaptionHint(const QString& caption, const QString& hint);

} // namespace platform
