#include <gtest/gtest.h>

#include "app/RegistryReading.h"
#include "reporting/Environment.h"
#include "special/cRegistry.h"

namespace tamsel {
namespace {

void Store(RegistryStore& store, std::int32_t root, const std::string& key, const std::string& name,
           const std::string& text) {
    cRegistry registry(store);
    registry.ClassKey(root);
    registry.SectionKey(key);
    ASSERT_TRUE(registry.CreateKey());
    registry.ValueKey(name);
    registry.ValueType(1);
    registry.Value(RegistryValue(text));
}

TEST(RegistryWrapperReader, TheLogFindsTheCountryAndClassRegistrationsInTheStore) {
    std::shared_ptr<RegistryStore> store = std::make_shared<MemoryRegistryStore>();
    Store(*store, HKEY_CURRENT_USER, "Control Panel\\International", "sCountry", "Wales");
    Store(*store, HKEY_CLASSES_ROOT, "CLSID\\{A}\\ProgID", "", "Other.Class");
    Store(*store, HKEY_CLASSES_ROOT, "CLSID\\{B}\\ProgID", "", "Scripting.FileSystemObject");
    Store(*store, HKEY_CLASSES_ROOT, "CLSID\\{B}\\InProcServer32", "", " scrrun.dll ");
    const RegistryWrapperReader reader(store);
    EXPECT_EQ(CountryName(reader), "Wales");
    EXPECT_EQ(ObjectInfo(reader, "Scripting.filesystemobject"),
              "Scripting.FileSystemObject (scrrun.dll)");
}

}  // namespace
}  // namespace tamsel
