// TForm1: the lyric tools, the encoding commands and the player display guides.
#include <QAction>

#include "app/DisplayGuides.h"
#include "app/LyricTools.h"
#include "app/Unit1.h"
#include "editor/RyxEdit.h"

void TForm1::ApplyTextTool(const std::function<std::string(const std::string&)>& transform) {
  // A transform that raises leaves the text as it was.
  const std::string text = transform(RyxEdit1->GetAllText());
  RyxEdit1->SetAllText(text);
  RyxEdit1->RefreshView();
}

void TForm1::N9Click() {
  ApplyTextTool([](const std::string& text) { return DeleteTimeTags(text); });
}

void TForm1::N16Click() {
  ApplyTextTool([](const std::string& text) { return DeleteKaraokeTags(text); });
}

void TForm1::N10Click() {
  ApplyTextTool([](const std::string& text) { return DeleteUselessLines(text); });
}

void TForm1::UTF81Click() { ApplyTextTool(ConvertToUtf8); }

void TForm1::ANSI1Click() {
  ApplyTextTool([](const std::string& text) { return ConvertToShiftJis(text); });
}

void TForm1::N13Click() {
  FDeviceSettings.ShowTagLine = !FDeviceSettings.ShowTagLine;
  N13->setChecked(FDeviceSettings.ShowTagLine);
  RyxEdit1->Redesign();
}

void TForm1::RyxEdit1UserClientDraw(TObject*, int x1, int, int, int) {
  DrawDisplayGuides(RyxEdit1->Canvas(), x1, RyxEdit1->TopMargin(), RyxEdit1->TextHeight(), FDeviceSettings);
}
