#include "SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TWDeclarations.h"
#include "platform/fs/RtError.h"

namespace tarnwickbackup {

namespace {

bool blnSameName(const std::string& a, const std::string& b) {
    return strUCase(a) == strUCase(b);
}

bool blnNeedsQuotes(const std::string& s, bool blnName) {
    if (s.empty()) return blnName;
    if (s.front() == ' ' || s.front() == '\t' || s.back() == ' ' || s.back() == '\t') return true;
    if (s.front() == '"') return true;
    if (blnName && (s.front() == ';' || s.front() == '#' || s.front() == '[')) return true;
    for (const char ch : s) {
        const auto uch = static_cast<unsigned char>(ch);
        if (uch < 0x20 || uch == 0x7F) return true;
        if (blnName && (ch == '=' || ch == ']' || ch == '[')) return true;
    }
    return false;
}

std::string strQuoted(const std::string& s, bool blnName) {
    if (!blnNeedsQuotes(s, blnName)) return s;
    std::string out = "\"";
    for (const char ch : s) {
        const auto uch = static_cast<unsigned char>(ch);
        switch (ch) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (uch < 0x20 || uch == 0x7F) {
                    char buf[5];
                    std::snprintf(buf, sizeof buf, "\\x%02X", uch);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after the
// closing quote. False when the string does not close.
bool blnUnquote(const std::string& line, std::size_t& pos, std::string& out) {
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        const char ch = line[pos];
        if (ch == '"') {
            ++pos;
            return true;
        }
        if (ch != '\\' || pos + 1 >= line.size()) {
            out += ch;
            continue;
        }
        const char esc = line[++pos];
        switch (esc) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                const int hi = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
                const int lo = pos + 2 < line.size() ? HexDigit(line[pos + 2]) : -1;
                if (hi < 0 || lo < 0) return false;
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default:
                out += esc;
        }
    }
    return false;
}

std::string strTrimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A name (section or key) that ends at chEnd; pos ends on chEnd.
bool blnReadName(const std::string& line, std::size_t& pos, char chEnd, std::string& out) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos < line.size() && line[pos] == '"') {
        if (!blnUnquote(line, pos, out)) return false;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        return pos < line.size() && line[pos] == chEnd;
    }
    const auto end = line.find(chEnd, pos);
    if (end == std::string::npos) return false;
    out = strTrimmed(line.substr(pos, end - pos));
    pos = end;
    return !out.empty();
}

SettingList::iterator FindKey(SettingList& entries, const std::string& strKey) {
    return std::find_if(entries.begin(), entries.end(),
                        [&](const auto& e) { return blnSameName(e.first, strKey); });
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : mFile(std::move(file)) {}

std::filesystem::path SettingsStore::DefaultFilePath() {
    if (const char* env = std::getenv("TARNWICK_SETTINGS"); env && *env) return env;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/") / ".config";
    }
    return base / "TarnwickBackup" / "settings.ini";
}

std::vector<SettingsStore::Section> SettingsStore::Parse(const std::string& strText) {
    std::vector<Section> aSections;
    std::size_t current = 0;  // 1-based index of the section being read, 0 for none
    std::istringstream in(strText);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = strTrimmed(line);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
        std::size_t pos = line.find_first_not_of(" \t");
        std::string strName;
        if (line[pos] == '[') {
            ++pos;
            current = 0;
            if (!blnReadName(line, pos, ']', strName)) continue;
            auto it = std::find_if(aSections.begin(), aSections.end(), [&](const Section& s) {
                return blnSameName(s.strName, strName);
            });
            // A section given twice collects the keys of both.
            if (it == aSections.end()) it = aSections.insert(it, Section{strName, {}});
            current = static_cast<std::size_t>(it - aSections.begin()) + 1;
            continue;
        }
        if (!current || !blnReadName(line, pos, '=', strName)) continue;
        ++pos;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        std::string strValue;
        std::size_t end = pos;
        const bool blnQuoted = pos < line.size() && line[pos] == '"' &&
                               blnUnquote(line, end, strValue) &&
                               strTrimmed(line.substr(end)).empty();
        if (!blnQuoted) strValue = strTrimmed(line.substr(pos));
        SettingList& entries = aSections[current - 1].entries;
        auto it = FindKey(entries, strName);
        if (it == entries.end())
            entries.emplace_back(strName, strValue);
        else
            it->second = strValue;
    }
    return aSections;
}

