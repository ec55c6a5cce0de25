#include "printing/engine/TPrinterSettings.h"

int paperBinCode(TPaperBin bin) {
    // DMBIN_UPPER (1) … DMBIN_FORMSOURCE (15), in the order of TPaperBin.
    switch (bin) {
        case TPaperBin::First:
            return 1;
        case TPaperBin::Lower:
            return 2;
        case TPaperBin::Middle:
            return 3;
        case TPaperBin::Manual:
            return 4;
        case TPaperBin::Envelope:
            return 5;
        case TPaperBin::EnvManual:
            return 6;
        case TPaperBin::Auto:
            return 7;
        case TPaperBin::Tractor:
            return 8;
        case TPaperBin::SmallFormat:
            return 9;
        case TPaperBin::LargeFormat:
            return 10;
        case TPaperBin::LargeCapacity:
            return 11;
        case TPaperBin::Cassette:
            return 14;
        case TPaperBin::FormSource:
            return 15;
    }
    return 7;
}
