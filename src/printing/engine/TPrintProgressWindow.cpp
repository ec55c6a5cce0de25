#include "printing/engine/TPrintProgressWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/HandlerGuard.h"
#include "printing/engine/TReportJob.h"

TPrintProgressWindow::TPrintProgressWindow(TReportJob* job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                          Qt::CustomizeWindowHint),
      m_job(job) {
    setObjectName(QStringLiteral("PrintProgressWindow"));
    setWindowTitle(QStringLiteral("Printing progress"));
    setModal(false);
    setFixedSize(149, 97);
    m_bar = new QProgressBar(this);
    m_bar->setGeometry(16, 18, 114, 16);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_info = new QLabel(this);
    m_info->setGeometry(0, 44, 145, 13);
    m_info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setGeometry(36, 68, 75, 25);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        runGuarded([this] {
            if (m_job) m_job->cancel();
        });
    });
    if (job)
        connect(job, &TReportJob::progress, this,
                [this](int percent) { runGuarded([&] { reportProgress(percent); }); });
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TPrintProgressWindow::reportProgress(int percent) {
    if (percent % 5 != 0) return;
    m_bar->setValue(percent);
    m_info->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
}
