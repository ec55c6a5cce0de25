// Choosing a courier: its form picture under the fields and its template's working set.
#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>

#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "template/ProfileFile.h"

namespace {
// Pictures are looked up by bare file name in the working folder. The decoder is chosen by the
// file name's extension, so a file that is not really a JPEG counts as unreadable.
bool loadPicture(QLabel* image, const QString& fileName) {
    const QString path = QDir(AppEnvironment::workingFolder()).filePath(fileName);
    QImageReader reader(path, QFileInfo(fileName).suffix().toLatin1());
    reader.setDecideFormatFromContent(false);
    const QImage picture = reader.read();
    if (picture.isNull()) return false;
    if (image) image->setPixmap(QPixmap::fromImage(picture));
    return true;
}
}  // namespace

void TEXPDPrintForm::cbbNamesChange() {
    if (!loadPicture(Image1, currentTemplate() + QStringLiteral(".jpg"))) {
        if (!loadPicture(Image1, QStringLiteral("vornix.jpg")))
            throw AppError(QStringLiteral("无法读取图片文件“%1”。")
                               .arg(QDir(AppEnvironment::workingFolder()).filePath("vornix.jpg")));
        // Without its form the fields cannot be placed, so they go out of sight and dragging
        // them is switched off until a courier with a picture is chosen.
        for (WaybillField* f : bandFields()) f->hide();
        if (CheckBox1->isChecked()) {
            CheckBox1->setChecked(false);
            CheckBox1Click();
        }
        return;
    }
    ProfileFile ini(AppEnvironment::settingsFilePath());
    CbbReadIni(ini, false);
    FitBandToPage();
    ResetAddressPickers();
    cbbTextfontnameChange();
    cbbfontSizeChange();
}
