#pragma once

// Our own drawings of the courier waybill forms, used as the picture behind the ten fields.
// Nothing here is copied from any courier's artwork: the layout is built around the design
// bounds of the fields (waybillFieldSpecs()), the names, slogans, numbers and terms are made up.
// Output is deterministic: no randomness beyond fixed seeds.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <cstdint>

#include "app/WaybillFieldSpecs.h"

namespace courierpictures {

inline constexpr int kJpegQuality = 90;
inline const QString kFallbackFileName = QStringLiteral("vornix.jpg");

enum class Emblem { Circle, Diamond, RoundedSquare };

struct CourierLook {
    QString fileName;
    QString displayName;
    QString slogan;
    QColor primary;  // header, frames, labels
    QColor accent;   // emblem ring, header stripes
    QString numberPrefix;
    quint32 barcodeSeed;
    Emblem emblem;
};

inline QList<CourierLook> courierLooks() {
    return {
        {QStringLiteral("元智捷诚.jpg"), QStringLiteral("元智捷诚"),
         QStringLiteral("智达四方 · 诚载万里"), QColor(0x1c, 0x3d, 0x7a), QColor(0xd9, 0xa5, 0x21),
         QStringLiteral("YZ"), 20240611u, Emblem::Circle},
        {QStringLiteral("龙邦快递.jpg"), QStringLiteral("龙邦快递"),
         QStringLiteral("龙行天下 · 邦达万家"), QColor(0x1e, 0x7b, 0x3c), QColor(0x9c, 0xd0, 0x4a),
         QStringLiteral("LB"), 19951207u, Emblem::Diamond},
        {QStringLiteral("顺丰快递.jpg"), QStringLiteral("顺丰快递"),
         QStringLiteral("一程顺畅 · 件件丰盈"), QColor(0xb0, 0x24, 0x2b), QColor(0x3a, 0x3a, 0x3a),
         QStringLiteral("SF"), 20080808u, Emblem::RoundedSquare},
    };
}

// ---- Layout --------------------------------------------------------------------------------

inline constexpr int kHeaderBottom = 60;  // the header band is rows 0 .. kHeaderBottom-1
inline constexpr int kBlockTop = 66;      // sender and recipient blocks start here
inline constexpr int kStripWidth = 18;    // the vertical 寄件人 / 收件人 strip of a block
inline constexpr int kLabelPixelSize = 14;
inline constexpr int kSmallLabelPixelSize = 12;  // where the usual size does not fit
inline constexpr int kLabelGap = 5;              // between a label and its box
inline constexpr int kMaxBoxMargin = 3;          // box around a field, where neighbours allow
inline constexpr int kMinBoxGap = 4;             // between two boxes

inline QRect fieldRect(const WaybillFieldSpec& s) {
    return QRect(s.left, s.top, s.width, s.height);
}

inline QString fieldLabel(const WaybillFieldSpec& s) {
    const QString n = QString::fromLatin1(s.name);
    const bool sender = s.side == WaybillSide::Sender;
    if (n == u"cbb1" || n == u"cbb11")
        return sender ? QStringLiteral("发货人姓名") : QStringLiteral("收货人");
    if (n == u"cbb2" || n == u"cbb22")
        return sender ? QStringLiteral("始发地") : QStringLiteral("目的地");
    if (n == u"cbb3" || n == u"cbb33") return QStringLiteral("地址");
    if (n == u"cbb4" || n == u"cbb44") return QStringLiteral("电话");
    if (n == u"cbb5" || n == u"cbb55") return QStringLiteral("单位名称");
    return s.captionText();
}

inline QFont formFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

struct FormLayout {
    QVector<QRect> boxes;   // one per field, in waybillFieldSpecs() order; field is inside
    QVector<QRect> labels;  // one per field: where its label text goes
    QVector<int> labelPixelSizes;
    QRect senderBlock;
    QRect recipientBlock;
    QRect rightColumn;
    QRect lowerArea;  // below both blocks, left of the right column
};

// The box around field i: a margin of up to kMaxBoxMargin on each side, less where another
// field is so near that the boxes would come closer than kMinBoxGap.
inline QRect boxAroundField(int i) {
    const auto& specs = waybillFieldSpecs();
    const QRect f = fieldRect(specs[i]);
    int ml = kMaxBoxMargin, mr = kMaxBoxMargin, mt = kMaxBoxMargin, mb = kMaxBoxMargin;
    auto marginFor = [](int gap) { return std::clamp((gap - kMinBoxGap) / 2, 1, kMaxBoxMargin); };
    for (int j = 0; j < int(specs.size()); ++j) {
        if (j == i) continue;
        const QRect g = fieldRect(specs[j]);
        const bool rowsOverlap = f.top() <= g.bottom() && g.top() <= f.bottom();
        const bool colsOverlap = f.left() <= g.right() && g.left() <= f.right();
        if (rowsOverlap && g.left() > f.right())
            mr = std::min(mr, marginFor(g.left() - f.right() - 1));
        if (rowsOverlap && g.right() < f.left())
            ml = std::min(ml, marginFor(f.left() - g.right() - 1));
        if (colsOverlap && g.top() > f.bottom())
            mb = std::min(mb, marginFor(g.top() - f.bottom() - 1));
        if (colsOverlap && g.bottom() < f.top())
            mt = std::min(mt, marginFor(f.top() - g.bottom() - 1));
    }
    return f.adjusted(-ml, -mt, mr, mb);
}

inline FormLayout formLayout() {
    const auto& specs = waybillFieldSpecs();
    FormLayout L;
    int senderRight = 0, recipientRight = 0, bottom = 0;
    for (int i = 0; i < int(specs.size()); ++i) {
        L.boxes.append(boxAroundField(i));
        const QRect& b = L.boxes.last();
        int& right = specs[i].side == WaybillSide::Sender ? senderRight : recipientRight;
        right = std::max(right, b.right());
        bottom = std::max(bottom, b.bottom());
    }
    const int blockBottom = bottom + 12;
    L.senderBlock = QRect(QPoint(10, kBlockTop), QPoint(senderRight + 6, blockBottom));
    L.recipientBlock = QRect(QPoint(L.senderBlock.right() + 6, kBlockTop),
                             QPoint(recipientRight + 6, blockBottom));
    L.rightColumn = QRect(QPoint(L.recipientBlock.right() + 10, kBlockTop),
                          QPoint(kDesignBandWidthPx - 11, kDesignBandHeightPx - 14));
    L.lowerArea = QRect(QPoint(10, blockBottom + 10),
                        QPoint(L.recipientBlock.right(), kDesignBandHeightPx - 14));

    // Labels: to the left of the box where there is room inside the block (at the usual size,
    // else smaller), else above it.
    auto clashes = [&](const QRect& r, int self) {
        for (int j = 0; j < L.boxes.size(); ++j)
            if (r.intersects(L.boxes[j].adjusted(-2, -2, 2, 2))) return true;
        for (int j = 0; j < L.labels.size(); ++j)
            if (j != self && r.intersects(L.labels[j].adjusted(-2, -2, 2, 2))) return true;
        return false;
    };
    for (int i = 0; i < int(specs.size()); ++i) {
        const QRect b = L.boxes[i];
        const QRect block = specs[i].side == WaybillSide::Sender ? L.senderBlock : L.recipientBlock;
        const QString text = fieldLabel(specs[i]);
        auto leftOf = [&](int px) {
            const QFontMetrics fm(formFont(px));
            const int w = fm.horizontalAdvance(text) + 2, h = fm.height();
            return QRect(b.left() - kLabelGap - w, b.center().y() - h / 2, w, h);
        };
        auto fits = [&](const QRect& r) {
            return r.left() >= block.left() + kStripWidth + 3 && !clashes(r, i);
        };
        int px = kLabelPixelSize;
        QRect r = leftOf(px);
        if (!fits(r)) {
            px = kSmallLabelPixelSize;
            r = leftOf(px);
        }
        if (!fits(r)) {
            px = kLabelPixelSize;
            const QFontMetrics fm(formFont(px));
            const int w = fm.horizontalAdvance(text) + 2, h = fm.height();
            r = QRect(b.left() + 1, b.top() - 1 - h, w, h);
        }
        L.labels.append(r);
        L.labelPixelSizes.append(px);
    }
    return L;
}

// ---- Drawing helpers -----------------------------------------------------------------------

inline QColor tint(const QColor& c, double amount) {  // amount 0 = white, 1 = c
    return QColor(int(255 - (255 - c.red()) * amount), int(255 - (255 - c.green()) * amount),
                  int(255 - (255 - c.blue()) * amount));
}

// A crisp 1-pixel frame on the outermost pixels of r, white (or `fill`) inside.
inline void drawBox(QPainter& p, const QRect& r, const QColor& line,
                    const QColor& fill = Qt::white) {
    p.fillRect(r, line);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

inline void drawFrame(QPainter& p, const QRect& r, const QColor& line, int width = 1) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), width), line);
    p.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), line);
    p.fillRect(QRect(r.left(), r.top(), width, r.height()), line);
    p.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), line);
}

