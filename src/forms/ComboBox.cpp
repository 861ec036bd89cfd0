#include "forms/ComboBox.h"

#include <algorithm>
#include <stdexcept>

namespace tamsel {

namespace {
void CheckIndex(const ComboBox& box, int index) {
    if (index < 0 || index >= box.ListCount()) {
        throw std::out_of_range("list index " + std::to_string(index) + " out of range in " +
                                box.Name());
    }
}
}  // namespace

const std::string& ComboBox::List(int index) const {
    CheckIndex(*this, index);
    return m_items[static_cast<std::size_t>(index)];
}

int ComboBox::AddItem(std::string text) {
    m_items.push_back(std::move(text));
    const int index = ListCount() - 1;
    Notify(ControlProperty::ItemAdded, index);
    return index;
}

int ComboBox::FindItem(const std::string& text) const {
    const auto found = std::find(m_items.begin(), m_items.end(), text);
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

void ComboBox::SetListIndex(int index) {
    if (index != -1) {
        CheckIndex(*this, index);
    }
    if (m_listIndex != index) {
        m_listIndex = index;
        Notify(ControlProperty::ListIndex);
        Raise(OnClick);
    }
}

std::string ComboBox::Text() const {
    return m_listIndex < 0 ? std::string() : m_items[static_cast<std::size_t>(m_listIndex)];
}

}  // namespace tamsel
