// The main window: builds its controls, refreshes the tree, category list
// and count, and runs the note commands.
#include "app/Unit1.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSet>
#include <algorithm>

#include "app/NoteImages.h"
#include "app/NoteTree.h"
#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif
#include "app/NotesIndex.h"
#include "app/Statements.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Align.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ImageList.h"
#include "platform/db/RowWriter.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/controls/twSkinScrollBar.h"
#include "skin/controls/twSkinTreeView.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/form/twSkinForm.h"

namespace {

// A line edit keeps this much clear inside its text margins on each side.
constexpr int kLineEditTextPadding = 2;

const QString kCategory = QStringLiteral("类别");
const QString kDate = QStringLiteral("日期");
const QString kTitle = QStringLiteral("标题");
const QString kContent = QStringLiteral("内容");
const QString kNotesTable = QStringLiteral("笔记");

QFont PixelFont(const QString& family, int pixels) {
  QFont f(family);
  f.setPixelSize(pixels);
  return f;
}

template <class T>
T* Make(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace

void CentreOnScreen(QWidget* window) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r(QPoint(0, 0), window->size());
    r.moveCenter(screen->availableGeometry().center());
    window->move(r.topLeft());
  }
}

void ApplyNotesFrameSettings(TtwSkinForm& frame, TtwSkinData* data) {
  frame.SetBorderIcons(biSystemMenu | biMinimize | biMaximize | biRollUp);
  frame.UseDefaultSysMenu = true;
  frame.ShowIcon = false;
  frame.AlphaBlend = false;
  frame.AlphaBlendValue = 200;
  frame.MenusAlphaBlend = false;
  frame.MenusAlphaBlendValue = 200;
  frame.UseSkinFontInMenu = true;
  frame.DefMenuItemHeight = 20;
  frame.MaxMenuItemsInWindow = 0;
  frame.Magnetic = false;
  frame.MagneticSize = 5;
  frame.ClientInActiveEffect = false;
  frame.AlwaysMinimizeToTray = false;
  frame.AlwaysShowInTray = false;
  frame.MinWidth = frame.MinHeight = frame.MaxWidth = frame.MaxHeight = 0;
  QFont caption = PixelFont(QStringLiteral("Arial"), 14);
  caption.setBold(true);
  frame.DefCaptionFont = caption;
  frame.DefInActiveCaptionFont = caption;
  frame.DefInActiveCaptionFontColor = twDefaultColors::BtnShadow;
  frame.DefMenuItemFont = PixelFont(QStringLiteral("Arial"), 14);
  // Last: a skin that is already loaded applies at once.
  frame.SetSkinData(data);
}

TForm1::TForm1(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("Form1"));
  SetCaption(QStringLiteral("Tarnwick "));
  SetBorderStyle(TFormBorderStyle::bsSingle);
  setFont(PixelFont(QStringLiteral("Tahoma"), 16));
  resize(996, 642);

  twCompressedStoredSkin1 = new TtwCompressedStoredSkin(this);
  twCompressedStoredSkin1->setObjectName(QStringLiteral("twCompressedStoredSkin1"));
  twCompressedStoredSkin1->SetFileName(QStringLiteral("skin.ini"));
#ifdef TW_HAVE_BUILTIN_SKIN
  twCompressedStoredSkin1->SetCompressedData(BuiltinSkinPackage());
#endif
  twSkinData1 = new TtwSkinData(this);
  twSkinData1->setObjectName(QStringLiteral("twSkinData1"));
  twSkinData1->SetSkinnableForm(true);
  twSkinData1->SetEnableSkinEffects(true);
  twSkinData1->SetShowButtonGlowFrames(true);
  twSkinData1->SetShowCaptionButtonGlowFrames(true);
  twSkinData1->SetSkinIndex(0);
  // Loaded before the controls exist, so each binds to its record as it is
  // given the skin data.
  twSkinData1->SetCompressedStoredSkin(twCompressedStoredSkin1);

  ImageList2 = new TImageList(this, kNoteImageSize, kNoteImageSize);
  ImageList2->setObjectName(QStringLiteral("ImageList2"));
  ImageList2->SetBkColor(QColor(0xCC, 0xE8, 0xCF));
  for (const QImage& picture : NoteImages()) ImageList2->Add(QPixmap::fromImage(picture));

  pm1 = new QMenu(this);
  pm1->setObjectName(QStringLiteral("pm1"));
  N1 = pm1->addAction(QStringLiteral("Delete"));
  N1->setObjectName(QStringLiteral("N1"));
  N1->setEnabled(false);
  N2 = pm1->addAction(QStringLiteral("Class Modify"));
  N2->setObjectName(QStringLiteral("N2"));

  BuildLayout();

  twSkinForm1 = new TtwSkinForm(this);
  twSkinForm1->setObjectName(QStringLiteral("twSkinForm1"));
  ApplyNotesFrameSettings(*twSkinForm1, twSkinData1);


  CentreOnScreen(this);
  setWindowState(Qt::WindowMaximized);
}

