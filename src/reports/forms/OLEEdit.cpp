#include "reports/forms/OLEEdit.h"

#include "reports/EditorText.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

// An image carried by the data: the image itself, or local image files.
QList<QImage> imagesOf(const QMimeData* source)
{
    QList<QImage> images;
    if (!source)
        return images;
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull())
            images << image;
        return images;
    }
    if (source->hasUrls()) {
        for (const QUrl& url : source->urls()) {
            if (!url.isLocalFile())
                continue;
            QImageReader reader(url.toLocalFile());
            if (!reader.canRead())
                continue;
            const QImage image = reader.read();
            if (!image.isNull())
                images << image;
        }
    }
    return images;
}

bool carriesImageFiles(const QMimeData* source)
{
    if (!source || !source->hasUrls())
        return false;
    for (const QUrl& url : source->urls())
        if (url.isLocalFile() && !QImageReader::imageFormat(url.toLocalFile()).isEmpty())
            return true;
    return false;
}

} // namespace

TOLEEdit::TOLEEdit(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
}

void TOLEEdit::Clear()
{
    // QTextDocument::clear also forgets the document's resources, so no
    // picture of the old text lingers in the new one.
    document()->clear();
    setCurrentCharFormat(QTextCharFormat());
}

QString TOLEEdit::InsertImage(const QImage& image)
{
    const QString name = reports::AddImageResource(*document(), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    textCursor().insertImage(format);
    return name;
}

bool TOLEEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return (source && source->hasImage()) || carriesImageFiles(source) || QTextEdit::canInsertFromMimeData(source);
}

void TOLEEdit::insertFromMimeData(const QMimeData* source)
{
    const QList<QImage> images = imagesOf(source);
    if (!images.isEmpty()) {
        for (const QImage& image : images)
            InsertImage(image);
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void TOLEEdit::dragEnterEvent(QDragEnterEvent* event)
{
    QTextEdit::dragEnterEvent(event);
    if (canInsertFromMimeData(event->mimeData())) {
        lastDropAction_ = reports::DropEffectFor(event->modifiers(), event->possibleActions(), event->proposedAction());
        event->setDropAction(lastDropAction_);
        event->accept();
    }
}

void TOLEEdit::dragMoveEvent(QDragMoveEvent* event)
{
    QTextEdit::dragMoveEvent(event);
    if (canInsertFromMimeData(event->mimeData())) {
        lastDropAction_ = reports::DropEffectFor(event->modifiers(), event->possibleActions(), event->proposedAction());
        event->setDropAction(lastDropAction_);
        event->accept();
    }
}

void TOLEEdit::dropEvent(QDropEvent* event)
{
    const Qt::DropAction action =
        reports::DropEffectFor(event->modifiers(), event->possibleActions(), event->proposedAction());
    lastDropAction_ = action;
    const QList<QImage> images = imagesOf(event->mimeData());
    if (!images.isEmpty()) {
        setTextCursor(cursorForPosition(event->position().toPoint()));
        for (const QImage& image : images)
            InsertImage(image);
        event->setDropAction(action);
        event->accept();
        return;
    }
    QTextEdit::dropEvent(event);
    if (event->isAccepted())
        event->setDropAction(action);
}

void TOLEEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
