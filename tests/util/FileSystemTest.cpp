#include "util/FileSystem.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "util/DateTime.h"
#include "util/Error.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

DateTime Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    DateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

// Sets a file's access and modification times (seconds since the epoch).
void SetTimes(const std::string& path, std::time_t access, std::time_t modification) {
    std::array<timespec, 2> times{};
    times[0].tv_sec = access;
    times[1].tv_sec = modification;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times.data(), AT_SYMLINK_NOFOLLOW), 0) << path;
}

struct Times {
    std::time_t access = 0;
    std::time_t modification = 0;
    friend bool operator==(const Times&, const Times&) = default;
};

Times GetTimes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {st.st_atime, st.st_mtime};
}

std::vector<std::string> AllNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// ---------------------------------------------------------------------------------------------
// ListFolder

TEST(ListFolder, ListsNormalEntriesInNameOrder) {
    const TempFolder dir;
    for (const char* name : {"b.txt", "A.txt", "a.txt", ".hidden", "_under", "Zeta"})
        WriteText(dir / name, "x");
    fs::create_directory(dir / "Sub");
    fs::create_directory(dir / ".git");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    fs::create_directory_symlink(dir / "Sub", dir / "dirlink");
    fs::create_symlink(dir / "b.txt", dir / "filelink");

    // A socket is a system entry too.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "sock";
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    const std::vector<FolderEntry> entries = ListFolder(dir.Path());
    ::close(sock);

    std::vector<std::string> names;
    std::vector<bool> folders;
    for (const auto& e : entries) {
        names.push_back(e.name);
        folders.push_back(e.isFolder);
    }
    const std::vector<std::string> expectedNames = {"A.txt", "a.txt", "b.txt", "filelink",
                                                    "Sub",   "Zeta",  "_under"};
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(folders, (std::vector<bool>{false, false, false, false, true, false, false}));

    // A trailing "/" makes no difference.
    EXPECT_EQ(ListFolder(dir.Path() + "/").size(), entries.size());
}

TEST(ListFolder, EmptyFolderGivesNoEntries) {
    const TempFolder dir;
    EXPECT_TRUE(ListFolder(dir.Path()).empty());
}

TEST(ListFolder, UnreadableFolderThrows) {
    const TempFolder dir;
    EXPECT_THROW(ListFolder(dir / "missing"), TamselError);
    WriteText(dir / "file", "x");
    EXPECT_THROW(ListFolder(dir / "file"), TamselError);
    EXPECT_THROW(ListFolder(""), TamselError);
}

// ---------------------------------------------------------------------------------------------
// GetFileDate, GetFileSize

TEST(GetFileDate, IsTheLocalModificationDate) {
    const TempFolder dir;
    const std::string file = dir / "f.txt";
    WriteText(file, "x");
    SetTimes(file, ToTimeT(Make(2001, 1, 1)), ToTimeT(Make(2007, 1, 5, 23, 30, 0)));
    EXPECT_EQ(GetFileDate(file), "05/01/2007");
    SetTimes(file, ToTimeT(Make(2001, 1, 1)), ToTimeT(Make(2007, 1, 6, 0, 0, 1)));
    EXPECT_EQ(GetFileDate(file), "06/01/2007");
}

TEST(GetFileDate, MissingFileIsAnError) {
    const TempFolder dir;
    try {
        (void)GetFileDate(dir / "missing");
        ADD_FAILURE() << "no error";
    } catch (const TamselError& e) {
        EXPECT_EQ(e.Number(), err::FileNotFound);
    }
    EXPECT_THROW(GetFileDate(dir.Path()), TamselError);  // a folder is no file
}

TEST(GetFileSize, IsTheByteCountOrEmpty) {
    const TempFolder dir;
    WriteText(dir / "f", std::string(12345, 'x'));
    WriteText(dir / "empty", "");
    EXPECT_EQ(GetFileSize(dir / "f"), "12345");
    EXPECT_EQ(GetFileSize(dir / "empty"), "0");
    EXPECT_EQ(GetFileSize(dir / "missing"), "");
    EXPECT_EQ(GetFileSize(dir.Path()), "");
    EXPECT_EQ(GetFileSize(""), "");
}

