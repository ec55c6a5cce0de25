// Couriers the user adds to the built-in ones, and their removal.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "app/ListSelection.h"
#include "app/TEXPDPrintForm.h"
#include "dialogs/TAddExpressForm.h"
#include "layout/CourierPictures.h"
#include "platform/AppEnvironment.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "template/AddedCouriers.h"
#include "template/ProfileFile.h"
#include "template/StartCourier.h"

namespace {

// The added couriers as the picker lists them, after the built-in ones.
QStringList addedIn(const QComboBox* names) {
    QStringList added;
    for (int i = AddedCouriers::builtIn().size(); i < names->count(); ++i)
        added << names->itemText(i);
    return added;
}
}  // namespace

void TEXPDPrintForm::ListAddedCouriers() {
    cbbNames->addItems(AddedCouriers::read(ProfileFile(AppEnvironment::settingsFilePath())));
}

void TEXPDPrintForm::btnAddExpressClick() {
    TAddExpressForm dialog(*this);
    dialog.exec();
}

QString TEXPDPrintForm::courierNameRefusal(const QString& name) const {
    return AddedCouriers::refusal(name, addedIn(cbbNames));
}

void TEXPDPrintForm::AddCourier(const QString& name, const QString& picture,
                                const QSize& millimetres) {
    const QString refusal = courierNameRefusal(name);
    if (!refusal.isEmpty()) throw AppError(refusal);
    CourierPictures::store(picture, name);

    // The size first, so that the switch loads it; then the whole working and default sets
    // (the fields where they are now), so the new template is complete from the start. The
    // list is written last: a courier is listed only once everything it needs is stored.
    ProfileFile ini(AppEnvironment::settingsFilePath());
    const QString height = QString::number(millimetres.height());
    const QString width = QString::number(millimetres.width());
    ini.writeString(name, QStringLiteral("CurrentLong"), height);
    ini.writeString(name, QStringLiteral("CurrentWide"), width);
    ini.writeString(name, QStringLiteral("DefaultLong"), height);
    ini.writeString(name, QStringLiteral("DefaultWide"), width);
    cbbNames->addItem(name);
    cbbNames->setCurrentIndex(cbbNames->count() - 1);
    try {
        cbbNamesChange();
        CbbWriteIni(ini, false);
        CbbWriteIni(ini, true);
        AddedCouriers::write(ini, addedIn(cbbNames));
    } catch (...) {
        // Not listed in the file, so not in the picker either.
        cbbNames->removeItem(cbbNames->count() - 1);
        throw;
    }
}

void TEXPDPrintForm::btnRemoveExpressClick() {
    const QString name = currentTemplate();
    if (cbbNames->currentIndex() < AddedCouriers::builtIn().size()) return;
    if (!MessageBoxes::confirm(QStringLiteral("删除快递单“%1”？").arg(name), this)) return;
    const bool deleteFiles = MessageBoxes::confirm(
        QStringLiteral("同时删除快递单“%1”的图片和模板设置吗？\n选择“取消”则保留它们，"
                       "以后用同一名称再添加时还可使用。")
            .arg(name),
        this);

    QStringList remaining = addedIn(cbbNames);
    remaining.removeAll(name);
    ProfileFile ini(AppEnvironment::settingsFilePath());
    AddedCouriers::write(ini, remaining);
    // A start courier that is gone would open no courier at all.
    if (readStartCourier(ini).compare(name, Qt::CaseInsensitive) == 0)
        writeStartCourier(ini, QStringLiteral("龙邦快递"));
    cbbNames->removeItem(cbbNames->currentIndex());
    if (deleteFiles) {
        ini.eraseSection(name);
        // Only the picture this program stored; never one that came with an installation.
        const QString stored =
            QDir(CourierPictures::folderForAdded()).filePath(CourierPictures::fileNameOf(name));
        if (QFileInfo::exists(stored) && !QFile::remove(stored))
            throw AppError(QStringLiteral("无法删除图片文件“%1”。").arg(stored));
    }
    selectItemEqual(cbbNames, readStartCourier(ini));
    cbbNamesChange();
}
