#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>

#include "platform/MessageBoxes.h"

// Answers every message box in place of a person and remembers what was asked.
class RecordingMessageBoxes : public MessageBoxes {
  public:
    struct Shown {
        Icon icon;
        QString text;
        Buttons buttons;
    };

    RecordingMessageBoxes();
    ~RecordingMessageBoxes() override;

    Answer show(QWidget* parent, Icon icon, const QString& text, Buttons buttons) override;
    void soundBeep() override { ++beeps; }

    QList<Shown> shown;
    int beeps = 0;
    Answer nextAnswer = Answer::Ok;     // the answer to confirmations
    std::function<Answer()> onConfirm;  // when set, answers confirmations instead
    // The answer to three-way questions (是 / 否 / 取消); 否 unless a test says otherwise.
    Answer nextQuestionAnswer = Answer::No;
    QStringList texts() const;
    void clear() { shown.clear(); }
};

// A private executable folder (settings file, data/) and working folder (pictures) for one
// test, installed into AppEnvironment for the test's lifetime; the user's folders point into a
// private folder as well, so that no test touches the real home folder.
class TestFolders {
  public:
    explicit TestFolders(double screenDpi = 120.0);
    ~TestFolders();

    QString executableFolder() const { return m_exe.path(); }
    QString workingFolder() const { return m_work.path(); }
    QString settingsFile() const;
    QString dataFolder() const;
    QString userConfigFolder() const;
    QString userDataFolder() const;

  private:
    QTemporaryDir m_exe;
    QTemporaryDir m_work;
    QTemporaryDir m_user;
};
