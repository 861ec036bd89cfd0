#include "qt/ControlWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

#include "forms/Forms.h"
#include "qt/QtText.h"

namespace tamsel {

namespace {

// Draws a Line control: the segment between its points, in its colour.
class LineWidget : public QWidget {
  public:
    LineWidget(Line& line, QWidget* parent) : QWidget(parent), m_line(line) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setPen(ToQColor(m_line.ForeColor()));
        const Rect& box = m_line.Geometry();
        painter.drawLine(m_line.X1() - box.left, m_line.Y1() - box.top, m_line.X2() - box.left,
                         m_line.Y2() - box.top);
    }

  private:
    Line& m_line;
};

// A label's caption as shown: with mnemonics the first single "&" goes and "&&" is one "&".
QString LabelText(const Label& label) {
    QString text = ToQString(label.Caption());
    if (!label.UseMnemonic()) {
        return text;
    }
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

Qt::Alignment ToQtAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case Alignment::Center:
            return Qt::AlignHCenter | Qt::AlignTop;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QListWidgetItem* MakeListItem(const ListBox& list, int index) {
    auto* item = new QListWidgetItem(ToQString(list.List(index)));
    if (list.TickBoxes()) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(list.Checked(index) ? Qt::Checked : Qt::Unchecked);
    }
    return item;
}

void ApplyList(ListBox& list, QListWidget& widget, ControlProperty property, int index) {
    switch (property) {
        case ControlProperty::ItemAdded:
            widget.insertItem(index, MakeListItem(list, index));
            break;
        case ControlProperty::ItemText:
            widget.item(index)->setText(ToQString(list.List(index)));
            break;
        case ControlProperty::ItemChecked:
            widget.item(index)->setCheckState(list.Checked(index) ? Qt::Checked : Qt::Unchecked);
            break;
        case ControlProperty::ItemsCleared:
        case ControlProperty::Style:
            widget.clear();
            for (int i = 0; i < list.ListCount(); ++i) {
                widget.addItem(MakeListItem(list, i));
            }
            widget.setCurrentRow(list.ListIndex());
            break;
        case ControlProperty::ListIndex:
            widget.setCurrentRow(list.ListIndex());
            if (list.ListIndex() >= 0) {
                widget.scrollToItem(widget.item(list.ListIndex()));
            }
            break;
        default:
            break;
    }
}

void ApplyCombo(ComboBox& combo, QComboBox& widget, ControlProperty property, int index) {
    switch (property) {
        case ControlProperty::ItemAdded:
            widget.insertItem(index, ToQString(combo.List(index)));
            break;
        case ControlProperty::ListIndex:
            widget.setCurrentIndex(combo.ListIndex());
            break;
        default:
            break;
    }
}

void ApplyKindProperty(Control& control, QWidget& widget, ControlProperty property, int index) {
    switch (control.Kind()) {
        case ControlKind::Label: {
            auto& label = static_cast<Label&>(control);
            auto& qlabel = static_cast<QLabel&>(widget);
            qlabel.setText(LabelText(label));
            qlabel.setAlignment(ToQtAlignment(label.TextAlignment()));
            break;
        }
        case ControlKind::TextBox: {
            auto& box = static_cast<TextBox&>(control);
            if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
                if (line->text() != ToQString(box.Text())) {
                    line->setText(ToQString(box.Text()));
                }
            } else if (auto* edit = qobject_cast<QPlainTextEdit*>(&widget)) {
                if (edit->toPlainText() != ToQString(box.Text())) {
                    edit->setPlainText(ToQString(box.Text()));
                }
            }
            break;
        }
        case ControlKind::CommandButton: {
            auto& button = static_cast<CommandButton&>(control);
            auto& qbutton = static_cast<QPushButton&>(widget);
            qbutton.setText(ToQString(button.Caption()));
            qbutton.setDefault(button.Default());
            break;
        }
        case ControlKind::CheckBox: {
            auto& box = static_cast<CheckBox&>(control);
            auto& qbox = static_cast<QCheckBox&>(widget);
            qbox.setText(ToQString(box.Caption()));
            qbox.setTristate(box.Value() == CheckBox::kGrayed);
            qbox.setCheckState(box.Value() == CheckBox::kChecked  ? Qt::Checked
                               : box.Value() == CheckBox::kGrayed ? Qt::PartiallyChecked
                                                                  : Qt::Unchecked);
            break;
        }
        case ControlKind::ListBox:
            ApplyList(static_cast<ListBox&>(control), static_cast<QListWidget&>(widget), property,
                      index);
            break;
        case ControlKind::ComboBox:
            ApplyCombo(static_cast<ComboBox&>(control), static_cast<QComboBox&>(widget), property,
                       index);
            break;
        case ControlKind::ProgressBar: {
            auto& bar = static_cast<ProgressBar&>(control);
            auto& qbar = static_cast<QProgressBar&>(widget);
            qbar.setRange(0, bar.Max());
            qbar.setValue(bar.Value());
            break;
        }
        case ControlKind::Line:
        case ControlKind::Timer:
            widget.update();
            break;
    }
}