void TForm1::BuildLayout() {
  const QFont arial14 = PixelFont(QStringLiteral("Arial"), 12);  // cell height 14
  const QFont arial19 = PixelFont(QStringLiteral("Arial"), 19);
  auto skinned = [this](TtwSkinControl* c, const char* record, bool set) {
    c->SetSkinDataName(QString::fromLatin1(record));
    if (set) c->SetSkinData(twSkinData1);
  };
  auto button = [&](QWidget* parent, const char* name, const QString& caption, TAlign align,
                    int w, int h) {
    auto* b = Make<TtwSkinButton>(parent, name);
    skinned(b, "button", true);
    b->SetUseSkinSize(false);
    b->SetUseSkinFont(true);
    b->SetUseSkinFontColor(true);
    b->SetCaption(caption);
    b->SetBounds(0, 0, w, h);
    b->SetAlign(align);
    return b;
  };

  twSkinToolBar1 = Make<TtwSkinToolBar>(this, "twSkinToolBar1");
  skinned(twSkinToolBar1, "toolpanel", true);
  twSkinToolBar1->SetBorderStyle(bvNone);
  twSkinToolBar1->SetDefaultHeight(25);
  twSkinToolBar1->SetAdjustControls(true);
  twSkinToolBar1->SetAutoEnabledControls(false);
  twSkinToolBar1->SetCanScroll(false);
  twSkinToolBar1->SetShowCaptions(false);
  twSkinToolBar1->SetBounds(0, 0, 996, 25);
  twSkinToolBar1->SetAlign(TAlign::alTop);
  twSkinSpeedButton1 = button(twSkinToolBar1, "twSkinSpeedButton1", QStringLiteral("New notes"),
                              TAlign::alLeft, 96, 25);
  twSkinSpeedButton2 = button(twSkinToolBar1, "twSkinSpeedButton2", QStringLiteral("Class Modify"),
                              TAlign::alLeft, 96, 25);
  twSkinSpeedButton7 = button(twSkinToolBar1, "twSkinSpeedButton7", QStringLiteral("Refresh"),
                              TAlign::alLeft, 96, 25);
  twSkinEdit1 = Make<TtwSkinEdit>(twSkinToolBar1, "twSkinEdit1");
  twSkinEdit1->SetDefaultFont(arial14);
  // The box's own smaller font: the prompt fits the 133 pixels whole.
  twSkinEdit1->SetUseSkinFont(false);
  twSkinEdit1->SetSkinData(twSkinData1);
  twSkinEdit1->setText(QStringLiteral("Please enter a keyword"));
  twSkinEdit1->setCursorPosition(0);
  // 133 pixels, or as wide as the prompt needs with the text margins of the
  // skin and the edit's own, so its last letter is never cut.
  const QMargins m = twSkinEdit1->textMargins();
  const int promptWidth = QFontMetrics(arial14).horizontalAdvance(twSkinEdit1->text()) + m.left() + m.right() +
                          2 * kLineEditTextPadding + 1;
  SetWidgetBounds(twSkinEdit1, 524, 1, std::max(133, promptWidth), 22);
  SetWidgetAnchors(twSkinEdit1, TAnchors(akLeft) | akTop | akBottom);
  twSkinEdit1->installEventFilter(this);
  twSkinSpeedButton4 = button(twSkinToolBar1, "twSkinSpeedButton4", QStringLiteral("Find"),
                              TAlign::alRight, 96, 25);

  twSkinToolBar2 = Make<TtwSkinToolBar>(this, "twSkinToolBar2");
  skinned(twSkinToolBar2, "toolpanel", false);
  twSkinToolBar2->SetBorderStyle(bvNone);
  twSkinToolBar2->SetBounds(0, 25, 150, 569);
  twSkinToolBar2->SetAlign(TAlign::alLeft);
  twSkinGroupBox1 = Make<TtwSkinGroupBox>(twSkinToolBar2, "twSkinGroupBox1");
  skinned(twSkinGroupBox1, "groupbox", false);
  twSkinGroupBox1->SetCaption(QStringLiteral("Notes"));
  twSkinGroupBox1->SetCaptionMode(true);
  twSkinGroupBox1->SetBorderStyle(bvFrame);
  twSkinGroupBox1->SetAlign(TAlign::alClient);
  TreeView1 = Make<TtwSkinTreeView>(twSkinGroupBox1, "TreeView1");
  TreeView1->SetSkinDataName(QStringLiteral("treeview"));
  TreeView1->SetSkinData(twSkinData1);
  TreeView1->SetDefaultFont(arial14);
  TreeView1->setFont(arial14);
  TreeView1->SetImages(ImageList2);
  TreeView1->SetIndent(27);
  TreeView1->SetReadOnly(true);
  TreeView1->SetSortType(stText);
  TreeView1->SetPopupMenu(pm1);
  TreeView1->SetAlign(TAlign::alClient);
  // Skinned bars in place of Qt's; a title wider than the tree is scrolled to.
  auto scrollBar = [&](QWidget* parent, const char* name, TScrollBarKind kind, TAlign align) {
    auto* b = Make<TtwSkinScrollBar>(parent, name);
    b->SetSkinData(twSkinData1);
    b->SetKindAsDesigned(kind);
    b->SetAlign(align);
    return b;
  };
  twSkinScrollBar1 = scrollBar(twSkinGroupBox1, "twSkinScrollBar1", sbVertical, TAlign::alRight);
  twSkinScrollBar2 = scrollBar(twSkinGroupBox1, "twSkinScrollBar2", sbHorizontal, TAlign::alBottom);
  TreeView1->SetVScrollBar(twSkinScrollBar1);
  TreeView1->SetHScrollBar(twSkinScrollBar2);

  twSkinSplitter1 = Make<TtwSkinSplitter>(this, "twSkinSplitter1");
  twSkinSplitter1->SetSkinDataName(QStringLiteral("vsplitter"));
  twSkinSplitter1->SetBeveled(true);
  twSkinSplitter1->SetResizeStyle(rsLine);
  twSkinSplitter1->SetDefaultSize(10);
  twSkinSplitter1->SetBounds(150, 25, 9, 569);
  twSkinSplitter1->SetAlign(TAlign::alLeft);

  Panel1 = Make<TtwSkinPanel>(this, "Panel1");
  skinned(Panel1, "panel", true);
  Panel1->SetBorderStyle(bvFrame);
  Panel1->SetAlign(TAlign::alClient);

  Panel2 = Make<TtwSkinPanel>(Panel1, "Panel2");
  skinned(Panel2, "panel", true);
  Panel2->SetBounds(0, 0, 837, 153);
  Panel2->SetAlign(TAlign::alTop);
  twSkinPanel1 = Make<TtwSkinPanel>(Panel2, "twSkinPanel1");
  skinned(twSkinPanel1, "panel", true);
  twSkinPanel1->SetBounds(0, 0, 837, 56);
  twSkinPanel1->SetAlign(TAlign::alTop);
  Button1 = button(twSkinPanel1, "Button1", QStringLiteral("Modify"), TAlign::alLeft, 104, 54);
  Button1->SetVisible(false);
  Button2 = button(twSkinPanel1, "Button2", QStringLiteral("Save"), TAlign::alLeft, 104, 54);
  Button2->SetVisible(false);
  Button4 = button(twSkinPanel1, "Button4", QStringLiteral("Delete"), TAlign::alLeft, 104, 54);
  lbl1 = Make<TtwSkinLabel>(twSkinPanel1, "lbl1");
  skinned(lbl1, "label", true);
  lbl1->SetBorderStyle(bvNone);
  lbl1->SetUseSkinSize(false);
  lbl1->SetCaption(QStringLiteral("class"));
  lbl1->SetAutoSize(true);
  lbl1->SetAlign(TAlign::alLeft);
  SeSkinComboBox1 = Make<TtwSkinComboBox>(twSkinPanel1, "SeSkinComboBox1");
  SeSkinComboBox1->SetUseSkinSize(false);
  skinned(SeSkinComboBox1, "combobox", true);
  SeSkinComboBox1->SetStyle(twcbFixedStyle);
  SeSkinComboBox1->SetSorted(false);
  SeSkinComboBox1->SetDropDownCount(8);
  SeSkinComboBox1->SetBounds(0, 0, 121, 54);
  SeSkinComboBox1->SetAlign(TAlign::alLeft);
  SeSkinComboBox1->SetEnabled(false);
  DateTimePicker1 = Make<TtwSkinDateEdit>(twSkinPanel1, "DateTimePicker1");
  DateTimePicker1->SetSkinDataName(QStringLiteral("buttonedit"));
  DateTimePicker1->SetSkinData(twSkinData1);
  DateTimePicker1->SetEditMask(QStringLiteral("!0000/99/99;1; "));
  DateTimePicker1->SetMaxLength(10);
  DateTimePicker1->SetCalendarWidth(200);
  DateTimePicker1->SetCalendarHeight(150);
  DateTimePicker1->SetCalendarSkinDataName(QStringLiteral("panel"));
  DateTimePicker1->SetBounds(0, 0, 171, 54);
  DateTimePicker1->SetAlign(TAlign::alRight);
  DateTimePicker1->SetVisible(false);
  DateTimePicker1->SetEnabled(false);

  twSkinGroupBox3 = Make<TtwSkinGroupBox>(Panel2, "twSkinGroupBox3");
  skinned(twSkinGroupBox3, "groupbox", true);
  twSkinGroupBox3->SetCaption(QStringLiteral("Caption"));
  twSkinGroupBox3->SetCaptionMode(true);
  twSkinGroupBox3->SetBorderStyle(bvFrame);
  twSkinGroupBox3->SetBounds(0, 56, 837, 80);
  twSkinGroupBox3->SetAlign(TAlign::alTop);
  SeSkinMemo1 = Make<QPlainTextEdit>(twSkinGroupBox3, "SeSkinMemo1");
  SeSkinMemo1->setFont(arial19);
  SeSkinMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  twSkinScrollBar3 = scrollBar(twSkinGroupBox3, "twSkinScrollBar3", sbVertical, TAlign::alRight);
  twSkinScrollBar4 = scrollBar(twSkinGroupBox3, "twSkinScrollBar4", sbHorizontal, TAlign::alBottom);
  TtwScrollBarLink::Pair(new TtwScrollBarLink(SeSkinMemo1, Qt::Vertical, twSkinScrollBar3),
                         new TtwScrollBarLink(SeSkinMemo1, Qt::Horizontal, twSkinScrollBar4));
  SeSkinMemo1->setEnabled(false);
  SetWidgetAlign(SeSkinMemo1, TAlign::alClient);

  Panel3 = Make<TtwSkinPanel>(Panel1, "Panel3");
  skinned(Panel3, "panel", false);
  Panel3->SetAlign(TAlign::alClient);
  twSkinGroupBox2 = Make<TtwSkinGroupBox>(Panel3, "twSkinGroupBox2");
  skinned(twSkinGroupBox2, "groupbox", true);
  twSkinGroupBox2->SetCaption(QStringLiteral("Content"));
  twSkinGroupBox2->SetCaptionMode(true);
  twSkinGroupBox2->SetBorderStyle(bvFrame);
  twSkinGroupBox2->SetAlign(TAlign::alClient);
  twSkinMemo21 = Make<QPlainTextEdit>(twSkinGroupBox2, "twSkinMemo21");
  twSkinMemo21->setFont(arial19);
  twSkinMemo21->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // lines wrap
  twSkinScrollBar5 = scrollBar(twSkinGroupBox2, "twSkinScrollBar5", sbVertical, TAlign::alRight);
  new TtwScrollBarLink(twSkinMemo21, Qt::Vertical, twSkinScrollBar5);
  twSkinMemo21->setEnabled(false);
  SetWidgetAlign(twSkinMemo21, TAlign::alClient);

  StatusBar1 = Make<TtwSkinStatusBar>(this, "StatusBar1");
  skinned(StatusBar1, "statusbar", true);
  StatusBar1->SetSizeGrip(false);
  StatusBar1->SetBorderStyle(bvNone);
  StatusBar1->SetBounds(0, 560, 996, 82);
  StatusBar1->SetAlign(TAlign::alBottom);
  auto panel = [&](const char* name, TAlign align, const QString& caption) {
    auto* p = Make<TtwSkinStatusPanel>(StatusBar1, name);
    skinned(p, "statuspanel", true);
    p->SetCaption(caption);
    p->SetBounds(0, 0, align == TAlign::alLeft ? 120 : 228, 48);
    p->SetAlign(align);
    return p;
  };
  twSkinStatusPanel1 = panel("twSkinStatusPanel1", TAlign::alLeft, QStringLiteral("twSkinStatusPanel1"));
  // The note count grows with the notebook: the panel takes the width of its text.
  twSkinStatusPanel1->SetAutoSize(true);
  // Right-aligned panels line up from the right edge in creation order.
  twSkinStatusPanel2 = panel("twSkinStatusPanel2", TAlign::alRight,
                             QStringLiteral("Emali：notes@example.org"));
  twSkinStatusPanel3 = panel("twSkinStatusPanel3", TAlign::alRight,
                             QStringLiteral("https://tarnwick.example.org"));

  auto guarded = [](auto handler) { return [handler] { Guarded(handler); }; };
  connect(twSkinSpeedButton1, &TtwSkinButton::clicked, this, guarded([this] { twSkinSpeedButton1Click(); }));
  connect(twSkinSpeedButton2, &TtwSkinButton::clicked, this, guarded([this] { twSkinSpeedButton2Click(); }));
  connect(twSkinSpeedButton7, &TtwSkinButton::clicked, this, guarded([this] { twSkinSpeedButton7Click(); }));
  connect(twSkinSpeedButton4, &TtwSkinButton::clicked, this, guarded([this] { twSkinSpeedButton4Click(); }));
  connect(Button1, &TtwSkinButton::clicked, this, guarded([this] { Button1Click(); }));
  connect(Button2, &TtwSkinButton::clicked, this, guarded([this] { Button2Click(); }));
  connect(Button4, &TtwSkinButton::clicked, this, guarded([this] { Button4Click(); }));
  connect(N1, &QAction::triggered, this, guarded([this] { Button4Click(); }));
  connect(N2, &QAction::triggered, this, guarded([this] { twSkinSpeedButton2Click(); }));
  connect(TreeView1, &TtwSkinTreeView::clicked, this, guarded([this] { TreeView1Click(); }));
  connect(TreeView1, &TtwSkinTreeView::addition, this,
          [this](TTreeNode* node) { Guarded([this, node] { TreeView1Addition(node); }); });
  tree_ = std::make_unique<TNoteTree>(TreeView1, [this](TTreeNode* node) { TreeView1Addition(node); });
  writer_ = new TRowWriter(this);
  connect(writer_, &TRowWriter::Finished, this,
          [this](const QString& error, int code, qint64 counter) {
            Guarded([&] { SaveFinished(error, code, counter); });
          });
}

