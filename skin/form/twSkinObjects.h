#pragma once
// The active objects inside a skinned frame: caption buttons, the caption
// with its text, frame animations and user-drawn areas. Each one knows its
// rectangle (window coordinates), its look in every state and what a click
// does; the frame owns them, lays them out and routes the mouse to them,
// and is known to them only through the narrow host interface below.
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QString>

#include "skin/data/twTypes.h"
#include "skin/form/twFrameGeometry.h"
#include "skin/form/twObjectLook.h"
#include "skin/form/twWindowState.h"

class QIcon;
class QPainter;
class TtwActiveSkinObject;
class TtwSkinData;
class TtwDataSkinObject;
class TtwDataSkinButton;
class TtwDataSkinStdButton;
class TtwDataSkinCaption;
class TtwDataSkinAnimate;

enum class TtwObjectEvent { Down, Up, Move, Enter, Leave };

// What a caption object knows of its frame: the state it reads, and the
// presses, repaints, commands and menus it asks for. Objects never see the
// form; a test passes a recording host.
class TtwCaptionObjectHost {
 public:
  virtual ~TtwCaptionObjectHost() = default;
  virtual const TtwWindowState& WindowState() const = 0;
  virtual bool WindowActive() const = 0;
  virtual bool EffectsEnabled() const = 0;
  // The system-menu button shows the window's icon.
  virtual bool ShowsWindowIcon() const = 0;
  virtual QIcon WindowIcon() const = 0;
  virtual QString CaptionText() const = 0;
  virtual const TtwFrameInfo& Info() const = 0;

  virtual void RepaintObject(TtwActiveSkinObject* o) = 0;
  // Both run once the current mouse handler has returned.
  virtual void PostCommand(TtwFrameCommand command) = 0;
  virtual void PostObjectMenu(const QString& name) = 0;
  virtual void StartMorphTimer() = 0;
  virtual void StartAnimationTimer() = 0;
  virtual void ShowObjectGlow(TtwActiveSkinObject* o) = 0;
  virtual void HideObjectGlow() = 0;
  // The user's handlers: mouse events in window coordinates, and painting
  // that replaces an object's own (true when the user painted).
  virtual void ReportMouse(TtwObjectEvent e, const TtwActiveSkinObject& o, int x, int y,
                           Qt::MouseButton button) = 0;
  virtual bool PaintUserObject(const TtwActiveSkinObject& o, QPainter& canvas) = 0;
  virtual bool PaintCaption(QPainter& canvas, const TRect& r, bool active) = 0;
};

class TtwActiveSkinObject {
 public:
  TtwActiveSkinObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinObject* record);
  virtual ~TtwActiveSkinObject() = default;
  TtwActiveSkinObject(const TtwActiveSkinObject&) = delete;
  TtwActiveSkinObject& operator=(const TtwActiveSkinObject&) = delete;

  // x, y in window coordinates, already known to lie inside ObjectRect.
  virtual bool HitTest(int x, int y) const;
  virtual void ShowGlow();
  virtual void HideGlow();
  // True while the morph factor still has to move towards the object's state.
  virtual bool MorphPending() const;
  // Draws Look() at ObjectRect. Forced: also objects that are part of the
  // frame picture (they are otherwise already in the bands).
  virtual void Draw(QPainter& canvas, bool forced);
  virtual void DoubleClick() {}
  virtual void MouseDown(int x, int y, Qt::MouseButton button);
  virtual void MouseUp(int x, int y, Qt::MouseButton button);
  virtual void MouseMove(int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  // Moves the morph factor one step (0.2) towards the state; true if it moved.
  bool MorphStep();
  bool Contains(int x, int y) const;

  // The one writer of the object's state: morphs or repaints as the change asks.
  void SetState(const TtwObjectState& to);
  void SetDown(bool down) { SetState({state_.Active, state_.MouseIn, down}); }
  void SetMouseIn(bool in) { SetState({state_.Active, in, state_.Down}); }
  const TtwObjectState& State() const { return state_; }
  double MorphFactor() const { return morphFactor_; }
  // The look the object shows now; Draw draws nothing else.
  TtwObjectLook Look() const { return ObjectLook(LookInput()); }

  TtwSkinData* Data = nullptr;
  const QImage* ActivePicture = nullptr;
  const QImage* ActiveMask = nullptr;
  QString IDName, Hint;
  TRect SkinRect, ActiveSkinRect, InactiveSkinRect;
  TRect ObjectRect;
  int MorphKind = 0;
  bool Morphing = false;
  bool Enabled = true, Visible = true;
  bool InPicture = false;  // part of the frame picture (skinrectinapicture = 0)
  int GlowPictureIndex = -1, GlowMaskPictureIndex = -1, GlowOffsetX = 0, GlowOffsetY = 0,
      GlowAlpha = 255;

 protected:
  // The picture the object's own pieces come from.
  // The pieces of each look, of the restore set or the normal one.
  struct LookRects {
    TRect Normal, Active, Inactive, Down, Disabled;
  };
  virtual LookRects Rects(bool restore) const;
  // Everything the look depends on, as it stands now.
  virtual TtwLookInput LookInput() const;
  // Whether the object fades between its looks.
  virtual bool Morphs() const { return Morphing; }
  const QImage* PiecePicture(bool forced) const;
  void CopyPiece(QPainter& canvas, const QImage* picture, const TRect& piece) const;
  void DrawMorph(QPainter& canvas, const QImage* normalPicture, const TRect& normal,
                 const QImage* activePicture, const TRect& active, double factor) const;
  // A skinned look from the object's pieces.
  void DrawLook(QPainter& canvas, const TtwObjectLook& look, bool forced) const;
  void StartMorph();

  TtwCaptionObjectHost* frame_;

 private:
  TtwObjectState state_;
  double morphFactor_ = 0;
};

