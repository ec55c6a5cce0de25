// Printing an order list into one PDF: a generated CSV of N rows with Chinese texts in all ten
// fields is read, mapped, composed and written through QPrinter's PDF output (no spooler), one
// page per row. Reports the time per waybill (reading included) and the process's peak
// resident memory. Without an argument it runs itself for 1,000 and 10,000 rows, each in a
// process of its own so that each peak is its own.
//   bench_batch            the table for 1,000 and 10,000 rows
//   bench_batch N          one run of N rows
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "batch/OrderWaybills.h"
#include "batch/WaybillJob.h"
#include "platform/HeadlessPlatform.h"

namespace {

// Ten columns named as a shop system names them, every text Chinese, some long enough to be
// broken into lines, every row different.
QByteArray generatedList(int rows) {
    QByteArray csv = QStringLiteral(
                         "发货人,始发地,发货地址,发货电话,发货单位,收货人,目的地,"
                         "收货地址,收货电话,收货单位\r\n")
                         .toUtf8();
    const QStringList cities{"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "西安"};
    for (int r = 0; r < rows; ++r) {
        const QString city = cities[r % cities.size()];
        const QString to = cities[(r + 3) % cities.size()];
        csv += QStringLiteral(
                   "李寄件%1,%2,\"%2市西湖区文三路%1号，三号楼\",0571-8%3,%2小店%4号,"
                   "张收件%1,%5,\"%5市海淀区中关村大街%1号院三号楼五单元二层东户\","
                   "138%3,%5某某科技有限公司第%4分公司\r\n")
                   .arg(r)
                   .arg(city)
                   .arg(r, 8, 10, QLatin1Char('0'))
                   .arg(r % 97)
                   .arg(to)
                   .toUtf8();
    }
    return csv;
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The processor time used so far (user and system), so that a machine shared with other work
// still gives a fair figure beside the elapsed time.
double processorMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

int runOnce(int rows) {
    QTemporaryDir dir;
    const QString listPath = dir.filePath(QStringLiteral("orders.csv"));
    {
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(generatedList(rows));
    }
    const long before = peakResidentKilobytes();
    const double cpuBefore = processorMilliseconds();
    QElapsedTimer timer;
    timer.start();
    const OrderList list = readOrderList(listPath);
    const qint64 readMs = timer.elapsed();
    const OrderWaybills waybills(list,
                                 ColumnMapping::forHeader(list.header, list.columnCount, nullptr),
                                 {}, OrderWaybills::allRows(list));
    const TPagesPrinted printed =
        WaybillJob(WaybillTemplate::designed())
            .writePdf(dir.filePath(QStringLiteral("orders.pdf")), waybills.source());
    const qint64 totalMs = timer.elapsed();
    const double cpuMs = processorMilliseconds() - cpuBefore;
    if (printed.outcome != TPagesPrinted::Outcome::Completed || printed.pagesPrinted != rows) {
        std::fprintf(stderr, "printed %d of %d: %s\n", printed.pagesPrinted, rows,
                     qPrintable(printed.error));
        return 1;
    }
    std::printf(
        "%6d rows  %7lld ms (reading %4lld ms)  %6.3f ms per waybill elapsed, %6.3f ms "
        "processor  PDF %6lld kB  peak RSS %6ld kB (%ld kB before reading)\n",
        rows, totalMs, readMs, double(totalMs) / rows, cpuMs / rows,
        QFileInfo(dir.filePath(QStringLiteral("orders.pdf"))).size() / 1024,
        peakResidentKilobytes(), before);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    chooseHeadlessPlatformWithoutDisplay();
    QApplication app(argc, argv);
    if (argc > 1) return runOnce(QString::fromLocal8Bit(argv[1]).toInt());
    for (int rows : {1000, 10000}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::number(rows)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) return 1;
    }
    return 0;
}
