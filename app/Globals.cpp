// The program's windows, reachable from each other as the handlers expect.
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"

TForm1* Form1 = nullptr;
TData* Data = nullptr;
TBox* Box = nullptr;
TAboutBox1* AboutBox1 = nullptr;