bool TForm1::LastRefreshWasInPlace() const { return tree_->LastWasInPlace(); }

TForm1::~TForm1() {
  // The skin data outlives every control that still refers to it.
  delete twSkinForm1;
  twSkinForm1 = nullptr;
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if (watched == twSkinEdit1 && e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    Guarded([this] { twSkinEdit1Click(); });
  }
  // Enter in the keyword box runs Find. An edit passes Enter on to its
  // parent, so this also sees it when the box wraps an inner edit.
  if (watched == twSkinEdit1 && e->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(e);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
      Guarded([this] { twSkinSpeedButton4Click(); });
      return true;
    }
  }
  return TForm::eventFilter(watched, e);
}

void TForm1::FormCreate() { StatusBar1->SetHeight(48); }

void TForm1::FormShow() {
  if (saving_) return;  // the file is the writer's; its end refreshes
  DateTimePicker1->SetDate(QDateTime::currentDateTime());
  try {
    RefreshTree();
  } catch (...) {
    // As when a rebuild stops half way: the old nodes are gone.
    TreeView1->Items().Clear();
    tree_->Invalidate();
    throw;
  }

  SeSkinComboBox1->ClearItems();
  for (const QString& name : tree_->Categories()) SeSkinComboBox1->AddItem(name);

  SetEditMode(TEditMode::Idle);
  connect(Data->NotesIndex, &TNotesIndex::BusyChanged, this, &TForm1::ShowCount, Qt::UniqueConnection);
  ShowCount();
}

