#include "platform/fs/DriveTable.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/fs/FileSystem.h"
#include "platform/fs/MountTable.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    return s;
}

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// Reads one drive table; every complaint names the file and the line.
class TableParser {
  public:
    explicit TableParser(std::string strSource) : mstrSource(std::move(strSource)) {}

    DriveTable Run(const std::string& strText) {
        std::istringstream in(strText);
        std::string line;
        while (std::getline(in, line)) {
            ++mlngLine;
            ParseLine(Trim(line));
        }
        CloseSection();
        std::sort(mtable.drives.begin(), mtable.drives.end(),
                  [](const DriveSpec& a, const DriveSpec& b) { return a.chLetter < b.chLetter; });
        return mtable;
    }

  private:
    [[noreturn]] void Fail(long lngLine, const std::string& strWhat) const {
        throw RtError(rt::kInvalidCall, "Drive table " + mstrSource + ", line " +
                                            std::to_string(lngLine) + ": " + strWhat);
    }

    void ParseLine(const std::string& line) {
        if (line.empty() || line[0] == ';' || line[0] == '#') return;
        if (line[0] == '[') return OpenSection(line);
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            Fail(mlngLine, "expected [Letter] or Key=Value, not \"" + line + "\"");
        if (!mblnInSection)
            Fail(mlngLine, "\"" + line + "\" comes before the first [Letter] section");
        SetKey(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }

    void OpenSection(const std::string& line) {
        CloseSection();
        if (line.back() != ']') Fail(mlngLine, "section header \"" + line + "\" lacks its ']'");
        std::string name = Trim(line.substr(1, line.size() - 2));
        if (name.size() == 2 && name[1] == ':') name.pop_back();
        const char ch = name.size() == 1 ? static_cast<char>(std::toupper(name[0])) : '\0';
        if (ch < 'A' || ch > 'Z') Fail(mlngLine, "\"" + name + "\" is not a drive letter (A to Z)");
        for (const DriveSpec& d : mtable.drives)
            if (d.chLetter == ch) Fail(mlngLine, std::string("drive ") + ch + " appears twice");
        mcurrent = DriveSpec{};
        mcurrent.chLetter = ch;
        mblnInSection = true;
        mblnHasPath = false;
        mlngSectionLine = mlngLine;
        mseenKeys.clear();
    }

    void CloseSection() {
        if (!mblnInSection) return;
        if (!mblnHasPath)
            Fail(mlngSectionLine, std::string("section [") + mcurrent.chLetter + "] has no Path");
        mtable.drives.push_back(mcurrent);
        mblnInSection = false;
    }

    uint64_t Number(const std::string& strKey, const std::string& strValue, uint64_t max) const {
        const bool blnDigits = !strValue.empty() && strValue.size() <= 19 &&
                               strValue.find_first_not_of("0123456789") == std::string::npos;
        if (!blnDigits || std::stoull(strValue) > max)
            Fail(mlngLine, "\"" + strKey + "\" must be a whole number from 0 to " +
                               std::to_string(max) + ", not \"" + strValue + "\"");
        return std::stoull(strValue);
    }

    void SetKey(const std::string& strKey, const std::string& strValue) {
        const std::string key = Lower(strKey);
        if (std::find(mseenKeys.begin(), mseenKeys.end(), key) != mseenKeys.end())
            Fail(mlngLine, "\"" + strKey + "\" is given twice for this drive");
        mseenKeys.push_back(key);
        if (key == "path") {
            std::string p = strValue;
            if (p == "~" || p.rfind("~/", 0) == 0) p = HomeFolder().string() + p.substr(1);
            if (p.empty() || p[0] != '/')
                Fail(mlngLine, "Path must be an absolute folder, not \"" + strValue + "\"");
            mcurrent.hostPath = p;
            mblnHasPath = true;
        } else if (key == "type") {
            mcurrent.lngType = static_cast<int32_t>(Number(strKey, strValue, 5));
        } else if (key == "volume") {
            mcurrent.strVolumeName = strValue;
        } else if (key == "share") {
            mcurrent.strShareName = strValue;
        } else if (key == "capacity") {
            mcurrent.capacity = Number(strKey, strValue, UINT64_MAX / 2);
        } else if (key == "readonly") {
            mcurrent.blnReadOnly = Number(strKey, strValue, 1) == 1;
        } else {
            Fail(mlngLine, "unknown key \"" + strKey +
                               "\" (known: Path, Type, Volume, Share, Capacity, ReadOnly)");
        }
    }

    std::string mstrSource;
    DriveTable mtable;
    DriveSpec mcurrent;
    bool mblnInSection = false;
    bool mblnHasPath = false;
    long mlngLine = 0;
    long mlngSectionLine = 0;
    std::vector<std::string> mseenKeys;
};

}  // namespace

DriveTable DriveTable::Parse(const std::string& strText, const std::string& strSourceName) {
    return TableParser(strSourceName).Run(strText);
}

DriveTable DriveTable::Load(const std::filesystem::path& file) {
    const auto Fail = [&](int err) {
        const RtError e = RtError::FromErrno(err);
        throw RtError(e.Number(), "Drive table " + file.string() + ": " + e.Description());
    };
    // A folder opens like a file and reads as nothing: an empty table.
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) Fail(EISDIR);
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail(errno);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) Fail(EIO);
    return Parse(text.str(), file.string());
}

DriveTable DriveTable::FromMounts(const std::string& strMounts, const std::filesystem::path& home) {
    DriveTable table;
    DriveSpec c;
    c.chLetter = 'C';
    c.hostPath = home;
    c.lngType = kDriveFixed;
    table.drives.push_back(c);
    char chNext = 'D';
    for (DriveSpec driveSpec : MountTable::MediaDrives(strMounts)) {
        if (chNext > 'Z') break;
        driveSpec.chLetter = chNext++;
        table.drives.push_back(driveSpec);
    }
    return table;
}

DriveTable DriveTable::Default() {
    std::ifstream in("/proc/self/mounts");
    std::ostringstream text;
    if (in) text << in.rdbuf();
    return FromMounts(text.str(), HomeFolder());
}

std::filesystem::path DriveTable::DefaultFilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path config =
        xdg && *xdg == '/' ? std::filesystem::path(xdg) : HomeFolder() / ".config";
    return config / "TarnwickBackup" / "drives.ini";
}

DriveTable DriveTable::FromEnvironment() {
    if (const char* env = std::getenv("TARNWICK_DRIVES"); env && *env) return Load(env);
    const std::filesystem::path file = DefaultFilePath();
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) return Load(file);
    return Default();
}

}  // namespace platform::fs
