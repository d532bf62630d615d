#include "platform/forms/TranslationRegistry.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

namespace platform {

namespace {

// The tab widget showing a page, and the page's index there.
QTabWidget* tabWidgetOf(const QObject* page, int& index)
{
    const auto* widget = qobject_cast<const QWidget*>(page);
    if (!widget)
        return nullptr;
    // A page sits in the tab widget's stack, so its tab widget is an ancestor.
    for (QObject* p = widget->parent(); p; p = p->parent()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
            index = tabs->indexOf(const_cast<QWidget*>(widget));
            if (index >= 0)
                return tabs;
        }
    }
    return nullptr;
}

QList<QRadioButton*> radioItems(const QObject* group)
{
    return group ? group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)
                 : QList<QRadioButton*>();
}

// The text an action shows as tool tip when none was set.
QString plainActionText(const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    if (plain.endsWith(QStringLiteral("...")))
        plain.chop(3);
    return plain.trimmed();
}

} // namespace

TFormTranslations::TFormTranslations(QWidget* form, int formTag) : form_(form)
{
    if (form && formTag != 0)
        SetTag(form, formTag);
}

QString TFormTranslations::FormName() const
{
    return form_ ? form_->objectName() : QString();
}

void TFormTranslations::Register(QObject* control, int tag, TTranslatableKind kind)
{
    if (!control)
        return;
    SetTag(control, tag);
    if (control == form_)
        return;
    for (TEntry& entry : entries_) {
        if (entry.Control == control) {
            entry.Kind = kind;
            return;
        }
    }
    entries_.push_back(TEntry{QPointer<QObject>(control), kind});
}

QObject* TFormTranslations::FindByName(const QString& name) const
{
    if (form_ && form_->objectName() == name)
        return form_;
    for (const TEntry& entry : entries_)
        if (entry.Control && entry.Control->objectName() == name)
            return entry.Control;
    return nullptr;
}

bool TFormTranslations::KindOf(const QObject* control, TTranslatableKind& kind) const
{
    if (!control)
        return false;
    if (control == form_) {
        kind = TTranslatableKind::Form;
        return true;
    }
    for (const TEntry& entry : entries_) {
        if (entry.Control == control) {
            kind = entry.Kind;
            return true;
        }
    }
    return false;
}

QString ControlCaption(const QObject* control, TTranslatableKind kind)
{
    if (!control)
        return QString();
    switch (kind) {
    case TTranslatableKind::Form:
        if (auto* w = qobject_cast<const QWidget*>(control))
            return w->windowTitle();
        break;
    case TTranslatableKind::Label:
        if (auto* l = qobject_cast<const QLabel*>(control))
            return l->text();
        break;
    case TTranslatableKind::CheckBox:
    case TTranslatableKind::RadioButton:
    case TTranslatableKind::Button:
    case TTranslatableKind::SpeedButton:
        if (auto* b = qobject_cast<const QAbstractButton*>(control))
            return b->text();
        break;
    case TTranslatableKind::GroupBox:
    case TTranslatableKind::RadioGroup:
        if (auto* g = qobject_cast<const QGroupBox*>(control))
            return g->title();
        break;
    case TTranslatableKind::TabSheet: {
        int index = -1;
        if (QTabWidget* tabs = tabWidgetOf(control, index))
            return tabs->tabText(index);
        break;
    }
    case TTranslatableKind::MenuItem:
    case TTranslatableKind::Action:
        if (auto* a = qobject_cast<const QAction*>(control))
            return a->text();
        break;
    case TTranslatableKind::Chart:
    case TTranslatableKind::Edit:
    case TTranslatableKind::ListBox:
    case TTranslatableKind::TabbedNotebook:
        break;
    }
    return QString();
}

