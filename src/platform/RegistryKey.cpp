#include "platform/RegistryKey.h"

#include <algorithm>
#include <utility>

#include "util/Text.h"

namespace tamsel {

RegistryData RegistryText(std::string_view text, std::uint32_t type) {
    RegistryData data{type, {text.begin(), text.end()}};
    data.bytes.push_back(0);
    return data;
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> names;
    while (!path.empty()) {
        const auto slash = path.find('\\');
        const auto name = path.substr(0, slash);
        if (!name.empty()) {
            names.push_back(name);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        path.remove_prefix(slash + 1);
    }
    return names;
}

bool RegistryKey::NameLessIgnoringCase::operator()(std::string_view a, std::string_view b) const {
    const auto lower = [](char c) {
        return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
}

const RegistryKey* RegistryKey::find(std::string_view path) const {
    const RegistryKey* key = this;
    for (const auto name : SplitKeyPath(path)) {
        const auto found = key->subkeys_.find(name);
        if (found == key->subkeys_.end()) {
            return nullptr;
        }
        key = found->second.get();
    }
    return key;
}

RegistryKey* RegistryKey::find(std::string_view path) {
    return const_cast<RegistryKey*>(std::as_const(*this).find(path));
}

RegistryKey& RegistryKey::create(std::string_view path) {
    RegistryKey* key = this;
    for (const auto name : SplitKeyPath(path)) {
        auto found = key->subkeys_.find(name);
        if (found == key->subkeys_.end()) {
            found =
                key->subkeys_
                    .emplace(std::string(name), std::make_unique<RegistryKey>(std::string(name)))
                    .first;
        }
        key = found->second.get();
    }
    return *key;
}

bool RegistryKey::removeSubkey(std::string_view name) {
    const auto found = subkeys_.find(name);
    if (found == subkeys_.end()) {
        return false;
    }
    subkeys_.erase(found);
    return true;
}

const RegistryData* RegistryKey::value(std::string_view name) const {
    for (const auto& value : values_) {
        if (EqualsNoCase(value.name, name)) {
            return &value.data;
        }
    }
    return nullptr;
}

void RegistryKey::setValue(std::string_view name, RegistryData data) {
    for (auto& existing : values_) {
        if (EqualsNoCase(existing.name, name)) {
            existing.data = std::move(data);
            return;
        }
    }
    values_.push_back({std::string(name), std::move(data)});
}

bool RegistryKey::removeValue(std::string_view name) {
    const auto found = std::find_if(values_.begin(), values_.end(), [&](const auto& value) {
        return EqualsNoCase(value.name, name);
    });
    if (found == values_.end()) {
        return false;
    }
    values_.erase(found);
    return true;
}

}  // namespace tamsel