void TForm1::ShowCount() {
  // Until the index is built or checked, searches scan: the user may wonder why.
  twSkinStatusPanel1->SetCaption(QStringLiteral("现共有记录: ") + QString::number(noteCount_) +
                                 QStringLiteral(" 个") +
                                 (Data->NotesIndex->Busy() ? QStringLiteral("  indexing…") : QString()) +
                                 (!saving_                                ? QString()
                                  : writing_.kind == TRowChange::Delete ? QStringLiteral("  deleting…")
                                                                        : QStringLiteral("  saving…")));
}

void TForm1::RefreshTree() {
  TADOTable& lb = *Data->LB;
  lb.Close();
  lb.Open();
  lb.First();
  const int n = lb.RecordCount();
  QStringList categories;
  for (int i = 0; i < n; ++i, lb.Next()) categories << lb.FieldByName(kCategory).AsString();

  const QSet<QString> listed(categories.cbegin(), categories.cend());
  // A note is shown under a listed category; one copy of each name is kept,
  // however many notes carry it.
  auto shown = [&](const TRowReader& row, int column, QString* name) {
    if (row.IsNull(column)) return false;  // equal to no category name
    const auto shared = listed.constFind(row.Text(column));
    if (shared == listed.cend()) return false;
    *name = *shared;
    return true;
  };
  // A shown title is displayed, and a null one cannot be.
  auto title = [](const TRowReader& row, int column) {
    if (row.IsNull(column))
      throw EDatabaseError(QStringLiteral("The field \"%1\" holds no value (null) and cannot be shown as text.")
                               .arg(kTitle));
    return row.Text(column);
  };
  TADOConnection& conn = *Data->ADOConnection1;
  bool complete = false;
  const std::vector<TRowChange> changes = conn.TakeChanges(complete);
  // One read transaction: the version and the rows belong to one state. The
  // rows are read as they come, never held twice.
  conn.BeginReadTrans();
  try {
    const qint64 version = conn.DataVersion();
    const qint64 counter = conn.ChangeCounter();
    const bool onlyOurSave = refreshCounter_ >= 0 && savedFrom_ == refreshCounter_ && counter == refreshCounter_ + 1;
    refreshCounter_ = counter;
    savedFrom_ = -2;
    readOnlyChanges_ = false;
    if (complete && tree_->Valid() && (version == dataVersion_ || onlyOurSave) &&
        categories == tree_->Categories()) {
      dataVersion_ = version;
      // Nobody else wrote since the last refresh: only our own changes are
      // read again.
      QList<qint64> changed;
      for (const TRowChange& c : changes) {
        if (c.table != kNotesTable) continue;
        if (!changed.contains(c.rowid)) changed << c.rowid;
        noteCount_ += c.kind == TRowChange::Insert ? 1 : c.kind == TRowChange::Delete ? -1 : 0;
      }
      std::vector<TNoteRow> now;
      if (!changed.isEmpty()) {
        QString name;
        conn.ReadRows(NotesByRowid(changed), [&](const TRowReader& row) {
          if (shown(row, 1, &name)) now.push_back({row.Int(0), name, title(row, 2)});
        });
      }
      tree_->Apply(std::vector<qint64>(changed.cbegin(), changed.cend()), std::move(now));
      conn.CommitTrans();
      readOnlyChanges_ = true;
      return;
    }
    dataVersion_ = version;
    // Category and title of every note, each from its own index; never a body.
    std::vector<TNoteRow> notes;
    int count = 0;
    QString name;
    conn.ReadRows(NoteCategories(), [&](const TRowReader& row) {
      ++count;
      if (shown(row, 1, &name)) notes.push_back({row.Int(0), name, QString()});
    });
    std::sort(notes.begin(), notes.end(), [](const TNoteRow& a, const TNoteRow& b) { return a.rowid < b.rowid; });
    conn.ReadRows(NoteTitles(), [&](const TRowReader& row) {
      const qint64 id = row.Int(0);
      const auto at = std::lower_bound(notes.begin(), notes.end(), id,
                                       [](const TNoteRow& n, qint64 v) { return n.rowid < v; });
      if (at != notes.end() && at->rowid == id) at->title = title(row, 1);
    });
    conn.CommitTrans();
    tree_->Show(categories, std::move(notes));
    noteCount_ = count;
  } catch (...) {
    conn.RollbackTrans();
    throw;
  }
}

