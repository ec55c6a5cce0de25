// Comma-separated records as spreadsheet programs write them: quoting, line ends inside fields,
// and the two encodings a file may come in.
#include <QStringEncoder>
#include <QtTest>

#include "addressbook/CsvRecords.h"

using Records = QList<QStringList>;

class TestCsvRecords : public QObject {
    Q_OBJECT

  private slots:
    void parsesWhatSpreadsheetsWrite_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Records>("records");
        QTest::newRow("plain, CR LF") << "a,b\r\nc,d\r\n" << Records{{"a", "b"}, {"c", "d"}};
        QTest::newRow("LF only, no end") << "a,b\nc" << Records{{"a", "b"}, {"c"}};
        QTest::newRow("CR only") << "a\rb\r" << Records{{"a"}, {"b"}};
        QTest::newRow("empty fields") << ",,\r\n" << Records{{"", "", ""}};
        QTest::newRow("empty line") << "a\r\n\r\nb\r\n" << Records{{"a"}, {""}, {"b"}};
        QTest::newRow("comma in quotes") << "\"a,b\",c\r\n" << Records{{"a,b", "c"}};
        QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\",x" << Records{{"say \"hi\"", "x"}};
        QTest::newRow("line ends in quotes") << "\"1\r\n2\n3\",y\r\nz\r\n"
                                             << Records{{"1\r\n2\n3", "y"}, {"z"}};
        QTest::newRow("empty quoted field") << "\"\",a" << Records{{"", "a"}};
        QTest::newRow("quote inside an unquoted field") << "5\"x,y" << Records{{"5\"x", "y"}};
        QTest::newRow("Chinese") << "名称,电话\r\n甲公司,1"
                                 << Records{{"名称", "电话"}, {"甲公司", "1"}};
        QTest::newRow("nothing") << "" << Records{};
    }
    void parsesWhatSpreadsheetsWrite() {
        QFETCH(QString, text);
        QFETCH(Records, records);
        QString error;
        QCOMPARE(CsvRecords::parse(text, &error), records);
        QVERIFY(error.isEmpty());
    }

    void anUnclosedQuoteIsReported() {
        QString error;
        const Records records = CsvRecords::parse("a,b\r\n\"c,d\r\ne", &error);
        QVERIFY(!error.isEmpty());
        QCOMPARE(records.first(), (QStringList{"a", "b"}));
    }

    void writtenRecordsReadBackUnchanged() {
        const Records records{{"名称", "电话", "地址"},
                              {"甲公司", " 1 ", "人民路,1 号"},
                              {"say \"hi\"", "", "a\r\nb\nc"},
                              {"", "", ""}};
        const QByteArray bytes = CsvRecords::fileBytes(records);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(CsvRecords::line(records.at(1)), QStringLiteral("甲公司,\" 1 \",\"人民路,1 号\""));
        QCOMPARE(CsvRecords::line(records.at(2)),
                 QStringLiteral("\"say \"\"hi\"\"\",,\"a\r\nb\nc\""));
        QCOMPARE(CsvRecords::parse(CsvRecords::decode(bytes)), records);
    }

    void decodesUtf8AndGbk() {
        const QString text = QStringLiteral("名称,电话\r\n覃芳,1\r\n");
        QCOMPARE(CsvRecords::decode("\xEF\xBB\xBF" + text.toUtf8()), text);
        QCOMPARE(CsvRecords::decode(text.toUtf8()), text);
        QStringEncoder gbk("GB18030");
        QCOMPARE(CsvRecords::decode(gbk.encode(text)), text);
        QCOMPARE(CsvRecords::decode("a,b"), QStringLiteral("a,b"));
        // Saved as "Unicode" (UTF-16 with its mark), a file is not taken for GBK.
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringEncoder utf16(encoding, QStringConverter::Flag::WriteBom);
            QCOMPARE(CsvRecords::decode(utf16.encode(text)), text);
        }
    }
};

QTEST_MAIN(TestCsvRecords)
#include "tst_csvrecords.moc"
