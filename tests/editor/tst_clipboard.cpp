#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include "editor/ControlClassRegistry.h"
#include "editor/ControlStream.h"
#include "editor/EditorScene.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

namespace {

QByteArray clipboardEntry() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->data(ControlStream::kMimeType) : QByteArray();
}

void setClipboardEntry(const QByteArray& bytes) {
    auto* mime = new QMimeData;
    mime->setData(ControlStream::kMimeType, bytes);
    QGuiApplication::clipboard()->setMimeData(mime);
}

QByteArray entryOf(const QList<ControlNode>& children) {
    ControlNode root;
    root.className = "QWidget";
    root.objectName = "Clipboard_";
    root.children = children;
    return ControlStream::write(root);
}

ControlNode node(const QString& cls, const QString& name, QRect geometry = QRect(10, 10, 80, 26)) {
    ControlNode n;
    n.className = cls;
    n.objectName = name;
    n.geometry = geometry;
    return n;
}

// Everything that makes up a form's state for "nothing was left behind".
QStringList snapshot(QWidget* form) {
    QStringList all;
    for (QObject* o : form->findChildren<QObject*>())
        all << QString("%1:%2").arg(o->metaObject()->className(), o->objectName());
    all << QString("top-level windows %1").arg(QApplication::topLevelWidgets().size());
    return all;
}

}  // namespace

