#include "app/Unit5.h"

TAboutBox1::TAboutBox1(QWidget* parent) : TForm(parent) { SetCaption(QStringLiteral("Result")); }
TAboutBox1::~TAboutBox1() = default;

void TAboutBox1::FormShow() {}
