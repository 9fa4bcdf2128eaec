#pragma once
// A small file that several processes read and rewrite: reads see a whole file, and a rewrite
// either replaces it completely or leaves it as it was.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace bolta {

// The file's bytes, or nothing when it is missing or cannot be read.
std::optional<std::string> ReadSharedFile(const std::filesystem::path& file);

// Under an exclusive lock on `file` + ".lock", hands the file's bytes to `edit` and replaces the
// file with the result: through a temporary file beside it, synced and renamed over it, with the
// old file's permission bits. While `file` does not exist, `edit` gets the bytes of `startFrom`
// (when given and readable) or nothing. A symbolic link is followed, not replaced. Returns the
// reason of the first step that failed, with the old file untouched, or no error.
std::error_code RewriteSharedFile(const std::filesystem::path& file,
                                  const std::function<std::string(std::string_view)>& edit,
                                  const std::optional<std::filesystem::path>& startFrom = {});

}  // namespace bolta
