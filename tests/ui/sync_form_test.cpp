// The Sync window on its own: the account in and out, the lists found, the
// new list's name, trusting a certificate, and its requests.
#include "../support/window_parts.h"
#include "ui/sync_form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace quill;

class SyncFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldGiveBackTheAccountItWasLoadedWith() {
        TSyncForm form;
        const SyncAccount account{"https://dav.example.com/",
                                  "alice",
                                  "https://dav.example.com/alice/tasks/",
                                  "Tasks",
                                  2,
                                  "ab12",
                                  1};
        form.Load(account, QStringLiteral("pw"));
        QVERIFY(form.Account() == account);
        QCOMPARE(form.Password(), QStringLiteral("pw"));
        QCOMPARE(Part<QListWidget>(&form, "TaskListBox")->currentItem()->text(),
                 QStringLiteral("Tasks"));
    }

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

    void shouldAskThroughItsButtons() {
        TSyncForm form;
        QSignalSpy find(&form, &TSyncForm::FindRequested);
        QSignalSpy create(&form, &TSyncForm::CreateRequested);
        QSignalSpy sync(&form, &TSyncForm::SyncNowRequested);
        Part<QPushButton>(&form, "FindButton")->click();
        Part<QPushButton>(&form, "CreateButton")->click();
        QCOMPARE(create.count(), 0); // no name yet: the window says so
        QVERIFY(!Part<QLabel>(&form, "StatusLabel")->text().isEmpty());
        Part<QLineEdit>(&form, "NewListEdit")->setText(QStringLiteral(" Errands "));
        Part<QPushButton>(&form, "CreateButton")->click();
        Part<QPushButton>(&form, "SyncNowButton")->click();
        QCOMPARE(find.count(), 1);
        QCOMPARE(create.value(0).value(0).toString(), QStringLiteral("Errands"));
        QCOMPARE(sync.count(), 1);
        form.SetBusy(true);
        QVERIFY(!Part<QPushButton>(&form, "SyncNowButton")->isEnabled());
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
