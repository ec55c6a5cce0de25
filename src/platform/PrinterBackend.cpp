#include "platform/PrinterBackend.h"

#include "platform/QtPrinterBackend.h"

namespace {
PrinterBackend* g_installed = nullptr;
}

PrinterBackend& PrinterBackend::instance() {
    if (g_installed) return *g_installed;
    static QtPrinterBackend qtBackend;
    return qtBackend;
}

void PrinterBackend::install(PrinterBackend* backend) {
    g_installed = backend;
}
