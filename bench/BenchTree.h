// The trees the benchmark works on: many small files in many folders, or one
// big file. Contents are pseudo-random so no layer can take a shortcut, and
// the same seed gives the same tree.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace bench {

struct TreeStats {
    uint64_t lngFiles = 0;
    uint64_t lngFolders = 0;
    uint64_t lngBytes = 0;  // file contents only
};

class BenchTree {
  public:
    // lngFiles files of 1 to 16 KiB, 10 to a folder, in folders of 100
    // folders each: 20,000 files make 2,000 leaf folders below 20 others.
    static TreeStats BuildSmallFiles(const std::filesystem::path& root, uint64_t lngFiles,
                                     uint32_t lngSeed);
    // One folder with lngFolders subfolders, one small file in each.
    static TreeStats BuildWideFolder(const std::filesystem::path& folder, uint64_t lngFolders,
                                     uint32_t lngSeed);
    // One folder holding lngFiles files of 1 to 16 KiB and nothing else.
    static TreeStats BuildFlatFolder(const std::filesystem::path& folder, uint64_t lngFiles,
                                     uint32_t lngSeed);
    static void BuildBigFile(const std::filesystem::path& file, uint64_t lngBytes,
                             uint32_t lngSeed);
    // The instruction file that makes a folder and all below it part of a type.
    static void WriteIncludeFamily(const std::filesystem::path& file);

    // Walks without following links.
    static TreeStats Count(const std::filesystem::path& root);
    // Reads every file once, so both tools start from the same warm cache.
    static void Warm(const std::filesystem::path& root);
};

}  // namespace bench
