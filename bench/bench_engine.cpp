// Speed and memory of the backup engine against the system's own tools, on
// trees built for the purpose in a temporary folder. Each of our runs and
// each reference run starts with the same warm source and an empty, synced
// destination; the figure is our median wall time over the reference's.
//
// The last line is the summary:
//   backup_vs_cp=<r> space_vs_du=<r> bigfile_vs_cp=<r> peak_rss_mib=<n>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "BenchClock.h"
#include "BenchTree.h"
#include "EngineSession.h"
#include "platform/ui/ScriptedUi.h"

namespace fs = std::filesystem;
using bench::BenchClock;
using bench::BenchTree;
using bench::EngineSession;
using bench::TreeStats;

namespace {

struct Options {
    uint64_t lngFiles = 20000;
    uint64_t lngFewFiles = 2000;
    uint64_t lngBigMiB = 1024;
    uint64_t lngWide = 5000;
    uint64_t lngFlat = 20000;
    int lngReps = 3;
    int lngQuietSeconds = 360;
    fs::path dir;
    bool blnKeep = false;
    bool blnRestoreOnly = false;
};

void Usage() {
    std::cerr << "usage: bench_engine [--files N] [--few-files N] [--big-mib N] [--wide N]\n"
                 "                    [--flat N] [--reps N] [--dir FOLDER] [--keep]\n"
                 "                    [--quiet SECONDS] [--restore-only]\n"
                 "Builds its trees in a new folder below FOLDER (default $TMPDIR or /tmp),\n"
                 "times the engine against cp -a, du -sb and cp, and removes the trees.\n";
}

Options ParseOptions(int argc, char** argv) {
    Options opt;
    const char* tmp = std::getenv("TMPDIR");
    opt.dir = tmp && *tmp ? tmp : "/tmp";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--files")
            opt.lngFiles = std::stoull(value());
        else if (arg == "--few-files")
            opt.lngFewFiles = std::stoull(value());
        else if (arg == "--big-mib")
            opt.lngBigMiB = std::stoull(value());
        else if (arg == "--wide")
            opt.lngWide = std::stoull(value());
        else if (arg == "--flat")
            opt.lngFlat = std::stoull(value());
        else if (arg == "--restore-only")
            opt.blnRestoreOnly = true;
        else if (arg == "--reps")
            opt.lngReps = std::stoi(value());
        else if (arg == "--quiet")
            opt.lngQuietSeconds = std::stoi(value());
        else if (arg == "--dir")
            opt.dir = value();
        else if (arg == "--keep")
            opt.blnKeep = true;
        else
            throw std::invalid_argument("unknown option " + arg);
    }
    if (opt.lngReps < 1 || opt.lngFiles < 1 || opt.lngFewFiles < 1 || opt.lngFlat < 1)
        throw std::invalid_argument("counts must be positive");
    return opt;
}

// ext4 passes over inodes freed less than one to six minutes ago when it
// allocates new ones, reading each one's table block, so creating files soon
// after a large delete can take ten times as long. The cleanup of a run
// leaves its time behind, and the next run waits until that time is over
// before it times anything (65 s were measured not to be enough).
const char* const kCleanupStamp = ".bench_engine-cleanup";

void WaitForQuietDisk(const fs::path& dir, int lngQuietSeconds) {
    std::error_code ec;
    const auto stamp = fs::last_write_time(dir / kCleanupStamp, ec);
    if (ec) return;
    const auto age =
        std::chrono::duration_cast<std::chrono::seconds>(fs::file_time_type::clock::now() - stamp);
    if (age.count() >= lngQuietSeconds || age.count() < 0) return;
    const long lngWait = lngQuietSeconds - age.count();
    std::cout << "waiting " << lngWait << " s: the last run's cleanup freed many inodes\n"
              << std::flush;
    std::this_thread::sleep_for(std::chrono::seconds(lngWait));
}

