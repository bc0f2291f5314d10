#include "sync_commands.h"

#include "app_error_handler.h"
#include "command_host.h"
#include "core/app_error.h"
#include "core/data_file.h"
#include "core/date_time.h"
#include "core/file_io.h"
#include "core/task_store.h"
#include "platform/settings_store.h"
#include "platform/tray_icon.h"
#include "sync/sync_password.h"
#include "sync/sync_run.h"
#include "sync/sync_state.h"
#include "sync/task_list_finder.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>

namespace quill {

namespace {

const QString kProgramTip = QStringLiteral("Tolva Quillnote");

int64_t NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

SyncAccount ReadSyncAccount(const SettingsStore& s) {
    SyncAccount a;
    a.server = s.ReadString(QStringLiteral("SyncServer"), QString());
    a.user = s.ReadString(QStringLiteral("SyncUser"), QString());
    a.taskList = s.ReadString(QStringLiteral("SyncTaskList"), QString());
    a.taskListName = s.ReadString(QStringLiteral("SyncTaskListName"), QString());
    a.interval = s.ReadInteger(QStringLiteral("SyncInterval"), 0);
    a.certificate = s.ReadString(QStringLiteral("SyncCertificate"), QString());
    a.passwordPlace = s.ReadInteger(QStringLiteral("SyncPasswordPlace"), 0);
    return a;
}

void WriteSyncAccount(SettingsStore& s, const SyncAccount& a) {
    s.WriteString(QStringLiteral("SyncServer"), a.server);
    s.WriteString(QStringLiteral("SyncUser"), a.user);
    s.WriteString(QStringLiteral("SyncTaskList"), a.taskList);
    s.WriteString(QStringLiteral("SyncTaskListName"), a.taskListName);
    s.WriteInteger(QStringLiteral("SyncInterval"), a.interval);
    s.WriteString(QStringLiteral("SyncCertificate"), a.certificate);
    s.WriteInteger(QStringLiteral("SyncPasswordPlace"), a.passwordPlace);
}

SyncCommands::SyncCommands(QWidget* window, CommandHost& host, TaskStore& store,
                           SettingsStore& settings, TrayIcon& tray, QString dataFile,
                           SyncHooks hooks)
    : QObject(window), window_(window), host_(host), store_(store), settings_(settings),
      tray_(tray), dataFile_(std::move(dataFile)), hooks_(std::move(hooks)),
      account_(ReadSyncAccount(settings)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { RunDue(); });
    statusTimer_.setInterval(30000);
    connect(&statusTimer_, &QTimer::timeout, this, [this] { UpdateStatusLine(); });
}

SyncCommands::~SyncCommands() {
    delete form_;
}

void SyncCommands::AddMenuItems(std::initializer_list<QMenu*> menus) {
    for (QMenu* menu : menus) {
        menu->addSeparator();
        QAction* item = menu->addAction(QStringLiteral("Sync..."));
        item->setObjectName(QStringLiteral("SyncTasks"));
        connect(item, &QAction::triggered, this, [this] { ShowWindow(); });
    }
}

bool SyncCommands::Configured() const {
    return !account_.user.isEmpty() && !account_.taskList.isEmpty();
}

QString SyncCommands::PasswordKey() const {
    return SyncPasswordKey(account_.user, account_.taskList);
}

QString SyncCommands::PasswordFile() const {
    return QFileInfo(settings_.Location()).absolutePath() +
           QStringLiteral("/Quillnote.sync-password");
}

void SyncCommands::Start() {
    // After the first paint, which start-up work never delays.
    QTimer::singleShot(0, this, [this] {
        started_ = true;
        if (Configured()) {
            savedSignature_ = StoreSignature(store_);
            ObtainPassword([this] { Reschedule(); });
        }
    });
}

void SyncCommands::ObtainPassword(std::function<void()> then) {
    if (!password_.isEmpty()) {
        then();
        return;
    }
    const auto place = static_cast<PasswordPlace>(account_.passwordPlace);
    if (place == PasswordPlace::PrivateFile) {
        password_ = ReadSyncPasswordFile(PasswordFile(), PasswordKey());
    }
    if (place != PasswordPlace::Keyring || !password_.isEmpty()) {
        passwordProblem_ =
            password_.isEmpty() ? QStringLiteral("no password was given") : QString();
        then();
        return;
    }
    ReadSyncPassword(account_.user, account_.taskList, this,
                     [this, then = std::move(then)](const QString& password, const QString& error) {
                         password_ = password;
                         passwordProblem_ = error;
                         then();
                     });
}

void SyncCommands::TasksSaved() {
    // Cheap on purpose: this runs for every click. Whether the tasks really
    // changed (a sort or a filter saves too) is asked once, when the sync is due.
    if (!started_ || !Configured() ||
        static_cast<SyncInterval>(account_.interval) != SyncInterval::OnEveryChange) {
        return;
    }
    const int64_t now = NowMs();
    if (schedule_.firstChangeMs < 0) {
        schedule_.firstChangeMs = now;
    }
    schedule_.lastChangeMs = now;
    Reschedule();
}

void SyncCommands::Reschedule() {
    schedule_.interval = static_cast<SyncInterval>(account_.interval);
    schedule_.ready = started_ && Configured() && !password_.isEmpty() && !waitingForPassword_ &&
                      !waitingForDeletions_;
    schedule_.running = run_ != nullptr;
    const int64_t wait = MsUntilNextSync(schedule_, NowMs());
    if (wait < 0) {
        timer_.stop();
    } else {
        timer_.start(static_cast<int>(std::min<int64_t>(wait, 24 * 3600 * 1000)));
    }
    if (started_ && Configured() && password_.isEmpty() && lastError_.isEmpty() &&
        !passwordProblem_.isEmpty()) {
        Report(false, QStringLiteral("No password for the sync: %1. Enter it in the Sync window "
                                     "(menu: Sync...).")
                          .arg(passwordProblem_));
    }
}

void SyncCommands::RunDue() {
    // A window waiting for an answer keeps the tasks as they are until it closes.
    if (QApplication::activeModalWidget() != nullptr) {
        schedule_.retryMs = NowMs() + kRetryMs;
        Reschedule();
        return;
    }
    if (schedule_.firstChangeMs >= 0 && schedule_.retryMs < 0 && !byHand_ &&
        StoreSignature(store_) == savedSignature_) {
        // Only sorted or filtered since the last sync: nothing to send. An
        // interval that is due as well comes round again at once.
        schedule_.firstChangeMs = schedule_.lastChangeMs = -1;
        Reschedule();
        return;
    }
    StartRun();
}

void SyncCommands::SyncNow() {
    // Asked for by hand: even a password refused before is tried again.
    refusedPassword_.clear();
    if (form_) {
        TakeWindowValues();
    }
    waitingForPassword_ = false;
    waitingForDeletions_ = false;
    if (!Configured()) {
        Report(false, QStringLiteral("Choose a task list first: enter the server address, user "
                                     "name and password, then Find task lists."));
        return;
    }
    byHand_ = true;
    ObtainPassword([this] {
        if (password_.isEmpty()) {
            Report(false, QStringLiteral("Enter the password first."));
            return;
        }
        if (run_ == nullptr) {
            StartRun();
        }
    });
}

void SyncCommands::StartRun() {
    if (run_ != nullptr || !Configured() || password_.isEmpty()) {
        return;
    }
    if (!hooks_.savingAllowed()) {
        Report(false, QStringLiteral("The tasks cannot be saved now, so they are not synced."));
        return;
    }
    SyncState state;
    bool found = false;
    std::string error;
    const std::string path = dataFile_.toStdString();
    if (!LoadSyncState(path, state, found, error)) {
        Report(false, QString::fromStdString(error) +
                          QStringLiteral(" Remove the file to sync from scratch."));
        return;
    }
    // Another task list or user: what was synced before says nothing about it.
    if (state.collectionUrl != account_.taskList.toStdString() ||
        state.user != account_.user.toStdString()) {
        state = SyncState{};
        state.collectionUrl = account_.taskList.toStdString();
        state.user = account_.user.toStdString();
    }
    // Before the first sync of this file, its tasks are kept as they were.
    if (!found) {
        const FileContents before = ReadWholeFile(path);
        if (before.status == ReadStatus::Ok &&
            WriteNewFile(path + ".before-sync", before.bytes).path.empty()) {
            Report(false, QStringLiteral("A copy of the tasks could not be kept before the "
                                         "first sync, so nothing was synced."));
            return;
        }
    }
    SyncOptions options;
    options.now = UtcNow();
    options.today = Today();
    options.allowManyDeletions = allowDeletions_;
    savedSignature_ = StoreSignature(store_);
    schedule_.firstChangeMs = schedule_.lastChangeMs = schedule_.retryMs = -1;
    run_ = new SyncRun(store_, std::move(state), password_, options, this);
    run_->PinCertificate(QByteArray::fromHex(account_.certificate.toLatin1()));
    connect(run_, &SyncRun::Finished, this, [this](const SyncSummary& s) { Finished(s); });
    run_->Start();
    if (form_) {
        form_->SetBusy(true);
        form_->SetStatus(QStringLiteral("Syncing..."));
    }
    Reschedule();
}

void SyncCommands::Finished(const SyncSummary& summary) {
    run_->deleteLater();
    const bool byHand = std::exchange(byHand_, false);
    schedule_.lastRunMs = NowMs();
    // A closing program, or a file that may not be written, takes nothing.
    const FinishedRun decision = DecideFinishedRun(summary.reconciled && hooks_.savingAllowed(),
                                                   StoreSignature(store_) != savedSignature_,
                                                   QApplication::activeModalWidget() != nullptr);
    QString failure;
    if (decision == FinishedRun::SetAside) {
        if (const QString failed = KeepWhatTheServerHolds(); !failed.isEmpty()) {
            Report(false, failed);
        }
        run_ = nullptr;
        byHand_ = byHand;
        schedule_.retryMs = NowMs() + kRetryMs;
        Reschedule();
        return;
    }
    if (decision == FinishedRun::Keep) {
        failure = Keep();
    }
    run_ = nullptr;
    allowDeletions_ = false;
    if (form_) {
        form_->SetBusy(false);
    }
    if (!failure.isEmpty() || !summary.ok) {
        const QString error = failure.isEmpty() ? summary.error : failure;
        if (summary.status == 401) {
            // Asked once: no more runs until the user gives the password.
            waitingForPassword_ = true;
            refusedPassword_ = std::exchange(password_, QString());
            ShowWindow();
            form_->AskForPassword();
        }
        if (summary.tooManyDeletions) {
            // Asked once, like a refused password: nothing is deleted unseen.
            waitingForDeletions_ = true;
            ShowWindow();
            QString question = summary.error + QLatin1Char('.');
            question[0] = question[0].toUpper();
            form_->AskToAllowDeletions(question);
        }
        if (!summary.certificate.isEmpty() && (form_ || byHand)) {
            ShowWindow();
            form_->AskToTrust(FingerprintText(summary.certificate));
        }
        Report(false, error + (summary.status == 401
                                   ? QStringLiteral(" Enter the password and press Sync now.")
                                   : QString()));
    } else {
        lastSynced_ = QDateTime::currentDateTime();
        lastSummary_ = SummaryText(summary);
        Report(true, QString());
    }
    Reschedule();
}

QString SyncCommands::KeepWhatTheServerHolds() {
    // `run_` is still set here: its Finished is being handled.
    const std::string path = dataFile_.toStdString();
    SyncState kept;
    bool found = false;
    std::string error;
    if (!LoadSyncState(path, kept, found, error)) {
        return QString::fromStdString(error);
    }
    if (kept.collectionUrl != run_->State().collectionUrl || kept.user != run_->State().user) {
        kept = SyncState{};
        kept.collectionUrl = run_->State().collectionUrl;
        kept.user = run_->State().user;
    }
    const AdoptedFromRun adopted = AdoptFromSetAsideRun(run_->Store(), run_->State(), store_, kept);
    if (adopted.copies == 0 && adopted.links == 0) {
        return {};
    }
    return CaptureAppError([&] {
        if (adopted.copies > 0) {
            // The data file first: the state must never claim what the file lacks.
            hooks_.saveTasksAndWait();
            if (adopted.categoriesAdded) {
                hooks_.categoriesChanged();
            }
            host_.RefreshTaskList(true);
        }
        if (!SaveSyncState(path, kept, error)) {
            throw AppError(error);
        }
    });
}

QString SyncCommands::Keep() {
    // `run_` is still set here: its Finished is being handled.
    const TaskStore& synced = run_->Store();
    const bool changed = StoreSignature(synced) != savedSignature_;
    const bool categoriesChanged = synced.Categories != store_.Categories;
    return CaptureAppError([&] {
        if (changed) {
            const uint64_t current = hooks_.currentKey();
            store_ = synced;
            savedSignature_ = StoreSignature(store_);
            // The data file first: the state must never claim what the file lacks.
            hooks_.saveTasksAndWait();
            std::string error;
            if (!SaveSyncState(dataFile_.toStdString(), run_->State(), error)) {
                throw AppError(error);
            }
            if (categoriesChanged) {
                hooks_.categoriesChanged();
            }
            host_.RefreshTaskList(true);
            host_.MakeTaskCurrent(current);
            // Undoing a step from before the sync would put back what the
            // server changed, unseen; the history starts again here.
            hooks_.forgetUndo();
            return;
        }
        std::string error;
        if (!SaveSyncState(dataFile_.toStdString(), run_->State(), error)) {
            throw AppError(error);
        }
    });
}

void SyncCommands::Report(bool ok, const QString& text) {
    lastError_ = ok ? QString() : text;
    tray_.SetToolTip(
        kProgramTip + QLatin1Char('\n') +
        (ok ? QStringLiteral("Last sync: %1").arg(lastSynced_.toString(QStringLiteral("HH:mm")))
            : QStringLiteral("Last sync failed: %1").arg(text)));
    UpdateStatusLine();
}

void SyncCommands::UpdateStatusLine() {
    if (!form_) {
        return;
    }
    if (!lastError_.isEmpty()) {
        form_->SetStatus(QStringLiteral("Sync failed: %1").arg(lastError_));
    } else if (lastSynced_.isValid()) {
        const int64_t seconds = lastSynced_.secsTo(QDateTime::currentDateTime());
        form_->SetStatus(QStringLiteral("Synced %1: %2")
                             .arg(QString::fromStdString(AgeText(seconds)), lastSummary_));
    }
}

void SyncCommands::ShowWindow() {
    if (!form_) {
        form_ = new TSyncForm(window_);
        form_->setWindowFlag(Qt::Window);
        form_->Load(account_, password_);
        if (hooks_.attachWindow) {
            hooks_.attachWindow(form_);
        }
        connect(form_, &TSyncForm::FindRequested, this, [this] { FindTaskLists(false, {}); });
        connect(form_, &TSyncForm::CreateRequested, this,
                [this](const QString& name) { FindTaskLists(true, name); });
        connect(form_, &TSyncForm::SyncNowRequested, this, [this] { SyncNow(); });
        connect(form_, &TSyncForm::DeletionsAllowed, this, [this] {
            allowDeletions_ = true;
            SyncNow();
        });
        connect(form_, &TSyncForm::AccountEdited, this, [this] {
            TakeWindowValues();
            Reschedule();
        });
        form_->SetBusy(run_ != nullptr);
        // The first showing is centred on the main window when that shows.
        if (window_->isVisible()) {
            QRect frame(QPoint(), form_->size());
            frame.moveCenter(window_->frameGeometry().center());
            form_->move(frame.topLeft());
        }
    }
    UpdateStatusLine();
    statusTimer_.start();
    form_->show();
    form_->raise();
    form_->activateWindow();
}

void SyncCommands::TakeWindowValues() {
    const SyncAccount before = account_;
    account_ = form_->Account();
    const QString typed = form_->Password();
    const bool newPassword = typed != password_ || before.user != account_.user ||
                             before.taskList != account_.taskList ||
                             before.passwordPlace != account_.passwordPlace;
    // The password the server refused, still in the field, answers nothing.
    if (!typed.isEmpty() && typed != refusedPassword_) {
        password_ = typed;
        waitingForPassword_ = false;
    }
    if (!(account_ == before)) {
        ReportErrors([this] { WriteSyncAccount(settings_, account_); });
    }
    if (!newPassword || password_.isEmpty() || !Configured()) {
        return;
    }
    const auto place = static_cast<PasswordPlace>(account_.passwordPlace);
    if (place == PasswordPlace::PrivateFile) {
        const QString error = WriteSyncPasswordFile(PasswordFile(), PasswordKey(), password_);
        if (!error.isEmpty()) {
            form_->SetStatus(QStringLiteral("The password was not kept: %1.").arg(error));
        }
    } else if (place == PasswordPlace::Keyring) {
        WriteSyncPassword(
            account_.user, account_.taskList, password_, this, [this](const QString& error) {
                if (!error.isEmpty() && form_) {
                    form_->SetStatus(QStringLiteral("The password is used, but %1. Choose "
                                                    "\"Use it until Quillnote closes\", or keep "
                                                    "it in a file only you can read.")
                                         .arg(error));
                }
            });
    }
}

void SyncCommands::FindTaskLists(bool create, const QString& name) {
    TakeWindowValues();
    const QUrl server = QUrl::fromUserInput(account_.server);
    // The keyring's password may have come after the window was filled.
    const QString password = form_->Password().isEmpty() ? password_ : form_->Password();
    if (account_.server.isEmpty() || !server.isValid() || account_.user.isEmpty() ||
        password.isEmpty()) {
        form_->SetStatus(QStringLiteral("Enter the server address, the user name and the "
                                        "password first."));
        return;
    }
    auto* finder = new TaskListFinder(account_.user, password,
                                      QByteArray::fromHex(account_.certificate.toLatin1()), this);
    form_->SetBusy(true);
    form_->SetStatus(create ? QStringLiteral("Creating the task list...")
                            : QStringLiteral("Looking for task lists..."));
    auto shown = [this, finder, create](const FindResult& result) {
        finder->deleteLater();
        if (!form_) {
            return;
        }
        form_->SetBusy(run_ != nullptr);
        if (!result.ok) {
            if (!result.certificate.isEmpty()) {
                form_->AskToTrust(FingerprintText(result.certificate));
            }
            form_->SetStatus(result.error);
            return;
        }
        std::vector<std::pair<QUrl, QString>> lists;
        for (const TaskListInfo& list : result.lists) {
            lists.emplace_back(list.url, list.name);
        }
        form_->SetTaskLists(lists);
        const auto name = [&lists] { return lists.empty() ? QString() : lists.front().second; };
        if (create) {
            form_->SetStatus(QStringLiteral("The task list \"%1\" was created and chosen: press "
                                            "Sync now.")
                                 .arg(name()));
        } else if (lists.size() == 1) {
            form_->SetStatus(
                QStringLiteral("The task list \"%1\" is chosen: press Sync now.").arg(name()));
        } else if (lists.empty()) {
            form_->SetStatus(QStringLiteral("The server has no task list yet: type a name and "
                                            "press Create."));
        } else {
            form_->SetStatus(QStringLiteral("%1 task lists found: choose one, then press Sync "
                                            "now.")
                                 .arg(lists.size()));
        }
    };
    finder->Find(server, [finder, create, name, shown](const FindResult& found) {
        if (create && found.ok) {
            finder->Create(found.home, name, shown);
        } else {
            shown(found);
        }
    });
}

} // namespace quill
