#pragma once

// Placing the window's controls: positions and sizes are laid out in twips; 15 twips make one
// pixel at 96 dpi.

#include <QLabel>
#include <QPushButton>
#include <QRect>

namespace orvane {

constexpr int TwipsPerPixel = 15;

inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                 height / TwipsPerPixel);
}

template <typename T> T* place(QWidget* parent, const char* name, const QRect& geometry) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& g) {
    auto* b = place<QPushButton>(parent, name, g);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

inline QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& g) {
    auto* l = place<QLabel>(parent, name, g);
    l->setText(text);
    return l;
}

} // namespace orvane
