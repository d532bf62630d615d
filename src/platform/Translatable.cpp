#include "platform/Translatable.h"

#include <QObject>
#include <QVariant>

namespace platform {

bool IsMenuKind(TTranslatableKind kind)
{
    return kind == TTranslatableKind::MenuItem || kind == TTranslatableKind::Action;
}

int TagOf(const QObject* object)
{
    if (!object)
        return 0;
    bool ok = false;
    const int tag = object->property(TagPropertyName()).toInt(&ok);
    return ok ? tag : 0;
}

void SetTag(QObject* object, int tag)
{
    if (object)
        object->setProperty(TagPropertyName(), tag);
}

TCaptionHint SplitCaptionHint(const QString& text)
{
    TCaptionHint parts;
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        parts.Head = text;
        return parts;
    }
    parts.Head = text.left(bar);
    parts.Rest = text.mid(bar + 1);
    parts.HasSeparator = true;
    return parts;
}

QString JoinCaptionHint(const QString& caption, const QString& hint)
{
    return hint.isEmpty() ? caption : caption + QLatin1Char('|') + hint;
}

} // namespace platform
