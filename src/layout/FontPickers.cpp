// The installed font faces and the two pickers that set every field's face and size.
#include <QCollator>
#include <QComboBox>
#include <QFontDatabase>
#include <QRegularExpression>

#include "app/DropDownList.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "layout/WindowsFaceNames.h"
#include "platform/AppEnvironment.h"
#include "platform/WholeNumber.h"
#include "template/ProfileFile.h"

namespace {
// The platform names a family found at several foundries "C059 [urw]", "C059 [UKWN]": the same
// faces from different font files. Such a family is listed once, by its plain name, which
// selects it as well as either spelling.
QStringList familiesWithoutFoundries() {
    static const QRegularExpression foundry(QStringLiteral(R"(^(.+) \[[^\]]+\]$)"));
    QStringList families;
    for (const QString& family : QFontDatabase::families()) {
        const QRegularExpressionMatch match = foundry.match(family);
        const QString name = match.hasMatch() ? match.captured(1) : family;
        if (!families.contains(name)) families << name;
    }
    return families;
}
}  // namespace

void TEXPDPrintForm::ListFontNames(QComboBox* list) {
    // Every face the platform reports and every Windows face name a template may carry that
    // stands for an installed face; sorted once, and the list is never refilled, so it stays
    // sorted.
    QStringList faces = familiesWithoutFoundries();
    for (const QString& name : WindowsFaceNames::installSubstitutes())
        if (!faces.contains(name, Qt::CaseInsensitive)) faces << name;
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
