#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "dialogs/ModalDriver.h"
#include "dialogs/TAddExpressForm.h"
#include "dialogs/TSetForm.h"
#include "support/MainWindowFixture.h"
#include "template/ProfileFile.h"

namespace {
const QString kZhongtong = QStringLiteral("中通快递");
const QString kYunda = QStringLiteral("韵达快递");

QStringList pickerItems(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

// A picture file of the given format and size outside the picture folders.
QString writeSource(const QTemporaryDir& dir, const QString& fileName, const char* format,
                    QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    const QString path = dir.filePath(fileName);
    picture.save(path, format);
    return path;
}

// Replaces an edit's text by typing, as a person does (an input method delivers Chinese
// characters as key events that carry only their text).
void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void fill(TAddExpressForm& dialog, const QString& name, const QString& picture,
          const QString& height = "127", const QString& width = "229") {
    typeInto(dialog.edtName, name);
    typeInto(dialog.edtPicture, picture);
    typeInto(dialog.edtLong, height);
    typeInto(dialog.edtWide, width);
}

// Opens "添加快递单", fills it and clicks "确定"; returns whether the dialog closed.
bool addCourier(MainWindowFixture& fx, const QString& name, const QString& picture,
                const QString& height = "127", const QString& width = "229") {
    bool closed = false;
    auto driven = driveNextModal<TAddExpressForm>([&](TAddExpressForm& dialog) {
        fill(dialog, name, picture, height, width);
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        closed = !dialog.isVisible();
    });
    QTest::mouseClick(fx.form().btnAddExpress, Qt::LeftButton);
    return *driven && closed;
}

QString storedPicture(const MainWindowFixture& fx, const QString& name) {
    return QDir(fx.folders.workingFolder()).filePath(name + ".jpg");
}
}  // namespace

class TestAddedCouriers : public QObject {
    Q_OBJECT
  private slots:
    void addedCourierIsListedSwitchedToAndKeptAcrossARestart() {
        MainWindowFixture fx;
        QTemporaryDir sources;
        const QString png = writeSource(sources, "zt.png", "PNG", {90, 50});
        const QString jpeg = writeSource(sources, "yd.jpeg", "JPEG", {80, 40});
        TEXPDPrintForm& form = fx.start();

        QVERIFY(addCourier(fx, kZhongtong, png));
        QVERIFY(fx.boxes.texts().isEmpty());
        // Listed after the built-in ones and shown at once, with the size typed in.
        QCOMPARE(pickerItems(form.cbbNames),
                 (QStringList{"元智捷诚", "龙邦快递", "顺丰快递", kZhongtong}));
        QCOMPARE(form.cbbNames->currentText(), kZhongtong);
        QCOMPARE(form.edtLong->text(), QString("127"));
        QCOMPARE(form.edtWide->text(), QString("229"));
        QCOMPARE(form.Image1->pixmap().size(), QSize(90, 50));
        QVERIFY(form.field("cbb1")->isVisible());
        // The PNG became a real JPEG named after the courier, beside the other pictures.
        QImageReader stored(storedPicture(fx, kZhongtong));
        QCOMPARE(stored.format(), QByteArray("jpeg"));
        QCOMPARE(stored.size(), QSize(90, 50));
        // Its first working and default sets.
        for (const char* key : {"CurrentLong", "DefaultLong"})
            QCOMPARE(fx.value(kZhongtong, key), QString("127"));
        for (const char* key : {"CurrentWide", "DefaultWide"})
            QCOMPARE(fx.value(kZhongtong, key), QString("229"));
        QCOMPARE(fx.value(kZhongtong, "cbb1Left").toInt(), form.field("cbb1")->x());
        QCOMPARE(fx.value(kZhongtong, "Defaultcbb1Left").toInt(), form.field("cbb1")->x());

        QVERIFY(addCourier(fx, kYunda, jpeg, "100", "200"));
        QCOMPARE(fx.value("AddedExpress", "Names"), kZhongtong + "|" + kYunda);

        // A JPEG is copied byte for byte.
        QFile original(jpeg), copy(storedPicture(fx, kYunda));
        QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());

