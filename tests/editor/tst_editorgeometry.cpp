#include <QtTest>

#include "editor/ControlStream.h"
#include "editor/EditorGeometry.h"
#include "platform/AppError.h"

// The layout editor's arithmetic and its clipboard format, without a window.
class TestEditorGeometry : public QObject {
    Q_OBJECT
  private slots:
    void frameLiesAroundTheControl() {
        QCOMPARE(frameGeometryFor(QRect(100, 50, 80, 26), 5, 5), QRect(98, 48, 85, 31));
        // Truncation toward zero of the half box, also for odd and larger boxes.
        QCOMPARE(frameGeometryFor(QRect(0, 0, 10, 10), 7, 4), QRect(-3, -2, 17, 14));
    }

    void hitTestFollowsTheTableInOrder() {
        const int W = 85, H = 31, b = 5;
        QCOMPARE(dragStyleAt(0, 0, W, H, b, b), dsLeftTop);
        QCOMPARE(dragStyleAt(4, 4, W, H, b, b), dsLeftTop);
        QCOMPARE(dragStyleAt(5, 4, W, H, b, b), dsMove);
        QCOMPARE(dragStyleAt(84, 0, W, H, b, b), dsRightTop);
        QCOMPARE(dragStyleAt(81, 0, W, H, b, b), dsRightTop);
        QCOMPARE(dragStyleAt(80, 0, W, H, b, b), dsMove);
        QCOMPARE(dragStyleAt(0, 30, W, H, b, b), dsLeftBottom);
        QCOMPARE(dragStyleAt(84, 30, W, H, b, b), dsRightBottom);
        // The middle zone is twice the drawn middle box: x = 46 is still the top edge.
        QCOMPARE(dragStyleAt(46, 1, W, H, b, b), dsTop);
        QCOMPARE(dragStyleAt(38, 1, W, H, b, b), dsTop);
        QCOMPARE(dragStyleAt(37, 1, W, H, b, b), dsMove);
        QCOMPARE(dragStyleAt(47, 1, W, H, b, b), dsTop);
        QCOMPARE(dragStyleAt(48, 1, W, H, b, b), dsMove);
        QCOMPARE(dragStyleAt(42, 30, W, H, b, b), dsBottom);
        QCOMPARE(dragStyleAt(0, 15, W, H, b, b), dsLeft);
        QCOMPARE(dragStyleAt(84, 15, W, H, b, b), dsRight);
        QCOMPARE(dragStyleAt(40, 15, W, H, b, b), dsMove);
    }

    void boxesAreTheCornersAndForOneControlTheMiddles() {
        const QList<QRect> four = frameBoxes(85, 31, 5, 5, false);
        QCOMPARE(four.size(), 4);
        QCOMPARE(four[0], QRect(0, 0, 5, 5));
        QCOMPARE(four[3], QRect(80, 26, 5, 5));
        const QList<QRect> eight = frameBoxes(85, 31, 5, 5, true);
        QCOMPARE(eight.size(), 8);
        QCOMPARE(eight[4], QRect(40, 0, 5, 5));  // (85-5)/2 .. (85+5)/2
        QCOMPARE(eight[6], QRect(0, 13, 5, 5));  // (31-5)/2 .. (31+5)/2
        QCOMPARE(eight[7], QRect(80, 13, 5, 5));
    }

    void snapCutsTowardZeroToWholeSteps() {
        QCOMPARE(snapOffset(QPoint(13, -7), 8, 8), QPoint(8, 0));
        QCOMPARE(snapOffset(QPoint(-13, 17), 8, 8), QPoint(-8, 16));
        QCOMPARE(snapOffset(QPoint(13, 7), 0, 8), QPoint(13, 0));  // a step below 1 does not snap
    }

