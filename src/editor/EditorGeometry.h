#pragma once

#include <QHash>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>

// The arithmetic of the layout editor, kept apart from any widget so that it can be checked
// without a window: the selection frame's boxes and hit test, the snapping of a drag, the
// rectangle a drag produces, the layout commands, the neighbour searches and the free-name
// rule for pasted controls.
//
// All integer divisions truncate toward zero (C++ `/` on int), which is what the layout
// arithmetic of the original editor did.

// What a drag on a selection frame does.
enum TDragStyle {
    dsMove,
    dsLeft,
    dsRight,
    dsTop,
    dsBottom,
    dsLeftTop,
    dsRightTop,
    dsLeftBottom,
    dsRightBottom,
    dsUnknown
};

// An edge or the centre; the first four double as directions left, right, up, down.
enum TSide { sLeft, sRight, sTop, sBottom, sCenter };

// Which axis a centring or spacing command works on.
enum TAlignStyle { sHorizontal, sVertical };

// The modifier key a function is bound to; ckNone binds it to no key.
enum TCtrlKey { ckCtrl, ckShift, ckAlt, ckNone };

// A rectangle as left, top, right, bottom with right and bottom exclusive. Unlike QRect it
// keeps an inverted rectangle as it is (a rubber band drawn up or to the left) until it is
// normalised.
struct EditRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static EditRect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    // Empty as the window system counts it: no area, or inverted.
    bool isEmpty() const { return Right <= Left || Bottom <= Top; }
    // The same rectangle with left <= right and top <= bottom.
    EditRect normalized() const;
    // For drawing and intersecting; an empty rectangle gives an empty QRect.
    QRect toQRect() const;
    bool operator==(const EditRect&) const = default;
};

// Whether two rectangles share some area (both taken normalised-as-is: empty ones never do).
bool intersects(const EditRect& a, const EditRect& b);

// The place of a frame around a control at `control` (in the parent's coordinates).
QRect frameGeometryFor(const QRect& control, int boxWidth, int boxHeight);

// The box (or the move area) under a point of a frame W x H with boxes bw x bh.
TDragStyle dragStyleAt(int x, int y, int W, int H, int bw, int bh);

// The boxes a frame W x H paints: four corners, and the four middle boxes when `single`.
QList<QRect> frameBoxes(int W, int H, int bw, int bh, bool single);

// A drag offset cut toward zero to whole grid steps; a grid step below 1 leaves that axis
// unsnapped (the editor never divides by a step that cannot be one).
QPoint snapOffset(QPoint offset, int gridX, int gridY);

// The smallest width and height an edge drag or a keyboard resize leaves a control: below it
// a field's text is gone and its frame's boxes cannot be told apart.
inline constexpr int kMinimumControlSize = 8;

// The rectangle a control at `start` takes when dragged by `offset` with `style`; dsUnknown
// gives the empty rectangle (0, 0, 0, 0). A dragged edge stops kMinimumControlSize short of
// the opposite edge, so an edge pulled past the other one never turns the rectangle inside
// out or leaves it without width or height; the opposite edge stays where it was.
EditRect applyDrag(const EditRect& start, QPoint offset, TDragStyle style);

// A width or height changed by a keyboard step of `delta`: shrinking stops at
// kMinimumControlSize (a control already smaller is not shrunk further); growing is free.
int resizedByStep(int size, int delta);

// The layout commands work on the selected controls' bounds, in selection order. Each
// function returns the new bounds; the callers write back only what changed.
namespace EditorLayout {

// The position of the reference control for an edge (earliest wins ties), or -1 when empty.
int alignControl(const QList<QRect>& items, TSide side);
// The nearest other item beyond items[index] in a direction (sLeft..sBottom), or -1.
int nearChild(const QList<QRect>& items, int index, TSide direction);
// The nearest sibling that overlaps items[index] across the direction, or -1 (items are
// the parent's children in child order, frames left out).
int sibling(const QList<QRect>& items, int index, TSide direction);

QList<QRect> alignTo(QList<QRect> items, TSide side, TAlignStyle style);
// Empty when nothing is to change (fewer than three items, or no room for a gap of 1).
QList<QRect> spaceEqu(QList<QRect> items, TAlignStyle style);
QList<QRect> widthEqu(QList<QRect> items);
QList<QRect> heightEqu(QList<QRect> items);

}  // namespace EditorLayout

// The free name for a pasted component: `name` itself when no name in `taken` equals it
// without regard to case (an empty name is never free), otherwise `base` followed by the smallest
// whole number from 1 up that no taken name containing `base` reduces to.
QString uniqueComponentName(const QString& name, const QString& base, const QStringList& taken);

// The same rule for many names at once, as a paste of many components needs: each name given
// is recorded as taken before the next is sought. Each taken name is reduced once per base,
// and the number tried for a base only grows, so naming n components costs about n steps
// rather than a pass over the taken names for every number skipped.
class FreeNames {
  public:
    explicit FreeNames(const QStringList& taken);

    bool isTaken(const QString& name) const;
    // The free name for `name` (see uniqueComponentName); nothing is recorded.
    QString find(const QString& name, const QString& base);
    void take(const QString& name);

  private:
    struct Numbers {
        QSet<int> used;
        int next = 1;
    };
    Numbers& numbersFor(const QString& base);

    QStringList m_taken;
    QSet<QString> m_folded;
    QHash<QString, Numbers> m_bases;
};
