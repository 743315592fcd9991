// Closing the browser's and the file manager's windows before an upgrade or
// an uninstall, asking the user when a window does not go.
#pragma once

#include "annotator/installer/InstallerUi.h"

namespace notavex::installer {

enum class CloseResult { kClosed, kCancelled, kFailed };

// Upgrade mode: the first class whose windows do not close (or a Cancel)
// fails the step. Uninstall mode: only a Cancel at the first question does.
CloseResult CloseBrowserWindows(InstallerUi& ui, bool blnUpgrade, const char* strTitle);

}  // namespace notavex::installer
