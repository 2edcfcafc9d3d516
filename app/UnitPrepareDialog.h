// TPrepareDialog: "プレーヤー向けに整える": the options, and what they will change before anything does.
#pragma once

#include <QDialog>
#include <functional>

#include "app/core/PlayerPrepare.h"
#include "app/core/SaveEncoding.h"

class QCheckBox;
class QComboBox;
class QLabel;

class TPrepareDialog : public QDialog {
  Q_OBJECT

 public:
  // count gives what the options would change in the text (it may raise
  // with a message for the user); it runs again whenever an option changes.
  using TCount = std::function<TPrepareCounts(const TPrepareOptions&)>;
  TPrepareDialog(TCount count, TSaveEncoding encoding, QWidget* parent = nullptr);

  TPrepareOptions Options() const;
  void SetOptions(const TPrepareOptions& options);
  TSaveEncoding Encoding() const;
  // The summary as shown: one line per change and the lines still overflowing.
  QString Summary() const;

  QCheckBox* ExpandBox;
  QCheckBox* WordTagsBox;
  QCheckBox* HundredthsBox;
  QCheckBox* IdLinesBox;
  QComboBox* EncodingBox;
  QLabel* SummaryLabel;

 private:
  void UpdateSummary();

  TCount FCount;
};