inline void hLine(QPainter& p, int x1, int x2, int y, const QColor& c) {
    p.fillRect(QRect(QPoint(x1, y), QPoint(x2, y)), c);
}
inline void vLine(QPainter& p, int x, int y1, int y2, const QColor& c) {
    p.fillRect(QRect(QPoint(x, y1), QPoint(x, y2)), c);
}

inline void text(QPainter& p, const QRect& r, int flags, const QString& s, int px, const QColor& c,
                 bool bold = false) {
    p.setFont(formFont(px, bold));
    p.setPen(c);
    p.drawText(r, flags, s);
}

// A small check box followed by its text; returns the x after it.
inline int checkOption(QPainter& p, int x, int centerY, const QString& s, const QColor& c) {
    drawBox(p, QRect(x, centerY - 5, 11, 11), c);
    p.setFont(formFont(13));
    p.setPen(QColor(0x30, 0x30, 0x30));
    const int w = QFontMetrics(p.font()).horizontalAdvance(s);
    p.drawText(QRect(x + 15, centerY - 10, w + 2, 20), Qt::AlignLeft | Qt::AlignVCenter, s);
    return x + 15 + w + 16;
}

// Deterministic linear congruential generator (fixed seeds only).
struct Lcg {
    quint32 state;
    quint32 next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

inline QString waybillNumber(const CourierLook& look) {
    Lcg g{look.barcodeSeed};
    QString digits;
    for (int i = 0; i < 12; ++i) digits += QChar(u'0' + int(g.next() % 10));
    return look.numberPrefix + QLatin1Char(' ') + digits.mid(0, 4) + QLatin1Char(' ') +
           digits.mid(4, 4) + QLatin1Char(' ') + digits.mid(8, 4);
}

// Stripes of 1..3 pixels, black and white alternating, with guard bars at both ends.
inline void drawFakeBarcode(QPainter& p, const QRect& r, quint32 seed) {
    Lcg g{seed};
    p.fillRect(r, Qt::white);
    int x = r.left();
    auto bar = [&](int w, bool dark) {
        if (dark) p.fillRect(QRect(x, r.top(), w, r.height()), Qt::black);
        x += w;
    };
    bar(2, true);
    bar(1, false);
    bar(2, true);
    bar(1, false);
    bool dark = true;
    while (x < r.right() - 8) {
        bar(std::min(int(1 + g.next() % 3) * 2 - (dark ? 0 : 1), r.right() - 7 - x), dark);
        dark = !dark;
    }
    x = r.right() - 6;
    bar(2, true);
    bar(1, false);
    bar(2, true);
    bar(1, false);
}

inline void drawEmblem(QPainter& p, const QRect& r, const CourierLook& look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(look.accent, 3));
    p.setBrush(Qt::white);
    const QRectF rf = QRectF(r).adjusted(2, 2, -2, -2);
    switch (look.emblem) {
        case Emblem::Circle:
            p.drawEllipse(rf);
            break;
        case Emblem::Diamond: {
            const QPointF c = rf.center();
            p.drawPolygon(QPolygonF{
                {c.x(), rf.top()}, {rf.right(), c.y()}, {c.x(), rf.bottom()}, {rf.left(), c.y()}});
            break;
        }
        case Emblem::RoundedSquare:
            p.drawRoundedRect(rf, 8, 8);
            break;
    }
    p.restore();
    text(p, r, Qt::AlignCenter, look.displayName.left(1), look.emblem == Emblem::Diamond ? 18 : 24,
         look.primary, true);
}

