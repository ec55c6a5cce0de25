#include "editor/EditorGeometry.h"

#include <algorithm>
#include <cstdlib>

int resizedByStep(int size, int delta) {
    if (delta >= 0) return size + delta;
    return std::max(size + delta, std::min(size, kMinimumControlSize));
}

EditRect EditRect::normalized() const {
    return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
            std::max(Top, Bottom)};
}

QRect EditRect::toQRect() const {
    if (isEmpty()) return {};
    return QRect(Left, Top, width(), height());
}

bool intersects(const EditRect& a, const EditRect& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    const EditRect common{std::max(a.Left, b.Left), std::max(a.Top, b.Top),
                          std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    return !common.isEmpty();
}

QRect frameGeometryFor(const QRect& control, int boxWidth, int boxHeight) {
    return QRect(control.x() - boxWidth / 2, control.y() - boxHeight / 2,
                 control.width() + boxWidth, control.height() + boxHeight);
}

TDragStyle dragStyleAt(int x, int y, int W, int H, int bw, int bh) {
    // The middle zones are twice as wide as the middle boxes drawn, so that they are easy
    // to hit; the corners are tested first and win where they overlap a middle zone.
    if (x < bw && y < bh) return dsLeftTop;
    if (W - x < bw && y < bh) return dsRightTop;
    if (x < bw && H - y < bh) return dsLeftBottom;
    if (W - x < bw && H - y < bh) return dsRightBottom;
    if (std::abs(2 * x - W) < 2 * bw && y < bh) return dsTop;
    if (std::abs(2 * x - W) < 2 * bw && H - y < bh) return dsBottom;
    if (x < bw && std::abs(2 * y - H) < 2 * bh) return dsLeft;
    if (W - x < bw && std::abs(2 * y - H) < 2 * bh) return dsRight;
    return dsMove;
}

QList<QRect> frameBoxes(int W, int H, int bw, int bh, bool single) {
    auto box = [](int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); };
    QList<QRect> boxes{box(0, 0, bw, bh), box(W - bw, 0, W, bh), box(0, H - bh, bw, H),
                       box(W - bw, H - bh, W, H)};
    if (single) {
        boxes << box((W - bw) / 2, 0, (W + bw) / 2, bh)
              << box((W - bw) / 2, H - bh, (W + bw) / 2, H)
              << box(0, (H - bh) / 2, bw, (H + bh) / 2)
              << box(W - bw, (H - bh) / 2, W, (H + bh) / 2);
    }
    return boxes;
}

QPoint snapOffset(QPoint offset, int gridX, int gridY) {
    if (gridX >= 1) offset.setX(gridX * (offset.x() / gridX));
    if (gridY >= 1) offset.setY(gridY * (offset.y() / gridY));
    return offset;
}

EditRect applyDrag(const EditRect& start, QPoint offset, TDragStyle style) {
    EditRect r = start;
    const int dx = offset.x();
    const int dy = offset.y();
    switch (style) {
        case dsMove:
            r.Left += dx;
            r.Right += dx;
            r.Top += dy;
            r.Bottom += dy;
            break;
        case dsLeft:
            r.Left += dx;
            break;
        case dsRight:
            r.Right += dx;
            break;
        case dsTop:
            r.Top += dy;
            break;
        case dsBottom:
            r.Bottom += dy;
            break;
        case dsLeftTop:
            r.Left += dx;
            r.Top += dy;
            break;
        case dsRightTop:
            r.Right += dx;
            r.Top += dy;
            break;
        case dsLeftBottom:
            r.Left += dx;
            r.Bottom += dy;
            break;
        case dsRightBottom:
            r.Right += dx;
            r.Bottom += dy;
            break;
        case dsUnknown:
            return EditRect{};
    }
    // A dragged edge stops short of the opposite one, which stays put.
    const int m = kMinimumControlSize;
    if (style == dsLeft || style == dsLeftTop || style == dsLeftBottom)
        r.Left = std::min(r.Left, r.Right - m);
    if (style == dsRight || style == dsRightTop || style == dsRightBottom)
        r.Right = std::max(r.Right, r.Left + m);
    if (style == dsTop || style == dsLeftTop || style == dsRightTop)
        r.Top = std::min(r.Top, r.Bottom - m);
    if (style == dsBottom || style == dsLeftBottom || style == dsRightBottom)
        r.Bottom = std::max(r.Bottom, r.Top + m);
    return r;
}

namespace EditorLayout {
namespace {

int right(const QRect& r) {
    return r.x() + r.width();
}
int bottom(const QRect& r) {
    return r.y() + r.height();
}

// No search ever picks a control 32000 pixels or more away: the editor's neighbour searches
// start from that distance.
constexpr int kFarAway = 32000;

// How far `c` lies beyond `a` in a direction, by the edge on that side; kFarAway when it
// does not lie beyond.
int distanceBeyond(const QRect& a, const QRect& c, TSide direction) {
    switch (direction) {
        case sLeft:
            return c.x() < a.x() ? a.x() - c.x() : kFarAway;
        case sRight:
            return right(c) > right(a) ? right(c) - right(a) : kFarAway;
        case sTop:
            return c.y() < a.y() ? a.y() - c.y() : kFarAway;
        case sBottom:
            return bottom(c) > bottom(a) ? bottom(c) - bottom(a) : kFarAway;
        case sCenter:
            break;
    }
    return kFarAway;
}

// The nearest item beyond items[index] among those `candidate` accepts; the earliest wins ties.
template <typename Candidate>
int nearest(const QList<QRect>& items, int index, TSide direction, Candidate candidate) {
    if (items.size() < 2 || index < 0 || index >= items.size()) return -1;
    int best = kFarAway;
    int found = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (i == index || !candidate(items[i])) continue;
        const int distance = distanceBeyond(items[index], items[i], direction);
        if (distance < best) {
            best = distance;
            found = i;
        }
    }
    return found;
}

}  // namespace

