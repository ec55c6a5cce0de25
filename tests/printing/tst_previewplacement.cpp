#include <QtTest>

#include "printing/PreviewPlacement.h"

namespace {
// The main window at its normal size with its printer controls in the top strip.
const QSize kMainFrame(961, 700);
const QRect kControlsInMain(23, 40, 571, 73);
const QSize kPreview(1161, 830);

struct Case {
    QRect main;
    QRect controls;
    QRect result;
};

Case placeOn(const QRect& screen, const QPoint& mainAt) {
    const QRect main(mainAt, kMainFrame);
    const QRect controls = kControlsInMain.translated(mainAt);
    return {main, controls, previewPlacement(main, controls, kPreview, screen)};
}
}  // namespace

class TestPreviewPlacement : public QObject {
    Q_OBJECT
  private slots:
    void wideScreensGetThePreviewBesideTheMainWindow() {
        const QRect screen(0, 0, 2560, 1400);
        const Case right = placeOn(screen, QPoint(100, 50));
        QCOMPARE(right.result, QRect(QPoint(1061, 50), kPreview));
        QVERIFY(!right.result.intersects(right.main));

        const Case left = placeOn(screen, QPoint(1500, 600));
        QCOMPARE(left.result.right(), 1499);
        QVERIFY(!left.result.intersects(left.main));
        // Moved up so that it fits on the screen.
        QCOMPARE(left.result.bottom(), screen.bottom());
    }

    void smallScreensGetItOverThePageAreaOnly() {
        for (const QRect& screen : {QRect(0, 0, 1366, 728), QRect(0, 0, 800, 600),
                                    QRect(-1280, 0, 1280, 1024), QRect(0, 0, 1920, 1040)}) {
            for (const QPoint& at : {screen.topLeft(), screen.topLeft() + QPoint(200, 150),
                                     screen.topLeft() + QPoint(-40, screen.height() - 150)}) {
                const Case c = placeOn(screen, at);
                const QString where = QStringLiteral("screen %1,%2 %3x%4, main at %5,%6")
                                          .arg(screen.x())
                                          .arg(screen.y())
                                          .arg(screen.width())
                                          .arg(screen.height())
                                          .arg(at.x())
                                          .arg(at.y());
                QVERIFY2(!c.result.intersects(c.controls), qPrintable(where));
                QVERIFY2(screen.contains(c.result), qPrintable(where));
                QVERIFY2(c.result.height() >= 100, qPrintable(where));
                QVERIFY2(c.result.width() == std::min(kPreview.width(), screen.width()),
                         qPrintable(where));
            }
        }
    }

    void theLargerSideOfTheControlsIsTaken() {
        const QRect screen(0, 0, 1366, 728);
        const Case low = placeOn(screen, QPoint(0, 600));  // controls near the bottom
        QCOMPARE(low.result.bottom(), low.controls.top() - 1);
        QCOMPARE(low.result.top(), 0);
        const Case high = placeOn(screen, QPoint(0, 0));
        QCOMPARE(high.result.top(), high.controls.bottom() + 1);
        QCOMPARE(high.result.bottom(), screen.bottom());
    }
};

QTEST_MAIN(TestPreviewPlacement)
#include "tst_previewplacement.moc"
