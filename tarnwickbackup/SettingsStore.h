// The per-user settings: string values addressed by section and key, in one
// human-readable file, by default $XDG_CONFIG_HOME/TarnwickBackup/settings.ini
// (~/.config/... when unset), or the file TARNWICK_SETTINGS names.
//
// File: "[Section]" lines followed by "Key=Value" lines, in the order they
// were first written. Sections and keys compare without letter case, as
// registry names do, and keep the spelling of their first write. A name or
// value that could not stand as it is (blanks at either end, a line break
// or other control character, a leading quote, and in names "=", "[", "]",
// ";" or "#") is written in double quotes with \\ \" \n \r \t and \xHH
// escapes. Lines that are neither are skipped when read.
//
// Every write reads the file afresh under a lock file and replaces it
// through a temporary file and rename, so the file is never half written
// and two running copies of the program do not lose each other's changes.
// A failure to write is an RtError.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarnwickbackup {

using SettingList = std::vector<std::pair<std::string, std::string>>;

class SettingsStore {
  public:
    explicit SettingsStore(std::filesystem::path file);
    static std::filesystem::path DefaultFilePath();

    std::string GetSetting(const std::string& strSection, const std::string& strKey,
                           const std::string& strDefault) const;
    void SaveSetting(const std::string& strSection, const std::string& strKey,
                     const std::string& strValue);
    // Deleting what is not there does nothing.
    void DeleteSetting(const std::string& strSection, const std::string& strKey);
    void DeleteSection(const std::string& strSection);
    // Every value of the section in file order; empty when there is none.
    SettingList GetAllSettings(const std::string& strSection) const;

    const std::filesystem::path& File() const { return mFile; }

    struct Section {
        std::string strName;
        SettingList entries;
    };
    static std::vector<Section> Parse(const std::string& strText);
    static std::string Format(const std::vector<Section>& aSections);

  private:
    std::vector<Section> Read() const;
    void Write(const std::vector<Section>& aSections) const;
    template <typename Change>
    void Update(Change fnChange);

    std::filesystem::path mFile;
};

}  // namespace tarnwickbackup
