#include "json_dump.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace quill {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Length of the valid UTF-8 sequence at `at`, or 0 for a maximal invalid
// subpart whose length is returned in `invalid` (so one U+FFFD replaces it).
size_t ValidSequence(std::string_view s, size_t at, size_t& invalid) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const uint8_t lead = byte(at);
    size_t length = 0;
    uint8_t low = 0x80; // allowed range of the second byte
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        invalid = 1;
        return 0;
    }
    size_t i = 1;
    for (; i < length && at + i < s.size(); ++i) {
        const uint8_t b = byte(at + i);
        const uint8_t lo = i == 1 ? low : 0x80;
        const uint8_t hi = i == 1 ? high : 0xBF;
        if (b < lo || b > hi) {
            break;
        }
    }
    if (i == length) {
        return length;
    }
    invalid = i;
    return 0;
}

void AppendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    const auto u = static_cast<uint8_t>(c);
    if (u < 0x20 || u == 0x7F) {
        out += "\\u00";
        out += kHexDigits[u >> 4];
        out += kHexDigits[u & 0xF];
    } else {
        out += c;
    }
}

// Appended piece by piece: GCC 12 warns falsely about `"literal" + std::string`.
std::string QuotedHex(std::string_view bytes) {
    std::string out = "\"";
    out += HexBytes(bytes);
    out += '"';
    return out;
}

std::string StoredDoubleHex(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<char>(bits >> (8 * i));
    }
    return QuotedHex(bytes);
}

class ObjectWriter {
public:
    ObjectWriter(std::string& out, const JsonOptions& options) : out_(out), options_(options) {
        out_ += '{';
    }
    ~ObjectWriter() { out_ += '}'; }

    void Int(const char* name, int64_t value) { Key(name) += std::to_string(value); }
    void Text(const char* name, std::string_view value) {
        Key(name) += options_.raw ? QuotedHex(value) : JsonString(value);
    }
    void Date(const char* name, double value) {
        Key(name) += options_.raw ? StoredDoubleHex(value) : JsonNumber(value);
    }

private:
    std::string& Key(const char* name) {
        if (!first_) {
            out_ += ',';
        }
        first_ = false;
        out_ += '"';
        out_ += name;
        out_ += "\":";
        return out_;
    }

    std::string& out_;
    const JsonOptions& options_;
    bool first_ = true;
};

} // namespace

std::string JsonNumber(double value) {
    if (std::isnan(value)) {
        return "\"nan\"";
    }
    if (std::isinf(value)) {
        return value > 0 ? "\"inf\"" : "\"-inf\"";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string HexBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto u = static_cast<uint8_t>(c);
        out += kHexDigits[u >> 4];
        out += kHexDigits[u & 0xF];
    }
    return out;
}

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    size_t at = 0;
    while (at < bytes.size()) {
        if (static_cast<uint8_t>(bytes[at]) < 0x80) {
            AppendEscaped(out, bytes[at++]);
            continue;
        }
        size_t invalid = 0;
        const size_t length = ValidSequence(bytes, at, invalid);
        if (length > 0) {
            out.append(bytes.substr(at, length));
            at += length;
        } else {
            out += "\xEF\xBF\xBD"; // U+FFFD
            at += invalid;
        }
    }
    out += '"';
    return out;
}

std::string DumpJson(const TaskStore& store, const std::string& damagedProblem,
                     const JsonOptions& options) {
    std::string out = "{\"categories\":[";
    for (size_t i = 0; i < store.Categories.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        const TCATEGORY& category = store.Categories[i];
        ObjectWriter object(out, options);
        object.Text("Name", category.Name);
        object.Int("ColorIndex", category.ColorIndex);
    }
    out += store.Categories.empty() ? "],\n\"tasks\":[" : "\n],\n\"tasks\":[";
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        const TTASK_ITEM& task = store.Tasks[i];
        ObjectWriter object(out, options);
        object.Int("Priority", task.Priority);
        object.Text("Title", task.Title);
        object.Text("Description", task.Description);
        object.Date("DueDate", task.DueDate);
        object.Date("ReminderDate", task.ReminderDate);
        object.Date("ReminderTime", task.ReminderTime);
        object.Text("SoundFile", task.SoundFile);
        object.Int("NotOverdue", task.NotOverdue);
        object.Int("PlaySound", task.PlaySound);
        object.Int("ReminderOn", task.ReminderOn);
        object.Int("HasDueDate", task.HasDueDate);
        object.Int("Done", task.Done);
        object.Int("CategoryIndex", task.CategoryIndex);
        // The identity fields only where the file has them, so older files
        // print as before.
        if (!task.Uid.empty()) {
            object.Text("Uid", task.Uid);
        }
        if (task.Created != 0) {
            object.Int("Created", task.Created);
        }
        if (task.LastModified != 0) {
            object.Int("LastModified", task.LastModified);
        }
        if (!task.RepeatRule.empty()) {
            object.Text("RepeatRule", task.RepeatRule);
        }
        if (task.RepeatFrom != 0.0) {
            object.Date("RepeatFrom", task.RepeatFrom);
        }
    }
    out += store.Tasks.empty() ? "],\n\"damaged\":" : "\n],\n\"damaged\":";
    out += damagedProblem.empty() ? "false" : JsonString(damagedProblem);
    out += "}\n";
    return out;
}

} // namespace quill
