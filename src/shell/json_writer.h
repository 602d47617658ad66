// A small writer of compact JSON, enough for the headless run's state dumps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& value);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();

    std::string text_;
    std::vector<bool> firstInLevel_;
    bool afterKey_ = false;
};

}  // namespace shell
