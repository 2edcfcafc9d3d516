// TForm1: "プレーヤー向けに整える...": the dialog counts what the preparation would change, then it runs as one step.
#include <QStatusBar>

#include "app/core/LogicalLines.h"
#include "app/core/PrepareRun.h"
#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitPrepareDialog.h"
#include "app/UnitStatusFields.h"
#include "editor/RyxEdit.h"

void TForm1::PrepareClick() {
  const TPlayerDisplay display{FDeviceSettings.HalfCount, FDeviceSettings.LineCount};
  TPrepareDialog dialog(
      [this, display](const TPrepareOptions& options) { return CountPreparation(RyxEdit1->Lines(), options, display); },
      FSaveEncoding, this);
  if (!FDialogs.ExecutePrepare(dialog)) return;
  TPlayerPrepareFilter filter(dialog.Options(), display);
  // One step that Undo takes back; a filter that raises leaves the text as
  // it was. The caret goes back to the start of the line it was on.
  const int line = TLogicalLines(RyxEdit1->Lines(), RyxEdit1->TabCount(), RyxEdit1->WordWrap())
                       .PlaceOf(RyxEdit1->CaretLine(), RyxEdit1->CaretCol())
                       .Line;
  ApplyTextTool(filter);
  RyxEdit1->MoveCaretTo(TLogicalLines(RyxEdit1->Lines(), RyxEdit1->TabCount(), RyxEdit1->WordWrap()).RowOfLine(line), 0);
  StatusFields->Update();
  SetSaveEncoding(dialog.Encoding());
  QString message = "プレーヤー向けに整えました";
  const char* separator = ": ";
  for (const std::string& part : DescribePrepareCounts(filter.Counts(), true)) {
    message += separator + QString::fromStdString(part);
    separator = "、";
  }
  StatusBar1->showMessage(message);
}
