#include "curation/CSongTypeListDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "curation/CSongTypeDlg.h"
#include "curation/CurationText.h"
#include "library/CSongTypeRecordSet.h"
#include "library/GuardOperation.h"
#include "library/SqlText.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

constexpr int kCodeColumnWidth = 75;
constexpr int kDescriptionColumnWidth = 300;

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

CSongTypeListDlg::CSongTypeListDlg(dao::DaoDatabase& database, QWidget* parent)
    : QDialog(parent),
      database_(database),
      types_(std::make_unique<CSongTypeRecordSet>(database)),
      list_(new QTreeWidget(this)) {
  setWindowTitle(Text(text::kSongTypeListTitle));
  list_->setObjectName(QStringLiteral("typeList"));
  list_->setColumnCount(2);
  list_->setHeaderLabels({Text(text::kSongTypeColumn), Text(text::kTypeDescColumn)});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setColumnWidth(0, kCodeColumnWidth);
  list_->setColumnWidth(1, kDescriptionColumnWidth);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnEdit(); });

  auto* newButton = MakeButton(text::kNewButton, "newButton", this);
  auto* editButton = MakeButton(text::kEditButton, "editButton", this);
  auto* deleteButton = MakeButton(text::kDeleteButton, "deleteButton", this);
  auto* okButton = MakeButton(text::kOkButton, "okButton", this);
  okButton->setDefault(true);
  connect(newButton, &QPushButton::clicked, this, &CSongTypeListDlg::OnNew);
  connect(editButton, &QPushButton::clicked, this, &CSongTypeListDlg::OnEdit);
  connect(deleteButton, &QPushButton::clicked, this, &CSongTypeListDlg::OnDelete);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {newButton, editButton, deleteButton}) buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(520, 340);

  loaded_ = GuardOperation([this] { LoadList(); });
}

CSongTypeListDlg::~CSongTypeListDlg() = default;

int CSongTypeListDlg::Run() { return loaded_ ? Ui().RunModal(*this) : QDialog::Rejected; }

void CSongTypeListDlg::LoadList(const QString& code) {
  types_->Close();
  types_->SetSort("SongTypeCode");
  types_->Open(dao::OpenType::Dynaset);
  list_->clear();
  QTreeWidgetItem* chosen = nullptr;
  for (; !types_->IsEOF(); types_->MoveNext()) {
    auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(types_->SongTypeCode),
                                             QString::fromStdString(types_->SongTypeDescription)});
    if (!code.isEmpty() && item->text(0).compare(code, Qt::CaseInsensitive) == 0) chosen = item;
  }
  if (chosen == nullptr && list_->topLevelItemCount() > 0) chosen = list_->topLevelItem(0);
  if (chosen != nullptr) list_->setCurrentItem(chosen);
}

bool CSongTypeListDlg::FindType(const QString& code) {
  return types_->FindFirst("SongTypeCode = '" + SqlQuote(code.toStdString()) + "'");
}

void CSongTypeListDlg::Guarded(const std::function<void()>& action) {
  if (!GuardOperation(action)) reject();
}

void CSongTypeListDlg::OnEdit() {
  QTreeWidgetItem* row = list_->currentItem();
  if (row == nullptr || !row->isSelected()) return;
  CSongTypeDlg dialog(SongTypeMode::Edit, row->text(0), row->text(1), this);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  const QString code = row->text(0);
  Guarded([&] {
    if (FindType(code)) {
      types_->Edit();
      types_->SongTypeDescription = dialog.Description().toStdString();
      types_->Update();
    } else {
      Ui().Message(Text(text::kSongTypeMissing), MsgIcon::Exclamation);
    }
    LoadList(code);
  });
}

void CSongTypeListDlg::OnNew() {
  CSongTypeDlg dialog(SongTypeMode::New, {}, {}, this);
  if (Ui().RunModal(dialog) != QDialog::Accepted) return;
  const QString code = dialog.Code();
  Guarded([&] {
    if (FindType(code)) {
      Ui().Message(Text(text::kSongTypeExists), MsgIcon::Exclamation);
    } else {
      types_->AddNew();
      types_->SongTypeCode = code.toStdString();
      types_->SongTypeDescription = dialog.Description().toStdString();
      types_->Update();
    }
    LoadList(code);
  });
}

void CSongTypeListDlg::OnDelete() {
  QTreeWidgetItem* row = list_->currentItem();
  if (row == nullptr || !row->isSelected()) return;
  const QString code = row->text(0);
  if (Ui().Message(Text(text::kConfirmDeleteType).arg(code), MsgIcon::Question,
                   MsgButtons::YesNo) != MsgAnswer::Yes) {
    return;
  }
  Guarded([&] {
    if (FindType(code)) {
      types_->Delete();
    } else {
      Ui().Message(Text(text::kSongTypeMissing), MsgIcon::Exclamation);
    }
    LoadList();
  });
}

}  // namespace vx
