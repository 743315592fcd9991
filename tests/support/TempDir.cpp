#include "TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace twtest {

TempDir::TempDir() {
    const char* base = std::getenv("TARNWICK_TEST_TMP");
    std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    std::string templ = (root / "tw-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed in " + root.string());
    mPath = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give write permission back so a read-only test folder can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(
             mPath, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(mPath, ec);
}

}  // namespace twtest
