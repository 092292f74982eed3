// tarnwick-skin: the skin author's tool. Packs a skin folder into a
// compressed skin file, unpacks one (or the built-in skin) back into a
// folder, lists what a skin holds and prints its description as the loaded
// skin writes it back.
#include <cxxabi.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "platform/Errors.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinSections.h"
#include "skin/data/twZStream.h"
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
    "                             [--size WxH] [--inactive]\n";

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
  QFile f(source);
  if (!f.open(QIODevice::ReadOnly))
    throw EError(QStringLiteral("cannot open \"%1\": %2").arg(source, f.errorString()));
  const QByteArray head = f.peek(4);
  TtwCompressedStoredSkin s;
  s.LoadFromCompressedStream(f);
  if (s.IsEmpty()) {
    int32_t version = 0;
    if (head.size() == 4) memcpy(&version, head.constData(), 4);
    if (version > kSkinPackageVersion)
      throw EError(QStringLiteral("\"%1\" is a skin file of version %2; this program reads version %3 and older")
                       .arg(source)
                       .arg(version)
                       .arg(kSkinPackageVersion));
    throw EError(QStringLiteral("\"%1\" holds no skin data").arg(source));
  }
  return s.CompressedData();
}

TtwSkinPackage LoadPackage(const QString& source) {
  TtwSkinPackage pkg = TtwSkinPackage::Read(TwInflate(CompressedSource(source)));
  if (!pkg.Supported())
    throw EError(QStringLiteral("the skin package has version %1; this program reads version %2 and older")
                     .arg(pkg.Version)
                     .arg(kSkinPackageVersion));
  return pkg;
}

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
  TtwCompressedStoredSkin s;
  if (!s.LoadFromSkinFolder(ini))
    throw EError(QStringLiteral("\"%1\" lacks one of the sections %2").arg(ini, kRequiredSkinSections.join(", ")));
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) throw EError(QStringLiteral("cannot create \"%1\": %2").arg(file, out.errorString()));
  s.SaveToCompressedStream(out);
  if (!out.commit()) throw EError(QStringLiteral("cannot write \"%1\": %2").arg(file, out.errorString()));
  return 0;
}

// A picture name from a description must stay inside the target folder.
void CheckName(const QString& name) {
  if (name.isEmpty()) throw EError("the description names a picture with an empty file name");
  if (QDir::isAbsolutePath(name) || name.startsWith('\\') || (name.size() > 1 && name[1] == ':'))
    throw EError(QStringLiteral("the picture name \"%1\" is an absolute path").arg(name));
  for (const QString& part : name.split(QRegularExpression("[/\\\\]")))
    if (part == "..") throw EError(QStringLiteral("the picture name \"%1\" leads out of the folder").arg(name));
}

