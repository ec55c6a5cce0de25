#include "template/AddedCouriers.h"

#include "template/ProfileFile.h"
#include "template/StartCourier.h"

namespace {
const QString kSection = QStringLiteral("AddedExpress");
const QString kKey = QStringLiteral("Names");
const QChar kSeparator = u'|';

// Sections of the settings file that are not templates.
const QStringList kReservedSections{kSection, startCourierSection()};

// Names Windows keeps for its devices, with or without an extension.
bool isDeviceName(const QString& name) {
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices{"CON", "PRN", "AUX", "NUL"};
    if (devices.contains(stem)) return true;
    return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

bool hasForbiddenCharacter(const QString& name) {
    for (const QChar c : name)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c)) return true;
    return false;
}
}  // namespace

QStringList AddedCouriers::read(const ProfileFile& ini) {
    QStringList names;
    for (const QString& part : ini.readString(kSection, kKey, {}).split(kSeparator)) {
        const QString name = part.trimmed();
        if (!name.isEmpty() && refusal(name, names).isEmpty()) names << name;
    }
    return names;
}

void AddedCouriers::write(ProfileFile& ini, const QStringList& names) {
    ini.writeString(kSection, kKey, names.join(kSeparator));
}

const QStringList& AddedCouriers::builtIn() {
    static const QStringList names{QStringLiteral("元智捷诚"), QStringLiteral("龙邦快递"),
                                   QStringLiteral("顺丰快递")};
    return names;
}

QString AddedCouriers::refusal(const QString& name, const QStringList& listed) {
    if (name.trimmed().isEmpty()) return QStringLiteral("请填写快递单名称。");
    const auto same = [&](const QString& other) {
        return other.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (std::any_of(builtIn().begin(), builtIn().end(), same) ||
        std::any_of(listed.begin(), listed.end(), same))
        return QStringLiteral("快递单“%1”已存在。").arg(name);
    if (std::any_of(kReservedSections.begin(), kReservedSections.end(), same))
        return QStringLiteral("“%1”是设置文件保留的名称，请换一个名称。").arg(name);
    // Blanks around the name would be lost in the settings file; a trailing dot is dropped
    // from file names on Windows.
    if (name != name.trimmed() || name.endsWith(u'.') || name == u"." || name == u".." ||
        hasForbiddenCharacter(name) || isDeviceName(name) || name.size() > 100)
        return QStringLiteral(
                   "“%1”不能用作文件名，请换一个名称（不能含有 \\ / : * ? \" < > | "
                   "，不能以点或空格结尾）。")
            .arg(name);
    return QString();
}
