// The category editor: adds, renames (re-filing the notes in the same
// transaction) and deletes categories.
#include "app/Unit3.h"

#include <QLineEdit>
#include <QPainter>
#include <QTreeWidget>

#include "app/Statements.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/Align.h"
#include "platform/Application.h"
#include "platform/ImageList.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/form/twSkinForm.h"

namespace {

const QString kCategory = QStringLiteral("类别");

QFont PixelFont(const QString& family, int pixels) {
  QFont f(family);
  f.setPixelSize(pixels);
  return f;
}

TtwSkinData* SharedSkin() { return Form1 ? Form1->twSkinData1 : nullptr; }

// The message line is longer than its width: it wraps inside its 200 by 73
// pixels instead of being cut off after a few words.
class TMessageLabel : public TtwSkinLabel {
 public:
  using TtwSkinLabel::TtwSkinLabel;
  void PaintDefault(QImage& bitmap) override {
    PaintWrapped(bitmap, [&] { TtwSkinLabel::PaintDefault(bitmap); });
  }
  void PaintSkin(QImage& bitmap) override {
    PaintWrapped(bitmap, [&] { TtwSkinLabel::PaintSkin(bitmap); });
  }

 private:
  template <class F>
  void PaintWrapped(QImage& bitmap, F paintFace) {
    const QString text = caption_;
    caption_.clear();
    paintFace();
    caption_ = text;
    QPainter p(&bitmap);
    p.setFont(TextFont());
    p.setPen(TextColor());
    p.drawText(bitmap.rect().adjusted(3, 3, -3, -3), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               text);
  }
};

}  // namespace

TBox::TBox(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("Box"));
  SetCaption(QStringLiteral("Set"));
  SetBorderStyle(TFormBorderStyle::bsDialog);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(434, 287);
  CentreOnScreen(this);

  Panel1 = new TtwSkinPanel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->SetSkinDataName(QStringLiteral("panel"));
  Panel1->SetSkinData(SharedSkin());
  Panel1->SetBorderStyle(bvFrame);
  Panel1->SetBounds(0, 0, 434, 185);
  Panel1->SetAlign(TAlign::alTop);

  twSkinTreeView1 = new QTreeWidget(Panel1);
  twSkinTreeView1->setObjectName(QStringLiteral("twSkinTreeView1"));
  twSkinTreeView1->setHeaderHidden(true);
  twSkinTreeView1->setColumnCount(1);
  twSkinTreeView1->setFont(PixelFont(QStringLiteral("宋体"), 12));
  twSkinTreeView1->setIndentation(27);
  twSkinTreeView1->setRootIsDecorated(false);
  twSkinTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  twSkinTreeView1->setSortingEnabled(false);
  twSkinTreeView1->setIconSize(QSize(24, 24));
  SetWidgetBounds(twSkinTreeView1, 0, 0, 129, 185);
  SetWidgetAlign(twSkinTreeView1, TAlign::alLeft);

  auto label = [&](const char* name, int x, int y, int w, int h, const QString& caption,
                   bool wrapped) {
    TtwSkinLabel* l = wrapped ? new TMessageLabel(Panel1) : new TtwSkinLabel(Panel1);
    l->setObjectName(QString::fromLatin1(name));
    l->SetSkinDataName(QStringLiteral("label"));
    l->SetSkinData(SharedSkin());
    l->SetUseSkinSize(false);
    l->SetBorderStyle(bvNone);
    l->SetCaption(caption);
    l->SetBounds(x, y, w, h);
    return l;
  };
  lbl1 = label("lbl1", 144, 8, 89, 33, QStringLiteral("Class Name"), false);
  edt1 = new TtwSkinEdit(Panel1);
  edt1->setObjectName(QStringLiteral("edt1"));
  edt1->SetSkinData(SharedSkin());
  SetWidgetBounds(edt1, 152, 64, 177, 21);
  Label1 = label("Label1", 145, 96, 200, 73, QString(), true);

  auto button = [&](const char* name, int x, int y, int w, int h, const QString& caption) {
    auto* b = new TtwSkinButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->SetSkinDataName(QStringLiteral("button"));
    b->SetSkinData(SharedSkin());
    b->SetUseSkinSize(true);
    b->SetUseSkinFont(true);
    b->SetUseSkinFontColor(true);
    b->SetCaption(caption);
    b->SetBounds(x, y, w, h);
    return b;
  };
  twSkinButton3 = button("twSkinButton3", 36, 200, 77, 25, QStringLiteral("Add"));
  twSkinButton4 = button("twSkinButton4", 191, 200, 50, 25, QStringLiteral("Del"));
  twSkinButton4->SetEnabled(false);
  twSkinButton1 = button("twSkinButton1", 242, 200, 50, 25, QStringLiteral("Save"));
  twSkinButton2 = button("twSkinButton2", 294, 200, 50, 25, QStringLiteral("Close"));

  twSkinForm1 = new TtwSkinForm(this);
  twSkinForm1->setObjectName(QStringLiteral("twSkinForm1"));
  ApplyNotesFrameSettings(*twSkinForm1, SharedSkin());

  auto guarded = [](auto handler) { return [handler] { Guarded(handler); }; };
  connect(twSkinButton3, &TtwSkinButton::clicked, this, guarded([this] { twSkinButton3Click(); }));
  connect(twSkinButton4, &TtwSkinButton::clicked, this, guarded([this] { twSkinButton4Click(); }));
  connect(twSkinButton1, &TtwSkinButton::clicked, this, guarded([this] { twSkinButton1Click(); }));
  connect(twSkinButton2, &TtwSkinButton::clicked, this, guarded([this] { twSkinButton2Click(); }));
  connect(twSkinTreeView1, &QTreeWidget::itemClicked, this, guarded([this] { twSkinTreeView1Click(); }));
}

