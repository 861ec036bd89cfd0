#include "platform/SpoolFile.h"

#include <unistd.h>
#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace tamsel {

namespace {

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& error) {
    std::filesystem::rename(from, to, error);
    return !error;
}

}  // namespace

std::filesystem::path SpoolFile::UniqueNameIn(const std::filesystem::path& folder) {
    static std::atomic<unsigned long> counter{0};
    static const unsigned long salt = std::random_device{}();
    // A leading "." keeps the file out of folder listings should it ever be left behind.
    return folder / (".tamsel-" + std::to_string(::getpid()) + "-" + std::to_string(salt) + "-" +
                     std::to_string(counter++) + ".part");
}

std::unique_ptr<SpoolFile> SpoolFile::Create(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto path = UniqueNameIn(folder);
        // "x": fail rather than reuse a file someone else created under the same name.
        UniqueFile file(std::fopen(path.c_str(), "wbx"));
        if (file) {
            return std::unique_ptr<SpoolFile>(new SpoolFile(std::move(path), std::move(file)));
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

SpoolFile::SpoolFile(std::filesystem::path path, UniqueFile file)
    : path_(std::move(path)), file_(std::move(file)) {}

SpoolFile::~SpoolFile() {
    file_.reset();
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

bool SpoolFile::write(const char* data, std::size_t size) {
    if (!file_ || writeFailed_) {
        return false;
    }
    if (size > 0 && std::fwrite(data, 1, size, file_.get()) != size) {
        writeFailed_ = true;
        return false;
    }
    size_ += size;
    return true;
}

bool SpoolFile::close() {
    if (file_) {
        std::FILE* file = file_.release();
        if (std::fclose(file) != 0) {
            writeFailed_ = true;
        }
    }
    return !writeFailed_;
}

std::string SpoolFile::readAll() const {
    if (file_ || committed_) {
        return {};
    }
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SpoolFile::commitTo(const std::filesystem::path& target) {
    if (committed_ || !close()) {
        return false;
    }
    std::error_code error;
    if (RenameOver(path_, target, error)) {
        committed_ = true;
        return true;
    }
    if (error != std::errc::cross_device_link) {
        return false;
    }
    const auto sibling = UniqueNameIn(target.parent_path().empty() ? "." : target.parent_path());
    if (!std::filesystem::copy_file(path_, sibling, error)) {
        std::filesystem::remove(sibling, error);
        return false;
    }
    if (!RenameOver(sibling, target, error)) {
        std::error_code ignored;
        std::filesystem::remove(sibling, ignored);
        return false;
    }
    std::filesystem::remove(path_, error);
    committed_ = true;
    return true;
}

}  // namespace tamsel
