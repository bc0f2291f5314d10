// Sync with a real CalDAV server, timed: first syncs of 1,000 and 10,000 tasks
// (sent, received, or on both sides already), and incremental syncs of a list
// of 10,000 with one change. The goal: one change on the server within a
// second. Also the decisions alone (no network), which must never be what a
// large list waits for.
// Run: bench/sync/run.sh build/<dir>   (figures in docs/bench-sync.md)
// Or:  quillnote-bench-sync --engine-only

#include "../support/sample_tasks.h"
#include "calendar/calendar_file.h"
#include "core/data_file.h"
#include "core/date_time.h"
#include "core/task_store.h"
#include "sync/caldav_client.h"
#include "sync/sync_engine.h"
#include "sync/sync_run.h"
#include "sync/sync_state.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using quill::SyncState;
using quill::TaskStore;
using Clock = std::chrono::steady_clock;

constexpr int64_t kNow = 1'767'225'600; // 2026-01-01

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Report(const std::string& what, double seconds, const std::string& result) {
    std::printf("| %-58s | %9.3f s | %s |\n", what.c_str(), seconds, result.c_str());
    std::fflush(stdout);
}

// Uids fixed by `prefix`, so two stores can hold the same tasks; plain letters,
// as any server takes them.
TaskStore MakeStore(int count, const std::string& prefix) {
    return quill::bench::MakeSampleStore(count, "abcdefghijklmnopqrstuvwxyz ,;",
                                         [&](quill::TTASK_ITEM& task, int i) {
                                             task.Uid = prefix + std::to_string(i);
                                             task.Created = task.LastModified = kNow - count + i;
                                         });
}

// ------------------------------------------------------------ the engine alone

void EngineOnly(int count) {
    const TaskStore full = MakeStore(count, "task-");
    quill::ServerListing listing;
    quill::ServerTexts texts;
    for (int32_t i = 0; i < full.TaskCount(); ++i) {
        const std::string href = "/alice/tasks/" + full.Tasks[i].Uid + ".ics";
        listing[href] = "\"1\"";
        texts[href] = quill::WriteCalendar(full, {i}, kNow);
    }
    quill::SyncOptions options;
    options.now = kNow;
    options.today = 46000;
    const std::string n = std::to_string(count);

    TaskStore store;
    quill::AddDefaultCategories(store);
    SyncState state;
    state.collectionUrl = "http://127.0.0.1/alice/tasks/";
    Clock::time_point start = Clock::now();
    quill::SyncPlan plan = quill::ReconcileSync(store, state, listing, texts, options);
    Report("decisions: first sync, " + n + " there, none here", Seconds(start),
           std::to_string(plan.received) + " received");

    TaskStore both = full;
    SyncState fresh;
    fresh.collectionUrl = state.collectionUrl;
    start = Clock::now();
    plan = quill::ReconcileSync(both, fresh, listing, texts, options);
    Report("decisions: first sync, the same " + n + " on both sides", Seconds(start),
           std::to_string(plan.ops.size()) + " to send");

    TaskStore mine = full;
    SyncState none;
    none.collectionUrl = state.collectionUrl;
    start = Clock::now();
    plan = quill::ReconcileSync(mine, none, {}, {}, options);
    Report("decisions: first sync, " + n + " here, none there", Seconds(start),
           std::to_string(plan.ops.size()) + " to send");

    store.Tasks[count / 2].Title += " (edited)";
    quill::MarkChanged(store.Tasks[count / 2]);
    start = Clock::now();
    plan = quill::ReconcileSync(store, state, listing, texts, options);
    Report("decisions: one change here, " + n + " synced", Seconds(start),
           std::to_string(plan.ops.size()) + " to send");
}

// ------------------------------------------------------------ with the server

class Server {
public:
    Server(const QString& base, const QString& user, const QString& password)
        : base_(base.endsWith('/') ? base : base + '/'), user_(user), password_(password),
          client_(user, password) {}

    quill::DavAnswer Send(const QByteArray& verb, const QUrl& url,
                          const quill::CalDavClient::Headers& headers, const QByteArray& body) {
        quill::DavAnswer out;
        QEventLoop loop;
        client_.Send(verb, url, headers, body, [&](const quill::DavAnswer& answer) {
            out = answer;
            loop.quit();
        });
        loop.exec();
        return out;
    }
    QUrl List(const std::string& name) const {
        return QUrl(base_ + QString::fromStdString(name) + '/');
    }
    // An empty task list.
    bool Make(const std::string& name) {
        return Send("MKCALENDAR", List(name), {}, {}).status == 201;
    }
    // A request the sync's client would give up on: Radicale answers some only
    // after minutes the first time. The HTTP status.
    int Slow(const QByteArray& verb, const QUrl& url, const QByteArray& type,
             const QByteArray& body) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, type);
        request.setRawHeader("Authorization",
                             "Basic " + (user_ + ':' + password_).toUtf8().toBase64());
        request.setRawHeader("Depth", "0");
        QNetworkAccessManager network;
        QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
    // A task list holding `store`'s tasks, made in one request (Radicale's own
    // way of taking a whole calendar, not what a sync does).
    bool Fill(const std::string& name, const TaskStore& store) {
        const std::string text = quill::WriteCalendar(store, quill::TasksToExport(store, ""), kNow);
        const int status = Slow("PUT", List(name), "text/calendar; charset=utf-8",
                                QByteArray::fromStdString(text));
        return status == 201 || status == 204;
    }
    // Asks once for the changes since nothing: Radicale keeps a history per
    // task, made at the first such request, which other clients have long
    // made on a list in use.
    bool Warm(const std::string& name) {
        return Slow("REPORT", List(name), "application/xml; charset=utf-8",
                    "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token/><d:sync-level>1"
                    "</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>") == 207;
    }
    SyncState StateFor(const std::string& name) const {
        SyncState state;
        state.collectionUrl = List(name).toString().toStdString();
        state.user = user_.toStdString();
        return state;
    }

    // One sync, as the program runs it; the store and state become its result.
    bool Sync(const std::string& what, TaskStore& store, SyncState& state) {
        quill::SyncOptions options;
        options.now = quill::UtcNow();
        options.today = quill::Today();
        const Clock::time_point start = Clock::now();
        quill::SyncRun run(store, state, password_, options);
        quill::SyncSummary summary;
        QEventLoop loop;
        QObject::connect(&run, &quill::SyncRun::Finished, [&](const quill::SyncSummary& result) {
            summary = result;
            loop.quit();
        });
        run.Start();
        loop.exec();
        const double seconds = Seconds(start);
        Report(what, seconds,
               summary.ok ? quill::SummaryText(summary).toStdString()
                          : "FAILED: " + summary.error.toStdString());
        store = run.Store();
        state = run.State();
        return summary.ok;
    }

