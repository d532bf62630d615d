#pragma once
// The rich edit control of the report editor. Pictures that are pasted or
// dropped become inline images of the document (resources of its own, saved
// with it); a drop copies, moves or links by the keys held; clearing the
// control drops those pictures with the text.
#include <QTextEdit>

class QMimeData;

class TOLEEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TOLEEdit(QWidget* parent = nullptr);

    // Whether the context menu may offer the selected object's own commands.
    // Pictures have none, so the ordinary menu is always shown.
    bool AutoVerbMenu() const { return autoVerbMenu_; }
    void SetAutoVerbMenu(bool on) { autoVerbMenu_ = on; }

    // Empties the control: its pictures first, then the text.
    void Clear();

    // Puts an image at the caret as an inline picture; answers its name.
    QString InsertImage(const QImage& image);

    // The effect the last drag-over or drop was given.
    Qt::DropAction LastDropAction() const { return lastDropAction_; }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool autoVerbMenu_ = true;
    Qt::DropAction lastDropAction_ = Qt::IgnoreAction;
};