void TForm1::TreeView1Addition(TTreeNode* node) {
  TtwSkinTreeView::SetImageIndex(node, TtwSkinTreeView::Level(node) == 0 ? niCategory : niNote);
  TtwSkinTreeView::SetSelectedIndex(node, niSelected);
}

void TForm1::TreeView1Click() {
  TTreeNode* node = TreeView1->Selected();
  // An empty tree has no top node: nothing here walks the whole tree.
  if (TreeView1->topLevelItemCount() == 0 || !node || TtwSkinTreeView::Level(node) == 0) return;
  TADOQuery& q = *Data->ADOQuery1;
  RunStatement(q, NoteByTitle(TtwSkinTreeView::Text(node)));
  currentNote_ = q.RecordCount() > 0 ? &q : nullptr;
  ShowNote(q);
  SetEditMode(TEditMode::Viewing, TEditorBoxes::Enabled);
}

void TForm1::ShowNote(TADOQuery& q) {
  SeSkinComboBox1->SetText(q.FieldByName(kCategory).AsString());
  DateTimePicker1->SetDate(q.FieldByName(kDate).AsDateTime());
  ShowText(*SeSkinMemo1, titleText_, q.FieldByName(kTitle).AsUtf8());
  ShowText(*twSkinMemo21, bodyText_, q.FieldByName(kContent).AsUtf8());
  twSkinGroupBox2->SetCaption(
      bodyText_.Truncated()
          ? QStringLiteral("Content: the first %L1 of %L2 characters are shown; Modify keeps the rest")
                .arg(bodyText_.Shown().size())
                .arg(bodyText_.StoredSize())
          : QStringLiteral("Content"));
}

