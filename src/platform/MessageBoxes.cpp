#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/AppEnvironment.h"

namespace {
MessageBoxes* g_installed = nullptr;
}

MessageBoxes& MessageBoxes::instance() {
    static QtMessageBoxes qtBoxes;
    return g_installed ? *g_installed : qtBoxes;
}

void MessageBoxes::install(MessageBoxes* service) {
    g_installed = service;
}

void MessageBoxes::error(const QString& text, QWidget* parent) {
    instance().show(parent, Icon::Error, text, Buttons::Ok);
}

void MessageBoxes::warning(const QString& text, QWidget* parent) {
    instance().show(parent, Icon::Warning, text, Buttons::Ok);
}

void MessageBoxes::information(const QString& text, QWidget* parent) {
    instance().show(parent, Icon::Information, text, Buttons::Ok);
}

bool MessageBoxes::confirm(const QString& text, QWidget* parent) {
    return instance().show(parent, Icon::Confirmation, text, Buttons::OkCancel) == Answer::Ok;
}

MessageBoxes::Answer MessageBoxes::question(const QString& text, QWidget* parent) {
    return instance().show(parent, Icon::Confirmation, text, Buttons::YesNoCancel);
}

void MessageBoxes::beep() {
    instance().soundBeep();
}

void QtMessageBoxes::soundBeep() {
    QApplication::beep();
}

MessageBoxes::Answer QtMessageBoxes::show(QWidget* parent, Icon icon, const QString& text,
                                          Buttons buttons) {
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
        case Icon::Error:
            qtIcon = QMessageBox::Critical;
            break;
        case Icon::Warning:
            qtIcon = QMessageBox::Warning;
            break;
        case Icon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case Icon::Confirmation:
            qtIcon = QMessageBox::Question;
            break;
    }
    if (buttons == Buttons::YesNoCancel) {
        QMessageBox box(qtIcon, AppEnvironment::applicationTitle(), text, QMessageBox::NoButton,
                        parent);
        QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
        box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.exec();
        if (box.clickedButton() == yes) return Answer::Yes;
        return box.clickedButton() == no ? Answer::No : Answer::Cancel;
    }
    QMessageBox box(
        qtIcon, AppEnvironment::applicationTitle(), text,
        buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
        parent);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}
