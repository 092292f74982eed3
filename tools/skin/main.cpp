// tarnwick-skin: the skin author's tool. Packs a skin folder into a
// compressed skin file, unpacks one (or the built-in skin) back into a
// folder, lists what a skin holds and prints its description as the loaded
// skin writes it back.
#include <cxxabi.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "platform/Errors.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinBounds.h"
#include "skin/data/twSkinDescription.h"
#include "skin/data/twSkinFiles.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"
#include "tools/skin/SkinFolder.h"
#include "tools/skin/preview.h"

#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif

namespace {

const char kUsage[] =
    "usage: tarnwick-skin pack DIR FILE\n"
    "       tarnwick-skin unpack FILE DIR | unpack --builtin DIR\n"
    "       tarnwick-skin info FILE | info --builtin\n"
    "       tarnwick-skin normalize FILE | normalize --builtin\n"
    "       tarnwick-skin preview (FILE | DIR | --builtin) OUT.png [--form gallery|main|box|results]\n"
    "                             [--size WxH] [--inactive] [--state normal|maximized|rolledup]\n"
    "                             [--hit-map]\n"
    "       tarnwick-skin preview --help\n"
    "       tarnwick-skin --help | --version\n";

const char kHelp[] =
    "\n"
    "Packs a skin folder (skin.ini and the pictures it names) into a compressed\n"
    "skin file, unpacks a skin file or the built-in skin into a new or empty\n"
    "folder, lists what a skin holds, prints its description as the loaded\n"
    "skin writes it back, or renders a window drawn with a skin to a PNG\n"
    "(\"tarnwick-skin preview --help\" explains its options).\n"
    "\n"
    "Exit status: 0 on success, 1 when a skin cannot be read or written,\n"
    "2 on a wrong call.\n";

class TUsage {};

void Out(const QString& line) {
  const QByteArray b = line.toUtf8() + '\n';
  fwrite(b.constData(), 1, b.size(), stdout);
}

void Note(const QString& line) {
  const QByteArray b = "tarnwick-skin: " + line.toUtf8() + '\n';
  fwrite(b.constData(), 1, b.size(), stderr);
}

QString ClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && name ? QString::fromLatin1(name.get()) : QString::fromLatin1(type.name());
}

// The zlib stream of a skin source: "--builtin" or a compressed skin file.
QByteArray CompressedSource(const QString& source) {
  if (source == "--builtin") {
#ifdef TW_HAVE_BUILTIN_SKIN
    return BuiltinSkinPackage();
#else
    throw EError("this build has no built-in skin");
#endif
  }
  const QByteArray bytes = TwReadRegularFile(source, kCompressedSkinHeader + kMaxCompressedSkinSize);
  TtwCompressedStoredSkin s;
  s.LoadFromCompressedBytes(bytes);
  if (s.IsEmpty()) {
    int32_t version = 0;
    if (bytes.size() >= 4) memcpy(&version, bytes.constData(), 4);
    if (version > kSkinPackageVersion)
      throw EError(QStringLiteral("\"%1\" is a skin file of version %2; this program reads version %3 and older")
                       .arg(source)
                       .arg(version)
                       .arg(kSkinPackageVersion));
    throw EError(QStringLiteral("\"%1\" holds no skin data").arg(source));
  }
  return s.CompressedData();
}

TtwSkinPackage ReadPackage(const QByteArray& raw) {
  TtwSkinPackage pkg = TtwSkinPackage::Read(raw);
  if (!pkg.Supported())
    throw EError(QStringLiteral("the skin package has version %1; this program reads version %2 and older")
                     .arg(pkg.Version)
                     .arg(kSkinPackageVersion));
  return pkg;
}

TtwSkinPackage LoadPackage(const QString& source) { return ReadPackage(TwInflate(CompressedSource(source))); }

QString Describe(const TtwBitmap& b) {
  if (b.IsEmpty()) return QStringLiteral("none");
  return QStringLiteral("%1x%2x%3").arg(b.Width()).arg(b.Height()).arg(b.BitCount());
}

// The description file of a skin folder: skin.ini, else its only .ini file.
QString DescriptionIn(const QString& dir) {
  const QDir d(dir);
  if (!d.exists()) throw EError(QStringLiteral("there is no folder \"%1\"").arg(dir));
  if (QFileInfo::exists(d.filePath("skin.ini"))) return d.filePath("skin.ini");
  const QStringList inis = d.entryList({"*.ini"}, QDir::Files);
  if (inis.size() == 1) return d.filePath(inis.first());
  throw EError(QStringLiteral("\"%1\" has no skin.ini%2").arg(dir, inis.isEmpty() ? QString() : " and several .ini files"));
}