void TForm1::ShowText(QPlainTextEdit& box, TNoteText& text, const QByteArray& stored) {
  text.Load(stored);
  box.setPlainText(text.Shown());
  text.SetBoxText(box.toPlainText());
}

void TForm1::FormCloseQuery(bool& canClose) {
  canClose = closeAfterSave_ || TDialogs::Current().MessageBox(
                                    this, QStringLiteral(" Confirm quit？"), QStringLiteral("Tips"),
                                    mb::OKCANCEL | mb::ICONQUESTION | mb::DEFBUTTON2 | mb::TOPMOST) == mrOk;
  if (canClose && saving_) {
    // Closing now would hide the error of a save that fails, and with it
    // the text: the window closes once the note is written.
    closeAfterSave_ = true;
    canClose = false;
    return;
  }
  if (canClose) {
    if (auto* app = Application()) app->Terminate();
  }
}

void TForm1::twSkinEdit1Click() { twSkinEdit1->selectAll(); }

void TForm1::SetEditMode(TEditMode mode, TEditorBoxes boxes) {
  editMode_ = mode;
  Button1->SetVisible(mode == TEditMode::Viewing || mode == TEditMode::ViewingResult);
  Button2->SetVisible(mode == TEditMode::Creating);
  Button4->SetVisible(mode == TEditMode::Start || mode == TEditMode::Viewing);
  // Before the first refresh the Delete button shows but the popup's is off.
  N1->setEnabled(mode == TEditMode::Viewing);
  if (boxes == TEditorBoxes::Cleared) ClearEditor();
  if (boxes != TEditorBoxes::AsBefore) SetEditorEnabled(boxes == TEditorBoxes::Enabled);
}

