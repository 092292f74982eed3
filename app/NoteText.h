#pragma once
// A stored title or body and what its text box shows of it. The box makes
// every line end a plain line feed and shows at most the first kShownChars
// characters; Stored gives back the text to write for what the box then
// holds, so an unchanged note is written exactly as it was read (CR LF kept)
// and an edited one keeps its line-end style and the part that was not shown.
#include <QString>

class TNoteText {
 public:
  // Enough for many screens of text, and little enough that the box lays it
  // out within a frame, even as one line.
  static constexpr qsizetype kShownChars = 64 * 1024;

  // A note read from the notebook: `shown` is to go into the box.
  void Load(const QString& stored);
  // A new or cleared box: whatever it will hold is written as typed.
  void Clear() { *this = TNoteText(); }
  const QString& Shown() const { return shown_; }
  // The box showed less than the whole text.
  bool Truncated() const { return shownUpto_ < stored_.size(); }
  qsizetype StoredSize() const { return stored_.size(); }
  // What the box showed once loaded, as the box reports it.
  void SetBoxText(const QString& boxText) { boxText_ = boxText; }
  // The text to write for what the box holds now.
  QString Stored(const QString& boxText) const;

 private:
  QString stored_;
  QString shown_;
  QString boxText_;
  qsizetype shownUpto_ = 0;
};
