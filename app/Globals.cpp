// The program's windows, reachable from each other as the handlers expect.
#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"

TForm1* Form1 = nullptr;
TData* Data = nullptr;
TBox* Box = nullptr;
TAboutBox1* AboutBox1 = nullptr;

void CreateNotesForms(TApplication& app) {
  app.CreateForm(Form1);
  app.CreateForm(Data);
  app.CreateForm(Box);
  app.CreateForm(AboutBox1);
}
