#include "util/FileSystem.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "util/DateTime.h"
#include "util/Error.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::RunUnprivileged;
using test::TempFolder;
using Times = std::pair<std::time_t, std::time_t>;  // access, modification
const Times kOld{1000000000, 1100000000};

void SetTimes(const std::string& path, Times times) {
    const timespec stamps[2] = {{times.first, 0}, {times.second, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), stamps, AT_SYMLINK_NOFOLLOW), 0) << path;
}

Times GetTimes(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? Times{st.st_atime, st.st_mtime} : Times{};
}

// Every entry below the folder, links not followed, sorted: "a/ a/f link@ x".
std::string Tree(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        names.push_back(e.path().lexically_relative(folder).string() + (e.is_symlink()     ? "@"
                                                                        : e.is_directory() ? "/"
                                                                                           : ""));
    std::sort(names.begin(), names.end());
    std::string tree;
    for (const auto& name : names)
        tree += (tree.empty() ? "" : " ") + name;
    return tree;
}

// Runs the check in a child process whose files cannot grow beyond `bytes`; its result.
bool RunWithFileSizeLimit(rlim_t bytes, const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead
        const rlimit limit{bytes, bytes};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST(ListFolder, ListsNormalEntriesInNameOrder) {
    const TempFolder dir;
    EXPECT_TRUE(ListFolder(dir.path()).empty());
    for (const char* name : {"b.txt", "A.txt", "a.txt", "a", ".hidden", "_under", "Zeta"})
        dir.write(name, "x");
    fs::create_directory(dir / "Sub");
    fs::create_directory(dir / ".git");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    fs::create_directory_symlink(dir / "Sub", dir / "dirlink");
    fs::create_symlink(dir / "b.txt", dir / "filelink");

    std::string listed;
    for (const auto& e : ListFolder(dir.path() + "/"))  // a trailing "/" makes no difference
        listed += e.name + (e.isFolder ? "/ " : " ");
    // Letters fold to upper case (so "_" sorts after "Z"), a shorter name first, ties upper case
    // first.
    EXPECT_EQ(listed, "a A.txt a.txt b.txt dirlink/ filelink Sub/ Zeta _under ");

    for (const std::string& bad : {dir / "missing", dir / "b.txt", std::string()})
        EXPECT_THROW(ListFolder(bad), TamselError) << bad;
}

TEST(GetFileDateAndSize, ReadTheLocalDateAndTheByteCount) {
    const TempFolder dir;
    const std::string file = dir.write("f", std::string(12345, 'x'));
    SetTimes(file, {0, ToTimeT(DateTime{2007, 1, 5, 23, 30, 0})});
    EXPECT_EQ(GetFileDate(file), "05/01/2007");
    SetTimes(file, {0, ToTimeT(DateTime{2007, 1, 6, 0, 0, 1})});
    EXPECT_EQ(GetFileDate(file), "06/01/2007");
    for (const std::string& bad : {dir / "missing", dir.path()})  // a folder is no file
        EXPECT_THROW(GetFileDate(bad), TamselError) << bad;

    EXPECT_EQ(GetFileSize(file), "12345");
    for (const std::string& bad : {dir / "missing", dir.path(), std::string()})
        EXPECT_EQ(GetFileSize(bad), "") << bad;
}

TEST(CreateFolderPath, CreatesEveryFolderUpToTheLastSlash) {
    const TempFolder dir;
    EXPECT_TRUE(CreateFolderPath(dir / "x/y/z"));
    EXPECT_TRUE(fs::is_directory(dir / "x/y"));
    EXPECT_FALSE(fs::exists(dir / "x/y/z"));  // not followed by "/"
    EXPECT_TRUE(CreateFolderPath(dir / "x/y/z/"));
    EXPECT_TRUE(fs::is_directory(dir / "x/y/z"));
    dir.write("file", "x");
    EXPECT_THROW(CreateFolderPath(dir / "file/sub/"), TamselError);
    EXPECT_TRUE(fs::is_regular_file(dir / "file"));
}

TEST(FolderAndFileExists, TrueOnlyForReadableFoldersAndFiles) {
    const TempFolder dir;
    const std::string file = dir.write("f", "x");
    dir.write(".hidden/.h", "x");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    for (const std::string& yes : {dir.path(), dir.path() + "/", dir / ".hidden"})
        EXPECT_TRUE(FolderExists(yes)) << yes;
    for (const std::string& no : {file, dir / "missing", std::string()})
        EXPECT_FALSE(FolderExists(no)) << no;
    EXPECT_TRUE(FileExists(dir / ".hidden/.h"));
    // The fifo must not block either.
    for (const std::string& no : {dir / "missing", dir.path(), dir / "fifo", std::string()})
        EXPECT_FALSE(FileExists(no)) << no;
    fs::permissions(file, fs::perms::none);
    const std::string folder = dir.path();
    EXPECT_TRUE(RunUnprivileged([&] { return FolderExists(folder) && !FileExists(file); }));
}

TEST(PruneEmptyFolders, RemovesEmptyFoldersDeepestFirst) {
    const TempFolder dir;
    for (const char* folder : {"a", "b/c/d", "g/empty"})
        fs::create_directories(dir / folder);
    for (const char* file : {"e/file", "g/h/file", "f.txt"})
        dir.write(file, "x");
    EXPECT_EQ(PruneEmptyFolders(dir.path()), 3);  // e, g and f.txt
    EXPECT_EQ(Tree(dir.path()), "e/ e/file f.txt g/ g/h/ g/h/file");

    fs::create_directories(dir / "k/l/m");
    EXPECT_EQ(PruneEmptyFolders(dir / "k"), 0);
    EXPECT_EQ(Tree(dir / "k"), "");  // the folder itself stays
    EXPECT_THROW(PruneEmptyFolders(dir / "missing"), TamselError);
}

TEST(PruneEmptyFolders, KeepsFoldersHoldingOnlyHiddenOrSystemEntries) {
    const TempFolder dir;
    dir.write("hid/.keep", "x");
    fs::create_directories(dir / "sys");
    ASSERT_EQ(::mkfifo((dir / "sys/fifo").c_str(), 0644), 0);
    dir.write("target/precious", "x");
    fs::create_directory_symlink(dir / "target", dir / "link");
    // A linked folder is never entered nor removed, even when what it leads to is empty.
    const TempFolder elsewhere;
    fs::create_directories(elsewhere / "empty");
    fs::create_directory_symlink(elsewhere.path(), dir / "emptylink");
    EXPECT_EQ(PruneEmptyFolders(dir.path()), 5);  // emptylink, hid, link, sys, target
    EXPECT_EQ(Tree(dir.path()),
              "emptylink@ hid/ hid/.keep link@ sys/ sys/fifo target/ target/precious");
    EXPECT_TRUE(fs::exists(elsewhere / "empty"));
}

TEST(SetFileTimeFromText, SetsBothTimesInLocalTimeAndRefusesHiddenMissingFoldersAndBadDates) {
    const TempFolder dir;
    const std::string set = dir.write("f.ppt", "x");
    EXPECT_TRUE(SetFileTimeFromText(set, "05/01/2007 06:00"));
    const std::time_t expected = ToTimeT(DateTime{2007, 1, 5, 6, 0, 0});
    EXPECT_EQ(GetTimes(set), (Times{expected, expected}));
    EXPECT_EQ(dir.read("f.ppt"), "x");

    const std::string file = dir.write("f", "x");
    const std::string hidden = dir.write(".h", "x");
    SetTimes(file, kOld);
    SetTimes(hidden, kOld);
    for (const std::string text : {"31/02/2007 06:00", ""})
        EXPECT_FALSE(SetFileTimeFromText(file, text)) << text;
    for (const std::string& path : {hidden, dir / "missing", dir.path()})
        EXPECT_FALSE(SetFileTimeFromText(path, "05/01/2007 06:00")) << path;
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(GetTimes(file), kOld);
    EXPECT_EQ(GetTimes(hidden), kOld);
}

TEST(StampFileTime, RedatesToSixOClockAndLeavesMissingFoldersReadOnlyAndHiddenFilesUntouched) {
    const TempFolder dir;
    const std::string file = dir.write("f.pot", "content");
    SetTimes(file, {0, ToTimeT(DateTime{2007, 1, 5, 15, 45, 12})});
    EXPECT_TRUE(StampFileTime(file));
    const std::time_t six = ToTimeT(DateTime{2007, 1, 5, 6, 0, 0});
    EXPECT_EQ(GetTimes(file), (Times{six, six}));
    EXPECT_EQ(dir.read("f.pot"), "content");

    EXPECT_FALSE(StampFileTime(dir / "missing"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "sub");
    const std::string ro = dir.write("ro.ppt", "x");
    fs::permissions(ro, fs::perms(0444));
    const std::string hidden = dir.write(".h", "x");
    for (const std::string& path : {dir / "sub", ro, hidden})
        SetTimes(path, kOld);
    EXPECT_FALSE(StampFileTime(dir / "sub"));
    // Root ignores permission bits, so the check runs as an unprivileged user then; FileExists
    // first, so that the false comes from the permission.
    EXPECT_TRUE(RunUnprivileged([&] { return FileExists(ro) && !StampFileTime(ro); }));
    // The stamp goes through SetFileTimeFromText, which does not find hidden files.
    EXPECT_TRUE(StampFileTime(hidden));
    for (const std::string& path : {dir / "sub", ro, hidden})
        EXPECT_EQ(GetTimes(path), kOld) << path;
}

TEST(SafeDeleteFile, DeletesAnOrdinaryFileOnly) {
    const TempFolder dir;
    EXPECT_TRUE(SafeDeleteFile(dir.write("f", "x")));
    EXPECT_FALSE(fs::exists(dir / "f"));
    fs::create_directory(dir / "sub");
    for (const std::string& bad : {dir / "f", dir / "sub", std::string()})
        EXPECT_FALSE(SafeDeleteFile(bad)) << bad;
    EXPECT_TRUE(fs::is_directory(dir / "sub"));

    // In a folder anyone may change, only the file's own mode refuses (root would ignore it).
    fs::create_directory(dir / "open");
    fs::permissions(dir / "open", fs::perms::all);
    const std::string ro = dir.write("open/ro", "x");
    const std::string rw = dir.write("open/rw", "x");
    fs::permissions(ro, fs::perms(0444));
    fs::permissions(rw, fs::perms(0666));
    EXPECT_TRUE(RunUnprivileged([&] { return SafeDeleteFile(rw) && !SafeDeleteFile(ro); }));
    EXPECT_TRUE(fs::exists(ro));

    // On Linux "\" is an ordinary character, so these names exist as plain files here.
    for (const std::string name :
         {"c:\\program files\\x.txt", "C:\\WINNT\\a.dll", "x c:\\winnt y", "C:\\Program Files"}) {
        EXPECT_FALSE(SafeDeleteFile(dir.write(name, "x"))) << name;
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    // A ".." that leads out of a system folder is allowed.
    EXPECT_TRUE(SafeDeleteFile("/usr/.." + dir.write("g", "x")));
    EXPECT_FALSE(fs::exists(dir / "g"));
}

TEST(SafeDeleteFile, RefusesPathsInsideTheHostsSystemFolders) {
    // Paths that do not exist: refused either way, and nothing to lose if the guard failed.
    for (const std::string path :
         {"/etc/tamsel-no-such-file", "/usr/lib/tamsel-no-such-file", "/"}) {
        EXPECT_FALSE(SafeDeleteFile(path)) << path;
    }
    // A real file in a protected folder: /dev/shm is writable by everyone on Linux.
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    const TempFolder dir;
    const std::string name = "tamsel-guard-" + std::to_string(::getpid());
    const std::string real = "/dev/shm/" + name;
    std::ofstream(real) << "x";
    if (!fs::exists(real))
        GTEST_SKIP() << "cannot write to /dev/shm";
    fs::create_directory_symlink("/dev/shm", dir / "shm");
    const std::string relativeUp =
        fs::relative("/dev/shm", fs::current_path()).string() + "/" + name;
    for (const std::string& path :
         {real, "/dev/./shm/" + name, "/tmp/../dev/shm/" + name, "//dev/shm/" + name,
          dir / ("shm/" + name), dir.path() + "/../../dev/shm/" + name, relativeUp}) {
        EXPECT_FALSE(SafeDeleteFile(path)) << path;
        EXPECT_TRUE(fs::exists(real)) << path;
    }
    fs::remove(real);
}

TEST(SafeDeleteFile, DeletesBesideSystemFoldersWhoseNamesLookAlike) {
    // "/library-..." begins as "/lib" does but lies in no system folder; only root writes there.
    const std::string lookAlike = "/library-tamsel-" + std::to_string(::getpid());
    std::ofstream(lookAlike) << "x";
    if (!fs::exists(lookAlike))
        GTEST_SKIP() << "cannot write to /";
    EXPECT_TRUE(SafeDeleteFile(lookAlike));
    std::error_code ignored;
    fs::remove(lookAlike, ignored);
}

TEST(ReplaceLinesInFile, ReplacesOrDropsMatchingLines) {
    const struct {
        std::string content, search, replacement, expected;
    } cases[] = {
        {"a\r\nfoo bar\r\nc\r\n", "FOO", "X", "a\r\nX\r\nc\r\n"},
        {"foo1\r\nb\r\nFoo2\r\n", "foo", "", "b\r\n"},  // empty replacement drops every match
        {"a\nb", "zzz", "X", "a\r\nb\r\n"},             // no match: same lines, CR LF ends
        {"", "a", "b", ""},                             // no line is added
        {"x\ry\r\n", "y", "z", "z\r\n"},                // a lone CR does not end a line
    };
    for (const auto& c : cases) {
        const TempFolder dir;
        const std::string file = dir.write("f.ini", c.content);
        fs::permissions(file, fs::perms(0640));
        EXPECT_TRUE(ReplaceLinesInFile(file, c.search, c.replacement)) << c.content;
        EXPECT_EQ(dir.read("f.ini"), c.expected) << c.content;
        EXPECT_EQ(Tree(dir.path()), "f.ini");  // no temporary left
        EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    }
}

TEST(ReplaceLinesInFile, AtMost129LinesAndAnExistingFile) {
    const TempFolder dir;
    std::string lines129;
    for (int i = 0; i < 129; ++i)
        lines129 += "line " + std::to_string(i) + "\n";
    EXPECT_TRUE(ReplaceLinesInFile(dir.write("ok", lines129), "line 128", "last"));
    EXPECT_NE(dir.read("ok").find("line 127\r\nlast\r\n"), std::string::npos);

    const std::string lines130 = lines129 + "line 129";  // the 130th line has no line end
    const std::string file = dir.write("long", lines130);
    SetTimes(file, kOld);
    EXPECT_FALSE(ReplaceLinesInFile(file, "line", "x"));
    EXPECT_EQ(dir.read("long"), lines130);
    EXPECT_EQ(GetTimes(file).second, kOld.second);  // reading may move the access time
    EXPECT_FALSE(ReplaceLinesInFile(dir / "missing", "a", "b"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(WriteFileAtomically, CreatesReplacesAndWritesThroughLinks) {
    const TempFolder dir;
    const std::string file = dir / "settings.ini";
    for (const std::string& content :
         {std::string("one\r\n"), std::string("two\0three", 9), std::string()}) {
        EXPECT_TRUE(WriteFileAtomically(file, content));
        EXPECT_EQ(dir.read("settings.ini"), content);
    }
    EXPECT_EQ(Tree(dir.path()), "settings.ini");

    fs::permissions(file, fs::perms(0600));
    fs::create_symlink(file, dir / "link");
    EXPECT_TRUE(WriteFileAtomically(dir / "link", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(dir.read("settings.ini"), "new");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0600));
}

TEST(WriteFileAtomically, FailureLeavesTheTargetAsItWas) {
    const TempFolder dir;
    dir.write("folder/inside", "keep");
    for (const std::string& bad : {dir / "missing/f", dir / "folder", std::string(), dir / ""})
        EXPECT_FALSE(WriteFileAtomically(bad, "x")) << bad;
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(dir.read("folder/inside"), "keep");

    // A folder the user cannot write to: no temporary file can be made there.
    const std::string locked = dir.write("locked/f", "old");
    fs::permissions(dir / "locked", fs::perms(0555));
    fs::permissions(locked, fs::perms(0666));
    EXPECT_TRUE(
        RunUnprivileged([&] { return FileExists(locked) && !WriteFileAtomically(locked, "new"); }));
    EXPECT_EQ(dir.read("locked/f"), "old");
    EXPECT_EQ(Tree(dir / "locked"), "f");

    // A write cut short, as on a full disk: the temporary file it began is removed.
    const std::string full = dir.write("full/f", "old");
    EXPECT_TRUE(RunWithFileSizeLimit(
        100, [&] { return !WriteFileAtomically(full, std::string(1000, 'x')); }));
    EXPECT_EQ(dir.read("full/f"), "old");
    EXPECT_EQ(Tree(dir / "full"), "f");
}

}  // namespace
}  // namespace tamsel
