#pragma once
// The program's built-in skin: the stored zlib stream ("CompressedData") of
// the package built from skins/default, description file name "skin.ini".
#include <QByteArray>

inline constexpr const char* kBuiltinSkinFileName = "skin.ini";

QByteArray BuiltinSkinPackage();
