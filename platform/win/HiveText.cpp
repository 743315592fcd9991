#include "HiveText.h"

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace platform::win {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

char chFold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool blnControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

int lngHexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// hex data may go on over several lines, each but the last ending in ",\".
bool blnContinues(std::string_view line) {
    line = Trim(line);
    return line.size() >= 2 && line.substr(line.size() - 2) == ",\\";
}

bool blnStartsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && blnSameName(s.substr(0, prefix.size()), prefix);
}

// A quoted string at the start of s: "..." with \\ and \" escapes. Advances s.
bool blnReadQuoted(std::string_view& s, std::string& out, std::size_t maxChars) {
    if (s.empty() || s.front() != '"') return false;
    out.clear();
    std::size_t i = 1;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') break;
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            out.push_back(s[++i]);
        } else {
            out.push_back(c);
        }
        if (out.size() > maxChars) return false;
    }
    if (i >= s.size()) return false;
    s.remove_prefix(i + 1);
    return true;
}

void AppendQuoted(std::string& out, std::string_view s) {
    out.push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

// A REG_SZ shows as "text" only when that form gives back exactly its bytes:
// one terminating NUL, no other NUL or control character.
bool blnPlainText(const HiveValue& v) {
    if (v.lngType != REG_SZ || v.data.empty() || v.data.back() != '\0') return false;
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i)
        if (blnControl(static_cast<unsigned char>(v.data[i]))) return false;
    return true;
}

bool blnParseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    s = Trim(s);
    if (s.empty()) return true;
    while (true) {
        s = Trim(s);
        if (s.size() < 2) return false;
        const int hi = lngHexDigit(s[0]);
        const int lo = lngHexDigit(s[1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        if (out.size() > kMaxValueBytes) return false;
        s.remove_prefix(2);
        s = Trim(s);
        if (s.empty()) return true;
        if (s.front() != ',') return false;
        s.remove_prefix(1);
    }
}

bool blnParseData(std::string_view s, HiveValue& v, std::string& what) {
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!blnReadQuoted(s, text, kMaxValueBytes) || !Trim(s).empty()) {
            what = "a text value must be one quoted string";
            return false;
        }
        v.lngType = REG_SZ;
        v.data = text + '\0';
        return true;
    }
    if (blnStartsNoCase(s, "dword:")) {
        s.remove_prefix(6);
        if (s.size() != 8) {
            what = "dword: takes 8 hex digits";
            return false;
        }
        uint32_t n = 0;
        for (char c : s) {
            const int d = lngHexDigit(c);
            if (d < 0) {
                what = "dword: takes 8 hex digits";
                return false;
            }
            n = n * 16 + static_cast<uint32_t>(d);
        }
        v.lngType = REG_DWORD;
        v.data.assign(4, '\0');
        for (int i = 0; i < 4; ++i) v.data[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
        return true;
    }
    if (blnStartsNoCase(s, "hex")) {
        s.remove_prefix(3);
        uint32_t type = REG_BINARY;
        if (!s.empty() && s.front() == '(') {
            const auto close = s.find(')');
            if (close == std::string_view::npos || close < 2 || close > 9) {
                what = "hex(type): takes 1 to 8 hex digits";
                return false;
            }
            type = 0;
            for (char c : s.substr(1, close - 1)) {
                const int d = lngHexDigit(c);
                if (d < 0) {
                    what = "hex(type): takes 1 to 8 hex digits";
                    return false;
                }
                type = type * 16 + static_cast<uint32_t>(d);
            }
            s.remove_prefix(close + 1);
        }
        if (s.empty() || s.front() != ':' || !blnParseHexBytes(s.substr(1), v.data)) {
            what = "hex data must be two-digit bytes separated by commas (at most 1 MiB)";
            return false;
        }
        v.lngType = type;
        return true;
    }
    what = "a value is \"text\", dword:, hex: or hex(type):";
    return false;
}

}  // namespace

std::string strFold(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = chFold(c);
    return r;
}

bool blnSameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (chFold(a[i]) != chFold(b[i])) return false;
    return true;
}

bool blnValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxKeyNameChars) return false;
    for (char c : name)
        if (c == '\\' || blnControl(static_cast<unsigned char>(c))) return false;
    return true;
}

bool blnValidValueName(std::string_view name) {
    if (name.size() > kMaxValueNameChars) return false;
    for (char c : name)
        if (blnControl(static_cast<unsigned char>(c))) return false;
    return true;
}

