// TTransportBar: the controls of the song, laid out in one row.
#include "app/UnitTransportBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include "app/core/TimeTags.h"

namespace {

constexpr double kRates[] = {0.5, 0.75, 1.0};

// "mm:ss.xx": hundredths, cut rather than rounded so that the clock never runs ahead.
QString TimeOf(TMillis time) { return QString::fromStdString(DescribeTime(time.count() - time.count() % 10)); }

}  // namespace

TTransportBar::TTransportBar(QWidget* parent) : QDockWidget("再生", parent) {
  setObjectName("TransportBar");
  setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget;
  auto* row = new QHBoxLayout(body);
  row->setContentsMargins(4, 2, 4, 2);
  PlayButton = new QToolButton;
  PlayButton->setToolTip("再生 / 一時停止 (Ctrl+Space)");
  PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  row->addWidget(PlayButton);
  FTime = new TSteadyLabel("00:00.00 / 00:00.00");
  FTime->ShowText("00:00.00 / 00:00.00");
  FTime->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(FTime);
  SeekSlider = new QSlider(Qt::Horizontal);
  SeekSlider->setToolTip("再生位置");
  row->addWidget(SeekSlider, 1);
  row->addWidget(new QLabel("速さ:"));
  RateBox = new QComboBox;
  for (const double rate : kRates) RateBox->addItem(QString::number(rate, 'g', 3) + "x", rate);
  RateBox->setCurrentIndex(2);
  RateBox->setToolTip("再生の速さ (音の高さは変わりません)");
  row->addWidget(RateBox);
  row->addWidget(new QLabel("音量:"));
  VolumeSlider = new QSlider(Qt::Horizontal);
  VolumeSlider->setRange(0, 100);
  VolumeSlider->setValue(100);
  VolumeSlider->setMaximumWidth(80);
  row->addWidget(VolumeSlider);
  setWidget(body);
  // The keys belong to the text: Space must stamp, never press the play button.
  for (QWidget* control : {static_cast<QWidget*>(PlayButton), static_cast<QWidget*>(SeekSlider),
                           static_cast<QWidget*>(RateBox), static_cast<QWidget*>(VolumeSlider)})
    control->setFocusPolicy(Qt::NoFocus);

  connect(PlayButton, &QToolButton::clicked, this, &TTransportBar::PlayPauseClicked);
  // A click in the groove or a key moves the slider by a step; a drag seeks where it is let go.
  connect(SeekSlider, &QSlider::actionTriggered, this, [this](int action) {
    if (action != QAbstractSlider::SliderMove) emit SeekRequested(TMillis{SeekSlider->sliderPosition()});
  });
  connect(SeekSlider, &QSlider::sliderReleased, this, [this] { emit SeekRequested(TMillis{SeekSlider->value()}); });
  connect(RateBox, &QComboBox::currentIndexChanged, this,
          [this](int index) { emit RateChosen(RateBox->itemData(index).toDouble()); });
  connect(VolumeSlider, &QSlider::valueChanged, this, [this](int value) { emit VolumeChosen(value / 100.0); });
}

void TTransportBar::ShowState(TMillis position, std::optional<TMillis> length, bool playing) {
  FTime->ShowText(TimeOf(position) + " / " + (length ? TimeOf(*length) : QString("--:--.--")));
  if (FIconPlaying != playing) {
    PlayButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    FIconPlaying = playing;
  }
  if (SeekSlider->isSliderDown()) return;
  const QSignalBlocker quiet(SeekSlider);
  SeekSlider->setRange(0, static_cast<int>(length.value_or(TMillis{0}).count()));
  SeekSlider->setSingleStep(1000);
  SeekSlider->setPageStep(5000);
  SeekSlider->setValue(static_cast<int>(position.count()));
}

QString TTransportBar::TimeText() const { return FTime->text(); }
