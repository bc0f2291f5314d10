// The main window's life cycle: creation, first showing, first activation,
// the close sequence and destruction.
#include "main_form.h"

#include "app_error_handler.h"
#include "app_services.h"
#include "category_commands.h"
#include "category_lists.h"
#include "core/app_error.h"
#include "core/list_ordering.h"
#include "core/live_options.h"
#include "default_files.h"
#include "exchange_commands.h"
#include "exit_notice.h"
#include "main_settings.h"
#include "options_settings.h"
#include "platform/autostart.h"
#include "platform/settings_store.h"
#include "platform/tray_icon.h"
#include "platform/window_ops.h"
#include "print/print_form.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_label.h"
#include "skin/skin_list.h"
#include "sync_commands.h"
#include "task_commands.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/find_bar.h"
#include "ui/main_layout.h"
#include "ui/mark_grid.h"
#include "ui/message_form.h"
#include "ui/options_form.h"
#include "ui/reminder_form.h"
#include "ui/task_list.h"
#include "ui/window_effects.h"
#include "undo_commands.h"
#include "widgets/string_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>

namespace quill {

TMainForm::TMainForm(AppServices& services, QWidget* parent)
    : TForm(parent), services_(services), options_(std::make_unique<FixedOptions>()),
      taskFile_(services.DataFilePath()) {
    setObjectName(QStringLiteral("MainForm"));
    SetKeyPreview(true);
    // A save that fails after its command has returned is shown when the news comes.
    taskFile_.SetFailureHandler([](const QString& message) { ShowAppError(message); });
    // The stored skin is read on another thread while the window's parts are made
    // (the default files first: the default skin may be the one to read).
    ExtractDefaultFiles(services_.location);
    const MainWindowSettings stored = ReadMainWindowSettings(*services_.settings);
    skinName_ = stored.skin;
    SkinFileReading skinReading(FindSkinFileIn(services_.SkinFolders(), skinName_));
    // The settings store is the services' (made before this window). Qt paints every
    // widget double-buffered already.
    CreateComponents();
    // The window text a second start looks for; the skin draws the caption.
    SkinLabel1->SetCaption(QStringLiteral("Category:"));
    SkinLabel1->adjustSize();
    setWindowTitle(QStringLiteral("main_form_quillnote"));
    // The caption is the window's internal name; a screen reader says the program's.
    setAccessibleName(QStringLiteral("Quillnote"));
    // The window lives in the tray: no taskbar button.
    WindowOps::SetSkipTaskbar(this);
    // The tray icon goes to the tray right after the window's first paint: creating
    // its tray window costs the start-up time.
    PrepareTrayIcon();
    // Captions and the drop-down's first items.
    CreatePopupMenu1();
    // Calendar files come after the menus' own items, which the skin's events
    // name by position.
    auto* exchange = new ExchangeCommands(this, *this, *this, services_.store);
    exchange->setObjectName(QStringLiteral("ExchangeCommands"));
    exchange->AddMenuItems({PopupMenu1, List->PopupMenu2});
    exchange->SetCategoriesAddedHandler([this] { FillCategoryLists(); });
    undo_ = new UndoCommands(this, *this, services_.store);
    undo_->setObjectName(QStringLiteral("UndoCommands"));
    undo_->AddMenuItems({PopupMenu1, List->PopupMenu2});
    ComboBox1->addItems(InitialCategoryItems());
    trayPopupPending_ = false;
    // The stored category position; one that names no category shows "All".
    ComboBox1->setCurrentIndex(CategoryPositionToShow(stored.group, AllRow()));
    // The skin and its pictures.
    LoadStartupSkin(skinReading);
    LoadSkinPictures(*Skin1, pictures_);
    // Where the window was, kept where the user can reach it (pos() and move()
    // include the frame a window manager may add).
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QRect placed = FitWindowToScreens(stored.geometry, areas,
                                            QSize(settings::kWidth.def, settings::kHeight.def));
    move(placed.topLeft());
    resize(placed.size());

    // A window that is never painted nor activated (kept hidden or minimised by
    // the desktop) still gets its tasks and reminders.
    startUpFallback_.setSingleShot(true);
    startUpFallback_.setInterval(1500);
    connect(&startUpFallback_, &QTimer::timeout, this, [this] { RunFirstActivation(); });
    startUpFallback_.start();

    Effects = new WindowEffects(
        this, [this] { return options_->Transparency(); }, alphaBlend_, alphaBlendValue_);
    connect(this, &TForm::ClientResized, this, [this] { FormResize(); });
    connect(Skin1, &TSkin::OnSkinEvent, this,
            [this](ISkinObject* source, const QString& name) { Skin1SkinEvent(source, name); });
    RegisterSkinEventTable();
    // "Find..." follows the list menu's other items, which the skin's events
    // name by position.
    Find->AddMenuItem(List->PopupMenu2);
    connect(Find, &FindBar::LayoutChanged, this, [this] { FormResize(); });
    connect(Find, &FindBar::Closed, this, [this](bool changed) {
        if (changed)
            ReportErrors([this] { SaveTasks(); });
    });
    AttachSync();
}

void TMainForm::AttachSync() {
    // "Sync..." follows every other item of both menus.
    SyncHooks hooks;
    hooks.saveTasksAndWait = [this] { SaveTasksAndWait(); };
    hooks.savingAllowed = [this] { return dataLoaded_ && !closed_ && taskFile_.SavingAllowed(); };
    hooks.currentKey = [this] {
        const int at = List->CurrentTaskIndex;
        return at >= 0 && at < services_.store.TaskCount() ? services_.store.Tasks[at].Key : 0;
    };
    hooks.categoriesChanged = [this] { FillCategoryLists(); };
    hooks.forgetUndo = [this] { undo_->Forget(); };
    hooks.attachWindow = [this](TForm* window) {
        Skin1->Attach(window);
        connect(window, &TForm::Showing, this, [this, window] { ApplyStayOnTop(window); });
    };
    sync_ = new SyncCommands(this, *this, services_.store, *services_.settings, *services_.tray,
                             taskFile_.Path(), std::move(hooks));
    sync_->AddMenuItems({PopupMenu1, List->PopupMenu2});
}

TMainForm::~TMainForm() {
    // FormDestroy: the icon goes with the program even when the close was skipped.
    if (services_.tray && services_.tray->IsAdded())
        services_.tray->Remove();
}

void TMainForm::CreateComponents() {
    Skin1 = new TSkin(this);
    Skin1->setObjectName(QStringLiteral("Skin1"));
    QWidget* client = Client();
    List = new TTaskList(client, services_.store, params_, pictures_, *options_, *this);
    Find = new FindBar(client, services_.store, *List, params_);
    ComboBox1 = new QComboBox(client);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    // The value stays the drop-down's name, so a screen reader says both.
    ComboBox1->setAccessibleDescription(QStringLiteral("Category"));
    ComboBox1->resize(145, 21);
    SkinLabel1 = new TSkinLabel(client);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    // Only a choice the user makes is a change; filling from code is not.
    connect(ComboBox1, &QComboBox::activated, this, [this](int index) { ComboBox1Change(index); });
    ComboBox1->installEventFilter(this);
    List->ScrollBar1->installEventFilter(this);
    SetSkinTemplate(QStringLiteral("MainForm"), {{List->ScrollBar1, QStringLiteral("VScrollBar")}});
    Timer1.setInterval(1000);
}

void TMainForm::PrepareTrayIcon() {
    TrayIcon& tray = *services_.tray;
    tray.SetIcon(NormalTrayIcon());
    tray.SetToolTip(QStringLiteral("Tolva Quillnote"));
    connect(&tray, &TrayIcon::LeftButtonDown, this, [this] { TrayLeftButtonDown(); });
    connect(&tray, &TrayIcon::RightButtonDown, this,
            [this](QPoint pos) { TrayRightButtonDown(pos); });
}

void TMainForm::ShowTrayIconOnce() {
    // Once only: later the close sequence and its failure decide whether it is there.
    if (trayShown_ || closed_)
        return;
    trayShown_ = true;
    services_.tray->Add();
}

bool TMainForm::event(QEvent* event) {
    // Queued, so the icon is added and the tasks are loaded once the first paint
    // has reached the screen. Without a window manager, or on a desktop that
    // refuses focus to a program started with the session, the window is never
    // activated: the first paint is then what starts the program's work.
    const bool firstPaint = event->type() == QEvent::Paint && !activated_;
    // A window shown minimised is not painted until it is restored.
    const bool shownMinimised =
        event->type() == QEvent::Show && (windowState() & Qt::WindowMinimized) && !activated_;
    if (firstPaint || shownMinimised) {
        QTimer::singleShot(0, this, [this] {
            ShowTrayIconOnce();
            RunFirstActivation();
        });
    }
    return TForm::event(event);
}

void TMainForm::LoadStartupSkin(SkinFileReading& reading) {
    QString error;
    if (Skin1->LoadSkin(reading, &error)) {
        loadedSkinName_ = skinName_;
        return;
    }
    // A stored skin that is gone falls back to the default one rather than leaving
    // the window without a frame; only a failing default is worth a message.
    if (skinName_ != QLatin1String("Default")) {
        QString defaultError;
        if (Skin1->LoadSkin(FindSkinFileIn(services_.SkinFolders(), QStringLiteral("Default")),
                            &defaultError)) {
            skinName_ = QStringLiteral("Default");
            loadedSkinName_ = skinName_;
            return;
        }
        error = defaultError;
    }
    ShowAppError(error);
}

void TMainForm::AttachWindows() {
    // The options as stored, from the time the settings dialog exists.
    options_->Assign(ReadProgramOptions(*services_.settings));
    AttachSkinAndTopBand();
    AttachReminders();
    AttachEditor();
    AttachCategoryWindows();
    AttachDialogs();
}

void TMainForm::AttachSkinAndTopBand() {
    // Every window wears the skin as it shows, and takes its place in the
    // stay-on-top band as it shows and each time it is activated. The message
    // dialog keeps its own look (its layout is measured in its design font) and
    // its own stay-on-top rule (AppWindows); the reminder window comes on top and
    // takes the setting when activated (ReminderAlarm).
    const auto band = [this](TForm* window) {
        Skin1->Attach(window);
        connect(window, &TForm::Showing, this, [this, window] { ApplyStayOnTop(window); });
        connect(window, &TForm::Activated, this, [this, window] { ApplyStayOnTop(window); });
    };
    windows_.EditTaskForm.WhenMade(band);
    windows_.OptionsForm.WhenMade(band);
    windows_.PrintForm.WhenMade(band);
    windows_.CategoriesForm.WhenMade(band);
    windows_.AddCategoryForm.WhenMade(band);
    windows_.ReminderForm.WhenMade([this](TForm* window) { Skin1->Attach(window); });
}

void TMainForm::AttachDialogs() {
    windows_.OptionsForm.WhenMade([this](TOptionsForm* options) {
        options->SetSkinSource(
            [folders = services_.SkinFolders()] { return GetSkinListIn(folders); },
            [this] { return skinName_; });
    });
    windows_.PrintForm.WhenMade([this](TPrintForm* print) {
        print->SetErrorReporter([](const QString& error) {
            ShowMessageDialog(error, QStringLiteral("Attention"), kNoticeMessage);
        });
        print->SetJobSource([this] {
            return PrintJobInput{&services_.store, options_->DoneTaskPutInBottom(), &pictures_, {}};
        });
    });
}

void TMainForm::AttachEditor() {
    windows_.EditTaskForm.WhenMade([this](TEditTaskForm* editor) {
        // Out of the stay-on-top band while the sound-file chooser is up, so it
        // cannot open behind the editor.
        connect(editor, &TEditTaskForm::SoundChooserOpening, this, [this, editor] {
            WindowOps::SetStayOnTop(this, false);
            WindowOps::SetStayOnTop(editor, false);
        });
        connect(editor, &TEditTaskForm::SoundChooserClosed, this,
                [this, editor] { ApplyStayOnTop(editor); });
        editor->SetEditCategoriesHandler([this] {
            if (TCategoriesForm* categories = windows_.CategoriesForm())
                categories->ShowModal();
            FillCategoryLists();
        });
        editor->SetCategoryNames(CategoryNames(services_.store));
    });
    taskCommands_ = std::make_unique<TaskCommands>(*this, services_.store, windows_.EditTaskForm);
}

void TMainForm::AttachCategoryWindows() {
    // The category grids take the skin's window colour before every showing.
    const auto applyGridColors = [this] {
        const QColor background = SkinColorToQColor(Skin1->WindowColor(), Qt::white);
        if (TCategoriesForm* categories = windows_.CategoriesForm.IfMade())
            categories->SetGridColor(background);
        if (TAddCategoryForm* dialog = windows_.AddCategoryForm.IfMade())
            dialog->SetGridColor(background);
    };
    windows_.CategoriesForm.WhenMade([this, applyGridColors](TCategoriesForm* categories) {
        categories->SetSources(&services_.store, &params_, &pictures_, options_.get());
        categories->SetupGridColumns();
        connect(categories, &TForm::Showing, this, applyGridColors);
    });
    windows_.AddCategoryForm.WhenMade([this, applyGridColors](TAddCategoryForm* dialog) {
        dialog->SetPictures(&pictures_);
        connect(dialog, &TForm::Showing, this, applyGridColors);
    });
    connect(Skin1, &TSkin::SkinLoaded, this, applyGridColors);
    categoryCommands_ = std::make_unique<CategoryCommands>(*this, services_.store, windows_);
}

void TMainForm::FormShow() {
    if (skinnedOnce_)
        return;
    // The stored size is the whole window's: the skin's frame comes out of it.
    const QRect outer(pos(), size());
    Skin1->ApplyWindow(this);
    move(outer.topLeft());
    resize(outer.size());
    skinnedOnce_ = true;
}

void TMainForm::FormActivate() {
    RunFirstActivation();
}

void TMainForm::RunFirstActivation() {
    // The main window is activated many times (every modal dialog returns to it);
    // its start-up work runs once, on the first activation or right after the
    // first paint, whichever comes first.
    if (activated_ || closed_)
        return;
    activated_ = true;
    startUpFallback_.stop();
    SettingsStore& settings = *services_.settings;
    // The tray icon is there before the window may go to it (an activation can come
    // before the first paint).
    ShowTrayIconOnce();

    // The stay-on-top setting as stored, applied before the window shows.
    options_->alwaysOnTop = settings.Read(settings::kAlwaysOnTop);
    ApplyStayOnTop(this);
    // A skin that has gone from disk falls back to the one the program ships.
    if (!QFileInfo::exists(FindSkinFileIn(services_.SkinFolders(), skinName_)))
        skinName_ = QStringLiteral("Default");
    // The loaded skin's column settings and list background.
    LoadInforInDescription(params_, Skin1->GetDescription().toStdString());
    List->SetBackgroundColor(SkinColorToQColor(Skin1->WindowColor(), Qt::white));
    // A failing autostart entry is shown, and start-up goes on: the tasks must
    // still be loaded before anything can save them.
    ReportErrors(
        [&] { services_.autostart->SetAutoStart(settings.Read(settings::kStartWithWindows)); });
    SetupGridColumns();
    // The tasks, completed with the default categories and made consistent.
    const QString notice = taskFile_.Load(services_.store);
    dataLoaded_ = true;
    AddDefaultCategories(services_.store);
    RepairInvariants(services_.store);
    FillCategoryLists();
    // The stored position, unfiltered by sorting: the file's order shows.
    // A stored position that no longer names a category shows "All"; the stored
    // value changes only when the user picks an entry.
    const int group = CategoryPositionToShow(settings.Read(settings::kMainFormGroup), AllRow());
    ComboBox1->setCurrentIndex(group);
    quill::FilterTaskList(services_.store, FilterForRow(group, categoryRows_));
    FormResize();
    if (options_->MinimizeOnStart())
        HideMainWindow();
    // The once-a-second timer starts only once the tasks are loaded.
    Timer1.start();
    sync_->Start();

    // Told after start-up has finished, so the window is complete behind it; and
    // once, what the last close could not do while nobody watched.
    QStringList notices{notice, ExitNotice(services_.stateDir).Take()};
    notices.removeAll(QString());
    if (!notices.isEmpty())
        QTimer::singleShot(0, this, [notices] {
            for (const QString& text : notices)
                ShowAppError(text);
        });
}

bool TMainForm::FormCloseQuery() {
    if (closed_)
        return true;
    TrayIcon& tray = *services_.tray;
    // The tray icon goes first, so a closing program offers no menu.
    tray.Remove();
    // The tasks first: only a failed save of the tasks keeps the window open.
    // Nothing is saved before the file was read, and a file that must be kept is
    // not written (the user was told at start-up).
    const QString unsaved = CaptureAppError([this] {
        if (dataLoaded_ && taskFile_.SavingAllowed())
            SaveTasksAndWait();
    });
    if (!unsaved.isEmpty()) {
        // The window stays, and stays reachable; the next close tries again.
        tray.Add();
        ShowAppError(unsaved);
        return false;
    }
    StopRunning();
    // The settings never hold the program: a failure is told once, and it ends.
    ReportErrors(
        [this] { WriteMainWindowSettings(*services_.settings, QRect(pos(), size()), skinName_); });
    Q_EMIT CloseAccepted();
    return true;
}

void TMainForm::CloseUnattended() {
    if (closed_)
        return;
    // From here on an error may not wait for an answer either.
    SetErrorPresenter([](const QString& message) { ExitNotice({}).Record(message); });
    services_.tray->Remove();
    SaveUnattended();
    Q_EMIT CloseAccepted();
}

void TMainForm::SaveOnAbruptEnd() noexcept {
    try {
        SaveUnattended();
    } catch (...) {
    }
}

void TMainForm::SaveUnattended() {
    if (closed_)
        return;
    StopRunning();
    const ExitNotice notice(services_.stateDir);
    const QString unsaved = CaptureAppError([this] {
        if (dataLoaded_ && taskFile_.SavingAllowed())
            SaveTasksAndWait();
    });
    if (!unsaved.isEmpty()) {
        const QString kept = notice.KeepTasks(services_.store);
        QString message =
            QStringLiteral("Your tasks could not be saved when Quillnote was closed by the "
                           "system: %1\n\"%2\" holds them as they were last saved.")
                .arg(unsaved, taskFile_.Path());
        message += kept.isEmpty()
                       ? QStringLiteral(" The changes made since then are lost.")
                       : QStringLiteral(" The tasks as they were at closing are kept in \"%1\".")
                             .arg(kept);
        notice.Record(message);
    }
    const QString unstored = CaptureAppError(
        [this] { WriteMainWindowSettings(*services_.settings, QRect(pos(), size()), skinName_); });
    if (!unstored.isEmpty())
        notice.Record(QStringLiteral("Your settings could not be stored when Quillnote was "
                                     "closed by the system: %1")
                          .arg(unstored));
}

void TMainForm::StopRunning() {
    closed_ = true;
    Timer1.stop();
    startUpFallback_.stop();
}

void TMainForm::SaveTasks() {
    if (!dataLoaded_)
        throw AppError("The tasks were not saved: the data file has not been read yet.");
    taskFile_.SaveInBackground(services_.store);
    sync_->TasksSaved();
}

void TMainForm::SaveTasksAndWait() {
    if (!dataLoaded_)
        throw AppError("The tasks were not saved: the data file has not been read yet.");
    taskFile_.Save(services_.store);
}

void TMainForm::FormResize() {
    // The fade leaves blending on at full opacity; resizing switches it off.
    if (alphaBlend_ && alphaBlendValue_ == 255) {
        alphaBlend_ = false;
        ApplyAlphaBlend();
    }
    const QSize client = ClientSize();
    MainLayout layout = ComputeMainLayout(client.width(), client.height(), params_,
                                          ComboBox1->size(), SkinLabel1->size());
    Find->Place(layout);
    List->ApplyLayout(layout);
    if (categoryCommands_) // the other windows are wired
        SetupGridColumns();
    ComboBox1->setGeometry(layout.comboBox);
    SkinLabel1->setGeometry(layout.label);
    SkinLabel1->update();
}

void TMainForm::SetupGridColumns() {
    List->SetupGridColumns();
    if (TCategoriesForm* categories = windows_.CategoriesForm.IfMade())
        categories->SetupGridColumns();
}

void TMainForm::RefreshTaskList(bool repaint) {
    FilterTaskList();
    SortTaskList();
    if (repaint)
        update();
    SetupGridColumns();
}

void TMainForm::RecordChange(UndoStep step) {
    undo_->Record(std::move(step));
}

void TMainForm::RefillCategoryLists() {
    // The shown category may be one the step took away: the filter shows "All".
    FillCategoryLists();
    ShowAllCategories();
}

void TMainForm::MakeTaskCurrent(uint64_t key) {
    List->MakeTaskCurrent(key);
}

void TMainForm::ShowAllCategories() {
    // "All" of the drop-down as it still stands; it is refilled when the
    // categories window closes.
    ComboBox1->setCurrentIndex(AllRow());
}

void TMainForm::FillCategoryLists() {
    FillMainCategoryList(ComboBox1, services_.store);
    categoryRows_ = static_cast<int>(services_.store.Categories.size());
    if (TEditTaskForm* editor = windows_.EditTaskForm.IfMade())
        editor->SetCategoryNames(CategoryNames(services_.store));
    if (TCategoriesForm* categories = windows_.CategoriesForm.IfMade())
        categories->SetupGridColumns();
}

void TMainForm::ComboBox1Change(int index) {
    if (IsEditCategoriesRow(index, categoryRows_)) {
        if (TCategoriesForm* categories = windows_.CategoriesForm())
            categories->ShowModal();
        FillCategoryLists();
        return;
    }
    // The choice takes effect whether or not it can be stored.
    quill::FilterTaskList(services_.store, FilterForRow(index, categoryRows_),
                          Find->ActiveFinder());
    SortTaskList();
    SetupGridColumns();
    ReportErrors([this, index] { services_.settings->Write(settings::kMainFormGroup, index); });
}

void TMainForm::FilterTaskList() {
    quill::FilterTaskList(services_.store, FilterForRow(ComboBox1->currentIndex(), categoryRows_),
                          Find->ActiveFinder());
}

// The filter lists the categories, then "All", then "Edit Categories...".
QString TMainForm::ShownCategoryName() const {
    const CategoryFilter shown = FilterForRow(ComboBox1->currentIndex(), categoryRows_);
    const bool category = !shown.all && shown.category >= 0 &&
                          shown.category < static_cast<int>(services_.store.Categories.size());
    return category ? ComboBox1->itemText(shown.category) : QString();
}

void TMainForm::SortTaskList() {
    Find->Sort([this] {
        quill::SortTaskList(services_.store, options_->SortBy(), options_->DoneTaskPutInBottom());
    });
    // A failed save is shown here; the command that sorted goes on to redraw.
    ReportErrors([this] { SaveTasks(); });
}

void TMainForm::ApplyStayOnTop(QWidget* window) {
    const bool onTop = options_->AlwaysOnTop();
    WindowOps::SetStayOnTop(this, onTop);
    if (window && window != this)
        WindowOps::SetStayOnTop(window, onTop);
}

void TMainForm::ApplyAlphaBlend() {
    WindowOps::SetOpacity(this, alphaBlend_ ? alphaBlendValue_ / 255.0 : 1.0);
}

} // namespace quill
