#include "player/CPreferencesDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "library/CSongRecordset.h"
#include "platform/ui/UserInteraction.h"
#include "player/CColorButton.h"
#include "player/MeterDelayRing.h"
#include "player/PlayerGuard.h"
#include "player/PlayerText.h"

namespace vx::player {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

CPreferencesDlg::CPreferencesDlg(const PlayerPreferences& current, dao::DaoDatabase& db,
                                 SongChooser chooseSong, QWidget* parent)
    : QDialog(parent), db_(db), chooseSong_(std::move(chooseSong)), choices_(current) {
  setWindowTitle(Text(text::kPreferencesTitle));
  auto* layout = new QVBoxLayout(this);

  auto* colorBox = new QGroupBox(Text(text::kColorScheme), this);
  auto* colorLayout = new QHBoxLayout(colorBox);
  schemes_ = new QComboBox(colorBox);
  schemes_->setObjectName(QStringLiteral("schemeList"));
  schemes_->addItems(
      {Text(text::kSchemeNight), Text(text::kSchemeDay), Text(text::kSchemeOutdoors)});
  schemes_->setCurrentIndex(0);
  colorLayout->addWidget(schemes_);
  const std::array<const char*, 4> captions{text::kColorBack, text::kColorText, text::kColorHigh,
                                            text::kColorLabel};
  for (int i = 0; i < 4; ++i) {
    colorButtons_[i] = new CColorButton(Text(captions[i]), ColorOf(i), colorBox);
    colorButtons_[i]->setObjectName(Text(captions[i]));
    colorButtons_[i]->setMinimumSize(64, 32);
    colorLayout->addWidget(colorButtons_[i]);
    connect(colorButtons_[i], &QPushButton::clicked, this, [this, i] { OnColorButton(i); });
  }
  connect(schemes_, qOverload<int>(&QComboBox::activated), this, &CPreferencesDlg::OnSchemeChosen);
  layout->addWidget(colorBox);

  auto* delayLine = new QHBoxLayout;
  auto* delayLabel = new QLabel(Text(text::kSoundCardDelay), this);
  delay_ = new QSpinBox(this);
  delay_->setObjectName(QStringLiteral("delay"));
  delay_->setRange(0, MeterDelayRing::kMaxDelay);
  delay_->setValue(MeterDelayRing::ClampDelay(current.meterDelay));
  delayLabel->setBuddy(delay_);
  delayLine->addWidget(delayLabel);
  delayLine->addWidget(delay_);
  delayLine->addStretch();
  layout->addLayout(delayLine);

  auto* hotBox = new QGroupBox(Text(text::kHotList), this);
  auto* hotLayout = new QGridLayout(hotBox);
  for (int line = 0; line < 5; ++line) {
    hotNames_[line] = new QLabel(hotBox);
    hotNames_[line]->setObjectName(QStringLiteral("hot%1").arg(line + 1));
    hotNames_[line]->setMinimumWidth(260);
    auto* set = new QPushButton(Text(text::kHotSet), hotBox);
    set->setObjectName(QStringLiteral("set%1").arg(line + 1));
    auto* clear = new QPushButton(Text(text::kHotClear), hotBox);
    clear->setObjectName(QStringLiteral("clear%1").arg(line + 1));
    hotLayout->addWidget(new QLabel(QString::number(line + 1), hotBox), line, 0);
    hotLayout->addWidget(hotNames_[line], line, 1);
    hotLayout->addWidget(set, line, 2);
    hotLayout->addWidget(clear, line, 3);
    connect(set, &QPushButton::clicked, this, [this, line] { OnSetHot(line); });
    connect(clear, &QPushButton::clicked, this, [this, line] { OnClearHot(line); });
    ShowHotLine(line);
  }
  layout->addWidget(hotBox);

  auto* outputBox = new QGroupBox(Text(text::kOutputsGroup), this);
  auto* outputLayout = new QGridLayout(outputBox);
  const std::array<const char*, 2> deckCaptions{text::kDeck1Output, text::kDeck2Output};
  for (int deck = 0; deck < 2; ++deck) {
    auto* label = new QLabel(Text(deckCaptions[deck]), outputBox);
    outputs_[deck] = new QComboBox(outputBox);
    outputs_[deck]->setObjectName(QStringLiteral("output%1").arg(deck + 1));
    outputs_[deck]->addItem(Text(text::kAutomaticOutput));
    outputs_[deck]->addItems(current.outputNames);
    // A chosen output that is not there now (unplugged) stays chosen.
    const QString& chosen = current.deckOutputs[deck];
    if (!chosen.isEmpty() && outputs_[deck]->findText(chosen) < 0) outputs_[deck]->addItem(chosen);
    outputs_[deck]->setCurrentIndex(chosen.isEmpty() ? 0 : outputs_[deck]->findText(chosen));
    label->setBuddy(outputs_[deck]);
    outputLayout->addWidget(label, deck, 0);
    outputLayout->addWidget(outputs_[deck], deck, 1);
  }
  outputLayout->setColumnStretch(1, 1);
  layout->addWidget(outputBox);

  auto* pitchLine = new QHBoxLayout;
  auto* pitchLabel = new QLabel(Text(text::kPitchQuality), this);
  pitchQuality_ = new QComboBox(this);
  pitchQuality_->setObjectName(QStringLiteral("pitchQuality"));
  pitchQuality_->addItems(
      {Text(text::kPitchClassic), Text(text::kPitchSmooth), Text(text::kPitchKeyLock)});
  pitchQuality_->setCurrentIndex(static_cast<int>(current.pitchQuality));
  pitchLabel->setBuddy(pitchQuality_);
  pitchLine->addWidget(pitchLabel);
  pitchLine->addWidget(pitchQuality_);
  pitchLine->addStretch();
  layout->addLayout(pitchLine);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDlg::OnOK);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QColor& CPreferencesDlg::ColorOf(int which) {
  switch (which) {
    case 0:
      return choices_.colors.background;
    case 1:
      return choices_.colors.text;
    case 2:
      return choices_.colors.highlight;
    default:
      return choices_.colors.label;
  }
}

void CPreferencesDlg::OnSchemeChosen(int scheme) {
  choices_.colors = SchemeColors(static_cast<ColorScheme>(std::clamp(scheme, 0, 2)));
  for (int i = 0; i < 4; ++i) colorButtons_[i]->SetColor(ColorOf(i));
}

void CPreferencesDlg::OnColorButton(int which) {
  if (const auto chosen = Ui().ChooseColor(ColorOf(which)); chosen && chosen->isValid()) {
    ColorOf(which) = *chosen;
    colorButtons_[which]->SetColor(*chosen);
  }
}

void CPreferencesDlg::OnSetHot(int line) {
  if (!chooseSong_) return;
  GuardPlayerOperation([&] {
    if (const auto songId = chooseSong_()) {
      choices_.hotList[line] = *songId;
      ShowHotLine(line);
    }
  });
}

void CPreferencesDlg::OnClearHot(int line) {
  choices_.hotList[line] = 0;
  ShowHotLine(line);
}

void CPreferencesDlg::ShowHotLine(int line) {
  QString name = Text(text::kHotEmpty);
  if (choices_.hotList[line] > 0) {
    GuardPlayerOperation([&] {
      CSongRecordset song(db_);
      song.SetFilter("SongID = " + std::to_string(choices_.hotList[line]));
      song.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
      if (!song.IsEOF()) name = QString::fromStdString(song.SongName);
    });
  }
  hotNames_[line]->setText(name);
}

void CPreferencesDlg::OnOK() {
  choices_.meterDelay = delay_->value();
  for (int deck = 0; deck < 2; ++deck) {
    choices_.deckOutputs[deck] =
        outputs_[deck]->currentIndex() == 0 ? QString() : outputs_[deck]->currentText();
  }
  choices_.pitchQuality = PitchQualityFromNumber(pitchQuality_->currentIndex());
  accept();
}

}  // namespace vx::player
