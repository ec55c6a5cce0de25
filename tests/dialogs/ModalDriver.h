#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

// Drives the modal dialog that the next exec() opens. Call it just before the click that opens
// the dialog: the driver runs inside the dialog's own message loop, once the dialog is the
// active modal window. Whatever the driver does, a dialog still open when it returns is closed,
// so a failing check can never leave a test hanging in exec(). Returns a flag that is true
// once the driver ran to its end.
template <typename Dialog>
std::shared_ptr<bool> driveNextModal(std::function<void(Dialog&)> drive) {
    auto done = std::make_shared<bool>(false);
    QTimer::singleShot(0, [done, drive] {
        QElapsedTimer waited;
        waited.start();
        while (!qobject_cast<Dialog*>(QApplication::activeModalWidget()) && waited.elapsed() < 5000)
            QTest::qWait(10);
        QPointer<Dialog> dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        auto closeLeftOver = qScopeGuard([&] {
            if (dialog && dialog->isVisible()) dialog->reject();
        });
        if (!dialog) {
            qWarning("no modal dialog of the expected class opened");
            return;
        }
        // qWaitForWindowActive() is no use here: a window counts as active while its
        // transient parent, the main window, still has the focus.
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }))
            qWarning("the dialog did not become active");
        drive(*dialog);
        *done = !QTest::currentTestFailed();
    });
    return done;
}

// Clicks a check box or button where a person would: on its indicator or its face.
inline void clickBox(QWidget* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}
