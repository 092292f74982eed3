// A note's text read as UTF-8 bytes: the box shows the right prefix, never
// half a character, and what it did not show is written back byte for byte.
#include <gtest/gtest.h>

#include "app/NoteText.h"

namespace {

constexpr qsizetype kN = TNoteText::kShownChars;

TEST(NoteText, ShowsAPrefixAndWritesEveryByteBack) {
  const QString emoji = QString::fromUcs4(U"\U0001F600", 1);
  const struct {
    const char* name;
    QString text;
    qsizetype shown;  // UTF-16 units in the box
  } cases[] = {
      {"short", "笔记\r\nnote", 8},
      {"ascii cut", QString(kN + 5, u'x'), kN},
      {"chinese cut", QString(kN + 5, u'笔'), kN},
      {"a pair across the cut", QString(kN - 1, u'x') + emoji + "tail", kN + 1},
      {"CR LF across the cut", QString(kN - 1, u'会') + "\r\nend", kN + 1},
      {"exactly the limit", QString(kN - 2, u'x') + emoji, kN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TNoteText t;
    const QByteArray bytes = c.text.toUtf8();
    t.Load(bytes);
    EXPECT_EQ(t.Shown(), c.text.left(c.shown));
    EXPECT_EQ(t.Truncated(), c.shown < c.text.size());
    EXPECT_EQ(t.StoredSize(), c.text.size());
    // The box holds plain line feeds; an edit keeps the note's CR LF.
    const QString box = QString(t.Shown()).replace("\r\n", "\n");
    t.SetBoxText(box);
    EXPECT_EQ(t.StoredUtf8(box), bytes);
    EXPECT_EQ(t.StoredUtf8("new " + box), ("new " + c.text).toUtf8());
    // Unchanged, a huge body is written from the very bytes read.
    EXPECT_EQ(t.StoredUtf8(box).constData(), bytes.constData());
  }
}

TEST(NoteText, BytesThatAreNotUtf8AreTakenAsDecoded) {
  const QByteArray bad = QByteArray(kN + 10, 'x').insert(kN - 3, "\xff\xfe", 2);
  TNoteText t;
  t.Load(bad);
  const QString decoded = QString::fromUtf8(bad);
  EXPECT_EQ(t.Shown(), decoded.left(kN));
  EXPECT_EQ(t.StoredUtf8(t.Shown()), decoded.toUtf8());
  EXPECT_EQ(t.StoredUtf8(t.Shown() + "!"), (decoded.left(kN) + "!" + decoded.mid(kN)).toUtf8());
}

}  // namespace
