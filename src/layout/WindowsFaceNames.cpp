#include "layout/WindowsFaceNames.h"

#include <QFont>
#include <QFontDatabase>

namespace {

struct FaceStyle {
    QStringList windowsNames;
    QStringList freeFaces;  // most alike first
};

// FangSong has no free face of its own; a Song face keeps its upright, even strokes.
const QList<FaceStyle>& faceStyles() {
    static const QList<FaceStyle> styles = {
        {{QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
          QStringLiteral("NSimSun"), QStringLiteral("仿宋")},
         {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
          QStringLiteral("Source Han Serif SC"), QStringLiteral("AR PL SungtiL GB"),
          QStringLiteral("AR PL UMing TW")}},
        {{QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("微软雅黑")},
         {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
          QStringLiteral("Droid Sans Fallback")}},
        {{QStringLiteral("楷体")},
         {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB"),
          QStringLiteral("AR PL UKai TW")}},
    };
    return styles;
}

}  // namespace

namespace WindowsFaceNames {

QStringList standInsFor(const QString& windowsName) {
    for (const FaceStyle& style : faceStyles()) {
        if (!style.windowsNames.contains(windowsName, Qt::CaseInsensitive)) continue;
        QStringList installed;
        for (const QString& face : style.freeFaces)
            if (QFontDatabase::hasFamily(face)) installed << face;
        return installed;
    }
    return {};
}

QStringList installSubstitutes() {
    QStringList resolved;
    for (const FaceStyle& style : faceStyles()) {
        for (const QString& name : style.windowsNames) {
            const QStringList faces = standInsFor(name);
            if (faces.isEmpty()) continue;
            QFont::insertSubstitutions(name, faces);
            resolved << name;
        }
    }
    return resolved;
}

}  // namespace WindowsFaceNames