// ---------------------------------------------------------------------------------------------
// CreateFolderPath, DeleteFolderTree, FolderExists, FileExists

TEST(CreateFolderPath, CreatesEveryFolderUpToTheLastSlash) {
    const TempFolder dir;
    EXPECT_TRUE(CreateFolderPath(dir / "x/y/z"));
    EXPECT_TRUE(fs::is_directory(dir / "x/y"));
    EXPECT_FALSE(fs::exists(dir / "x/y/z"));  // not followed by "/"
    EXPECT_TRUE(CreateFolderPath(dir / "x/y/z/"));
    EXPECT_TRUE(fs::is_directory(dir / "x/y/z"));
    EXPECT_TRUE(CreateFolderPath(dir / "x/y/z/"));  // all there already
    EXPECT_TRUE(CreateFolderPath(dir / "p//q/"));
    EXPECT_TRUE(fs::is_directory(dir / "p/q"));
    EXPECT_TRUE(CreateFolderPath("no-slash-here"));
    EXPECT_FALSE(fs::exists("no-slash-here"));
}

TEST(CreateFolderPath, ErrorsGoToTheCaller) {
    const TempFolder dir;
    WriteText(dir / "file", "x");
    EXPECT_THROW(CreateFolderPath(dir / "file/sub/"), TamselError);
    EXPECT_TRUE(fs::is_regular_file(dir / "file"));
}

TEST(DeleteFolderTree, DeletesEverythingInside) {
    const TempFolder dir;
    fs::create_directories(dir / "t/a/b");
    WriteText(dir / "t/a/b/f", "x");
    WriteText(dir / "t/.hidden", "x");
    fs::create_directory_symlink(dir / "keep", dir / "t/link");
    fs::create_directory(dir / "keep");
    WriteText(dir / "keep/k", "x");
    EXPECT_TRUE(DeleteFolderTree(dir / "t"));
    EXPECT_FALSE(fs::exists(dir / "t"));
    EXPECT_TRUE(fs::exists(dir / "keep/k"));  // the link went, not what it points to
    fs::create_directory(dir / "u");
    EXPECT_TRUE(DeleteFolderTree(dir / "u/"));
    EXPECT_FALSE(fs::exists(dir / "u"));
}

TEST(DeleteFolderTree, FalseForMissingOrFile) {
    const TempFolder dir;
    WriteText(dir / "f", "x");
    EXPECT_FALSE(DeleteFolderTree(dir / "missing"));
    EXPECT_FALSE(DeleteFolderTree(dir / "f"));
    EXPECT_TRUE(fs::exists(dir / "f"));
    EXPECT_FALSE(DeleteFolderTree(""));
}

TEST(FolderExists, TrueOnlyForReadableFolders) {
    const TempFolder dir;
    WriteText(dir / "f", "x");
    fs::create_directory(dir / ".hidden");
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_TRUE(FolderExists(dir.Path() + "/"));
    EXPECT_TRUE(FolderExists(dir / ".hidden"));
    EXPECT_FALSE(FolderExists(dir / "f"));
    EXPECT_FALSE(FolderExists(dir / "missing"));
    EXPECT_FALSE(FolderExists(""));
}

TEST(FileExists, TrueOnlyForReadableFiles) {
    const TempFolder dir;
    WriteText(dir / "f", "x");
    WriteText(dir / ".h", "x");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    EXPECT_TRUE(FileExists(dir / "f"));
    EXPECT_TRUE(FileExists(dir / ".h"));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir / "fifo"));  // and does not block
    EXPECT_FALSE(FileExists(""));
    fs::permissions(dir / "f", fs::perms::none);
    const std::string unreadable = dir / "f";
    const std::string folder = dir.Path();
    EXPECT_TRUE(
        test::RunUnprivileged([&] { return FolderExists(folder) && !FileExists(unreadable); }));
}

