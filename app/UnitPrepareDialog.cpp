// TPrepareDialog: check boxes and an encoding list over a summary that is counted anew on every change.
#include "app/UnitPrepareDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

TPrepareDialog::TPrepareDialog(TCount count, TSaveEncoding encoding, QWidget* parent)
    : QDialog(parent), FCount(std::move(count)) {
  setWindowTitle("プレーヤー向けに整える");
  auto* layout = new QVBoxLayout(this);
  ExpandBox = new QCheckBox("複数のタイムタグのある行を 1 タグ 1 行に分けて時刻順に並べる(&E)", this);
  WordTagsBox = new QCheckBox("ワードタグを削除する (行ごとに表示するプレーヤー向け)(&W)", this);
  HundredthsBox = new QCheckBox("タグを [mm:ss.xx] の形にそろえる(&H)", this);
  IdLinesBox = new QCheckBox("ID タグの行 ([ti:…] など) を削除する(&I)", this);
  for (QCheckBox* box : {ExpandBox, WordTagsBox, HundredthsBox, IdLinesBox}) layout->addWidget(box);
  layout->addWidget(new QLabel("[offset:] があれば、すべてのタグに適用してから削除します。", this));
  auto* form = new QFormLayout;
  EncodingBox = new QComboBox(this);
  for (TSaveEncoding each : kSaveEncodings) EncodingBox->addItem(SaveEncodingName(each));
  EncodingBox->setCurrentIndex(static_cast<int>(encoding));
  form->addRow("保存する文字コード(&C):", EncodingBox);
  layout->addLayout(form);
  SummaryLabel = new QLabel(this);
  SummaryLabel->setFrameShape(QFrame::StyledPanel);
  SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(SummaryLabel);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("整える");
  buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  SetOptions(TPrepareOptions{});
  for (QCheckBox* box : {ExpandBox, WordTagsBox, HundredthsBox, IdLinesBox})
    connect(box, &QCheckBox::toggled, this, &TPrepareDialog::UpdateSummary);
}

TPrepareOptions TPrepareDialog::Options() const {
  return TPrepareOptions{ExpandBox->isChecked(), WordTagsBox->isChecked(), HundredthsBox->isChecked(),
                         IdLinesBox->isChecked()};
}

void TPrepareDialog::SetOptions(const TPrepareOptions& options) {
  const QSignalBlocker blockers[] = {QSignalBlocker(ExpandBox), QSignalBlocker(WordTagsBox),
                                     QSignalBlocker(HundredthsBox), QSignalBlocker(IdLinesBox)};
  ExpandBox->setChecked(options.ExpandLines);
  WordTagsBox->setChecked(options.RemoveWordTags);
  HundredthsBox->setChecked(options.Hundredths);
  IdLinesBox->setChecked(options.RemoveIdLines);
  UpdateSummary();
}

TSaveEncoding TPrepareDialog::Encoding() const { return kSaveEncodings[static_cast<std::size_t>(EncodingBox->currentIndex())]; }

QString TPrepareDialog::Summary() const { return SummaryLabel->text(); }

void TPrepareDialog::UpdateSummary() {
  QString text = "次のように整えます:";
  bool ok = true;
  try {
    for (const std::string& line : DescribePrepareCounts(FCount(Options()), true))
      text += "\n・" + QString::fromStdString(line);
  } catch (const std::exception& e) {
    // The text cannot be prepared as it is (an [offset:] out of place): said here, and nothing to do.
    text = "整えられません: " + QString::fromStdString(e.what());
    ok = false;
  }
  SummaryLabel->setText(text);
  if (auto* buttons = findChild<QDialogButtonBox*>()) buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}
