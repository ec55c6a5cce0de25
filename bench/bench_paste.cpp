// A paste of many unnamed combo boxes into a band, as the layout editor's Ctrl+V does it: every
// component needs a free name of its own, and each becomes part of the selection. Prints the
// processor time of the whole paste and of the naming alone for a few sizes up to the
// clipboard entry's node limit (processor time, so that a busy machine does not blur it).
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <cstdio>
#include <ctime>
#include <memory>

#include "editor/ControlClassRegistry.h"
#include "editor/ControlStream.h"
#include "editor/EditorGeometry.h"
#include "editor/TControlEdit.h"

namespace {

QByteArray unnamedCombos(int count) {
    ControlNode root;
    root.className = QStringLiteral("QWidget");
    root.objectName = QString::fromLatin1(ControlStream::kRootName);
    for (int i = 0; i < count; ++i) {
        ControlNode n;
        n.className = QStringLiteral("QComboBox");
        n.geometry = QRect(10 + (i % 50) * 10, 10 + (i / 50) % 60 * 5, 80, 26);
        n.flags = ControlNode::Editable;
        root.children << n;
    }
    return ControlStream::write(root);
}

double pasteMs(int count) {
    auto form = std::make_unique<QWidget>();
    form->resize(900, 500);
    auto* band = new QWidget(form.get());
    band->setObjectName(QStringLiteral("DetailBand1"));
    band->setGeometry(20, 30, 800, 400);
    auto* field = new QComboBox(band);
    field->setObjectName(QStringLiteral("cbb1"));
    auto* edit = new TControlEdit(form.get());
    edit->SetEditControl(band);
    edit->RegChildClass();
    form->show();

    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(ControlStream::kMimeType), unnamedCombos(count));
    QGuiApplication::clipboard()->setMimeData(mime);
    const std::clock_t start = std::clock();
    edit->PraseFromClipboard(band);
    return double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}

double namingMs(int count) {
    const std::clock_t start = std::clock();
    FreeNames names({QStringLiteral("cbb1")});
    for (int i = 0; i < count; ++i) names.take(names.find(QString(), QStringLiteral("ComboBox")));
    return double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    for (int count : {100, 500, ControlStream::kMaxNodes - 1}) {
        const double naming = namingMs(count);
        const double paste = pasteMs(count);
        std::printf("%5d unnamed combo boxes: paste %8.1f ms, naming alone %6.1f ms\n", count,
                    paste, naming);
    }
    return 0;
}
