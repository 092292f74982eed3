#pragma once
// The uncompressed skin package: version, the three frame pictures behind
// flag bytes, the active pictures, then the description text to the end.
// Also the builder that makes a package from a skin folder.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "skin/data/twBmp.h"

// A package (or compressed skin file) that ends early or whose counts make
// no sense. The text says where it broke.
class ESkinPackageError : public EError {
 public:
  using EError::EError;
};

inline constexpr int32_t kSkinPackageVersion = 3;
// Most pixels all pictures of one skin may hold together: 256 MiB decoded at
// four bytes a pixel, the size of the largest single picture.
inline constexpr int64_t kMaxSkinPixels = int64_t(1) << 26;
inline constexpr int32_t kMaxActivePictures = 65536;

struct TtwSkinPackage {
  int32_t Version = kSkinPackageVersion;
  TtwBitmap Picture;          // empty bitmap = flag 1, nothing stored
  TtwBitmap InactivePicture;
  TtwBitmap Mask;
  QList<TtwBitmap> ActivePictures;
  QByteArray Text;            // description bytes, to the end of the package

  // A version above the supported one reads nothing more: only Version is set.
  bool Supported() const { return Version <= kSkinPackageVersion; }

  // Raises ESkinPackageError when the package ends early or its pictures
  // would decode past kMaxSkinPixels, and EInvalidBitmap for a damaged
  // picture entry. Version 2 extras are read and dropped.
  static TtwSkinPackage Read(const QByteArray& raw);
  // Writes the package as it stands (Version as set, no version 2 extras).
  QByteArray Write() const;
};

// Splits text at CR LF, CR or LF. A final line break ends the last line and
// adds no empty one.
QList<QByteArray> TwSplitLines(const QByteArray& text);
// Description bytes to text: UTF-8, or the Chinese code page when the bytes
// are not valid UTF-8.
QString TwDecodeDescription(const QByteArray& bytes);

// Sections a description needs before a package is built from it.
inline const QStringList kRequiredSkinSections = {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS",
                                                  "SKINCONTROLS"};

// Builds the uncompressed package of the skin whose description is at
// `descriptionPath`, the pictures named in its [PICTURES] section lying
// beside it. Returns nothing when the description lacks one of the required
// sections. Raises EError when the description or a picture cannot be read
// (only regular files are read), EInvalidBitmap when a picture is not a
// supported bitmap, and ESkinPackageError when the package would be more
// than a reader accepts.
std::optional<QByteArray> TwBuildSkinPackage(const QString& descriptionPath);

// The package compressed as a stored skin holds it: zlib, level 9.
QByteArray TwCompressSkinPackage(const QByteArray& package);
