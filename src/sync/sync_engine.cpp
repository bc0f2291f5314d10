#include "sync_engine.h"

#include "calendar/calendar_file.h"
#include "calendar/vtodo_mapping.h"
#include "core/date_time.h"

#include <libical/ical.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace quill {

namespace {

// A task as both sides see it: the category by name, since positions are this
// side's own; empty when it has none (or, here, stands for none).
struct TaskView {
    TTASK_ITEM task;
    std::string category;
    int32_t mark = -1;
    // The category's position here; -1 in a server copy, whose category is
    // found by name (none: the first category).
    int32_t index = -1;
};

// The fields the merge weighs one by one; each is written by its own properties.
enum Field {
    Title,
    Description,
    Priority,
    Due,
    Done,
    Category,
    Reminder,
    Sound,
    Repeat,
    kFieldCount
};

constexpr const char* kNoTask = "it holds no task";

double Day(double date) {
    return std::floor(date);
}

// A rule as libical writes it, so that two spellings of one rule are one value.
std::string RuleText(const std::string& rule) {
    icalrecurrencetype recurrence = icalrecurrencetype_from_string(rule.c_str());
    if (recurrence.freq == ICAL_NO_RECURRENCE) {
        icalerror_clear_errno();
        return rule;
    }
    char* text = icalrecurrencetype_as_string_r(&recurrence);
    std::string out = text != nullptr ? text : rule;
    icalmemory_free_buffer(text);
    return out;
}

// libical drops spaces at either end of a text it reads, so a copy that went
// through a server has none: they make no difference.
std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos
               ? std::string()
               : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A field's value in one comparable text: the merge compares these, and the
// digest of a task's merged fields is made of them.
std::string FieldText(int field, const TaskView& view) {
    const TTASK_ITEM& t = view.task;
    switch (field) {
    case Title:
        return Trimmed(t.Title);
    case Description:
        return Trimmed(t.Description);
    case Priority:
        return std::to_string(t.Priority);
    case Due:
        return t.HasDueDate != 0 ? std::to_string(Day(t.DueDate)) : "-";
    case Done:
        return t.Done != 0 ? "1" : "0";
    case Category:
        return view.category;
    case Reminder: {
        if (t.ReminderOn == 0) {
            return "-";
        }
        const CivilDateTime at = ReminderCivil(t);
        char text[48];
        std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", at.year, at.month, at.day, at.hour,
                      at.minute, at.second);
        return text;
    }
    case Sound:
        return t.PlaySound != 0 ? "+" + t.SoundFile : "-";
    case Repeat:
        // The rule and the day it counts from; a task without a due day follows
        // no rule, and the calendar text then holds none.
        return IsRepeating(t)
                   ? RuleText(t.RepeatRule) + "@" +
                         std::to_string(Day(t.RepeatFrom != 0.0 ? t.RepeatFrom : t.DueDate))
                   : "";
    default:
        return {};
    }
}

bool SameField(int field, const TaskView& a, const TaskView& b) {
    return FieldText(field, a) == FieldText(field, b);
}

