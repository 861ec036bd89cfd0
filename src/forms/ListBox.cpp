#include "forms/ListBox.h"

#include <stdexcept>

namespace tamsel {

void ListBox::SetTickBoxes(bool tickBoxes) {
    if (m_tickBoxes != tickBoxes) {
        m_tickBoxes = tickBoxes;
        Notify(ControlProperty::Style);
    }
}

const std::string& ListBox::List(int index) const {
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)].text;
}

void ListBox::SetList(int index, std::string text) {
    CheckIndex(index);
    auto& item = m_items[static_cast<std::size_t>(index)];
    if (item.text != text) {
        item.text = std::move(text);
        Notify(ControlProperty::ItemText, index);
    }
}

int ListBox::AddItem(std::string text) {
    m_items.push_back(Item{std::move(text), false});
    const int index = ListCount() - 1;
    Notify(ControlProperty::ItemAdded, index);
    return index;
}

void ListBox::Clear() {
    m_items.clear();
    m_listIndex = -1;
    Notify(ControlProperty::ItemsCleared);
}

bool ListBox::Checked(int index) const {
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)].checked;
}

void ListBox::SetChecked(int index, bool checked) {
    CheckIndex(index);
    auto& item = m_items[static_cast<std::size_t>(index)];
    if (item.checked != checked) {
        item.checked = checked;
        Notify(ControlProperty::ItemChecked, index);
        if (OnItemCheck) {
            OnItemCheck(index);
        }
    }
}

void ListBox::SetListIndex(int index) {
    if (index != -1) {
        CheckIndex(index);
    }
    if (m_listIndex != index) {
        m_listIndex = index;
        Notify(ControlProperty::ListIndex);
        Raise(OnClick);
    }
}

void ListBox::CheckIndex(int index) const {
    if (index < 0 || index >= ListCount()) {
        throw std::out_of_range("list index " + std::to_string(index) + " out of range in " +
                                Name());
    }
}

}  // namespace tamsel
