#pragma once

#include <QSettings>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace sw {

// Typed reads from the settings store. Each returns nothing when the value is absent or is not
// of the expected type, so that the caller falls back to its default: an INI file edited by hand
// can hold anything, and a value that cannot be what the program expects is treated as missing.

// A 32-bit integer: a number of any integer type within range, or a text holding exactly a
// decimal number within range (the INI file stores every number as text).
std::optional<int32_t> StoredInt(const QSettings& store, const QString& name);

// A boolean, stored as an integer: any non-zero number reads as true.
std::optional<bool> StoredBool(const QSettings& store, const QString& name);

// A text, as UTF-8 bytes. Only a plain text value qualifies; a byte array or a list (an
// unquoted comma in the INI file makes one) does not.
std::optional<std::string> StoredString(const QSettings& store, const QString& name);

// A date-time kept as 8 little-endian IEEE-double bytes. Another length, or a value that is not
// a finite number, does not qualify.
std::optional<double> StoredDateTime(const QSettings& store, const QString& name);

// The value that StoredDateTime reads back.
QByteArray DateTimeValue(double days);

}  // namespace sw