// The merged fields but the category, in 16 hex digits (FNV-1a): what this side
// held when both sides agreed.
std::string Digest(const TaskView& view) {
    uint64_t hash = 14695981039346656037ULL;
    for (int f = 0; f < kFieldCount; ++f) {
        if (f == Category) {
            continue;
        }
        for (const char c : FieldText(f, view) + '\x1f') {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void CopyField(int field, TaskView& to, const TaskView& from) {
    TTASK_ITEM& x = to.task;
    const TTASK_ITEM& y = from.task;
    switch (field) {
    case Title:
        x.Title = y.Title;
        break;
    case Description:
        x.Description = y.Description;
        break;
    case Priority:
        x.Priority = y.Priority;
        break;
    case Due:
        // A rule keeps counting from its day when another due day comes: that is
        // its next occurrence, not a new rule.
        if (x.RepeatFrom == 0.0 && x.HasDueDate != 0 && !x.RepeatRule.empty() &&
            (y.HasDueDate == 0 || Day(x.DueDate) != Day(y.DueDate))) {
            x.RepeatFrom = Day(x.DueDate);
        }
        x.HasDueDate = y.HasDueDate;
        x.DueDate = y.DueDate;
        break;
    case Done:
        x.Done = y.Done;
        break;
    case Category:
        to.category = from.category;
        to.mark = from.mark;
        to.index = from.index;
        break;
    case Reminder:
        x.ReminderOn = y.ReminderOn;
        x.ReminderDate = y.ReminderDate;
        x.ReminderTime = y.ReminderTime;
        break;
    case Sound:
        x.PlaySound = y.PlaySound;
        x.SoundFile = y.SoundFile;
        break;
    case Repeat:
        x.RepeatRule = y.RepeatRule;
        x.RepeatFrom = y.RepeatFrom;
        // Counted from the due day there, which is not the one here.
        if (y.RepeatFrom == 0.0 && y.HasDueDate != 0 &&
            (x.HasDueDate == 0 || Day(x.DueDate) != Day(y.DueDate))) {
            x.RepeatFrom = Day(y.DueDate);
        }
        break;
    default:
        break;
    }
}

bool SameTask(const TaskView& a, const TaskView& b) {
    for (int f = 0; f < kFieldCount; ++f) {
        if (!SameField(f, a, b)) {
            return false;
        }
    }
    return true;
}

TaskView ViewOf(const TaskStore& store, const TTASK_ITEM& task) {
    TaskView view{task, {}, -1, task.CategoryIndex};
    if (task.CategoryIndex >= 0 &&
        static_cast<size_t>(task.CategoryIndex) < store.Categories.size()) {
        view.category = store.Categories[task.CategoryIndex].Name;
        view.mark = store.Categories[task.CategoryIndex].ColorIndex;
    }
    return view;
}

// The task in the server's terms: its category is none while the server's copy
// has none and the task stays in the category it was in then (where a task
// without one shows here), however that category is named meanwhile. Otherwise
// its category's name now, so a renamed category counts as a change.
TaskView SyncViewOf(const TaskStore& store, const TTASK_ITEM& task, const SyncedItem& item) {
    TaskView view = ViewOf(store, task);
    if (item.category.empty() && item.categoryIndex == task.CategoryIndex) {
        view.category.clear();
        view.mark = -1;
    }
    return view;
}

// What both sides hold once the server's copy `text` (read as `server`) is
// what the task here, `local` in the server's terms, stands for.
SyncedItem Agreement(const std::string& href, const std::string& etag, const std::string& text,
                     const TaskView& server, const TaskView& local, const TTASK_ITEM& task) {
    return {href,
            etag,
            text,
            task.LastModified,
            Digest(server),
            server.category,
            local.category.empty() ? task.CategoryIndex : -1};
}

// A server text and its first task, read.
struct ParsedText {
    IcalComponentPtr root;
    icalcomponent* todo = nullptr;
    TaskView view;
};

bool Parse(const std::string& text, double today, ParsedText& out, std::string& error) {
    out.root.reset(icalcomponent_new_from_string(text.c_str()));
    icalcomponent* root = out.root.get();
    if (root == nullptr) {
        error = "it is not calendar text";
        return false;
    }
    out.todo = icalcomponent_isa(root) == ICAL_VTODO_COMPONENT
                   ? root
                   : icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT);
    if (out.todo == nullptr) {
        error = kNoTask;
        return false;
    }
    VTodoTask read;
    if (!VTodoToTask(out.todo, read, error, today)) {
        return false;
    }
    out.view = TaskView{read.task, read.categoryName, read.categoryMark, -1};
    return true;
}

// The properties that carry each field, by kind (X properties by name).
struct Carrier {
    icalproperty_kind kind;
    const char* xName;
};

std::vector<Carrier> CarriersOf(int field) {
    switch (field) {
    case Title:
        return {{ICAL_SUMMARY_PROPERTY, nullptr}};
    // Another program's formatted copy of the description would contradict the edit.
    case Description:
        return {{ICAL_DESCRIPTION_PROPERTY, nullptr}, {ICAL_X_PROPERTY, "X-ALT-DESC"}};
    case Priority:
        return {{ICAL_PRIORITY_PROPERTY, nullptr}};
    case Due:
        return {{ICAL_DUE_PROPERTY, nullptr}, {ICAL_DURATION_PROPERTY, nullptr}};
    case Done:
        return {{ICAL_STATUS_PROPERTY, nullptr},
                {ICAL_COMPLETED_PROPERTY, nullptr},
                {ICAL_PERCENTCOMPLETE_PROPERTY, nullptr}};
    case Category:
        return {{ICAL_CATEGORIES_PROPERTY, nullptr}, {ICAL_X_PROPERTY, kMarkProperty}};
    case Sound:
        return {{ICAL_X_PROPERTY, kSoundProperty}};
    default:
        return {};
    }
}

bool Carries(icalproperty* p, const Carrier& carrier) {
    if (carrier.xName == nullptr) {
        return true;
    }
    const char* name = icalproperty_get_x_name(p);
    return name != nullptr && std::strcmp(name, carrier.xName) == 0;
}

// Gives `to` the properties of `from` of these kinds, in place of its own.
void ReplaceProperties(icalcomponent* to, icalcomponent* from,
                       const std::vector<Carrier>& carriers) {
    for (const Carrier& carrier : carriers) {
        std::vector<icalproperty*> old;
        for (icalproperty* p = icalcomponent_get_first_property(to, carrier.kind); p != nullptr;
             p = icalcomponent_get_next_property(to, carrier.kind)) {
            if (Carries(p, carrier)) {
                old.push_back(p);
            }
        }
        for (icalproperty* p : old) {
            icalcomponent_remove_property(to, p);
            icalproperty_free(p);
        }
        std::vector<icalproperty*> fresh;
        for (icalproperty* p = icalcomponent_get_first_property(from, carrier.kind); p != nullptr;
             p = icalcomponent_get_next_property(from, carrier.kind)) {
            if (Carries(p, carrier)) {
                fresh.push_back(icalproperty_new_clone(p));
            }
        }
        for (icalproperty* p : fresh) {
            icalcomponent_add_property(to, p);
        }
    }
}

// The task's category is the first of its categories; the others are another
// program's and stay, after it.
void ReplaceCategory(icalcomponent* to, icalcomponent* from) {
    std::vector<icalproperty*> others;
    while (icalproperty* p = icalcomponent_get_first_property(to, ICAL_CATEGORIES_PROPERTY)) {
        icalcomponent_remove_property(to, p);
        others.push_back(p);
    }
    if (!others.empty()) {
        icalproperty_free(others.front());
        others.erase(others.begin());
    }
    ReplaceProperties(to, from, CarriersOf(Category));
    for (icalproperty* p : others) {
        icalcomponent_add_property(to, p);
    }
}

// A rule goes with the day it counts from (DTSTART). Without a rule the start
// stays: it may be another program's.
void ReplaceRepeat(icalcomponent* to, icalcomponent* from) {
    if (icalcomponent_get_first_property(from, ICAL_RRULE_PROPERTY) != nullptr) {
        ReplaceProperties(to, from,
                          {{ICAL_DTSTART_PROPERTY, nullptr}, {ICAL_RRULE_PROPERTY, nullptr}});
    } else {
        ReplaceProperties(to, from, {{ICAL_RRULE_PROPERTY, nullptr}});
    }
}

// Our reminder is the first display alarm at a fixed moment; other alarms
// belong to other programs and stay.
void ReplaceReminder(icalcomponent* to, icalcomponent* from) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(to, ICAL_VALARM_COMPONENT);
         alarm != nullptr; alarm = icalcomponent_get_next_component(to, ICAL_VALARM_COMPONENT)) {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (trigger != nullptr && !icaltime_is_null_time(icalproperty_get_trigger(trigger).time)) {
            icalcomponent_remove_component(to, alarm);
            icalcomponent_free(alarm);
            break;
        }
    }
    if (icalcomponent* alarm = icalcomponent_get_first_component(from, ICAL_VALARM_COMPONENT)) {
        icalcomponent_add_component(to, icalcomponent_new_clone(alarm));
    }
}

