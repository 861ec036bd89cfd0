#pragma once

#include <string>

namespace tamsel {

// One optional package of a menu: its name and the location of its own catalogue and files.
class CChoice {
  public:
    const std::string& Choice() const { return choice_; }
    void Choice(std::string v) { choice_ = std::move(v); }
    const std::string& Home() const { return home_; }
    void Home(std::string v) { home_ = std::move(v); }
    bool Active() const { return active_; }
    void Active(bool v) { active_ = v; }
    bool Historical() const { return historical_; }
    void Historical(bool v) { historical_ = v; }

    void Tuple(std::string choice, std::string home) {
        choice_ = std::move(choice);
        home_ = std::move(home);
    }
    // Home='/sales' choice='Sales'
    std::string toString() const { return "Home='" + home_ + "' choice='" + choice_ + "'"; }
    // Choice="Sales" Home="/sales"
    std::string toString2() const { return "Choice=\"" + choice_ + "\" Home=\"" + home_ + "\""; }

  private:
    std::string choice_;
    std::string home_;
    bool active_ = false;
    bool historical_ = false;
};

}  // namespace tamsel
