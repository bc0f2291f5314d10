// Raising reminders on real windows (offscreen) with the clock fixed by the test:
// the reminder window's contents and order, the snooze choice written to the
// task, the sound file rules and the tray blink.
#include "core/date_time.h"
#include "platform/media_player.h"
#include "skin/skin_label.h"
#include "support/fake_tray_icon.h"
#include "support/window_parts.h"
#include "ui/reminder_alarm.h"
#include "ui/reminder_form.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quill {

namespace {
class SettableClock final : public Clock {
public:
    TDateTime now = 0;
    TDateTime Now() const override { return now; }
};

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s, 0});
}

QString Civil(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(c.year, 4, 10, QLatin1Char('0'))
        .arg(c.month, 2, 10, QLatin1Char('0'))
        .arg(c.day, 2, 10, QLatin1Char('0'))
        .arg(c.hour, 2, 10, QLatin1Char('0'))
        .arg(c.minute, 2, 10, QLatin1Char('0'))
        .arg(c.second, 2, 10, QLatin1Char('0'));
}
} // namespace

class TestReminderAlarm : public QObject {
    Q_OBJECT
public:
    // Offscreen tests have no sound server: the player must cope without one.
    static void initMain() { qputenv("PULSE_SERVER", "unix:/nonexistent/quillnote-test"); }

private:
    struct Seen {
        QString caption, title, description;
    };

    std::shared_ptr<SettableClock> clock_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TaskStore> store_;
    std::unique_ptr<TReminderForm> form_;
    std::unique_ptr<OnDemand<TReminderForm>> made_;
    std::unique_ptr<FakeTrayIcon> tray_;
    std::unique_ptr<ReminderAlarm> alarm_;
    int saves_ = 0, repaints_ = 0, shows_ = 0;
    std::function<int(int)> editTask_;
    std::function<void()> onSave_;
    // What the window showed each time, and how the test answered it.
    QList<Seen> seen_;
    std::function<void(int)> answer_;

    TTASK_ITEM& Add(const char* title, TDateTime moment) {
        TTASK_ITEM t;
        t.Title = title;
        t.Description = std::string("about ") + title;
        t.ReminderOn = 1;
        t.ReminderDate = moment;
        t.ReminderTime = moment;
        t.NotOverdue = 1;
        AddTask(*store_, t);
        return store_->Tasks.back();
    }

    // Answers every reminder window once it is open, through the same calls its
    // skinned buttons make; `answer_(n)` decides for the n-th showing.
    bool pending_ = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_.get() && event->type() == QEvent::Show)
            pending_ = true;
        return false;
    }
    void AnswerWindows() {
        form_->installEventFilter(this);
        auto* poll = new QTimer(alarm_.get());
        poll->setInterval(10);
        connect(poll, &QTimer::timeout, this, [this] {
            if (!pending_ || !form_->IsShowingModal() || seen_.size() > 20)
                return;
            pending_ = false;
            seen_.append({form_->windowTitle(), Part<QLineEdit>(form_, "Edit1")->text(),
                          Part<QPlainTextEdit>(form_, "Memo1")->toPlainText()});
            if (answer_)
                answer_(int(seen_.size()) - 1);
        });
        poll->start();
    }

