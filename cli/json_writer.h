#pragma once

#include <cstdint>
#include <string>

namespace sw::cli {

// A JSON string literal of bytes. Valid UTF-8 passes through; a byte that is not part of a valid
// UTF-8 sequence is read as Latin-1 (file names on Linux are bytes, tag texts Latin-1), so the
// output is always valid JSON. Quotes, backslashes and control characters are escaped.
std::string JsonString(const std::string& bytes);

class JsonArray;

// One flat JSON object, members in the order added.
class JsonObject {
  public:
    void Add(const std::string& key, const std::string& text);
    void Add(const std::string& key, const char* text) { Add(key, std::string(text)); }
    void Add(const std::string& key, int64_t number);
    void Add(const std::string& key, int32_t number) { Add(key, int64_t{number}); }
    void Add(const std::string& key, bool value);
    // Non-finite numbers become null: JSON has no spelling for them.
    void Add(const std::string& key, double number);
    void AddNull(const std::string& key);
    void AddObject(const std::string& key, const JsonObject& object);
    void AddArray(const std::string& key, const JsonArray& array);

    std::string Text() const { return "{" + members_ + "}"; }

  private:
    void Member(const std::string& key, const std::string& json);
    std::string members_;
};

// A JSON array of objects or strings, elements in the order added.
class JsonArray {
  public:
    void Add(const JsonObject& object) { Element(object.Text()); }
    void Add(const std::string& text) { Element(JsonString(text)); }

    std::string Text() const { return "[" + elements_ + "]"; }

  private:
    void Element(const std::string& json);
    std::string elements_;
};

}  // namespace sw::cli
