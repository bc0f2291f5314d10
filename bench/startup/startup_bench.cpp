// Start-up time and memory of the program beside a trivial Qt window.
//
// Each iteration starts the program, finds its window on the X server (by process
// id and window text) and polls a few of its pixels until they are no longer the
// black of the empty screen: that moment, from the process start, is the measured
// time. Afterwards the benchmark waits until the process stops using CPU (reported
// as "settled_ms") and reads its resident memory ("rss_mb"), then kills it so the
// next start finds the same files.
//
// Run under an X server with a black root window and a window manager with a tray;
// bench/startup/run.sh sets that up. Environment:
//   QUILLNOTE_BENCH_APP      the built quillnote program
//   QUILLNOTE_BENCH_TRIVIAL  the built trivial window program
//   QUILLNOTE_BENCH_WORK     an empty folder for the copies and their files

#include "core/data_file.h"
#include "core/task_store.h"

#include "support/xcb_client.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quill::test::XcbClient;
using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// --- X server queries ---

struct X {
    XcbClient client;
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t clientList = 0, pid = 0, netName = 0, utf8 = 0;

    X() {
        if (!client.ok()) {
            std::fprintf(stderr, "startup_bench: cannot open the display\n");
            std::exit(1);
        }
        c = client.connection();
        root = client.root();
        clientList = client.Atom("_NET_CLIENT_LIST");
        pid = client.Atom("_NET_WM_PID");
        netName = client.Atom("_NET_WM_NAME");
        utf8 = client.Atom("UTF8_STRING");
    }

    // The shown window of process `pid` with window text `name`, if any.
    std::optional<xcb_window_t> FindShown(pid_t processId, const std::string& name) {
        for (uint32_t w : client.Words(root, clientList, XCB_ATOM_WINDOW)) {
            const auto p = client.Words(w, pid, XCB_ATOM_CARDINAL);
            if (p.empty() || pid_t(p[0]) != processId)
                continue;
            if (client.Text(w, netName, utf8) != name &&
                client.Text(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING) != name)
                continue;
            if (client.Viewable(w))
                return w;
        }
        return std::nullopt;
    }

    // True once any of nine sample points of the window is not black.
    bool Painted(xcb_window_t w) {
        auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
        if (!g)
            return false;
        const int width = g->width, height = g->height;
        std::free(g);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                auto* img = xcb_get_image_reply(c,
                                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w,
                                                              int16_t(width * i / 4),
                                                              int16_t(height * j / 4), 1, 1, ~0u),
                                                nullptr);
                bool lit = false;
                if (img) {
                    const uint8_t* d = xcb_get_image_data(img);
                    for (int k = 0; k < xcb_get_image_data_length(img) && k < 3; ++k)
                        lit = lit || d[k] != 0;
                }
                std::free(img);
                if (lit)
                    return true;
            }
        return false;
    }
};

X& Display() {
    static X x;
    return x;
}

// --- processes ---

pid_t Spawn(const std::string& program, const std::string& dir,
            const std::map<std::string, std::string>& extraEnv) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto key = entry.substr(0, entry.find('='));
        if (!extraEnv.count(key))
            env.push_back(entry);
    }
    for (const auto& [k, v] : extraEnv)
        env.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string prog = program;
    char* argv[] = {prog.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    // Fields after the command: state is field 3, utime 14, stime 15.
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < stat.size()) {
        const size_t next = stat.find(' ', pos);
        fields.push_back(stat.substr(pos, next - pos));
        if (next == std::string::npos)
            break;
        pos = next + 1;
    }
    if (fields.size() < 13)
        return -1;
    return std::stol(fields[11]) + std::stol(fields[12]);
}

double RssMb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

struct Subject {
    std::string key;     // the subject's name in the ratio check
    std::string program; // the copy that is started
    std::string windowName;
    std::string dir;
    std::map<std::string, std::string> env;
};

struct Sample {
    double paintedMs = 0, settledMs = 0, rssMb = 0;
    bool ok = false;
};

