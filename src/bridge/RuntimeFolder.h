#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qm {

// The private folder that holds this user's sockets and the program's lock:
// $XDG_RUNTIME_DIR/quillmark, or <TMPDIR or /tmp>/quillmark-<user id> when XDG_RUNTIME_DIR is unset.
// A missing folder is made with mode 0700. The fallback folder lies in a folder every user can
// write to, so it is used only when it is a real directory (not a symbolic link) owned by this
// user with mode 0700; a folder made by someone else is never changed.
namespace RuntimeFolder {

// Where nothing can be made or reached (a path below a file that is not a folder): what path()
// answers for a folder it refuses, so that no socket or lock of this user ends up elsewhere.
inline const std::filesystem::path Refused{"/dev/null/quillmark"};

// The folder, made when missing; Refused (with the reason written once to the log) when it may
// not be used.
std::filesystem::path path();

// Where the folder is, whether or not it exists.
std::filesystem::path location();

// Why the fallback folder at that path may not be used; nothing when it may.
std::optional<std::string> problemWithFallback(const std::filesystem::path& folder);

} // namespace RuntimeFolder

} // namespace qm
