#pragma once
// A stored title or body and what its text box shows of it. The box makes
// every line end a plain line feed and shows at most the first kShownChars
// characters; StoredUtf8 gives back the text to write for what the box then
// holds, so an unchanged note is written exactly as it was read (CR LF kept)
// and an edited one keeps its line-end style and the part that was not shown.
#include <QByteArray>
#include <QString>

class TNoteText {
 public:
  // Enough for many screens of text, and little enough that the box lays it
  // out within a frame, even as one line.
  static constexpr qsizetype kShownChars = 64 * 1024;

  // A note read from the notebook, as its UTF-8 bytes: only the part shown
  // is decoded, so a huge body shows at once. `Shown` is to go into the box.
  void Load(const QByteArray& stored);
  // A new or cleared box: whatever it will hold is written as typed.
  void Clear() { *this = TNoteText(); }
  const QString& Shown() const { return shown_; }
  // The box showed less than the whole text.
  bool Truncated() const { return shownBytes_ < stored_.size(); }
  // The whole text's length in characters (UTF-16 units, as the box counts).
  qsizetype StoredSize() const;
  // What the box showed once loaded, as the box reports it.
  void SetBoxText(const QString& boxText) { boxText_ = boxText; }
  // The text to write for what the box holds now, as UTF-8: an unchanged
  // text is the bytes as read, shared, so a huge body is neither decoded nor
  // copied.
  QByteArray StoredUtf8(const QString& boxText) const;

 private:
  QByteArray stored_;  // UTF-8
  QString shown_;
  QString boxText_;
  qsizetype shownBytes_ = 0;  // the bytes of stored_ that shown_ holds
};