int alignControl(const QList<QRect>& items, TSide side) {
    if (items.isEmpty()) return -1;
    int pick = 0;
    for (int i = 1; i < items.size(); ++i) {
        const QRect& c = items[i];
        const QRect& p = items[pick];
        bool better = false;
        switch (side) {
            case sLeft:
                better = c.x() < p.x();
                break;
            case sRight:
                better = right(c) > right(p);
                break;
            case sTop:
                better = c.y() < p.y();
                break;
            case sBottom:
                better = bottom(c) > bottom(p);
                break;
            case sCenter:
                break;
        }
        if (better) pick = i;
    }
    return pick;
}

int nearChild(const QList<QRect>& items, int index, TSide direction) {
    return nearest(items, index, direction, [](const QRect&) { return true; });
}

int sibling(const QList<QRect>& items, int index, TSide direction) {
    if (index < 0 || index >= items.size()) return -1;
    const QRect a = items[index];
    // A sibling must overlap the control across the direction (touching counts).
    return nearest(items, index, direction, [&](const QRect& c) {
        return direction == sLeft || direction == sRight
                   ? std::max(a.y(), c.y()) <= std::min(bottom(a), bottom(c))
                   : std::max(a.x(), c.x()) <= std::min(right(a), right(c));
    });
}

QList<QRect> alignTo(QList<QRect> items, TSide side, TAlignStyle style) {
    if (items.size() < 2) return items;
    const QRect ref = items[alignControl(items, side)];
    for (QRect& c : items) {
        switch (side) {
            case sLeft:
                c.moveLeft(ref.x());
                break;
            case sRight:
                c.moveLeft(right(ref) - c.width());
                break;
            case sTop:
                c.moveTop(ref.y());
                break;
            case sBottom:
                c.moveTop(bottom(ref) - c.height());
                break;
            case sCenter:
                if (style == sHorizontal)
                    c.moveLeft(ref.x() + ref.width() / 2 - c.width() / 2);
                else
                    c.moveTop(ref.y() + ref.height() / 2 - c.height() / 2);
                break;
        }
    }
    return items;
}

QList<QRect> spaceEqu(QList<QRect> items, TAlignStyle style) {
    if (items.size() < 3) return {};
    const bool horizontal = style == sHorizontal;
    const int first = alignControl(items, horizontal ? sLeft : sTop);
    const int last = alignControl(items, horizontal ? sRight : sBottom);
    int total = 0;
    for (const QRect& c : items) total += horizontal ? c.width() : c.height();
    const QRect& f = items[first];
    const QRect& l = items[last];
    const int span = horizontal ? right(l) - f.x() : bottom(l) - f.y();
    const int gap = (span - total) / (int(items.size()) - 1);
    if (gap < 1) return {};
    int current = first;
    for (;;) {
        const int next = nearChild(items, current, horizontal ? sRight : sBottom);
        if (next < 0 || next == last) break;
        const QRect& c = items[current];
        if (horizontal)
            items[next].moveLeft(right(c) + gap);
        else
            items[next].moveTop(bottom(c) + gap);
        current = next;
    }
    return items;
}

QList<QRect> widthEqu(QList<QRect> items) {
    for (int i = 1; i < items.size(); ++i) items[i].setWidth(items[0].width());
    return items;
}

QList<QRect> heightEqu(QList<QRect> items) {
    for (int i = 1; i < items.size(); ++i) items[i].setHeight(items[0].height());
    return items;
}

}  // namespace EditorLayout

namespace {

// The whole number a taken name reduces to for a base: the name with every occurrence of the
// base taken out (letter case significant); 0 when the name holds no base or the rest is no
// number.
int reducedNumber(const QString& name, const QString& base) {
    if (base.isEmpty() || !name.contains(base, Qt::CaseSensitive)) return 0;
    QString rest = name;
    rest.remove(base, Qt::CaseSensitive);
    bool ok = false;
    const int n = rest.toInt(&ok, 10);
    return ok ? n : 0;
}

}  // namespace

FreeNames::FreeNames(const QStringList& taken) {
    for (const QString& t : taken) take(t);
}

bool FreeNames::isTaken(const QString& name) const {
    return m_folded.contains(name.toCaseFolded());
}

FreeNames::Numbers& FreeNames::numbersFor(const QString& base) {
    auto it = m_bases.find(base);
    if (it != m_bases.end()) return *it;
    Numbers numbers;
    for (const QString& t : std::as_const(m_taken))
        if (const int n = reducedNumber(t, base); n > 0) numbers.used.insert(n);
    return *m_bases.insert(base, numbers);
}

QString FreeNames::find(const QString& name, const QString& base) {
    if (!name.isEmpty() && !isTaken(name)) return name;
    if (base.isEmpty()) return QStringLiteral("1");
    Numbers& numbers = numbersFor(base);
    while (numbers.used.contains(numbers.next)) ++numbers.next;
    return base + QString::number(numbers.next);
}

void FreeNames::take(const QString& name) {
    m_taken << name;
    m_folded.insert(name.toCaseFolded());
    for (auto it = m_bases.begin(); it != m_bases.end(); ++it)
        if (const int n = reducedNumber(name, it.key()); n > 0) it->used.insert(n);
}

QString uniqueComponentName(const QString& name, const QString& base, const QStringList& taken) {
    return FreeNames(taken).find(name, base);
}
