#include "sync_schedule.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace quill {

int IntervalMinutes(SyncInterval interval) {
    switch (interval) {
    case SyncInterval::OnEveryChange:
    case SyncInterval::Every5:
        return 5;
    case SyncInterval::Every15:
        return 15;
    case SyncInterval::Every60:
        return 60;
    case SyncInterval::ByHand:
        break;
    }
    return 0;
}

int64_t MsUntilNextSync(const ScheduleState& s, int64_t nowMs) {
    if (!s.ready || s.running) {
        return -1;
    }
    int64_t due = -1;
    const auto consider = [&due](int64_t at) { due = due < 0 ? at : std::min(due, at); };
    if (s.retryMs >= 0) {
        consider(s.retryMs);
    }
    if (s.interval == SyncInterval::OnEveryChange && s.firstChangeMs >= 0) {
        consider(
            std::min(s.lastChangeMs + kChangeSettleMs, s.firstChangeMs + kChangeLongestWaitMs));
    }
    if (const int minutes = IntervalMinutes(s.interval); minutes > 0) {
        // The first sync comes right after start-up.
        consider(s.lastRunMs < 0 ? nowMs : s.lastRunMs + int64_t{minutes} * 60000);
    }
    return due < 0 ? -1 : std::max<int64_t>(0, due - nowMs);
}

FinishedRun DecideFinishedRun(bool reconciled, bool tasksChangedMeanwhile, bool windowWaiting) {
    if (!reconciled) {
        return FinishedRun::Nothing;
    }
    // Taking the run's store would drop the change made meanwhile, or move the
    // ground under the window's command; the next run sees both sides again.
    return tasksChangedMeanwhile || windowWaiting ? FinishedRun::SetAside : FinishedRun::Keep;
}

uint64_t StoreSignature(const TaskStore& store) {
    const std::hash<std::string> hashText;
    const auto mix = [](uint64_t h, uint64_t v) {
        return (h ^ v) * 0x100000001b3ULL + 0x9e3779b97f4a7c15ULL;
    };
    // Tasks are summed, so their order does not count; each one's fields are mixed.
    uint64_t tasks = 0;
    for (const TTASK_ITEM& t : store.Tasks) {
        uint64_t h = hashText(t.Uid);
        for (const std::string* text : {&t.Title, &t.Description, &t.SoundFile, &t.RepeatRule}) {
            h = mix(h, hashText(*text));
        }
        for (const double value : {t.DueDate, t.ReminderDate, t.ReminderTime, t.RepeatFrom}) {
            h = mix(h, std::hash<double>()(value));
        }
        for (const int64_t value :
             {int64_t{t.Priority}, int64_t{t.NotOverdue}, int64_t{t.PlaySound},
              int64_t{t.ReminderOn}, int64_t{t.HasDueDate}, int64_t{t.Done},
              int64_t{t.CategoryIndex}, t.Created, t.LastModified}) {
            h = mix(h, static_cast<uint64_t>(value));
        }
        tasks += h;
    }
    uint64_t categories = store.Tasks.size();
    for (const TCATEGORY& c : store.Categories) {
        categories = mix(mix(categories, hashText(c.Name)), static_cast<uint64_t>(c.ColorIndex));
    }
    return mix(tasks, categories);
}

AdoptedFromRun AdoptFromSetAsideRun(const TaskStore& runStore, const SyncState& runState,
                                    TaskStore& live, SyncState& kept) {
    AdoptedFromRun adopted;
    std::unordered_set<std::string> liveUids;
    for (const TTASK_ITEM& task : live.Tasks) {
        liveUids.insert(task.Uid);
    }
    for (const auto& [uid, item] : runState.items) {
        if (liveUids.count(uid) != 0 && kept.items.emplace(uid, item).second) {
            ++adopted.links;
        }
    }
    for (const TTASK_ITEM& task : runStore.Tasks) {
        const auto copy = runState.localOnly.find(task.Uid);
        if (copy == runState.localOnly.end() || liveUids.count(task.Uid) != 0) {
            continue; // not a copy, or one the user already has
        }
        TTASK_ITEM added = task;
        added.CategoryIndex = 0;
        if (task.CategoryIndex >= 0 &&
            static_cast<size_t>(task.CategoryIndex) < runStore.Categories.size()) {
            const TCATEGORY& category = runStore.Categories[task.CategoryIndex];
            const auto same =
                std::find_if(live.Categories.begin(), live.Categories.end(),
                             [&](const TCATEGORY& c) { return c.Name == category.Name; });
            added.CategoryIndex = static_cast<int32_t>(same - live.Categories.begin());
            if (same == live.Categories.end()) {
                AddCategory(live, category);
                adopted.categoriesAdded = true;
            }
        }
        added.Key = NewTaskKey();
        live.Tasks.push_back(std::move(added));
        kept.localOnly[task.Uid] = copy->second;
        ++adopted.copies;
    }
    return adopted;
}

std::string AgeText(int64_t seconds) {
    const auto count = [](int64_t n, const char* unit) {
        return std::to_string(n) + " " + unit + (n == 1 ? "" : "s") + " ago";
    };
    if (seconds < 60) {
        return "just now";
    }
    if (seconds < 3600) {
        return count(seconds / 60, "minute");
    }
    if (seconds < 86400) {
        return count(seconds / 3600, "hour");
    }
    return count(seconds / 86400, "day");
}

} // namespace quill
