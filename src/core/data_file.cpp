#include "data_file.h"

#include "date_time.h"
#include "file_io.h"

#include <cstring>

namespace quill {

namespace {

constexpr uint8_t kScrambleKey = 0x3C;
constexpr std::string_view kSignature = "Quillnote";

uint8_t Scramble(uint8_t c) {
    return static_cast<uint8_t>((255 - c) ^ kScrambleKey);
}
uint8_t Unscramble(uint8_t b) {
    return static_cast<uint8_t>(255 - (b ^ kScrambleKey));
}

// ---------------------------------------------------------------- writing

class Writer {
public:
    explicit Writer(size_t expected) { out_.reserve(expected); }

    void Byte(uint8_t value) { out_.push_back(value); }
    void Tag(HeaderTag tag) { Byte(static_cast<uint8_t>(tag)); }
    void Tag(TaskTag tag) { Byte(static_cast<uint8_t>(tag)); }
    void Int32(int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            out_.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    void Double(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int shift = 0; shift < 64; shift += 8) {
            out_.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    void String(std::string_view text) {
        Int32(static_cast<int32_t>(text.size()));
        for (char c : text) {
            out_.push_back(Scramble(static_cast<uint8_t>(c)));
        }
    }
    // A task field: tag, size, value.
    void IntField(TaskTag tag, int32_t value) {
        Tag(tag);
        Int32(4);
        Int32(value);
    }
    void DoubleField(TaskTag tag, double value) {
        Tag(tag);
        Int32(8);
        Double(value);
    }
    void BoolField(TaskTag tag, uint8_t value) {
        Tag(tag);
        Int32(1);
        Byte(value);
    }
    void Int64Field(TaskTag tag, int64_t value) {
        Tag(tag);
        Int32(8);
        const auto bits = static_cast<uint64_t>(value);
        for (int shift = 0; shift < 64; shift += 8) {
            out_.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    void StringField(TaskTag tag, std::string_view text) {
        Tag(tag);
        String(text);
    }

    std::vector<uint8_t> Take() { return std::move(out_); }

private:
    std::vector<uint8_t> out_;
};

size_t SerializedSize(const TaskStore& store) {
    size_t size = 9 + 5 + kSignature.size() + 1;
    for (const TCATEGORY& category : store.Categories) {
        size += 13 + category.Name.size();
    }
    for (const TTASK_ITEM& task : store.Tasks) {
        size += 103 + task.Title.size() + task.Description.size() + task.SoundFile.size() + 5 +
                task.Uid.size() + 26 + 5 + task.RepeatRule.size() + 13;
    }
    return size;
}

// ---------------------------------------------------------------- reading

// A cursor over the file's bytes that never moves past the end.
class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}

    bool AtEnd() const { return pos_ >= data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }

    // A HeaderTag or a TaskTag: one byte.
    template <typename Tag> bool NextTag(Tag& tag) {
        if (AtEnd()) {
            return false;
        }
        tag = static_cast<Tag>(static_cast<uint8_t>(data_[pos_++]));
        return true;
    }
    bool Int32(int32_t& value) {
        uint64_t bits = 0;
        if (!LittleEndian(4, bits)) {
            return false;
        }
        value = static_cast<int32_t>(static_cast<uint32_t>(bits));
        return true;
    }
    // Reads `count` bytes as the low-order bytes of a little-endian value.
    bool LittleEndian(size_t count, uint64_t& bits) {
        if (count > Remaining()) {
            return false;
        }
        bits = 0;
        for (size_t i = 0; i < count; ++i) {
            bits |= uint64_t{static_cast<uint8_t>(data_[pos_ + i])} << (8 * i);
        }
        pos_ += count;
        return true;
    }
    bool Skip(size_t count) {
        if (count > Remaining()) {
            return false;
        }
        pos_ += count;
        return true;
    }
    // A stored string: length, then scrambled bytes; a negative length is empty.
    bool String(std::string& text) {
        int32_t length = 0;
        if (!Int32(length)) {
            return false;
        }
        if (length <= 0) {
            text.clear();
            return true;
        }
        if (static_cast<size_t>(length) > Remaining()) {
            return false; // never allocate what a length merely claims
        }
        text.resize(static_cast<size_t>(length));
        for (size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<char>(Unscramble(static_cast<uint8_t>(data_[pos_ + i])));
        }
        pos_ += text.size();
        return true;
    }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

// Collects what was wrong with a file; the first problem is told, the rest counted.
class Problems {
public:
    void Add(std::string text) {
        if (count_++ == 0) {
            first_ = std::move(text);
        }
    }
    bool Any() const { return count_ > 0; }
    std::string Text() const {
        if (count_ <= 1) {
            return first_;
        }
        return first_ + " (" + std::to_string(count_ - 1) + " more problem" +
               (count_ > 2 ? "s" : "") + " found)";
    }

private:
    int count_ = 0;
    std::string first_;
};

const char* FieldName(TaskTag tag) {
    switch (tag) {
    case TaskTag::Priority:
        return "priority";
    case TaskTag::DueDate:
        return "due date";
    case TaskTag::ReminderDate:
        return "reminder date";
    case TaskTag::ReminderTime:
        return "reminder time";
    case TaskTag::NotOverdue:
        return "overdue mark";
    case TaskTag::PlaySound:
        return "sound switch";
    case TaskTag::ReminderOn:
        return "reminder switch";
    case TaskTag::HasDueDate:
        return "due date switch";
    case TaskTag::Done:
        return "done mark";
    case TaskTag::Created:
        return "creation time";
    case TaskTag::LastModified:
        return "change time";
    case TaskTag::RepeatFrom:
        return "repeat start";
    default:
        return "category";
    }
}

enum class FieldRead { Ok, Truncated };

class TaskSectionParser {
public:
    TaskSectionParser(Reader& reader, TaskStore& store, Problems& problems)
        : reader_(reader), store_(store), problems_(problems) {}

    // Runs the task loop; the header's end mark is the first tag handled.
    void Run() {
        TaskTag tag = TaskTag::End;
        while (!reader_.AtEnd()) {
            if (tag == TaskTag::End) {
                FinishTask();
                pending_ = TTASK_ITEM{};
                hasPending_ = true;
                lastWasCategory_ = false;
            } else if (HandleField(tag) == FieldRead::Truncated) {
                EndInsideTask();
                return;
            }
            if (!reader_.NextTag(tag)) {
                EndInsideTask();
                return;
            }
        }
        // The byte just read was the last one: the file is whole when it closed a task.
        if (tag == TaskTag::End) {
            FinishTask();
        } else {
            EndInsideTask();
        }
    }

private:
    int TaskNumber() const { return static_cast<int>(store_.Tasks.size()) + 1; }

    void FinishTask() {
        if (hasPending_) {
            pending_.Key = NewTaskKey();
            store_.Tasks.push_back(std::move(pending_));
            hasPending_ = false;
        }
    }

    // The data ended before this task's end mark. A task whose last field, the
    // category, was read completely is kept; anything less is left out.
    void EndInsideTask() {
        if (!hasPending_) {
            return;
        }
        if (lastWasCategory_) {
            problems_.Add("The file ends after task " + std::to_string(TaskNumber()) +
                          " without its end mark.");
            FinishTask();
        } else {
            problems_.Add("The file ends in the middle of task " + std::to_string(TaskNumber()) +
                          ", which was left out.");
            hasPending_ = false;
        }
    }

    FieldRead HandleField(TaskTag tag) {
        TTASK_ITEM& task = pending_;
        // The identity fields follow the category: a file cut after one of them
        // still holds the whole task, and a cut one is only left unknown.
        switch (tag) {
        case TaskTag::Uid:
            return reader_.String(task.Uid) ? FieldRead::Ok : FieldRead::Truncated;
        case TaskTag::Created:
            return Fixed(tag, &task.Created, 8);
        case TaskTag::LastModified:
            return Fixed(tag, &task.LastModified, 8);
        case TaskTag::RepeatRule:
            return reader_.String(task.RepeatRule) ? FieldRead::Ok : FieldRead::Truncated;
        case TaskTag::RepeatFrom:
            return Fixed(tag, &task.RepeatFrom, 8);
        default:
            break;
        }
        lastWasCategory_ = false;
        switch (tag) {
        case TaskTag::Priority:
            return Fixed(tag, &task.Priority, 4);
        case TaskTag::Title:
            return reader_.String(task.Title) ? FieldRead::Ok : FieldRead::Truncated;
        case TaskTag::Description:
            return reader_.String(task.Description) ? FieldRead::Ok : FieldRead::Truncated;
        case TaskTag::DueDate:
            return Fixed(tag, &task.DueDate, 8);
        case TaskTag::ReminderDate:
            return Fixed(tag, &task.ReminderDate, 8);
        case TaskTag::ReminderTime:
            return Fixed(tag, &task.ReminderTime, 8);
        case TaskTag::SoundFile:
            return reader_.String(task.SoundFile) ? FieldRead::Ok : FieldRead::Truncated;
        case TaskTag::NotOverdue:
            return Fixed(tag, &task.NotOverdue, 1);
        case TaskTag::PlaySound:
            return Fixed(tag, &task.PlaySound, 1);
        case TaskTag::ReminderOn:
            return Fixed(tag, &task.ReminderOn, 1);
        case TaskTag::HasDueDate:
            return Fixed(tag, &task.HasDueDate, 1);
        case TaskTag::Done:
            return Fixed(tag, &task.Done, 1);
        case TaskTag::CategoryIndex: {
            const FieldRead read = Fixed(tag, &task.CategoryIndex, 4);
            lastWasCategory_ = read == FieldRead::Ok;
            return read;
        }
        default:
            return SkipUnknown(reader_) ? FieldRead::Ok : FieldRead::Truncated;
        }
    }

    // A fixed-width field: size, then value. A size other than the width is read
    // as min(size, width) low-order bytes (the rest of the field zero) followed by
    // the surplus bytes skipped, so a field never receives more than it holds.
    template <typename T> FieldRead Fixed(TaskTag tag, T* field, size_t width) {
        int32_t size = 0;
        if (!reader_.Int32(size)) {
            return FieldRead::Truncated;
        }
        const size_t stored = size > 0 ? static_cast<size_t>(size) : 0;
        if (stored > reader_.Remaining()) {
            return FieldRead::Truncated;
        }
        if (stored != width) {
            problems_.Add("Task " + std::to_string(TaskNumber()) + ": the " + FieldName(tag) +
                          " field has size " + std::to_string(size) + " instead of " +
                          std::to_string(width) + ".");
        }
        const size_t used = stored < width ? stored : width;
        uint64_t bits = 0;
        reader_.LittleEndian(used, bits);
        reader_.Skip(stored - used);
        if constexpr (sizeof(T) == 8) {
            std::memcpy(field, &bits, 8);
        } else if constexpr (sizeof(T) == 4) {
            *field = static_cast<T>(static_cast<uint32_t>(bits));
        } else {
            *field = static_cast<T>(bits);
        }
        return FieldRead::Ok;
    }

public:
    static bool SkipUnknown(Reader& reader) {
        int32_t count = 0;
        if (!reader.Int32(count)) {
            return false;
        }
        return count <= 0 || reader.Skip(static_cast<size_t>(count));
    }

private:
    Reader& reader_;
    TaskStore& store_;
    Problems& problems_;
    TTASK_ITEM pending_;      // the task being read
    bool hasPending_ = false; // whether an end mark has started one
    bool lastWasCategory_ = false;
};

// The header loop. Returns true when it ended with its end mark.
bool ParseHeader(Reader& reader, TaskStore& store, Problems& problems, int& categoriesRead) {
    HeaderTag tag = HeaderTag::FormatMarker;
    if (!reader.NextTag(tag)) {
        problems.Add("The file is empty.");
        return false;
    }
    while (tag != HeaderTag::End) {
        if (reader.AtEnd()) {
            problems.Add("The file ends inside its header.");
            return false;
        }
        bool whole = true;
        if (tag == HeaderTag::FormatMarker) {
            int32_t ignored = 0;
            whole = reader.Int32(ignored) && reader.Int32(ignored);
        } else if (tag == HeaderTag::Signature) {
            std::string ignored;
            whole = reader.String(ignored);
        } else if (tag == HeaderTag::Category) {
            int32_t ignored = 0;
            TCATEGORY category;
            whole = reader.Int32(ignored) && reader.Int32(category.ColorIndex) &&
                    reader.String(category.Name);
            if (whole) {
                store.Categories.push_back(std::move(category));
                ++categoriesRead;
            } else {
                problems.Add("The file ends in the middle of category " +
                             std::to_string(categoriesRead + 1) + ", which was left out.");
                return false;
            }
        } else {
            whole = TaskSectionParser::SkipUnknown(reader);
        }
        if (!whole || !reader.NextTag(tag)) {
            problems.Add("The file ends inside its header.");
            return false;
        }
    }
    return true;
}

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

std::string DamagedCopyBaseName(const std::string& path) {
    const CivilDateTime now = DecodeDateTime(Now());
    return path + ".damaged-" + std::to_string(now.year) + TwoDigits(now.month) +
           TwoDigits(now.day) + "-" + TwoDigits(now.hour) + TwoDigits(now.minute) +
           TwoDigits(now.second);
}

} // namespace

std::vector<uint8_t> SerializeTasks(const TaskStore& store) {
    Writer out(SerializedSize(store));
    out.Tag(HeaderTag::FormatMarker);
    out.Int32(1);
    out.Int32(25);
    out.Tag(HeaderTag::Signature);
    out.String(kSignature);
    for (const TCATEGORY& category : store.Categories) {
        out.Tag(HeaderTag::Category);
        out.Int32(4);
        out.Int32(category.ColorIndex);
        out.String(category.Name);
    }
    out.Tag(HeaderTag::End);
    for (const TTASK_ITEM& task : store.Tasks) {
        out.IntField(TaskTag::Priority, task.Priority);
        out.StringField(TaskTag::Title, task.Title);
        out.StringField(TaskTag::Description, task.Description);
        out.DoubleField(TaskTag::DueDate, task.DueDate);
        out.DoubleField(TaskTag::ReminderDate, task.ReminderDate);
        out.DoubleField(TaskTag::ReminderTime, task.ReminderTime);
        out.StringField(TaskTag::SoundFile, task.SoundFile);
        out.BoolField(TaskTag::NotOverdue, task.NotOverdue);
        out.BoolField(TaskTag::PlaySound, task.PlaySound);
        out.BoolField(TaskTag::ReminderOn, task.ReminderOn);
        out.BoolField(TaskTag::HasDueDate, task.HasDueDate);
        out.BoolField(TaskTag::Done, task.Done);
        out.IntField(TaskTag::CategoryIndex, task.CategoryIndex);
        if (!task.Uid.empty()) {
            out.StringField(TaskTag::Uid, task.Uid);
        }
        if (task.Created != 0) {
            out.Int64Field(TaskTag::Created, task.Created);
        }
        if (task.LastModified != 0) {
            out.Int64Field(TaskTag::LastModified, task.LastModified);
        }
        if (!task.RepeatRule.empty()) {
            out.StringField(TaskTag::RepeatRule, task.RepeatRule);
        }
        if (task.RepeatFrom != 0.0) {
            out.DoubleField(TaskTag::RepeatFrom, task.RepeatFrom);
        }
        out.Tag(TaskTag::End);
    }
    return out.Take();
}

ParseResult ParseTasks(std::string_view bytes, TaskStore& store) {
    ParseResult result;
    store.Tasks.clear();
    Reader reader(bytes);
    Problems problems;
    if (ParseHeader(reader, store, problems, result.categoriesRead)) {
        TaskSectionParser(reader, store, problems).Run();
    }
    result.tasksRead = store.TaskCount();
    result.damaged = problems.Any();
    result.problem = problems.Text();
    return result;
}

SaveResult SaveTasks(const TaskStore& store, const std::string& path) {
    const std::vector<uint8_t> bytes = SerializeTasks(store);
    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

LoadResult LoadTasks(TaskStore& store, const std::string& path) {
    LoadResult result;
    store.Tasks.clear();
    FileContents file = ReadWholeFile(path);
    if (file.status == ReadStatus::NoFile) {
        result.outcome = LoadOutcome::NoFile;
        return result;
    }
    if (file.status == ReadStatus::Failed) {
        result.outcome = LoadOutcome::Unreadable;
        result.error = std::move(file.error);
        return result;
    }
    const ParseResult parsed = ParseTasks(file.bytes, store);
    result.uidsGiven = GiveMissingUids(store);
    result.tasksRead = parsed.tasksRead;
    result.categoriesRead = parsed.categoriesRead;
    if (!parsed.damaged) {
        result.outcome = LoadOutcome::Good;
        return result;
    }
    result.outcome = LoadOutcome::Damaged;
    result.problem = parsed.problem;
    CopyResult copy = WriteNewFile(DamagedCopyBaseName(path), file.bytes);
    result.backupPath = std::move(copy.path);
    result.backupError = std::move(copy.error);
    return result;
}

} // namespace quill