// ---------------------------------------------------------------------------------------------
// PruneEmptyFolders

TEST(PruneEmptyFolders, RemovesEmptyFoldersDeepestFirst) {
    const TempFolder dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b/c/d");
    fs::create_directories(dir / "e");
    WriteText(dir / "e/file", "x");
    fs::create_directories(dir / "g/h");
    WriteText(dir / "g/h/file", "x");
    fs::create_directories(dir / "g/empty");
    WriteText(dir / "f.txt", "x");

    EXPECT_EQ(PruneEmptyFolders(dir.Path()), 3);  // e, g and f.txt
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_FALSE(fs::exists(dir / "b"));
    EXPECT_TRUE(fs::exists(dir / "e/file"));
    EXPECT_TRUE(fs::exists(dir / "g/h/file"));
    EXPECT_FALSE(fs::exists(dir / "g/empty"));
    EXPECT_TRUE(fs::is_directory(dir.Path()));  // the folder itself stays

    EXPECT_EQ(PruneEmptyFolders(dir.Path() + "/"), 3);
}

TEST(PruneEmptyFolders, EmptyFolderGivesZeroAndStays) {
    const TempFolder dir;
    fs::create_directories(dir / "k/l/m");
    EXPECT_EQ(PruneEmptyFolders(dir / "k"), 0);
    EXPECT_TRUE(fs::is_directory(dir / "k"));
    EXPECT_FALSE(fs::exists(dir / "k/l"));
}

