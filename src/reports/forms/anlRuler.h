#pragma once
// The paragraph ruler of the report editor: shaded page margins, a scale
// counted from the left margin, and four draggable indent markers. It reports
// what the user does through its signals and leaves the bound editor alone;
// while something is dragged it draws a dotted guide line over the editor, on
// a transparent overlay of its own.
#include "reports/RulerLogic.h"

#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;

class TRulerGuideOverlay;

class TanlRuler : public QWidget {
    Q_OBJECT
public:
    explicit TanlRuler(QWidget* parent = nullptr);
    ~TanlRuler() override;

    // The editor over which the guide line is drawn; may be null.
    QAbstractScrollArea* Richedit() const { return richedit_; }
    void SetRichedit(QAbstractScrollArea* editor);

    uint8_t RulerTab() const { return geo_.RulerTab; }
    void SetRulerTab(uint8_t v) { geo_.RulerTab = v; }
    int32_t MinIndentDist() const { return geo_.MinIndentDist; }
    void SetMinIndentDist(int32_t v) { geo_.MinIndentDist = v; }
    uint16_t Factor() const { return geo_.Factor; }
    void SetFactor(uint16_t v);
    uint16_t TabDist() const { return geo_.TabDist; }
    void SetTabDist(uint16_t v);

    int32_t MarginLeft() const { return geo_.MarginLeft(); }
    void SetMarginLeft(int32_t v);
    int32_t MarginRight() const { return geo_.MarginRight(); }
    void SetMarginRight(int32_t v);
    int32_t BorderLeft() const { return geo_.BorderLeft; }
    void SetBorderLeft(int32_t v);
    int32_t BorderUp() const { return geo_.BorderUp; }
    void SetBorderUp(int32_t v);
    int32_t BorderDown() const { return geo_.BorderDown; }
    void SetBorderDown(int32_t v);
    int32_t BorderRight() const { return geo_.BorderRight; }
    void SetBorderRight(int32_t v);

    int32_t IndentFirst() const { return geo_.IndentFirst(); }
    void SetIndentFirst(int32_t v);
    int32_t IndentLeft() const { return geo_.IndentLeft(); }
    void SetIndentLeft(int32_t v);
    int32_t IndentRight() const { return geo_.IndentRight(); }
    void SetIndentRight(int32_t v);

    bool ShowSmallLines() const { return geo_.ShowSmallLines; }
    void SetShowSmallLines(bool v);
    bool ShowLargeLines() const { return geo_.ShowLargeLines; }
    void SetShowLargeLines(bool v);
    bool ShowIndents() const { return geo_.ShowIndents; }
    void SetShowIndents(bool v);
    bool ShowNumbers() const { return geo_.ShowNumbers; }
    void SetShowNumbers(bool v);
    bool ShowMarginHandlers() const { return geo_.ShowMarginHandlers; }
    void SetShowMarginHandlers(bool v);

    // Puts the markers where a paragraph's indents are, without the setters'
    // rules (the paragraph decides, not the user).
    void PlaceIndents(int32_t first, int32_t left, int32_t right);

    const reports::TRulerGeometry& Geometry() const { return geo_; }
    // Whether the guide line is showing, and at which editor column.
    bool GuideVisible() const;
    int GuideX() const;

signals:
    void OnIndentChange(TanlRuler* Sender, int IndentID);
    void OnIndentDrag(TanlRuler* Sender, int IndentID);
    void OnIndentClick(TanlRuler* Sender, int IndentID);
    void OnIndentDblClick(TanlRuler* Sender, int IndentID);
    void OnMarginChange(TanlRuler* Sender, int MarginID);
    void OnMarginDrag(TanlRuler* Sender, int MarginID);
    void OnMarginClick(TanlRuler* Sender, int MarginID);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setIndentChecked(int id, int32_t v);
    void setMarginChecked(int id, int32_t v);
    void showGuideAt(int rulerX);
    void hideGuide();
    void updateCursor(int x, int y);

    reports::TRulerGeometry geo_;
    QPointer<QAbstractScrollArea> richedit_;
    QPointer<TRulerGuideOverlay> overlay_;
    int dragMarker_ = -1;           // marker being dragged, or -1
    int dragMargin_ = -1;           // margin boundary being dragged, or -1
    int pressX_ = 0;
    int startMargin_ = 0;
    int startLeft_[4] = {0, 0, 0, 0};
};
