// TStatusFields: the status bar's permanent fields for the editor's caret, selection, mode, encoding and state.
#pragma once

#include <QObject>

#include "app/UnitSteadyLabel.h"
#include "editor/RyxEditRowTabs.h"

class QStatusBar;
class TRyxEdit;

// The fields sit at the right as permanent widgets, so that the tools'
// passing messages still show at the left.
class TStatusFields : public QObject {
  Q_OBJECT

 public:
  TStatusFields(QStatusBar& bar, const TRyxEdit& edit);

  // Reads the editor again; the owner calls it when the editor reports a change.
  void Update();

  TSteadyLabel* Position;
  TSteadyLabel* Selection;
  TSteadyLabel* Mode;
  TSteadyLabel* Encoding;
  TSteadyLabel* LineBreak;
  TSteadyLabel* State;

 private:
  const TRyxEdit& FEdit;
  // The tabs of a long caret row, kept while the text does not change.
  TLongRowTabs FRowTabs;
};
