// TReactionDialog: the clicks are a WAV in an anonymous memory file, played by the dialog's own player.
#include "app/UnitReactionDialog.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <string>

#include "app/core/ReactionDelay.h"
#include "platform/WaveFile.h"

namespace {

// The clicks' WAV in a memory file; its descriptor, or -1.
int ClicksInMemory() {
  const int fd = memfd_create("verselet-clicks", MFD_CLOEXEC);
  if (fd < 0) return -1;
  const std::string wave = ClickTrackWave(kReactionClickSongLength, ReactionClicks());
  std::size_t written = 0;
  while (written < wave.size()) {
    const ssize_t n = ::write(fd, wave.data() + written, wave.size() - written);
    if (n <= 0) {
      ::close(fd);
      return -1;
    }
    written += static_cast<std::size_t>(n);
  }
  return fd;
}

}  // namespace

TReactionDialog::TReactionDialog(std::unique_ptr<IAudioPlayer> player, TMillis current, QWidget* parent)
    : QDialog(parent), FPlayer(std::move(player)) {
  setWindowTitle("反応の遅れを測る");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString("「開始」を押すと 8 回クリック音が鳴ります。\n"
                                       "鳴るたびにすぐ Space を押してください。\n"
                                       "今の反応の遅れ: %1 ミリ秒")
                                   .arg(current.count())));
  FText = new QLabel(" ");
  layout->addWidget(FText);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  StartButton = buttons->addButton("開始", QDialogButtonBox::ActionRole);
  OkButton = buttons->button(QDialogButtonBox::Ok);
  OkButton->setEnabled(false);
  // Space answers the clicks: no button may take it.
  for (QAbstractButton* button : buttons->buttons()) button->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(StartButton, &QPushButton::clicked, this, &TReactionDialog::Start);
  FPoll = new QTimer(this);
  FPoll->setInterval(50);
  connect(FPoll, &QTimer::timeout, this, &TReactionDialog::Poll);
}

TReactionDialog::~TReactionDialog() {
  FPlayer->Close();
  if (FClicksFile >= 0) ::close(FClicksFile);
}

void TReactionDialog::Start() {
  FPresses.clear();
  FMeasured.reset();
  OkButton->setEnabled(false);
  try {
    if (!FPlayer->IsOpen()) {
      if (FClicksFile < 0) FClicksFile = ClicksInMemory();
      if (FClicksFile < 0) throw EAudioError("クリック音を用意できません");
      FPlayer->Open("/proc/self/fd/" + std::to_string(FClicksFile));
    }
    FPlayer->Seek(TMillis{0});
    FPlayer->Play();
  } catch (const EAudioError& e) {
    FText->setText(QString::fromUtf8(e.what()));
    return;
  }
  FText->setText(FPlayer->Silent() ? "音声の出力がないため音は鳴りません (時計で進みます)" : "測っています...");
  StartButton->setEnabled(false);
  FPoll->start();
}

void TReactionDialog::Press() {
  if (FPlayer->Playing()) FPresses.push_back(FPlayer->Position());
}

void TReactionDialog::Poll() {
  const TPlayerEvents events = FPlayer->TakeEvents();
  if (events.Ended || !events.Error.empty() || !FPlayer->Playing()) Finish();
}

void TReactionDialog::Finish() {
  FPoll->stop();
  FPlayer->Pause();
  StartButton->setEnabled(true);
  FMeasured = MedianReactionDelay(ReactionClicks(), FPresses);
  if (!FMeasured) {
    FText->setText(QString("押された回数が足りません (%1 回)。もう一度「開始」を押してください").arg(FPresses.size()));
    return;
  }
  FText->setText(QString("反応の遅れ: %1 ミリ秒 (%2 回押しました)。OK で使います").arg(FMeasured->count()).arg(FPresses.size()));
  OkButton->setEnabled(true);
}

void TReactionDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    Press();
    return;
  }
  QDialog::keyPressEvent(event);
}
