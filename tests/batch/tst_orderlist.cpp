#include <QTemporaryDir>
#include <QtTest>

#include "batch/ColumnMapping.h"
#include "batch/ListFiles.h"
#include "batch/OrderList.h"
#include "batch/OrderWaybills.h"
#include "batch/Workbooks.h"
#include "platform/AppError.h"
#include "template/ProfileFile.h"

// Reading order lists as shops export them, and deciding which column fills which field.
class TestOrderList : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        return listfiles::write(m_dir, name, bytes);
    }

    static QStringList cellsOf(const OrderList& list, int row) { return list.rows.at(row).cells; }

  private slots:
    void csvQuotingAndSeparators_data() {
        QTest::addColumn<QString>("separator");
        QTest::addRow("comma") << ",";
        QTest::addRow("semicolon") << ";";
        QTest::addRow("tab") << "\t";
    }

    // Separators, doubled quotes and line breaks inside quotes; CRLF and LF line ends; an
    // empty quoted cell and a missing last cell.
    void csvQuotingAndSeparators() {
        QFETCH(QString, separator);
        const QString s = separator;
        const QString text = "收货人" + s + "地址" + s + "电话\r\n" + "\"张三\"" + s +
                             "\"北京市,海淀区;\t\"\"中关村\"\"\r\n三号楼\"" + s + "138\r\n" +
                             "李四" + s + "\"\"" + s + "\n" + "王五" + s + "上海\n";
        const OrderList list = readOrderList(write("quoted.csv", text.toUtf8()));
        QCOMPARE(list.header, (QStringList{"收货人", "地址", "电话"}));
        QCOMPARE(list.rows.size(), 3);
        QCOMPARE(cellsOf(list, 0),
                 (QStringList{"张三", "北京市,海淀区;\t\"中关村\"\r\n三号楼", "138"}));
        QCOMPARE(cellsOf(list, 1), (QStringList{"李四", "", ""}));
        QCOMPARE(cellsOf(list, 2), (QStringList{"王五", "上海"}));
        // Row numbers are the file's records: the header is row 1, the quoted line break does
        // not count as a row.
        QCOMPARE(list.rows[2].number, 4);
        QCOMPARE(list.columnCount, 3);
    }

    void encodingsAreDetectedAndCanBeForced() {
        const QString text = QStringLiteral("收件人,详细地址\n张三,北京市海淀区\n");
        const OrderList bom = readOrderList(write("bom.csv", "\xEF\xBB\xBF" + text.toUtf8()));
        QCOMPARE(bom.header.first(), QString("收件人"));  // the mark is not part of the text
        QCOMPARE(bom.encoding, OrderTextEncoding::Utf8);
        const OrderList plain = readOrderList(write("plain.csv", text.toUtf8()));
        QCOMPARE(cellsOf(plain, 0), (QStringList{"张三", "北京市海淀区"}));

        const QString gbkPath = write("gbk.csv", listfiles::gbk(text));
        const OrderList detected = readOrderList(gbkPath);
        QCOMPARE(detected.encoding, OrderTextEncoding::Gbk);
        QCOMPARE(cellsOf(detected, 0), (QStringList{"张三", "北京市海淀区"}));
        // Forced the wrong way, the text is what that encoding makes of it, not the truth.
        const OrderList forced = readOrderList(gbkPath, {OrderTextEncoding::Utf8, true});
        QVERIFY(cellsOf(forced, 0).first() != QString("张三"));
        QCOMPARE(readOrderList(gbkPath, {OrderTextEncoding::Gbk, true}).rows[0].cells,
                 (QStringList{"张三", "北京市海淀区"}));

        // Excel's "Unicode text": UTF-16 with its mark, tab separated.
        QByteArray utf16("\xFF\xFE");
        const QString tabbed = QStringLiteral("收件人\t地址\r\n赵六\t广州\r\n");
        utf16.append(reinterpret_cast<const char*>(tabbed.utf16()), tabbed.size() * 2);
        QCOMPARE(readOrderList(write("unicode.txt", utf16)).rows[0].cells,
                 (QStringList{"赵六", "广州"}));
    }

    void headerlessListsAndBlankRows() {
        const QByteArray text = "张三,北京\n\n , \n李四,上海\n\n";
        const OrderList list = readOrderList(write("noheader.csv", text), {{}, false});
        QVERIFY(list.header.isEmpty());
        QCOMPARE(list.rows.size(), 2);
        QCOMPARE(list.rows[0].number, 1);
        QCOMPARE(list.rows[1].number, 4);
    }

    // Shared strings (plain and rich), inline strings, numbers and booleans; cells the file
    // leaves out keep the columns in place; the first sheet is found through its relationship.
    void workbooksKeepTheColumnsOfTheirFirstSheet() {
        const QString path = m_dir.filePath("orders.xlsx");
        const QByteArray shared =
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<si><t>收件人</t></si><si><t>电话</t></si>"
            "<si><r><t>北京市</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">海淀区 </t></r>"
            "<rPh><t>ハイデン</t></rPh></si></sst>";
        const QByteArray sheet =
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<sheetData>"
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c>"
            "<c r=\"D1\" t=\"inlineStr\"><is><t>地址</t></is></c></row>"
            "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>张三</t></is></c>"
            "<c r=\"C3\"><v>13800138000</v></c><c r=\"D3\" t=\"s\"><v>2</v></c>"
            "<c r=\"E3\"><v>2.5</v></c><c r=\"F3\" t=\"b\"><v>1</v></c></row>"
            "</sheetData></worksheet>";
        QVERIFY(workbooks::writeParts(path, {{"xl/workbook.xml", workbooks::workbookPart()},
                                             {"xl/_rels/workbook.xml.rels",
                                              workbooks::relationsPart("worksheets/orders.xml")},
                                             {"xl/sharedStrings.xml", shared},
                                             {"xl/worksheets/orders.xml", sheet},
                                             {"xl/worksheets/sheet1.xml", "<worksheet/>"}}));
        const OrderList list = readOrderList(path);
        QCOMPARE(list.header, (QStringList{"收件人", "", "电话", "地址"}));
        QCOMPARE(list.rows.size(), 1);
        QCOMPARE(list.rows[0].number, 3);
        QCOMPARE(cellsOf(list, 0),
                 (QStringList{"张三", "", "13800138000", "北京市海淀区 ", "2.5", "TRUE"}));
        QCOMPARE(list.columnCount, 6);

        // The helper's workbook: inline strings only, gaps left out.
        const QString made = m_dir.filePath("made.xlsx");
        QVERIFY(workbooks::writeRows(made, {{"a", "", "c"}, {"", "b & <d>"}}));
        const OrderList madeList = readOrderList(made, {{}, false});
        QCOMPARE(madeList.rows.size(), 2);
        QCOMPARE(cellsOf(madeList, 0), (QStringList{"a", "", "c"}));
        QCOMPARE(cellsOf(madeList, 1), (QStringList{"", "b & <d>"}));
    }

    void unreadableFilesAreRefusedWithTheirName() {
        const auto refusal = [](const QString& path) {
            try {
                readOrderList(path);
            } catch (const AppError& error) {
                return error.text();
            }
            return QString();
        };
        QVERIFY(refusal(m_dir.filePath("absent.csv")).contains("absent.csv"));
        QVERIFY(refusal(write("old.xls", "\xD0\xCF\x11\xE0")).contains(".xls"));
        const QString broken = refusal(write("broken.xlsx", "PK not really a zip"));
        QVERIFY2(broken.contains("broken.xlsx"), qPrintable(broken));
        QVERIFY(!refusal(m_dir.path()).isEmpty());
    }

    void columnsAreGuessedFromTheirHeaders() {
        const QStringList header{"订单号", "收件人姓名", "手机",     "详细地址", "城市",
                                 "公司",   "寄件人",     "寄件电话", "发货地址", "收货人电话"};
        const ColumnMapping mapping = ColumnMapping::forHeader(header, 10, nullptr);
        QCOMPARE(mapping.column("cbb11"), 1);
        QCOMPARE(mapping.column("cbb44"), 2);  // the first telephone column wins
        QCOMPARE(mapping.column("cbb33"), 3);
        QCOMPARE(mapping.column("cbb22"), 4);
        QCOMPARE(mapping.column("cbb55"), 5);
        QCOMPARE(mapping.column("cbb1"), 6);
        QCOMPARE(mapping.column("cbb4"), 7);
        QCOMPARE(mapping.column("cbb3"), 8);
        QCOMPARE(mapping.column("cbb2"), -1);
        QCOMPARE(mapping.column("cbb5"), -1);
        QCOMPARE(fieldNamedByHeader("备注"), QString());

        // Nothing named: the recipient's five fields from the first five columns.
        const ColumnMapping unnamed = ColumnMapping::forHeader({"A", "B", "C"}, 7, nullptr);
        QCOMPARE(unnamed.column("cbb11"), 0);
        QCOMPARE(unnamed.column("cbb22"), 1);
        QCOMPARE(unnamed.column("cbb33"), 2);
        QCOMPARE(unnamed.column("cbb44"), 3);
        QCOMPARE(unnamed.column("cbb55"), 4);
        QCOMPARE(unnamed.textsOf({" 张三 ", "北京", "海淀区 \r\n\n 三号楼\n"}),
                 (WaybillTexts{{"cbb11", "张三"}, {"cbb22", "北京"}, {"cbb33", "海淀区 三号楼"}}));
    }

    void aRememberedMappingWinsOverTheGuess() {
        ProfileFile ini(m_dir.filePath("Quorvel.ini"));
        const QStringList header{"收件人", "电话", "备注", "a=b", "收件人"};
        ColumnMapping chosen = ColumnMapping::forHeader(header, 5, &ini);
        chosen.setColumn("cbb44", -1);  // the telephone column is not printed
        chosen.setColumn("cbb55", 2);   // the note goes into the company field
        chosen.remember(ini, header);
        QCOMPARE(ini.readString("BatchColumns", "电话", ""), QString("-"));
        QCOMPARE(ini.readString("BatchColumns", "备注", ""), QString("cbb55"));
        QCOMPARE(ini.readString("BatchColumns", "收件人", ""), QString("cbb11"));
        QCOMPARE(ini.readString("BatchColumns", "a", "absent"), QString("absent"));

        // The same header in another order, in another list.
        const ColumnMapping again = ColumnMapping::forHeader({"备注", "电话", "收件人"}, 3, &ini);
        QCOMPARE(again.column("cbb55"), 0);
        QCOMPARE(again.column("cbb44"), -1);
        QCOMPARE(again.column("cbb11"), 2);
    }

    void rowsWithoutRecipientNameOrAddressAreSetAside() {
        OrderList list;
        list.header = {"收货人", "地址"};
        list.rows = {{2, {"张三", "北京"}},
                     {3, {"", "上海"}},
                     {4, {"李四", " "}},
                     {5, {"", ""}},
                     {6, {"王五", "广州"}}};
        const ColumnMapping mapping = ColumnMapping::forHeader(list.header, 2, nullptr);
        const WaybillTexts sender{{"cbb1", "寄件人"}, {"cbb3", "杭州"}};
        const OrderWaybills all(list, mapping, sender, OrderWaybills::allRows(list));
        QCOMPARE(all.count(), 2);
        QCOMPARE(all.rowNumberAt(1), 6);
        QCOMPARE(all.textsAt(1).value("cbb33"), QString("广州"));
        QCOMPARE(all.textsAt(1).value("cbb1"), QString("寄件人"));
        QCOMPARE(all.skipped().size(), 3);
        QCOMPARE(all.skipped()[0].number, 3);
        QCOMPARE(all.skipped()[0].reason, QString("缺少收货人"));
        QCOMPARE(all.skipped()[1].reason, QString("缺少收货地址"));
        QCOMPARE(all.skipped()[2].reason, QString("缺少收货人和收货地址"));

        // Chosen rows in the order given.
        const OrderWaybills chosen(list, mapping, {}, {4, 0, 1});
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(chosen.rowAt(0), 4);
        QCOMPARE(chosen.source().textsAt(1).value("cbb11"), QString("张三"));
        QCOMPARE(chosen.skipped().size(), 1);
        QCOMPARE(OrderWaybills(list, mapping, {}, {}).count(), 0);  // nothing chosen
    }
};

QTEST_MAIN(TestOrderList)
#include "tst_orderlist.moc"
