// Rules of the library's edit fields: text turned into capitals (also text the program puts
// there, as in a capital letters edit box), and a limit on the number of characters. The
// limit counts characters (Unicode code points), not bytes or UTF-16 units, and behaves as a
// classic edit box: a key typed into a full field is refused, and pasted text is cut to what
// still fits. A one-line field keeps a longer text that the program set until it is edited;
// a multi-line field cuts any text to its limit.
#pragma once

class QLineEdit;
class QPlainTextEdit;
class QString;

namespace vx {

struct TextRule {
  bool capitals = false;
  int maxCharacters = 0;  // 0: no limit
};

// Replaces the field's validator when capitals are asked for.
void SetTextRule(QLineEdit& field, TextRule rule);
// Watches the field's changes; the rule lives as long as the field.
void SetTextRule(QPlainTextEdit& field, TextRule rule);

// The number of characters (code points) of a text.
int CharacterCount(const QString& text);
// The first `count` characters of a text (all of it when shorter).
QString LeftCharacters(const QString& text, int count);

}  // namespace vx
