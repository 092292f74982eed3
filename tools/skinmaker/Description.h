#pragma once
// The description (skin.ini) of the built-in skin, written from the piece
// table in Layout.h.
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace skinmaker {

struct Section {
  QString name;
  QList<std::pair<QString, QString>> keys;
  Section& Set(const QString& key, const QString& value);
};

// Picture file names in package order: frame, mask, then the active ones.
inline const QString kFrameFile = "frame.bmp";
inline const QString kMaskFile = "mask.bmp";
inline const QStringList kActiveFiles = {"buttons.bmp",  "sysmenu.bmp",  "glow.bmp",     "captionbuttons.bmp",
                                         "controls.bmp", "menus.bmp",    "glowmask.bmp", "sysmenumask.bmp"};

// All sections in file order.
QList<Section> BuildDescription();
// The text with CR LF after every line.
QByteArray DescriptionText(const QList<Section>& sections);

// Windows colour value 0x00BBGGRR.
quint32 WinColor(const QColor& c);

}  // namespace skinmaker
