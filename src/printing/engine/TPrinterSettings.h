#pragma once

// How and where the page is printed: the page's PrinterSettings. A job copies these when it is
// bound to the page (TReportJob::bindToPage). PrinterIndex is checked only then: −1 is the
// platform's default printer, an index beyond the printer list raises "Printer index out of
// range".
enum class TPaperBin {
    First,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    FormSource
};

struct TPrinterSettings {
    int PrinterIndex = -1;
    int Copies = 1;
    TPaperBin OutputBin = TPaperBin::Auto;
    bool Duplex = false;
    int FirstPage = 0;  // 0: from the first page
    int LastPage = 0;   // 0: to the last page
    bool PrintMetaFile = false;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
};

// The platform's bin code (DMBIN_*) of a TPaperBin.
int paperBinCode(TPaperBin bin);
