#include <QMainWindow>
#include <QMenu>
#include <QtTest>

#include "editor/EditorScene.h"
#include "editor/TSizeFrames.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

// The selection set and its frames, driven through their own interface.
class TestSizeFrames : public QObject {
    Q_OBJECT
  private slots:
    void frameLiesAroundItsControlInTheSameParent() {
        EditorScene s;
        s.cbb1->setGeometry(100, 50, 80, 26);
        TSizeFrame* f = s.edit->AddChild(s.cbb1);
        QVERIFY(f);
        QCOMPARE(f->parentWidget(), s.band);
        QCOMPARE(f->geometry(), QRect(98, 48, 85, 31));
        QVERIFY(f->isVisible());
        QCOMPARE(f->ItemIndex(), 0);
        QCOMPARE(f->Control(), s.cbb1);
        QCOMPARE(f->DragStyle(), dsUnknown);
        QCOMPARE(f->DragRect(), EditRect{});
        QCOMPARE(QApplication::focusWidget(), f);  // the new frame takes the keys
        QVERIFY(EditorControls::isEditorPart(f));
    }

    void addingRefusesNoneFramesDuplicatesAndForms() {
        EditorScene s;
        RecordingMessageBoxes boxes;
        TSizeFrame* f = s.edit->AddChild(s.cbb1);
        QVERIFY(f);
        QCOMPARE(s.edit->AddChild(s.cbb1), nullptr);
        QCOMPARE(s.edit->AddChild(nullptr), nullptr);
        QCOMPARE(s.edit->AddChild(f), nullptr);
        QCOMPARE(s.edit->ChildCount(), 1);
        QMainWindow form;
        try {
            s.edit->AddChild(&form);
            QFAIL("a form was added");
        } catch (const AppError& e) {
            QCOMPARE(e.text(), QString::fromUtf8("不能加入Form对象"));
        }
        QCOMPARE(s.edit->ChildCount(), 1);
    }

