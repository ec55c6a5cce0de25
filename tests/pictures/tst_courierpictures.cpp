#include <QImageReader>
#include <QtTest>

#include "../../tools/CourierPictures.h"

using namespace courierpictures;

class TestCourierPictures : public QObject {
    Q_OBJECT
  private slots:
    void writesFourJpegsAtBandSizeReproducibly() {
        QTemporaryDir first, second;
        QCOMPARE(writeCourierPictures(first.path()), QString());
        QCOMPARE(writeCourierPictures(second.path()), QString());
        const QStringList names{QStringLiteral("元智捷诚.jpg"), QStringLiteral("龙邦快递.jpg"),
                                QStringLiteral("顺丰快递.jpg"), QStringLiteral("vornix.jpg")};
        QCOMPARE(QDir(first.path()).entryList(QDir::Files).size(), names.size());
        for (const QString& name : names) {
            QImageReader reader(QDir(first.path()).filePath(name));
            QCOMPARE(reader.format(), QByteArray("jpeg"));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(),
                     qPrintable(name + QStringLiteral(": ") + reader.errorString()));
            QCOMPARE(image.size(), QSize(kDesignBandWidthPx, kDesignBandHeightPx));
            QFile a(QDir(first.path()).filePath(name)), b(QDir(second.path()).filePath(name));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(),
                     qPrintable(name + QStringLiteral(" differs between runs")));
        }
    }

    // Every field lands on the white inside of its box: no label, line or tint under it.
    void fieldsLieOnBoxInteriors() {
        QTemporaryDir dir;
        QCOMPARE(writeCourierPictures(dir.path()), QString());
        for (const CourierLook& look : courierLooks()) {
            const QImage image(QDir(dir.path()).filePath(look.fileName), "JPG");
            QVERIFY(!image.isNull());
            for (const WaybillFieldSpec& spec : waybillFieldSpecs()) {
                const QRect inside = fieldRect(spec).adjusted(1, 1, -1, -1);
                int darkest = 255;
                for (int y = inside.top(); y <= inside.bottom(); ++y)
                    for (int x = inside.left(); x <= inside.right(); ++x)
                        darkest = std::min(darkest, qGray(image.pixel(x, y)));
                QVERIFY2(darkest >= 230, qPrintable(QStringLiteral("%1 %2: darkest %3")
                                                        .arg(look.fileName, spec.objectName())
                                                        .arg(darkest)));
            }
        }
    }

    void labelsStayInTheirBlockClearOfEveryBox() {
        const FormLayout layout = formLayout();
        const auto& specs = waybillFieldSpecs();
        for (int i = 0; i < int(specs.size()); ++i) {
            QVERIFY(layout.boxes[i].contains(fieldRect(specs[i])));
            const QRect block =
                specs[i].side == WaybillSide::Sender ? layout.senderBlock : layout.recipientBlock;
            QVERIFY2(block.contains(layout.labels[i]), specs[i].name);
            for (const QRect& box : layout.boxes)
                QVERIFY2(!box.intersects(layout.labels[i]), specs[i].name);
        }
    }
};

QTEST_MAIN(TestCourierPictures)
#include "tst_courierpictures.moc"
