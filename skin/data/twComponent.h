#pragma once
// Base of the skin engine's non-visual components. A component's owner is
// its QObject parent. Two states change what property setters do: being
// edited in a designer (setters may build skins from files) and having its
// stored properties read (setters only store).
#include <QObject>

class TtwComponent : public QObject {
  Q_OBJECT
 public:
  explicit TtwComponent(QObject* owner = nullptr) : QObject(owner) {}

  QObject* Owner() const { return parent(); }

  bool Designing() const { return designing_; }
  void SetDesigning(bool on) { designing_ = on; }
  bool Loading() const { return loading_; }
  // Bracket the reading of stored properties with SetLoading(true/false).
  void SetLoading(bool on) { loading_ = on; }

 private:
  bool designing_ = false;
  bool loading_ = false;
};
