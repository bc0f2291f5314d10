#pragma once
// One sync of the store with one task list, from the server's listing to the
// last upload, all of it asynchronous. The run works on its own copies of the
// store and the sync state; the caller saves them (data file first, then the
// state) once Finished says the store was reconciled.

#include "caldav_client.h"
#include "core/task_store.h"
#include "sync_engine.h"
#include "sync_state.h"

#include <QObject>
#include <QString>
#include <QUrl>

namespace quill {

struct SyncSummary {
    bool ok = false;
    bool reconciled = false; // the store and state hold the server's changes: save them
    int sent = 0;
    int received = 0;
    int deletedHere = 0;
    int conflicts = 0;
    int unreadable = 0;            // server copies left alone because they cannot be read
    QString error;                 // when not ok: what went wrong and what to do
    int status = 0;                // the failing answer's HTTP status (401: the password)
    QByteArray certificate;        // an untrusted certificate's SHA-256, to confirm
    bool tooManyDeletions = false; // stopped before deleting more than a quarter
};

// "3 sent, 1 received, 1 removed here, 1 conflict copy".
QString SummaryText(const SyncSummary& summary);

class SyncRun : public QObject {
    Q_OBJECT
public:
    SyncRun(TaskStore store, SyncState state, const QString& password, SyncOptions options,
            QObject* parent = nullptr);

    // The SHA-256 of the server certificate the user confirmed (empty: none).
    void PinCertificate(const QByteArray& sha256) { client_->SetPinnedCertificate(sha256); }

    // Starts the run; Finished follows once, never from within Start.
    void Start();

    const TaskStore& Store() const { return store_; }
    const SyncState& State() const { return state_; }

Q_SIGNALS:
    void Finished(const quill::SyncSummary& summary);

private:
    // Whether the address is a calendar collection, before anything is sent.
    void Check();
    void List();
    // What changed since `token` (everything when empty), by sync-collection;
    // a server without it, or one that forgot the token, gets ListAll.
    void ListChanges(const QString& token);
    // Every task's ETag, by calendar-query.
    void ListAll();
    void Fetch(std::vector<std::string> hrefs, size_t from);
    void Reconcile();
    // Sends the next operations, a few at a time; when all have answered, ends
    // the run or goes round again.
    void SendMore();
    void Send(size_t index);
    void Finish(bool ok, const QString& error);
    // Ends the run on an answer that stops it, telling its status and certificate.
    void Fail(const DavAnswer& answer);
    QUrl UrlOf(const std::string& href) const;

    TaskStore store_;
    SyncState state_;
    SyncOptions options_;
    QUrl collection_;
    CalDavClient* client_;
    ServerListing listing_;
    ServerTexts texts_;
    std::string nextToken_; // the token of the listing being synced
    SyncPlan plan_;
    SyncSummary summary_;
    int rounds_ = 0;
    bool stale_ = false; // a write met a copy changed meanwhile: fetch and merge again
    QString sendError_;
    size_t nextOp_ = 0;
    size_t inFlight_ = 0;
};

} // namespace quill
