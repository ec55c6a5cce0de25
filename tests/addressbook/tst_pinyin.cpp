// Tests of the pinyin initial from the GBK code, and the initials filter over a name list.
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

#include "addressbook/Pinyin.h"

namespace {

int gbk(const QString& s) {
    QStringEncoder encoder("GBK");
    const QByteArray b = encoder.encode(s);
    if (b.size() != 2) return -1;
    return static_cast<unsigned char>(b[0]) * 256 + static_cast<unsigned char>(b[1]);
}

QChar fromGbk(int code) {
    QStringDecoder decoder("GBK");
    QByteArray bytes;
    bytes.append(char(code >> 8));
    bytes.append(char(code & 0xFF));
    const QString s = decoder.decode(bytes);
    return s.size() == 1 ? s.front() : QChar();
}

}  // namespace

class TestPinyin : public QObject {
    Q_OBJECT
  private slots:
    void spanEdges_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("letter");
        // The table: the first and the last character of every span.
        const struct {
            const char* letter;
            int from;
            const char* first;
            int to;
            const char* last;
        } spans[] = {
            {"A", 0xB0A1, "啊", 0xB0C4, "澳"}, {"B", 0xB0C5, "芭", 0xB2C0, "怖"},
            {"C", 0xB2C1, "擦", 0xB4ED, "错"}, {"D", 0xB4EE, "搭", 0xB6E9, "堕"},
            {"E", 0xB6EA, "蛾", 0xB7A1, "贰"}, {"F", 0xB7A2, "发", 0xB8C0, "咐"},
            {"G", 0xB8C1, "噶", 0xB9FD, "过"}, {"H", 0xB9FE, "哈", 0xBBF6, "祸"},
            {"J", 0xBBF7, "击", 0xBFA5, "骏"}, {"K", 0xBFA6, "喀", 0xC0AB, "阔"},
            {"L", 0xC0AC, "垃", 0xC2E7, "络"}, {"M", 0xC2E8, "妈", 0xC4C2, "穆"},
            {"N", 0xC4C3, "拿", 0xC5B5, "诺"}, {"O", 0xC5B6, "哦", 0xC5BD, "沤"},
            {"P", 0xC5BE, "啪", 0xC6D9, "瀑"}, {"Q", 0xC6DA, "期", 0xC8BA, "群"},
            {"R", 0xC8BB, "然", 0xC8F5, "弱"}, {"S", 0xC8F6, "撒", 0xCBF9, "所"},
            {"T", 0xCBFA, "塌", 0xCDD9, "唾"}, {"W", 0xCDDA, "挖", 0xCEF3, "误"},
            {"X", 0xCEF4, "昔", 0xD1B8, "迅"}, {"Y", 0xD1B9, "压", 0xD4D0, "孕"},
            {"Z", 0xD4D1, "匝", 0xD7F9, "座"},
        };
        for (const auto& s : spans) {
            QTest::newRow(QByteArray(s.letter) + " first")
                << QString::fromUtf8(s.first) << s.from << QString::fromLatin1(s.letter);
            QTest::newRow(QByteArray(s.letter) + " last")
                << QString::fromUtf8(s.last) << s.to << QString::fromLatin1(s.letter);
        }
    }

    void spanEdges() {
        QFETCH(QString, character);
        QFETCH(int, code);
        QFETCH(QString, letter);
        QCOMPARE(gbk(character), code);  // the table's character has the table's code
        QCOMPARE(QString(GetPinyinInitial(character.front())), letter);
    }

    void everyCharacterGetsTheLetterOfItsOwnGbkCode() {
        // The initial is a property of the character's GBK code: for every character of the
        // BMP, the letter must be the one of the span its encoded code falls in, or none.
        const QString letters = QStringLiteral("ABCDEFGHJKLMNOPQRSTWXYZ");
        const int starts[] = {0xB0A1, 0xB0C5, 0xB2C1, 0xB4EE, 0xB6EA, 0xB7A2, 0xB8C1, 0xB9FE,
                              0xBBF7, 0xBFA6, 0xC0AC, 0xC2E8, 0xC4C3, 0xC5B6, 0xC5BE, 0xC6DA,
                              0xC8BB, 0xC8F6, 0xCBFA, 0xCDDA, 0xCEF4, 0xD1B9, 0xD4D1};
        int checked = 0;
        for (int u = 1; u < 0x10000; ++u) {
            const QChar c(static_cast<char16_t>(u));
            if (c.isSurrogate()) continue;
            const int code = gbk(QString(c));
            QChar expected;
            if (code >= 0xB0A1 && code <= 0xD7F9) {
                int span = 0;
                while (span + 1 < 23 && code >= starts[span + 1]) ++span;
                expected = letters[span];
                ++checked;
            }
            if (GetPinyinInitial(c) != expected)
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(u, 4, 16, QLatin1Char('0'))));
        }
        QVERIFY(checked > 3755);  // at least the whole first level
    }

    void everyCodeOfTheFirstLevelHasTheLetterOfItsSpan() {
        // Walk B0A1..D7F9: the letter never goes back and never skips a span's start.
        QString seen;
        for (int lead = 0xB0; lead <= 0xD7; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                const int code = lead * 256 + trail;
                if (code > 0xD7F9) break;
                const QChar c = fromGbk(code);
                if (c.isNull()) continue;
                const QChar letter = GetPinyinInitial(c);
                QVERIFY2(!letter.isNull(), qPrintable(QString::number(code, 16)));
                if (seen.isEmpty() || seen.back() != letter) seen += letter;
            }
        }
        QCOMPARE(seen, QStringLiteral("ABCDEFGHJKLMNOPQRSTWXYZ"));
    }

    void codesOutsideTheTableHaveNoInitial() {
        QCOMPARE(gbk(QStringLiteral("亍")), 0xD8A1);
        QVERIFY(GetPinyinInitial(QChar(u'亍')).isNull());  // above D7F9
        QVERIFY(GetPinyinInitial(QChar(u'、')).isNull());  // A1A2, below B0A1
        const QChar belowA = fromGbk(0xB0A0);              // a GBK extension code below B0A1
        QVERIFY(!belowA.isNull());
        QVERIFY(GetPinyinInitial(belowA).isNull());
    }

    void extensionCodesInsideASpanGetItsLetter() {
        // B140 lies inside span B (B0C5..B2C0) although its second byte is below A1.
        const QChar c = fromGbk(0xB140);
        QVERIFY(!c.isNull());
        QCOMPARE(gbk(QString(c)), 0xB140);
        QCOMPARE(GetPinyinInitial(c), QChar(u'B'));
        QCOMPARE(GetPinyinInitial(fromGbk(0xD740)), QChar(u'Z'));  // inside span Z
    }

    void oneByteAndUnencodableCharactersHaveNoInitial() {
        for (const QChar c : {QChar(u'A'), QChar(u'z'), QChar(u'1'), QChar(u' '), QChar(u'-'),
                              QChar(u'('), QChar(u'\r'), QChar(0x20AC) /* € one byte in GBK */,
                              QChar(0xAC00) /* 가, not in GBK */, QChar(0x0E01) /* Thai */,
                              QChar(0xD83D) /* a lone high surrogate */, QChar(0xFFFF)}) {
            QVERIFY2(GetPinyinInitial(c).isNull(), qPrintable(QString::number(c.unicode(), 16)));
        }
    }

    void filterByInitials() {
        const QStringList names{"张三", "李四", "赵五", "",     "ABC公司", "123",
                                "阿伟", "座位", "亍",   "迅达", "压力",    "张"};
        QCOMPARE(FilterByInitials(names, QChar(u'Z')), QStringLiteral("张三\r赵五\r座位\r张"));
        QCOMPARE(FilterByInitials(names, QChar(u'L')), QStringLiteral("李四"));
        // A Latin name is filed under its first letter, a name starting with a digit under it.
        QCOMPARE(FilterByInitials(names, QChar(u'A')), QStringLiteral("ABC公司\r阿伟"));
        QCOMPARE(FilterByInitials(names, QChar(u'1')), QStringLiteral("123"));
        QCOMPARE(FilterByInitials(names, QChar(u'X')), QStringLiteral("迅达"));
        QCOMPARE(FilterByInitials(names, QChar(u'Y')), QStringLiteral("压力"));
        QCOMPARE(FilterByInitials(names, QChar(u'Q')), QString());
        QCOMPARE(FilterByInitials(names, QChar(u'C')), QStringLiteral("亍"));
        QCOMPARE(FilterByInitials(names, QChar(u'I')), QString());
        QCOMPARE(FilterByInitials({}, QChar(u'Z')), QString());
        QCOMPARE(NamesWithInitial(names, QChar(u'Z')), (QStringList{"张三", "赵五", "座位", "张"}));
    }

    void surnamesOutsideTheFirstLevelAreFiledUnderTheirLetter() {
        const QStringList names{"闫明", "覃芳", "滕飞", "缪斯", "褚英"};
        QCOMPARE(NamesWithInitial(names, QChar(u'Y')), QStringList{"闫明"});
        QCOMPARE(NamesWithInitial(names, QChar(u'Q')), QStringList{"覃芳"});
        QCOMPARE(NamesWithInitial(names, QChar(u'T')), QStringList{"滕飞"});
        QCOMPARE(NamesWithInitial(names, QChar(u'M')), QStringList{"缪斯"});
        QCOMPARE(NamesWithInitial(names, QChar(u'C')), QStringList{"褚英"});
        QCOMPARE(PinyinOf(QChar(0x3400)), QLatin1StringView("qiu"));   // first of extension A
        QCOMPARE(PinyinOf(QChar(0x9F99)), QLatin1StringView("long"));  // 龙
    }

    void surnamesAreReadAsSurnames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("initial");
        for (const auto& [name, initial] :
             std::initializer_list<std::pair<const char*, const char*>>{{"单雄", "S"},
                                                                        {"解放", "X"},
                                                                        {"仇英", "Q"},
                                                                        {"查理", "Z"},
                                                                        {"区华", "O"},
                                                                        {"乐天", "Y"},
                                                                        {"曾国", "Z"},
                                                                        {"朴正", "P"},
                                                                        {"单", "S"}})
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromLatin1(initial);
    }
    void surnamesAreReadAsSurnames() {
        QFETCH(QString, name);
        QFETCH(QString, initial);
        QCOMPARE(QString(NameInitial(name)), initial);
    }

    void onlyTheFirstCharacterIsReadAsASurname() {
        const QString name = QStringLiteral("曾曾");
        QCOMPARE(NameReadingAt(name, 0), QLatin1StringView("zeng"));
        QCOMPARE(NameReadingAt(name, 1), PinyinOf(name.at(1)));
        QVERIFY(NameReadingAt(name, 1) != QLatin1StringView("zeng"));
    }

    void everyHanCharacterWithAReadingHasALetter() {
        int withReading = 0;
        for (char16_t c = 0x4E00; c <= 0x9FFF; ++c) {
            const QLatin1StringView reading = PinyinOf(QChar(c));
            if (reading.isEmpty()) continue;
            ++withReading;
            const QChar initial = NameInitial(QString(QChar(c)));
            QVERIFY2(initial >= QChar(u'A') && initial <= QChar(u'Z'),
                     qPrintable(QString(QChar(c))));
        }
        // Nearly the whole basic block is read; a table that lost its readings would not be.
        QVERIFY2(withReading > 20000, qPrintable(QString::number(withReading)));
        QVERIFY(NameInitial(QStringLiteral("-x")).isNull());
        QVERIFY(NameInitial(QString()).isNull());
        QCOMPARE(NameInitial(QStringLiteral("john")), QChar(u'J'));
        QCOMPARE(NameInitial(QStringLiteral("7天")), QChar(u'7'));
    }

    void typedTextSpellsPartsOfNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("spells");
        QTest::newRow("initials") << "zs"
                                  << "张三" << true;
        QTest::newRow("initial and syllable") << "zsan"
                                              << "张三" << true;
        QTest::newRow("whole syllables") << "zhangsan"
                                         << "张三" << true;
        QTest::newRow("from the second character") << "san"
                                                   << "张三" << true;
        QTest::newRow("partial syllables") << "zhs"
                                           << "张三" << true;
        QTest::newRow("order matters") << "sz"
                                       << "张三" << false;
        QTest::newRow("too long") << "zsa1"
                                  << "张三" << false;
        QTest::newRow("gap") << "zw"
                             << "张三五" << false;
        QTest::newRow("latin part") << "bc"
                                    << "ABC公司" << true;
        QTest::newRow("latin then pinyin") << "cgs"
                                           << "ABC公司" << true;
        QTest::newRow("surname reading") << "shanx"
                                         << "单雄" << true;
        QTest::newRow("nothing typed") << ""
                                       << "张三" << false;
    }
    void typedTextSpellsPartsOfNames() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(bool, spells);
        QCOMPARE(SpellsPartOf(typed, name), spells);
    }
};

QTEST_MAIN(TestPinyin)
#include "tst_pinyin.moc"