int Pack(const QString& dir, const QString& file) {
  const QString ini = DescriptionIn(dir);
  const std::optional<QByteArray> raw = TwBuildSkinPackage(ini);
  if (!raw)
    throw EError(QStringLiteral("\"%1\" lacks one of the sections %2").arg(ini, kRequiredSkinSections.join(", ")));
  // Never write a package that info, normalize or unpack would refuse.
  const TtwSkinPackage pkg = ReadPackage(*raw);
  TtwSkinDescription description;
  description.LoadFromText(TwDecodeDescription(pkg.Text));
  PlanSkinFolder(pkg, description.pictures);

  TtwCompressedStoredSkin s;
  s.SetCompressedData(TwCompressSkinPackage(*raw));
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) throw EError(QStringLiteral("cannot create \"%1\": %2").arg(file, out.errorString()));
  s.SaveToCompressedStream(out);
  if (!out.commit()) throw EError(QStringLiteral("cannot write \"%1\": %2").arg(file, out.errorString()));
  return 0;
}

int Unpack(const QString& source, const QString& dir) {
  const TtwSkinPackage pkg = LoadPackage(source);
  TtwSkinPicturesInfo names;
  names.LoadFromIni(TtwSkinIni::FromText(TwDecodeDescription(pkg.Text)));
  WriteSkinFolder(dir, PlanSkinFolder(pkg, names));

  // Say so when the folder would not pack back to the same package.
  const std::optional<QByteArray> again = TwBuildSkinPackage(QDir(dir).filePath("skin.ini"));
  if (!again) Note("note: the description lacks a section a skin folder needs; it will not pack");
  else if (*again != pkg.Write() || pkg.Version != kSkinPackageVersion)
    Note(QStringLiteral("note: packing this folder gives a different package (version %1 package, or lines not ending in CR LF)")
             .arg(pkg.Version));
  return 0;
}

int Info(const QString& source) {
  const TtwSkinPackage pkg = LoadPackage(source);
  const TtwSkinIni ini = TtwSkinIni::FromText(TwDecodeDescription(pkg.Text));
  TtwSkinDescription r;
  r.LoadFromIni(ini);
  const QStringList bounded = TwBoundSkinValues(r, TwPackageExtent(pkg));
  Out(QStringLiteral("version %1").arg(pkg.Version));
  Out("picture " + Describe(pkg.Picture));
  Out("inactivepicture " + Describe(pkg.InactivePicture));
  Out("mask " + Describe(pkg.Mask));
  for (qsizetype i = 0; i < pkg.ActivePictures.size(); ++i)
    Out(QStringLiteral("active %1 %2").arg(i).arg(Describe(pkg.ActivePictures[i])));
  QSet<QString> sections;
  for (const QString& s : ini.Sections())
    if (ini.SectionExists(s)) sections.insert(s.toUpper());
  Out(QStringLiteral("sections %1").arg(sections.size()));
  Out(QStringLiteral("objects %1").arg(r.objects.size()));
  Out(QStringLiteral("controls %1").arg(r.controls.size()));
  for (qsizetype i = 0; i < r.objects.size(); ++i)
    Out(QStringLiteral("object %1 %2 %3").arg(i).arg(r.objects[i]->IDName, ClassName(typeid(*r.objects[i]))));
  for (qsizetype i = 0; i < r.controls.size(); ++i)
    Out(QStringLiteral("control %1 %2 %3")
            .arg(i)
            .arg(r.controls[i]->IDName, ClassName(typeid(*r.controls[i]))));
  // Values a load replaces by their defaults, so an author sees why a piece is missing.
  for (const QString& b : bounded) Out("out of bounds " + b);
  return 0;
}

int Normalize(const QString& source) {
  const TtwSkinPackage pkg = LoadPackage(source);
  TtwSkinDescription description;
  description.LoadFromText(TwDecodeDescription(pkg.Text));
  const QByteArray text = description.ToText().toUtf8();
  fwrite(text.constData(), 1, text.size(), stdout);
  return 0;
}

int Run(const QStringList& args) {
  if (args.isEmpty()) throw TUsage();
  const QString cmd = args[0];
  if (cmd == "pack" && args.size() == 3) return Pack(args[1], args[2]);
  if (cmd == "unpack" && args.size() == 3) return Unpack(args[1], args[2]);
  if (cmd == "info" && args.size() == 2) return Info(args[1]);
  if (cmd == "normalize" && args.size() == 2) return Normalize(args[1]);
  if ((cmd == "help" || cmd == "--help" || cmd == "-h") && args.size() == 1) {
    fputs(kUsage, stdout);
    fputs(kHelp, stdout);
    return 0;
  }
  if (cmd == "--version" && args.size() == 1) {
    fputs("tarnwick-skin " TW_VERSION "\n", stdout);
    return 0;
  }
  throw TUsage();
}

}  // namespace

int main(int argc, char** argv) {
  // The preview needs a widget application of its own.
  if (argc > 1 && std::strcmp(argv[1], "preview") == 0) return RunPreview(argc, argv);
  QCoreApplication app(argc, argv);
  try {
    return Run(app.arguments().mid(1));
  } catch (const TUsage&) {
    fputs(kUsage, stderr);
    return 2;
  } catch (const EError& e) {
    Note(e.Message());
  } catch (const std::bad_alloc&) {
    Note("out of memory");
  } catch (const std::exception& e) {
    Note(QString::fromLocal8Bit(e.what()));
  }
  return 1;
}