TBox::~TBox() {
  delete twSkinForm1;
  twSkinForm1 = nullptr;
}

TADOQuery* TBox::Selected() {
  if (!selected_) {
    selected_ = new TADOQuery(this);
    selected_->setObjectName(QStringLiteral("CategoryQuery"));
    selected_->Connection = Data->ADOConnection1;
  }
  return selected_;
}

void TBox::FormShow() {
  twSkinTreeView1->clear();
  TADOTable& lb = *Data->LB;
  lb.Close();
  lb.Open();
  lb.First();
  const int n = lb.RecordCount();
  const QIcon picture = Form1 && Form1->ImageList2 ? QIcon(Form1->ImageList2->Pixmap(0)) : QIcon();
  for (int i = 0; i < n; ++i) {
    auto* node = new QTreeWidgetItem(twSkinTreeView1, QStringList{lb.FieldByName(kCategory).AsString()});
    node->setIcon(0, picture);
    lb.Next();
  }
}

void TBox::FormClose(TCloseAction& /*action*/) {
  if (Form1) Form1->FormShow();
}

void TBox::twSkinTreeView1Click() {
  QTreeWidgetItem* node = twSkinTreeView1->currentItem();
  if (twSkinTreeView1->topLevelItemCount() == 0 || !node || !node->isSelected() || node->parent())
    return;
  TADOQuery& q = *Selected();
  RunStatement(q, CategoryByName(node->text(0)));
  edt1->setText(q.FieldByName(kCategory).AsString());
  twSkinButton1->SetCaption(QStringLiteral("Save"));
  twSkinButton4->SetEnabled(true);
  Label1->SetCaption(QString());
  mode_ = TMode::Renaming;
}

void TBox::twSkinButton3Click() {
  edt1->clear();
  twSkinButton1->SetCaption(QStringLiteral("Save"));
  twSkinButton4->SetEnabled(false);
  Label1->SetCaption(QString());
  mode_ = TMode::Adding;
}

void TBox::twSkinButton1Click() {
  const QString name = edt1->text();
  if (name.isEmpty()) return;
  if (mode_ == TMode::Adding) {
    TADOTable& lb = *Data->LB;
    lb.Close();
    lb.Open();
    lb.Insert();
    lb.Edit();
    lb.FieldByName(kCategory).SetAsString(name);
    lb.Post();
  } else if (Data->CategoryHoldsAWideNote(Selected()->FieldByName(kCategory).AsString())) {
    Form1->WriteInBackground(Data->RenameCategoryWrite(*Selected(), name),
                             QStringLiteral("The category was not renamed"), [this] {
                               FormShow();
                               edt1->clear();
                             });
    return;
  } else {
    Data->RenameCategory(*Selected(), name);
  }
  FormShow();
  edt1->clear();
}

void TBox::twSkinButton4Click() {
  if (twSkinTreeView1->topLevelItemCount() == 0 || edt1->text().isEmpty()) return;
  TADOQuery& q = *Selected();
  TADOQuery& notes = *Data->ADOQuery2;
  RunStatement(notes, NotesInCategory(q.FieldByName(kCategory).AsString()));
  const int k = notes.RecordCount();
  if (k == 0) {
    q.Delete();
  } else {
    Label1->SetCaption(QStringLiteral("The class have") + QString::number(k) +
                       QStringLiteral(" Article   of the lower content, cannot be deleted !"));
  }
  edt1->clear();
  twSkinButton1->SetCaption(QStringLiteral("Save"));
  twSkinButton4->SetEnabled(false);
  mode_ = TMode::Adding;
  FormShow();
}

void TBox::twSkinButton2Click() { close(); }
