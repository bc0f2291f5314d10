#include "sync_state.h"

#include "core/data_file.h"

#include <charconv>
#include <vector>

namespace quill {

namespace {

constexpr std::string_view kHeader = "quillnote-sync 1";

// One value per field: tabs and line ends would split it, so they are escaped.
std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return false;
        }
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, start)) {
        parts.push_back(line.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(line.substr(start));
    return parts;
}

template <typename T> bool Number(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string SyncStatePathFor(const std::string& dataFile) {
    return dataFile + ".sync";
}

std::string WriteSyncState(const SyncState& state) {
    std::string out(kHeader);
    out += "\ncollection\t" + Escape(state.collectionUrl) + "\nuser\t" + Escape(state.user) + "\n";
    if (!state.syncToken.empty()) {
        out += "token\t" + Escape(state.syncToken) + "\n";
    }
    for (const auto& [uid, item] : state.items) {
        out += "item\t" + Escape(uid) + "\t" + Escape(item.href) + "\t" + Escape(item.etag) + "\t" +
               std::to_string(item.syncedModified) + "\t" + Escape(item.baseIcs) + "\t" +
               Escape(item.digest) + "\t" + Escape(item.category) + "\t" +
               std::to_string(item.categoryIndex) + "\n";
    }
    for (const auto& [uid, made] : state.localOnly) {
        out += "local-only\t" + Escape(uid) + "\t" + std::to_string(made) + "\n";
    }
    return out;
}

bool ReadSyncState(std::string_view text, SyncState& state, std::string& error) {
    state = SyncState{};
    std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.empty() || lines.front() != kHeader) {
        error = "it is not a sync state written by this program";
        return false;
    }
    for (size_t n = 1; n < lines.size(); ++n) {
        if (lines[n].empty()) {
            continue;
        }
        const std::vector<std::string_view> f = Split(lines[n], '\t');
        std::string a;
        std::string b;
        bool ok = f.size() >= 2 && Unescape(f[1], a);
        if (ok && f[0] == "collection" && f.size() == 2) {
            state.collectionUrl = a;
        } else if (ok && f[0] == "user" && f.size() == 2) {
            state.user = a;
        } else if (ok && f[0] == "token" && f.size() == 2) {
            state.syncToken = a;
        } else if (ok && f[0] == "local-only" && f.size() == 3) {
            int64_t made = 0;
            ok = Number(f[2], made);
            state.localOnly[a] = made;
        } else if (ok && f[0] == "item" && (f.size() == 6 || f.size() == 9)) {
            // Six fields: written before this side's part was kept.
            SyncedItem item;
            ok = Number(f[4], item.syncedModified) && Unescape(f[2], item.href) &&
                 Unescape(f[3], item.etag) && Unescape(f[5], item.baseIcs) &&
                 (f.size() == 6 || (Unescape(f[6], item.digest) && Unescape(f[7], item.category) &&
                                    Number(f[8], item.categoryIndex)));
            if (ok) {
                state.items[a] = std::move(item);
            }
        } else {
            ok = false;
        }
        if (!ok) {
            error = "line " + std::to_string(n + 1) + " cannot be read";
            return false;
        }
    }
    return true;
}

bool LoadSyncState(const std::string& dataFile, SyncState& state, bool& found, std::string& error) {
    state = SyncState{};
    const std::string path = SyncStatePathFor(dataFile);
    const FileContents file = ReadWholeFile(path);
    found = file.status != ReadStatus::NoFile;
    if (file.status == ReadStatus::Failed) {
        error = file.error;
        return false;
    }
    if (found && !ReadSyncState(file.bytes, state, error)) {
        error = "\"" + path + "\" cannot be read: " + error;
        return false;
    }
    return true;
}

bool SaveSyncState(const std::string& dataFile, const SyncState& state, std::string& error) {
    const SaveResult saved = WriteFileAtomically(SyncStatePathFor(dataFile), WriteSyncState(state));
    error = saved.error;
    return saved.ok;
}

} // namespace quill