std::string SettingsStore::Format(const std::vector<Section>& aSections) {
    std::string out = std::string("; ") + gstrAPP_NAME + " settings\n";
    for (const Section& section : aSections) {
        if (section.entries.empty()) continue;
        out += "\n[" + strQuoted(section.strName, true) + "]\n";
        for (const auto& [strKey, strValue] : section.entries)
            out += strQuoted(strKey, true) + "=" + strQuoted(strValue, false) + "\n";
    }
    return out;
}

std::vector<SettingsStore::Section> SettingsStore::Read() const {
    std::ifstream in(mFile, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

void SettingsStore::Write(const std::vector<Section>& aSections) const {
    const std::string strData = Format(aSections);
    const std::string strTemp = mFile.string() + ".tmp-" + std::to_string(getpid());
    const int fd = open(strTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) throw platform::RtError::FromErrno(errno);
    std::size_t done = 0;
    int err = 0;
    while (done < strData.size()) {
        const ssize_t n = write(fd, strData.data() + done, strData.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!err && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && rename(strTemp.c_str(), mFile.c_str()) != 0) err = errno;
    if (err) {
        unlink(strTemp.c_str());
        throw platform::RtError::FromErrno(err);
    }
}

template <typename Change>
void SettingsStore::Update(Change fnChange) {
    std::error_code ec;
    std::filesystem::create_directories(mFile.parent_path(), ec);
    const std::string strLock = mFile.string() + ".lock";
    const int lockFd = open(strLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) throw platform::RtError::FromErrno(errno);
    while (flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    try {
        std::vector<Section> aSections = Read();
        if (fnChange(aSections)) Write(aSections);
    } catch (...) {
        close(lockFd);
        throw;
    }
    close(lockFd);
}

std::string SettingsStore::GetSetting(const std::string& strSection, const std::string& strKey,
                                      const std::string& strDefault) const {
    for (auto& [strName, strValue] : GetAllSettings(strSection))
        if (blnSameName(strName, strKey)) return strValue;
    return strDefault;
}

SettingList SettingsStore::GetAllSettings(const std::string& strSection) const {
    for (Section& section : Read())
        if (blnSameName(section.strName, strSection)) return std::move(section.entries);
    return {};
}

void SettingsStore::SaveSetting(const std::string& strSection, const std::string& strKey,
                                const std::string& strValue) {
    Update([&](std::vector<Section>& aSections) {
        auto it = std::find_if(aSections.begin(), aSections.end(), [&](const Section& s) {
            return blnSameName(s.strName, strSection);
        });
        if (it == aSections.end()) it = aSections.insert(aSections.end(), {strSection, {}});
        auto entry = FindKey(it->entries, strKey);
        if (entry == it->entries.end())
            it->entries.emplace_back(strKey, strValue);
        else
            entry->second = strValue;
        return true;
    });
}

void SettingsStore::DeleteSetting(const std::string& strSection, const std::string& strKey) {
    Update([&](std::vector<Section>& aSections) {
        for (Section& section : aSections) {
            if (!blnSameName(section.strName, strSection)) continue;
            auto entry = FindKey(section.entries, strKey);
            if (entry == section.entries.end()) return false;
            section.entries.erase(entry);
            return true;
        }
        return false;
    });
}

void SettingsStore::DeleteSection(const std::string& strSection) {
    Update([&](std::vector<Section>& aSections) {
        const auto before = aSections.size();
        std::erase_if(aSections,
                      [&](const Section& s) { return blnSameName(s.strName, strSection); });
        return aSections.size() != before;
    });
}

}  // namespace tarnwickbackup