void CleanUp(const fs::path& work, const fs::path& dir) {
    fs::remove_all(work);
    sync();
    const int fd =
        open((dir / kCleanupStamp).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) close(fd);
}

fs::path MakeWorkFolder(const fs::path& parent) {
    fs::create_directories(parent);
    std::string strTemplate = (parent / "tarnwick-bench-XXXXXX").string();
    if (!mkdtemp(strTemplate.data()))
        throw std::runtime_error("mkdtemp failed in " + parent.string());
    return strTemplate;
}

// Writeback of one run must not land in the next one's time.
void Settle() {
    sync();
}

void CheckSame(const TreeStats& want, const fs::path& got, const std::string& strWhat) {
    const TreeStats have = BenchTree::Count(got);
    if (have.lngFiles != want.lngFiles || have.lngBytes != want.lngBytes)
        throw std::runtime_error(strWhat + ": " + std::to_string(have.lngFiles) + " files, " +
                                 std::to_string(have.lngBytes) + " bytes; expected " +
                                 std::to_string(want.lngFiles) + " files, " +
                                 std::to_string(want.lngBytes) + " bytes");
}

void RunReference(const std::vector<std::string>& colArgs, std::vector<double>& colTimes) {
    const bench::ChildResult r = BenchClock::Run(colArgs);
    if (r.lngExitCode != 0) throw std::runtime_error(colArgs[0] + " failed");
    colTimes.push_back(r.dblSeconds);
}

std::string strTimes(const std::vector<double>& colTimes) {
    std::string s;
    for (double t : colTimes) {
        if (!s.empty()) s += ' ';
        s += BenchClock::Format(t, 3);
    }
    return s;
}

// --- peak memory: the engine alone, in a fresh process ---------------------

// Also the way to profile one kind of run alone (perf, strace -c):
//   bench_engine --engine-child SRC DEST [backup|space|restore|restore-replace]
// (a restore goes into DEST/T).
int EngineChild(const fs::path& source, const fs::path& dest, const std::string& strWhich) {
    try {
        platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>(std::cerr));
        EngineSession session(source, dest);
        if (strWhich.rfind("restore", 0) == 0) {
            session.Restore("T", strWhich == "restore-replace");
            return 0;
        }
        if (strWhich != "space") session.Backup();
        if (strWhich != "backup") session.SpaceOnly();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "engine child: " << e.what() << "\n" << bench::strEngineReport() << "\n";
        return 1;
    }
}

long PeakRssKiB(const fs::path& source, const fs::path& dest) {
    const bench::ChildResult r = BenchClock::Run(
        {"/proc/self/exe", "--engine-child", source.string(), dest.string()}, false);
    if (r.lngExitCode != 0) throw std::runtime_error("the engine's child run failed");
    return r.lngMaxRssKiB;
}

// --- the three comparisons -------------------------------------------------

// Every repetition copies into a new, empty folder, and nothing is deleted
// before all timing is done (see WaitForQuietDisk): whoever came after a
// large delete would pay for it.
double CompareBackup(const Options& opt, const fs::path& work, const fs::path& src,
                     const TreeStats& want, const std::string& strLabel) {
    std::vector<double> colOurs, colCp, colFlush, colCpSync;
    long lngSpaceQueries = 0;
    for (int rep = 0; rep < opt.lngReps; ++rep) {
        const fs::path oursHost = work / (strLabel + "-ours-" + std::to_string(rep));
        const fs::path cpDest = work / (strLabel + "-cp-" + std::to_string(rep));
        // Alternate who goes first, so a drift of the machine hits both.
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (rep % 2 == 0)) {
                EngineSession session(src, oursHost);
                Settle();
                colOurs.push_back(session.Backup());
                colFlush.push_back(session.Timed().dblFlushSeconds());
                lngSpaceQueries = session.Timed().lngSpaceQueries();
                CheckSame(want, oursHost / "Backup" / "C$", "our backup");
            } else {
                fs::create_directories(cpDest);
                Settle();
                RunReference({"cp", "-a", src.string() + "/.", cpDest.string()}, colCp);
                colCpSync.push_back(colCp.back() + BenchClock::Seconds(Settle));
                CheckSame(want, cpDest, "cp -a");
            }
        }
    }
    std::cout << strLabel << ": ours " << strTimes(colOurs) << " s (of which flush "
              << strTimes(colFlush) << "), cp -a " << strTimes(colCp) << " s, cp -a + sync "
              << strTimes(colCpSync) << " s; free-space queries per run " << lngSpaceQueries
              << "\n";
    return BenchClock::Median(colOurs) / BenchClock::Median(colCp);
}

