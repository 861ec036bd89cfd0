#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CChoice.h"

namespace tamsel {

class CConfiguration;

// A menu of optional packages: a caption, the least number of selections and the choices in
// catalogue order. The menu shares its choices.
class CMenu {
  public:
    using Choices = std::vector<std::shared_ptr<CChoice>>;

    void add(std::shared_ptr<CChoice> choice) { choices_.push_back(std::move(choice)); }
    const Choices& asCollection() const { return choices_; }

    const std::string& Caption() const { return caption_; }
    void Caption(std::string v) { caption_ = std::move(v); }
    // Least number of choices to select; 0 or less means no minimum.
    std::int16_t Force() const { return force_; }
    void Force(std::int16_t v) { force_ = v; }

    // Selects every inactive choice named (exactly) by a "historical" line of the local settings,
    // marking it historical too.
    void promoteHistorical(const CConfiguration& local);

  private:
    Choices choices_;
    std::string caption_;
    std::int16_t force_ = 0;
};

}  // namespace tamsel
