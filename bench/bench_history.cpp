// bench_history [rows]: times the print history at 100 000 printed waybills (by default):
// recording them in jobs of 200, opening the window "打印记录" until its first rows are shown,
// scrolling to the end of the first pages, and searches by name, telephone fragment, address
// and date range. Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_history
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "history/HistoryTableModel.h"
#include "history/PrintHistory.h"
#include "history/TPrintHistoryForm.h"

namespace {

const QString kSurnames =
    QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹");
const QString kGiven = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华玉萍红");
const QString kPlaces = QStringLiteral("北京上海广州深圳杭州成都重庆武汉西安南京天津苏州长沙");

QString pick(QRandomGenerator& rng, const QString& pool, int count) {
    QString s;
    for (int i = 0; i < count; ++i) s += pool.at(rng.bounded(pool.size()));
    return s;
}

QString digits(QRandomGenerator& rng, int count) {
    QString s;
    for (int i = 0; i < count; ++i) s += QChar('0' + rng.bounded(10));
    return s;
}

WaybillTexts randomWaybill(QRandomGenerator& rng) {
    const QString to = pick(rng, kPlaces, 2);
    return {{"cbb1", pick(rng, kSurnames, 1) + pick(rng, kGiven, 2)},
            {"cbb2", pick(rng, kPlaces, 2)},
            {"cbb3", pick(rng, kPlaces, 2) + QStringLiteral("市中山路%1号").arg(rng.bounded(999))},
            {"cbb4", "1" + digits(rng, 10)},
            {"cbb5", pick(rng, kGiven, 2) + QStringLiteral("贸易有限公司")},
            {"cbb11", pick(rng, kSurnames, 1) + pick(rng, kGiven, 2)},
            {"cbb22", to},
            {"cbb33",
             to + QStringLiteral("市人民路%1号%2室").arg(rng.bounded(999)).arg(rng.bounded(2000))},
            {"cbb44", "1" + digits(rng, 10)},
            {"cbb55", pick(rng, kGiven, 2) + QStringLiteral("科技有限公司")}};
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

void report(const char* what, double milliseconds, int rows = -1) {
    if (rows >= 0)
        std::printf("%-48s %9.1f ms  (%d rows)\n", what, milliseconds, rows);
    else
        std::printf("%-48s %9.1f ms\n", what, milliseconds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int total = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath("data/QuorvelHistory.db");
    QRandomGenerator rng(12345);
    // A year of printing, oldest first, in jobs of 200.
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-365);
    const qint64 stepMs = 365LL * 24 * 3600 * 1000 / total;
    QString someName, somePhone, someAddress;
    {
        PrintHistory history(path);
        QElapsedTimer t;
        t.start();
        for (int done = 0; done < total;) {
            PrintedJob job{start.addMSecs(done * stepMs), "顺丰快递", "PDF", "批量打印", {}};
            for (int p = 0; p < 200 && done < total; ++p, ++done)
                job.waybills << randomWaybill(rng);
            history.recordJob(job);
            if (done == total / 2) {
                someName = job.waybills.last().value("cbb11");
                somePhone = job.waybills.last().value("cbb44").mid(3, 5);
                someAddress = job.waybills.last().value("cbb33").left(6);
            }
        }
        report("record (jobs of 200 waybills)", ms(t), total);
    }

    QElapsedTimer t;
    t.start();
    auto* window = new TPrintHistoryForm(nullptr, path);
    window->show();
    QCoreApplication::processEvents();
    window->grdHistory->viewport()->repaint();
    report("open the window, first rows shown", ms(t), window->model()->rowCount());
    std::printf("%-48s %9d\n", "  entries counted", window->model()->matchCount());

    t.restart();
    for (int i = 0; i < 10; ++i) {
        window->grdHistory->verticalScrollBar()->setValue(
            window->grdHistory->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
    }
    report("scroll to the end 10 times", ms(t), window->model()->rowCount());

    const auto search = [&](const char* what, const QString& text) {
        QElapsedTimer s;
        s.start();
        window->edtSearch->setText(text);
        window->btnSearchClick();
        window->grdHistory->viewport()->repaint();
        report(what, ms(s), window->model()->matchCount());
    };
    search("search a name", someName);
    search("search a telephone fragment", somePhone);
    search("search an address", someAddress);
    search("search two words (place and name)", someAddress.left(2) + " " + someName.left(1));
    search("search with no match", QStringLiteral("无此人"));
    search("search cleared", QString());
    {
        QElapsedTimer s;
        s.start();
        window->dtFrom->setDate(QDate::currentDate().addDays(-30));
        window->dtTo->setDate(QDate::currentDate());
        window->chkDate->setChecked(true);
        report("date range, last 30 days", ms(s), window->model()->matchCount());
    }
    delete window;
    return 0;
}