void SetStamp(icalcomponent* todo, icalproperty_kind kind, int64_t seconds) {
    while (icalproperty* p = icalcomponent_get_first_property(todo, kind)) {
        icalcomponent_remove_property(todo, p);
        icalproperty_free(p);
    }
    const icaltimetype time = icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0,
                                                            icaltimezone_get_utc_timezone());
    icalcomponent_add_property(todo, kind == ICAL_DTSTAMP_PROPERTY
                                         ? icalproperty_new_dtstamp(time)
                                         : icalproperty_new_lastmodified(time));
}

// A start must not fall after the due day nor differ from it in kind (a day
// against a moment): other programs repair or reject such a task.
void DropStartAfterDue(icalcomponent* todo) {
    icalproperty* start = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    icalproperty* due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
    if (start == nullptr || due == nullptr) {
        return; // a start alone is fine
    }
    const icaltimetype begins = icalproperty_get_dtstart(start);
    if (!icaltime_is_date(begins) ||
        icaltime_compare_date_only(begins, icalproperty_get_due(due)) > 0) {
        icalcomponent_remove_property(todo, start);
        icalproperty_free(start);
    }
}

std::string TextOf(icalcomponent* root) {
    char* text = icalcomponent_as_ical_string_r(root);
    std::string out = text != nullptr ? text : "";
    free(text);
    return out;
}