class TestClipboard : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        ControlClassRegistry::unregisterAll();
        QGuiApplication::clipboard()->clear();
    }

    void regChildClassRegistersTheBandsClassesAndTheirAncestors() {
        EditorScene s;
        QVERIFY(!ControlClassRegistry::isRegistered("QComboBox"));
        s.edit->RegChildClass();
        for (const char* name : {"QComboBox", "QLabel", "QFrame", "QWidget", "QObject"})
            QVERIFY2(ControlClassRegistry::isRegistered(name), name);
        QVERIFY(!ControlClassRegistry::isRegistered("QPushButton"));
        QVERIFY(ControlClassRegistry::isCreatable("QComboBox"));
        QVERIFY(!ControlClassRegistry::isCreatable("QObject"));  // not a control
        TControlEdit none;
        none.RegChildClass();  // no container: nothing happens
    }

    void copyAndPasteIntoTheBandKeepsPropertiesWithAFreeName() {
        EditorScene s;
        s.edit->SetCopyPasteKey(true);
        s.edit->RegChildClass();
        QFont font("DejaVu Sans");
        font.setPixelSize(14);
        s.cbb1->setFont(font);
        s.cbb1->setEditText(QString::fromUtf8("发货人 张三"));
        s.click(s.cbb1, QPoint(20, 10));
        s.key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!clipboardEntry().isEmpty());
        QCOMPARE(s.cbb1->parentWidget(), s.band);  // the copy leaves the field where it was
        QCOMPARE(s.cbb1->pos(), QPoint(100, 50));

        // With the picture selected, Ctrl+V pastes into the band.
        s.click(s.image, QPoint(20, 10));
        s.key(Qt::Key_V, Qt::ControlModifier);
        auto* copy = s.band->findChild<QComboBox*>("ComboBox1", Qt::FindDirectChildrenOnly);
        QVERIFY(copy);
        QCOMPARE(copy->geometry(), QRect(100, 50, 80, 26));
        QCOMPARE(copy->currentText(), QString::fromUtf8("发货人 张三"));
        QCOMPARE(copy->font().family(), QString("DejaVu Sans"));
        QCOMPARE(copy->font().pixelSize(), 14);
        QVERIFY(copy->isEditable());
        QVERIFY(copy->isVisible());
        QVERIFY(copy->isEnabled());
        QCOMPARE(s.selection(), QList<QWidget*>{copy});
        QCOMPARE(QApplication::focusWidget(), s.frameOf(copy));

        // The same entry again, into the band: the next free name.
        QVERIFY(s.edit->PraseFromClipboard(s.band));
        auto* second = s.band->findChild<QComboBox*>("ComboBox2", Qt::FindDirectChildrenOnly);
        QVERIFY(second);
        QCOMPARE(s.selection(), QList<QWidget*>{second});

        // With a field selected, Ctrl+V pastes beside it, into the field's parent: a field
        // holds no controls.
        s.key(Qt::Key_V, Qt::ControlModifier);
        auto* third = s.band->findChild<QComboBox*>("ComboBox3", Qt::FindDirectChildrenOnly);
        QVERIFY(third);
        QVERIFY(second->findChildren<QComboBox*>().isEmpty());
        QCOMPARE(third->geometry(), QRect(100, 50, 80, 26));
        QCOMPARE(s.selection(), QList<QWidget*>{third});
        EditorScene::processDeletes();
        QCOMPARE(s.framesOnForm().size(), 1);
    }

    void ctrlVPastesIntoASelectedContainerAndBesideAnythingElse() {
        EditorScene s;
        s.edit->SetCopyPasteKey(true);
        QWidget* panel = s.addPanel();  // a plain widget: a container
        s.edit->RegChildClass();
        setClipboardEntry(entryOf({node("QComboBox", "cbb1", QRect(10, 40, 80, 26))}));

        s.click(panel, QPoint(150, 80));
        QCOMPARE(s.selection(), QList<QWidget*>{panel});
        s.key(Qt::Key_V, Qt::ControlModifier);
        auto* intoPanel = panel->findChild<QComboBox*>("ComboBox1", Qt::FindDirectChildrenOnly);
        QVERIFY(intoPanel);
        QCOMPARE(s.selection(), QList<QWidget*>{intoPanel});

        // With the panel's own combo box selected, the paste goes to the panel beside it.
        s.click(s.inner, QPoint(20, 10));
        QCOMPARE(s.selection(), QList<QWidget*>{s.inner});
        s.key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(panel->findChild<QComboBox*>("ComboBox2", Qt::FindDirectChildrenOnly));
        QVERIFY(s.inner->findChildren<QComboBox*>().isEmpty());

        // The picture is no container either.
        s.click(s.image, QPoint(20, 10));
        s.key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(s.band->findChild<QComboBox*>("ComboBox3", Qt::FindDirectChildrenOnly));
        QVERIFY(s.image->findChildren<QWidget*>().isEmpty());

        QVERIFY(EditorControls::acceptsControls(panel));
        QVERIFY(EditorControls::acceptsControls(s.band));
        QVERIFY(!EditorControls::acceptsControls(s.cbb1));
        QVERIFY(!EditorControls::acceptsControls(s.image));
    }

    void aCopyOfSeveralKeepsTheirOrderAndSelection() {
        EditorScene s;
        s.edit->RegChildClass();
        s.edit->AddChild(s.cbb1);
        s.edit->AddChild(s.cbb2);
        QVERIFY(s.edit->CopyToClipboard());  // no frame has had input yet: nothing is copied
        QVERIFY(clipboardEntry().isEmpty());
        s.click(s.frameOf(s.cbb2), QPoint(40, 15));
        QVERIFY(s.edit->CopyToClipboard());
        // The copied fields now stand after their siblings, the first selected lowest.
        QCOMPARE(EditorControls::controlChildren(s.band, s.band),
                 (QList<QWidget*>{s.image, s.cbb3, s.cbb1, s.cbb2}));
        const ControlNode root = ControlStream::read(clipboardEntry());
        QCOMPARE(root.objectName, QString("Clipboard_"));
        QCOMPARE(root.children.size(), 2);
        QCOMPARE(root.children[0].objectName, QString("cbb2"));  // from the last selected

        s.edit->PraseFromClipboard(s.band);
        QWidget* copy1 = s.band->findChild<QWidget*>("ComboBox1");
        QWidget* copy2 = s.band->findChild<QWidget*>("ComboBox2");
        QVERIFY(copy1 && copy2);
        QCOMPARE(copy1->geometry(), s.cbb1->geometry());
        QCOMPARE(copy2->geometry(), s.cbb2->geometry());
        QCOMPARE(s.selection(), (QList<QWidget*>{copy1, copy2}));
    }

    void cutDeletesWithoutTheDeleteEventsAndPastesBackUnderTheSameName() {
        EditorScene s;
        s.edit->SetCopyPasteKey(true);
        s.edit->SetDelKey(true);
        s.edit->RegChildClass();
        int deleteEvents = 0;
        s.edit->OnBeforeDelete = [&](QObject*) { ++deleteEvents; };
        s.edit->OnAfterDelete = [&](QObject*) { ++deleteEvents; };
        s.cbb3->setEditText("cut me");
        s.click(s.cbb3, QPoint(20, 10));
        QPointer<QComboBox> cut = s.cbb3;
        s.key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!cut);
        QCOMPARE(deleteEvents, 0);
        EditorScene::processDeletes();
        QVERIFY(s.framesOnForm().isEmpty());

        s.click(s.image, QPoint(20, 10));
        s.key(Qt::Key_V, Qt::ControlModifier);
        auto* back = s.band->findChild<QComboBox*>("cbb3");
        QVERIFY(back);  // the name is free again
        QCOMPARE(back->currentText(), QString("cut me"));
        QCOMPARE(back->geometry(), QRect(100, 150, 120, 24));
    }

    void withoutCopyPasteKeyTheKeysDoNothing() {
        EditorScene s;
        s.edit->RegChildClass();
        s.click(s.cbb1, QPoint(20, 10));
        s.key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clipboardEntry().isEmpty());
        s.key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(s.cbb1);
        QCOMPARE(s.cbb1->parentWidget(), s.band);
    }

    void picturesAndNestedControlsAreCopied() {
        EditorScene s;
        QPixmap picture(30, 20);
        picture.fill(Qt::red);
        s.image->setPixmap(picture);
        s.image->setScaledContents(true);
        QWidget* panel = s.addPanel();
        s.inner->setEnabled(false);
        auto* hidden = new QComboBox(panel);
        hidden->setObjectName("cbbHidden");
        hidden->setGeometry(100, 10, 80, 26);
        hidden->hide();
        s.edit->RegChildClass();

        s.edit->AddChild(panel);
        s.edit->AddChild(s.image);
        s.click(s.frameOf(s.image), QPoint(40, 15));
        s.edit->CopyToClipboard();
        const ControlNode root = ControlStream::read(clipboardEntry());
        QCOMPARE(root.children[0].objectName, QString("Image1"));  // non-windowed first
        QCOMPARE(root.children[1].children.size(), 2);

        s.edit->PraseFromClipboard(s.band);
        auto* label = s.band->findChild<QLabel*>("Label1", Qt::FindDirectChildrenOnly);
        QVERIFY(label);
        QVERIFY(EditorControls::isNonWindowed(label));
        QVERIFY(label->hasScaledContents());
        QCOMPARE(label->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
        QWidget* panelCopy = s.band->findChild<QWidget*>("Widget1", Qt::FindDirectChildrenOnly);
        QVERIFY(panelCopy);
        // Names are given from the last component read to the first.
        auto* hiddenCopy = panelCopy->findChild<QComboBox*>("ComboBox1");
        auto* innerCopy = panelCopy->findChild<QComboBox*>("ComboBox2");
        QVERIFY(innerCopy && hiddenCopy);
        QVERIFY(!innerCopy->isEnabled());
        QVERIFY(innerCopy->isVisible());
        QVERIFY(!hiddenCopy->isVisible());
        QCOMPARE(hiddenCopy->geometry(), QRect(100, 10, 80, 26));
        // Only the copied controls are selected, not what lies inside them.
        QCOMPARE(s.edit->ChildCount(), 2);
        QCOMPARE(s.edit->IndexOf(innerCopy), -1);
        // A non-windowed copy stays beneath the fields.
        const QObjectList kids = s.band->children();
        QVERIFY(kids.indexOf(label) < kids.indexOf(s.cbb1));
    }

    void aCopyOverTwoParentsTakesTheClickedParentOnly() {
        EditorScene s;
        s.addPanel();
        QComboBox* inner = s.inner;
        s.edit->RegChildClass();
        s.edit->AddChild(s.cbb1);
        s.edit->AddChild(inner);
        s.click(s.frameOf(s.cbb1), QPoint(40, 15));  // the last clicked: cbb1
        s.edit->CopyToClipboard();
        QCOMPARE(ControlStream::read(clipboardEntry()).children.size(), 1);
        EditorScene::processDeletes();
        QCOMPARE(s.selection(), QList<QWidget*>{s.cbb1});
    }

    void fitToParentAndFreeNames() {
        EditorScene s;
        QWidget parent;
        parent.resize(1000, 500);
        QWidget a;
        a.setGeometry(950, 10, 100, 20);
        s.edit->FitToParent(&a, &parent);
        QCOMPARE(a.geometry(), QRect(900, 10, 100, 20));
        QCOMPARE(a.parentWidget(), &parent);
        QWidget* b = new QWidget;
        b->setGeometry(950, 490, 1200, 20);
        s.edit->FitToParent(b, &parent);
        QCOMPARE(b->geometry(), QRect(-200, 480, 1200, 20));

        s.edit->RegChildClass();
        QCOMPARE(s.edit->GetUniqueName("cbb1", "QComboBox"), QString("ComboBox1"));
        QCOMPARE(s.edit->GetUniqueName("NotThere", "QComboBox"), QString("NotThere"));
        auto* two = new QComboBox(s.band);
        two->setObjectName("ComboBox2");
        auto* three = new QComboBox(s.form.get());
        three->setObjectName("ComboBox3");
        QCOMPARE(s.edit->GetUniqueName("CBB1", "QComboBox"), QString("ComboBox1"));
        auto* one = new QComboBox(s.band);
        one->setObjectName("ComboBox1");
        QCOMPARE(s.edit->GetUniqueName("cbb1", "QComboBox"), QString("ComboBox4"));
    }

    void badClipboardDataIsRefusedAndLeavesNothingBehind() {
        EditorScene s;
        RecordingMessageBoxes boxes;
        s.edit->SetCopyPasteKey(true);
        s.edit->RegChildClass();
        s.click(s.cbb1, QPoint(20, 10));
        s.key(Qt::Key_C, Qt::ControlModifier);
        const QByteArray good = clipboardEntry();
        QVERIFY(!good.isEmpty());

        ControlNode nested = node("QWidget", "Outer");
        nested.children << node("QComboBox", "Twin") << node("QComboBox", "twin");
        ControlNode badChild = node("QComboBox", "Fine");
        badChild.children << node("QPushButton", "Button1");
        struct Case {
            QString name;
            std::function<void()> put;
            QString error;  // empty: the paste quietly changes nothing
        };
        const QList<Case> cases{
            {"empty", [] { QGuiApplication::clipboard()->clear(); }, ""},
            {"foreign text", [] { QGuiApplication::clipboard()->setText("cbb1"); }, ""},
            {"garbage", [] { setClipboardEntry("\x01\x02garbage"); }, "Invalid stream format"},
            {"empty entry", [] { setClipboardEntry(QByteArray()); }, "Invalid stream format"},
            {"truncated", [&] { setClipboardEntry(good.left(good.size() / 2)); },
             "Invalid stream format"},
            {"truncated by one", [&] { setClipboardEntry(good.left(good.size() - 1)); },
             "Invalid stream format"},
            {"unregistered class",
             [] { setClipboardEntry(entryOf({node("QPushButton", "Button1")})); },
             "Class QPushButton not found"},
            {"unknown class", [] { setClipboardEntry(entryOf({node("TEvilWidget", "Evil1")})); },
             "Class TEvilWidget not found"},
            {"a class that is no control",
             [] { setClipboardEntry(entryOf({node("QObject", "Thing")})); },
             "Class QObject not found"},
            {"unregistered class deep inside",
             [&] {
                 setClipboardEntry(entryOf({node("QComboBox", "A"), badChild}));
             },
             "Class QPushButton not found"},
            {"names twice", [&] { setClipboardEntry(entryOf({nested})); },
             "A component named twin already exists"},
            {"bad name", [] { setClipboardEntry(entryOf({node("QComboBox", "a-b")})); },
             "'a-b' is not a valid component name"},
            {"huge size",
             [] {
                 setClipboardEntry(entryOf({node("QComboBox", "Big", QRect(0, 0, 100000, 10))}));
             },
             "Invalid stream format"},
        };
        s.click(s.image, QPoint(20, 10));
        EditorScene::processDeletes();
        const QStringList before = snapshot(s.form.get());
        for (const Case& c : cases) {
            boxes.clear();
            c.put();
            s.key(Qt::Key_V, Qt::ControlModifier);
            EditorScene::processDeletes();
            if (c.error.isEmpty())
                QVERIFY2(boxes.shown.isEmpty(), qPrintable(c.name));
            else
                QVERIFY2(boxes.texts() == QStringList{c.error},
                         qPrintable(c.name + ": " + boxes.texts().join('|')));
            QVERIFY2(snapshot(s.form.get()) == before, qPrintable(c.name));
            QVERIFY2(s.selection() == QList<QWidget*>{s.image}, qPrintable(c.name));
        }

        // Every truncation of a good entry is refused.
        for (int n = 0; n < good.size(); n += 7) {
            boxes.clear();
            setClipboardEntry(good.left(n));
            s.key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(boxes.texts(), QStringList{"Invalid stream format"});
        }
        EditorScene::processDeletes();
        QCOMPARE(snapshot(s.form.get()), before);

        // Without the class registration nothing can be made, not even the container.
        ControlClassRegistry::unregisterAll();
        boxes.clear();
        setClipboardEntry(good);
        s.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(boxes.texts(), QStringList{"Class QWidget not found"});
        QCOMPARE(snapshot(s.form.get()), before);
    }

    void aNameTakenInTheTargetsOwnerIsRefused() {
        EditorScene s;
        s.edit->RegChildClass();
        QWidget other;
        other.setObjectName("OtherForm");
        auto* target = new QWidget(&other);
        target->setObjectName("Target");
        target->resize(300, 300);
        auto* taken = new QComboBox(&other);
        taken->setObjectName("Taken");
        setClipboardEntry(entryOf({node("QComboBox", "Taken")}));
        try {
            s.edit->PraseFromClipboard(target);
            QFAIL("the paste went through");
        } catch (const AppError& e) {
            QCOMPARE(e.text(), QString("A component named Taken already exists"));
        }
        QVERIFY(target->children().isEmpty());
        // A name free in both goes through.
        setClipboardEntry(entryOf({node("QComboBox", "Free")}));
        s.edit->PraseFromClipboard(target);
        QVERIFY(target->findChild<QComboBox*>("Free"));
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
