#include <QtTest>

#include "printing/PreviewPlacement.h"

// The main window at its normal size with its printer controls in the top strip, and the
// preview's frame size, on screens large and small.
class TestPreviewPlacement : public QObject {
    Q_OBJECT
  private slots:
    void thePreviewNeverCoversThePrinterControls() {
        const QSize preview(1161, 830);
        struct Case {
            QRect screen;
            QPoint mainAt;
            QRect expected;  // empty: anywhere that keeps the controls clear
        };
        const QList<Case> cases{
            {{0, 0, 2560, 1400}, {100, 50}, {QPoint(1061, 50), preview}},    // right of it
            {{0, 0, 2560, 1400}, {1500, 600}, {QPoint(339, 570), preview}},  // left, moved up
            {{0, 0, 1366, 728}, {0, 0}, {0, 113, 1161, 615}},                // below the strip
            {{0, 0, 1366, 728}, {0, 600}, {0, 0, 1161, 640}},                // above it
            {{-1280, 0, 1280, 1024}, {-1300, 200}, {}},
            {{0, 0, 800, 600}, {-40, 450}, {}}};
        for (const Case& c : cases) {
            const QRect main(c.mainAt, QSize(961, 700));
            const QRect controls = QRect(23, 40, 571, 73).translated(c.mainAt);
            const QRect placed = previewPlacement(main, controls, preview, c.screen);
            const QString where =
                QStringLiteral("main at %1,%2").arg(c.mainAt.x()).arg(c.mainAt.y());
            if (!c.expected.isEmpty()) QCOMPARE(placed, c.expected);
            QVERIFY2(!placed.intersects(controls), qPrintable(where));
            QVERIFY2(c.screen.contains(placed), qPrintable(where));
            QVERIFY2(placed.height() >= 300, qPrintable(where));
        }
    }
};

QTEST_MAIN(TestPreviewPlacement)
#include "tst_previewplacement.moc"
