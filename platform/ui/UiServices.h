// The user-interface services the engine and the library call on: message
// boxes, input boxes, letting pending window messages run and the busy
// cursor. A program installs the Qt implementation; tests and headless runs
// install the scripted one, so no caller ever depends on a toolkit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {

// Buttons, icon and default button combine into one style value, as VB's
// MsgBox takes them.
inline constexpr int32_t vbOKOnly = 0;
inline constexpr int32_t vbOKCancel = 1;
inline constexpr int32_t vbAbortRetryIgnore = 2;
inline constexpr int32_t vbYesNoCancel = 3;
inline constexpr int32_t vbYesNo = 4;
inline constexpr int32_t vbRetryCancel = 5;
inline constexpr int32_t vbCritical = 16;
inline constexpr int32_t vbQuestion = 32;
inline constexpr int32_t vbExclamation = 48;
inline constexpr int32_t vbInformation = 64;
inline constexpr int32_t vbDefaultButton1 = 0;
inline constexpr int32_t vbDefaultButton2 = 256;
inline constexpr int32_t vbDefaultButton3 = 512;

inline constexpr int32_t kButtonsMask = 0x0F;
inline constexpr int32_t kIconMask = 0xF0;
inline constexpr int32_t kDefaultMask = 0xF00;

// Button results.
inline constexpr int32_t vbOK = 1;
inline constexpr int32_t vbCancel = 2;
inline constexpr int32_t vbAbort = 3;
inline constexpr int32_t vbRetry = 4;
inline constexpr int32_t vbIgnore = 5;
inline constexpr int32_t vbYes = 6;
inline constexpr int32_t vbNo = 7;

// The result of the default button of a style ("Yes" for vbYesNo, "No"
// for vbYesNo + vbDefaultButton2, ...).
int32_t DefaultResult(int32_t lngStyle);

class UiServices {
public:
    virtual ~UiServices() = default;
    // Modal; returns the button pressed.
    virtual int32_t MsgBox(const std::string& strPrompt, int32_t lngStyle,
                           const std::string& strTitle) = 0;
    // Returns the text entered, or "" when cancelled.
    virtual std::string InputBox(const std::string& strPrompt, const std::string& strTitle,
                                 const std::string& strDefault) = 0;
    // Lets pending window messages run (VB's DoEvents).
    virtual void DoEvents() = 0;
    virtual void SetBusyCursor(bool blnBusy) = 0;
};

// The services installed for this process. Before any is installed a
// scripted one answering with default buttons stands in, so a library used
// on its own never blocks.
UiServices& Ui();
// Installs services (null restores the stand-in); returns the previous ones.
std::shared_ptr<UiServices> InstallUi(std::shared_ptr<UiServices> services);

// Shows the busy cursor for a scope, and restores it on every way out.
class BusyCursor {
public:
    BusyCursor() { Ui().SetBusyCursor(true); }
    ~BusyCursor() { Ui().SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace platform::ui
