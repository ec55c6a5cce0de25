// Times the settings file's reader and writer on a file the size of a real one: the program
// reads and writes one key per call and every call goes to the disk, so a template
// load is about 40 reads and a template save about 35 writes. Each write takes a lock file
// against other running copies; its share of a write is timed on its own.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <cstdio>

#include "template/ProfileFile.h"

int main() {
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString section = QStringLiteral("龙邦快递");
    const int keyCount = 200;

    ProfileFile ini(dir.filePath("Quorvel.ini"));
    ini.writeString("DefaultExpress", "DefaultExpressD", section);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keyCount; ++i) ini.writeInteger(section, QString("key%1").arg(i), i);
    const double fillMs = timer.nsecsElapsed() / 1e6;

    const int reads = 1000;
    long long sum = 0;
    timer.restart();
    for (int i = 0; i < reads; ++i)
        sum += ini.readInteger(section, QString("KEY%1").arg((i * 37) % keyCount), 0);
    const double readMs = timer.nsecsElapsed() / 1e6;

    const int writes = 200;
    timer.restart();
    for (int i = 0; i < writes; ++i)
        ini.writeInteger(section, QString("key%1").arg((i * 53) % keyCount), 1000 + i);
    const double writeMs = timer.nsecsElapsed() / 1e6;

    // The lock file as a write takes it: created, synced to disk, removed.
    QLockFile lock(ini.path() + ".lock");
    timer.restart();
    for (int i = 0; i < writes; ++i) {
        if (!lock.tryLock(0)) return 1;
        lock.unlock();
    }
    const double lockMs = timer.nsecsElapsed() / 1e6;

    std::printf("profile file: %d keys, %lld bytes\n", keyCount,
                static_cast<long long>(QFileInfo(ini.path()).size()));
    std::printf("  %d appending writes: %8.2f ms  (%6.1f us each)\n", keyCount, fillMs,
                fillMs * 1000 / keyCount);
    std::printf("  %d reads:            %8.2f ms  (%6.1f us each)  checksum %lld\n", reads, readMs,
                readMs * 1000 / reads, sum);
    std::printf("  %d in-place writes:   %8.2f ms  (%6.1f us each)\n", writes, writeMs,
                writeMs * 1000 / writes);
    std::printf("  %d locks alone:       %8.2f ms  (%6.1f us each, part of every write)\n", writes,
                lockMs, lockMs * 1000 / writes);
    return sum == 0 ? 1 : 0;
}