void TForm1::SetEditorEnabled(bool enabled) {
  SeSkinComboBox1->SetEnabled(enabled);
  SeSkinMemo1->setEnabled(enabled);
  twSkinMemo21->setEnabled(enabled);
}

void TForm1::ClearEditor() {
  SeSkinComboBox1->SetText(QString());
  SeSkinMemo1->clear();
  twSkinMemo21->clear();
  titleText_.Clear();
  bodyText_.Clear();
  twSkinGroupBox2->SetCaption(QStringLiteral("Content"));
}

TADOQuery* TForm1::RequireCurrentNote() const {
  if (!currentNote_) throw EDatabaseError(QStringLiteral("No note is loaded: pick one in the tree first."));
  return currentNote_;
}

void TForm1::twSkinSpeedButton1Click() {
  DateTimePicker1->SetDate(QDateTime::currentDateTime());
  SetEditMode(TEditMode::Creating, TEditorBoxes::Enabled);
  if (SeSkinComboBox1->Count() > 0) SeSkinComboBox1->SetItemIndex(0);
  SeSkinMemo1->clear();
  twSkinMemo21->clear();
  titleText_.Clear();
  bodyText_.Clear();
  twSkinGroupBox2->SetCaption(QStringLiteral("Content"));
}

void TForm1::Button2Click() {
  const QString category = SeSkinComboBox1->Text();
  const QString title = SeSkinMemo1->toPlainText();
  const QString content = twSkinMemo21->toPlainText();
  if (category.isEmpty() && title.isEmpty() && content.isEmpty()) return;
  TADOTable& bz = *Data->BZ;
  try {
    bz.Close();
    bz.OpenForAppend();  // a save reads no note
    bz.Insert();
    bz.Edit();
    bz.FieldByName(kCategory).SetAsString(category);
    bz.FieldByName(kDate).SetAsDateTime(QDateTime::currentDateTime());
    bz.FieldByName(kTitle).SetAsString(title);
    bz.FieldByName(kContent).SetAsString(content);
    bz.Post();
  } catch (const EDatabaseError& e) {
    bz.Cancel();
    throw EDatabaseError(NotSavedMessage(QStringLiteral("The note was not saved"), e));
  }
  SetEditMode(TEditMode::Idle, TEditorBoxes::Cleared);
  FormShow();
}

