#pragma once
// Helpers shared by the core tests: temporary folders, files made byte by byte,
// tasks built in one line (support/task_builder.h) and a fixed clock
// (support/fixed_clock.h).

#include "core/date_time.h"
#include "core/task_store.h"
#include "support/fixed_clock.h"
#include "support/task_builder.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace quill::test {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Builds data files byte by byte, independently of the program's writer.
class FileBuilder {
public:
    FileBuilder& Byte(uint8_t value) {
        bytes_ += static_cast<char>(value);
        return *this;
    }
    FileBuilder& Int32(int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            Byte(static_cast<uint8_t>(bits >> (8 * i)));
        }
        return *this;
    }
    FileBuilder& Double(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, 8);
        for (int i = 0; i < 8; ++i) {
            Byte(static_cast<uint8_t>(bits >> (8 * i)));
        }
        return *this;
    }
    // Length, then each byte complemented and XORed with 0x3C.
    FileBuilder& Text(const std::string& text) {
        Int32(static_cast<int32_t>(text.size()));
        for (char c : text) {
            Byte(static_cast<uint8_t>((255 - static_cast<uint8_t>(c)) ^ 0x3C));
        }
        return *this;
    }
    FileBuilder& Raw(const std::string& bytes) {
        bytes_ += bytes;
        return *this;
    }
    FileBuilder& HeaderStart() {
        return Byte(0x00).Int32(1).Int32(25).Byte(0x01).Text("Quillnote");
    }
    FileBuilder& Category(const std::string& name, int32_t color) {
        return Byte(0x04).Int32(4).Int32(color).Text(name);
    }
    FileBuilder& End() { return Byte(0xFF); }
    FileBuilder& Int64(int64_t value) {
        Int32(static_cast<int32_t>(value));
        return Int32(static_cast<int32_t>(value >> 32));
    }
    // The thirteen fields of a task, its identity where known, and its end mark,
    // in the written order.
    FileBuilder& Task(const TTASK_ITEM& t) {
        Byte(0x00).Int32(4).Int32(t.Priority);
        Byte(0x01).Text(t.Title);
        Byte(0x02).Text(t.Description);
        Byte(0x03).Int32(8).Double(t.DueDate);
        Byte(0x04).Int32(8).Double(t.ReminderDate);
        Byte(0x05).Int32(8).Double(t.ReminderTime);
        Byte(0x06).Text(t.SoundFile);
        Byte(0x07).Int32(1).Byte(t.NotOverdue);
        Byte(0x08).Int32(1).Byte(t.PlaySound);
        Byte(0x09).Int32(1).Byte(t.ReminderOn);
        Byte(0x0A).Int32(1).Byte(t.HasDueDate);
        Byte(0x0B).Int32(1).Byte(t.Done);
        Byte(0x0C).Int32(4).Int32(t.CategoryIndex);
        if (!t.Uid.empty())
            Byte(0x40).Text(t.Uid);
        if (t.Created != 0)
            Byte(0x41).Int32(8).Int64(t.Created);
        if (t.LastModified != 0)
            Byte(0x42).Int32(8).Int64(t.LastModified);
        return End();
    }
    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

} // namespace quill::test
