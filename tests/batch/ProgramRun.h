#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>

// The built program copied into a private folder of its own, so that it runs portable: its
// settings file and address book lie beside it and nothing of the build folder is touched.
class ProgramFolder {
  public:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
        // The program's own lines on stderr, Qt's diagnostics about the platform left out.
        QStringList errLines() const {
            QStringList lines;
            for (const QString& line : err.split(u'\n', Qt::SkipEmptyParts))
                if (!line.startsWith(QLatin1String("QStandardPaths")) &&
                    !line.startsWith(QLatin1String("qt.")) &&
                    !line.startsWith(QLatin1String("This plugin")))
                    lines << line;
            return lines;
        }
    };

    ProgramFolder() {
        const QString built =
            QDir(qEnvironmentVariable("QUORVEL_TOOLS_DIR")).filePath(QStringLiteral("Quorvel"));
        m_ok = QFile::copy(built, program()) &&
               QFile::setPermissions(program(), QFile::permissions(built));
    }
    bool isReady() const { return m_ok; }
    QString path() const { return m_dir.path(); }
    QString program() const { return m_dir.filePath(QStringLiteral("Quorvel")); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString settingsFile() const { return file(QStringLiteral("Quorvel.ini")); }
    QString dataFolder() const { return file(QStringLiteral("data")); }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile out(file(name));
        if (out.open(QIODevice::WriteOnly)) out.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // Runs the program with these arguments in the folder; `environment` changes the
    // test's own environment (an empty value removes the variable).
    Run run(const QStringList& arguments,
            const QList<std::pair<QString, QString>>& environment = {}) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : environment) {
            if (value.isEmpty())
                env.remove(name);
            else
                env.insert(name, value);
        }
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(path());
        process.start(program(), arguments);
        Run run;
        if (!process.waitForFinished(240000)) {
            process.kill();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

  private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};
