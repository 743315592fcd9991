#include "TreeBuilder.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace twtest {

void WriteFile(const fs::path& file, const std::string& strData) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + file.string());
    out << strData;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void BuildTree(const fs::path& root, const std::string& strSpec) {
    std::istringstream in(strSpec);
    std::string line;
    while (std::getline(in, line)) {
        auto b = line.find_first_not_of(" \t");
        if (b == std::string::npos) continue;
        line = line.substr(b);
        if (line.back() == '/') {
            fs::create_directories(root / line);
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos)
            WriteFile(root / line, line);
        else
            WriteFile(root / line.substr(0, eq), line.substr(eq + 1));
    }
}

std::string ReadTree(const fs::path& root) {
    std::vector<std::string> rows;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const auto rel = fs::relative(it->path(), root).generic_string();
        if (it->is_symlink()) {
            rows.push_back(rel + "@");
        } else if (it->is_directory()) {
            if (fs::is_empty(it->path())) rows.push_back(rel + "/");
        } else if (it->is_regular_file()) {
            rows.push_back(rel + "=" + ReadFile(it->path()));
        }
    }
    std::sort(rows.begin(), rows.end());
    std::string out;
    for (const auto& r : rows) out += r + "\n";
    return out;
}

}  // namespace twtest
