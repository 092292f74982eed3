// Maps a note's stored text to its text box and back: nothing the box cannot
// show (a CR before a line feed, the part beyond what is shown) is lost.
#include "app/NoteText.h"

#include <algorithm>

void TNoteText::Load(const QString& stored) {
  stored_ = stored;
  qsizetype upto = std::min(stored.size(), kShownChars);
  // Never between the halves of a CR LF or of a surrogate pair.
  if (upto > 0 && upto < stored.size() &&
      ((stored[upto - 1] == u'\r' && stored[upto] == u'\n') || stored[upto - 1].isHighSurrogate()))
    ++upto;
  shownUpto_ = upto;
  shown_ = upto == stored.size() ? stored : stored.left(upto);
  boxText_ = shown_;
}

QString TNoteText::Stored(const QString& boxText) const {
  if (boxText == boxText_) return stored_;
  const QString rest = stored_.mid(shownUpto_);
  // Edited: written in the line-end style the note was read with.
  const QStringView read = QStringView(stored_).left(shownUpto_);
  const bool crlf = read.contains(u"\r\n") && read.count(u'\n') == read.count(u"\r\n");
  if (!crlf) return boxText + rest;
  QString text = boxText;
  text.replace(u'\n', QStringLiteral("\r\n"));
  return text + rest;
}
