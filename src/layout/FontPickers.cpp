// The installed font faces and the two pickers that set every field's face and size.
#include <QCollator>
#include <QComboBox>
#include <QFontDatabase>

#include "app/DropDownList.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "platform/AppEnvironment.h"
#include "platform/WholeNumber.h"
#include "template/ProfileFile.h"

void TEXPDPrintForm::ListFontNames(QComboBox* list) {
    // Every face the platform reports, as it spells it; sorted once, and the list is never
    // refilled, so it stays sorted.
    QStringList faces = QFontDatabase::families();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(faces.begin(), faces.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    list->addItems(faces);
    fitDropDownListToEntries(list);
}

void TEXPDPrintForm::applyFontFaceToFields(const QString& face) {
    for (WaybillField* f : bandFields()) {
        QFont font = f->font();
        font.setFamilies({face});
        f->setFont(font);
    }
}

void TEXPDPrintForm::applyFontSizeToFields(int pointSize) {
    for (WaybillField* f : bandFields()) {
        QFont font = f->font();
        font.setPointSize(pointSize);
        f->setFont(font);
    }
}

void TEXPDPrintForm::cbbTextfontnameChange() {
    const QString face = cbbTextfontname->currentText();
    if (face.isEmpty()) return;
    ProfileFile(AppEnvironment::settingsFilePath())
        .writeString(currentTemplate(), QStringLiteral("Textfontname"), face);
    applyFontFaceToFields(face);
}

void TEXPDPrintForm::cbbfontSizeChange() {
    const QString size = cbbfontSize->currentText();
    if (size.isEmpty()) return;
    ProfileFile(AppEnvironment::settingsFilePath())
        .writeString(currentTemplate(), QStringLiteral("Textfontsize"), size);
    applyFontSizeToFields(wholeNumberOf(size));
}
