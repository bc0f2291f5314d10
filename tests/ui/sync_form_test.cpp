// The Sync window on its own: choosing among the lists found, trusting a
// certificate, the warning before a password goes to a file. (Its account,
// "Find task lists" and "Sync now" are tested with a real server in the
// sync commands' test.)
#include "../support/window_parts.h"
#include "ui/sync_form.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace quill;

class SyncFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldChooseAmongTheListsFound() {
        TSyncForm form;
        form.Load({"https://h/", "alice", "https://h/alice/b/", "", 0, "", 0}, {});
        QSignalSpy edited(&form, &TSyncForm::AccountEdited);
        form.SetTaskLists(
            {{QUrl("https://h/alice/a/"), "Errands"}, {QUrl("https://h/alice/b/"), "Work"}});
        auto* box = Part<QListWidget>(&form, "TaskListBox");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentItem()->text(), QStringLiteral("Work"));
        box->setCurrentRow(0);
        QCOMPARE(form.Account().taskList, QStringLiteral("https://h/alice/a/"));
        QVERIFY(edited.count() >= 2);
        // A single list found is the one chosen.
        form.SetTaskLists({{QUrl("https://h/alice/new/"), "New"}});
        QCOMPARE(form.Account().taskList, QStringLiteral("https://h/alice/new/"));
    }

    void shouldPinOnlyACertificateTheUserTrusts() {
        TSyncForm form;
        form.AskToTrust(QStringLiteral("AB:CD"));
        QCOMPARE(form.Account().certificate, QString());
        QVERIFY(Part<QLabel>(&form, "CertificateLabel")->text().contains("AB:CD"));
        Part<QPushButton>(&form, "TrustButton")->click();
        QCOMPARE(form.Account().certificate, QStringLiteral("AB:CD"));
    }

    void shouldWarnBeforeAPasswordGoesToAFile() {
        TSyncForm form;
        form.Load({"https://h/", "alice", "", "", 0, "", 2}, {});
        QVERIFY(Part<QLabel>(&form, "PlaceWarning")->text().contains("Not encrypted"));
        form.Load({"https://h/", "alice", "", "", 0, "", 0}, {});
        QVERIFY(Part<QLabel>(&form, "PlaceWarning")->text().isEmpty());
    }
};

QTEST_MAIN(SyncFormTest)
#include "sync_form_test.moc"
