#include "batch/BatchCommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "batch/JobHandOff.h"
#include "batch/OrderWaybills.h"
#include "batch/SenderDirectory.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/PrinterBackend.h"
#include "template/AddedCouriers.h"
#include "template/ProfileFile.h"
#include "waybill/TemplateSetFile.h"

namespace {

const QStringList kOptionNames{"batch",    "courier",   "printer", "pdf", "sender",
                               "encoding", "no-header", "help",    "h",   "?"};

[[noreturn]] void refuse(const QString& why) {
    throw AppError(why);
}

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Quorvel --batch FILE --courier NAME [--printer NAME | --pdf OUT.pdf] [--sender NAME] "
        "[--encoding utf-8|gbk] [--no-header]\n"
        "不打开窗口，把订单表（CSV 或 Excel "
        ".xlsx）的每一行打印成一张快递单，全部作为一个打印任务。\n"
        "列与栏目的对应：批量打印窗口为该列标题记住的；否则按标题文字（收货人、收件人、电话、手机、"
        "地址、目的地、单位、公司等，带“发货/"
        "寄件”的为发货人一方）；否则前五列依次为收货人、目的地、"
        "地址、电话、单位。缺少收货人或收货地址的行不打印。\n"
        "行号按文件中的行计（标题为第 1 行）。\n"
        "退出码：0 每一行都已打印；1 有行未打印（每行一条说明）；2 "
        "参数、快递单、打印机或文件有误。\n"
        "没有显示器时（例如在服务器上）自动以 QT_QPA_PLATFORM=offscreen 运行。"));
    parser.addHelpOption();
    parser.addOptions({
        {"batch", QStringLiteral("要打印的订单表（.csv 或 .xlsx）。"), QStringLiteral("FILE")},
        {"courier", QStringLiteral("快递单（模板）名称，如“龙邦快递”。"), QStringLiteral("NAME")},
        {"printer", QStringLiteral("打印机；缺省为模板中保存的打印机，再缺省为系统默认打印机。"),
         QStringLiteral("NAME")},
        {"pdf", QStringLiteral("不送打印机，写成一个 PDF 文件，每行一页，位置与打印机上相同。"),
         QStringLiteral("OUT.pdf")},
        {"sender", QStringLiteral("发货人一方的五栏取自地址簿中这个发货人。"),
         QStringLiteral("NAME")},
        {"encoding", QStringLiteral("CSV 文件的编码：utf-8 或 gbk（缺省自动识别）。"),
         QStringLiteral("utf-8|gbk")},
        {"no-header", QStringLiteral("第一行就是订单，没有标题行。")},
    });
}

OrderTextEncoding encodingNamed(const QString& name) {
    const QString n = name.toLower();
    if (n.isEmpty()) return OrderTextEncoding::Detect;
    if (n == u"utf-8" || n == u"utf8") return OrderTextEncoding::Utf8;
    if (n == u"gbk" || n == u"gb18030" || n == u"gb2312") return OrderTextEncoding::Gbk;
    refuse(QStringLiteral("--encoding 只能是 utf-8 或 gbk，而不是“%1”。").arg(name));
}

// The courier as the settings file spells it (section names are matched regardless of case).
QString knownCourier(const ProfileFile& ini, const QString& asked) {
    const QStringList couriers = AddedCouriers::builtIn() + AddedCouriers::read(ini);
    for (const QString& courier : couriers)
        if (courier.compare(asked.trimmed(), Qt::CaseInsensitive) == 0) return courier;
    refuse(QStringLiteral("没有快递单“%1”。可用的有：%2。").arg(asked, couriers.join(u'、')));
}

QString chosenPrinter(const QString& asked, const WaybillTemplate& layout) {
    PrinterBackend& printers = PrinterBackend::instance();
    const QString name = !asked.isEmpty()                ? asked
                         : !layout.printerName.isEmpty() ? layout.printerName
                                                         : printers.defaultPrinterName();
    if (name.isEmpty()) refuse(QStringLiteral("没有指定打印机，系统也没有默认打印机。"));
    if (!printers.printerNames().contains(name))
        refuse(QStringLiteral("打印机“%1”未安装。").arg(name));
    return name;
}

WaybillTexts senderTexts(const QString& name) {
    if (name.isEmpty()) return {};
    const SenderDirectory senders;
    if (!senders.isOpen())
        refuse(QStringLiteral("地址簿无法打开（%1），找不到发货人“%2”。")
                   .arg(senders.failure(), name));
    const std::optional<WaybillTexts> texts = senders.textsOf(name);
    if (!texts) refuse(QStringLiteral("地址簿中没有发货人“%1”。").arg(name));
    return *texts;
}

}  // namespace