int Unpack(const QString& source, const QString& dir) {
  const TtwSkinPackage pkg = LoadPackage(source);
  const TtwSkinIni ini = TtwSkinIni::FromText(TwDecodeDescription(pkg.Text));
  TtwSkinPicturesInfo names;
  names.LoadFromIni(ini);

  // Every file to write, checked before anything is written.
  QList<QPair<QString, QByteArray>> files;
  QHash<QString, QByteArray> byName;
  auto add = [&](const QString& name, const QByteArray& bytes) {
    CheckName(name);
    auto it = byName.find(name);
    if (it != byName.end()) {
      if (*it != bytes) throw EError(QStringLiteral("two different pictures are both named \"%1\"").arg(name));
      return;
    }
    byName.insert(name, bytes);
    files.append({name, bytes});
  };
  auto frame = [&](const char* key, const QString& name, const TtwBitmap& b) {
    if (b.IsEmpty()) return;
    if (name.isEmpty())
      throw EError(QStringLiteral("the package holds a %1 picture but [PICTURES] \"%1\" names no file").arg(key));
    add(name, b.ToBytes());
  };
  frame("picture", names.picture, pkg.Picture);
  frame("inactivepicture", names.inactivepicture, pkg.InactivePicture);
  frame("mask", names.mask, pkg.Mask);
  if (names.activepictures.size() != pkg.ActivePictures.size())
    throw EError(QStringLiteral("the description names %1 active pictures but the package holds %2")
                     .arg(names.activepictures.size())
                     .arg(pkg.ActivePictures.size()));
  for (qsizetype i = 0; i < pkg.ActivePictures.size(); ++i)
    add(names.activepictures[i], pkg.ActivePictures[i].ToBytes());
  add("skin.ini", pkg.Text);

  QDir d(dir);
  if (!d.mkpath(".")) throw EError(QStringLiteral("cannot create the folder \"%1\"").arg(dir));
  for (const auto& [name, bytes] : files)
    if (QFileInfo::exists(d.filePath(name)))
      throw EError(QStringLiteral("\"%1\" already exists; unpack into an empty folder").arg(d.filePath(name)));
  for (const auto& [name, bytes] : files) {
    const QString path = d.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
      throw EError(QStringLiteral("cannot write \"%1\": %2").arg(path, f.errorString()));
  }

  // Say so when the folder would not pack back to the same package.
  const std::optional<QByteArray> again = TwBuildSkinPackage(d.filePath("skin.ini"));
  if (!again) Note("note: the description lacks a section a skin folder needs; it will not pack");
  else if (*again != pkg.Write() || pkg.Version != kSkinPackageVersion)
    Note(QStringLiteral("note: packing this folder gives a different package (version %1 package, or lines not ending in CR LF)")
             .arg(pkg.Version));
  return 0;
}

void LoadRecords(const TtwSkinIni& ini, QList<TtwDataSkinObject*>& objects, QList<TtwDataSkinControl*>& controls) {
  LoadSkinObjectRecords(ini, objects);
  LoadSkinControlRecords(ini, controls);
}

struct TRecords {
  QList<TtwDataSkinObject*> objects;
  QList<TtwDataSkinControl*> controls;
  ~TRecords() {
    qDeleteAll(objects);
    qDeleteAll(controls);
  }
};

int Info(const QString& source) {
  const TtwSkinPackage pkg = LoadPackage(source);
  const TtwSkinIni ini = TtwSkinIni::FromText(TwDecodeDescription(pkg.Text));
  TRecords r;
  LoadRecords(ini, r.objects, r.controls);
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
  return 0;
}

int Normalize(const QString& source) {
  const TtwSkinPackage pkg = LoadPackage(source);
  const TtwSkinIni in = TtwSkinIni::FromText(TwDecodeDescription(pkg.Text));
  TtwSkinVersionInfo version;
  version.LoadFromIni(in);
  TtwSkinPicturesInfo pictures;
  pictures.LoadFromIni(in);
  TtwSkinFormInfo form;
  form.LoadFromIni(in, pictures.mask);
  TtwDataSkinPopupWindow popup;
  popup.LoadFromIni(in);
  TtwDataSkinHintWindow hint;
  hint.LoadFromIni(in);
  TRecords r;
  LoadRecords(in, r.objects, r.controls);

  TtwSkinIni out;
  version.SaveToIni(out);
  pictures.SaveToIni(out);
  form.SaveToIni(out);
  popup.SaveToIni(out);
  hint.SaveToIni(out);
  TtwSkinColors c;
  c.SetDefault();
  const QString sc = QStringLiteral("SKINCOLORS");
  const QList<QPair<const char*, TColor TtwSkinColors::*>> colors = {
      {"cbtnface", &TtwSkinColors::cbtnface},           {"cbtntext", &TtwSkinColors::cbtntext},
      {"cwindow", &TtwSkinColors::cwindow},             {"cwindowtext", &TtwSkinColors::cwindowtext},
      {"chighlight", &TtwSkinColors::chighlight},       {"chighlighttext", &TtwSkinColors::chighlighttext},
      {"cbtnhighlight", &TtwSkinColors::cbtnhighlight}, {"cbtnshadow", &TtwSkinColors::cbtnshadow}};
  for (const auto& [key, field] : colors) out.WriteColor(sc, key, in.ReadColor(sc, key, c.*field));
  SaveSkinObjectRecords(out, r.objects);
  SaveSkinControlRecords(out, r.controls);
  const QByteArray text = out.ToText().toUtf8();
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
