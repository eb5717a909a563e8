#include "app/qt/stored_values.h"

#include <cmath>
#include <limits>

#include "app/double_bytes.h"

namespace sw {

namespace {

std::optional<int32_t> InRange(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> StoredInt(const QSettings& store, const QString& name) {
    const QVariant value = store.value(name);
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return InRange(value.toLongLong());
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const qulonglong number = value.toULongLong();
            if (number > static_cast<qulonglong>(std::numeric_limits<int32_t>::max())) {
                return std::nullopt;
            }
            return static_cast<int32_t>(number);
        }
        case QMetaType::QString: {
            bool ok = false;
            const qlonglong number = value.toString().trimmed().toLongLong(&ok, 10);
            if (!ok) {
                return std::nullopt;
            }
            return InRange(number);
        }
        default:
            return std::nullopt;
    }
}

std::optional<bool> StoredBool(const QSettings& store, const QString& name) {
    const std::optional<int32_t> number = StoredInt(store, name);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0;
}

std::optional<std::string> StoredString(const QSettings& store, const QString& name) {
    const QVariant value = store.value(name);
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

std::optional<double> StoredDateTime(const QSettings& store, const QString& name) {
    const QVariant value = store.value(name);
    if (value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    const std::optional<double> days = BytesToDouble(
        reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    if (!days || !std::isfinite(*days)) {
        return std::nullopt;
    }
    return days;
}

QByteArray DateTimeValue(double days) {
    const std::array<uint8_t, 8> bytes = DoubleToBytes(days);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

}  // namespace sw
