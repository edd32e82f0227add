#include "recorder/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

#include "recorder/CCreditScroller.h"
#include "recorder/RecorderText.h"

namespace vx {
namespace {

constexpr QChar kSeparator = QLatin1Char('|');

QLabel* TitleLabel(QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text::kRecorderTitle), parent);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 1.6);
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

QString CreditsFromFile(const QString& fileText) {
  QStringList lines;
  for (QString line : fileText.split(QLatin1Char('\n'))) {
    if (line.startsWith(QLatin1Char('#'))) continue;
    line.replace(QLatin1String("\\t"), QStringLiteral("\t"));
    line.replace(QLatin1String("\\n"), QStringLiteral("\n"));
    line.replace(QLatin1String("\\r"), QStringLiteral("\r"));
    line.remove(kSeparator);  // the separator never belongs to a credit line
    lines << line;
  }
  return lines.join(kSeparator);
}

QString CreditsText() {
  QFile file(QString::fromUtf8(text::kCreditsResource));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  return CreditsFromFile(QString::fromUtf8(file.readAll()));
}

CAboutDlg::CAboutDlg(const QString& versionText, QWidget* parent)
    : QDialog(parent), credits_(new CCreditScroller(this)) {
  setWindowTitle(QString::fromUtf8(text::kAboutTitle));
  const QIcon icon(QString::fromUtf8(text::kIconResource));
  setWindowIcon(icon);

  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(icon.pixmap(48, 48));
  auto* version = new QLabel(versionText, this);
  version->setObjectName(QStringLiteral("versionText"));
  version->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* heading = new QVBoxLayout;
  heading->addWidget(TitleLabel(this));
  heading->addWidget(version);
  auto* top = new QHBoxLayout;
  top->addWidget(iconLabel);
  top->addLayout(heading, 1);

  credits_->setObjectName(QStringLiteral("credits"));
  credits_->setMinimumSize(420, 240);
  credits_->SetContent(CreditsText(), kSeparator);
  credits_->SetSpeed(CCreditScroller::Speed::Medium);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(credits_, 1);
  layout->addWidget(buttons);
}

void CAboutDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  credits_->StartScrolling();
}

void CAboutDlg::hideEvent(QHideEvent* event) {
  credits_->StopScrolling();
  QDialog::hideEvent(event);
}

}  // namespace vx
