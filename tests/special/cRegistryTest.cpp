#include "special/cRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "util/Error.h"

namespace tamsel {
namespace {

using Bytes = std::vector<std::uint8_t>;

class cRegistryTest : public ::testing::Test {
  protected:
    cRegistryTest() {
        registry.ClassKey(HKEY_CURRENT_USER);
        registry.SectionKey("Software\\Tamsel");
        registry.ValueKey("Setting");
    }

    // The number and description of the error a registry operation raises; fails the test when
    // it raises none.
    template <class Operation>
    std::string Raised(Operation operation) {
        try {
            operation();
        } catch (const TamselError& error) {
            EXPECT_TRUE(error.Source().ends_with(".cRegistry")) << error.Source();
            return std::to_string(error.Number()) + " " + error.Description();
        }
        ADD_FAILURE() << "no error raised";
        return "";
    }

    MemoryRegistryStore store;
    cRegistry registry{store};
};

TEST_F(cRegistryTest, WritesFollowTheValueTypeRules) {
    ::setenv("TAMSEL_REGISTRY_TEST", "/kit", 1);
    struct Case {
        std::int32_t valueType;
        RegistryValue written;
        std::uint32_t storedType;
        RegistryValue read;
    };
    const Case cases[] = {
        {1, std::string("plain"), 1, std::string("plain")},
        {1, std::string("50% off"), 1, std::string("50% off")},
        {1, std::string("%%"), 1, std::string("%%")},
        {1, std::string("%TAMSEL_REGISTRY_TEST%\\a"), 2, std::string("/kit\\a")},
        {1, std::string("%UNSET_NAME%, 100% of %TAMSEL_REGISTRY_TEST%"), 2,
         std::string("%UNSET_NAME%, 100% of /kit")},
        {1, std::int32_t{42}, 1, std::string("42")},
        {4, std::int32_t{-1}, 4, std::int32_t{-1}},
        {5, std::int16_t{-2}, 4, std::int32_t{-2}},
        {3, Bytes{1, 0, 255}, 3, Bytes{1, 0, 255}},
    };
    for (const auto& c : cases) {
        registry.ValueType(c.valueType);
        registry.Value(c.written);
        EXPECT_EQ(store.readValue(RegistryRoot::CurrentUser, "software\\TAMSEL", "setting")->type,
                  c.storedType)
            << RegistryValueText(c.written);
        registry.ValueType(0);
        EXPECT_EQ(registry.Value(), c.read) << RegistryValueText(c.written);
        EXPECT_EQ(registry.ValueType(), static_cast<std::int32_t>(c.storedType));
    }
    // A name in another letter case writes the same value, not a second one.
    registry.ValueKey("SETTING");
    registry.ValueType(1);
    registry.Value(std::string("upper"));
    registry.ValueKey("setting");
    EXPECT_EQ(registry.Value(), RegistryValue(std::string("upper")));
}

TEST_F(cRegistryTest, KeysAndSections) {
    std::vector<std::string> names{"stale"};
    std::int32_t count = 9;
    EXPECT_TRUE(registry.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());

    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey());
    EXPECT_TRUE(registry.EnumerateSections(names, count)) << "a key without subkeys";
    EXPECT_EQ(count, 0);

    registry.SectionKey("Software\\Tamsel\\Add-ins\\Kit");
    registry.CreateKey();
    registry.SectionKey("Software\\Tamsel\\add-ins\\Alpha");
    registry.CreateKey();
    registry.SectionKey("SOFTWARE\\tamsel\\ADD-INS");
    EXPECT_TRUE(registry.KeyExists());
    EXPECT_TRUE(registry.EnumerateSections(names, count));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Kit"}));
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(registry.DeleteKey()) << "a key with subkeys stays";

    registry.SectionKey("Software\\Tamsel\\Add-ins\\Kit");
    EXPECT_TRUE(registry.DeleteKey());
    EXPECT_FALSE(registry.DeleteKey());
    EXPECT_FALSE(registry.KeyExists());
}

// One failure shows the mechanism (number, source, text); a failed write stores nothing.
TEST_F(cRegistryTest, FailuresRaiseTheirNumbersAndMessages) {
    registry.ValueKey("Path");
    EXPECT_EQ(
        Raised([&] { registry.DeleteValue(); }),
        "26001 Failed to open key '-2147483647',Section: 'Software\\Tamsel' for delete access");
    registry.CreateKey();
    registry.ValueType(4);
    EXPECT_FALSE(Raised([&] { registry.Value(std::string("C:\\Kit")); }).empty());
    EXPECT_EQ(store.readValue(RegistryRoot::CurrentUser, "Software\\Tamsel", "Path"), std::nullopt);
    registry.ClassKey(0);
    EXPECT_FALSE(Raised([&] { registry.CreateKey(); }).empty());

    registry.ClassKey(HKEY_CURRENT_USER);
    registry.ValueKey("Line\nBreak");
    EXPECT_TRUE(Raised([&] { registry.Value(std::string("x")); }).starts_with("-2147194455 "))
        << "a name that would break the file's lines is refused";
}

}  // namespace
}  // namespace tamsel
