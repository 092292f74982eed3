#include "app/Unit3.h"

TBox::TBox(QWidget* parent) : TForm(parent) { SetCaption(QStringLiteral("Set")); }
TBox::~TBox() = default;

void TBox::FormShow() {}
void TBox::FormClose(TCloseAction& /*action*/) {}
