// Builds a tree of folders and files from a compact description and reads
// one back, so a scenario test is a few lines of setup and one comparison.
//
// Description: one entry per line, "path" for a file with contents equal to
// its own path, "path=contents" for given contents, "path/" for a folder.
#pragma once

#include <filesystem>
#include <string>

namespace twtest {

void BuildTree(const std::filesystem::path& root, const std::string& strSpec);

// The tree below root in the same notation, sorted: folders as "path/" only
// when empty, files as "path=contents". Symbolic links appear as "path@".
std::string ReadTree(const std::filesystem::path& root);

void WriteFile(const std::filesystem::path& file, const std::string& strData);
std::string ReadFile(const std::filesystem::path& file);

}  // namespace twtest