        // Switching away and back loads its picture and template like a built-in one's.
        chooseItem(form.cbbNames, "龙邦快递");
        QCOMPARE(form.Image1->pixmap().size(), QSize(64, 36));
        chooseItem(form.cbbNames, kZhongtong);
        QCOMPARE(form.Image1->pixmap().size(), QSize(90, 50));
        QCOMPARE(form.edtLong->text(), QString("127"));

        // A layout saved for it: a field dragged in the editor, then "保存更改".
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        WaybillField* f = form.field("cbb1");
        const QPoint before = f->pos();
        const QPoint grip = f->rect().center();
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, f->mapTo(&form, grip));
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(form.windowHandle(), f->mapTo(&form, grip + QPoint(10 * i, 6 * i)));
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {},
                            f->mapTo(&form, grip + QPoint(40, 24)));
        QVERIFY(f->pos() != before);
        const QPoint moved = f->pos();
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        QTest::mouseClick(form.btnApply, Qt::LeftButton);
        QCOMPARE(fx.value(kZhongtong, "cbb1Left").toInt(), moved.x());
        QCOMPARE(fx.value(kZhongtong, "cbb1TOP").toInt(), moved.y());

        // A new main window on the same folders lists both, and loads the saved layout.
        TEXPDPrintForm& again = fx.start();
        QCOMPARE(pickerItems(again.cbbNames),
                 (QStringList{"元智捷诚", "龙邦快递", "顺丰快递", kZhongtong, kYunda}));
        chooseItem(again.cbbNames, kZhongtong);
        QCOMPARE(again.field("cbb1")->pos(), moved);
        QCOMPARE(again.Image1->pixmap().size(), QSize(90, 50));
        QVERIFY(again.btnRemoveExpress->isEnabled());
        chooseItem(again.cbbNames, "顺丰快递");
        QVERIFY(!again.btnRemoveExpress->isEnabled());
    }

    void refusalsKeepTheDialogOpenAndAddNothing() {
        MainWindowFixture fx;
        QTemporaryDir sources;
        const QString png = writeSource(sources, "a.png", "PNG", {30, 20});
        QFile text(sources.filePath("notes.jpg"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();
        TEXPDPrintForm& form = fx.start();
        QVERIFY(addCourier(fx, kZhongtong, png));
        const QString settingsBefore = fx.readSettings();

        struct Case {
            QString name, picture, height, width;
            QString message;  // the start of the error shown
            const char* focused;
        };
        const Case cases[] = {
            {"", png, "127", "229", "请填写快递单名称", "edtName"},
            {"   ", png, "127", "229", "请填写快递单名称", "edtName"},
            {"顺丰快递", png, "127", "229", "快递单“顺丰快递”已存在", "edtName"},
            {kZhongtong, png, "127", "229", "快递单“中通快递”已存在", "edtName"},
            {"DefaultExpress", png, "127", "229", "“DefaultExpress”是设置文件保留的名称",
             "edtName"},
            {"圆通/快递", png, "127", "229", "“圆通/快递”不能用作文件名", "edtName"},
            {"圆通:快递", png, "127", "229", "“圆通:快递”不能用作文件名", "edtName"},
            {"圆通|快递", png, "127", "229", "“圆通|快递”不能用作文件名", "edtName"},
            {"com1", png, "127", "229", "“com1”不能用作文件名", "edtName"},
            {"圆通.", png, "127", "229", "“圆通.”不能用作文件名", "edtName"},
            {"圆通快递", "", "127", "229", "请选择快递单图片文件", "edtPicture"},
            {"圆通快递", sources.filePath("missing.png"), "127", "229", "无法读取图片文件",
             "edtPicture"},
            {"圆通快递", text.fileName(), "127", "229", "无法读取图片文件", "edtPicture"},
            {"圆通快递", png, "", "229", "请填写快递单的高", "edtLong"},
            {"圆通快递", png, "19", "229", "请填写快递单的高", "edtLong"},
            {"圆通快递", png, "127", "601", "请填写快递单的宽", "edtWide"},
        };
        for (const Case& c : cases) {
            fx.boxes.clear();
            auto driven = driveNextModal<TAddExpressForm>([&](TAddExpressForm& dialog) {
                fill(dialog, c.name, c.picture, c.height, c.width);
                QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
                QVERIFY2(dialog.isVisible(), qPrintable(c.name));
                QCOMPARE(QApplication::focusWidget()->objectName(), QString(c.focused));
            });
            QTest::mouseClick(form.btnAddExpress, Qt::LeftButton);
            QVERIFY2(*driven, qPrintable(c.name + " " + c.picture));
            QCOMPARE(fx.boxes.texts().size(), 1);
            QVERIFY2(fx.boxes.texts().first().startsWith(c.message),
                     qPrintable(fx.boxes.texts().first()));
            QCOMPARE(fx.boxes.shown.first().icon, MessageBoxes::Icon::Error);
        }
        QCOMPARE(form.cbbNames->count(), 4);
        QCOMPARE(fx.readSettings(), settingsBefore);
        QVERIFY(!QFileInfo::exists(storedPicture(fx, "圆通快递")));

        // "取消" adds nothing either, however the dialog is filled.
        auto driven = driveNextModal<TAddExpressForm>([&](TAddExpressForm& dialog) {
            fill(dialog, "圆通快递", png);
            QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
        });
        QTest::mouseClick(form.btnAddExpress, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(form.cbbNames->count(), 4);
        QCOMPARE(fx.readSettings(), settingsBefore);
    }

    void addedCourierCanBeTheStartCourier() {
        MainWindowFixture fx;
        QTemporaryDir sources;
        TEXPDPrintForm& form = fx.start();
        QVERIFY(addCourier(fx, kZhongtong, writeSource(sources, "z.png", "PNG", {70, 30})));

        auto driven = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            QCOMPARE(pickerItems(dialog.cbbNames), pickerItems(form.cbbNames));
            clickListEntry(dialog.cbbNames, 3);
            QCOMPARE(dialog.cbbNames->currentText(), kZhongtong);
            // The visibility flags are its template's, like any courier's.
            clickBox(dialog.chk2);
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*driven);
        QCOMPARE(fx.value(kZhongtong, "FHOrigin"), QString("0"));

        auto again = driveNextModal<TSetForm>([&](TSetForm& dialog) {
            clickListEntry(dialog.cbbNames, 3);
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        });
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QVERIFY(*again);
        QCOMPARE(fx.value("DefaultExpress", "DefaultExpressD"), kZhongtong);

        TEXPDPrintForm& restarted = fx.start();
        QCOMPARE(restarted.cbbNames->currentText(), kZhongtong);
        QCOMPARE(restarted.Image1->pixmap().size(), QSize(70, 30));
        QVERIFY(restarted.field("cbb2")->isHidden());
        QVERIFY(restarted.field("cbb1")->isVisible());
    }

    void removalKeepsFilesUnlessDeletingThemIsConfirmed() {
        MainWindowFixture fx;
        QTemporaryDir sources;
        const QString png = writeSource(sources, "p.png", "PNG", {50, 30});
        TEXPDPrintForm& form = fx.start();
        QVERIFY(addCourier(fx, kZhongtong, png));
        QVERIFY(addCourier(fx, kYunda, png));
        fx.writeSettings(fx.readSettings() + "[DefaultExpress]\r\nDefaultExpressD=" + kZhongtong +
                         "\r\n");

        // A built-in courier cannot be removed.
        chooseItem(form.cbbNames, "龙邦快递");
        QVERIFY(!form.btnRemoveExpress->isEnabled());

        // Declining the first question removes nothing.
        chooseItem(form.cbbNames, kZhongtong);
        fx.boxes.nextAnswer = MessageBoxes::Answer::Cancel;
        QTest::mouseClick(form.btnRemoveExpress, Qt::LeftButton);
        QCOMPARE(fx.boxes.texts(), QStringList{"删除快递单“中通快递”？"});
        QCOMPARE(form.cbbNames->count(), 5);

        // Removed, files kept: 确定, then 取消 for the files.
        fx.boxes.clear();
        int asked = 0;
        fx.boxes.onConfirm = [&] {
            return ++asked == 1 ? MessageBoxes::Answer::Ok : MessageBoxes::Answer::Cancel;
        };
        QTest::mouseClick(form.btnRemoveExpress, Qt::LeftButton);
        QCOMPARE(asked, 2);
        QCOMPARE(pickerItems(form.cbbNames),
                 (QStringList{"元智捷诚", "龙邦快递", "顺丰快递", kYunda}));
        QCOMPARE(fx.value("AddedExpress", "Names"), kYunda);
        QVERIFY(QFileInfo::exists(storedPicture(fx, kZhongtong)));
        QCOMPARE(fx.value(kZhongtong, "CurrentLong"), QString("127"));
        // It was the start courier: the program opens the usual one again.
        QCOMPARE(fx.value("DefaultExpress", "DefaultExpressD"), QString("龙邦快递"));
        QCOMPARE(form.cbbNames->currentText(), QString("龙邦快递"));

        // Removed with its files: both questions answered 确定.
        fx.boxes.onConfirm = {};
        fx.boxes.nextAnswer = MessageBoxes::Answer::Ok;
        chooseItem(form.cbbNames, kYunda);
        QTest::mouseClick(form.btnRemoveExpress, Qt::LeftButton);
        QCOMPARE(form.cbbNames->count(), 3);
        QCOMPARE(fx.value("AddedExpress", "Names"), QString());
        QVERIFY(!QFileInfo::exists(storedPicture(fx, kYunda)));
        QVERIFY(!fx.readSettings().contains("[" + kYunda + "]"));
        QVERIFY(fx.readSettings().contains("[" + kZhongtong + "]"));

        // A restart lists neither; adding the kept one again finds its old template.
        TEXPDPrintForm& restarted = fx.start();
        QCOMPARE(restarted.cbbNames->count(), 3);
        QCOMPARE(restarted.cbbNames->currentText(), QString("龙邦快递"));
    }

    void settingsWithoutTheNewSectionStillWork() {
        MainWindowFixture fx;
        fx.writeSettings(
            "[DefaultExpress]\r\nDefaultExpressD=顺丰快递\r\n[顺丰快递]\r\nFHName=0\r\n");
        TEXPDPrintForm& form = fx.start();
        QCOMPARE(pickerItems(form.cbbNames), (QStringList{"元智捷诚", "龙邦快递", "顺丰快递"}));
        QCOMPARE(form.cbbNames->currentText(), QString("顺丰快递"));
        QVERIFY(form.field("cbb1")->isHidden());
        QVERIFY(!form.btnRemoveExpress->isEnabled());

        // A hand-edited list: blanks, a doubled entry and a built-in name are ignored.
        fx.writeSettings("[AddedExpress]\r\nNames= 中通快递 ||顺丰快递|中通快递|韵达快递\r\n");
        fx.writePicture(kZhongtong);
        TEXPDPrintForm& again = fx.start();
        QCOMPARE(pickerItems(again.cbbNames),
                 (QStringList{"元智捷诚", "龙邦快递", "顺丰快递", kZhongtong, kYunda}));
        // Its picture missing, an added courier gets the fall-back picture as any other would.
        chooseItem(again.cbbNames, kYunda);
        QVERIFY(again.field("cbb1")->isHidden());
        chooseItem(again.cbbNames, kZhongtong);
        QVERIFY(again.field("cbb1")->isVisible());
    }
};

QTEST_MAIN(TestAddedCouriers)
#include "tst_addedcouriers.moc"