const TCATEGORY* CategoryNamed(const TaskStore& store, const std::string& name) {
    for (const TCATEGORY& category : store.Categories) {
        if (category.Name == name) {
            return &category;
        }
    }
    return nullptr;
}

// The text to send for `result`: `baseText` (the server's last copy; empty for a
// task it never had) with only the fields that differ from `base` rewritten, so
// what other programs keep in it survives.
std::string PatchedText(const std::string& baseText, const TaskView* base, const TaskView& result,
                        const TaskStore& store, const SyncOptions& options) {
    TCATEGORY category{result.category, result.mark < 0 ? 0 : result.mark};
    if (const TCATEGORY* known = CategoryNamed(store, result.category)) {
        category = *known;
    }
    IcalComponentPtr fresh =
        TaskToVTodo(result.task, result.category.empty() ? nullptr : &category, options.now);
    ParsedText parsed;
    std::string error;
    if (baseText.empty() || base == nullptr || !Parse(baseText, options.today, parsed, error)) {
        IcalComponentPtr root(
            icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                                icalproperty_new_prodid(kCalendarProductId), nullptr));
        icalcomponent_add_component(root.get(), fresh.release());
        return TextOf(root.get());
    }
    icalcomponent* todo = parsed.todo;
    for (int f = 0; f < kFieldCount; ++f) {
        if (SameField(f, *base, result)) {
            continue;
        }
        if (f == Reminder) {
            ReplaceReminder(todo, fresh.get());
        } else if (f == Due) {
            ReplaceProperties(todo, fresh.get(), CarriersOf(f));
            DropStartAfterDue(todo);
        } else if (f == Category) {
            ReplaceCategory(todo, fresh.get());
        } else if (f != Repeat) {
            ReplaceProperties(todo, fresh.get(), CarriersOf(f));
        }
    }
    // A repeating task's start is the day its rule counts from, whatever a
    // new due day left of it.
    if (!SameField(Repeat, *base, result) ||
        (!SameField(Due, *base, result) && IsRepeating(result.task))) {
        ReplaceRepeat(todo, fresh.get());
    }
    SetStamp(todo, ICAL_DTSTAMP_PROPERTY, options.now);
    if (result.task.LastModified != 0) {
        SetStamp(todo, ICAL_LASTMODIFIED_PROPERTY, result.task.LastModified);
    }
    icalproperty* sequence = icalcomponent_get_first_property(todo, ICAL_SEQUENCE_PROPERTY);
    if (sequence == nullptr) {
        icalcomponent_add_property(todo, icalproperty_new_sequence(1));
    } else {
        icalproperty_set_sequence(sequence, icalproperty_get_sequence(sequence) + 1);
    }
    return TextOf(parsed.root.get());
}

// The position of the category of `view`: a local one's own, else the first
// named `view.category` (made when missing); a server copy without one goes to
// the first category, a task here that stands for none stays where it is.
int32_t CategoryIndexFor(TaskStore& store, const TaskView& view) {
    const bool here = view.index >= 0 && static_cast<size_t>(view.index) < store.Categories.size();
    if (view.category.empty() || (here && store.Categories[view.index].Name == view.category)) {
        return view.index >= 0 ? view.index : 0;
    }
    for (size_t i = 0; i < store.Categories.size(); ++i) {
        if (store.Categories[i].Name == view.category) {
            return static_cast<int32_t>(i);
        }
    }
    AddCategory(store, TCATEGORY{view.category, view.mark < 0 ? 0 : view.mark});
    return static_cast<int32_t>(store.Categories.size()) - 1;
}

