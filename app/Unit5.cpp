// The search results window: the titles the last Find found (and their row
// ids, never their bodies), and opening one of them in the main window.
#include "app/Unit5.h"

#include <QDateTime>
#include <QFontMetrics>
#include <algorithm>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

#include "app/NotesIndex.h"
#include "app/NotesSearch.h"
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

const QString kTitle = QStringLiteral("标题");

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

  search_ = new TNotesSearch(this);
  connect(search_, &TNotesSearch::Page, this, [this](const TResultPage& page) { ListBox1->Lines()->Append(page); });
  connect(search_, &TNotesSearch::Restarted, this, [this] { ListBox1->Lines()->Clear(); });
  connect(search_, &TNotesSearch::Finished, this, [this](int count, const QString& error, bool indexFailed) {
    Guarded([&] { SearchFinished(count, error, indexFailed); });
  });
  connect(OKButton, &TtwSkinButton::clicked, this, [this] { Guarded([this] { OKButtonClick(); }); });
  connect(ListBox1, &TResultList::doubleClicked, this,
          [this] { Guarded([this] { ListBox1DblClick(); }); });
}

TAboutBox1::~TAboutBox1() = default;

void TAboutBox1::FormShow() {}

void TAboutBox1::Search(const QString& keyword) {
  TADOConnection& connection = *Data->ADOConnection1;
  connection.Handle();  // a notebook that cannot be opened fails here, as before
  const bool indexed = Data->NotesIndex->Ready();
  search_->Start(connection.FilePath(), KeywordSearch(keyword, indexed),
                 indexed ? KeywordSearch(keyword) : TStatement(),
                 indexed ? KeywordIsCommon(keyword) : TStatement());
  ListBox1->Lines()->Clear();
  SetCaption(QStringLiteral("Result (searching…)"));
}

bool TAboutBox1::Searching() const { return search_->Running(); }

void TAboutBox1::SearchFinished(int count, const QString& error, bool indexFailed) {
  // A damaged index is built again; this search scanned instead.
  if (indexFailed) Data->NotesIndex->Reset();
  if (!error.isEmpty()) {
    SetCaption(QStringLiteral("Result"));
    throw EDatabaseError(QStringLiteral("The search stopped: %1").arg(error));
  }
  SetCaption(count == 1 ? QStringLiteral("Result (1 note found)")
                        : QStringLiteral("Result (%L1 notes found)").arg(count));
}

void TAboutBox1::ListBox1DblClick() {
  // The editor holds the note being saved, and the file is the writer's.
  if (!ListBox1->CurrentIsSelected() || (Form1 && Form1->Saving())) return;
  const QString title = ListBox1->Text(ListBox1->currentRow());
  TForm1& main = *Form1;
  main.ClearEditor();
  main.DateTimePicker1->SetDate(QDateTime::currentDateTime());
  TADOQuery& q = *Data->ADOQuery4;
  main.SetCurrentNote(nullptr);
  RunStatement(q, NoteByTitle(title));
  if (q.RecordCount() == 0)
    throw EDatabaseError(QStringLiteral("The note \"%1\" no longer exists: it was deleted or renamed "
                                        "after the search. Search again to see the notes as they are now.")
                             .arg(title));
  main.SetCurrentNote(&q);
  main.ShowNote(q);
  const bool deleteShown = main.Button4->Visible();
  main.SetEditMode(deleteShown ? TEditMode::Viewing : TEditMode::ViewingResult, TEditorBoxes::Enabled);
}

void TAboutBox1::OKButtonClick() { close(); }
