#pragma once
// The translatable controls of one form, in declared order. A form owns one
// TFormTranslations and registers each translatable control with its tag and
// kind; translation and the language-module generator walk this list rather
// than the widget tree, so they keep seeing the controls of their own form
// after another window took some of them into its layout. Controls are held
// by QPointer: a control freed meanwhile is skipped.
//
// The functions below give caption, hint and items of a control by kind, as
// the window system's controls had them.
#include "platform/Translatable.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace platform {

class TFormTranslations {
public:
    struct TEntry {
        QPointer<QObject> Control;
        TTranslatableKind Kind = TTranslatableKind::Label;
    };

    // The form itself is the first entry (kind Form) with the given tag.
    explicit TFormTranslations(QWidget* form, int formTag = 0);

    QWidget* Form() const { return form_; }
    // The form's name as the generator's comments show it (its object name).
    QString FormName() const;
    int FormTag() const { return TagOf(form_); }
    void SetFormTag(int tag) { SetTag(form_, tag); }

    // Adds a control in declared order and gives it its tag. Registering the
    // form again only sets its tag; registering a control twice only updates
    // its tag and kind.
    void Register(QObject* control, int tag, TTranslatableKind kind);

    // The controls registered after the form, in order (freed ones included:
    // their Control is null).
    const std::vector<TEntry>& Entries() const { return entries_; }

    // The registered control of that object name (the form included), or null.
    QObject* FindByName(const QString& name) const;
    // The kind a control was registered with; false when it is not registered.
    bool KindOf(const QObject* control, TTranslatableKind& kind) const;

private:
    QPointer<QWidget> form_;
    std::vector<TEntry> entries_;
};

// Caption of a control: window title, label or button text, group box title,
// tab text or action text; empty for kinds without one (edit, chart, list box,
// tabbed notebook).
QString ControlCaption(const QObject* control, TTranslatableKind kind);
void SetControlCaption(QObject* control, TTranslatableKind kind, const QString& caption);

// Hint of a control (its tool tip). An action whose tool tip is only its text
// counts as having none.
QString ControlHint(const QObject* control, TTranslatableKind kind);
void SetControlHint(QObject* control, TTranslatableKind kind, const QString& hint);

// Items of a radio group (its radio buttons' texts), a list box (its items) or
// a tabbed notebook (its page names); empty for other kinds.
QStringList ControlItems(const QObject* control, TTranslatableKind kind);
void SetControlItem(QObject* control, TTranslatableKind kind, int index, const QString& text);

} // namespace platform
