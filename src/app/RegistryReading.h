#pragma once

#include <memory>

#include "platform/RegistryStore.h"
#include "reporting/RegistryReader.h"

namespace tamsel {

// The update log's registry reads, made through the program's registry wrapper over a store.
class RegistryWrapperReader : public RegistryReader {
  public:
    explicit RegistryWrapperReader(std::shared_ptr<RegistryStore> store)
        : store_(std::move(store)) {}

    std::string Value(const std::string& root, const std::string& key,
                      const std::string& name) const override;
    std::vector<std::string> SubKeys(const std::string& root,
                                     const std::string& key) const override;

  private:
    std::shared_ptr<RegistryStore> store_;
};

}  // namespace tamsel
