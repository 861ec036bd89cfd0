#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/Control.h"

namespace tamsel {

// A list of text lines, optionally with a tick box on each. One colour (ForeColor) serves every
// line. Changing a tick raises OnItemCheck(index), also while the program fills the list;
// changing the selected line raises OnClick. Out-of-range indexes throw std::out_of_range.
class ListBox : public Control {
  public:
    struct Item {
        std::string text;
        bool checked = false;
    };

    ListBox(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::ListBox) {}

    bool TickBoxes() const { return m_tickBoxes; }
    void SetTickBoxes(bool tickBoxes);

    int ListCount() const { return static_cast<int>(m_items.size()); }
    const std::vector<Item>& Items() const { return m_items; }
    const std::string& List(int index) const;
    void SetList(int index, std::string text);
    // Adds a line at the end and returns its index.
    int AddItem(std::string text);
    void Clear();

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    // -1 when no line is selected. Selecting a line scrolls it into view.
    int ListIndex() const { return m_listIndex; }
    void SetListIndex(int index);

    std::function<void(int index)> OnItemCheck;
    std::function<void()> OnClick;

  private:
    void CheckIndex(int index) const;

    std::vector<Item> m_items;
    bool m_tickBoxes = false;
    int m_listIndex = -1;
};

}  // namespace tamsel