inline void drawVerticalStrip(QPainter& p, const QRect& block, const QString& title,
                              const QColor& c) {
    const QRect strip(block.left(), block.top(), kStripWidth, block.height());
    p.fillRect(strip, c);
    const int n = title.size();
    const int step = 22;
    int y = strip.center().y() - n * step / 2;
    for (const QChar ch : title) {
        text(p, QRect(strip.left(), y, strip.width(), step), Qt::AlignCenter, QString(ch), 15,
             Qt::white, true);
        y += step;
    }
}

// ---- The forms -----------------------------------------------------------------------------

inline void drawHeader(QPainter& p, const CourierLook& look, const FormLayout& L) {
    const QRect header(0, 0, kDesignBandWidthPx, kHeaderBottom);
    p.fillRect(header, look.primary);
    // Slanted accent stripes on the right of the band, the courier's own touch.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(header);
    p.setPen(Qt::NoPen);
    p.setBrush(tint(look.accent, 0.85));
    for (int k = 0; k < 3; ++k) {
        const int x = L.rightColumn.left() - 60 + k * 26;
        p.drawPolygon(
            QPolygon{{x, kHeaderBottom}, {x + 14, kHeaderBottom}, {x + 44, 0}, {x + 30, 0}});
    }
    p.restore();
    p.fillRect(QRect(0, kHeaderBottom - 4, kDesignBandWidthPx, 4), look.accent);

    drawEmblem(p, QRect(14, 6, 44, 44), look);
    text(p, QRect(68, 4, 300, 34), Qt::AlignLeft | Qt::AlignVCenter, look.displayName, 28,
         Qt::white, true);
    text(p, QRect(68, 36, 330, 18), Qt::AlignLeft | Qt::AlignVCenter,
         look.slogan + QStringLiteral("   EXPRESS WAYBILL"), 12, tint(look.accent, 0.35));
    text(p, QRect(L.recipientBlock.left(), 6, 260, 30), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("国内快递运单"), 24, Qt::white, true);
    text(p, QRect(L.recipientBlock.left(), 36, 300, 18), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("示意图样 · 非任何快递公司的正式运单"), 11, tint(Qt::white, 0.85));
    text(p, QRect(L.rightColumn.left() + 40, 8, L.rightColumn.width() - 44, 44),
         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("第一联\n寄件人存根"), 13, Qt::white,
         true);
}

