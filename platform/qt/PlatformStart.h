// How the program starts Qt. The platform the user or the session asks for
// is tried first and Qt's offscreen platform after it, so a display that
// cannot be opened (a wrong DISPLAY, "-platform xcb" under cron) runs the
// program headless instead of aborting it. Qt's own messages are held back
// while the platform starts; without a display they are dropped, so that a
// scheduler's mail holds only the program's lines.
#pragma once

#include <string>
#include <vector>

namespace platform::qt {

class PlatformStart {
  public:
    // Takes "-platform <list>" out of the arguments and puts the list, with
    // offscreen last, into QT_QPA_PLATFORM; holds Qt's messages from here on.
    PlatformStart(int argc, char** argv);
    PlatformStart(const PlatformStart&) = delete;
    PlatformStart& operator=(const PlatformStart&) = delete;

    // The arguments for QApplication; they live as long as this object.
    int& Argc() { return mlngArgc; }
    char** Argv() { return mapArgv.data(); }

    // Once QApplication is made: whether Qt runs offscreen. Held messages
    // are then dropped, like every later one; with a display they go on to
    // Qt's own handler.
    bool blnStarted(const std::string& strPlatformName);
    // The line that says a display was asked for and could not be used;
    // empty when there is nothing to say.
    std::string strFallbackNote(const std::string& strAppTitle) const;
    // Whether a display was asked for and Qt runs offscreen instead.
    bool blnFellBack() const { return mblnFellBack; }

  private:
    std::vector<std::string> mastrArgs;
    std::vector<char*> mapArgv;
    int mlngArgc = 0;
    std::string mstrFirst;  // the platform asked for first
    bool mblnFellBack = false;
    std::string mstrWhy;  // what Qt said when the first platform failed
};

}  // namespace platform::qt
