#include "sync_engine.h"

#include "calendar/calendar_file.h"
#include "calendar/vtodo_mapping.h"
#include "core/date_time.h"

#include <libical/ical.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace quill {

namespace {

// A task as both sides see it: the category by name, since indexes are local.
struct TaskView {
    TTASK_ITEM task;
    std::string category;
    int32_t mark = -1;
};

// The fields the merge weighs one by one; each is written by its own properties.
enum Field { Title, Description, Priority, Due, Done, Category, Reminder, Sound, kFieldCount };

constexpr const char* kNoTask = "it holds no task";

// A state whose change time no task has: the task counts as changed here.
constexpr int64_t kChangedHere = std::numeric_limits<int64_t>::min();

bool SameMoment(const CivilDateTime& a, const CivilDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

bool SameField(int field, const TaskView& a, const TaskView& b) {
    const TTASK_ITEM& x = a.task;
    const TTASK_ITEM& y = b.task;
    switch (field) {
    case Title:
        return x.Title == y.Title;
    case Description:
        return x.Description == y.Description;
    case Priority:
        return x.Priority == y.Priority;
    case Due:
        return x.HasDueDate == y.HasDueDate &&
               (x.HasDueDate == 0 || std::floor(x.DueDate) == std::floor(y.DueDate));
    case Done:
        return x.Done == y.Done;
    case Category:
        return a.category == b.category;
    case Reminder:
        return x.ReminderOn == y.ReminderOn &&
               (x.ReminderOn == 0 || SameMoment(ReminderCivil(x), ReminderCivil(y)));
    case Sound:
        return x.PlaySound == y.PlaySound && (x.PlaySound == 0 || x.SoundFile == y.SoundFile);
    default:
        return true;
    }
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
        x.HasDueDate = y.HasDueDate;
        x.DueDate = y.DueDate;
        break;
    case Done:
        x.Done = y.Done;
        break;
    case Category:
        to.category = from.category;
        to.mark = from.mark;
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
    TaskView view{task, {}, -1};
    if (task.CategoryIndex >= 0 &&
        static_cast<size_t>(task.CategoryIndex) < store.Categories.size()) {
        view.category = store.Categories[task.CategoryIndex].Name;
        view.mark = store.Categories[task.CategoryIndex].ColorIndex;
    }
    return view;
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
    out.view = TaskView{read.task, read.categoryName, read.categoryMark};
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

// Gives `to` the properties of `from` that carry `field`, in place of its own.
void ReplaceField(icalcomponent* to, icalcomponent* from, int field) {
    for (const Carrier& carrier : CarriersOf(field)) {
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
            ReplaceField(todo, fresh.get(), f);
            DropStartAfterDue(todo);
        } else {
            ReplaceField(todo, fresh.get(), f);
        }
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

// The index of the category named `view.category`, made when missing; -1 for none.
int32_t CategoryIndexFor(TaskStore& store, const TaskView& view) {
    if (view.category.empty()) {
        return -1;
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
    if (category >= 0) {
        task.CategoryIndex = category;
    }
    task.NotOverdue = ComputeNotOverdue(task, today);
}

int32_t FindUid(const TaskStore& store, const std::string& uid) {
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        if (store.Tasks[i].Uid == uid) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

// The server's version as a new local-only task beside the local one.
void AddConflictCopy(TaskStore& store, SyncState& state, const TaskView& server,
                     const TTASK_ITEM& local, const SyncOptions& options) {
    TTASK_ITEM copy = local;
    copy.Uid = NewTaskUid();
    copy.Key = NewTaskKey();
    StoreView(store, copy, server, options.today);
    copy.Title = ConflictCopyTitle(server.task.Title);
    copy.Created = options.now;
    copy.LastModified = options.now;
    state.localOnly[copy.Uid] = copy.LastModified;
    store.Tasks.push_back(std::move(copy));
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

    for (auto entry = realState.items.begin(); entry != realState.items.end(); ++entry) {
        const std::string& uid = entry->first;
        const SyncedItem& item = entry->second;
        linkedHrefs.insert(item.href);
        if (unreadable.count(item.href) != 0) {
            continue;
        }
        const int32_t at = FindUid(store, uid);
        const bool changedHere = at >= 0 && store.Tasks[at].LastModified != item.syncedModified;
        const auto there = listing.find(item.href);
        if (there == listing.end()) {
            if (at < 0) {
                state.items.erase(uid);
            } else if (changedHere) {
                // Removed there, edited here: the edit wins and the task goes back.
                ParsedText base;
                std::string error;
                const bool readable = Parse(item.baseIcs, options.today, base, error);
                const TaskView view = ViewOf(store, store.Tasks[at]);
                plan.ops.push_back({SyncOp::Kind::Create,
                                    uid,
                                    item.href,
                                    {},
                                    PatchedText(item.baseIcs, readable ? &base.view : nullptr, view,
                                                store, options),
                                    view.task.LastModified});
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
                TTASK_ITEM task;
                task.Uid = uid;
                task.Key = NewTaskKey();
                task.Created = server[item.href].view.task.Created;
                StoreView(store, task, server[item.href].view, options.today);
                store.Tasks.push_back(task);
                state.items[uid] = {item.href, there->second, texts.at(item.href),
                                    task.LastModified};
                ++plan.received;
            } else {
                plan.ops.push_back({SyncOp::Kind::Delete, uid, item.href, item.etag, {}, 0});
                ++deletions;
            }
            continue;
        }
        TTASK_ITEM& task = store.Tasks[at];
        if (!changedThere) {
            if (changedHere) {
                ParsedText base;
                std::string error;
                const bool readable = Parse(item.baseIcs, options.today, base, error);
                const TaskView view = ViewOf(store, task);
                plan.ops.push_back({SyncOp::Kind::Update, uid, item.href, item.etag,
                                    PatchedText(item.baseIcs, readable ? &base.view : nullptr, view,
                                                store, options),
                                    task.LastModified});
            }
            continue;
        }
        const ParsedText& theirs = server[item.href];
        const std::string& theirText = texts.at(item.href);
        if (!changedHere) {
            const int64_t modified =
                theirs.view.task.LastModified != 0 ? theirs.view.task.LastModified : options.now;
            StoreView(store, task, theirs.view, options.today);
            task.LastModified = modified;
            state.items[uid] = {item.href, there->second, theirText, modified};
            ++plan.received;
            continue;
        }
        // Changed on both sides: field by field against the last agreed copy.
        ParsedText base;
        std::string error;
        const bool readable = Parse(item.baseIcs, options.today, base, error);
        TaskView mine = ViewOf(store, task);
        bool conflict = false;
        bool tookTheirs = false;
        for (int f = 0; f < kFieldCount; ++f) {
            const bool mineAsBase = readable && SameField(f, mine, base.view);
            const bool theirsAsBase = readable && SameField(f, theirs.view, base.view);
            if (SameField(f, mine, theirs.view) || theirsAsBase) {
                continue;
            }
            if (mineAsBase) {
                CopyField(f, mine, theirs.view);
                tookTheirs = true;
            } else {
                conflict = true;
            }
        }
        const int64_t modified = task.LastModified;
        if (tookTheirs) {
            StoreView(store, task, mine, options.today);
            task.LastModified = modified;
            ++plan.received;
        }
        if (conflict) {
            AddConflictCopy(store, state, theirs.view, store.Tasks[at], options);
            ++plan.conflicts;
        }
        const TaskView merged = ViewOf(store, store.Tasks[at]);
        if (SameTask(merged, theirs.view)) {
            state.items[uid] = {item.href, there->second, theirText, modified};
        } else {
            state.items[uid] = {item.href, there->second, theirText, kChangedHere};
            plan.ops.push_back({SyncOp::Kind::Update, uid, item.href, there->second,
                                PatchedText(theirText, &theirs.view, merged, store, options),
                                modified});
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
        int32_t at = FindUid(store, uid);
        if (at < 0) {
            TTASK_ITEM task;
            task.Uid = uid;
            task.Key = NewTaskKey();
            task.Created = theirs.view.task.Created != 0 ? theirs.view.task.Created : options.now;
            StoreView(store, task, theirs.view, options.today);
            task.LastModified =
                theirs.view.task.LastModified != 0 ? theirs.view.task.LastModified : options.now;
            store.Tasks.push_back(task);
            state.items[uid] = {href, etag, texts.at(href), task.LastModified};
            ++plan.received;
            continue;
        }
        const TaskView mine = ViewOf(store, store.Tasks[at]);
        if (SameTask(mine, theirs.view)) {
            state.items[uid] = {href, etag, texts.at(href), store.Tasks[at].LastModified};
            continue;
        }
        AddConflictCopy(store, state, theirs.view, store.Tasks[at], options);
        ++plan.conflicts;
        state.items[uid] = {href, etag, texts.at(href), kChangedHere};
        plan.ops.push_back({SyncOp::Kind::Update, uid, href, etag,
                            PatchedText(texts.at(href), &theirs.view, mine, store, options),
                            mine.task.LastModified});
    }

    // New here.
    const std::string collection = CollectionPath(state.collectionUrl);
    std::map<std::string, int64_t> copies;
    for (const TTASK_ITEM& task : store.Tasks) {
        if (const auto copy = state.localOnly.find(task.Uid); copy != state.localOnly.end()) {
            // A conflict copy the user edited is kept: from now on it is a task like any.
            if (copy->second == task.LastModified) {
                copies.insert(*copy);
                continue;
            }
        }
        if (task.Uid.empty() || state.items.count(task.Uid) != 0 ||
            removeHere.count(task.Uid) != 0) {
            continue;
        }
        bool pending = false;
        for (const SyncOp& op : plan.ops) {
            pending = pending || op.uid == task.Uid;
        }
        if (!pending) {
            plan.ops.push_back({SyncOp::Kind::Create,
                                task.Uid,
                                NewHref(collection, task.Uid),
                                {},
                                PatchedText({}, nullptr, ViewOf(store, task), store, options),
                                task.LastModified});
        }
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
        RemoveTaskAt(store, FindUid(store, uid));
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
    state.items[op.uid] = {op.href, newEtag, op.body, op.syncedModified};
}

} // namespace quill
