#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/Control.h"

namespace tamsel {

// A drop-down list: the user picks one of its entries and cannot type. Changing the selection
// raises OnClick. Out-of-range indexes throw std::out_of_range.
class ComboBox : public Control {
  public:
    ComboBox(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::ComboBox) {}

    int ListCount() const { return static_cast<int>(m_items.size()); }
    const std::vector<std::string>& Items() const { return m_items; }
    const std::string& List(int index) const;
    int AddItem(std::string text);
    // Index of the first entry equal to text, or -1.
    int FindItem(const std::string& text) const;

    // -1 when nothing is selected.
    int ListIndex() const { return m_listIndex; }
    void SetListIndex(int index);
    // The selected entry's text, empty when nothing is selected.
    std::string Text() const;

    std::function<void()> OnClick;

  private:
    std::vector<std::string> m_items;
    int m_listIndex = -1;
};

}  // namespace tamsel
