#pragma once

#include <memory>

#include "platform/RegistryStore.h"
#include "reporting/RegistryReader.h"

namespace tamsel {

// The update log's registry reads, made through the program's registry wrapper over a store.
// The reader follows the pointer it is given, so a store that start-up puts in its place is the
// one read.
class RegistryWrapperReader : public RegistryReader {
  public:
    explicit RegistryWrapperReader(const std::shared_ptr<RegistryStore>& store) : store_(store) {}
    explicit RegistryWrapperReader(std::shared_ptr<RegistryStore>&&) = delete;

    std::string Value(const std::string& root, const std::string& key,
                      const std::string& name) const override;
    std::vector<std::string> SubKeys(const std::string& root,
                                     const std::string& key) const override;

  private:
    const std::shared_ptr<RegistryStore>& store_;
};

}  // namespace tamsel