// Writes the fields of `view` into `task`, keeping the task's place and Key.
void StoreView(TaskStore& store, TTASK_ITEM& task, const TaskView& view, double today) {
    TaskView local = ViewOf(store, task);
    for (int f = 0; f < kFieldCount; ++f) {
        CopyField(f, local, view);
    }
    const int32_t category = CategoryIndexFor(store, local);
    task = TTASK_ITEM{local.task};
    task.CategoryIndex = category;
    task.NotOverdue = ComputeNotOverdue(task, today);
}

// Where each Uid's task is in the store, kept up to date as tasks come and go:
// a sync looks up every synced task, and a linear search per task made a list
// of 10,000 tasks take seconds.
class TaskPositions {
public:
    explicit TaskPositions(const TaskStore& store) {
        for (size_t i = 0; i < store.Tasks.size(); ++i) {
            at_.emplace(store.Tasks[i].Uid, static_cast<int32_t>(i)); // the first of a Uid
        }
    }
    int32_t Find(const std::string& uid) const {
        const auto found = at_.find(uid);
        return found == at_.end() ? -1 : found->second;
    }
    void Add(TaskStore& store, TTASK_ITEM task) {
        at_.emplace(task.Uid, store.TaskCount());
        store.Tasks.push_back(std::move(task));
    }
    // RemoveTaskAt moves the last task into the place of the removed one.
    void Remove(TaskStore& store, const std::string& uid) {
        const int32_t at = Find(uid);
        if (at < 0) {
            return;
        }
        const int32_t last = store.TaskCount() - 1;
        RemoveTaskAt(store, at);
        at_.erase(uid);
        if (at < last) {
            const auto moved = at_.find(store.Tasks[at].Uid);
            if (moved != at_.end() && moved->second == last) {
                moved->second = at;
            }
        }
    }

private:
    std::unordered_map<std::string, int32_t> at_;
};

// The server's version as a new local-only task beside the local one.
void AddConflictCopy(TaskStore& store, TaskPositions& positions, SyncState& state,
                     const TaskView& server, const TTASK_ITEM& local, const SyncOptions& options) {
    TTASK_ITEM copy = local;
    copy.Uid = NewTaskUid();
    copy.Key = NewTaskKey();
    StoreView(store, copy, server, options.today);
    copy.Title = ConflictCopyTitle(server.task.Title);
    copy.Created = options.now;
    copy.LastModified = options.now;
    state.localOnly[copy.Uid] = copy.LastModified;
    positions.Add(store, std::move(copy));
}

// A resource name for a task the server never had: its Uid when that is safe
// in a path.
std::string NewHref(const std::string& collectionPath, const std::string& uid) {
    bool safe = !uid.empty();
    for (const char c : uid) {
        safe = safe && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-');
    }
    std::string path = collectionPath;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + (safe ? uid : NewTaskUid()) + ".ics";
}

// The path part of the collection's address, which the server's hrefs share.
std::string CollectionPath(const std::string& url) {
    const size_t scheme = url.find("://");
    const size_t slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    return slash == std::string::npos ? "/" : url.substr(slash);
}

} // namespace

std::string ConflictCopyTitle(const std::string& title) {
    return "Conflict copy: " + title;
}

std::vector<std::string> HrefsToFetch(const SyncState& state, const ServerListing& listing) {
    std::map<std::string, const SyncedItem*> byHref;
    for (const auto& [uid, item] : state.items) {
        byHref.emplace(item.href, &item);
    }
    std::vector<std::string> hrefs;
    for (const auto& [href, etag] : listing) {
        const auto known = byHref.find(href);
        if (known == byHref.end() || known->second->etag != etag) {
            hrefs.push_back(href);
        }
    }
    return hrefs;
}

