// The add-on's files: the install folder, the file table and its copy, the
// library's name when an old one is still in place, deletions now and at
// the next restart, the tray agent's start and stop, and the temporary copy
// of the installer that removes the install folder.
#pragma once

#include <functional>
#include <string>

#include "platform/win/FileQueue.h"
#include "platform/win/Registry.h"

namespace notavex::installer {

using platform::win::FileQueueCallback;
using platform::win::Registry;

inline constexpr char kInstallerName[] = "installer";
inline constexpr char kAgentName[] = "NVAgent";
inline constexpr char kLibraryName[] = "notavex.dll";
inline constexpr char kRemovalCopyName[] = "nvInst";
// Beside the removal copy: the folder the uninstall handed over to it.
inline constexpr char kRemovalRecordName[] = "nvInst.folder";
inline constexpr char kAgentClass[] = "Notavex Agent";

// Lets the windows run for a short interval; used between polls.
using Pause = std::function<void()>;
// Does work that may take long (a child program, a message to another
// process) on a thread of its own, pausing until it is done, so the
// windows keep running meanwhile.
void WhileWindowsRun(const std::function<void()>& work, const Pause& pause);

// The program-files folder (made when missing) followed by "Notavex/"; ""
// when it cannot be determined.
std::string strInstallFolder(Registry& registry);
// notavex.dll, or the first free notavex1.dll ... notavex99.dll when it is
// already there; "" when every name is taken.
std::string strPickLibraryName(const std::string& strFolder);

// Queues the file table (riched20.dll only for class 0 and when present)
// and commits it; false when the queue could not be committed.
bool blnCopyAddonFiles(const std::string& strSourceFolder, const std::string& strInstallerFile,
                       const std::string& strFolder, const std::string& strLibrary,
                       int lngSystemClass, FileQueueCallback& callback);
// Calls fn with the name of every entry of the folder that is not a folder.
void ForEachFile(const std::string& strFolder, const std::function<void(const std::string&)>& fn);
// Deletes every file of the folder, then the folder (which stays when it
// still holds anything).
void DeleteFolderFiles(const std::string& strFolder, FileQueueCallback& callback);
// The file goes at the next restart: the pending list on the NT family,
// WININIT.INI's [rename] section on the 9x family.
void DeleteAtRestart(Registry& registry, const std::string& strPath);

void StartAgent(const std::string& strFolder);
// Sends the stop message with a time limit, so a hung agent cannot hold the
// uninstall, and gives the agent a moment to end.
void StopAgent(const Pause& pause);

// The running program's file.
std::string strOwnPath();
// The folder of a path, ending with "/".
std::string strFolderOf(const std::string& strPath);
// Both name the same existing folder.
bool blnSameFolder(const std::string& a, const std::string& b);

// Copies the installer into a private temporary folder with the record of
// strFolder and starts it to remove strFolder; "" when started, else why not.
std::string strStartRemovalCopy(const std::string& strInstaller, const std::string& strFolder);
// The running copy was handed strFolder by an uninstall.
bool blnRemovalHandedOver(const std::string& strOwnFile, const std::string& strFolder);

}  // namespace notavex::installer
