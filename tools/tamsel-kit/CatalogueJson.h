#pragma once

#include <nlohmann/json.hpp>

#include "catalogue/CCatalogue.h"

namespace tamsel::kit {

// The catalogue as JSON, keys in this order: files, excluded, special, menus and settings. Texts
// that are not valid UTF-8 are read as single-byte Latin-1 text.
nlohmann::ordered_json CatalogueToJson(const CCatalogue& catalogue);

}  // namespace tamsel::kit
