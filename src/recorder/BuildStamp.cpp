#include "recorder/BuildStamp.h"

#include "recorder/RecorderText.h"

namespace vx {

BuildStamp ThisBuild() {
  // VX_VERSION comes from the project's version in CMake; date and time are the
  // compiler's stamps of this file.
  return {QStringLiteral(VX_VERSION), QStringLiteral(__DATE__), QStringLiteral(__TIME__)};
}

QString VersionText(const BuildStamp& stamp) {
  return QString::asprintf(text::kVersionFormat, qUtf8Printable(stamp.version),
                           qUtf8Printable(stamp.date), qUtf8Printable(stamp.time));
}

}  // namespace vx
