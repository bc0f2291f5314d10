#pragma once
// "Find task lists": from a server's address, the user's task lists (the
// calendar collections of the calendar home that hold VTODOs), found the way
// calendar programs do (the current user's principal, its calendar home; the
// well-known address; the address itself), and a new task list made there.
// Asynchronous, on CalDavClient.

#include "caldav_client.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

namespace quill {

struct TaskListInfo {
    QUrl url;     // the collection's address
    QString name; // its display name; the last path segment when it has none
};

// From a PROPFIND answer for the principal and home properties: the hrefs
// given for each, empty when missing.
struct PrincipalInfo {
    QString principal;
    QString home;
};
PrincipalInfo ReadPrincipal(const QByteArray& body);

// From a Depth 1 PROPFIND answer on a calendar home: the calendar collections
// whose component set holds VTODO (a missing set holds everything), resolved
// against `base`, in the server's order.
std::vector<TaskListInfo> ReadTaskLists(const QByteArray& body, const QUrl& base);

struct FindResult {
    bool ok = false;
    QString error;          // when not ok: what went wrong and what to do
    int status = 0;         // the failing answer's HTTP status (401: the password)
    QByteArray certificate; // an untrusted certificate's SHA-256, to confirm
    QUrl home;              // where new task lists go
    std::vector<TaskListInfo> lists;
};

class TaskListFinder : public QObject {
    Q_OBJECT
public:
    // `pinned`: the SHA-256 of a certificate the user trusts (empty: none).
    TaskListFinder(const QString& user, const QString& password, const QByteArray& pinned,
                   QObject* parent = nullptr);

    // Finds the task lists from `server`; `done` runs once, never from within.
    void Find(const QUrl& server, std::function<void(const FindResult&)> done);
    // Makes a task list named `name` in `home`; `done` gets it as the one list.
    void Create(const QUrl& home, const QString& name, std::function<void(const FindResult&)> done);

private:
    // Asks `candidates[index]` for the principal and home, then the next.
    void AskPrincipal(std::vector<QUrl> candidates, size_t index, bool viaPrincipal);
    void ListHome(const QUrl& home);
    void Fail(const DavAnswer& answer, const QUrl& url);

    CalDavClient* client_;
    std::function<void(const FindResult&)> done_;
};

} // namespace quill
