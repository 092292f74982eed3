// Lays out a text as the windows draw it (the family given, with Qt's font
// fallback) and lists every character that came out as a missing glyph.
// Exit status 0 when none did. Usage: tw_glyph_check FAMILY TEXT...
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextLayout>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: tw_glyph_check FAMILY TEXT...\n");
    return 2;
  }
  QFont font(args[0]);
  font.setPixelSize(14);
  int missing = 0;
  // One character at a time, so a missing glyph names its character.
  for (const QString& text : args.mid(1)) {
    for (const QChar c : text) {
      if (c.isSpace()) continue;
      QTextLayout layout(QString(c), font);
      layout.beginLayout();
      layout.createLine();
      layout.endLayout();
      for (const QGlyphRun& run : layout.glyphRuns()) {
        // Glyph 0 is the font's "missing" box.
        if (!run.glyphIndexes().contains(0u)) continue;
        std::printf("missing: U+%04X \"%s\" in \"%s\" (font %s)\n", c.unicode(), QString(c).toUtf8().constData(),
                    text.toUtf8().constData(), run.rawFont().familyName().toUtf8().constData());
        ++missing;
      }
    }
  }
  return missing == 0 ? 0 : 1;
}
