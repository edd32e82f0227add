#include "library/NameCharacters.h"

namespace vx {

QString ReplaceForbiddenNameCharacters(const QString& name) {
  QString replaced = name;
  for (QChar& c : replaced) {
    if (c.unicode() < 0x80 &&
        kForbiddenNameCharacters.find(static_cast<char>(c.unicode())) != std::string_view::npos) {
      c = QLatin1Char(kNameReplacement);
    }
  }
  return replaced;
}

}  // namespace vx
