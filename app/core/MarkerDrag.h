// TMarkerDrag: a tag dragged along the song's time line, its text in the editor following, the whole drag one undo step.
#pragma once

#include <optional>
#include <string>

#include "app/core/TagMarkers.h"
#include "app/core/TimeTags.h"

class TRyxEdit;
class TSyncSession;

// Each move writes the tag anew through the sync session's ranged edit,
// after taking the drag's previous write back with undo: at any moment the
// drag so far is a single step at the head of the undo list. A step that is
// no longer at the head (another edit came between) is left standing and
// the drag goes on from there.
class TMarkerDrag {
 public:
  TMarkerDrag(TRyxEdit& edit, TSyncSession& session) : FEdit(edit), FSession(session) {}

  // Starts dragging (nothing, when the line holds no such tag); the song's
  // length, when known, is the latest time the tag takes.
  void Begin(const TTagMarker& marker, std::optional<TMillis> length);
  // The tag to time; the status bar's line (UTF-8), empty when nothing changed.
  std::string MoveTo(TMillis time);
  void End() { FMarker.reset(); }
  bool Active() const { return FMarker.has_value(); }
  const std::optional<TTagMarker>& Marker() const { return FMarker; }

 private:
  // Whether the head of the undo list is still the drag's last write.
  bool StepAtHead() const;
  std::string Said() const;

  TRyxEdit& FEdit;
  TSyncSession& FSession;
  std::optional<TTagMarker> FMarker;
  TMillis FOriginal{0};
  // The tag's form when the drag began: the times it can hold.
  TTimeTag FForm;
  std::optional<TMillis> FLength;
  bool FStepMade = false;
  std::size_t FUndoCount = 0;
  std::string FHeadText;
};
