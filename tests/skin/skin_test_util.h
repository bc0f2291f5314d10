#pragma once
// Helpers for the skin tests: the packed shipped skins, and skins made up on
// the spot from their parts.

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QVector>
#include <functional>

namespace quill::test {

// The ".skn" files the build packed.
QString ShippedSkin(const QString& name);

using SkinEntries = QVector<QPair<QString, QByteArray>>;

// The files of a skin archive, in no particular order; empty when unreadable.
SkinEntries UnpackSkin(const QString& path);

// Writes a ZIP archive with exactly these entries (names taken as given).
bool WriteZip(const QString& path, const SkinEntries& entries);

// The entries with the manifest changed by `edit`.
SkinEntries WithManifest(SkinEntries entries, const std::function<void(QJsonObject&)>& edit);
// The entries with one entry's bytes replaced (added when missing).
SkinEntries WithEntry(SkinEntries entries, const QString& name, const QByteArray& bytes);

} // namespace quill::test
