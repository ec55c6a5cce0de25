// The fields' captions are placeholders: shown while a field is empty, replaced by typing, and
// never printed.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "app/WaybillFieldSpecs.h"
#include "support/MainWindowFixture.h"

namespace {
QStringList printedTexts(const RecordingPrinterBackend& printers) {
    QStringList texts;
    for (const auto& text : printers.documents.last().pages.first().texts)
        if (!text.text.isEmpty()) texts << text.text;
    return texts;
}

// Clicks into a field and types, as a person does.
void typeInto(TEXPDPrintForm& form, WaybillField* field, const QString& text) {
    const QPoint centre = field->mapTo(&form, field->rect().center());
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, centre);
    QTRY_VERIFY(field->lineEdit()->hasFocus());
    QTest::keyClicks(field->lineEdit(), text);
}
}  // namespace

class TestPlaceholders : public QObject {
    Q_OBJECT
  private slots:
    void anUnfilledFieldShowsItsCaptionAndPrintsNothing() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
            WaybillField* f = form.field(spec.objectName());
            QVERIFY(f->text().isEmpty());
            QCOMPARE(f->lineEdit()->placeholderText(), spec.captionText());
        }
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(fx.printers.documents.size(), 1);
        QCOMPARE(printedTexts(fx.printers), QStringList());
    }

    void typingReplacesTheCaptionAndOnlyTypedTextPrints() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        WaybillField* name = form.field("cbb11");
        typeInto(form, name, "Li Lei");
        QCOMPARE(name->text(), QString("Li Lei"));
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(printedTexts(fx.printers), QStringList{"Li Lei"});

        // Erased again, the caption is back and nothing of it prints.
        for (int i = 0; i < 6; ++i) QTest::keyClick(name->lineEdit(), Qt::Key_Backspace);
        QVERIFY(name->text().isEmpty());
        QCOMPARE(name->lineEdit()->placeholderText(), QStringLiteral("收货人"));
        QTest::mouseClick(form.btnPrint, Qt::LeftButton);
        QCOMPARE(printedTexts(fx.printers), QStringList());
    }

    void aCourierSwitchEmptiesTheFields() {
        MainWindowFixture fx;
        TEXPDPrintForm& form = fx.start();
        typeInto(form, form.field("cbb1"), "Han");
        typeInto(form, form.field("cbb33"), "Road 7");
        chooseItem(form.cbbNames, QStringLiteral("顺丰快递"));
        for (WaybillField* f : form.bandFields()) QVERIFY(f->text().isEmpty());
        QCOMPARE(form.field("cbb33")->lineEdit()->placeholderText(), QStringLiteral("收货地址"));
    }
};

QTEST_MAIN(TestPlaceholders)
#include "tst_placeholders.moc"