void ApplyFont(const Control& control, QWidget& widget) {
    QFont font = widget.parentWidget() != nullptr ? widget.parentWidget()->font() : QFont();
    if (control.FontSize() > 0) {
        font.setPointSize(control.FontSize());
    }
    font.setBold(control.FontBold());
    widget.setFont(font);
}

}  // namespace

QWidget* CreateControlWidget(Control& control, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (control.Kind()) {
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            widget = label;
            break;
        }
        case ControlKind::TextBox:
            if (static_cast<TextBox&>(control).MultiLine()) {
                widget = new QPlainTextEdit(parent);
            } else {
                widget = new QLineEdit(parent);
            }
            break;
        case ControlKind::CommandButton:
            widget = new QPushButton(parent);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(parent);
            break;
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            // A line longer than the list is wide wraps onto as many rows as it needs, so a
            // status line is read whole at any text size (a word wider than the list, an
            // address say, is reached by scrolling sideways); long lists are laid out in batches.
            list->setWordWrap(true);
            list->setTextElideMode(Qt::ElideNone);
            list->setResizeMode(QListView::Adjust);
            list->setLayoutMode(QListView::Batched);
            widget = list;
            break;
        }
        case ControlKind::ComboBox:
            widget = new QComboBox(parent);
            break;
        case ControlKind::Line:
            widget = new LineWidget(static_cast<Line&>(control), parent);
            break;
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::Timer:
            return nullptr;
    }
    widget->setObjectName(ToQString(control.Name()));
    for (const auto property :
         {ControlProperty::Geometry, ControlProperty::Font, ControlProperty::ForeColor,
          ControlProperty::Enabled, ControlProperty::Visible, ControlProperty::ToolTipText,
          ControlProperty::Style, ControlProperty::Caption, ControlProperty::Text,
          ControlProperty::Value, ControlProperty::ListIndex}) {
        ApplyControlProperty(control, *widget, property, -1);
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const auto& box = static_cast<ComboBox&>(control);
        for (int i = 0; i < box.ListCount(); ++i) {
            combo->addItem(ToQString(box.List(i)));
        }
        combo->setCurrentIndex(box.ListIndex());
    }
    return widget;
}

void ApplyControlProperty(Control& control, QWidget& widget, ControlProperty property, int index) {
    const QSignalBlocker blocker(&widget);
    switch (property) {
        case ControlProperty::Geometry: {
            const Rect& box = control.Geometry();
            widget.setGeometry(box.left, box.top, box.width, box.height);
            break;
        }
        case ControlProperty::Font:
            ApplyFont(control, widget);
            break;
        case ControlProperty::ForeColor:
            ApplyTextColour(widget, control.ForeColor());
            widget.update();
            break;
        case ControlProperty::Enabled:
            widget.setEnabled(control.Enabled());
            break;
        case ControlProperty::Visible:
            widget.setVisible(control.Visible());
            break;
        case ControlProperty::ToolTipText:
            widget.setToolTip(ToQString(control.ToolTipText()));
            break;
        default:
            ApplyKindProperty(control, widget, property, index);
            break;
    }
}

}  // namespace tamsel
