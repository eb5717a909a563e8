#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <functional>

#include <ostream>
#include "when_shown.h"

// Readable test failures for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace sw::test {

// The form's child of that object name; fails the test when there is none.
template <typename T>
T* Find(const QWidget& form, const char* name) {
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// The controls a screen reader user operates that carry no accessible name. The editors
// inside spin boxes and combo boxes speak for their owner.
inline QStringList UnnamedControls(const QWidget& window) {
    QStringList unnamed;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        const QWidget* owner = child->parentWidget();
        if (qobject_cast<const QAbstractSpinBox*>(owner) != nullptr ||
            qobject_cast<const QComboBox*>(owner) != nullptr) {
            continue;
        }
        const bool control = qobject_cast<const QAbstractButton*>(child) != nullptr ||
                             qobject_cast<const QComboBox*>(child) != nullptr ||
                             qobject_cast<const QAbstractSpinBox*>(child) != nullptr ||
                             qobject_cast<const QPlainTextEdit*>(child) != nullptr ||
                             qobject_cast<const QLineEdit*>(child) != nullptr ||
                             child->focusPolicy() != Qt::NoFocus;
        if (control && child->accessibleName().isEmpty() &&
            child->objectName() != QLatin1String("qt_scrollarea_viewport")) {
            unnamed << (child->objectName().isEmpty()
                            ? QString::fromLatin1(child->metaObject()->className())
                            : child->objectName());
        }
    }
    return unnamed;
}

}  // namespace sw::test
