#include "platform/ui/TextFields.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

namespace vx {
namespace {

// The UTF-16 index of the character numbered `characters` of text.
int IndexOfCharacter(const QString& text, int characters) {
  int index = 0;
  for (int seen = 0; seen < characters && index < text.size(); ++seen) {
    index += (text.at(index).isHighSurrogate() && index + 1 < text.size()) ? 2 : 1;
  }
  return index;
}

// Capitals of a text, character by character, so that its length never changes.
QString Capitals(const QString& text) {
  QList<uint> characters = text.toUcs4();
  for (uint& character : characters) character = QChar::toUpper(character);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                           characters.size());
}

// Applies a rule to a text into which `inserted` UTF-16 units were just put before `end`:
// capitals throughout the inserted part, and as many of the inserted characters dropped
// (from their end) as the text is over its limit. Answers the new end of the insertion.
int ApplyRule(QString& text, int end, int inserted, const TextRule& rule) {
  end = std::clamp(end, 0, static_cast<int>(text.size()));
  const int start = std::clamp(end - inserted, 0, end);
  QString part = text.mid(start, end - start);
  if (rule.capitals) part = Capitals(part);
  if (rule.maxCharacters > 0) {
    const int others = CharacterCount(text) - CharacterCount(part);
    part = LeftCharacters(part, rule.maxCharacters - others);
  }
  text.replace(start, end - start, part);
  return start + static_cast<int>(part.size());
}

// Capitals as a validator, so that text set by the program reads in capitals too, as in a
// capital letters edit box.
class CapitalsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = Capitals(input);
    return Acceptable;
  }
};

// The limit of a line: applied to what the person types or pastes only, so that a stored
// text longer than the limit is shown and kept whole until it is edited.
class LineLimit : public QObject {
 public:
  LineLimit(int maxCharacters, QLineEdit* field)
      : QObject(field), maxCharacters_(maxCharacters), field_(field), last_(field->text()) {
    // textEdited comes before textChanged, so last_ still holds the text before the edit.
    // The field's own text is read, not the signal's: after a cut the signal still carries
    // the text before the cut.
    connect(field, &QLineEdit::textEdited, this, &LineLimit::OnEdited);
    connect(field, &QLineEdit::textChanged, this, [this] { last_ = field_->text(); });
  }

 private:
  void OnEdited(const QString& text) {
    if (CharacterCount(text) <= maxCharacters_) return;
    const int grown = static_cast<int>(text.size() - last_.size());
    QString cut = text;
    const int cursor = ApplyRule(cut, field_->cursorPosition(), std::max(grown, 0),
                                 {false, maxCharacters_});
    if (cut == text) return;
    field_->setText(cut);
    field_->setCursorPosition(cursor);
  }

  int maxCharacters_;
  QLineEdit* field_;
  QString last_;
};

class PlainTextRule : public QObject {
 public:
  PlainTextRule(TextRule rule, QPlainTextEdit* field) : QObject(field), rule_(rule), field_(field) {
    connect(field->document(), &QTextDocument::contentsChange, this, &PlainTextRule::OnChange);
  }

 private:
  void OnChange(int position, int /*removed*/, int added) {
    if (busy_ || added <= 0) return;
    busy_ = true;
    const QString before = field_->toPlainText();
    QString after = before;
    const int end = std::min(position + added, static_cast<int>(before.size()));
    const int newEnd = ApplyRule(after, end, end - std::min(position, end), rule_);
    if (after != before) {
      const int start = std::min(position, end);
      QTextCursor cursor(field_->document());
      cursor.setPosition(start);
      cursor.setPosition(end, QTextCursor::KeepAnchor);
      cursor.insertText(after.mid(start, newEnd - start));
      field_->setTextCursor(cursor);
    }
    busy_ = false;
  }

  TextRule rule_;
  QPlainTextEdit* field_;
  bool busy_ = false;
};

}  // namespace

int CharacterCount(const QString& text) {
  int count = 0;
  for (int index = 0; index < text.size(); ++count) {
    index += (text.at(index).isHighSurrogate() && index + 1 < text.size()) ? 2 : 1;
  }
  return count;
}

QString LeftCharacters(const QString& text, int count) {
  return text.left(IndexOfCharacter(text, std::max(count, 0)));
}

void SetTextRule(QLineEdit& field, TextRule rule) {
  if (rule.capitals) field.setValidator(new CapitalsValidator(&field));
  if (rule.maxCharacters > 0) new LineLimit(rule.maxCharacters, &field);
}

void SetTextRule(QPlainTextEdit& field, TextRule rule) { new PlainTextRule(rule, &field); }

}  // namespace vx
