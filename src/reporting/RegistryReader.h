#pragma once

#include <string>
#include <vector>

namespace tamsel {

// The registry reads the environment texts need: a value's text and a key's subkeys, under a
// root given by its name ("HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT"). The base class is the
// stand-in for a machine without a registry store: it finds nothing.
class RegistryReader {
  public:
    virtual ~RegistryReader() = default;

    // The value's text; empty when the key or the value does not exist. An empty value name
    // reads the key's default value.
    virtual std::string Value(const std::string& /*root*/, const std::string& /*key*/,
                              const std::string& /*name*/) const {
        return {};
    }
    // The names of the key's subkeys, in the store's order.
    virtual std::vector<std::string> SubKeys(const std::string& /*root*/,
                                             const std::string& /*key*/) const {
        return {};
    }
};

}  // namespace tamsel
