// libFuzzer target for the version reader: any bytes as a whole file, through both containers
// and the block parser, then every question the reader asks of a block.
#include <cstddef>
#include <cstdint>

#include "reporting/VersionContainers.h"
#include "reporting/VersionResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tamsel::Bytes file(data, size);
    for (const auto& block : {tamsel::FindPeVersionBlock(file), tamsel::FindElfVersionBlock(file),
                              std::optional<tamsel::Bytes>(file)}) {
        if (!block) {
            continue;
        }
        const auto resource = tamsel::VersionResource::Parse(*block);
        if (!resource) {
            continue;
        }
        resource->Query("\\VarFileInfo\\Translation");
        resource->QueryText("\\StringFileInfo\\040904B0\\CompanyName");
        resource->QueryText("\\\\StringFileInfo\\\\");
    }
    return 0;
}