double CompareSpace(const Options& opt, const fs::path& work, const fs::path& src,
                    const TreeStats& want) {
    EngineSession session(src, work / "dest-space");
    std::vector<double> colOurs, colDu;
    for (int rep = 0; rep < opt.lngReps; ++rep) {
        colOurs.push_back(session.SpaceOnly());
        if (static_cast<uint64_t>(session.dblSpaceUsed()) != want.lngBytes)
            throw std::runtime_error("space-only run counted " +
                                     BenchClock::Format(session.dblSpaceUsed(), 0) +
                                     " bytes, expected " + std::to_string(want.lngBytes));
        RunReference({"du", "-sb", src.string()}, colDu);
    }
    std::cout << "space: ours " << strTimes(colOurs) << " s, du -sb " << strTimes(colDu) << " s\n";
    return BenchClock::Median(colOurs) / BenchClock::Median(colDu);
}

double CompareBigFile(const Options& opt, const fs::path& work, const fs::path& bigFolder) {
    const TreeStats want = BenchTree::Count(bigFolder);
    // An untimed copy first: the first gigabyte the file system hands out in
    // a while was measured ten times slower than the next, whoever took it.
    {
        const fs::path warm = work / "big-warm-up";
        fs::create_directories(warm);
        std::vector<double> colIgnored;
        RunReference({"cp", (bigFolder / "big.bin").string(), warm.string()}, colIgnored);
        fs::remove_all(warm);
    }
    std::vector<double> colOurs, colCp;
    for (int rep = 0; rep < opt.lngReps; ++rep) {
        const fs::path oursHost = work / ("big-ours-" + std::to_string(rep));
        const fs::path cpDest = work / ("big-cp-" + std::to_string(rep));
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (rep % 2 == 0)) {
                EngineSession session(bigFolder, oursHost);
                fs::remove(oursHost / "Backup");  // only the copied file is compared
                Settle();
                colOurs.push_back(session.CopyOneFile("big.bin"));
                CheckSame(want, oursHost, "our copy");
                fs::remove_all(oursHost);  // one inode: cheap, and spares the disk
            } else {
                fs::create_directories(cpDest);
                Settle();
                RunReference({"cp", (bigFolder / "big.bin").string(), cpDest.string()}, colCp);
                CheckSame(want, cpDest, "cp");
                fs::remove_all(cpDest);
            }
        }
    }
    std::cout << "bigfile: ours " << strTimes(colOurs) << " s, cp " << strTimes(colCp) << " s\n";
    return BenchClock::Median(colOurs) / BenchClock::Median(colCp);
}

// --- restore ---------------------------------------------------------------

enum class RestoreKind { Empty, EmptyReplace, Over };

const char* pszRestoreKind(RestoreKind kind) {
    switch (kind) {
        case RestoreKind::Empty:
            return "into an empty folder, replace off";
        case RestoreKind::EmptyReplace:
            return "into an empty folder, replace on";
        case RestoreKind::Over:
            return "over every file, replace on";
    }
    return "";
}

