#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRubberBand>
#include <QWindow>
#include <QtTest>
#include <memory>

#include "editor/EditorControls.h"
#include "editor/TControlEdit.h"
#include "editor/TSizeFrame.h"

// A small form like the main window's page: a container "DetailBand1" holding a non-windowed
// picture "Image1" and three editable combo boxes, with a layout editor over the container.
// Mouse events go to the form's QWindow, as a person's do, so that application filters see
// them before Qt picks the widget under the mouse.
struct EditorScene {
    std::unique_ptr<QWidget> form;
    QWidget* band = nullptr;
    QLabel* image = nullptr;
    QComboBox* cbb1 = nullptr;
    QComboBox* cbb2 = nullptr;
    QComboBox* cbb3 = nullptr;
    TControlEdit* edit = nullptr;
    QWidget* panel = nullptr;    // made by addPanel()
    QComboBox* inner = nullptr;  // inside the panel

    // With `imageFillsBand` the picture covers the whole band, as on the main window.
    explicit EditorScene(bool imageFillsBand = false) {
        form = std::make_unique<QWidget>();
        form->setObjectName("Form1");
        form->resize(900, 500);
        band = new QWidget(form.get());
        band->setObjectName("DetailBand1");
        band->setGeometry(20, 30, 800, 400);
        image = new QLabel(band);
        image->setObjectName("Image1");
        EditorControls::setNonWindowed(image);
        image->setGeometry(imageFillsBand ? QRect(0, 0, 800, 400) : QRect(600, 250, 150, 100));
        cbb1 = combo("cbb1", QRect(100, 50, 80, 26));
        cbb2 = combo("cbb2", QRect(300, 50, 80, 26));
        cbb3 = combo("cbb3", QRect(100, 150, 120, 24));
        edit = new TControlEdit(form.get());
        edit->setObjectName("ControlEdit1");
        edit->SetEditControl(band);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    ~EditorScene() {
        // Leave no button held for the next test.
        if (QGuiApplication::mouseButtons() != Qt::NoButton && form)
            QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(1, 1));
    }

    QComboBox* combo(const QString& name, const QRect& r) {
        auto* c = new QComboBox(band);
        c->setObjectName(name);
        c->setEditable(true);
        c->setEditText(name + " text");
        c->setGeometry(r);
        return c;
    }

    // A panel "Panel1" on the band at (400, 200) sized 200 x 100, holding a combo box
    // "cbbInner" at (10, 10) sized 80 x 26, both shown; returns the panel.
    QWidget* addPanel() {
        panel = new QWidget(band);
        panel->setObjectName("Panel1");
        panel->setGeometry(400, 200, 200, 100);
        inner = new QComboBox(panel);
        inner->setObjectName("cbbInner");
        inner->setGeometry(10, 10, 80, 26);
        panel->show();
        inner->show();
        return panel;
    }

    QWindow* window() const { return form->windowHandle(); }
    QPoint at(QWidget* w, QPoint p) const { return w->mapTo(form.get(), p); }

    void press(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(window(), Qt::LeftButton, mods, at(w, p));
    }
    void move(QWidget* w, QPoint p) { QTest::mouseMove(window(), at(w, p)); }
    void release(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseRelease(window(), Qt::LeftButton, mods, at(w, p));
    }
    void click(QWidget* w, QPoint p, Qt::KeyboardModifiers mods = {}) {
        press(w, p, mods);
        release(w, p, mods);
    }
    // Press at `from`, move there in a few steps, release at `to` (all in w's coordinates).
    void drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        press(w, from, mods);
        const QPoint d = to - from;
        for (int i = 1; i <= 4; ++i) move(w, from + d * i / 4);
        release(w, to, mods);
    }
    void key(int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(window(), Qt::Key(key), mods);
    }

    TSizeFrame* frameOf(QWidget* c) const { return edit->FindFrame(c); }
    QList<QWidget*> selection() const {
        QList<QWidget*> s;
        for (int i = 0; i < edit->ChildCount(); ++i) s << edit->GetChild(i);
        return s;
    }
    // The overlays still on the form (drag rectangles and rubber bands).
    QList<QRubberBand*> overlays() const { return form->findChildren<QRubberBand*>(); }
    QList<TSizeFrame*> framesOnForm() const { return form->findChildren<TSizeFrame*>(); }

    static void processDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