class TtwUserObject : public TtwActiveSkinObject {
 public:
  using TtwActiveSkinObject::TtwActiveSkinObject;
  void Draw(QPainter& canvas, bool forced) override;
};

class TtwSkinButtonObject : public TtwActiveSkinObject {
 public:
  TtwSkinButtonObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinButton* record);
  void MouseDown(int x, int y, Qt::MouseButton button) override;
  void MouseUp(int x, int y, Qt::MouseButton button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  TRect DownRect, DisableSkinRect;
  // The menu a press opens below (or above) the button.
  QPointer<QMenu> Menu;
  bool MenuUpward = false;

 protected:
  LookRects Rects(bool restore) const override;
  TtwLookInput LookInput() const override;
};

// A caption button with a window command. Without skin support (the
// skinless look) it draws a glyph on a button-face square.
class TtwSkinStdButtonObject : public TtwSkinButtonObject {
 public:
  TtwSkinStdButtonObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinStdButton* record);
  // The skinless look's default button.
  TtwSkinStdButtonObject(TtwCaptionObjectHost* frame, const QString& name, int command);

  bool HitTest(int x, int y) const override;
  // The window's icon in place of the system-menu button has no glow and no morph.
  void ShowGlow() override;
  void Draw(QPainter& canvas, bool forced) override;
  void DoubleClick() override;
  void MouseDown(int x, int y, Qt::MouseButton button) override;
  void MouseUp(int x, int y, Qt::MouseButton button) override;
  void MouseEnter() override;

  bool ShowsIcon() const;

  int Command = 4;
  TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInactiveRect;
  QString RestoreHint, RecordHint;
  bool SkinSupport = true;

 protected:
  LookRects Rects(bool restore) const override;
  TtwLookInput LookInput() const override;
  bool Morphs() const override { return Morphing && !ShowsIcon(); }

 private:
  void DrawSkinless(QPainter& canvas, const TtwObjectLook& look) const;
};

class TtwSkinCaptionObject : public TtwActiveSkinObject {
 public:
  TtwSkinCaptionObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinCaption* record);
  void Draw(QPainter& canvas, bool forced) override;
  void MouseDown(int x, int y, Qt::MouseButton button) override;
  void MouseUp(int x, int y, Qt::MouseButton button) override;

  // Activation change: restarts the caption animation.
  void SetWindowActive(bool active);
  // One 25 ms animation tick; true while the animation runs.
  bool AnimationTick();
  bool Animating() const;

  const TtwDataSkinCaption* Record;
  int AnimationFrame = 0;
  int Elapsed = 25;

 protected:
  TtwLookInput LookInput() const override;

 private:
  void DrawText(QPainter& canvas, const TRect& r, bool activeColours) const;
  QImage ComposeBackground(bool activeLook, int frame) const;
  void FitText(QPainter& canvas, const QString& text, int width) const;

  // The caption as last fitted: measuring and shortening the text is most
  // of a caption paint, and a resize rarely changes the outcome.
  struct FittedText {
    QString Source;
    int Width = -1;
    int FullWidth = 0, FullHeight = 0;
    QString Text;
    int TextWidth = 0, TextHeight = 0;
  };
  QFont font_;
  mutable FittedText fitted_;
};

class TtwSkinAnimateObject : public TtwActiveSkinObject {
 public:
  TtwSkinAnimateObject(TtwCaptionObjectHost* frame, TtwSkinData* data, const TtwDataSkinAnimate* record);
  void Draw(QPainter& canvas, bool forced) override;
  void MouseDown(int x, int y, Qt::MouseButton button) override;
  void MouseUp(int x, int y, Qt::MouseButton button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // One 25 ms tick; true while the animation runs.
  bool Tick();

  const TtwDataSkinAnimate* Record;
  int CountFrames = 1;
  int TimerInterval = 25;
  int Command = 4;
  int Frame = 1;
  bool Forward = true;
  bool Running = false;
  int Elapsed = 25;

 protected:
  LookRects Rects(bool restore) const override;
  TtwLookInput LookInput() const override;
};
