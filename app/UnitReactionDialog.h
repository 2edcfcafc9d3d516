// TReactionDialog: measures the user's reaction delay: eight clicks at known times, Space on each, the median offset.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "platform/AudioPlayer.h"

class QLabel;
class QPushButton;
class QTimer;

class TReactionDialog : public QDialog {
  Q_OBJECT

 public:
  // player plays the clicks, made in memory; current is the delay in effect.
  TReactionDialog(std::unique_ptr<IAudioPlayer> player, TMillis current, QWidget* parent = nullptr);
  ~TReactionDialog() override;

  // The delay measured; none until the clicks have played and enough presses answered them.
  std::optional<TMillis> Measured() const { return FMeasured; }
  // Starts the clicks (the "開始" button).
  void Start();
  // A press heard at the player's position now (Space while the clicks play).
  void Press();
  // Looks whether the clicks have ended and shows the result.
  void Poll();

  QPushButton* StartButton = nullptr;
  QPushButton* OkButton = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Finish();

  std::unique_ptr<IAudioPlayer> FPlayer;
  int FClicksFile = -1;
  QLabel* FText = nullptr;
  QTimer* FPoll = nullptr;
  std::vector<TMillis> FPresses;
  std::optional<TMillis> FMeasured;
};
