// The user's folder for runtime files (the instance lock, the audio servers' sockets).
#pragma once

#include <string>

namespace vx {

// $XDG_RUNTIME_DIR when it is set and writable; otherwise /tmp/velumix-<uid>, which
// MakeRuntimeFolder makes private to the user.
std::string RuntimeFolder();

// Makes sure the runtime folder can be used: nothing to do for $XDG_RUNTIME_DIR (the system
// keeps it private), else MakePrivateFolder. False, with the reason in error, when it cannot.
bool MakeRuntimeFolder(std::string& error);

// Makes folder with mode 0700 unless it exists, then answers whether it is a private folder
// of this user: a real folder (not a link), owned by the user, closed to everyone else. A
// folder in /tmp that someone else made first fails here, so nobody can put a file or a
// link where ours will be. error says what is wrong.
bool MakePrivateFolder(const std::string& folder, std::string& error);

}  // namespace vx
