#pragma once

#include <memory>
#include <string>

#include "catalogue/CCatalogue.h"
#include "util/DebugLog.h"

namespace tamsel {

// Builds catalogues from a catalogue text and from a folder on disk.
class CFactory {
  public:
    explicit CFactory(DebugTarget debug = {}) : debug_(std::move(debug)) {}

    // Parses a catalogue text (CR LF or LF line ends; text after the last one is not read). The
    // prefix becomes the Append of the [COMMON] files; remote is the Append of [SPECIAL] files.
    // Null for an empty text; otherwise a catalogue, empty when no line is usable. Throws
    // TamselError for a data line whose quotes do not balance (err::InvalidArgument) and for a
    // force beyond 16 bits (err::Overflow).
    std::shared_ptr<CCatalogue> createCatalogueFromText(const std::string& text,
                                                        const std::string& prefix,
                                                        const std::string& remote);
    // The 1-based number of the line the last parse read last: after a failure, the line at
    // fault.
    long lastLineRead() const { return lastLineRead_; }
    // How many files, menus, exclusions, special entries and settings the last parse found.
    long entriesRead() const { return entriesRead_; }

    // The catalogue of the files below root (root + "/" + relativeStart); null for an empty
    // root. File-system errors are thrown (TamselError).
    std::shared_ptr<CCatalogue> createCatalogueFromFileSystem(const std::string& root,
                                                              const std::string& relativeStart);
    // Appends one entry per file below base + relative, depth first in listing order. The base
    // ends with "/", the relative folder is empty or ends with "/". Linked folders are walked like
    // ordinary ones, except one that leads back to a folder above it.
    void WalkFileSystem(const std::string& base, const std::string& relative, CFiles& files);

  private:
    DebugTarget debug_;
    long lastLineRead_ = 0;
    long entriesRead_ = 0;
};

}  // namespace tamsel