    void removingIsDeferredAndClearIsImmediate() {
        EditorScene s;
        s.edit->AddChild(s.cbb1);
        s.edit->AddChild(s.cbb2);
        s.edit->AddChild(s.cbb3);
        QCOMPARE(s.edit->IndexOf(s.cbb2), 1);
        s.edit->RemoveChild(s.cbb2);
        QCOMPARE(s.edit->ChildCount(), 3);  // until the frame is really gone
        QVERIFY(s.frameOf(s.cbb2)->isVisible());
        EditorScene::processDeletes();
        QCOMPARE(s.edit->ChildCount(), 2);
        QCOMPARE(s.edit->IndexOf(s.cbb2), -1);
        QCOMPARE(s.edit->IndexOf(s.cbb3), 1);

        s.edit->RemoveChild(0);
        QCOMPARE(s.edit->ChildCount(), 2);
        EditorScene::processDeletes();
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb3});

        try {
            s.edit->RemoveChild(5);
            QFAIL("a bad position was accepted");
        } catch (const AppError& e) {
            QCOMPARE(e.text(), QString("List index out of bounds (5)"));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, s.edit->RemoveChild(-1));

        s.edit->AddChild(s.cbb1);
        s.edit->Clear();
        QCOMPARE(s.edit->ChildCount(), 0);
        QCOMPARE(s.framesOnForm().size(), 2);  // still on screen until deleted
        EditorScene::processDeletes();
        QVERIFY(s.framesOnForm().isEmpty());
        QCOMPARE(s.edit->GetChild(0), nullptr);
        QCOMPARE(s.edit->GetFrame(-1), nullptr);
    }

    void frameFollowsItsControl() {
        EditorScene s;
        TSizeFrame* f = s.edit->AddChild(s.cbb1);
        s.cbb1->move(200, 120);
        QCOMPARE(f->geometry(), QRect(198, 118, 85, 31));
        s.cbb1->resize(100, 30);
        QCOMPARE(f->geometry(), QRect(198, 118, 105, 35));
        // A control raised over its frame brings the frame back on top when it moves.
        s.cbb1->raise();
        s.cbb1->move(201, 120);
        QCOMPARE(s.band->children().last(), f);
        s.cbb1->setEnabled(false);  // repaints only; the frame stays
        QCOMPARE(f->geometry(), QRect(199, 118, 105, 35));
    }

    void frameReleasesItselfWhenItsControlIsDestroyed() {
        EditorScene s;
        QPointer<TSizeFrame> f = s.edit->AddChild(s.cbb1);
        delete s.cbb1;
        QVERIFY(f);
        QCOMPARE(f->Control(), nullptr);
        QCOMPARE(s.edit->ChildCount(), 1);
        EditorScene::processDeletes();
        QVERIFY(!f);
        QCOMPARE(s.edit->ChildCount(), 0);
    }

    void twoFramesOnOneControlKeepEachOthersHooks() {
        for (bool olderGoesFirst : {true, false}) {
            EditorScene s;
            QPointer<TSizeFrame> older = s.edit->AddChild(s.cbb1);
            s.edit->Clear();  // the older frame waits for deletion
            QPointer<TSizeFrame> newer = s.edit->AddChild(s.cbb1);
            QVERIFY(older && newer && older != newer);
            if (olderGoesFirst) {
                EditorScene::processDeletes();
                QVERIFY(!older);
            } else {
                s.edit->Clear();
                s.edit->AddChild(s.cbb2);
                delete newer.data();
            }
            TSizeFrame* survivor = olderGoesFirst ? newer.data() : older.data();
            QVERIFY(survivor);
            s.cbb1->move(10, 10);
            QCOMPARE(survivor->geometry(), QRect(8, 8, 85, 31));
            EditorScene::processDeletes();
        }
    }

    void framesAreInertOnceTheirSetIsGone() {
        EditorScene s;
        auto* set = new TSizeFrames;
        QPointer<TSizeFrame> f = set->AddChild(s.cbb1);
        QVERIFY(f);
        delete set;
        QVERIFY(!f || !f->isVisible());
        QVERIFY(!f || f->Owner() == nullptr);
        if (f) {
            // Input to an orphaned frame does nothing, and moving the control touches it not.
            QTest::keyClick(f.data(), Qt::Key_Right, Qt::ControlModifier);
            QCOMPARE(s.cbb1->pos(), QPoint(100, 50));
            s.cbb1->move(0, 0);
        }
        EditorScene::processDeletes();
        QVERIFY(!f);
    }

    void framesPaintTheirBoxesInTheSetsColours() {
        EditorScene s;
        TSizeFrame* f = s.edit->AddChild(s.cbb1);
        QImage one = f->grab().toImage();
        QCOMPARE(one.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(one.pixelColor(42, 1), QColor(Qt::black));  // the top middle box
        s.edit->AddChild(s.cbb2);
        QImage two = f->grab().toImage();
        QCOMPARE(two.pixelColor(1, 1), QColor(0x80, 0x80, 0x80));
        QVERIFY(two.pixelColor(42, 1) != QColor(0x80, 0x80, 0x80));  // no middle boxes
        s.edit->SetBoxColor(Qt::red);
        QCOMPARE(f->grab().toImage().pixelColor(83, 29), QColor(Qt::red));
    }

    void alignmentCommands() {
        EditorScene s;
        s.cbb1->setGeometry(30, 10, 80, 26);
        s.cbb2->setGeometry(10, 60, 120, 26);
        s.cbb3->setGeometry(10, 110, 40, 30);
        s.edit->AddChild(s.cbb1);
        s.edit->AlignTo(sLeft, sHorizontal);  // one control: nothing
        QCOMPARE(s.cbb1->x(), 30);
        s.edit->AddChild(s.cbb2);
        s.edit->AddChild(s.cbb3);
        QCOMPARE(s.edit->GetAlignControl(sLeft), s.cbb2);
        s.edit->AlignTo(sLeft, sHorizontal);
        QCOMPARE(s.cbb1->x(), 10);
        QCOMPARE(s.frameOf(s.cbb1)->geometry().topLeft(), QPoint(8, 8));

        s.edit->AlignTo(sRight, sHorizontal);
        QCOMPARE(s.cbb1->x() + s.cbb1->width(), 130);
        QCOMPARE(s.cbb3->x(), 90);
        s.edit->AlignTo(sCenter, sHorizontal);  // centre of the first selected: 50 + 40
        QCOMPARE(s.cbb2->x(), 30);
        QCOMPARE(s.cbb3->x(), 70);
        s.edit->AlignTo(sBottom, sVertical);
        QCOMPARE(s.cbb1->y() + s.cbb1->height(), 140);
        QCOMPARE(s.cbb2->y(), 114);

        s.edit->WidthEqu();
        QCOMPARE(s.cbb2->width(), 80);
        QCOMPARE(s.cbb3->width(), 80);
        s.edit->HeightEqu();
        QCOMPARE(s.cbb3->height(), 26);
        QCOMPARE(s.edit->GetTotalWidth(), 240);
        QCOMPARE(s.edit->GetTotalHeight(), 78);
        QCOMPARE(s.frameOf(s.cbb3)->geometry().size(), QSize(85, 31));

        s.cbb1->move(0, 0);
        s.cbb2->move(15, 0);
        s.cbb3->move(300, 0);
        s.edit->SpaceEqu(sHorizontal);  // (380 - 240) / 2 = 70
        QCOMPARE(s.cbb2->x(), 150);
        QCOMPARE(s.cbb3->x(), 300);
        QCOMPARE(s.edit->GetNearChild(s.cbb1, sRight), s.cbb2);
        QCOMPARE(s.edit->GetNearChild(s.cbb2, sLeft), s.cbb1);
        QCOMPARE(s.edit->GetNearChild(s.cbb1, sLeft), nullptr);

        s.cbb1->move(0, 0);
        s.cbb2->move(10, 0);
        s.cbb3->move(20, 0);
        s.edit->SpaceEqu(sHorizontal);  // overlapping: nothing moves
        QCOMPARE(s.cbb2->x(), 10);
    }

    void eventsAreRaisedWithTheFrameCoordinates() {
        EditorScene s;
        QStringList log;
        s.edit->OnMouseDown = [&](QObject* sender, Qt::MouseButton b, Qt::KeyboardModifiers, int x,
                                  int y) {
            QCOMPARE(sender, s.edit);
            log << QString("down %1 %2,%3").arg(int(b)).arg(x).arg(y);
        };
        s.edit->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            log << QString("up %1,%2").arg(x).arg(y);
        };
        s.edit->OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int, int) {
            if (!log.contains("move")) log << "move";
        };
        s.edit->OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) {
            log << QString("key %1").arg(key);
            key = 0;  // stops the frame's own handling
        };
        s.edit->OnDblClick = [&](QObject*) { log << "dblclick"; };
        TSizeFrame* f = s.edit->AddChild(s.cbb1);
        s.click(f, QPoint(30, 10));
        QCOMPARE(s.edit->CurFrame(), f);
        s.key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));  // the handler cleared the key
        QTest::mouseDClick(s.window(), Qt::LeftButton, {}, s.at(f, QPoint(30, 10)));
        QVERIFY2(log.contains("down 1 30,10"), qPrintable(log.join('|')));
        QVERIFY(log.contains("up 30,10"));
        QVERIFY(log.contains(QString("key %1").arg(int(Qt::Key_Right))));
        QVERIFY(log.contains("dblclick"));
    }

    void popupMenuIsSharedAndForgotten() {
        EditorScene s;
        auto* menu = new QMenu;
        s.edit->SetPopupMenu(menu);
        QCOMPARE(s.edit->PopupMenu(), menu);
        delete menu;
        QCOMPARE(s.edit->PopupMenu(), nullptr);
    }
};

QTEST_MAIN(TestSizeFrames)
#include "tst_sizeframes.moc"
