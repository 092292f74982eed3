#pragma once
// Skinned hints: TtwSkinHint, a component that makes every tooltip of the
// application a skinned hint window (title and picture taken from the hinted
// skinned control), and offers a timed hint of its own; TtwSkinHintWindow,
// the window that measures, places and paints one hint.
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twTypes.h"
#include "skin/draw/twUtils.h"

class TImageList;
class TtwSkinHint;

inline constexpr int kHintPauseMs = 500;       // rest before a hint shows
// Rest before the next hint shows while hints are awake (one is showing or
// was shown within the hide pause): moving along a row of hinted controls
// changes the hint quickly, but not on every pixel the pointer crosses.
inline constexpr int kHintShortPauseMs = 100;
inline constexpr int kHintHidePauseMs = 2500;  // a hint's shortest time on screen
inline constexpr int kHintHideMsPerChar = 40;  // longer texts stay for reading
inline constexpr int kHintFadeStepMs = 3;
inline constexpr int kHintFadeStep = 20;

// The sizes a hint's layout starts from; all zero for what is absent.
struct TtwHintLayoutInput {
  QSize Text;
  bool HasTitle = false;
  QSize Title;
  bool HasImage = false;  // an image list with a valid index
  QSize Image;
  bool TitleOrImage = false;
  // With a skin: its hint picture's size, corner points and client rectangle.
  bool Skinned = false;
  QSize Picture;
  TPieceAnchors Anchors;
};
struct TtwHintLayout {
  QSize Size;
  TPieceAnchors Anchors;  // moved to Size (skinned only)
};
TtwHintLayout HintLayout(const TtwHintLayoutInput& in);
// A hint whose rectangle starting at p passes the area's right (bottom)
// moves left (up) by its own width (height) + 2.
QPoint PlaceHint(const QPoint& p, const QSize& size, const TRect& area);
// Every occurrence of the separator becomes one line break.
QString HintLines(const QString& text, const QString& separator);
// Rows from the cursor's hot spot to its lowest visible row.
int CursorHeight();

class TtwSkinHintWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TtwSkinHintWindow(QWidget* parent = nullptr);

  // Shows text at the top-left of R with the active hint component's title,
  // image and skin; shows nothing without an active component.
  void ActivateHint(const TRect& R, const QString& text);
  QString Text() const { return text_; }
  bool Skinned() const { return data_ != nullptr; }
  bool TitleOrImage() const { return titleOrImage_; }
  // The whole window as painted.
  QImage Render() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  QFont TextFont() const;

  QPointer<TtwSkinHint> hint_;
  QPointer<TtwSkinData> data_;
  const QImage* picture_ = nullptr;
  bool titleOrImage_ = false;
  QString text_, title_;
  QPointer<TImageList> images_;
  int imageIndex_ = -1;
  TtwHintLayout layout_;
  TPieceAnchors recordAnchors_;
  QSize textSize_, titleSize_;
  QBasicTimer fadeTimer_;
  int fadeValue_ = 255;
  bool lastAlpha_ = false;
  int lastAlphaValue_ = -1;
};

class TtwSkinHint : public QObject {
  Q_OBJECT
 public:
  explicit TtwSkinHint(QObject* owner = nullptr);
  ~TtwSkinHint() override;

  QString LineSeparator = QStringLiteral("@");
  QPointer<TtwSkinData> SkinData;
  bool AlphaBlend = false;
  uint8_t AlphaBlendValue = 0;
  bool AlphaBlendAnimation = false;
  QFont DefaultFont;
  bool UseSkinFont = true;
  // Called after the component's own handling; may change the text or
  // refuse the hint.
  std::function<void(QString& HintStr, bool& CanShow, QWidget* Control)> OnShowHint;

  bool Active() const { return active_; }
  // Only one hint component is active: activating one deactivates the rest.
  void SetActive(bool on);
  // The first active hint component, or null.
  static TtwSkinHint* ActiveHint();

  // What the hinted control offered (cleared after each hint).
  QString Title() const { return title_; }
  TImageList* Images() const { return images_; }
  int ImageIndex() const { return imageIndex_; }

  // Shows text near the cursor after the hint pause, and hides it after the
  // hide pause.
  void ShowHintText(const QString& text);
  void HideSkinHint();
  // The application's hint for a control at a global cursor point.
  void ShowControlHint(QWidget* control, const QString& text, const QPoint& cursor);
  // The hint text of a point of a widget (local coordinates): an item
  // view's viewport offers the tooltip of the item under the point.
  static QString HintTextAt(QWidget* w, const QPoint& pos);
  TtwSkinHintWindow* Window() const { return window_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  void TakeFromControl(QWidget* control);
  void ShowAt(const QPoint& p, const QString& text);
  void ClearHinted();
  static QString HintedKey(QWidget* control, const QString& text);
  void ToolTipAt(QWidget* w, const QString& text, const QPoint& globalPos);

  bool active_ = false;
  QString title_;
  QPointer<TImageList> images_;
  int imageIndex_ = 0;
  TtwSkinHintWindow* window_ = nullptr;
  QBasicTimer showTimer_, hideTimer_;
  QString timedText_;
  QPointer<QWidget> hinted_;
  QString hintedKey_;  // text, title and picture of the hint on screen
  // The pointer's rest since it last moved, and a control's hint waiting
  // for the short pause to pass.
  QElapsedTimer sinceMove_;
  QBasicTimer pendingTimer_;
  QPointer<QWidget> pendingControl_;
  QString pendingText_;
  QPoint pendingCursor_;
};
