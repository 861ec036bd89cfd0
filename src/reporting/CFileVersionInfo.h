#pragma once

#include <array>
#include <string>

// The version information of an executable or library file, offered as texts: the fixed
// version numbers, flags, operating system and file type, the language and the fifteen
// predefined string entries. Windows executables and libraries carry it as a version resource;
// our own Linux executables carry the same block in an ELF section.
namespace tamsel {

class CFileVersionInfo {
  public:
    static constexpr long kPredefinedCount = 15;

    // Makes the path absolute, stores it and re-reads the file; an empty path changes nothing.
    void FullPathName(const std::string& path);
    const std::string& FullPathName() const { return fullPath_; }
    bool Available() const { return available_; }

    const std::string& FileFlags() const { return flags_; }
    const std::string& FileOS() const { return os_; }
    const std::string& FileType() const { return type_; }
    const std::string& FileSubType() const { return subtype_; }
    const std::string& VerFile() const { return fileVersion_; }
    const std::string& VerProduct() const { return productVersion_; }
    const std::string& VerStructure() const { return structureVersion_; }

    // Display name and value of the predefined value at index 0 to 14; empty for other indexes.
    std::string PredefinedName(long index) const;
    std::string PredefinedValue(long index) const;

    const std::string& Language() const { return values_[0]; }
    const std::string& Comments() const { return values_[1]; }
    const std::string& CompanyName() const { return values_[2]; }
    const std::string& FileDescription() const { return values_[3]; }
    const std::string& FileVersion() const { return values_[4]; }
    const std::string& InternalName() const { return values_[5]; }
    const std::string& LegalCopyright() const { return values_[6]; }
    const std::string& LegalTrademarks() const { return values_[7]; }
    const std::string& OriginalFilename() const { return values_[8]; }
    const std::string& ProductName() const { return values_[9]; }
    const std::string& ProductVersion() const { return values_[10]; }
    const std::string& PrivateBuild() const { return values_[11]; }
    const std::string& SpecialBuild() const { return values_[12]; }

    // Re-reads the file at the stored path. A file without version information sets Available
    // false and keeps every text of the file read before it.
    void Refresh();

  private:
    std::string fullPath_;
    bool available_ = false;
    std::string structureVersion_;
    std::string fileVersion_;
    std::string productVersion_;
    std::string flags_;
    std::string os_;
    std::string type_;
    std::string subtype_;
    std::array<std::string, kPredefinedCount> values_;
};

}  // namespace tamsel
