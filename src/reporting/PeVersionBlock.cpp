#include "reporting/VersionContainers.h"

// The version resource of a PE file: the resource tree's type RT_VERSION, its first name and that
// name's first language. The tree is walked exactly three levels deep, so a directory that points
// back at itself cannot make the walk loop.
namespace tamsel {
namespace {

constexpr std::uint32_t kVersionResourceType = 16;
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

struct PeImage {
    Bytes file;
    std::uint64_t sectionTable = 0;
    std::uint16_t sectionCount = 0;

    // The file offset of an address of the loaded image, when the file holds those bytes.
    std::optional<std::uint64_t> FileOffset(std::uint32_t rva, std::uint64_t length) const {
        for (std::uint16_t i = 0; i < sectionCount; ++i) {
            const std::uint64_t header = sectionTable + 40ull * i;
            Section s;
            if (!ReadU32(file, header + 12, s.virtualAddress) ||
                !ReadU32(file, header + 16, s.rawSize) ||
                !ReadU32(file, header + 20, s.rawOffset)) {
                return std::nullopt;
            }
            if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) {
                continue;
            }
            const std::uint64_t inSection = rva - s.virtualAddress;
            if (length > s.rawSize - inSection) {
                return std::nullopt;
            }
            const std::uint64_t offset = s.rawOffset + inSection;
            if (!InBounds(file, offset, length)) {
                return std::nullopt;
            }
            return offset;
        }
        return std::nullopt;
    }
};

std::optional<PeImage> ReadHeaders(Bytes file, std::uint32_t& resourceRva) {
    std::uint32_t peOffset = 0;
    if (!InBounds(file, 0, 2) || file[0] != 'M' || file[1] != 'Z' ||
        !ReadU32(file, 0x3C, peOffset) || !InBounds(file, peOffset, 24) || file[peOffset] != 'P' ||
        file[peOffset + 1] != 'E' || file[peOffset + 2] != 0 || file[peOffset + 3] != 0) {
        return std::nullopt;
    }
    PeImage image{file};
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    const std::uint64_t optional = peOffset + 24ull;
    if (!ReadU16(file, peOffset + 6ull, image.sectionCount) ||
        !ReadU16(file, peOffset + 20ull, optionalSize) || !ReadU16(file, optional, magic)) {
        return std::nullopt;
    }
    std::uint64_t directories = 0;
    if (magic == 0x10B) {
        directories = optional + 92;
    } else if (magic == 0x20B) {
        directories = optional + 108;
    } else {
        return std::nullopt;
    }
    std::uint32_t directoryCount = 0;
    if (!ReadU32(file, directories, directoryCount) || directoryCount <= kResourceDirectoryIndex ||
        !ReadU32(file, directories + 4 + 8 * kResourceDirectoryIndex, resourceRva) ||
        resourceRva == 0) {
        return std::nullopt;
    }
    image.sectionTable = optional + optionalSize;
    return image;
}

// One entry of the resource directory at the given offset: the one with the wanted id, or the
// first when any will do. Its target's offset from the resource root and whether it is a directory.
bool FindEntry(Bytes file, std::uint64_t root, std::uint64_t directory,
               std::optional<std::uint32_t> wantedId, std::uint32_t& target, bool& isDirectory) {
    std::uint16_t named = 0;
    std::uint16_t ids = 0;
    if (!ReadU16(file, directory + 12, named) || !ReadU16(file, directory + 14, ids)) {
        return false;
    }
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(named) + ids; ++i) {
        std::uint32_t name = 0;
        std::uint32_t data = 0;
        if (!ReadU32(file, directory + 16 + 8ull * i, name) ||
            !ReadU32(file, directory + 20 + 8ull * i, data)) {
            return false;
        }
        if (wantedId && (name & kSubdirectoryFlag || name != *wantedId)) {
            continue;
        }
        target = data & ~kSubdirectoryFlag;
        isDirectory = (data & kSubdirectoryFlag) != 0;
        return InBounds(file, root + target, 16);
    }
    return false;
}

}  // namespace

std::optional<Bytes> FindPeVersionBlock(Bytes file) {
    std::uint32_t resourceRva = 0;
    const auto image = ReadHeaders(file, resourceRva);
    if (!image) {
        return std::nullopt;
    }
    const auto root = image->FileOffset(resourceRva, 16);
    if (!root) {
        return std::nullopt;
    }
    std::uint32_t offset = 0;
    bool isDirectory = false;
    // Type, then name, then language: the first two lead to directories, the last to the data.
    if (!FindEntry(file, *root, *root, kVersionResourceType, offset, isDirectory) || !isDirectory ||
        !FindEntry(file, *root, *root + offset, std::nullopt, offset, isDirectory) ||
        !isDirectory ||
        !FindEntry(file, *root, *root + offset, std::nullopt, offset, isDirectory) || isDirectory) {
        return std::nullopt;
    }
    std::uint32_t dataRva = 0;
    std::uint32_t dataSize = 0;
    if (!ReadU32(file, *root + offset, dataRva) || !ReadU32(file, *root + offset + 4, dataSize)) {
        return std::nullopt;
    }
    const auto data = image->FileOffset(dataRva, dataSize);
    if (!data) {
        return std::nullopt;
    }
    return file.subspan(*data, dataSize);
}

std::optional<Bytes> FindVersionBlock(Bytes file) {
    if (auto block = FindPeVersionBlock(file)) {
        return block;
    }
    return FindElfVersionBlock(file);
}

}  // namespace tamsel
