// The search results window: the titles the last Find found (and their row
// ids, never their bodies), and opening one of them in the main window.
#include "app/Unit5.h"

#include <QDateTime>
#include <QFontMetrics>
#include <algorithm>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

#include "app/ResultList.h"
#include "app/Statements.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/Align.h"
#include "platform/Application.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinPanels.h"

namespace {

const QString kCategory = QStringLiteral("类别");
const QString kDate = QStringLiteral("日期");
const QString kTitle = QStringLiteral("标题");
const QString kContent = QStringLiteral("内容");

// Lines are as high as designed (13 pixels), or as high as the font needs
// where the font that stands in for the designed one is taller, so Chinese
// titles never touch the line below.
class TFixedHeightDelegate : public QStyledItemDelegate {
 public:
  TFixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(height_);
    return s;
  }

 private:
  int height_;
};

}  // namespace

TAboutBox1::TAboutBox1(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("AboutBox1"));
  SetCaption(QStringLiteral("Result"));
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);
  setWindowFlags(Qt::Dialog);
  setFixedSize(477, 333);
  CentreOnScreen(this);

  Panel1 = new TtwSkinPanel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->SetSkinDataName(QStringLiteral("panel"));
  Panel1->SetBorderStyle(bvFrame);
  Panel1->SetBounds(0, 0, 477, 289);
  Panel1->SetAlign(TAlign::alTop);

  ListBox1 = new TResultList(Panel1);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setUniformItemSizes(true);
  ListBox1->setItemDelegate(
      new TFixedHeightDelegate(std::max(13, QFontMetrics(ListBox1->font()).height() + 1), ListBox1));
  SetWidgetAlign(ListBox1, TAlign::alClient);

  OKButton = new TtwSkinButton(this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->SetSkinDataName(QStringLiteral("button"));
  OKButton->SetSkinData(Form1 ? Form1->twSkinData1 : nullptr);
  OKButton->SetUseSkinSize(true);
  OKButton->SetCaption(QStringLiteral("Close"));
  OKButton->SetBounds(47, 292, 346, 25);
  OKButton->SetDefault(true);

  connect(OKButton, &TtwSkinButton::clicked, this, [this] { Guarded([this] { OKButtonClick(); }); });
  connect(ListBox1, &TResultList::doubleClicked, this,
          [this] { Guarded([this] { ListBox1DblClick(); }); });
}

TAboutBox1::~TAboutBox1() = default;

void TAboutBox1::FormShow() {
  TResultsModel& lines = *ListBox1->Lines();
  lines.Clear();
  TADOQuery& q = *Data->ADOQuery3;
  q.First();
  const int n = q.RecordCount();
  const TField title = q.FieldByName(kTitle);
  const bool hasRowid = q.FieldNames().contains(QStringLiteral("rowid"), Qt::CaseInsensitive);
  lines.Begin();
  try {
    for (int i = 0; i < n; ++i) {
      lines.Add(hasRowid ? q.FieldByName(QStringLiteral("rowid")).Value().toLongLong() : -1, title.AsString());
      q.Next();
    }
  } catch (...) {
    lines.End();
    throw;
  }
  lines.End();
}

void TAboutBox1::ListBox1DblClick() {
  if (!ListBox1->CurrentIsSelected()) return;
  const QString title = ListBox1->Text(ListBox1->currentRow());
  TForm1& main = *Form1;
  main.SeSkinComboBox1->SetText(QString());
  main.DateTimePicker1->SetDate(QDateTime::currentDateTime());
  main.SeSkinMemo1->clear();
  main.twSkinMemo21->clear();
  TADOQuery& q = *Data->ADOQuery4;
  main.SetCurrentNote(nullptr);
  RunStatement(q, NoteByTitle(title));
  if (q.RecordCount() == 0)
    throw EDatabaseError(QStringLiteral("The note \"%1\" no longer exists: it was deleted or renamed "
                                        "after the search. Search again to see the notes as they are now.")
                             .arg(title));
  main.SetCurrentNote(&q);
  main.SeSkinComboBox1->SetText(q.FieldByName(kCategory).AsString());
  main.DateTimePicker1->SetDate(q.FieldByName(kDate).AsDateTime());
  main.SeSkinMemo1->setPlainText(q.FieldByName(kTitle).AsString());
  main.twSkinMemo21->setPlainText(q.FieldByName(kContent).AsString());
  const bool deleteShown = main.Button4->Visible();
  main.SetEditMode(deleteShown ? TEditMode::Viewing : TEditMode::ViewingResult, TEditorBoxes::Enabled);
}

void TAboutBox1::OKButtonClick() { close(); }
