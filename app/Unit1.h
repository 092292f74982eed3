#pragma once
#include <functional>
#include <memory>

#include <QStringList>

#include "app/NoteText.h"
#include "platform/Form.h"
#include "platform/db/Dataset.h"
// Callers use the keyword box as the QLineEdit it is.
#include "skin/boxes/twSkinEdits.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class TADOQuery;
class TImageList;
class TtwCompressedStoredSkin;
class TtwSkinButton;
class TtwSkinComboBox;
class TtwSkinData;
class TtwSkinDateEdit;
class TtwSkinForm;
class TtwSkinGroupBox;
class TtwSkinLabel;
class TtwSkinPanel;
class TtwSkinScrollBar;
class TtwSkinSplitter;
class TtwSkinStatusBar;
class TtwSkinStatusPanel;
class TtwSkinToolBar;
class TtwSkinTreeView;
class QTreeWidgetItem;
class TNoteTree;
class TRowWriter;

// Which command buttons the editor area offers. One setter, SetEditMode,
// shows and hides them and sets the popup's Delete with them:
//
//   Start ──refresh──▶ Idle ◀──refresh, Save, Modify, Delete, Refresh──┐
//   Idle / any ──click a note──▶ Viewing (Modify, Delete)               │
//   any ──open a search result──▶ Viewing, or ViewingResult (Modify     │
//         only) when Delete was hidden                                  │
//   any ──New notes──▶ Creating (Save) ─────────────────────────────────┘
enum class TEditMode {
  Start,          // before the first refresh: Delete only
  Idle,           // no command button
  Viewing,        // Modify and Delete
  ViewingResult,  // Modify
  Creating,       // Save
};
// What a change of mode does to the category, title and body boxes.
enum class TEditorBoxes { AsBefore, Enabled, Cleared /* disabled and empty */ };

// The main window: category tree, note editor area, commands and the count.
class TForm1 : public TForm {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Components without a window; the skin data is the one every window uses.
  TtwCompressedStoredSkin* twCompressedStoredSkin1 = nullptr;
  TtwSkinData* twSkinData1 = nullptr;
  TtwSkinForm* twSkinForm1 = nullptr;
  TImageList* ImageList2 = nullptr;
  QMenu* pm1 = nullptr;
  QAction* N1 = nullptr;
  QAction* N2 = nullptr;

  TtwSkinToolBar* twSkinToolBar1 = nullptr;
  TtwSkinButton* twSkinSpeedButton1 = nullptr;
  TtwSkinButton* twSkinSpeedButton2 = nullptr;
  TtwSkinButton* twSkinSpeedButton7 = nullptr;
  TtwSkinEdit* twSkinEdit1 = nullptr;
  TtwSkinButton* twSkinSpeedButton4 = nullptr;
  TtwSkinToolBar* twSkinToolBar2 = nullptr;
  TtwSkinGroupBox* twSkinGroupBox1 = nullptr;
  TtwSkinTreeView* TreeView1 = nullptr;
  TtwSkinScrollBar* twSkinScrollBar1 = nullptr;  // the tree's bars
  TtwSkinScrollBar* twSkinScrollBar2 = nullptr;
  TtwSkinSplitter* twSkinSplitter1 = nullptr;
  TtwSkinPanel* Panel1 = nullptr;
  TtwSkinPanel* Panel2 = nullptr;
  TtwSkinPanel* twSkinPanel1 = nullptr;
  TtwSkinButton* Button1 = nullptr;
  TtwSkinButton* Button2 = nullptr;
  TtwSkinButton* Button4 = nullptr;
  TtwSkinLabel* lbl1 = nullptr;
  TtwSkinComboBox* SeSkinComboBox1 = nullptr;
  TtwSkinDateEdit* DateTimePicker1 = nullptr;
  TtwSkinGroupBox* twSkinGroupBox3 = nullptr;
  QPlainTextEdit* SeSkinMemo1 = nullptr;
  TtwSkinScrollBar* twSkinScrollBar3 = nullptr;  // the caption memo's bars
  TtwSkinScrollBar* twSkinScrollBar4 = nullptr;
  TtwSkinPanel* Panel3 = nullptr;
  TtwSkinGroupBox* twSkinGroupBox2 = nullptr;
  QPlainTextEdit* twSkinMemo21 = nullptr;
  TtwSkinScrollBar* twSkinScrollBar5 = nullptr;  // the content memo's bar
  TtwSkinStatusBar* StatusBar1 = nullptr;
  TtwSkinStatusPanel* twSkinStatusPanel1 = nullptr;
  TtwSkinStatusPanel* twSkinStatusPanel3 = nullptr;
  TtwSkinStatusPanel* twSkinStatusPanel2 = nullptr;

