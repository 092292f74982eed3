// Renders the default look of every control into PNG files (offscreen):
// tw_render_control_looks <dir>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>

#include "platform/ImageList.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/controls/twSkinTreeView.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);

  QWidget win;
  win.setPalette(QPalette(QColor(0xF3, 0xF5, 0xF8)));
  win.setAutoFillBackground(true);
  SetWidgetBounds(&win, 0, 0, 996, 642);

  auto* tools = new TtwSkinToolBar(&win);
  tools->SetAlign(TAlign::alTop);
  for (const char* t : {"New notes", "Class Modify", "Refresh"}) {
    auto* b = new TtwSkinButton(tools);
    b->SetBounds(0, 0, 96, 25);
    b->SetCaption(QString::fromLatin1(t));
    b->SetAlign(TAlign::alLeft);
  }
  auto* find = new TtwSkinButton(tools);
  find->SetBounds(0, 0, 96, 25);
  find->SetCaption(QStringLiteral("Find"));
  find->SetAlign(TAlign::alRight);
  auto* key = new QLineEdit(QStringLiteral("Please enter a keyword"), tools);
  key->setGeometry(524, 0, 133, 22);

  auto* status = new TtwSkinStatusBar(&win);
  status->SetHeight(48);
  auto* count = new TtwSkinStatusPanel(status);
  count->SetCaption(QString::fromUtf8("现共有记录: 12 个"));
  count->SetAlign(TAlign::alLeft);
  auto* mail = new TtwSkinStatusPanel(status);
  mail->SetWidth(228);
  mail->SetCaption(QString::fromUtf8("Emali：notes@example.org"));
  mail->SetAlign(TAlign::alRight);

  auto* leftBar = new TtwSkinToolBar(&win);
  leftBar->SetWidth(170);
  leftBar->SetAlign(TAlign::alLeft);
  auto* notes = new TtwSkinGroupBox(leftBar);
  notes->SetCaption(QStringLiteral("Notes"));
  notes->SetAlign(TAlign::alClient);
  TImageList images(nullptr, 24, 24);
  for (QColor c : {QColor(0xE8, 0x8A, 0x2C), QColor(0xFF, 0xFF, 0xFF), QColor(0xF2, 0xC8, 0x3A)}) {
    QPixmap p(24, 24);
    p.fill(QColor(0xCC, 0xE8, 0xCF));
    QPainter pp(&p);
    pp.fillRect(3, 6, 18, 13, c);
    pp.setPen(QColor(0x55, 0x55, 0x55));
    pp.drawRect(3, 6, 17, 12);
    images.Add(p);
  }
  auto* tree = new TtwSkinTreeView(notes);
  tree->SetAlign(TAlign::alClient);
  tree->SetIndent(27);
  tree->SetSortType(stText);
  tree->SetImages(&images);
  tree->OnAddition = [](QObject*, TTreeNode* n) {
    TtwSkinTreeView::SetImageIndex(n, TtwSkinTreeView::Level(n) == 0 ? 0 : 1);
    TtwSkinTreeView::SetSelectedIndex(n, 2);
  };
  for (const char* c : {"Work", "Home", "Ideas"}) {
    TTreeNode* n = tree->Items().Add(nullptr, QString::fromLatin1(c));
    tree->Items().AddChild(n, QStringLiteral("Shopping list"));
    tree->Items().AddChild(n, QString::fromUtf8("会议记录"));
  }
  tree->expandItem(tree->topLevelItem(1));
  tree->SetSelected(tree->topLevelItem(1)->child(0));

  auto* split = new TtwSkinSplitter(&win);
  split->SetAlign(TAlign::alLeft);
  split->SetBeveled(true);
  split->ApplySkin();

  auto* panel1 = new TtwSkinPanel(&win);
  panel1->SetAlign(TAlign::alClient);
  auto* panel2 = new TtwSkinPanel(panel1);
  panel2->SetHeight(153);
  panel2->SetAlign(TAlign::alTop);
  auto* row = new TtwSkinPanel(panel2);
  row->SetHeight(56);
  row->SetAlign(TAlign::alTop);
  for (const char* t : {"Modify", "Save", "Delete"}) {
    auto* b = new TtwSkinButton(row);
    b->SetBounds(0, 0, 104, 54);
    b->SetCaption(QString::fromLatin1(t));
    b->SetAlign(TAlign::alLeft);
    if (QByteArray(t) == "Save") b->SetEnabled(false);
  }
  auto* lbl = new TtwSkinLabel(row);
  lbl->SetCaption(QStringLiteral("class"));
  lbl->SetAutoSize(true);
  lbl->SetAlign(TAlign::alLeft);
  auto* combo = new TtwSkinComboBox(row);
  combo->SetItems({QStringLiteral("Work"), QStringLiteral("Home")});
  combo->SetText(QStringLiteral("Home"));
  combo->SetWidth(121);
  combo->SetAlign(TAlign::alLeft);
  auto* date = new TtwSkinDateEdit(row);
  date->resize(171, date->height());
  date->SetAlign(TAlign::alRight);
  date->SetDate(QDateTime(QDate(2013, 5, 1), QTime(9, 30)));
  auto* titleBox = new TtwSkinGroupBox(panel2);
  titleBox->SetCaption(QStringLiteral("Caption"));
  titleBox->SetHeight(80);
  titleBox->SetAlign(TAlign::alTop);
  auto* title = new QPlainTextEdit(QStringLiteral("Shopping list"), titleBox);
  SetWidgetAlign(title, TAlign::alClient);
  auto* panel3 = new TtwSkinPanel(panel1);
  panel3->SetAlign(TAlign::alClient);
  auto* content = new TtwSkinGroupBox(panel3);
  content->SetCaption(QStringLiteral("Content"));
  content->SetAlign(TAlign::alClient);
  auto* body = new QPlainTextEdit(QStringLiteral("Milk, bread, tea."), content);
  SetWidgetAlign(body, TAlign::alClient);

  win.show();
  app.processEvents();
  win.grab().save(dir + QStringLiteral("/window.png"));

  // Single controls, in their states.
  auto save = [&](QWidget* w, const QString& name) {
    w->show();
    app.processEvents();
    const QPixmap shot = w->grab();
    shot.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    // Small controls also at four times their size, to check single pixels.
    shot.scaled(shot.size() * 4).save(dir + QLatin1Char('/') + name + QStringLiteral("_x4.png"));
  };
  QWidget host;
  host.resize(400, 300);
  host.show();
  auto* b = new TtwSkinButton(&host);
  b->SetBounds(0, 0, 96, 25);
  b->SetCaption(QStringLiteral("Normal"));
  save(b, QStringLiteral("button_normal"));
  b->SetDown(true);
  b->SetGroupIndex(1);
  b->SetCaption(QStringLiteral("Down"));
  save(b, QStringLiteral("button_down"));
  auto* hot = new TtwSkinButton(&host);
  hot->SetBounds(0, 30, 96, 25);
  hot->SetCaption(QStringLiteral("Focused"));
  hot->show();
  hot->setFocus();
  save(hot, QStringLiteral("button_focused"));
  auto* gb = new TtwSkinGroupBox(&host);
  gb->SetBounds(0, 60, 150, 80);
  gb->SetCaption(QStringLiteral("Group"));
  gb->SetCheckedMode(true);
  gb->SetChecked(true);
  gb->SetRollUpMode(true);
  save(gb, QStringLiteral("groupbox_checked_rollup"));
  combo->DropDown();
  app.processEvents();
  combo->PopupList()->grab().save(dir + QStringLiteral("/combo_list.png"));
  combo->CloseUp(false);
  date->DropDown();
  app.processEvents();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowFlags().testFlag(Qt::Popup))
      w->grab().save(dir + QStringLiteral("/calendar.png"));
  date->CloseUp(false);
  return 0;
}
