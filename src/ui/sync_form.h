#pragma once
// The Sync window: the account (server address, user name, password and where
// it is kept), "Find task lists" and a new task list, how often to sync,
// "Sync now" and the last result. It does no network work itself: it offers
// its values and asks through signals; the sync commands answer with the
// lists found and the results. Not modal, so syncing goes on while it shows.

#include "widgets/form.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quill {

// The account as the settings keep it.
struct SyncAccount {
    QString server;
    QString user;
    QString taskList;      // the chosen task list's address
    QString taskListName;  // and its name, as the server gives it
    int interval = 4;      // a SyncInterval's number; "only by hand" until chosen
    QString certificate;   // the confirmed certificate's SHA-256, hex
    int passwordPlace = 0; // PasswordPlace's number

    bool operator==(const SyncAccount&) const = default;
};

// Where the password is kept between runs.
enum class PasswordPlace { Keyring = 0, ThisRunOnly = 1, PrivateFile = 2 };

class TSyncForm : public TForm {
    Q_OBJECT
public:
    explicit TSyncForm(QWidget* parent = nullptr);

    void Load(const SyncAccount& account, const QString& password);
    SyncAccount Account() const;
    QString Password() const;

    // The task lists found: (address, name); the account's one is chosen.
    void SetTaskLists(const std::vector<std::pair<QUrl, QString>>& lists);
    // A run or a search is going: the buttons wait.
    void SetBusy(bool busy);
    // The last result or what went wrong, and what to do.
    void SetStatus(const QString& text);
    // An untrusted certificate: its fingerprint shown, "Trust" offered.
    void AskToTrust(const QString& fingerprint);
    // The server refused the password: the field is ready for another.
    void AskForPassword();
    // The sync stopped before deleting many tasks: why, and "Allow" offered.
    void AskToAllowDeletions(const QString& question);

Q_SIGNALS:
    void FindRequested();
    void CreateRequested(const QString& name);
    void SyncNowRequested();
    // The user let the next sync delete what the stopped one would have.
    void DeletionsAllowed();
    // The interval, the task list or the password's place changed.
    void AccountEdited();

protected:
    void FormShow() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    void UpdatePlaceWarning();

    QLineEdit* ServerEdit = nullptr;
    QLineEdit* UserEdit = nullptr;
    QLineEdit* PasswordEdit = nullptr;
    QComboBox* PasswordPlaceBox = nullptr;
    QLabel* PlaceWarning = nullptr;
    QPushButton* FindButton = nullptr;
    QListWidget* TaskListBox = nullptr;
    QLineEdit* NewListEdit = nullptr;
    QPushButton* CreateButton = nullptr;
    QLabel* CertificateLabel = nullptr;
    QPushButton* TrustButton = nullptr;
    QLabel* DeletionsLabel = nullptr;
    QPushButton* AllowDeletionsButton = nullptr;
    QComboBox* IntervalBox = nullptr;
    QPushButton* SyncNowButton = nullptr;
    QLabel* StatusLabel = nullptr;
    QString chosenList_; // the account's task list while none is listed
    QString chosenName_;
    QString certificate_; // confirmed, or offered for confirmation
    QString trusted_;
};

} // namespace quill
