#pragma once

#include <QString>

class QWidget;

// One service for every modal message the program shows. The program's texts are fixed, so a
// message is just an icon, a text and a button set. Tests install a responder of their own so
// that no person is ever asked.
class MessageBoxes {
  public:
    enum class Icon { Error, Warning, Information, Confirmation };
    enum class Buttons { Ok, OkCancel, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(QWidget* parent, Icon icon, const QString& text, Buttons buttons) = 0;
    // A short system sound, for keys that are refused.
    virtual void soundBeep() = 0;

    // The service in use; the Qt one unless a test installed another (nullptr restores it).
    static MessageBoxes& instance();
    static void install(MessageBoxes* service);

    static void error(const QString& text, QWidget* parent = nullptr);
    static void warning(const QString& text, QWidget* parent = nullptr);
    static void information(const QString& text, QWidget* parent = nullptr);
    static bool confirm(const QString& text, QWidget* parent = nullptr);
    // A three-way question (是 / 否 / 取消): Yes, No, or Cancel (also when the box is closed).
    static Answer question(const QString& text, QWidget* parent = nullptr);
    static void beep();
};

// Real modal message boxes titled with the application's title.
class QtMessageBoxes : public MessageBoxes {
  public:
    Answer show(QWidget* parent, Icon icon, const QString& text, Buttons buttons) override;
    void soundBeep() override;
};
