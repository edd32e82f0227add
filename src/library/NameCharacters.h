// The characters that may not appear in the names of cue points and playlists (they would
// upset the SQL conditions and report formulas the names are put into), and their
// replacement.
#pragma once

#include <QString>
#include <string_view>

namespace vx {

inline constexpr std::string_view kForbiddenNameCharacters = "'|![]{}%^&*()=;:<>,.?\\/";
inline constexpr char kNameReplacement = '_';

// The name with each forbidden character replaced by '_'.
QString ReplaceForbiddenNameCharacters(const QString& name);

}  // namespace vx
