// TTransportBar: the dockable bar of the open song: play/pause, position and length, seek slider, rate and volume.
#pragma once

#include <QDockWidget>
#include <optional>

#include "app/UnitSteadyLabel.h"
#include "platform/AudioPlayer.h"

class QComboBox;
class QSlider;
class QToolButton;

class TTransportBar : public QDockWidget {
  Q_OBJECT

 public:
  explicit TTransportBar(QWidget* parent = nullptr);

  // The position, the length and whether the song plays; the slider is
  // left alone while the user drags it.
  void ShowState(TMillis position, std::optional<TMillis> length, bool playing);
  // "mm:ss.xx / mm:ss.xx" as shown.
  QString TimeText() const;

  QToolButton* PlayButton = nullptr;
  QSlider* SeekSlider = nullptr;
  QComboBox* RateBox = nullptr;
  QSlider* VolumeSlider = nullptr;

 signals:
  void PlayPauseClicked();
  void SeekRequested(TMillis position);
  void RateChosen(double rate);
  void VolumeChosen(double volume);

 private:
  TSteadyLabel* FTime = nullptr;
  // The state the play button's icon shows: the icon is looked up only when it changes, not at every tick.
  std::optional<bool> FIconPlaying;
};