inline void drawPartyBlocks(QPainter& p, const CourierLook& look, const FormLayout& L) {
    const auto& specs = waybillFieldSpecs();
    const QColor line = look.primary;
    const QColor hint(0x8a, 0x8a, 0x8a);
    for (const QRect& block : {L.senderBlock, L.recipientBlock}) {
        p.fillRect(block, tint(look.primary, 0.07));
        drawFrame(p, block, line);
    }
    drawVerticalStrip(p, L.senderBlock, QStringLiteral("寄件人"), line);
    drawVerticalStrip(p, L.recipientBlock, QStringLiteral("收件人"), line);

    for (int i = 0; i < int(specs.size()); ++i) {
        drawBox(p, L.boxes[i], line);
        text(p, L.labels[i], Qt::AlignRight | Qt::AlignVCenter, fieldLabel(specs[i]),
             L.labelPixelSizes[i], look.primary.darker(115));
        // A small grey hint under the address, as printed forms have.
        const QString n = QString::fromLatin1(specs[i].name);
        const QRect b = L.boxes[i];
        if (n == u"cbb3" || n == u"cbb33")
            text(p, QRect(b.left() + 2, b.bottom() + 3, b.width() - 4, 14),
                 Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("（省 / 市 / 区县 / 街道及门牌号）"), 10, hint);
    }
}

