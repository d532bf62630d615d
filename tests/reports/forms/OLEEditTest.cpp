#include "reports/forms/OLEEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <gtest/gtest.h>

namespace {

// Image names of the document's inline pictures, in order.
QStringList imageNames(const QTextDocument& doc)
{
    QStringList names;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

QImage redSquare()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

} // namespace

TEST(OLEEdit, PastedImageBecomesAnInlineResource)
{
    TOLEEdit edit;
    edit.show();
    edit.setPlainText("vor nach");
    QTextCursor c = edit.textCursor();
    c.setPosition(4);
    edit.setTextCursor(c);
    auto* data = new QMimeData;
    data->setImageData(redSquare());
    QApplication::clipboard()->setMimeData(data);
    ASSERT_TRUE(edit.canPaste());
    edit.paste();
    const QStringList names = imageNames(*edit.document());
    ASSERT_EQ(names.size(), 1);
    const QVariant res = edit.document()->resource(QTextDocument::ImageResource, QUrl(names[0]));
    ASSERT_TRUE(res.canConvert<QImage>());
    EXPECT_EQ(qvariant_cast<QImage>(res).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(edit.document()->characterAt(4), QChar::ObjectReplacementCharacter);
}

TEST(OLEEdit, ClearingDropsThePictures)
{
    TOLEEdit edit;
    const QString name = edit.InsertImage(redSquare());
    ASSERT_FALSE(edit.document()->resource(QTextDocument::ImageResource, QUrl(name)).isNull());
    edit.Clear();
    EXPECT_TRUE(edit.document()->isEmpty());
    EXPECT_TRUE(edit.document()->resource(QTextDocument::ImageResource, QUrl(name)).isNull());
    // A picture inserted after clearing gets a name of its own.
    EXPECT_NE(edit.InsertImage(redSquare()), name);
}

TEST(OLEEdit, PlainTextStillPastes)
{
    TOLEEdit edit;
    auto* data = new QMimeData;
    data->setText("Text");
    QApplication::clipboard()->setMimeData(data);
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), "Text");
    EXPECT_TRUE(edit.AutoVerbMenu());
}

// Reaches the drag handlers the way the window system would call them.
class DropTarget : public TOLEEdit {
public:
    using TOLEEdit::dragMoveEvent;
    using TOLEEdit::dropEvent;
};

TEST(OLEEdit, DroppedImageIsInsertedWithTheEffectOfTheKeys)
{
    DropTarget edit;
    edit.resize(300, 200);
    edit.show();
    QApplication::processEvents();
    QMimeData data;
    data.setImageData(redSquare());
    const Qt::DropActions all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const QPointF at(10, 10);
    QDragMoveEvent over(at.toPoint(), all, &data, Qt::NoButton, Qt::ControlModifier | Qt::ShiftModifier);
    edit.dragMoveEvent(&over);
    EXPECT_EQ(edit.LastDropAction(), Qt::LinkAction);
    QDropEvent drop(at, all, &data, Qt::NoButton, Qt::ControlModifier);
    edit.dropEvent(&drop);
    EXPECT_EQ(edit.LastDropAction(), Qt::CopyAction);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(imageNames(*edit.document()).size(), 1);
    // A source that only copies: Ctrl+Shift cannot link, the proposal stays.
    QDropEvent copyOnly(at, Qt::CopyAction, &data, Qt::NoButton, Qt::ControlModifier | Qt::ShiftModifier);
    edit.dropEvent(&copyOnly);
    EXPECT_EQ(edit.LastDropAction(), Qt::CopyAction);
    EXPECT_EQ(imageNames(*edit.document()).size(), 2);
}