private Q_SLOTS:
    void init() {
        clock_ = std::make_shared<SettableClock>();
        clock_->now = At(2024, 5, 2, 10, 15, 30);
        SetClock(clock_);
        dir_ = std::make_unique<QTemporaryDir>();
        store_ = std::make_unique<TaskStore>();
        form_ = std::make_unique<TReminderForm>();
        tray_ = std::make_unique<FakeTrayIcon>();
        saves_ = repaints_ = shows_ = 0;
        pending_ = false;
        seen_.clear();
        answer_ = nullptr;
        editTask_ = nullptr;
        onSave_ = nullptr;
        ReminderAlarm::Actions actions;
        actions.save = [this] {
            ++saves_;
            if (onSave_)
                onSave_();
        };
        actions.repaint = [this] { ++repaints_; };
        actions.showMainWindow = [this] { ++shows_; };
        actions.editTask = [this](int index) { return editTask_ ? editTask_(index) : mrCancel; };
        made_ = std::make_unique<OnDemand<TReminderForm>>(form_.get());
        alarm_ = std::make_unique<ReminderAlarm>(*store_, *made_, *tray_, dir_->path(),
                                                 std::move(actions));
        AnswerWindows();
    }
    void cleanup() {
        alarm_.reset();
        form_.reset();
        SetClock(nullptr);
    }

    void windowHasItsControlsAndChoices() {
        QCOMPARE(form_->ClientSize(), QSize(290, 295));
        QStringList items;
        for (int i = 0; i < Part<QComboBox>(form_, "ComboBox1")->count(); ++i)
            items << Part<QComboBox>(form_, "ComboBox1")->itemText(i);
        QCOMPARE(items, QStringList({"don't remind", "5 minutes", "10 minutes", "15 minutes",
                                     "30 minutes", "1 hour", "2 hours", "4 hours", "8 hours"}));
        QCOMPARE(Part<QComboBox>(form_, "ComboBox1")->currentText(), QStringLiteral("5 minutes"));
        QVERIFY(!Part<QComboBox>(form_, "ComboBox1")->isEditable());
        QVERIFY(Part<QLineEdit>(form_, "Edit1")->isReadOnly());
        QVERIFY(Part<QPlainTextEdit>(form_, "Memo1")->isReadOnly());
        QCOMPARE(Part<QLineEdit>(form_, "Edit1")->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(Part<QLineEdit>(form_, "Edit1")->font().pointSize(), 9);
        QCOMPARE(Part<QPlainTextEdit>(form_, "Memo1")->font().pointSize(), 8);
        form_->show();
        QCOMPARE(Part<TSkinLabel>(form_, "SkinLabel1")->Caption(), QStringLiteral("Task:"));
        QCOMPARE(Part<TSkinLabel>(form_, "SkinLabel2")->Caption(), QStringLiteral("Remind in:"));
        const QPoint offCentre =
            form_->geometry().center() - QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 1, "centred on the desktop");
        form_->hide();
    }

    void twoDueRemindersAreShownOneAfterTheOther() {
        Add("first", At(2024, 5, 2, 10, 15, 30));
        Add("later", At(2024, 5, 2, 10, 16, 0));
        Add("second", At(2024, 5, 1, 8, 0)); // past at start-up: fires at the first pass
        answer_ = [this](int n) {
            if (n == 0)
                Part<QComboBox>(form_, "ComboBox1")->setCurrentIndex(5); // "1 hour"
            form_->SetModalResult(mrOk);
        };
        alarm_->Timer1Timer();
        QCOMPARE(seen_.size(), 2);
        QCOMPARE(seen_[0].caption, QStringLiteral("0"));
        QCOMPARE(seen_[0].title, QStringLiteral("first"));
        QCOMPARE(seen_[0].description, QStringLiteral("about first"));
        QCOMPARE(seen_[1].caption, QStringLiteral("2"));
        QCOMPARE(seen_[1].title, QStringLiteral("second"));
        // "1 hour" at 10:15:30, and the drop-down kept that choice for the second.
        QCOMPARE(Civil(store_->Tasks[0].ReminderDate), QStringLiteral("2024-05-02 11:15:30"));
        QCOMPARE(Civil(store_->Tasks[2].ReminderDate), QStringLiteral("2024-05-02 11:15:30"));
        QCOMPARE(Civil(store_->Tasks[1].ReminderDate), QStringLiteral("2024-05-02 10:16:00"));
        QCOMPARE(saves_, 2);
        QCOMPARE(shows_, 2);
        QVERIFY(!alarm_->Timer2.isActive());
        QCOMPARE(tray_->Icon().cacheKey(), alarm_->NormalIcon().cacheKey());
        // Nothing is due any more.
        alarm_->Timer1Timer();
        QCOMPARE(seen_.size(), 2);
    }

    // A failed save shows an error box inside the pass; the ticks that come while
    // it is open must not start a second pass over the first.
    void aTickInsideThePassStartsNoSecondPass() {
        Add("first", At(2024, 5, 2, 10, 0));
        Add("second", At(2024, 5, 2, 10, 0));
        bool inBox = false;
        QList<bool> answeredInBox;
        onSave_ = [&] {
            inBox = true;
            alarm_->Timer1Timer();
            inBox = false;
        };
        answer_ = [&](int) {
            answeredInBox << inBox;
            form_->SetModalResult(mrOk);
        };
        alarm_->Timer1Timer();
        QCOMPARE(answeredInBox, QList<bool>({false, false}));
        QVERIFY(!alarm_->PassRunning());
    }

    void dontRemindDisarmsTheReminder() {
        Add("once", At(2024, 5, 2, 10, 0));
        answer_ = [this](int) {
            Part<QComboBox>(form_, "ComboBox1")->setCurrentIndex(0);
            form_->SetModalResult(mrOk);
        };
        alarm_->Timer1Timer();
        QCOMPARE(store_->Tasks[0].ReminderOn, uint8_t(0));
        clock_->now = At(2024, 5, 3);
        alarm_->Timer1Timer();
        QCOMPARE(seen_.size(), 1);
        QCOMPARE(Part<QComboBox>(form_, "ComboBox1")->currentIndex(), 0); // the last choice stays
    }

    void closedWithoutOkTheReminderStaysDueAndTheIconBlinks() {
        Add("ignored", At(2024, 5, 2, 10, 0));
        answer_ = [this](int n) { form_->SetModalResult(n == 0 ? mrCancel : mrOk); };
        alarm_->Timer1Timer();
        QCOMPARE(seen_.size(), 1);
        QVERIFY(alarm_->Timer2.isActive());
        QCOMPARE(store_->Tasks[0].ReminderDate, At(2024, 5, 2, 10, 0));
        QCOMPARE(saves_, 0);
        alarm_->Timer1Timer(); // comes again at the next pass
        QCOMPARE(seen_.size(), 2);
        QVERIFY(!alarm_->Timer2.isActive());
        QCOMPARE(Civil(store_->Tasks[0].ReminderDate), QStringLiteral("2024-05-02 10:20:30"));
    }

    void aPassDoesNothingWhileTheWindowIsOpen() {
        Add("due", At(2024, 5, 2, 10, 0));
        answer_ = [this](int) {
            alarm_->Timer1Timer(); // Timer1 keeps ticking under the modal window
            form_->SetModalResult(mrOk);
        };
        alarm_->Timer1Timer();
        QCOMPARE(seen_.size(), 1);
    }

    // The file is opened on the player's thread, held here until the reminder was
    // answered and another task put in front: the window shows without waiting,
    // and the report finds its task by key and writes the change.
    void soundFileRules_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<bool>("keepsSetting");
        QTest::newRow("not sound") << QByteArray("just some text, not a sound") << false;
        QTest::newRow("damaged MIDI") << QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14) << false;
        QTest::newRow("missing") << QByteArray() << true;
    }
    void soundFileRules() {
        QFETCH(QByteArray, content);
        QFETCH(bool, keepsSetting);
        const QString path = dir_->filePath(QStringLiteral("ring.wav"));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const auto held = std::make_shared<QSemaphore>();
        auto* blocker = new QObject;
        blocker->moveToThread(alarm_->MediaPlayer1().findChild<QThread*>());
        QMetaObject::invokeMethod(blocker, [held, blocker] {
            held->acquire();
            blocker->deleteLater();
        });
        auto release = qScopeGuard([held] { held->release(); });
        QSignalSpy opened(&alarm_->MediaPlayer1(), &TMediaPlayer::Opened);
        TTASK_ITEM& task = Add("noisy", At(2024, 5, 2, 10, 0));
        task.PlaySound = 1;
        task.SoundFile = path.toStdString();
        uint8_t playSoundShown = 0;
        answer_ = [&](int) {
            playSoundShown = store_->Tasks[0].PlaySound;
            form_->SetModalResult(mrCancel);
        };
        alarm_->Timer1Timer();
        QCOMPARE(playSoundShown, uint8_t(1)); // not yet checked
        // A copy with its own key goes in front; only the reminded task may change.
        store_->Tasks.insert(store_->Tasks.begin(), store_->Tasks[0]);
        store_->Tasks[0].Key = NewTaskKey();
        held->release();
        release.dismiss();
        QTRY_COMPARE(held->available(), 0); // the player's thread went on
        QTRY_COMPARE(opened.count(), content.isEmpty() ? 0 : 1);
        QCOMPARE(store_->Tasks[1].PlaySound, uint8_t(keepsSetting ? 1 : 0));
        QCOMPARE(QString::fromStdString(store_->Tasks[1].SoundFile),
                 keepsSetting ? path : QString());
        QCOMPARE(saves_, keepsSetting ? 0 : 1); // the reminder was answered already
        QCOMPARE(store_->Tasks[0].SoundFile, path.toStdString());
    }

    // The default sound is the bare "alarm.wav": found beside the program when the
    // current directory is another one, the stored name unchanged; without a sound
    // device the reminder is silent and the setting stays.
    void relativeSoundNameIsFoundBesideTheProgram() {
        QFile::copy(QFINDTESTDATA("../../assets/sounds/alarm.wav"),
                    dir_->filePath(QStringLiteral("alarm.wav")));
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        TTASK_ITEM& task = Add("wake", At(2024, 5, 2, 10, 0));
        task.PlaySound = 1;
        task.SoundFile = "alarm.wav";
        QSignalSpy opened(&alarm_->MediaPlayer1(), &TMediaPlayer::Opened);
        answer_ = [this](int) { form_->SetModalResult(mrOk); };
        alarm_->Timer1Timer();
        QDir::setCurrent(before);
        QTRY_COMPARE(opened.count(), 1); // the only "alarm.wav" is beside the program
        QCOMPARE(opened.first().at(1).value<TMediaPlayer::OpenError>(),
                 TMediaPlayer::OpenError::None);
        QCOMPARE(store_->Tasks[0].SoundFile, std::string("alarm.wav"));
        QCOMPARE(store_->Tasks[0].PlaySound, uint8_t(1));
    }

    void editButtonFollowsTheTaskWhereverTheEditorPutsIt() {
        Add("a", At(2024, 5, 3));
        Add("due", At(2024, 5, 2, 10, 0));
        Add("c", At(2024, 5, 3));
        int edits = 0;
        editTask_ = [this, &edits](int index) {
            ++edits;
            if (edits == 1)
                return int(mrCancel);                                  // the reminder stays open
            std::swap(store_->Tasks[size_t(index)], store_->Tasks[0]); // sorted elsewhere
            return int(mrOk);
        };
        answer_ = [this](int) {
            Part<QComboBox>(form_, "ComboBox1")->setCurrentIndex(8); // "8 hours"
            alarm_->EditButtonClick();
            QVERIFY(form_->IsShowingModal());
            alarm_->EditButtonClick();
        };
        alarm_->Timer1Timer();
        QCOMPARE(edits, 2);
        QCOMPARE(store_->Tasks[0].Title, std::string("due"));
        QCOMPARE(Civil(store_->Tasks[0].ReminderDate), QStringLiteral("2024-05-02 18:15:30"));
        QCOMPARE(store_->Tasks[1].ReminderDate, At(2024, 5, 3)); // the other one untouched
        QCOMPARE(saves_, 1);
    }

    void aTaskDeletedFromTheEditorGetsNoChoice() {
        Add("due", At(2024, 5, 2, 10, 0));
        Add("other", At(2024, 5, 3));
        editTask_ = [this](int index) {
            RemoveTaskAt(*store_, index);
            return int(mrOk);
        };
        answer_ = [this](int) { alarm_->EditButtonClick(); };
        alarm_->Timer1Timer();
        QCOMPARE(store_->TaskCount(), 1);
        QCOMPARE(store_->Tasks[0].Title, std::string("other"));
        QCOMPARE(store_->Tasks[0].ReminderDate, At(2024, 5, 3));
        QCOMPARE(saves_, 1);
    }

    void overdueMarksRepaintAndSaveOncePerPass() {
        for (int i = 0; i < 3; ++i) {
            TTASK_ITEM t;
            t.HasDueDate = 1;
            t.DueDate = At(2024, 5, 1);
            t.NotOverdue = 1;
            AddTask(*store_, t);
        }
        alarm_->Timer1Timer();
        QCOMPARE(repaints_, 1);
        QCOMPARE(saves_, 1);
        QCOMPARE(store_->Tasks[2].NotOverdue, uint8_t(0));
    }

    void blinkAlternatesTheTwoIconsEvery400ms() {
        QVERIFY(alarm_->NormalIcon().cacheKey() != alarm_->BlinkIcon().cacheKey());
        QCOMPARE(alarm_->Timer2.interval(), 400);
        alarm_->StartTrayBlink();
        QVERIFY(alarm_->Timer2.isActive());
        QVERIFY(alarm_->BlinkPhase);
        QList<qint64> keys;
        for (int i = 0; i < 4; ++i) {
            alarm_->Timer2Timer();
            keys << tray_->Icon().cacheKey();
        }
        const qint64 normal = alarm_->NormalIcon().cacheKey();
        const qint64 blink = alarm_->BlinkIcon().cacheKey();
        QCOMPARE(keys, QList<qint64>({normal, blink, normal, blink}));
        // The timer itself drives it.
        const int before = tray_->setIconCount;
        QTRY_VERIFY_WITH_TIMEOUT(tray_->setIconCount >= before + 2, 2000);
        alarm_->StopTrayBlink();
        QVERIFY(!alarm_->Timer2.isActive());
        QCOMPARE(tray_->Icon().cacheKey(), normal);
    }
};

} // namespace quill

QTEST_MAIN(quill::TestReminderAlarm)
#include "reminder_alarm_test.moc"
