// On Linux the user's registry is the folder of exported-registry files.
#include "platform/FileRegistryStore.h"

namespace tamsel {

std::shared_ptr<RegistryStore> MakeUserRegistryStore() {
    return std::make_shared<FileRegistryStore>();
}

RegistryStore& SystemRegistryStore() {
    static FileRegistryStore store;
    return store;
}

}  // namespace tamsel
