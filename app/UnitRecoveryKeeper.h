// TRecoveryKeeper: keeps the recovery file of one window's unsaved text up to date, in the background.
#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/core/RecoveryFile.h"
#include "app/core/RecoveryFolder.h"
#include "app/core/RecoverySchedule.h"

class TRecoveryWriter;
class TRyxEdit;

// The window tells it when the text changed and when the user discarded
// it; it asks the window for the rest. While the text has unsaved changes,
// a copy of it (sharing the store's buffers) goes to a writer thread on the
// schedule of TRecoverySchedule; once the text is saved or discarded, the
// file goes. Without a recovery folder it keeps nothing and says so in
// Error.
class TRecoveryKeeper : public QObject {
  Q_OBJECT

 public:
  // origin gives the document's file name and its stamp on disk as loaded or saved.
  TRecoveryKeeper(TRyxEdit& edit, std::function<TRecoveryHeader()> origin, QObject* parent = nullptr);
  ~TRecoveryKeeper() override;

  // The text changed, or its modified state did (a save clears it).
  void DocumentChanged();
  // The user chose not to save the text: its recovery file goes.
  void Discarded();
  // Writes the text now unless its recovery file is current, and waits
  // until it is on disk; for the end of the process.
  void WriteNow();

  // This window's recovery file; empty without a folder.
  std::filesystem::path File() const;
  // Why there is no recovery folder or why the last write failed; empty when all is well.
  QString Error() const;

 private:
  void StartTimer();
  void Due();
  void Write();
  TRecoverySchedule::TTime Now() const;

  TRyxEdit& FEdit;
  std::function<TRecoveryHeader()> FOrigin;
  std::optional<TRecoverySlot> FSlot;
  std::unique_ptr<TRecoveryWriter> FWriter;
  TRecoverySchedule FSchedule;
  QTimer FTimer;
  // The file holds the text as it stands (or is on its way there), or the
  // user discarded the text.
  bool FCurrent = false;
  QString FSlotError;
};
