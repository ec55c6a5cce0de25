#pragma once

#include <QStringList>

// Templates name their face as Windows spells it ("宋体", "SimSun", "黑体" ...); elsewhere no
// face has that name. Each such name is made to stand for an installed face of the same style
// (Song, Hei, Kai), so the name can be chosen, stored and printed as it is.
namespace WindowsFaceNames {

// Teaches QFont every Windows name whose style has an installed face; returns those names in
// the order of the table. Safe to call again: a stand-in is never added twice.
QStringList installSubstitutes();

// The installed faces, in the order of preference, that stand for `windowsName`; empty for a
// name that is not a Windows face name or whose style has no installed face.
QStringList standInsFor(const QString& windowsName);

}  // namespace WindowsFaceNames
