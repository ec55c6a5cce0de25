#include <QtTest/qtestspontaneevent.h>

#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "platform/AppEnvironment.h"
#include "printing/engine/TReportBand.h"
#include "printing/engine/TReportPage.h"
#include "support/MainWindowFixture.h"

namespace {
// The page's rectangle in the coordinates of the page area that shows it.
QRect pageInArea(const TEXPDPrintForm& form) {
    return QRect(form.ReportPage1->mapTo(form.pnl3, QPoint(0, 0)), form.ReportPage1->size());
}

// The visible part of the page area, without its scroll bars.
QRect shownArea(const TEXPDPrintForm& form) {
    QRect shown = form.pnl3->rect();
    for (QScrollBar* bar : form.pnl3->findChildren<QScrollBar*>()) {
        if (!bar->isVisible()) continue;
        if (bar->orientation() == Qt::Horizontal)
            shown.setBottom(bar->mapTo(form.pnl3, QPoint(0, 0)).y() - 1);
        else
            shown.setRight(bar->mapTo(form.pnl3, QPoint(0, 0)).x() - 1);
    }
    return shown;
}

QScrollBar* visibleBar(const TEXPDPrintForm& form, Qt::Orientation orientation) {
    for (QScrollBar* bar : form.pnl3->findChildren<QScrollBar*>())
        if (bar->isVisible() && bar->orientation() == orientation) return bar;
    return nullptr;
}

// A mouse wheel turned over the middle of `widget`, delivered to the window as the platform
// delivers it: the window finds the widget under the pointer, and a widget that does not
// take the wheel passes it to its parent.
void turnWheel(QWidget* widget, QPoint angle) {
    QWidget* window = widget->window();
    const QPoint pos = widget->mapTo(window, widget->rect().center());
    QWheelEvent wheel(pos, window->mapToGlobal(pos), QPoint(), angle, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    // As QTest does with keys: marked as the platform's own, and not through sendEvent,
    // which would mark it as the program's.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(window->windowHandle(), &wheel);
}

// A click on `widget` at `pos`, through the window.
void clickAt(QWidget* widget, QPoint pos) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(widget->window(), pos));
}

// A screen of the given size for the next window to open on.
struct Screen {
    explicit Screen(QSize size) { AppEnvironment::setAvailableScreenArea(QRect({0, 0}, size)); }
    ~Screen() { AppEnvironment::setAvailableScreenArea({}); }
};
}  // namespace

class TestPageScrolling : public QObject {
    Q_OBJECT
  private slots:
    void wheelAndScrollBarReachEveryPartOfALargePage() {
        Screen small({800, 600});
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(form.size(), QSize(961, 672));
        const QRect page = pageInArea(form);
        QVERIFY2(page.width() > form.pnl3->width(), "the page must be wider than the area");
        QVERIFY(!shownArea(form).contains(page));
        QCOMPARE(page.topLeft(), QPoint(5, 5));  // the corner shows with its grey gap

        // The wheel over the page itself (a field on it) moves the page down to its bottom.
        QWidget* overPage = form.DetailBand1->childAt(form.DetailBand1->rect().center());
        QVERIFY(overPage);
        for (int turn = 0; turn < 20; ++turn) turnWheel(overPage, {0, -120});
        QVERIFY2(pageInArea(form).bottom() <= shownArea(form).bottom(),
                 "the page's bottom edge is reached with the wheel");
        QCOMPARE(shownArea(form).bottom() - pageInArea(form).bottom(), 5);

        // The horizontal scroll bar, clicked beyond its handle, pages to the right edge.
        QScrollBar* across = visibleBar(form, Qt::Horizontal);
        QVERIFY(across);
        for (int click = 0; click < 10; ++click)
            clickAt(across, QPoint(across->width() - 20, across->height() / 2));
        QVERIFY2(pageInArea(form).right() <= shownArea(form).right(),
                 "the page's right edge is reached with the scroll bar");
        QCOMPARE(shownArea(form).right() - pageInArea(form).right(), 5);

        // A horizontal wheel brings the left edge back.
        for (int turn = 0; turn < 20; ++turn) turnWheel(overPage, {120, 0});
        QCOMPARE(pageInArea(form).left(), 5);
    }

    void aPageThatFitsIsCentredAndNothingScrolls() {
        Screen large({1600, 1000});
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(!visibleBar(form, Qt::Horizontal));
        QVERIFY(!visibleBar(form, Qt::Vertical));
        form.resize(1500, 900);
        QTRY_COMPARE(pageInArea(form).center().x(), form.pnl3->rect().center().x());
        QVERIFY(qAbs(pageInArea(form).center().y() - form.pnl3->rect().center().y()) <= 1);
    }

    void theWindowOpensLargeEnoughForTheWholePageWhereTheScreenAllows() {
        Screen large({1600, 1000});
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        const QSize page = form.ReportPage1->size();
        QVERIFY(page.width() + 10 > 961);
        // As large as the page and its gap need, and no larger.
        QCOMPARE(form.pnl3->size(), page + QSize(10, 10));
        QVERIFY(shownArea(form).contains(pageInArea(form)));
        QVERIFY(QRect(0, 0, 1600, 1000).contains(form.frameGeometry()));
    }

    void theWindowNeverOpensLargerThanTheScreen() {
        Screen middle({1024, 640});
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        // Wider than normal as far as the screen goes; the normal height is kept although
        // the screen is lower, since the window's controls need it.
        QCOMPARE(form.width(), 1024 - (form.frameGeometry().width() - form.width()));
        QCOMPARE(form.height(), 672);
        QVERIFY(visibleBar(form, Qt::Vertical));
        QVERIFY(form.frameGeometry().left() >= 0);
        QVERIFY(form.frameGeometry().top() >= 0);
    }
};

QTEST_MAIN(TestPageScrolling)
#include "tst_pagescrolling.moc"