void TForm1::Button1Click() {
  if (saving_) return;
  TADOQuery& q = *RequireCurrentNote();
  // UTF-8 from the box to the statement: a huge text is never decoded.
  const QByteArray title = titleText_.StoredUtf8(SeSkinMemo1->toPlainText());
  const QByteArray body = bodyText_.StoredUtf8(twSkinMemo21->toPlainText());
  TRowWrite write;
  try {
    q.Edit();
    q.FieldByName(kCategory).SetAsString(SeSkinComboBox1->Text());
    q.FieldByName(kTitle).SetAsUtf8(title);
    q.FieldByName(kContent).SetAsUtf8(body);
    if (title.size() + body.size() >= backgroundSaveBytes_)
      write = q.TakeEdit();
    else
      q.Post();
  } catch (const EDatabaseError& e) {
    q.Cancel();
    throw EDatabaseError(NotSavedMessage(QStringLiteral("The changes to the note were not saved"), e));
  }
  if (!write.file.isEmpty()) {
    return WriteInBackground(std::move(write), QStringLiteral("The changes to the note were not saved"),
                             [this] { NoteWritten(); });
  }
  SetEditMode(TEditMode::Idle, TEditorBoxes::Cleared);
  FormShow();
}

void TForm1::NoteWritten() {
  // The query still holds the row as it was read: it is read again when shown.
  currentNote_ = nullptr;
  SetEditMode(TEditMode::Idle, TEditorBoxes::Cleared);
  FormShow();
}

void TForm1::WriteInBackground(TRowWrite write, const QString& failure, std::function<void()> written) {
  if (saving_) throw EDatabaseError(QStringLiteral("A note is still being saved; wait until it is."));
  writing_ = {write.table, write.rowid, write.kind};
  // Which rows statements run first change is not known: then the refresh
  // reads everything.
  writingOneRow_ = write.before.isEmpty();
  writeFailure_ = failure;
  written_ = std::move(written);
  writer_->Start(std::move(write));
  SetSaving(true);
}

void TForm1::SetSaving(bool saving) {
  saving_ = saving;
  // Whatever reads or writes the notebook waits for the writer, which holds
  // the file; what is being saved stays in view.
  for (QWidget* w : {static_cast<QWidget*>(twSkinToolBar1), static_cast<QWidget*>(TreeView1),
                     static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button4),
                     static_cast<QWidget*>(SeSkinComboBox1), static_cast<QWidget*>(SeSkinMemo1),
                     static_cast<QWidget*>(twSkinMemo21)})
    w->setEnabled(!saving);
  if (Box) Box->setEnabled(!saving);
  if (saving)
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  else
    QGuiApplication::restoreOverrideCursor();
  ShowCount();
}

void TForm1::SaveFinished(const QString& error, int code, qint64 counter) {
  SetSaving(false);
  if (!error.isEmpty()) {
    closeAfterSave_ = false;
    // Nothing was written: the text stays in the boxes, and the note's row
    // as read in its query, for another try.
    throw EDatabaseError(NotSavedMessage(writeFailure_, ESqliteError(error, code)));
  }
  if (writingOneRow_) {
    Data->ADOConnection1->RowWritten(writing_);
    savedFrom_ = counter;
  }
  if (written_) written_();
  if (closeAfterSave_) close();
}

void TForm1::Button4Click() {
  if (saving_) return;
  TMsgDlgRequest ask;
  ask.text = QStringLiteral("Really want to delete the record! ");
  ask.caption = Application() ? Application()->Title() : QString();
  ask.type = TMsgDlgType::Custom;
  ask.buttons = {TMsgDlgBtn::Yes, TMsgDlgBtn::No};
  ask.defaultButton = TMsgDlgBtn::Yes;
  ask.escapeButton = TMsgDlgBtn::No;
  if (TDialogs::Current().MessageDlg(ask) != mrYes) return;
  TADOQuery& q = *RequireCurrentNote();
  if (q.FieldByName(kTitle).ByteSize() + q.FieldByName(kContent).ByteSize() >= backgroundSaveBytes_)
    return WriteInBackground(q.TakeDelete(), QStringLiteral("The note was not deleted"), [this] { NoteWritten(); });
  q.Delete();
  currentNote_ = nullptr;
  SetEditMode(TEditMode::Idle, TEditorBoxes::Cleared);
  FormShow();
}

void TForm1::twSkinSpeedButton7Click() {
  SetEditMode(editMode_, TEditorBoxes::Cleared);
  FormShow();
}

void TForm1::twSkinSpeedButton2Click() { Box->Show(); }

void TForm1::twSkinSpeedButton4Click() {
  AboutBox1->Search(twSkinEdit1->text());
  AboutBox1->Show();
}
