#include "exit_notice.h"

#include "core/data_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace quill {

QString UserStateDir() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Tolvane/Quillnote");
}

QString ExitNotice::NoticePath() const {
    return QDir(folder_).filePath(QStringLiteral("exit-notice.txt"));
}

void ExitNotice::Record(const QString& message) const {
    std::fprintf(stderr, "quillnote: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return;
    QFile file(NoticePath());
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(message.toUtf8() + "\n\n");
}

QString ExitNotice::Take() const {
    if (folder_.isEmpty())
        return {};
    QFile file(NoticePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll()).trimmed();
    file.close();
    file.remove();
    return text;
}

QString ExitNotice::KeepTasks(const TaskStore& store) const {
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString path =
        QDir(folder_).filePath(QStringLiteral("quillnote-unsaved-%1.dat").arg(stamp));
    return SaveTasks(store, QFile::encodeName(path).toStdString()).ok ? path : QString();
}

} // namespace quill