  void FormCreate() override;
  void FormShow() override;  // the refresh
  void FormCloseQuery(bool& canClose) override;

  void TreeView1Addition(QTreeWidgetItem* node);
  void TreeView1Click();
  void twSkinEdit1Click();
  void twSkinSpeedButton1Click();  // New notes
  void Button2Click();             // Save
  void Button1Click();             // Modify
  void Button4Click();             // Delete (button and N1)
  void twSkinSpeedButton7Click();  // Refresh
  void twSkinSpeedButton2Click();  // Class Modify (button and N2)
  void twSkinSpeedButton4Click();  // Find

  // The query whose current row is the note in the editor area, or nullptr.
  TADOQuery* CurrentNote() const { return currentNote_; }
  // Opening a search result makes ADOQuery4's row the current note.
  void SetCurrentNote(TADOQuery* query) { currentNote_ = query; }

  TEditMode EditMode() const { return editMode_; }
  void SetEditMode(TEditMode mode, TEditorBoxes boxes = TEditorBoxes::AsBefore);
  void ClearEditor();
  // Fills the editor area from the query's current row: category, date,
  // title and body (the beginning of a very long one).
  void ShowNote(TADOQuery& q);
  // Whether the last refresh changed the tree in place, and whether it read
  // only the notes this program changed (for tests).
  bool LastRefreshWasInPlace() const;
  bool LastRefreshReadOnlyChanges() const { return readOnlyChanges_; }

  // A note whose title and body take at least this many bytes is saved by
  // Modify, or deleted by Delete, on a worker thread: the window stays live,
  // with the notebook's controls locked, until it is written. Smaller ones
  // are written at once.
  static constexpr qsizetype kBackgroundSaveBytes = 4 << 20;
  void SetBackgroundSaveBytes(qsizetype bytes) { backgroundSaveBytes_ = bytes; }  // for tests
  // A note is being written on the worker.
  bool Saving() const { return saving_; }
  TRowWriter* Writer() const { return writer_; }
  // Starts `write` on the writer; the notes windows lock until it has
  // finished. Then `written` runs, or the error is shown, led by `failure`.
  void WriteInBackground(TRowWrite write, const QString& failure, std::function<void()> written);

 private:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void BuildLayout();
  // Reads the categories and the notes' titles and shows them in the tree.
  void RefreshTree();
  void SetEditorEnabled(bool enabled);
  void ShowCount();
  TADOQuery* RequireCurrentNote() const;
  void ShowText(QPlainTextEdit& box, TNoteText& text, const QByteArray& stored);
  void SetSaving(bool saving);
  // A note written in the background: the editor is left as after a save.
  void NoteWritten();
  void SaveFinished(const QString& error, int code, qint64 counter);

  TADOQuery* currentNote_ = nullptr;
  TEditMode editMode_ = TEditMode::Start;
  std::unique_ptr<TNoteTree> tree_;
  int noteCount_ = 0;
  TNoteText titleText_, bodyText_;  // what the title and content boxes stand for
  qint64 dataVersion_ = -1;  // of the file when the tree was last read whole
  // The file's change counter at the last refresh, and where the last
  // background save found it: when that save is the only commit since, the
  // tree is updated in place.
  qint64 refreshCounter_ = -1;
  qint64 savedFrom_ = -2;
  TRowChange writing_{QString(), 0, TRowChange::Update};  // the row the writer writes
  bool writingOneRow_ = false;
  QString writeFailure_;
  std::function<void()> written_;
  bool readOnlyChanges_ = false;
  TRowWriter* writer_ = nullptr;
  qsizetype backgroundSaveBytes_ = kBackgroundSaveBytes;
  bool saving_ = false;
  bool closeAfterSave_ = false;  // the user closed the window during a save
};

extern TForm1* Form1;

// The frame settings the notes windows share.
void ApplyNotesFrameSettings(TtwSkinForm& frame, TtwSkinData* data);
// Places a window in the middle of the primary screen's work area.
void CentreOnScreen(QWidget* window);