void SetControlCaption(QObject* control, TTranslatableKind kind, const QString& caption)
{
    if (!control)
        return;
    switch (kind) {
    case TTranslatableKind::Form:
        if (auto* w = qobject_cast<QWidget*>(control))
            w->setWindowTitle(caption);
        break;
    case TTranslatableKind::Label:
        if (auto* l = qobject_cast<QLabel*>(control))
            l->setText(caption);
        break;
    case TTranslatableKind::CheckBox:
    case TTranslatableKind::RadioButton:
    case TTranslatableKind::Button:
    case TTranslatableKind::SpeedButton:
        if (auto* b = qobject_cast<QAbstractButton*>(control))
            b->setText(caption);
        break;
    case TTranslatableKind::GroupBox:
    case TTranslatableKind::RadioGroup:
        if (auto* g = qobject_cast<QGroupBox*>(control))
            g->setTitle(caption);
        break;
    case TTranslatableKind::TabSheet: {
        int index = -1;
        if (QTabWidget* tabs = tabWidgetOf(control, index))
            tabs->setTabText(index, caption);
        break;
    }
    case TTranslatableKind::MenuItem:
    case TTranslatableKind::Action:
        if (auto* a = qobject_cast<QAction*>(control))
            a->setText(caption);
        break;
    case TTranslatableKind::Chart:
    case TTranslatableKind::Edit:
    case TTranslatableKind::ListBox:
    case TTranslatableKind::TabbedNotebook:
        break;
    }
}

QString ControlHint(const QObject* control, TTranslatableKind kind)
{
    if (!control)
        return QString();
    if (kind == TTranslatableKind::TabSheet) {
        int index = -1;
        if (QTabWidget* tabs = tabWidgetOf(control, index))
            return tabs->tabToolTip(index);
        return QString();
    }
    if (auto* a = qobject_cast<const QAction*>(control)) {
        const QString tip = a->toolTip();
        return tip == plainActionText(a->text()) ? QString() : tip;
    }
    if (auto* w = qobject_cast<const QWidget*>(control))
        return w->toolTip();
    return QString();
}

void SetControlHint(QObject* control, TTranslatableKind kind, const QString& hint)
{
    if (!control)
        return;
    if (kind == TTranslatableKind::TabSheet) {
        int index = -1;
        if (QTabWidget* tabs = tabWidgetOf(control, index))
            tabs->setTabToolTip(index, hint);
        return;
    }
    if (auto* a = qobject_cast<QAction*>(control))
        a->setToolTip(hint);
    else if (auto* w = qobject_cast<QWidget*>(control))
        w->setToolTip(hint);
}

QStringList ControlItems(const QObject* control, TTranslatableKind kind)
{
    QStringList items;
    if (!control)
        return items;
    switch (kind) {
    case TTranslatableKind::RadioGroup:
        for (const QRadioButton* b : radioItems(control))
            items.append(b->text());
        break;
    case TTranslatableKind::ListBox:
        if (auto* list = qobject_cast<const QListWidget*>(control))
            for (int i = 0; i < list->count(); ++i)
                items.append(list->item(i)->text());
        break;
    case TTranslatableKind::TabbedNotebook:
        if (auto* tabs = qobject_cast<const QTabWidget*>(control))
            for (int i = 0; i < tabs->count(); ++i)
                items.append(tabs->tabText(i));
        break;
    default:
        break;
    }
    return items;
}

void SetControlItem(QObject* control, TTranslatableKind kind, int index, const QString& text)
{
    if (!control || index < 0)
        return;
    switch (kind) {
    case TTranslatableKind::RadioGroup: {
        const QList<QRadioButton*> buttons = radioItems(control);
        if (index < buttons.size())
            buttons[index]->setText(text);
        break;
    }
    case TTranslatableKind::ListBox:
        if (auto* list = qobject_cast<QListWidget*>(control))
            if (QListWidgetItem* item = list->item(index))
                item->setText(text);
        break;
    case TTranslatableKind::TabbedNotebook:
        if (auto* tabs = qobject_cast<QTabWidget*>(control))
            if (index < tabs->count())
                tabs->setTabText(index, text);
        break;
    default:
        break;
    }
}

} // namespace platform