Sample RunOnce(const Subject& s) {
    Sample out;
    const auto t0 = Clock::now();
    const pid_t pid = Spawn(s.program, s.dir, s.env);
    if (pid <= 0)
        return out;
    const auto ms = [&](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - t0).count();
    };
    const auto deadline = t0 + std::chrono::seconds(30);
    X& x = Display();
    std::optional<xcb_window_t> win;
    while (Clock::now() < deadline && !(win = x.FindShown(pid, s.windowName)))
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    while (win && Clock::now() < deadline && !x.Painted(*win))
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    if (win && Clock::now() < deadline) {
        out.paintedMs = ms(Clock::now());
        // Settled: no CPU time used for 200 ms.
        long ticks = CpuTicks(pid);
        auto lastChange = Clock::now();
        while (Clock::now() - lastChange < std::chrono::milliseconds(200) &&
               Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const long now = CpuTicks(pid);
            if (now != ticks) {
                ticks = now;
                lastChange = Clock::now();
            }
        }
        out.settledMs = std::max(out.paintedMs, ms(lastChange) - 10);
        out.rssMb = RssMb(pid);
        out.ok = true;
    }
    // Killed, not closed: a close would rewrite the settings and the data file.
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return out;
}

// Every start's painted and settled times by subject, for the ratio check.
std::map<std::string, std::vector<double>> g_painted, g_settled;

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void BM_Startup(benchmark::State& state, Subject subject) {
    double settled = 0, rss = 0;
    for (auto _ : state) {
        const Sample s = RunOnce(subject);
        if (!s.ok) {
            state.SkipWithError("the window was not shown and painted within 30 s");
            break;
        }
        g_painted[subject.key].push_back(s.paintedMs);
        g_settled[subject.key].push_back(s.settledMs);
        state.SetIterationTime(s.paintedMs / 1000.0);
        settled += s.settledMs;
        rss += s.rssMb;
    }
    const double n = double(state.iterations());
    if (n > 0) {
        state.counters["settled_ms"] = settled / n;
        state.counters["rss_mb"] = rss / n;
    }
}

void WriteTasks(const std::string& path, int count) {
    quill::TaskStore store;
    quill::AddDefaultCategories(store);
    for (int i = 0; i < count; ++i) {
        quill::TTASK_ITEM task;
        task.Title = "Task number " + std::to_string(i) + " with a title of ordinary length";
        task.Description = "A description\nover two lines";
        task.Priority = i % quill::kPriorityCount;
        task.CategoryIndex = i % 3;
        task.HasDueDate = uint8_t(i % 2);
        task.DueDate = 46000.0 + i % 400;
        task.NotOverdue = 1;
        task.Done = uint8_t(i % 5 == 0);
        quill::AddTask(store, task);
    }
    store.VisibleTaskCount = store.TaskCount();
    const quill::SaveResult r = quill::SaveTasks(store, path);
    if (!r.ok) {
        std::fprintf(stderr, "startup_bench: %s\n", r.error.c_str());
        std::exit(1);
    }
}