private:
    QString base_;
    QString user_;
    QString password_;
    quill::CalDavClient client_;
};

bool WithServer(Server& server, const std::vector<int>& sendSizes, int count) {
    for (const int size : sendSizes) {
        const std::string name = "send-" + std::to_string(size);
        TaskStore store = MakeStore(size, "send-");
        SyncState state = server.StateFor(name);
        if (!server.Make(name) ||
            !server.Sync("first sync, " + std::to_string(size) + " here, an empty list", store,
                         state) ||
            !server.Sync("again, nothing changed", store, state)) {
            return false;
        }
    }
    const std::string n = std::to_string(count);
    const std::string name = "receive-" + n;
    const TaskStore full = MakeStore(count, "task-");
    Clock::time_point start = Clock::now();
    if (!server.Fill(name, full)) {
        std::fprintf(stderr, "could not fill the task list %s\n", name.c_str());
        return false;
    }
    Report("(the server takes " + n + " tasks in one request)", Seconds(start), "not a sync");
    start = Clock::now();
    if (!server.Warm(name)) {
        std::fprintf(stderr, "the server did not list %s\n", name.c_str());
        return false;
    }
    Report("(the server's first list of changes of " + n + " tasks)", Seconds(start), "not a sync");

    TaskStore store;
    quill::AddDefaultCategories(store);
    SyncState state = server.StateFor(name);
    TaskStore both = full;
    SyncState bothState = server.StateFor(name);
    if (!server.Sync("first sync, " + n + " there, none here", store, state) ||
        !server.Sync("first sync, the same " + n + " on both sides", both, bothState) ||
        !server.Sync("again, nothing changed", store, state)) {
        return false;
    }
    quill::TTASK_ITEM& task = store.Tasks[store.Tasks.size() / 2];
    task.Title += " (edited here)";
    quill::MarkChanged(task);
    const std::string uid = task.Uid;
    if (!server.Sync("one change here, " + n + " synced", store, state)) {
        return false;
    }
    const QUrl url =
        server.List(name).resolved(QUrl(QString::fromStdString(state.items.at(uid).href)));
    quill::DavAnswer fetched = server.Send("GET", url, {}, {});
    if (!fetched.body.contains("(edited here)")) {
        std::fprintf(stderr, "the change is not on the server\n");
        return false;
    }
    // Another device changes one task.
    const QByteArray changed = fetched.body.replace("(edited here)", "(edited there)");
    if (server.Send("PUT", url, {{"Content-Type", "text/calendar"}, {"If-Match", fetched.etag}},
                    changed)
                .status >= 300 ||
        !server.Sync("one change there, " + n + " synced", store, state)) {
        return false;
    }
    // What follows the sync in the program: the data file, then the state.
    QTemporaryDir dir;
    const std::string path = dir.filePath("quillnote.dat").toStdString();
    std::string error;
    start = Clock::now();
    const bool saved = quill::SaveTasks(store, path).ok && quill::SaveSyncState(path, state, error);
    Report("saving the data file and the sync state, " + n + " tasks", Seconds(start),
           saved ? "saved" : "FAILED");
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<int> sendSizes;
    int count = 10000;
    bool engineOnly = false;
    std::vector<const char*> operands;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--engine-only") == 0) {
            engineOnly = true;
        } else if (std::strcmp(argv[i], "--send") == 0 && i + 1 < argc) {
            sendSizes.push_back(std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--tasks") == 0 && i + 1 < argc) {
            count = std::atoi(argv[++i]);
        } else {
            operands.push_back(argv[i]);
        }
    }
    if (count < 2 || (!engineOnly && operands.size() != 3)) {
        std::fprintf(stderr, "usage: quillnote-bench-sync BASE-URL USER PASSWORD [--send N]... "
                             "[--tasks N]\n       quillnote-bench-sync --engine-only "
                             "[--tasks N]\n");
        return 2;
    }
    std::printf("| What | Time | Result |\n|---|---|---|\n");
    EngineOnly(count);
    if (engineOnly) {
        return 0;
    }
    Server server(QString::fromLocal8Bit(operands[0]), QString::fromLocal8Bit(operands[1]),
                  QString::fromLocal8Bit(operands[2]));
    return WithServer(server, sendSizes, count) ? 0 : 1;
}
