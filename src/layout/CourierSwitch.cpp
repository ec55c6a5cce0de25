// Choosing a courier: its form picture under the fields and its template's working set.
#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>

#include "app/LayoutHistory.h"
#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "app/WaybillField.h"
#include "layout/CourierPictures.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "template/ProfileFile.h"

namespace {
using CourierPictures::find;

// The decoder is chosen by the file name's extension, so a file that is not really a JPEG
// counts as unreadable, as does a missing one.
bool loadPicture(QLabel* image, const QString& fileName) {
    const QString path = find(fileName);
    if (path.isEmpty()) return false;
    QImageReader reader(path, QFileInfo(fileName).suffix().toLatin1());
    reader.setDecideFormatFromContent(false);
    const QImage picture = reader.read();
    if (picture.isNull()) return false;
    if (image) image->setPixmap(QPixmap::fromImage(picture));
    return true;
}

const QString kFallBackPicture = QStringLiteral("vornix.jpg");

// Where the fall-back picture was found, or where it was looked for first.
QString fallBackPicturePath() {
    const QString found = find(kFallBackPicture);
    return found.isEmpty() ? QDir(AppEnvironment::workingFolder()).filePath(kFallBackPicture)
                           : found;
}
}  // namespace

void TEXPDPrintForm::cbbNamesChange() {
    // Moved fields not yet saved belong to the courier shown: the question, and a save, are
    // about that one; staying puts the picker back to it.
    if (layoutHistory->hasUnsavedChanges() && cbbNames->findText(m_shownCourier) >= 0) {
        const int chosen = cbbNames->currentIndex();
        selectItemEqual(cbbNames, m_shownCourier);
        if (!settleUnsavedLayout()) return;
        cbbNames->setCurrentIndex(chosen);
    }
    m_shownCourier = currentTemplate();
    if (!loadPicture(Image1, CourierPictures::fileNameOf(currentTemplate()))) {
        if (!loadPicture(Image1, kFallBackPicture))
            throw AppError(QStringLiteral("无法读取图片文件“%1”。").arg(fallBackPicturePath()));
        // Without its form the fields cannot be placed, so they go out of sight and dragging
        // them is switched off until a courier with a picture is chosen.
        for (WaybillField* f : bandFields()) f->hide();
        layoutHistory->reset();
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
