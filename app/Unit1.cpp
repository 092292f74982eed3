#include "app/Unit1.h"

TForm1::TForm1(QWidget* parent) : TForm(parent) { SetCaption(QStringLiteral("Tarnwick ")); }
TForm1::~TForm1() = default;

void TForm1::FormCreate() {}
void TForm1::FormShow() {}
void TForm1::FormCloseQuery(bool& /*canClose*/) {}