inline void drawLowerArea(QPainter& p, const CourierLook& look, const FormLayout& L) {
    const QColor line = look.primary;
    const QColor ink(0x30, 0x30, 0x30);
    const QRect area = L.lowerArea;

    // Goods table: a header row and one empty row.
    const QStringList heads{QStringLiteral("物品名称"),     QStringLiteral("件数"),
                            QStringLiteral("实际重量(kg)"), QStringLiteral("计费重量(kg)"),
                            QStringLiteral("保价金额(元)"), QStringLiteral("运费合计(元)")};
    const QVector<int> share{30, 10, 15, 15, 15, 15};
    const QRect table(area.left(), area.top(), area.width(), 74);
    p.fillRect(QRect(table.left(), table.top(), table.width(), 24), tint(look.primary, 0.16));
    p.fillRect(QRect(table.left(), table.top() + 24, table.width(), table.height() - 24),
               Qt::white);
    drawFrame(p, table, line);
    hLine(p, table.left(), table.right(), table.top() + 24, line);
    int x = table.left();
    for (int c = 0; c < heads.size(); ++c) {
        const int w = c + 1 == heads.size() ? table.right() - x : table.width() * share[c] / 100;
        text(p, QRect(x, table.top(), w, 24), Qt::AlignCenter, heads[c], 13,
             look.primary.darker(120), true);
        if (c > 0) vLine(p, x, table.top(), table.bottom(), line);
        x += w;
    }

    // Options.
    const QRect options(area.left(), table.bottom() + 8, area.width(), 78);
    drawBox(p, options, line, tint(look.primary, 0.04));
    const int row1 = options.top() + 20, row2 = options.top() + 56;
    text(p, QRect(options.left() + 10, row1 - 10, 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("付款方式："), 13, look.primary.darker(120), true);
    x = options.left() + 86;
    for (const char* o : {"寄付现结", "到付", "月结", "第三方付"})
        x = checkOption(p, x, row1, QString::fromUtf8(o), line);
    text(p, QRect(options.center().x() + 30, row1 - 10, 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("月结账号："), 13, look.primary.darker(120), true);
    hLine(p, options.center().x() + 104, options.right() - 14, row1 + 8, line);
    text(p, QRect(options.left() + 10, row2 - 10, 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("服务类型："), 13, look.primary.darker(120), true);
    x = options.left() + 86;
    for (const char* o : {"标准快递", "次日达", "经济件", "代收货款"})
        x = checkOption(p, x, row2, QString::fromUtf8(o), line);
    text(p, QRect(options.center().x() + 30, row2 - 10, 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("备　　注："), 13, look.primary.darker(120), true);
    hLine(p, options.center().x() + 104, options.right() - 14, row2 + 8, line);

    // Signatures.
    const QRect sig(area.left(), options.bottom() + 8, area.width(),
                    area.bottom() - options.bottom() - 8);
    const int half = sig.width() / 2;
    const QRect sender(sig.left(), sig.top(), half - 4, sig.height());
    const QRect recipient(sig.left() + half + 4, sig.top(), sig.width() - half - 4, sig.height());
    struct Sign {
        QRect r;
        const char* who;
        const char* when;
        const char* note;
    };
    for (const Sign& s : {Sign{sender, "寄件人签名：", "寄件日期：　　　年　　月　　日",
                               "本人已阅读并同意背面及右侧客户须知。"},
                          Sign{recipient, "收件人签名：", "签收时间：　　月　　日　　时",
                               "外包装完好，货物已当面验收。"}}) {
        drawBox(p, s.r, line);
        text(p, QRect(s.r.left() + 10, s.r.top() + 6, 120, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(s.who), 14, look.primary.darker(120), true);
        hLine(p, s.r.left() + 106, s.r.right() - 14, s.r.top() + 26, QColor(0xa0, 0xa0, 0xa0));
        text(p, QRect(s.r.left() + 10, s.r.top() + 36, s.r.width() - 20, 20),
             Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(s.when), 13, ink);
        text(p, QRect(s.r.left() + 10, s.r.bottom() - 22, s.r.width() - 20, 16),
             Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(s.note), 10,
             QColor(0x70, 0x70, 0x70));
    }
}

inline void drawRightColumn(QPainter& p, const CourierLook& look, const FormLayout& L) {
    const QColor line = look.primary;
    const QRect col = L.rightColumn;

    // Waybill number and barcode.
    const QRect number(col.left(), col.top(), col.width(), 120);
    drawBox(p, number, line);
    p.fillRect(QRect(number.left(), number.top(), number.width(), 22), line);
    text(p, QRect(number.left() + 8, number.top(), number.width() - 16, 22),
         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("运单号码  Waybill No."), 13, Qt::white,
         true);
    drawFakeBarcode(p, QRect(number.left() + 22, number.top() + 32, number.width() - 44, 56),
                    look.barcodeSeed);
    text(p, QRect(number.left(), number.top() + 90, number.width(), 24), Qt::AlignCenter,
         waybillNumber(look), 17, Qt::black, true);

    // Customer notice: small print.
    const QRect notice(col.left(), number.bottom() + 8, col.width(), 276);
    drawBox(p, notice, line, tint(look.primary, 0.04));
    p.fillRect(QRect(notice.left(), notice.top(), notice.width(), 22), tint(look.primary, 0.16));
    text(p, QRect(notice.left() + 8, notice.top(), notice.width() - 16, 22),
         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("客户须知"), 14, look.primary.darker(120),
         true);
    const QString terms = QStringLiteral(
        "1. 寄件人应如实、完整地填写收寄双方信息，因信息有误造成的延误由寄件人承担。\n"
        "2. 请勿交寄法律法规禁止寄递的物品；本公司有权当面验视内件。\n"
        "3. 贵重物品请选择保价服务；未保价的，按本单约定标准赔偿。\n"
        "4. 收件人签收前请检查外包装，如有破损请当场提出。\n"
        "5. 查询、投诉请在寄件之日起三十日内凭运单号码办理。\n"
        "6. 本单所载信息仅用于本次递送服务，不作他用。\n"
        "7. 寄件人签名即表示同意以上条款。");
    text(p, notice.adjusted(8, 30, -8, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, terms,
         12, QColor(0x40, 0x40, 0x40));

    // Courier's own boxes: pick-up and delivery staff.
    const QRect staff(col.left(), notice.bottom() + 8, col.width(),
                      col.bottom() - notice.bottom() - 8);
    drawBox(p, staff, line);
    const int mid = staff.top() + staff.height() / 2;
    hLine(p, staff.left(), staff.right(), mid, line);
    int y = staff.top();
    for (const char* who : {"收件员：", "派件员："}) {
        text(p, QRect(staff.left() + 8, y + 4, 80, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(who), 13, look.primary.darker(120), true);
        text(p, QRect(staff.left() + 150, y + 4, 130, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("工号："), 13, look.primary.darker(120), true);
        text(p, QRect(staff.left() + 8, y + 26, staff.width() - 16, 16),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("日期：　　月　　日　　时"), 11,
             QColor(0x50, 0x50, 0x50));
        y = mid;
    }
}

inline QImage drawCourierForm(const CourierLook& look) {
    QImage img(kDesignBandWidthPx, kDesignBandHeightPx, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const FormLayout L = formLayout();
    drawHeader(p, look, L);
    drawPartyBlocks(p, look, L);
    drawLowerArea(p, look, L);
    drawRightColumn(p, look, L);
    text(p, QRect(10, kDesignBandHeightPx - 13, kDesignBandWidthPx - 20, 12),
         Qt::AlignLeft | Qt::AlignVCenter,
         look.displayName + QStringLiteral(" · 示意图样，由 make-courier-pictures 绘制"), 9,
         QColor(0x90, 0x90, 0x90));
    p.end();
    return img;
}

// The picture shown when a courier has no form picture of its own.
inline QImage drawFallbackPicture() {
    QImage img(kDesignBandWidthPx, kDesignBandHeightPx, QImage::Format_RGB32);
    img.fill(QColor(0xd4, 0xd4, 0xd4));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(QPen(QColor(0xb8, 0xb8, 0xb8), 6));
    for (int x = -kDesignBandHeightPx; x < kDesignBandWidthPx; x += 24)
        p.drawLine(x, kDesignBandHeightPx, x + kDesignBandHeightPx, 0);
    const QRect panel(kDesignBandWidthPx / 2 - 380, kDesignBandHeightPx / 2 - 120, 760, 240);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 3));
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawRoundedRect(panel, 14, 14);
    text(p, panel.adjusted(0, 36, 0, -110), Qt::AlignCenter, QStringLiteral("未找到快递单图片"), 64,
         QColor(0x40, 0x40, 0x40), true);
    text(p, panel.adjusted(0, 140, 0, -36), Qt::AlignCenter,
         QStringLiteral("No waybill picture found"), 38, QColor(0x55, 0x55, 0x55), true);
    p.end();
    return img;
}

// Writes the three courier pictures and the fall-back into `folder` (created if needed).
// Returns an empty string on success, otherwise what went wrong.
inline QString writeCourierPictures(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder))
        return QStringLiteral("Cannot create the folder %1").arg(folder);
    QList<QPair<QString, QImage>> out;
    for (const CourierLook& look : courierLooks())
        out.append({look.fileName, drawCourierForm(look)});
    out.append({kFallbackFileName, drawFallbackPicture()});
    for (const auto& [name, image] : out) {
        const QString path = dir.filePath(name);
        if (!image.save(path, "JPG", kJpegQuality))
            return QStringLiteral("Cannot write %1").arg(path);
    }
    return QString();
}

}  // namespace courierpictures
