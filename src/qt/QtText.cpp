#include "qt/QtText.h"

#include <QApplication>
#include <QPalette>
#include <QStringDecoder>
#include <QWidget>

namespace tamsel {

QString ToQString(const std::string& text) {
    const QByteArray bytes = QByteArray::fromStdString(text);
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result = decoder(bytes);
    if (decoder.hasError()) {
        result = QString::fromLatin1(bytes);
    }
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

std::string FromQString(const QString& text) {
    return text.toStdString();
}

namespace {
QPalette::ColorRole SystemRole(int index) {
    switch (index) {
        case 5:
            return QPalette::Base;
        case 15:
            return QPalette::Button;
        case 16:
            return QPalette::Dark;
        case 18:
            return QPalette::ButtonText;
        default:
            return QPalette::WindowText;
    }
}
}  // namespace

QColor ToQColor(Colour colour) {
    if (IsSystemColour(colour)) {
        return QApplication::palette().color(SystemRole(SystemColourIndex(colour)));
    }
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void ApplyTextColour(QWidget& widget, Colour colour) {
    QPalette palette = widget.palette();
    const QPalette base = QApplication::palette(&widget);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        const QColor shown = colour == kColourWindowText ? base.color(role) : ToQColor(colour);
        palette.setColor(QPalette::Active, role, shown);
        palette.setColor(QPalette::Inactive, role, shown);
    }
    widget.setPalette(palette);
}

}  // namespace tamsel