bool BatchCommandLine::isRequested(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (!argument.startsWith(u'-')) continue;
        QString name = argument;
        while (name.startsWith(u'-')) name.remove(0, 1);
        if (kOptionNames.contains(name.section(u'=', 0, 0))) return true;
    }
    return false;
}

int BatchCommandLine::run(const QStringList& arguments) {
    try {
        return print(arguments);
    } catch (const AppError& error) {
        m_err << error.text() << Qt::endl;
        return Refused;
    }
}

int BatchCommandLine::print(const QStringList& arguments) {
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) refuse(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        m_out << parser.helpText() << Qt::flush;
        return AllPrinted;
    }
    if (!parser.positionalArguments().isEmpty())
        refuse(QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().join(u' ')));
    const QString file = parser.value(QStringLiteral("batch"));
    const QString courierAsked = parser.value(QStringLiteral("courier"));
    const QString pdf = parser.value(QStringLiteral("pdf"));
    if (file.isEmpty()) refuse(QStringLiteral("缺少 --batch FILE（要打印的订单表）。"));
    if (courierAsked.isEmpty()) refuse(QStringLiteral("缺少 --courier NAME（快递单名称）。"));
    if (!pdf.isEmpty() && parser.isSet(QStringLiteral("printer")))
        refuse(QStringLiteral("--printer 与 --pdf 只能选一个。"));
    if (!pdf.isEmpty() && !QFileInfo(QFileInfo(pdf).absolutePath()).isWritable())
        refuse(QStringLiteral("PDF 文件“%1”无法写入：文件夹不存在或不可写。").arg(pdf));

    const OrderListOptions options{encodingNamed(parser.value(QStringLiteral("encoding"))),
                                   !parser.isSet(QStringLiteral("no-header"))};
    const ProfileFile ini(AppEnvironment::settingsFilePath());
    const QString courier = knownCourier(ini, courierAsked);
    const WaybillTemplate layout = readTemplateSet(ini, courier, false, WaybillTemplate::designed(),
                                                   PrinterBackend::instance().defaultPrinterName())
                                       .layout;
    const QString printer =
        pdf.isEmpty() ? chosenPrinter(parser.value(QStringLiteral("printer")), layout) : pdf;
    const OrderList list = readOrderList(file, options);
    const OrderWaybills waybills(
        list, ColumnMapping::forHeader(list.header, list.columnCount, &ini),
        senderTexts(parser.value(QStringLiteral("sender"))), OrderWaybills::allRows(list));

    for (const SkippedRow& row : waybills.skipped())
        m_err << QStringLiteral("第 %1 行：%2，未打印。").arg(row.number).arg(row.reason)
              << Qt::endl;
    if (waybills.count() == 0) {
        m_err << QStringLiteral("“%1”中没有可打印的行。").arg(QFileInfo(file).fileName())
              << Qt::endl;
        return SomeNotPrinted;
    }

    WaybillJob job(layout);
    job.setTitle(WaybillJob::titleForList(file));
    const TPagesPrinted printed = pdf.isEmpty() ? job.print(printer, waybills.source())
                                                : job.writePdf(pdf, waybills.source());
    if (printed.pagesPrinted > 0) {
        const QString unrecorded = onJobHandedToPrinter(
            layout, printer, waybills.source().firstTexts(printed.pagesPrinted),
            QStringLiteral("命令行"));
        if (!unrecorded.isNull())
            m_err << QStringLiteral("快递单已打印，但未能记入打印记录：%1").arg(unrecorded)
                  << Qt::endl;
    }
    if (printed.pagesPrinted < waybills.count()) {
        const QString why = printed.error.isEmpty() ? QStringLiteral("打印已取消") : printed.error;
        for (int index = printed.pagesPrinted; index < waybills.count(); ++index)
            m_err << QStringLiteral("第 %1 行：未打印（%2）。")
                         .arg(waybills.rowNumberAt(index))
                         .arg(why)
                  << Qt::endl;
    }
    m_out << QStringLiteral("已打印 %1 张快递单（%2）。").arg(printed.pagesPrinted).arg(printer)
          << Qt::endl;
    const bool everyRow = waybills.skipped().isEmpty() && printed.pagesPrinted == waybills.count();
    return everyRow ? AllPrinted : SomeNotPrinted;
}
