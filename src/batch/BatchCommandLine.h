#pragma once

#include <QStringList>

class QTextStream;

// The print of an order list without a window:
//   Quorvel --batch FILE --courier NAME [--printer NAME | --pdf OUT.pdf] [--sender NAME]
//           [--encoding utf-8|gbk] [--no-header]
// It reads the settings file and the address book, and writes neither.
class BatchCommandLine {
  public:
    enum ExitStatus { AllPrinted = 0, SomeNotPrinted = 1, Refused = 2 };

    // Whether the arguments (the program's name first) ask for this rather than the window:
    // any of its options, or --help.
    static bool isRequested(const QStringList& arguments);

    BatchCommandLine(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}
    // Needs a QApplication (texts are measured as the window measures them).
    int run(const QStringList& arguments);

  private:
    int print(const QStringList& arguments);

    QTextStream& m_out;
    QTextStream& m_err;
};
