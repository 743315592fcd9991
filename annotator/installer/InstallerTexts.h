// The installer's fixed texts: captions, boxes, status lines, the licence
// and the addresses left to this product.
#pragma once

namespace notavex::installer::texts {

inline constexpr char kInstallTitle[] = "Installing Notavex";
inline constexpr char kUninstallTitle[] = "Uninstalling Notavex";
inline constexpr char kInstallerTitle[] = "Notavex Installer";
inline constexpr char kAlertTitle[] = "Notavex Installer - Alert";
inline constexpr char kBrowserVersionTitle[] = "Notavex for Internet Explorer 6";

inline constexpr char kClosingWindows[] = "Closing Explorer Windows...";
inline constexpr char kRemovingPrevious[] = "Removing previous Notavex...";
inline constexpr char kInstallingNew[] = "Installing new Notavex...";
inline constexpr char kPreparingSettings[] = "Preparing settings...";
inline constexpr char kSuccess[] = "Success!";

inline constexpr char kRefusal[] =
    "The Notavex installer cannot be run from Windows Explorer.  To uninstall, go to "
    "'Add/Remove Programs' from the Control Panel.";
inline constexpr char kSystemNotSupported[] =
    "Your Operating System is not supported.  To Install Nota-Vex you must have Windows 95, 98, "
    "2000, ME, XP, or NT4";
inline constexpr char kOldBrowser[] =
    "The installer cannot find a compatible version of Internet Explorer.  Nota-Vex requires "
    "Internet Explorer 5.0 or higher.  Please direct your browser to";
inline constexpr char kFreeUpgrade[] = " for a free upgrade";
inline constexpr char kBrowserUpgradePage[] = "http://www.microsoft.com/windows/ie/";
inline constexpr char kBrowserVersionText[] =
    "To install Notavex for the Internet Explorer 6 beta, please click the Go To Notavex button "
    "below or visit";
// String 1007: the product's web page.
inline constexpr char kProductPage[] = "http://www.notavex.com/ie6/";
// String 5: the product's server, unless NVServerName names another.
inline constexpr char kDefaultServer[] = "www.notavex.com";

inline constexpr char kCloseBeforeUpgrade[] =
    "Before upgrading, Notavex must close all of your open folders and Internet Explorer "
    "windows.\nClick OK to continue. If you choose Cancel, the installer will close.";
inline constexpr char kCloseBeforeUninstall[] =
    "Before uninstalling, Notavex must close all of your open folders and Internet Explorer "
    "windows. Click OK to continue.";
inline constexpr char kUnableToClose[] =
    "Notavex was unable to close a window. Please close all open folders and Internet Explorer "
    "windows, and press OK to continue.";

inline constexpr char kLicenceIntro[] =
    "Please read the following License Agreement.  Use the scroll bar to view the rest of the "
    "agreement.";
inline constexpr char kLicenceQuestion[] =
    "Do you accept all the terms of the preceeding License Agreement?  If you choose Cancel, "
    "the installer will close.  To Install Notavex Visual Markup, you must accept this "
    "agreement.";
// The agreement itself (InstallerTexts.cpp).
extern const char* const kLicenceText;

}  // namespace notavex::installer::texts