// A restore has no flush of its own: both it and cp -a are timed with the
// sync that follows, so neither leaves its write-back to the other's turn.
// Over every file, the target is first filled by an untimed cp -a.
double CompareRestore(const Options& opt, const fs::path& work, const fs::path& src,
                      const TreeStats& want, const std::string& strLabel, RestoreKind kind) {
    std::vector<double> colOurs, colOursAlone, colCp;
    const std::string strRun = strLabel + "-" + std::to_string(static_cast<int>(kind));
    for (int rep = 0; rep < opt.lngReps; ++rep) {
        const fs::path oursHost = work / (strRun + "-ours-" + std::to_string(rep));
        const fs::path cpDest = work / (strRun + "-cp-" + std::to_string(rep));
        for (int turn = 0; turn < 2; ++turn) {
            const bool blnOurs = (turn == 0) == (rep % 2 == 0);
            const fs::path target = blnOurs ? oursHost / "T" : cpDest;
            fs::create_directories(target);
            std::vector<double> colIgnored;
            if (kind == RestoreKind::Over)
                RunReference({"cp", "-a", src.string() + "/.", target.string()}, colIgnored);
            if (blnOurs) {
                EngineSession session(src, oursHost);
                Settle();
                colOursAlone.push_back(session.Restore("T", kind != RestoreKind::Empty));
                colOurs.push_back(colOursAlone.back() + BenchClock::Seconds(Settle));
            } else {
                Settle();
                RunReference({"cp", "-a", src.string() + "/.", cpDest.string()}, colCp);
                colCp.back() += BenchClock::Seconds(Settle);
            }
            CheckSame(want, target, blnOurs ? "our restore" : "cp -a");
        }
    }
    const double dblRatio = BenchClock::Median(colOurs) / BenchClock::Median(colCp);
    std::cout << "restore " << strLabel << ", " << pszRestoreKind(kind) << ": ours + sync "
              << strTimes(colOurs) << " s (ours alone " << strTimes(colOursAlone)
              << "), cp -a + sync " << strTimes(colCp) << " s; ratio "
              << BenchClock::Format(dblRatio, 2) << "\n";
    return dblRatio;
}

// The summary of the six restore lines, tree then flat folder, each in the
// order empty/off, empty/on, over/on.
std::string strCompareRestores(const Options& opt, const fs::path& work, const fs::path& src,
                               const TreeStats& stats, const fs::path& flat) {
    const TreeStats flatStats = BenchTree::Count(flat);
    std::string strSummary = "restore_tree_vs_cp_sync=";
    for (const auto& [path, want, label] :
         {std::tuple{src, stats, "tree"}, std::tuple{flat, flatStats, "flat"}}) {
        if (std::string(label) == "flat") strSummary += " restore_flat_vs_cp_sync=";
        for (const RestoreKind kind :
             {RestoreKind::Empty, RestoreKind::EmptyReplace, RestoreKind::Over}) {
            if (kind != RestoreKind::Empty) strSummary += '/';
            strSummary += BenchClock::Format(CompareRestore(opt, work, path, want, label, kind), 2);
        }
    }
    return strSummary;
}

