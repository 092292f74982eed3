#pragma once
// The table of interface strings (menu captions, hints, dialog words) that
// skinned windows can take their texts from.
#include <QStringList>

#include "skin/data/twComponent.h"

class TtwResourceStrData : public TtwComponent {
  Q_OBJECT
 public:
  explicit TtwResourceStrData(QObject* owner = nullptr);

  const QStringList& ResStrings() const { return resStrings_; }
  void SetResStrings(const QStringList& lines) { resStrings_ = lines; }
  int CharSet() const { return charSet_; }
  void SetCharSet(int v) { charSet_ = v; }

  // The text after the first "=" of the first line whose name (before the
  // first "=") equals `name`, ignoring letter case; empty when none does.
  QString GetResStr(const QString& name) const;

  static const QStringList& DefaultStrings();

 private:
  QStringList resStrings_;
  int charSet_ = 1;
};
