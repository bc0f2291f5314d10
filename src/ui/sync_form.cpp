#include "sync_form.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace quill {

namespace {

constexpr int kUrlRole = Qt::UserRole;

template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TSyncForm::TSyncForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("SyncForm"));
    setWindowTitle(QStringLiteral("Sync"));
    SetKeyPreview(true);
    QWidget* c = Client();
    auto* grid = new QGridLayout(c);
    grid->setContentsMargins(16, 12, 16, 12);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);

    ServerEdit = Named(new QLineEdit(c), "ServerEdit");
    ServerEdit->setPlaceholderText(QStringLiteral("https://example.com/remote.php/dav/"));
    UserEdit = Named(new QLineEdit(c), "UserEdit");
    PasswordEdit = Named(new QLineEdit(c), "PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordPlaceBox = Named(new QComboBox(c), "PasswordPlaceBox");
    PasswordPlaceBox->addItems({QStringLiteral("Keep it in the keyring"),
                                QStringLiteral("Use it until Quillnote closes"),
                                QStringLiteral("Keep it in a file only I can read")});
    PlaceWarning = Named(new QLabel(c), "PlaceWarning");
    PlaceWarning->setWordWrap(true);
    int row = 0;
    grid->addWidget(Caption(QStringLiteral("&Server address:"), ServerEdit, c), row, 0);
    grid->addWidget(ServerEdit, row++, 1, 1, 2);
    grid->addWidget(Caption(QStringLiteral("&User name:"), UserEdit, c), row, 0);
    grid->addWidget(UserEdit, row++, 1, 1, 2);
    grid->addWidget(Caption(QStringLiteral("&Password:"), PasswordEdit, c), row, 0);
    grid->addWidget(PasswordEdit, row++, 1, 1, 2);
    grid->addWidget(PasswordPlaceBox, row++, 1, 1, 2);
    grid->addWidget(PlaceWarning, row++, 1, 1, 2);

    CertificateLabel = Named(new QLabel(c), "CertificateLabel");
    CertificateLabel->setWordWrap(true);
    CertificateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    TrustButton =
        Named(new QPushButton(QStringLiteral("&Trust this certificate"), c), "TrustButton");
    grid->addWidget(CertificateLabel, row++, 0, 1, 3);
    grid->addWidget(TrustButton, row++, 1, 1, 2, Qt::AlignLeft);
    CertificateLabel->hide();
    TrustButton->hide();
    DeletionsLabel = Named(new QLabel(c), "DeletionsLabel");
    DeletionsLabel->setWordWrap(true);
    AllowDeletionsButton =
        Named(new QPushButton(QStringLiteral("&Allow the deletions"), c), "AllowDeletionsButton");
    grid->addWidget(DeletionsLabel, row++, 0, 1, 3);
    grid->addWidget(AllowDeletionsButton, row++, 1, 1, 2, Qt::AlignLeft);
    DeletionsLabel->hide();
    AllowDeletionsButton->hide();

    FindButton = Named(new QPushButton(QStringLiteral("&Find task lists"), c), "FindButton");
    grid->addWidget(FindButton, row++, 1, 1, 2, Qt::AlignLeft);
    TaskListBox = Named(new QListWidget(c), "TaskListBox");
    TaskListBox->setFixedHeight(96);
    grid->addWidget(Caption(QStringLiteral("Task &list:"), TaskListBox, c), row, 0, Qt::AlignTop);
    grid->addWidget(TaskListBox, row++, 1, 1, 2);
    NewListEdit = Named(new QLineEdit(c), "NewListEdit");
    NewListEdit->setPlaceholderText(QStringLiteral("Name of a new task list"));
    CreateButton = Named(new QPushButton(QStringLiteral("&Create"), c), "CreateButton");
    grid->addWidget(NewListEdit, row, 1);
    grid->addWidget(CreateButton, row++, 2);

    IntervalBox = Named(new QComboBox(c), "IntervalBox");
    IntervalBox->addItems({QStringLiteral("On every change"), QStringLiteral("Every 5 minutes"),
                           QStringLiteral("Every 15 minutes"), QStringLiteral("Every 60 minutes"),
                           QStringLiteral("Only by hand")});
    grid->addWidget(Caption(QStringLiteral("S&ync:"), IntervalBox, c), row, 0);
    grid->addWidget(IntervalBox, row++, 1, 1, 2);
    SyncNowButton = Named(new QPushButton(QStringLiteral("Sync &now"), c), "SyncNowButton");
    grid->addWidget(SyncNowButton, row++, 1, 1, 2, Qt::AlignLeft);
    StatusLabel = Named(new QLabel(c), "StatusLabel");
    StatusLabel->setAccessibleName(QStringLiteral("Last sync"));
    StatusLabel->setWordWrap(true);
    StatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    StatusLabel->setMinimumHeight(48);
    StatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(StatusLabel, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    for (QPushButton* button :
         {FindButton, CreateButton, TrustButton, AllowDeletionsButton, SyncNowButton}) {
        button->setAutoDefault(false);
    }

    connect(FindButton, &QPushButton::clicked, this, [this] { Q_EMIT FindRequested(); });
    connect(SyncNowButton, &QPushButton::clicked, this, [this] { Q_EMIT SyncNowRequested(); });
    connect(CreateButton, &QPushButton::clicked, this, [this] {
        const QString name = NewListEdit->text().trimmed();
        if (name.isEmpty()) {
            SetStatus(QStringLiteral("Type a name for the new task list first."));
            NewListEdit->setFocus();
            return;
        }
        Q_EMIT CreateRequested(name);
    });
    connect(TrustButton, &QPushButton::clicked, this, [this] {
        trusted_ = certificate_;
        CertificateLabel->hide();
        TrustButton->hide();
        SetStatus(QStringLiteral("The certificate is trusted from now on. Find the task lists "
                                 "or sync again."));
        Q_EMIT AccountEdited();
    });
    connect(AllowDeletionsButton, &QPushButton::clicked, this, [this] {
        DeletionsLabel->hide();
        AllowDeletionsButton->hide();
        Q_EMIT DeletionsAllowed();
    });
    connect(TaskListBox, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r >= 0) {
            chosenList_ = TaskListBox->item(r)->data(kUrlRole).toString();
            chosenName_ = TaskListBox->item(r)->text();
            Q_EMIT AccountEdited();
        }
    });
    connect(IntervalBox, &QComboBox::activated, this, [this] { Q_EMIT AccountEdited(); });
    connect(PasswordPlaceBox, &QComboBox::activated, this, [this] {
        UpdatePlaceWarning();
        Q_EMIT AccountEdited();
    });
    // The shipped skins' one-button dialog: its OK closes the window.
    SetSkinTemplate(QStringLiteral("AboutForm"));
    SetClientSize(440, 400);
}

