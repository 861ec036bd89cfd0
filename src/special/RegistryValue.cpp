#include "special/RegistryValue.h"

namespace tamsel {

std::string RegistryValueText(const RegistryValue& value) {
    struct Text {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(std::int16_t number) const { return std::to_string(number); }
        std::string operator()(std::int32_t number) const { return std::to_string(number); }
        std::string operator()(const std::vector<std::uint8_t>& bytes) const {
            return {bytes.begin(), bytes.end()};
        }
    };
    return std::visit(Text{}, value);
}

}  // namespace tamsel
