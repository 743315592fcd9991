#include "BenchTree.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kFilesPerFolder = 10;
constexpr uint64_t kFoldersPerGroup = 100;

// xorshift32: fast, and good enough to defeat any compression or dedup.
class Random {
  public:
    explicit Random(uint32_t lngSeed) : mlngState(lngSeed ? lngSeed : 1) {}
    uint32_t Next() {
        mlngState ^= mlngState << 13;
        mlngState ^= mlngState >> 17;
        mlngState ^= mlngState << 5;
        return mlngState;
    }
    void Fill(char* p, std::size_t n) {
        for (std::size_t i = 0; i + 4 <= n; i += 4) {
            const uint32_t v = Next();
            std::memcpy(p + i, &v, 4);
        }
    }

  private:
    uint32_t mlngState;
};

[[noreturn]] void Fail(const std::string& strWhat, const fs::path& path) {
    throw std::runtime_error(strWhat + " " + path.string() + ": " + std::strerror(errno));
}

void WriteBytes(const fs::path& file, const char* data, std::size_t size) {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create", file);
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(fd);
            Fail("cannot write", file);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    close(fd);
}

// One file of 1 to 16 KiB.
void WriteSmallFile(const fs::path& file, Random& rnd, std::vector<char>& buf, TreeStats& stats) {
    const std::size_t size = 1024 + rnd.Next() % (15 * 1024 + 1);
    buf.resize(16 * 1024);
    rnd.Fill(buf.data(), size);
    WriteBytes(file, buf.data(), size);
    ++stats.lngFiles;
    stats.lngBytes += size;
}

}  // namespace

TreeStats BenchTree::BuildSmallFiles(const fs::path& root, uint64_t lngFiles, uint32_t lngSeed) {
    Random rnd(lngSeed);
    std::vector<char> buf;
    TreeStats stats;
    fs::create_directories(root);
    const uint64_t lngLeaves = (lngFiles + kFilesPerFolder - 1) / kFilesPerFolder;
    fs::path group;
    for (uint64_t leaf = 0, made = 0; leaf < lngLeaves; ++leaf) {
        if (leaf % kFoldersPerGroup == 0) {
            group = root / ("group" + std::to_string(leaf / kFoldersPerGroup));
            fs::create_directory(group);
            ++stats.lngFolders;
        }
        const fs::path folder = group / ("folder" + std::to_string(leaf % kFoldersPerGroup));
        fs::create_directory(folder);
        ++stats.lngFolders;
        for (uint64_t k = 0; k < kFilesPerFolder && made < lngFiles; ++k, ++made)
            WriteSmallFile(folder / ("file" + std::to_string(k) + ".dat"), rnd, buf, stats);
    }
    return stats;
}

TreeStats BenchTree::BuildFlatFolder(const fs::path& folder, uint64_t lngFiles, uint32_t lngSeed) {
    Random rnd(lngSeed);
    std::vector<char> buf;
    TreeStats stats;
    fs::create_directories(folder);
    for (uint64_t i = 0; i < lngFiles; ++i)
        WriteSmallFile(folder / ("file" + std::to_string(i) + ".dat"), rnd, buf, stats);
    return stats;
}

TreeStats BenchTree::BuildWideFolder(const fs::path& folder, uint64_t lngFolders,
                                     uint32_t lngSeed) {
    Random rnd(lngSeed);
    std::vector<char> buf(4 * 1024);
    TreeStats stats;
    fs::create_directories(folder);
    for (uint64_t i = 0; i < lngFolders; ++i) {
        const fs::path sub = folder / ("sub" + std::to_string(i));
        fs::create_directory(sub);
        const std::size_t size = 1024 + rnd.Next() % (3 * 1024 + 1);
        rnd.Fill(buf.data(), size);
        WriteBytes(sub / "file.dat", buf.data(), size);
        ++stats.lngFolders;
        ++stats.lngFiles;
        stats.lngBytes += size;
    }
    return stats;
}

void BenchTree::BuildBigFile(const fs::path& file, uint64_t lngBytes, uint32_t lngSeed) {
    Random rnd(lngSeed);
    std::vector<char> buf(1 << 20);
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create", file);
    for (uint64_t done = 0; done < lngBytes;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<uint64_t>(buf.size(), lngBytes - done));
        rnd.Fill(buf.data(), n);
        const ssize_t w = write(fd, buf.data(), n);
        if (w <= 0) {
            close(fd);
            Fail("cannot write", file);
        }
        done += static_cast<uint64_t>(w);
    }
    close(fd);
}

void BenchTree::WriteIncludeFamily(const fs::path& file) {
    const std::string strText = ";Backup type definition file\r\nIncludeFamily\r\n";
    WriteBytes(file, strText.data(), strText.size());
}

TreeStats BenchTree::Count(const fs::path& root) {
    TreeStats stats;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const auto status = it->symlink_status();
        if (fs::is_directory(status)) {
            ++stats.lngFolders;
        } else if (fs::is_regular_file(status)) {
            ++stats.lngFiles;
            stats.lngBytes += it->file_size();
        }
    }
    return stats;
}

void BenchTree::Warm(const fs::path& root) {
    std::vector<char> buf(1 << 20);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (!fs::is_regular_file(it->symlink_status())) continue;
        const int fd = open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        while (read(fd, buf.data(), buf.size()) > 0) {
        }
        close(fd);
    }
}

}  // namespace bench
