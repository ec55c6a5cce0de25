#include "app/ContactStatusBar.h"

#include <QLabel>
#include <QStatusBar>

QList<QLabel*> addContactPanels(QStatusBar* bar) {
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(19);
    const QStringList texts{QString(),
                            QStringLiteral("Quorvel 快递单套打 · 技术支持：support@quorvel.cn"),
                            QStringLiteral("服务电话：400-820-0000"), QStringLiteral("V1.2")};
    const int widths[] = {50, 300, 200, 50};
    QList<QLabel*> panels;
    for (int i = 0; i < texts.size(); ++i) {
        auto* panel = new QLabel(texts[i], bar);
        panel->setFixedWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(panel);
        panels << panel;
    }
    return panels;
}
