// The version and build stamp the recorder shows in its About box and technical report.
#pragma once

#include <QString>

namespace vx {

struct BuildStamp {
  QString version;  // "2.0.0.0"
  QString date;     // the compiler's date text, e.g. "Sep  2 1999"
  QString time;     // the compiler's time text, e.g. "02:34:48"
};

// The stamp of the running program.
BuildStamp ThisBuild();

// "Version %s  [%s - %s]" filled from stamp.
QString VersionText(const BuildStamp& stamp);

}  // namespace vx
