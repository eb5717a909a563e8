#include "widgets/ui/knob_accessibility.h"

#include <QAccessibleWidget>
#include <algorithm>

#include "widgets/ui/knob.h"

namespace sw {
namespace {

class KnobAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit KnobAccessible(TKnob* knob) : QAccessibleWidget(knob, QAccessible::Dial) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            return QString::number(Knob()->Position());
        }
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return Knob()->Position(); }
    void setCurrentValue(const QVariant& value) override { Knob()->SetPosition(value.toInt()); }
    // A reversed knob (Min above Max) still has a lowest and a highest value.
    QVariant minimumValue() const override { return std::min(Knob()->Min(), Knob()->Max()); }
    QVariant maximumValue() const override { return std::max(Knob()->Min(), Knob()->Max()); }
    QVariant minimumStepSize() const override { return 1; }

  private:
    TKnob* Knob() const { return static_cast<TKnob*>(widget()); }
};

QAccessibleInterface* KnobAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TKnob::staticMetaObject.className())) {
        if (auto* knob = qobject_cast<TKnob*>(object)) {
            return new KnobAccessible(knob);
        }
    }
    return nullptr;
}

}  // namespace

void InstallKnobAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(KnobAccessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace sw
