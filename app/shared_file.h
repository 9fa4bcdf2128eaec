#pragma once
// A small file that several processes read and rewrite: reads see a whole file, and a rewrite
// either replaces it completely or leaves it as it was.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace bolta {

// The file's bytes, or nothing when it is missing or cannot be read.
std::optional<std::string> ReadSharedFile(const std::filesystem::path& file);

// Under an exclusive lock on `file` + ".lock", hands the file's bytes (empty when it does not
// exist yet) to `edit` and replaces the file with the result: through a temporary file beside
// it, synced and renamed over it, with the old file's permission bits. A symbolic link is
// followed, not replaced. Returns false, with the old file untouched, when any step fails.
bool RewriteSharedFile(const std::filesystem::path& file,
                       const std::function<std::string(std::string_view)>& edit);

}  // namespace bolta
