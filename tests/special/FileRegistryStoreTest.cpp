#include "platform/FileRegistryStore.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tuple>

#include "special/cRegistry.h"
#include "support/TempDir.h"
#include "util/Error.h"

namespace tamsel {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kUser = RegistryRoot::CurrentUser;

std::string Utf16WithMark(std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(FileRegistryStoreTest, EveryValueTypeSurvivesTheFileFormat) {
    test::TempDir dir;
    // The value's name, its data, and its line as it stands in the file (empty: not checked).
    const std::tuple<std::string, RegistryData, std::string> cases[] = {
        {"Path", RegistryText("C:\\Kit \"Tamsel\""), "\"Path\"=\"C:\\\\Kit \\\"Tamsel\\\"\""},
        {"", RegistryText("default"), "@=\"default\""},
        {"Quote\"d\\", RegistryText(""), "\"Quote\\\"d\\\\\"=\"\""},
        {"AutoLoad", {regtype::Number, {255, 255, 255, 255}}, "\"AutoLoad\"=dword:ffffffff"},
        {"Home", RegistryText("%HOME%\\é", regtype::ExpandText),
         "\"Home\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,e9,00,00,00"},
        {"List",
         {regtype::TextList, {'a', 0, 'b', 0, 0}},
         "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
        {"Empty", {regtype::Binary, {}}, "\"Empty\"=hex:"},
        {"Lines", RegistryText("one\r\ntwo"), ""},
        {"Long", {regtype::Binary, Bytes(100, 0xAB)}, ""},
        {"Wide", {regtype::Text, {0xF0, 0x9F, 0x98, 0x80, 0}}, ""},
        {"Odd", {11, {1, 2, 3}}, "\"Odd\"=hex(b):01,02,03"},
    };
    {
        FileRegistryStore store(dir.path());
        ASSERT_TRUE(store.createKey(kUser, "Software\\Tamsel"));
        for (const auto& [name, data, line] : cases) {
            ASSERT_TRUE(store.writeValue(kUser, "Software\\Tamsel", name, data)) << name;
        }
    }
    const std::string file = dir.read("HKEY_CURRENT_USER.reg");
    EXPECT_TRUE(file.starts_with("Windows Registry Editor Version 5.00\r\n")) << file;
    EXPECT_NE(file.find("\r\n[HKEY_CURRENT_USER\\Software\\Tamsel]\r\n"), std::string::npos);
    FileRegistryStore reread(dir.path());
    for (const auto& [name, data, line] : cases) {
        if (!line.empty()) {
            EXPECT_NE(file.find("\r\n" + line + "\r\n"), std::string::npos) << line;
        }
        EXPECT_EQ(reread.readValue(kUser, "software\\tamsel", name), data) << name;
    }
}

TEST(FileRegistryStoreTest, ReadsAHandWrittenUtf16Export) {
    test::TempDir dir;
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "; Office 2003 with PowerPoint\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\11.0\\PowerPoint\\InstallRoot]\n"
        "\"Path\"=\"C:\\\\Program Files\\\\Microsoft Office\\\\OFFICE11\\\\\"\n"
        "\"Blob\"=hex:01,02,\\\n"
        "    03\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\10.0\\Common]\n";
    dir.write("HKEY_LOCAL_MACHINE.reg", Utf16WithMark(text));
    FileRegistryStore store(dir.path());
    const auto root = RegistryRoot::LocalMachine;
    EXPECT_EQ(
        store.readValue(root, "SOFTWARE\\microsoft\\office\\11.0\\powerpoint\\installroot", "path"),
        RegistryText("C:\\Program Files\\Microsoft Office\\OFFICE11\\"));
    EXPECT_EQ(
        store.readValue(root, "Software\\Microsoft\\Office\\11.0\\PowerPoint\\InstallRoot", "Blob"),
        (RegistryData{regtype::Binary, {1, 2, 3}}));
    EXPECT_TRUE(store.keyExists(root, "Software\\Microsoft\\Office\\11.0"))
        << "a parent exists when a descendant does";
    EXPECT_EQ(store.subkeys(root, "software\\microsoft\\office"),
              (std::vector<std::string>{"10.0", "11.0"}));
    EXPECT_FALSE(store.keyExists(RegistryRoot::CurrentUser, "Software")) << "a missing root file";
}

TEST(FileRegistryStoreTest, AFileThatCannotBeParsedIsLeftAsItWas) {
    const std::string contents[] = {
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n",
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n"
        "\"Version\"=hex:1,02\r\n",
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n"
        "\"Path\"=\"unterminated\r\n",
    };
    for (const auto& content : contents) {
        test::TempDir dir;
        dir.write("HKEY_CURRENT_USER.reg", content);
        FileRegistryStore store(dir.path());
        cRegistry registry(store);
        registry.SectionKey("Software");
        registry.ValueKey("Version");
        registry.Default(std::string("unknown"));
        EXPECT_EQ(registry.Value(), RegistryValue(std::string("unknown"))) << content;
        EXPECT_THROW(registry.CreateKey(), TamselError);
        EXPECT_THROW(registry.Value(std::string("1")), TamselError);
        EXPECT_FALSE(registry.DeleteKey());
        EXPECT_EQ(dir.read("HKEY_CURRENT_USER.reg"), content);
    }
}

TEST(FileRegistryStoreTest, TwoProcessesAddingKeysAtOnceLoseNone) {
    test::TempDir dir;
    constexpr int kKeys = 200;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            FileRegistryStore store(dir.path());
            bool ok = true;
            for (int k = 0; k < kKeys; ++k) {
                const std::string key =
                    "Software\\Writer" + std::to_string(w) + "\\" + std::to_string(k);
                ok = store.createKey(kUser, key) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileRegistryStore store(dir.path());
    for (int w = 0; w < 2; ++w) {
        const auto keys = store.subkeys(kUser, "Software\\Writer" + std::to_string(w));
        ASSERT_TRUE(keys.has_value());
        EXPECT_EQ(keys->size(), static_cast<std::size_t>(kKeys));
    }
}

}  // namespace
}  // namespace tamsel