Subject Prepare(const std::string& work, const std::string& name, const std::string& program,
                const std::string& windowName, std::optional<int> tasks) {
    Subject s;
    s.key = name;
    s.dir = work + "/" + name;
    fs::create_directories(s.dir);
    s.program = s.dir + "/" + fs::path(program).filename().string();
    fs::copy_file(program, s.program, fs::copy_options::overwrite_existing);
    // The sound module beside the program, as in the build folder (opened only
    // when a sound plays).
    const fs::path sound = fs::path(program).parent_path() / "quillnote-sound";
    if (fs::is_regular_file(sound))
        fs::copy_file(sound, fs::path(s.dir) / "quillnote-sound",
                      fs::copy_options::overwrite_existing);
    // The font configuration installed beside the program, as a user has it.
    const fs::path fonts = fs::path(program).parent_path() / "fonts";
    if (fs::is_directory(fonts))
        fs::copy(fonts, fs::path(s.dir) / "fonts",
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    s.windowName = windowName;
    s.env["XDG_CONFIG_HOME"] = s.dir + "/config";
    s.env["XDG_RUNTIME_DIR"] = work + "/runtime";
    if (tasks)
        WriteTasks(s.dir + "/quillnote.dat", *tasks);
    // A first, unmeasured start writes the default files, as any start after the
    // first finds them.
    RunOnce(s);
    return s;
}

// Quillnote against the trivial window of the same run, medians of every start:
// painted with 1,000 tasks, and settled with 10,000. Fails (exit 1) when a ratio
// passes QUILLNOTE_BENCH_MAX_RATIO, when that is set.
int CheckRatios() {
    const double trivial = Median(g_painted["trivial"]);
    if (trivial <= 0)
        return 0; // filtered out: nothing to compare with
    const char* limitText = std::getenv("QUILLNOTE_BENCH_MAX_RATIO");
    const double limit = limitText ? std::atof(limitText) : 0;
    int status = 0;
    // Only the program being tested is held to the limit, never the build it is
    // compared with.
    const auto check = [&](const char* what, std::vector<double>& samples, bool held = true) {
        if (samples.empty())
            return;
        const double ratio = Median(samples) / trivial;
        const bool over = held && limit > 0 && ratio > limit;
        std::printf("start-up ratio: %s %.1f ms / trivial window %.1f ms = %.2f x%s\n", what,
                    Median(samples), trivial, ratio, over ? " (over the limit)" : "");
        if (over)
            status = 1;
    };
    check("painted, 1,000 tasks", g_painted["app-1000"]);
    check("painted, 1,000 tasks, libraries preloaded", g_painted["app-1000-preloaded"]);
    check("settled, 10,000 tasks", g_settled["app-10000"]);
    check("painted, 1,000 tasks, before", g_painted["before-1000"], false);
    check("settled, 10,000 tasks, before", g_settled["before-10000"], false);
    if (limit > 0)
        std::printf("start-up ratio limit: %.2f x: %s\n", limit, status ? "FAILED" : "met");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string app = Env("QUILLNOTE_BENCH_APP"), trivial = Env("QUILLNOTE_BENCH_TRIVIAL"),
                      work = Env("QUILLNOTE_BENCH_WORK");
    if (app.empty() || trivial.empty() || work.empty()) {
        std::fprintf(stderr, "startup_bench: set QUILLNOTE_BENCH_APP, QUILLNOTE_BENCH_TRIVIAL and "
                             "QUILLNOTE_BENCH_WORK (bench/startup/run.sh does)\n");
        return 2;
    }
    fs::create_directories(work + "/runtime");
    fs::permissions(work + "/runtime", fs::perms::owner_all, fs::perm_options::replace);

    const auto add = [](const std::string& name, Subject s) {
        benchmark::RegisterBenchmark(name.c_str(), BM_Startup, std::move(s))
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
    };
    add("Startup/trivial_window",
        Prepare(work, "trivial", trivial, "quillnote_bench_trivial", std::nullopt));
    for (int tasks : {0, 1000, 10000})
        add("Startup/quillnote/tasks:" + std::to_string(tasks),
            Prepare(work, "app-" + std::to_string(tasks), app, "main_form_quillnote", tasks));
    // The program as it was when it loaded these libraries at start (for a before
    // and after in one run): QUILLNOTE_BENCH_PRELOAD="libfluidsynth.so.3 ...".
    if (const std::string preload = Env("QUILLNOTE_BENCH_PRELOAD"); !preload.empty()) {
        Subject s = Prepare(work, "app-1000-preloaded", app, "main_form_quillnote", 1000);
        s.env["LD_PRELOAD"] = preload;
        add("Startup/quillnote/tasks:1000/preloaded", std::move(s));
    }
    // Another build of the program (a before and after in one run):
    // QUILLNOTE_BENCH_BEFORE=<its quillnote, with its quillnote-sound and fonts beside>.
    if (const std::string before = Env("QUILLNOTE_BENCH_BEFORE"); !before.empty()) {
        for (int tasks : {1000, 10000})
            add("Startup/before/tasks:" + std::to_string(tasks),
                Prepare(work, "before-" + std::to_string(tasks), before, "main_form_quillnote",
                        tasks));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return CheckRatios();
}
