// The skin renderer's seeds (the built-in skin whole and section by section,
// a tiny skin) draw every window; run with the normal build, so the fuzz
// target's path is checked without a fuzzing compiler.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fuzz/skin_render/RenderSkin.h"

TEST(RenderSeeds, EverySeedDrawsEveryWindow) {
  const QDir seeds(QStringLiteral(TW_SOURCE_DIR "/fuzz/corpus/skin_description"));
  const QStringList files = seeds.entryList(QDir::Files);
  ASSERT_GT(files.size(), 10);
  for (const QString& f : files) {
    SCOPED_TRACE(f.toStdString());
    QFile in(seeds.filePath(f));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(TwRenderSkinDescription(in.readAll()), 4);
  }
}