    void dragStylesMoveTheirEdges() {
        const EditRect r{100, 50, 180, 76};
        QCOMPARE(applyDrag(r, QPoint(8, -8), dsMove), (EditRect{108, 42, 188, 68}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsLeft), (EditRect{108, 50, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsRight), (EditRect{100, 50, 188, 76}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsTop), (EditRect{100, 58, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsBottom), (EditRect{100, 50, 180, 84}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsLeftTop), (EditRect{108, 58, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsRightTop), (EditRect{100, 58, 188, 76}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsLeftBottom), (EditRect{108, 50, 180, 84}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsRightBottom), (EditRect{100, 50, 188, 84}));
        QCOMPARE(applyDrag(r, QPoint(8, 8), dsUnknown), EditRect{});
    }

    void anEdgeDraggedPastTheOtherStopsAtTheMinimumSize() {
        const EditRect r{100, 50, 180, 76};  // 80 x 26
        const int m = kMinimumControlSize;
        QVERIFY(m >= 4);
        // The dragged edge stops short of the opposite one; the opposite edge stays.
        QCOMPARE(applyDrag(r, QPoint(100, 0), dsLeft), (EditRect{180 - m, 50, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(80, 0), dsLeft), (EditRect{180 - m, 50, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(-100, 0), dsRight), (EditRect{100, 50, 100 + m, 76}));
        QCOMPARE(applyDrag(r, QPoint(0, 40), dsTop), (EditRect{100, 76 - m, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(0, -40), dsBottom), (EditRect{100, 50, 180, 50 + m}));
        QCOMPARE(applyDrag(r, QPoint(200, 200), dsLeftTop), (EditRect{180 - m, 76 - m, 180, 76}));
        QCOMPARE(applyDrag(r, QPoint(-200, 200), dsRightTop), (EditRect{100, 76 - m, 100 + m, 76}));
        QCOMPARE(applyDrag(r, QPoint(200, -200), dsLeftBottom),
                 (EditRect{180 - m, 50, 180, 50 + m}));
        QCOMPARE(applyDrag(r, QPoint(-200, -200), dsRightBottom),
                 (EditRect{100, 50, 100 + m, 50 + m}));
        // Short of the minimum nothing is held back, and a move keeps any size.
        QCOMPARE(applyDrag(r, QPoint(72, 0), dsLeft), (EditRect{172, 50, 180, 76}));
        QCOMPARE(applyDrag(EditRect{0, 0, 2, 2}, QPoint(5, 5), dsMove), (EditRect{5, 5, 7, 7}));

        // Keyboard steps shrink down to the minimum and no further; growing is free.
        QCOMPARE(resizedByStep(m + 1, -1), m);
        QCOMPARE(resizedByStep(m, -1), m);
        QCOMPARE(resizedByStep(3, -1), 3);  // already below it: left as it is
        QCOMPARE(resizedByStep(3, 1), 4);
        QCOMPARE(resizedByStep(26, 0), 26);
    }

    void alignToEdgesAndCentres() {
        using namespace EditorLayout;
        const QList<QRect> lefts{QRect(30, 0, 10, 10), QRect(10, 20, 10, 10), QRect(10, 40, 5, 5)};
        QCOMPARE(alignControl(lefts, sLeft), 1);  // the earliest of the ties
        const QList<QRect> aligned = alignTo(lefts, sLeft, sHorizontal);
        for (const QRect& r : aligned) QCOMPARE(r.x(), 10);

        const QList<QRect> centred =
            alignTo({QRect(100, 0, 50, 10), QRect(0, 20, 31, 10)}, sCenter, sHorizontal);
        QCOMPARE(centred[1].x(), 110);
        QCOMPARE(centred[1].width(), 31);

        const QList<QRect> rights =
            alignTo({QRect(0, 0, 10, 10), QRect(50, 0, 30, 10)}, sRight, sHorizontal);
        QCOMPARE(rights[0].x() + rights[0].width(), 80);
        const QList<QRect> bottoms =
            alignTo({QRect(0, 0, 10, 10), QRect(0, 50, 30, 30)}, sBottom, sVertical);
        QCOMPARE(bottoms[0].y(), 70);
        const QList<QRect> vcentre =
            alignTo({QRect(0, 100, 10, 50), QRect(0, 0, 10, 31)}, sCenter, sVertical);
        QCOMPARE(vcentre[1].y(), 110);
    }

    void spaceEquSpreadsTheMiddleOnes() {
        using namespace EditorLayout;
        const QList<QRect> spaced = spaceEqu(
            {QRect(0, 0, 10, 10), QRect(15, 0, 10, 10), QRect(100, 0, 10, 10)}, sHorizontal);
        QCOMPARE(spaced.size(), 3);
        QCOMPARE(spaced[1].x(), 50);
        QCOMPARE(spaced[0].x(), 0);
        QCOMPARE(spaced[2].x(), 100);
        // Overlapping too much: no gap of a pixel, nothing changes.
        QVERIFY(
            spaceEqu({QRect(0, 0, 50, 10), QRect(10, 0, 50, 10), QRect(20, 0, 50, 10)}, sHorizontal)
                .isEmpty());
        QVERIFY(spaceEqu({QRect(0, 0, 10, 10), QRect(100, 0, 10, 10)}, sHorizontal).isEmpty());
        const QList<QRect> vertical =
            spaceEqu({QRect(0, 0, 10, 10), QRect(0, 100, 10, 10), QRect(0, 15, 10, 10)}, sVertical);
        QCOMPARE(vertical[2].y(), 50);
    }

    void equalSizesFollowTheFirstSelected() {
        using namespace EditorLayout;
        const QList<QRect> widths =
            widthEqu({QRect(0, 0, 80, 10), QRect(0, 0, 120, 20), QRect(0, 0, 40, 30)});
        for (const QRect& r : widths) QCOMPARE(r.width(), 80);
        QCOMPARE(widths[2].height(), 30);
        const QList<QRect> heights = heightEqu({QRect(0, 0, 80, 10), QRect(0, 0, 120, 20)});
        QCOMPARE(heights[1].height(), 10);
    }

    void nearChildAndSibling() {
        using namespace EditorLayout;
        const QList<QRect> items{QRect(100, 100, 20, 20), QRect(50, 300, 20, 20),
                                 QRect(80, 100, 20, 20), QRect(200, 100, 20, 20)};
        QCOMPARE(nearChild(items, 0, sLeft), 2);
        QCOMPARE(nearChild(items, 0, sRight), 3);
        QCOMPARE(nearChild(items, 0, sBottom), 1);
        QCOMPARE(nearChild(items, 0, sTop), -1);
        QCOMPARE(nearChild({QRect(0, 0, 1, 1)}, 0, sLeft), -1);
        // A sibling must overlap across the direction; touching edges count.
        QCOMPARE(sibling(items, 0, sLeft), 2);
        QCOMPARE(sibling(items, 0, sBottom), -1);  // item 1 lies apart horizontally
        QCOMPARE(sibling({QRect(0, 0, 10, 10), QRect(10, 10, 10, 10)}, 0, sRight), 1);
        QCOMPARE(sibling({QRect(0, 0, 10, 10), QRect(11, 11, 10, 10)}, 0, sRight), -1);
    }

    void uniqueNames() {
        QCOMPARE(uniqueComponentName("Foo", "ComboBox", {"cbb1", "cbb2"}), QString("Foo"));
        QCOMPARE(uniqueComponentName("cbb1", "ComboBox", {"cbb1", "cbb2"}), QString("ComboBox1"));
        QCOMPARE(uniqueComponentName("CBB1", "ComboBox", {"cbb1"}), QString("ComboBox1"));
        QCOMPARE(uniqueComponentName("cbb1", "ComboBox", {"cbb1", "ComboBox1"}),
                 QString("ComboBox2"));
        QCOMPARE(uniqueComponentName("cbb1", "ComboBox", {"cbb1", "ComboBox2", "ComboBox3"}),
                 QString("ComboBox1"));
        // Passes repeat until nothing more drops, whatever the order.
        QCOMPARE(uniqueComponentName("cbb1", "ComboBox",
                                     {"cbb1", "ComboBox3", "ComboBox2", "ComboBox1"}),
                 QString("ComboBox4"));
        // Only the base's own letter case counts as containing it.
        QCOMPARE(uniqueComponentName("cbb1", "ComboBox", {"cbb1", "combobox1"}),
                 QString("ComboBox1"));
        QCOMPARE(uniqueComponentName("", "Label", {}), QString("Label1"));
    }

    void freeNamesForManyComponents() {
        FreeNames names({"cbb1", "ComboBox2", "Label1", "xComboBox4y"});
        QVERIFY(names.isTaken("CBB1"));
        QVERIFY(!names.isTaken("cbb2"));
        QStringList given;
        for (int i = 0; i < 5; ++i) {
            const QString name = names.find("cbb1", "ComboBox");
            QVERIFY(!names.isTaken(name));
            names.take(name);
            given << name;
        }
        // 2 is taken; "xComboBox4y" reduces to no number, so 4 is free.
        QCOMPARE(given,
                 (QStringList{"ComboBox1", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"}));
        // A name taken later counts for a base already in use, and for bases met later.
        names.take("ComboBox7");
        names.take("Label2");
        QCOMPARE(names.find("", "ComboBox"), QString("ComboBox8"));
        QCOMPARE(names.find("", "Label"), QString("Label3"));
        QCOMPARE(names.find("Free", "Label"), QString("Free"));
        // Each name given is what the one-off rule gives for everything taken so far.
        QStringList taken{"cbb1", "ComboBox3", "ComboBox1"};
        FreeNames incremental(taken);
        for (int i = 0; i < 50; ++i) {
            const QString name = incremental.find("cbb1", "ComboBox");
            QCOMPARE(name, uniqueComponentName("cbb1", "ComboBox", taken));
            incremental.take(name);
            taken << name;
        }
        QCOMPARE(taken.last(), QString("ComboBox52"));
    }

    void streamRoundTrip() {
        ControlNode root;
        root.className = "QWidget";
        root.objectName = "Clipboard_";
        ControlNode combo;
        combo.className = "QComboBox";
        combo.objectName = "cbb1";
        combo.geometry = QRect(-5, 7, 80, 26);
        combo.ownFont = true;
        combo.font = QFont("Arial", 12).toString();
        combo.text = QString::fromUtf8("发货人");
        combo.flags = ControlNode::Editable;
        combo.visible = false;
        combo.enabled = false;
        ControlNode nested;
        nested.className = "QLabel";
        nested.objectName = "Label1";
        nested.nonWindowed = true;
        combo.children << nested;
        root.children << combo;

        const ControlNode back = ControlStream::read(ControlStream::write(root));
        QCOMPARE(back.children.size(), 1);
        const ControlNode& c = back.children[0];
        QCOMPARE(c.className, QString("QComboBox"));
        QCOMPARE(c.objectName, QString("cbb1"));
        QCOMPARE(c.geometry, QRect(-5, 7, 80, 26));
        QCOMPARE(c.text, QString::fromUtf8("发货人"));
        QCOMPARE(c.font, combo.font);
        QVERIFY(!c.visible && !c.enabled && c.ownFont);
        QCOMPARE(c.children.size(), 1);
        QVERIFY(c.children[0].nonWindowed);
        QCOMPARE(back.preorder().size(), 3);
    }

    void streamRefusesEveryTruncation() {
        ControlNode root;
        root.className = "QWidget";
        root.objectName = "Clipboard_";
        ControlNode combo;
        combo.className = "QComboBox";
        combo.objectName = "cbb1";
        combo.text = "abc";
        root.children << combo << combo;
        const QByteArray bytes = ControlStream::write(root);
        for (int n = 0; n < bytes.size(); ++n) {
            try {
                ControlStream::read(bytes.left(n));
                QFAIL(qPrintable(QString("a truncation to %1 bytes was accepted").arg(n)));
            } catch (const AppError& e) {
                QCOMPARE(e.text(), QString("Invalid stream format"));
            }
        }
        // Trailing bytes are refused as well.
        QVERIFY_THROWS_EXCEPTION(AppError, ControlStream::read(bytes + QByteArray(1, '\0')));
    }

    void streamRefusesForgedEntries() {
        auto entry = [](const std::function<void(QDataStream&)>& body, quint32 magic,
                        quint16 version) {
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_0);
            out << magic << version;
            body(out);
            return bytes;
        };
        auto node = [](QDataStream& out, const QString& cls, const QString& name, qint32 w,
                       quint32 children, const QString& font = QString(), bool ownFont = false) {
            out << cls << name << qint32(0) << qint32(0) << w << qint32(10) << true << true
                << ownFont << font << QString() << quint32(0) << false << QByteArray() << children;
        };
        auto refused = [](const QByteArray& bytes) {
            try {
                ControlStream::read(bytes);
            } catch (const AppError& e) {
                return e.text();
            }
            return QString();
        };
        const QString invalid = "Invalid stream format";
        auto good = [&](QDataStream& o) { node(o, "QWidget", "Clipboard_", 0, 0); };
        QVERIFY(refused(entry(good, ControlStream::kMagic, ControlStream::kVersion)).isEmpty());
        QCOMPARE(refused(entry(good, 0x12345678, ControlStream::kVersion)), invalid);
        QCOMPARE(refused(entry(good, ControlStream::kMagic, 2)), invalid);
        QCOMPARE(refused(QByteArray()), invalid);
        QCOMPARE(refused(QByteArray("hello, world")), invalid);
        // A root that is not the copy's container.
        QCOMPARE(refused(entry([&](QDataStream& o) { node(o, "QComboBox", "Clipboard_", 0, 0); },
                               ControlStream::kMagic, ControlStream::kVersion)),
                 invalid);
        // A child count far beyond what the entry holds.
        QCOMPARE(
            refused(entry([&](QDataStream& o) { node(o, "QWidget", "Clipboard_", 0, 0x7fffffff); },
                          ControlStream::kMagic, ControlStream::kVersion)),
            invalid);
        // A negative width, a font that does not parse, a class name that is no identifier.
        QCOMPARE(refused(entry(
                     [&](QDataStream& o) {
                         node(o, "QWidget", "Clipboard_", 0, 1);
                         node(o, "QComboBox", "a", -4, 0);
                     },
                     ControlStream::kMagic, ControlStream::kVersion)),
                 invalid);
        QCOMPARE(refused(entry(
                     [&](QDataStream& o) {
                         node(o, "QWidget", "Clipboard_", 0, 1);
                         node(o, "QComboBox", "a", 4, 0, "", true);
                     },
                     ControlStream::kMagic, ControlStream::kVersion)),
                 invalid);
        QCOMPARE(refused(entry(
                     [&](QDataStream& o) {
                         node(o, "QWidget", "Clipboard_", 0, 1);
                         node(o, "Q Combo;Box", "a", 4, 0);
                     },
                     ControlStream::kMagic, ControlStream::kVersion)),
                 invalid);
        QCOMPARE(refused(entry(
                     [&](QDataStream& o) {
                         node(o, "QWidget", "Clipboard_", 0, 1);
                         node(o, "QComboBox", "1st", 4, 0);
                     },
                     ControlStream::kMagic, ControlStream::kVersion)),
                 QString("'1st' is not a valid component name"));
        // Nesting deeper than any form holds.
        QCOMPARE(refused(entry(
                     [&](QDataStream& o) {
                         node(o, "QWidget", "Clipboard_", 0, 1);
                         for (int i = 0; i < 40; ++i) node(o, "QWidget", "W", 4, 1);
                     },
                     ControlStream::kMagic, ControlStream::kVersion)),
                 invalid);
    }
};

QTEST_MAIN(TestEditorGeometry)
#include "tst_editorgeometry.moc"
