// TMarkerDrag: the previous write undone, the tag written with the new time, the undo head remembered.
#include "app/core/MarkerDrag.h"

#include <algorithm>

#include "app/core/SyncSession.h"
#include "app/core/TimeTags.h"
#include "editor/RyxEdit.h"

void TMarkerDrag::Begin(const TTagMarker& marker, std::optional<TMillis> length) {
  const TTaggedLine parsed = ParseTaggedLine(FSession.LogicalLineText(marker.Line));
  if (marker.Tag >= parsed.Tags.size()) return End();
  FForm = parsed.Tags[marker.Tag];
  FMarker = marker;
  FOriginal = marker.Time;
  FLength = length;
  FStepMade = false;
}

bool TMarkerDrag::StepAtHead() const {
  const TUndoList& undo = FEdit.UndoList();
  return FStepMade && undo.size() == FUndoCount && !undo.empty() && undo.front().Text == FHeadText;
}

std::string TMarkerDrag::MoveTo(TMillis time) {
  if (!FMarker || FEdit.ReadOnly()) return {};
  if (FLength) time = std::min(time, *FLength);
  // The time as the tag can hold it: hundredths for most forms.
  std::string written;
  AppendTimeTag(written, FForm, std::clamp<long long>(time.count(), 0, LargestTagMillis(FForm)));
  time = TMillis{ParseTaggedLine(written).Tags.at(0).Millis};
  if (time == FMarker->Time) return {};
  const bool undone = StepAtHead();
  if (undone) {
    FEdit.Undo();
    FStepMade = false;
  }
  FMarker->Time = time;
  // Back where the drag began: the text is as it was, and no step is left.
  if (undone && time == FOriginal) return Said();
  const std::string text = FSession.LogicalLineText(FMarker->Line);
  const std::optional<TLineEdit> edit = MovedTagEdit(text, FMarker->Tag, time);
  if (!edit) {
    // The line lost the tag under the drag.
    FMarker.reset();
    return {};
  }
  FSession.ReplaceInLine(FMarker->Line, *edit);
  FStepMade = true;
  FUndoCount = FEdit.UndoList().size();
  FHeadText = FEdit.UndoList().empty() ? std::string() : FEdit.UndoList().front().Text;
  return Said();
}

std::string TMarkerDrag::Said() const {
  return std::to_string(FMarker->Line + 1) + " 行目: " + (FMarker->Word ? "ワードタグ " : "タイムタグ ") +
         DescribeTime(FMarker->Time.count());
}
