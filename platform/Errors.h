#pragma once
#include <QString>
#include <stdexcept>

// Every failure the program reports to the user is one of these: the text is
// what the error display shows.
class EError : public std::runtime_error {
 public:
  explicit EError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

class EDatabaseError : public EError {
 public:
  using EError::EError;
};

class EConvertError : public EError {
 public:
  using EError::EError;
};
