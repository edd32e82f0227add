// The codec step of the installer: the codec file copied from the medium into the codec
// folder, and its registration in the system-wide settings.
#pragma once

#include <QString>

#include <functional>
#include <string>

namespace vx::installer {

// The folder the codec file goes to: <root>/usr/local/lib/velumix/codecs for root (the
// root follows VELUMIX_SYSTEM_DIR), else $XDG_DATA_HOME/velumix/codecs
// (~/.local/share/velumix/codecs).
std::string CodecFolder(bool systemWide);
// CodecFolder for the user running the program.
std::string CodecFolderForThisUser();

enum class CodecCopy { Equal, Copied, Failed };

// Copies source to folder/l3codecx.acm when the two sizes differ (a missing file counts as
// size 0), after copying the old target to folder/l3codecx.bak. Each copy goes through a
// temporary file renamed over its target, so a missing or unreadable source never empties
// an existing codec file or backup. Failures are answered, not shown.
CodecCopy InstallCodecFile(const std::string& source, const std::string& folder);

// Sets one string value in a key of the system-wide settings; false when the key cannot be
// opened for setting values.
using SetSystemValue =
    std::function<bool(const QString& key, const QString& name, const QString& value)>;

// Registers the codec: the driver entry and its description, each skipped quietly when its
// key cannot be opened.
void RegisterCodec(const SetSystemValue& set);

}  // namespace vx::installer