bool blnSplitKeyPath(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    if (path.empty()) return true;
    std::size_t start = 0;
    while (true) {
        const auto end = path.find('\\', start);
        const auto name = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (!blnValidKeyName(name) || names.size() >= kMaxKeyDepth) return false;
        names.emplace_back(name);
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

HiveKey::HiveKey(const HiveKey& other) : strName(other.strName), values(other.values) {
    for (const auto& [folded, sub] : other.subkeys)
        subkeys.emplace(folded, std::make_unique<HiveKey>(*sub));
}

HiveKey& HiveKey::operator=(const HiveKey& other) {
    if (this != &other) *this = HiveKey(other);
    return *this;
}

const HiveValue* HiveKey::FindValue(std::string_view name) const {
    for (const auto& v : values)
        if (blnSameName(v.strName, name)) return &v;
    return nullptr;
}

HiveValue* HiveKey::FindValue(std::string_view name) {
    for (auto& v : values)
        if (blnSameName(v.strName, name)) return &v;
    return nullptr;
}

namespace {

// Calls fn for each name of a path; stops when it returns false.
template <typename F>
bool blnEachName(std::string_view path, F&& fn) {
    std::size_t start = 0;
    while (start < path.size()) {
        auto end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (!fn(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

void Walk(const HiveKey& key, std::string& path,
          const std::function<void(const std::string&, const HiveKey&)>& fn) {
    for (const auto& [folded, sub] : key.subkeys) {
        const std::size_t keep = path.size();
        if (!path.empty()) path += '\\';
        path += sub->strName;
        fn(path, *sub);
        Walk(*sub, path, fn);
        path.resize(keep);
    }
}

std::size_t lngCount(const HiveKey& key) {
    std::size_t n = key.values.size();
    for (const auto& [folded, sub] : key.subkeys) n += 1 + lngCount(*sub);
    return n;
}

}  // namespace

const HiveKey* HiveData::Find(std::string_view path) const {
    const HiveKey* key = &mRoot;
    blnEachName(path, [&](std::string_view name) {
        const auto it = key->subkeys.find(strFold(name));
        key = it == key->subkeys.end() ? nullptr : it->second.get();
        return key != nullptr;
    });
    return key;
}

HiveKey* HiveData::Find(std::string_view path) {
    return const_cast<HiveKey*>(static_cast<const HiveData*>(this)->Find(path));
}

HiveKey& HiveData::Create(std::string_view path) {
    HiveKey* key = &mRoot;
    blnEachName(path, [&](std::string_view name) {
        auto& slot = key->subkeys[strFold(name)];
        if (!slot) {
            slot = std::make_unique<HiveKey>();
            slot->strName = std::string(name);
        }
        key = slot.get();
        return true;
    });
    return *key;
}

bool HiveData::Remove(std::string_view path) {
    const auto slash = path.rfind('\\');
    HiveKey* parent =
        Find(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
    if (path.empty() || !parent) return false;
    const auto it = parent->subkeys.find(
        strFold(slash == std::string_view::npos ? path : path.substr(slash + 1)));
    if (it == parent->subkeys.end() || !it->second->subkeys.empty()) return false;
    parent->subkeys.erase(it);
    return true;
}

std::vector<std::string> HiveData::Subkeys(std::string_view path) const {
    std::vector<std::string> names;
    if (const HiveKey* key = Find(path))
        for (const auto& [folded, sub] : key->subkeys) names.push_back(sub->strName);
    return names;
}

void HiveData::ForEach(const std::function<void(const std::string&, const HiveKey&)>& fn) const {
    std::string path;
    Walk(mRoot, path, fn);
}

std::size_t HiveData::lngEntries() const {
    return lngCount(mRoot);
}

bool blnParseHive(std::string_view text, std::string_view strRootName, HiveData& out,
                  HiveParseError& err) {
    out = HiveData();
    auto fail = [&](int line, std::string what) {
        err.lngLine = line;
        err.strWhat = std::move(what);
        out = HiveData();
        return false;
    };
    if (text.size() > kMaxHiveBytes) return fail(0, "larger than 16 MiB");
    HiveKey* key = nullptr;
    std::size_t entries = 0;
    std::unordered_map<const HiveKey*, std::unordered_set<std::string>> seen;
    bool blnSeenContent = false;
    int lineNo = 0;
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    while (pos < text.size()) {
        ++lineNo;
        const int firstLine = lineNo;
        auto eol = text.find('\n', pos);
        std::string joined(text.substr(pos, eol == std::string_view::npos ? eol : eol - pos));
        pos = eol == std::string_view::npos ? text.size() : eol + 1;
        // hex data may go on over several lines, each but the last ending in '\'.
        while (blnContinues(joined) && pos < text.size()) {
            while (joined.back() != '\\') joined.pop_back();
            joined.pop_back();
            ++lineNo;
            eol = text.find('\n', pos);
            joined += Trim(text.substr(pos, eol == std::string_view::npos ? eol : eol - pos));
            pos = eol == std::string_view::npos ? text.size() : eol + 1;
        }
        const std::string_view line = Trim(joined);
        if (line.empty() || line.front() == ';') continue;
        if (!blnSeenContent) {
            blnSeenContent = true;
            if (line == kHeader || line == kOldHeader) continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') return fail(firstLine, "a key line ends with ']'");
            std::string_view full = line.substr(1, line.size() - 2);
            if (!blnStartsNoCase(full, strRootName))
                return fail(firstLine, "key is not below " + std::string(strRootName));
            full.remove_prefix(strRootName.size());
            if (!full.empty()) {
                if (full.front() != '\\')
                    return fail(firstLine, "key is not below " + std::string(strRootName));
                full.remove_prefix(1);
            }
            std::vector<std::string> names;
            if (!blnSplitKeyPath(full, names))
                return fail(firstLine, "bad key name (empty, over 255 characters, or too deep)");
            const HiveKey* known = &out.Root();
            blnEachName(full, [&](std::string_view name) {
                if (known) {
                    const auto it = known->subkeys.find(strFold(name));
                    known = it == known->subkeys.end() ? nullptr : it->second.get();
                }
                if (!known) ++entries;
                return true;
            });
            if (entries > kMaxHiveEntries)
                return fail(firstLine, "more than 200000 keys and values");
            key = &out.Create(full);
            continue;
        }
        if (!key) return fail(firstLine, "value before the first key");
        std::string_view rest = line;
        HiveValue v;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (!blnReadQuoted(rest, v.strName, kMaxValueNameChars) ||
                   !blnValidValueName(v.strName)) {
            return fail(firstLine, "a value line starts with \"name\" or @");
        }
        rest = Trim(rest);
        if (rest.empty() || rest.front() != '=')
            return fail(firstLine, "'=' missing after the name");
        rest = Trim(rest.substr(1));
        std::string what;
        if (!blnParseData(rest, v, what)) return fail(firstLine, what);
        // A set per key: searching the values for each new one would make a
        // key with many values cost their square.
        if (!seen[key].insert(strFold(v.strName)).second)
            return fail(firstLine, "value given twice in one key");
        if (++entries > kMaxHiveEntries) return fail(firstLine, "more than 200000 keys and values");
        key->values.push_back(std::move(v));
    }
    return true;
}

std::string strFormatKey(std::string_view strFullPath, const std::vector<HiveValue>& values) {
    std::string out;
    out += '[';
    out += strFullPath;
    out += "]\n";
    for (const auto& v : values) {
        if (v.strName.empty()) {
            out += '@';
        } else {
            AppendQuoted(out, v.strName);
        }
        out += '=';
        if (blnPlainText(v)) {
            AppendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
        } else if (v.lngType == REG_DWORD && v.data.size() == 4) {
            uint32_t n = 0;
            for (int i = 3; i >= 0; --i) n = n * 256 + static_cast<unsigned char>(v.data[i]);
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", n);
            out += buf;
        } else {
            char buf[24];
            if (v.lngType == REG_BINARY) {
                out += "hex:";
            } else {
                std::snprintf(buf, sizeof buf, "hex(%x):", v.lngType);
                out += buf;
            }
            for (std::size_t i = 0; i < v.data.size(); ++i) {
                std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x",
                              static_cast<unsigned char>(v.data[i]));
                out += buf;
            }
        }
        out += '\n';
    }
    return out;
}

std::string strFormatHive(const HiveData& hive, std::string_view strRootName, bool* pblnTooLarge) {
    std::string out(kHeader);
    out += "\n";
    bool tooLarge = false;
    if (!hive.Root().values.empty()) out += "\n" + strFormatKey(strRootName, hive.Root().values);
    const std::string prefix = std::string(strRootName) + '\\';
    hive.ForEach([&](const std::string& path, const HiveKey& key) {
        if (tooLarge) return;
        out += '\n';
        out += strFormatKey(prefix + path, key.values);
        tooLarge = out.size() > kMaxHiveBytes;
    });
    if (pblnTooLarge) *pblnTooLarge = tooLarge;
    return tooLarge ? std::string() : out;
}

}  // namespace platform::win
