#include "shell/json_writer.h"

#include <cstdio>

namespace shell {

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!firstInLevel_.empty()) {
        if (!firstInLevel_.back()) text_ += ',';
        firstInLevel_.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    firstInLevel_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    text_ += '}';
    firstInLevel_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    firstInLevel_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    text_ += ']';
    firstInLevel_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key) {
    String(key);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& value) {
    BeforeValue();
    text_ += '"';
    for (unsigned char c : value) {
        switch (c) {
            case '"': text_ += "\\\""; break;
            case '\\': text_ += "\\\\"; break;
            case '\n': text_ += "\\n"; break;
            case '\r': text_ += "\\r"; break;
            case '\t': text_ += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x80) {
                    // Text is 8-bit: show each byte as its Latin-1 character.
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                    text_ += escaped;
                } else {
                    text_ += char(c);
                }
        }
    }
    text_ += '"';
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

}  // namespace shell