int RunBenchmark(const Options& opt) {
    WaitForQuietDisk(opt.dir, opt.lngQuietSeconds);
    const fs::path work = MakeWorkFolder(opt.dir);
    std::cout << "work folder: " << work.string() << "\n";
    try {
        platform::ui::InstallUi(std::make_shared<platform::ui::ScriptedUi>(std::cerr));
        const fs::path src = work / "src";
        const fs::path few = work / "src-few";
        const fs::path big = work / "src-big";
        TreeStats stats = BenchTree::BuildSmallFiles(src, opt.lngFiles, 1);
        BenchTree::WriteIncludeFamily(src / "Bench.BDF");
        const fs::path flat = work / "src-flat";
        BenchTree::BuildFlatFolder(flat, opt.lngFlat, 5);
        stats = BenchTree::Count(src);  // with the instruction file, which is backed up too
        if (opt.blnRestoreOnly) {
            Settle();
            BenchTree::Warm(src);
            BenchTree::Warm(flat);
            const std::string strRestores = strCompareRestores(opt, work, src, stats, flat);
            if (!opt.blnKeep) CleanUp(work, opt.dir);
            std::cout << strRestores << std::endl;
            return 0;
        }
        BenchTree::BuildSmallFiles(few, opt.lngFewFiles, 2);
        BenchTree::WriteIncludeFamily(few / "Bench.BDF");
        const fs::path wide = work / "src-wide";
        BenchTree::BuildWideFolder(wide / "wide", opt.lngWide, 4);
        BenchTree::WriteIncludeFamily(wide / "Bench.BDF");
        fs::create_directories(big);
        BenchTree::BuildBigFile(big / "big.bin", opt.lngBigMiB << 20, 3);
        std::cout << "trees: " << stats.lngFiles << " files in " << stats.lngFolders << " folders, "
                  << stats.lngBytes << " bytes; " << opt.lngFewFiles
                  << " files for the memory check; big file " << opt.lngBigMiB << " MiB; "
                  << opt.lngFlat << " files in one folder\n";
        Settle();
        BenchTree::Warm(src);
        BenchTree::Warm(big);
        BenchTree::Warm(wide);
        BenchTree::Warm(flat);

        const double dblBackup = CompareBackup(opt, work, src, stats, "backup");
        // Not a goal of its own: a folder with thousands of subfolders must
        // cost what they cost, not their square.
        const double dblWide = CompareBackup(opt, work, wide, BenchTree::Count(wide), "wide");
        std::cout << "wide: " << opt.lngWide << " subfolders of one folder, ours / cp -a "
                  << BenchClock::Format(dblWide, 2) << "\n";
        const double dblSpace = CompareSpace(opt, work, src, stats);
        const double dblBig = CompareBigFile(opt, work, big);

        // Last, since it writes two more trees; each child starts fresh.
        const long lngRssFew = PeakRssKiB(few, work / "dest-rss-few");
        const long lngRssMany = PeakRssKiB(src, work / "dest-rss-many");
        const double dblMibFew = lngRssFew / 1024.0, dblMibMany = lngRssMany / 1024.0;
        std::cout << "peak_rss: " << opt.lngFewFiles << " files "
                  << BenchClock::Format(dblMibFew, 1) << " MiB, " << opt.lngFiles << " files "
                  << BenchClock::Format(dblMibMany, 1) << " MiB, growth "
                  << BenchClock::Format(dblMibMany - dblMibFew, 1) << " MiB\n";
        // After the peaks: a child's peak counts what it shared with this
        // process before it started the engine, and restores in this
        // process leave it larger.
        const std::string strRestores = strCompareRestores(opt, work, src, stats, flat);
        if (!opt.blnKeep) CleanUp(work, opt.dir);
        const long lngPeakMiB = (std::max(lngRssFew, lngRssMany) + 1023) / 1024;
        std::cout << "backup_vs_cp=" << BenchClock::Format(dblBackup, 2)
                  << " space_vs_du=" << BenchClock::Format(dblSpace, 2)
                  << " bigfile_vs_cp=" << BenchClock::Format(dblBig, 2)
                  << " peak_rss_mib=" << lngPeakMiB << " " << strRestores << std::endl;
        return 0;
    } catch (...) {
        if (!opt.blnKeep) CleanUp(work, opt.dir);
        throw;
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--engine-child") == 0)
            return EngineChild(argv[2], argv[3], argc == 5 ? argv[4] : "");
        return RunBenchmark(ParseOptions(argc, argv));
    } catch (const std::invalid_argument& e) {
        std::cerr << "bench_engine: " << e.what() << "\n";
        Usage();
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "bench_engine: " << e.what() << "\n";
        const std::string strReport = bench::strEngineReport();
        if (!strReport.empty()) std::cerr << strReport << "\n";
        return 1;
    }
}