SyncPlan ReconcileSync(TaskStore& realStore, SyncState& realState, const ServerListing& listing,
                       const ServerTexts& texts, const SyncOptions& options) {
    TaskStore store = realStore;
    SyncState state = realState;
    TaskPositions positions(store);
    SyncPlan plan;
    const auto fail = [&](std::string error) {
        SyncPlan failed;
        failed.ok = false;
        failed.error = std::move(error);
        return failed;
    };
    // A copy that cannot be read (or did not come) is left alone on both sides
    // until it can: neither taken as removed nor written over.
    std::map<std::string, ParsedText> server;
    std::set<std::string> unreadable;
    for (const std::string& href : HrefsToFetch(realState, listing)) {
        const auto text = texts.find(href);
        std::string error;
        if (text == texts.end() || !Parse(text->second, options.today, server[href], error)) {
            unreadable.insert(href);
            // An event in a list that also holds events is no task, not a fault.
            if (error != kNoTask) {
                plan.unreadable.push_back(href);
            }
        }
    }
    std::set<std::string> removeHere;
    std::set<std::string> linkedHrefs;
    int deletions = 0;
    const size_t synced = realState.items.size();
    // The text to send for a task changed here, patched into the last-synced copy.
    const auto patchedBase = [&](const SyncedItem& item, const TaskView& mine) {
        ParsedText base;
        std::string error;
        const bool readable = Parse(item.baseIcs, options.today, base, error);
        return PatchedText(item.baseIcs, readable ? &base.view : nullptr, mine, store, options);
    };
    const auto send = [&](SyncOp::Kind kind, const std::string& uid, const std::string& href,
                          const std::string& etag, std::string body, const TaskView& mine) {
        const TTASK_ITEM& task = store.Tasks[positions.Find(uid)];
        plan.ops.push_back(
            {kind, uid, href, etag, std::move(body), Agreement({}, {}, {}, mine, mine, task)});
    };

    for (const auto& [uid, item] : realState.items) {
        linkedHrefs.insert(item.href);
        if (unreadable.count(item.href) != 0) {
            continue;
        }
        const int32_t at = positions.Find(uid);
        TaskView mine;
        bool changedHere = false;
        if (at >= 0) {
            mine = SyncViewOf(store, store.Tasks[at], item);
            // A state from before digests were kept knows only the change time.
            changedHere = item.digest.empty()
                              ? store.Tasks[at].LastModified != item.syncedModified
                              : Digest(mine) != item.digest || mine.category != item.category;
        }
        const auto there = listing.find(item.href);
        if (there == listing.end()) {
            if (at < 0) {
                state.items.erase(uid);
            } else if (changedHere) {
                // Removed there, edited here: the edit wins and the task goes back.
                send(SyncOp::Kind::Create, uid, item.href, {}, patchedBase(item, mine), mine);
                state.items.erase(uid);
            } else {
                removeHere.insert(uid);
                state.items.erase(uid);
                ++deletions;
            }
            continue;
        }
        const bool changedThere = there->second != item.etag;
        if (at < 0) {
            if (changedThere) {
                // Removed here, edited there: the edit wins and the task comes back.
                const TaskView& theirs = server[item.href].view;
                TTASK_ITEM task;
                task.Uid = uid;
                task.Key = NewTaskKey();
                task.Created = theirs.task.Created;
                StoreView(store, task, theirs, options.today);
                state.items[uid] =
                    Agreement(item.href, there->second, texts.at(item.href), theirs, theirs, task);
                positions.Add(store, std::move(task));
                ++plan.received;
            } else {
                plan.ops.push_back({SyncOp::Kind::Delete, uid, item.href, item.etag, {}, {}});
                ++deletions;
            }
            continue;
        }
        if (!changedThere) {
            if (changedHere) {
                send(SyncOp::Kind::Update, uid, item.href, item.etag, patchedBase(item, mine),
                     mine);
            }
            continue;
        }
        // Changed there: field by field against the last agreed copy. A field
        // changed only here keeps this side's value, one changed on both sides
        // differently too, with the server's version kept as a conflict copy.
        const ParsedText& theirs = server[item.href];
        const std::string& theirText = texts.at(item.href);
        ParsedText base;
        std::string error;
        const bool readable = changedHere && Parse(item.baseIcs, options.today, base, error);
        bool conflict = false;
        bool tookTheirs = false;
        for (int f = 0; f < kFieldCount; ++f) {
            if (SameField(f, mine, theirs.view)) {
                continue;
            }
            if (changedHere && readable && SameField(f, theirs.view, base.view)) {
                continue;
            }
            if (changedHere && !(readable && SameField(f, mine, base.view))) {
                conflict = true;
                continue;
            }
            CopyField(f, mine, theirs.view);
            tookTheirs = true;
        }
        if (tookTheirs) {
            TTASK_ITEM& task = store.Tasks[at];
            int64_t modified = task.LastModified;
            if (!changedHere) {
                modified = theirs.view.task.LastModified != 0 ? theirs.view.task.LastModified
                                                              : options.now;
            }
            StoreView(store, task, mine, options.today);
            task.LastModified = modified;
            ++plan.received;
        }
        state.items[uid] =
            Agreement(item.href, there->second, theirText, theirs.view, mine, store.Tasks[at]);
        if (conflict) {
            AddConflictCopy(store, positions, state, theirs.view, store.Tasks[at], options);
            ++plan.conflicts;
        }
        if (!SameTask(mine, theirs.view)) {
            send(SyncOp::Kind::Update, uid, item.href, there->second,
                 PatchedText(theirText, &theirs.view, mine, store, options), mine);
        }
    }

    // New on the server, or a task both sides have that was never linked (the
    // same calendar file imported on two machines; a create whose answer was lost).
    for (const auto& [href, etag] : listing) {
        if (linkedHrefs.count(href) != 0 || unreadable.count(href) != 0) {
            continue;
        }
        const ParsedText& theirs = server[href];
        const std::string uid = theirs.view.task.Uid;
        if (uid.empty() || state.items.count(uid) != 0) {
            continue; // a second resource for a task already linked: left alone
        }
        const int32_t at = positions.Find(uid);
        if (at < 0) {
            TTASK_ITEM task;
            task.Uid = uid;
            task.Key = NewTaskKey();
            task.Created = theirs.view.task.Created != 0 ? theirs.view.task.Created : options.now;
            StoreView(store, task, theirs.view, options.today);
            task.LastModified =
                theirs.view.task.LastModified != 0 ? theirs.view.task.LastModified : options.now;
            state.items[uid] =
                Agreement(href, etag, texts.at(href), theirs.view, theirs.view, task);
            positions.Add(store, std::move(task));
            ++plan.received;
            continue;
        }
        // Which category here a copy without one matches cannot be told: none
        // is no difference.
        TaskView mine = ViewOf(store, store.Tasks[at]);
        if (theirs.view.category.empty()) {
            mine.category.clear();
        }
        state.items[uid] =
            Agreement(href, etag, texts.at(href), theirs.view, mine, store.Tasks[at]);
        if (!SameTask(mine, theirs.view)) {
            AddConflictCopy(store, positions, state, theirs.view, store.Tasks[at], options);
            ++plan.conflicts;
            send(SyncOp::Kind::Update, uid, href, etag,
                 PatchedText(texts.at(href), &theirs.view, mine, store, options), mine);
        }
    }

    // New here.
    const std::string collection = CollectionPath(state.collectionUrl);
    std::map<std::string, int64_t> copies;
    std::unordered_set<std::string> pending;
    for (const SyncOp& op : plan.ops) {
        pending.insert(op.uid);
    }
    for (const TTASK_ITEM& task : store.Tasks) {
        if (const auto copy = state.localOnly.find(task.Uid); copy != state.localOnly.end()) {
            // A conflict copy the user edited is kept: from now on it is a task like any.
            if (copy->second == task.LastModified) {
                copies.insert(*copy);
                continue;
            }
        }
        if (task.Uid.empty() || state.items.count(task.Uid) != 0 ||
            removeHere.count(task.Uid) != 0 || !pending.insert(task.Uid).second) {
            continue;
        }
        const TaskView view = ViewOf(store, task);
        plan.ops.push_back({SyncOp::Kind::Create,
                            task.Uid,
                            NewHref(collection, task.Uid),
                            {},
                            PatchedText({}, nullptr, view, store, options),
                            Agreement({}, {}, {}, view, view, task)});
    }

    state.localOnly = std::move(copies); // removed copies are forgotten
    if (!options.allowManyDeletions && deletions > 1 &&
        static_cast<size_t>(deletions) * 4 > synced) {
        plan = fail("this sync would delete " + std::to_string(deletions) + " of " +
                    std::to_string(synced) +
                    " synced tasks, so it stopped and changed nothing; check the task list, then "
                    "allow the deletions");
        plan.tooManyDeletions = true;
        return plan;
    }
    for (const std::string& uid : removeHere) {
        positions.Remove(store, uid);
        ++plan.deletedHere;
    }
    realStore = std::move(store);
    realState = std::move(state);
    return plan;
}

void RecordSyncOp(SyncState& state, const SyncOp& op, bool ok, const std::string& newEtag) {
    if (!ok) {
        return;
    }
    if (op.kind == SyncOp::Kind::Delete) {
        state.items.erase(op.uid);
        return;
    }
    SyncedItem& item = state.items[op.uid] = op.agreed;
    item.href = op.href;
    item.etag = newEtag;
    item.baseIcs = op.body;
}

} // namespace quill
