// TRecoveryDialog: the list of texts that were not saved when their window ended, offered at start.
#include "app/UnitRecoveryDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/core/DocumentNames.h"

TRecoveryDialog::TRecoveryDialog(const std::vector<TRecoveryListing>& rows, const std::vector<bool>& readable,
                                 QWidget* parent)
    : QDialog(parent), FReadable(readable) {
  setWindowTitle(ApplicationTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("保存されないまま終わったテキストがあります。\n復元しますか?", this));
  List = new QTreeWidget(this);
  List->setHeaderLabels({"ファイル", "時刻", "状態"});
  List->setRootIsDecorated(false);
  List->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const TRecoveryListing& row : rows) {
    auto* item = new QTreeWidgetItem(
        QStringList{QString::fromStdString(row.Name), QString::fromStdString(row.Time), QString::fromStdString(row.Note)});
    item->setToolTip(0, QFile::decodeName(QByteArray::fromStdString(row.Where)));
    List->addTopLevelItem(item);
  }
  List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  List->setMinimumWidth(560);
  layout->addWidget(List);
  auto* buttons = new QDialogButtonBox(this);
  RestoreButton = buttons->addButton("復元", QDialogButtonBox::AcceptRole);
  DiscardButton = buttons->addButton("破棄", QDialogButtonBox::DestructiveRole);
  LaterButton = buttons->addButton("後で", QDialogButtonBox::RejectRole);
  RestoreButton->setDefault(true);
  layout->addWidget(buttons);
  connect(RestoreButton, &QPushButton::clicked, this, [this] { Choose(TRecoveryChoice::Restore); });
  connect(DiscardButton, &QPushButton::clicked, this, [this] { Choose(TRecoveryChoice::Discard); });
  connect(LaterButton, &QPushButton::clicked, this, [this] { Choose(TRecoveryChoice::Later); });
  connect(List, &QTreeWidget::itemSelectionChanged, this, &TRecoveryDialog::SelectionChanged);
  if (List->topLevelItemCount() > 0) List->setCurrentItem(List->topLevelItem(0));
  SelectionChanged();
}

int TRecoveryDialog::Selected() const { return List->indexOfTopLevelItem(List->currentItem()); }

void TRecoveryDialog::SelectionChanged() {
  const int row = Selected();
  const bool readable = row >= 0 && static_cast<std::size_t>(row) < FReadable.size() && FReadable[row];
  RestoreButton->setEnabled(readable);
  DiscardButton->setEnabled(row >= 0);
  // Enter never discards: without a text to restore it means later.
  (readable ? RestoreButton : LaterButton)->setDefault(true);
}

void TRecoveryDialog::Choose(TRecoveryChoice choice) {
  FChoice = choice;
  if (choice == TRecoveryChoice::Later) {
    reject();
  } else {
    accept();
  }
}