void TSyncForm::Load(const SyncAccount& account, const QString& password) {
    ServerEdit->setText(account.server);
    UserEdit->setText(account.user);
    PasswordEdit->setText(password);
    PasswordPlaceBox->setCurrentIndex(std::clamp(account.passwordPlace, 0, 2));
    IntervalBox->setCurrentIndex(std::clamp(account.interval, 0, 4));
    trusted_ = account.certificate;
    chosenList_ = account.taskList;
    chosenName_ = account.taskListName;
    TaskListBox->clear();
    if (!chosenList_.isEmpty()) {
        const QSignalBlocker quiet(TaskListBox);
        auto* item =
            new QListWidgetItem(chosenName_.isEmpty() ? chosenList_ : chosenName_, TaskListBox);
        item->setData(kUrlRole, chosenList_);
        item->setToolTip(chosenList_);
        TaskListBox->setCurrentItem(item);
    }
    UpdatePlaceWarning();
}

SyncAccount TSyncForm::Account() const {
    SyncAccount account;
    account.server = ServerEdit->text().trimmed();
    account.user = UserEdit->text().trimmed();
    account.taskList = chosenList_;
    account.taskListName = chosenName_;
    account.interval = IntervalBox->currentIndex();
    account.certificate = trusted_;
    account.passwordPlace = PasswordPlaceBox->currentIndex();
    return account;
}

QString TSyncForm::Password() const {
    return PasswordEdit->text();
}

void TSyncForm::SetTaskLists(const std::vector<std::pair<QUrl, QString>>& lists) {
    const QSignalBlocker quiet(TaskListBox);
    TaskListBox->clear();
    int chosen = -1;
    for (const auto& [url, name] : lists) {
        auto* item = new QListWidgetItem(name, TaskListBox);
        item->setData(kUrlRole, url.toString(QUrl::FullyEncoded));
        item->setToolTip(url.toDisplayString(QUrl::RemoveUserInfo));
        if (url.toString(QUrl::FullyEncoded) == chosenList_) {
            chosen = TaskListBox->count() - 1;
        }
    }
    // One list, or the account's: chosen; several new ones wait for the user.
    if (chosen < 0 && lists.size() == 1) {
        chosen = 0;
    }
    if (chosen >= 0) {
        TaskListBox->setCurrentRow(chosen);
        chosenList_ = TaskListBox->item(chosen)->data(kUrlRole).toString();
        chosenName_ = TaskListBox->item(chosen)->text();
        Q_EMIT AccountEdited();
    }
}

void TSyncForm::SetBusy(bool busy) {
    for (QPushButton* button : {FindButton, CreateButton, SyncNowButton}) {
        button->setEnabled(!busy);
    }
}

void TSyncForm::SetStatus(const QString& text) {
    StatusLabel->setText(text);
}

void TSyncForm::AskToTrust(const QString& fingerprint) {
    certificate_ = fingerprint;
    CertificateLabel->setText(
        QStringLiteral("The server's certificate is not one your system trusts. Trust it only "
                       "if its SHA-256 fingerprint is the one of your server:\n%1")
            .arg(fingerprint));
    CertificateLabel->show();
    TrustButton->show();
}

void TSyncForm::AskToAllowDeletions(const QString& question) {
    DeletionsLabel->setText(question);
    DeletionsLabel->show();
    AllowDeletionsButton->show();
}

void TSyncForm::AskForPassword() {
    PasswordEdit->setFocus(Qt::OtherFocusReason);
    PasswordEdit->selectAll();
}

void TSyncForm::UpdatePlaceWarning() {
    const auto place = static_cast<PasswordPlace>(PasswordPlaceBox->currentIndex());
    PlaceWarning->setText(
        place == PasswordPlace::PrivateFile
            ? QStringLiteral("Not encrypted: anyone who can read your files as you, or a "
                             "copy of them, can read the password.")
        : place == PasswordPlace::ThisRunOnly
            ? QStringLiteral("You will be asked again after Quillnote restarts.")
            : QString());
    PlaceWarning->setVisible(!PlaceWarning->text().isEmpty());
}

void TSyncForm::FormShow() {
    // The skin's OK button comes with the frame, once the window shows.
    QTimer::singleShot(0, this, [this] {
        for (auto* ok : findChildren<QAbstractButton*>(QStringLiteral("OKButton"))) {
            if (!ok->property("closesSyncForm").toBool()) {
                ok->setProperty("closesSyncForm", true);
                connect(ok, &QAbstractButton::clicked, this, [this] { close(); });
            }
        }
    });
    if (ServerEdit->text().isEmpty()) {
        ServerEdit->setFocus(Qt::OtherFocusReason);
    }
}

bool TSyncForm::FormKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return false;
}

} // namespace quill
