// The edges where the program's three CSV users differ, side by side: the address-book import
// and export, the order lists of batch printing and the print-history export. Each reads or
// writes the same text its own way, and each way is relied on by its callers.
#include <QStringEncoder>
#include <QtTest>

#include "addressbook/CsvRecords.h"
#include "batch/OrderList.h"
#include "history/HistoryCsv.h"

using Records = QList<QStringList>;

namespace {
const QByteArray kMark("\xEF\xBB\xBF");

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// One line of the history export: the document of a header alone, without its mark and end.
QString historyLine(const QStringList& cells) {
    const QByteArray bytes = csvDocument(cells, {});
    return QString::fromUtf8(bytes.sliced(kMark.size(), bytes.size() - kMark.size() - 2));
}
}  // namespace

class TestCsvEdges : public QObject {
    Q_OBJECT

  private slots:
    void readersSplitText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Records>("addressBook");
        QTest::addColumn<bool>("unclosed");  // the address book says so; order lists read on
        QTest::addColumn<Records>("orderList");
        QTest::newRow("nothing") << "" << Records{} << false << Records{};
        QTest::newRow("separator in quotes")
            << "\"a,b\",c\r\n"
            << Records{{"a,b", "c"}} << false << Records{{"a,b", "c"}};
        QTest::newRow("doubled quotes")
            << "\"say \"\"hi\"\"\",\"\"\"\"\r\n"
            << Records{{"say \"hi\"", "\""}} << false << Records{{"say \"hi\"", "\""}};
        QTest::newRow("line breaks in quotes")
            << "\"1\r\n2\n3\",y\rz" << Records{{"1\r\n2\n3", "y"}, {"z"}} << false
            << Records{{"1\r\n2\n3", "y"}, {"z"}};
        QTest::newRow("empty quoted field and empty last field")
            << "\"\",a,\n"
            << Records{{"", "a", ""}} << false << Records{{"", "a", ""}};
        QTest::newRow("quote mid-field")
            << "5\"x,y\"z\r\n"
            << Records{{"5\"x", "y\"z"}} << false << Records{{"5x,yz"}};
        QTest::newRow("text after a quoted part")
            << "\"a\"b\"c,d\"\n"
            << Records{{"ab\"c", "d\""}} << false << Records{{"abc,d"}};
        QTest::newRow("empty lines")
            << "a\r\n\r\nb\n\n"
            << Records{{"a"}, {""}, {"b"}, {""}} << false << Records{{"a"}, {}, {"b"}, {}};
        QTest::newRow("blank but not empty line") << " \r\n"
                                                  << Records{{" "}} << false << Records{{" "}};
        QTest::newRow("no line break at the end")
            << "a,b\nc" << Records{{"a", "b"}, {"c"}} << false << Records{{"a", "b"}, {"c"}};
        QTest::newRow("semicolons")
            << "a;b;c,d\n1;2\n"
            << Records{{"a;b;c", "d"}, {"1;2"}} << false << Records{{"a", "b", "c,d"}, {"1", "2"}};
        QTest::newRow("tabs") << "a\tb\n\"x\ty\"\tz\n"
                              << Records{{"a\tb"}, {"x\ty\tz"}} << false
                              << Records{{"a", "b"}, {"x\ty", "z"}};
        QTest::newRow("separators in quotes do not count")
            << "\"a;b;c\",d\n1;2\n"
            << Records{{"a;b;c", "d"}, {"1;2"}} << false << Records{{"a;b;c", "d"}, {"1;2"}};
        QTest::newRow("unclosed quote")
            << "a\n\"b,c\nd" << Records{{"a"}, {"b,c\nd"}} << true << Records{{"a"}, {"b,c\nd"}};
    }
    void readersSplitText() {
        QFETCH(QString, text);
        QFETCH(Records, addressBook);
        QFETCH(bool, unclosed);
        QFETCH(Records, orderList);
        QString error;
        QCOMPARE(CsvRecords::parse(text, &error), addressBook);
        QCOMPARE(!error.isEmpty(), unclosed);
        if (unclosed)
            QVERIFY2(error.contains(QString::number(addressBook.size())), qPrintable(error));
        QCOMPARE(orderlist::splitCsv(text), orderList);
    }

    // What each reader makes of a file's bytes: the mark is not text (so a quote right after
    // it still opens a quoted field), and Chinese Windows' GBK is told from UTF-8.
    void readersDecodeFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Records>("records");
        QTest::addColumn<bool>("gbkDetected");
        const QString text = QStringLiteral("\"名称,甲\",覃芳\r\n电话,1\r\n");
        const Records records{{"名称,甲", "覃芳"}, {"电话", "1"}};
        QTest::newRow("UTF-8 with mark") << kMark + text.toUtf8() << records << false;
        QTest::newRow("UTF-8 without mark") << text.toUtf8() << records << false;
        QTest::newRow("GBK") << gbk(text) << records << true;
        QTest::newRow("ASCII") << QByteArray("a,b") << Records{{"a", "b"}} << false;
    }
    void readersDecodeFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(Records, records);
        QFETCH(bool, gbkDetected);
        QCOMPARE(CsvRecords::parse(CsvRecords::decode(bytes)), records);
        OrderTextEncoding detected = OrderTextEncoding::Detect;
        QCOMPARE(
            orderlist::splitCsv(orderlist::decodeText(bytes, OrderTextEncoding::Detect, &detected)),
            records);
        QCOMPARE(detected == OrderTextEncoding::Gbk, gbkDetected);
    }

    void writersQuote_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("addressBook");
        QTest::addColumn<QString>("history");
        QTest::newRow("plain") << QStringList{"甲", "1"} << "甲,1"
                               << "\"甲\",\"1\"";
        QTest::newRow("empty") << QStringList{"", ""} << ","
                               << "\"\",\"\"";
        QTest::newRow("separator") << QStringList{"a,b", "a;b"} << "\"a,b\",a;b"
                                   << "\"a,b\",\"a;b\"";
        QTest::newRow("quotes") << QStringList{"5\"", "\""} << "\"5\"\"\",\"\"\"\""
                                << "\"5\"\"\",\"\"\"\"";
        QTest::newRow("line breaks") << QStringList{"a\r\nb", "c\rd\ne"} << "\"a\r\nb\",\"c\rd\ne\""
                                     << "\"a\r\nb\",\"c\rd\ne\"";
        QTest::newRow("surrounding blanks")
            << QStringList{" a", "b\t", "c d"} << "\" a\",\"b\t\",c d"
            << "\" a\",\"b\t\",\"c d\"";
        QTest::newRow("formulas") << QStringList{"=1+1", "@SUM(A1)", "+cmd", "-A1", "=\"x\""}
                                  << "=1+1,@SUM(A1),+cmd,-A1,\"=\"\"x\"\"\""
                                  << "\"'=1+1\",\"'@SUM(A1)\",\"'+cmd\",\"'-A1\",\"'=\"\"x\"\"\"";
        QTest::newRow("telephone numbers are no formulas")
            << QStringList{"+86 (10) 138-0013", "-", "a=b"} << "+86 (10) 138-0013,-,a=b"
            << "\"+86 (10) 138-0013\",\"-\",\"a=b\"";
    }
    void writersQuote() {
        QFETCH(QStringList, cells);
        QFETCH(QString, addressBook);
        QFETCH(QString, history);
        QCOMPARE(CsvRecords::line(cells), addressBook);
        QCOMPARE(historyLine(cells), history);
    }

    // Both files open in a spreadsheet with the Chinese intact: UTF-8 with its mark, CR LF
    // after every record, the last one too.
    void writersFrameTheFile() {
        QCOMPARE(CsvRecords::fileBytes({{"甲"}, {""}}), kMark + "甲\r\n\r\n");
        QCOMPARE(CsvRecords::fileBytes({}), kMark);
        QCOMPARE(csvDocument({"甲"}, {{""}, {"b", "c"}}),
                 kMark + "\"甲\"\r\n\"\"\r\n\"b\",\"c\"\r\n");
    }
};

QTEST_MAIN(TestCsvEdges)
#include "tst_csvedges.moc"
