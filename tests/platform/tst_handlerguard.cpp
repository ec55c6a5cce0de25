#include <QtTest>

#include "platform/HandlerGuard.h"
#include "platform/Rounding.h"
#include "support/TestSupport.h"

class TestHandlerGuard : public QObject {
    Q_OBJECT
  private slots:
    void roundsHalvesToEven() {
        QCOMPARE(roundHalfEven(2.5), 2);
        QCOMPARE(roundHalfEven(3.5), 4);
        QCOMPARE(roundHalfEven(-2.5), -2);
        QCOMPARE(roundHalfEven(179.6875), 180);
        QCOMPARE(roundHalfEven(1086.6), 1087);
    }

    void errorIsShownAndHandlerStops() {
        RecordingMessageBoxes boxes;
        bool reachedEnd = false;
        const bool completed = runGuarded([&] {
            throw AppError(QStringLiteral("Unable to write to /x/Quorvel.ini"));
            reachedEnd = true;
        });
        QVERIFY(!completed);
        QVERIFY(!reachedEnd);
        QCOMPARE(boxes.texts(), QStringList{"Unable to write to /x/Quorvel.ini"});
        QCOMPARE(boxes.shown.first().icon, MessageBoxes::Icon::Error);
    }

    void silentAbortShowsNothing() {
        RecordingMessageBoxes boxes;
        QVERIFY(!runGuarded([] { throw SilentAbort(); }));
        QVERIFY(boxes.shown.isEmpty());
    }

    void foreignExceptionsAreShownToo() {
        RecordingMessageBoxes boxes;
        QVERIFY(
            !runGuarded([] { throw std::invalid_argument("'' is not a valid integer value"); }));
        QCOMPARE(boxes.texts(), QStringList{"'' is not a valid integer value"});
        QVERIFY(runGuarded([] {}));
    }
};

QTEST_MAIN(TestHandlerGuard)
#include "tst_handlerguard.moc"
