// Finding task lists from a real server's root and making one (with_radicale.sh:
// QUILLNOTE_TEST_CALDAV is an empty task list "Tasks", user alice, alice-pw).
#include "sync/task_list_finder.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <gtest/gtest.h>

namespace quill {
namespace {

int argc = 0;
QCoreApplication app(argc, nullptr);
const QByteArray list = qgetenv("QUILLNOTE_TEST_CALDAV");

FindResult
Await(const std::function<void(TaskListFinder&, std::function<void(const FindResult&)>)>& ask,
      const QString& password = QStringLiteral("alice-pw"), const QByteArray& pinned = {}) {
    TaskListFinder finder(QStringLiteral("alice"), password, pinned);
    QEventLoop loop;
    FindResult result;
    ask(finder, [&](const FindResult& r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    return result;
}

TEST(SyncServer, FindsAndMakesTaskLists) {
    ASSERT_FALSE(list.isEmpty()) << "run through with_radicale.sh";
    const QUrl root = QUrl(QString::fromLatin1(list)).resolved(QUrl(QStringLiteral("/")));
    const auto find = [&](TaskListFinder& f, auto done) { f.Find(root, std::move(done)); };
    const FindResult found = Await(find);
    ASSERT_TRUE(found.ok) << found.error.toStdString();
    ASSERT_EQ(found.lists.size(), 1u);
    EXPECT_EQ(found.lists[0].url.toString().toLatin1(), list);
    EXPECT_EQ(found.lists[0].name, QStringLiteral("Tasks"));

    const FindResult made = Await([&](TaskListFinder& f, auto done) {
        f.Create(found.home, QStringLiteral("Errands & more"), std::move(done));
    });
    ASSERT_TRUE(made.ok) << made.error.toStdString();
    const FindResult again = Await(find);
    ASSERT_EQ(again.lists.size(), 2u);
    EXPECT_TRUE(again.lists[0].name == "Errands & more" || again.lists[1].name == "Errands & more");

    const FindResult refused = Await(find, QStringLiteral("wrong"));
    EXPECT_EQ(refused.status, 401);
}

TEST(SyncServer, TrustsOnlyTheConfirmedCertificate) {
    const QUrl tls(QString::fromLatin1(qgetenv("QUILLNOTE_TEST_CALDAVS")));
    ASSERT_TRUE(tls.isValid()) << "run through with_radicale.sh";
    const auto find = [&](TaskListFinder& f, auto done) { f.Find(tls, std::move(done)); };
    const FindResult refused = Await(find);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(FingerprintText(refused.certificate).toLatin1(),
              qgetenv("QUILLNOTE_TEST_CALDAVS_FP"));
    const FindResult other = Await(find, QStringLiteral("alice-pw"), QByteArray(32, 'x'));
    EXPECT_FALSE(other.ok);
    const FindResult pinned = Await(find, QStringLiteral("alice-pw"), refused.certificate);
    ASSERT_TRUE(pinned.ok) << pinned.error.toStdString();
    EXPECT_EQ(pinned.lists.size(), 1u);
}

} // namespace
} // namespace quill