TEST(PruneEmptyFolders, KeepsFoldersHoldingOnlyHiddenOrSystemEntries) {
    // Sound behaviour: a folder that looks empty because its entries are not listed is kept.
    const TempFolder dir;
    fs::create_directories(dir / "hid");
    WriteText(dir / "hid/.keep", "x");
    fs::create_directories(dir / "sys");
    ASSERT_EQ(::mkfifo((dir / "sys/fifo").c_str(), 0644), 0);
    fs::create_directories(dir / "target");
    WriteText(dir / "target/precious", "x");
    fs::create_directory_symlink(dir / "target", dir / "link");
    EXPECT_EQ(PruneEmptyFolders(dir.Path()), 3);  // hid, sys, target
    EXPECT_TRUE(fs::exists(dir / "hid/.keep"));
    EXPECT_TRUE(fs::exists(dir / "sys/fifo"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_TRUE(fs::exists(dir / "target/precious"));
}

TEST(PruneEmptyFolders, MissingFolderThrows) {
    const TempFolder dir;
    EXPECT_THROW(PruneEmptyFolders(dir / "missing"), TamselError);
}

// ---------------------------------------------------------------------------------------------
// SetFileTimeFromText, StampFileTime

TEST(SetFileTimeFromText, SetsAccessAndModificationInLocalTime) {
    const TempFolder dir;
    const std::string file = dir / "f.ppt";
    WriteText(file, "x");
    EXPECT_TRUE(SetFileTimeFromText(file, "05/01/2007 06:00"));
    const std::time_t expected = ToTimeT(Make(2007, 1, 5, 6, 0, 0));
    EXPECT_EQ(GetTimes(file), (Times{expected, expected}));
    EXPECT_TRUE(SetFileTimeFromText(file, "5/1/2007 6:07:08"));
    EXPECT_EQ(GetTimes(file).modification, ToTimeT(Make(2007, 1, 5, 6, 7, 8)));
    EXPECT_EQ(GetFileDate(file), "05/01/2007");
    EXPECT_EQ(ReadText(file), "x");
}

TEST(SetFileTimeFromText, RefusesHiddenMissingFoldersAndBadDates) {
    const TempFolder dir;
    const std::string file = dir / "f";
    const std::string hidden = dir / ".h";
    WriteText(file, "x");
    WriteText(hidden, "x");
    SetTimes(file, 1000000000, 1000000000);
    SetTimes(hidden, 1000000000, 1000000000);
    for (const std::string text :
         {"31/02/2007 06:00", "", "yesterday", "1/13/2007 06:00", "05/01/2007 25:00"}) {
        EXPECT_FALSE(SetFileTimeFromText(file, text)) << text;
    }
    EXPECT_FALSE(SetFileTimeFromText(hidden, "05/01/2007 06:00"));
    EXPECT_FALSE(SetFileTimeFromText(dir / "missing", "05/01/2007 06:00"));
    EXPECT_FALSE(SetFileTimeFromText(dir.Path(), "05/01/2007 06:00"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    EXPECT_EQ(GetTimes(file), (Times{1000000000, 1000000000}));
    EXPECT_EQ(GetTimes(hidden), (Times{1000000000, 1000000000}));
}

TEST(StampFileTime, RedatesToSixOClockOfItsOwnDate) {
    const TempFolder dir;
    const std::string file = dir / "f.pot";
    WriteText(file, "content");
    SetTimes(file, ToTimeT(Make(2008, 2, 2)), ToTimeT(Make(2007, 1, 5, 15, 45, 12)));
    EXPECT_TRUE(StampFileTime(file));
    const std::time_t six = ToTimeT(Make(2007, 1, 5, 6, 0, 0));
    EXPECT_EQ(GetTimes(file), (Times{six, six}));
    EXPECT_EQ(ReadText(file), "content");
}

TEST(StampFileTime, FalseForMissingOrFolder) {
    const TempFolder dir;
    EXPECT_FALSE(StampFileTime(dir / "missing"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "sub");
    SetTimes(dir / "sub", 1000000000, 1000000000);
    EXPECT_FALSE(StampFileTime(dir / "sub"));
    EXPECT_EQ(GetTimes(dir / "sub"), (Times{1000000000, 1000000000}));
}

TEST(StampFileTime, ReadOnlyFileIsFalseAndUntouched) {
    const TempFolder dir;
    const std::string file = dir / "ro.ppt";
    WriteText(file, "x");
    SetTimes(file, 1000000000, 1100000000);
    fs::permissions(file, fs::perms(0444));
    // Root ignores permission bits, so the check runs as an unprivileged user then.
    // FileExists first: the file must be reachable, so the false comes from the permission.
    EXPECT_TRUE(test::RunUnprivileged([&] { return FileExists(file) && !StampFileTime(file); }));
    EXPECT_EQ(GetTimes(file), (Times{1000000000, 1100000000}));
}

TEST(StampFileTime, HiddenFileIsTrueButKeepsItsTimes) {
    // The stamp goes through SetFileTimeFromText, which does not find hidden files.
    const TempFolder dir;
    const std::string file = dir / ".h";
    WriteText(file, "x");
    SetTimes(file, 1000000000, 1100000000);
    EXPECT_TRUE(StampFileTime(file));
    EXPECT_EQ(GetTimes(file), (Times{1000000000, 1100000000}));
}

// ---------------------------------------------------------------------------------------------
// SafeDeleteFile

TEST(SafeDeleteFile, DeletesAnOrdinaryFile) {
    const TempFolder dir;
    WriteText(dir / "f", "x");
    EXPECT_TRUE(SafeDeleteFile(dir / "f"));
    EXPECT_FALSE(fs::exists(dir / "f"));
    EXPECT_FALSE(SafeDeleteFile(dir / "f"));  // missing now
}

TEST(SafeDeleteFile, RefusesThePartsWindowsFolders) {
    // On Linux "\" is an ordinary character, so these names exist as plain files here.
    const TempFolder dir;
    for (const std::string name :
         {"c:\\program files\\x.txt", "C:\\WINNT\\a.dll", "x c:\\winnt y", "C:\\Program Files"}) {
        WriteText(dir / name, "x");
        EXPECT_FALSE(SafeDeleteFile(dir / name)) << name;
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
}

TEST(SafeDeleteFile, RefusesMissingFoldersAndUnwritableFiles) {
    const TempFolder dir;
    EXPECT_FALSE(SafeDeleteFile(dir / "missing"));
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(SafeDeleteFile(dir / "sub"));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_FALSE(SafeDeleteFile(""));
    const std::string file = dir / "ro";
    WriteText(file, "x");
    fs::permissions(file, fs::perms(0444));
    EXPECT_TRUE(test::RunUnprivileged([&] { return FileExists(file) && !SafeDeleteFile(file); }));
    EXPECT_TRUE(fs::exists(file));
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
    WriteText(real, "x");
    if (!fs::exists(real))
        GTEST_SKIP() << "cannot write to /dev/shm";
    fs::create_directory_symlink("/dev/shm", dir / "shm");
    const std::string relativeUp =
        fs::relative("/dev/shm", fs::current_path()).string() + "/" + name;
    for (const std::string& path :
         {real, "/dev/./shm/" + name, "/tmp/../dev/shm/" + name, "//dev/shm/" + name,
          dir / ("shm/" + name), dir.Path() + "/../../dev/shm/" + name, relativeUp}) {
        EXPECT_FALSE(SafeDeleteFile(path)) << path;
        EXPECT_TRUE(fs::exists(real)) << path;
    }
    fs::remove(real);
}

TEST(SafeDeleteFile, AllowsADotDotPathThatLeavesTheSystemFolders) {
    const TempFolder dir;
    WriteText(dir / "f", "x");
    const std::string path = "/usr/.." + dir.Path() + "/f";
    EXPECT_TRUE(SafeDeleteFile(path));
    EXPECT_FALSE(fs::exists(dir / "f"));
}

// ---------------------------------------------------------------------------------------------
// ReplaceLinesInFile

TEST(ReplaceLinesInFile, ReplacesOrDropsMatchingLines) {
    struct Case {
        std::string content, search, replacement, expected;
    };
    const std::vector<Case> cases = {
        {"a\r\nfoo bar\r\nc\r\n", "FOO", "X", "a\r\nX\r\nc\r\n"},
        {"foo1\r\nb\r\nFoo2\r\n", "foo", "", "b\r\n"},  // empty replacement drops every match
        {"a\nb", "zzz", "X", "a\r\nb\r\n"},             // no match: same lines, CR LF ends
        {"RunAtDate=1/1/2007\r\nx=1\r\n", "runatdate=", "RunAtDate=5/1/2007",
         "RunAtDate=5/1/2007\r\nx=1\r\n"},
        {"", "a", "b", ""},  // no line is added
        {"\r\n\r\n", "a", "b", "\r\n\r\n"},
        {"a\r\n\r\nb\r\n", "", "", ""},  // every line contains the empty text
        {"only\r\n", "ONLY", "", ""},
        {"x\ry\r\n", "y", "z", "z\r\n"},  // a lone CR does not end a line
    };
    for (const auto& c : cases) {
        const TempFolder dir;
        const std::string file = dir / "f.ini";
        WriteText(file, c.content);
        EXPECT_TRUE(ReplaceLinesInFile(file, c.search, c.replacement)) << c.content;
        EXPECT_EQ(ReadText(file), c.expected) << c.content;
        EXPECT_EQ(AllNames(dir.Path()), std::vector<std::string>{"f.ini"});  // no temporary left
    }
}

TEST(ReplaceLinesInFile, AtMost129Lines) {
    const TempFolder dir;
    std::string lines129;
    for (int i = 0; i < 129; ++i)
        lines129 += "line " + std::to_string(i) + "\n";
    WriteText(dir / "ok", lines129);
    EXPECT_TRUE(ReplaceLinesInFile(dir / "ok", "line 128", "last"));
    const std::string done = ReadText(dir / "ok");
    EXPECT_NE(done.find("line 127\r\nlast\r\n"), std::string::npos);

    const std::string lines130 = lines129 + "line 129";  // the 130th line has no line end
    WriteText(dir / "long", lines130);
    fs::permissions(dir / "long", fs::perms(0640));
    SetTimes(dir / "long", 1000000000, 1000000000);
    EXPECT_FALSE(ReplaceLinesInFile(dir / "long", "line", "x"));
    EXPECT_EQ(ReadText(dir / "long"), lines130);
    EXPECT_EQ(GetTimes(dir / "long").modification, 1000000000);  // reading may move the access time
}

TEST(ReplaceLinesInFile, FalseForMissingFileAndKeepsPermissions) {
    const TempFolder dir;
    EXPECT_FALSE(ReplaceLinesInFile(dir / "missing", "a", "b"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    WriteText(dir / "f", "a\n");
    fs::permissions(dir / "f", fs::perms(0640));
    EXPECT_TRUE(ReplaceLinesInFile(dir / "f", "a", "b"));
    EXPECT_EQ(fs::status(dir / "f").permissions(), fs::perms(0640));
}

// ---------------------------------------------------------------------------------------------
// WriteFileAtomically, ReadWholeFile

TEST(WriteFileAtomically, CreatesAndReplaces) {
    const TempFolder dir;
    const std::string file = dir / "settings.ini";
    EXPECT_TRUE(WriteFileAtomically(file, "one\r\n"));
    EXPECT_EQ(ReadText(file), "one\r\n");
    EXPECT_TRUE(WriteFileAtomically(file, std::string("two\0three", 9)));
    EXPECT_EQ(ReadText(file), std::string("two\0three", 9));
    EXPECT_TRUE(WriteFileAtomically(file, ""));
    EXPECT_EQ(ReadText(file), "");
    EXPECT_EQ(AllNames(dir.Path()), std::vector<std::string>{"settings.ini"});
}

TEST(WriteFileAtomically, KeepsModeAndWritesThroughLinks) {
    const TempFolder dir;
    const std::string file = dir / "real";
    WriteText(file, "old");
    fs::permissions(file, fs::perms(0600));
    fs::create_symlink(file, dir / "link");
    EXPECT_TRUE(WriteFileAtomically(dir / "link", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadText(file), "new");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0600));
}

TEST(WriteFileAtomically, FailureLeavesTheTargetAsItWas) {
    const TempFolder dir;
    EXPECT_FALSE(WriteFileAtomically(dir / "missing/f", "x"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::create_directory(dir / "folder");
    WriteText(dir / "folder/inside", "keep");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", "x"));
    EXPECT_EQ(ReadText(dir / "folder/inside"), "keep");
    EXPECT_FALSE(WriteFileAtomically("", "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path() + "/", "x"));

    // A folder the user cannot write to: no temporary file can be made there.
    fs::create_directory(dir / "locked");
    WriteText(dir / "locked/f", "old");
    fs::permissions(dir / "locked", fs::perms(0555));
    fs::permissions(dir / "locked/f", fs::perms(0666));
    const std::string locked = dir / "locked/f";
    EXPECT_TRUE(test::RunUnprivileged(
        [&] { return FileExists(locked) && !WriteFileAtomically(locked, "new"); }));
    EXPECT_EQ(ReadText(locked), "old");
    EXPECT_EQ(AllNames(dir / "locked"), std::vector<std::string>{"f"});
}

TEST(ReadWholeFile, ReadsBytesExactly) {
    const TempFolder dir;
    const std::string content = std::string("a\r\nb\0c", 6) + std::string(200000, 'z');
    WriteText(dir / "f", content);
    std::string read = "previous";
    EXPECT_TRUE(ReadWholeFile(dir / "f", read));
    EXPECT_EQ(read, content);
    read = "previous";
    EXPECT_FALSE(ReadWholeFile(dir / "missing", read));
    EXPECT_FALSE(ReadWholeFile(dir.Path(), read));
    EXPECT_FALSE(ReadWholeFile("", read));
    EXPECT_EQ(read, "previous");
}

}  // namespace
}  // namespace tamsel
