// Maps a note's stored text to its text box and back: nothing the box cannot
// show (a CR before a line feed, the part beyond what is shown) is lost.
#include "app/NoteText.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes of the UTF-8 sequence a lead byte begins, and the UTF-16 units it
// decodes to.
int SequenceBytes(uchar lead) { return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2; }

// The bytes of `utf8` that decode to its first `units` UTF-16 units, or -1
// where the text is not well-formed UTF-8 there.
qsizetype BytesOfUnits(const QByteArray& utf8, qsizetype units) {
  qsizetype b = 0;
  for (qsizetype u = 0; u < units && b < utf8.size();) {
    const int n = SequenceBytes(uchar(utf8[b]));
    u += n == 4 ? 2 : 1;
    b += n;
  }
  if (b > utf8.size()) return -1;
  return b;
}

// How many bytes of `x`, which has at most the top bit of each set, have it:
// the multiply adds the eight bits into the top byte.
int HighBits(quint64 x) { return int(((x >> 7) * 0x0101010101010101ULL) >> 56); }

}  // namespace

void TNoteText::Load(const QByteArray& stored) {
  stored_ = stored;
  // A UTF-16 unit takes at most three bytes: this many bytes hold the shown
  // part and the two units after it that decide where it ends.
  qsizetype bytes = std::min(stored.size(), 3 * (kShownChars + 3));
  while (bytes > 0 && bytes < stored.size() && (uchar(stored[bytes]) & 0xC0) == 0x80) --bytes;
  const QString head = QString::fromUtf8(stored.constData(), bytes);
  qsizetype upto = std::min(head.size(), kShownChars);
  // Never between the halves of a CR LF or of a surrogate pair.
  if (upto > 0 && upto < head.size() &&
      ((head[upto - 1] == u'\r' && head[upto] == u'\n') || head[upto - 1].isHighSurrogate()))
    ++upto;
  shown_ = head.left(upto);
  shownBytes_ = BytesOfUnits(stored, upto);
  // Bytes that are not UTF-8 decode to replacement characters, which no
  // longer count their bytes: such a text is taken as decoded, as a whole.
  if (shownBytes_ < 0 || QString::fromUtf8(stored.constData(), shownBytes_) != shown_) {
    const QByteArray decoded = QString::fromUtf8(stored).toUtf8();
    if (decoded != stored) return Load(decoded);
  }
  boxText_ = shown_;
}

qsizetype TNoteText::StoredSize() const {
  // Every byte but a continuation byte begins a unit, and a four-byte lead
  // a second one. Eight bytes at a time: a huge note's caption comes at once.
  constexpr quint64 kHigh = 0x8080808080808080ULL;
  const char* p = stored_.constData();
  const qsizetype n = stored_.size();
  qsizetype units = n, i = 0;
  for (; i + 8 <= n; i += 8) {
    quint64 w;
    std::memcpy(&w, p + i, 8);
    units -= HighBits(w & ~(w << 1) & kHigh);                           // 10xxxxxx
    units += HighBits(w & (w << 1) & (w << 2) & (w << 3) & kHigh);  // 1111xxxx
  }
  for (; i < n; ++i) units += -((uchar(p[i]) & 0xC0) == 0x80) + (uchar(p[i]) >= 0xF0);
  return units;
}

QByteArray TNoteText::StoredUtf8(const QString& boxText) const {
  if (boxText == boxText_) return stored_.isNull() ? QByteArray("") : stored_;
  // Edited: written in the line-end style the note was read with.
  const QStringView read = shown_;
  const bool crlf = read.contains(u"\r\n") && read.count(u'\n') == read.count(u"\r\n");
  QString text = boxText;
  if (crlf) text.replace(u'\n', QStringLiteral("\r\n"));
  QByteArray utf8 = text.toUtf8();
  utf8.append(stored_.constData() + shownBytes_, stored_.size() - shownBytes_);
  return utf8.isNull() ? QByteArray("") : utf8;
}
