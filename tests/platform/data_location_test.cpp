// Where a copy keeps its data: real folders and permissions. Run as a normal user
// (the test command drops root), since root may write any folder.

#include "platform/data_location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quill;

class DataLocationTest : public QObject {
    Q_OBJECT

    // A copy's folders: <root>/bin holds the executable, <root>/home the user's
    // data home; <root>/share/quillnote/Skins is made when the copy is installed.
    struct Copy {
        QTemporaryDir root;
        QString bin() const { return root.filePath("bin"); }
        QString home() const { return root.filePath("home"); }
        QString userDir() const { return root.filePath("home/Tolvane/Quillnote"); }
        QString share() const { return root.filePath("share/quillnote"); }
    };

    static void Touch(const QString& path) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(::geteuid() != 0, "run as a normal user: root may write any folder");
    }

    void shouldKeepDataWhereTheRuleSays_data() {
        QTest::addColumn<bool>("binWritable");
        QTest::addColumn<bool>("portableFile");
        QTest::addColumn<bool>("userFile");
        QTest::addColumn<bool>("installedShare");
        QTest::addColumn<bool>("expectPortable");
        QTest::newRow("writable folder") << true << false << false << false << true;
        QTest::newRow("folder not writable") << false << false << false << false << false;
        QTest::newRow("not writable, portable file there")
            << false << true << false << false << true;
        QTest::newRow("both files present") << false << true << true << true << true;
        QTest::newRow("installed, folder writable") << true << false << false << true << false;
        QTest::newRow("installed, user file only") << false << false << true << true << false;
    }
    void shouldKeepDataWhereTheRuleSays() {
        QFETCH(bool, binWritable);
        QFETCH(bool, portableFile);
        QFETCH(bool, userFile);
        QFETCH(bool, installedShare);
        QFETCH(bool, expectPortable);
        Copy copy;
        QVERIFY(QDir().mkpath(copy.bin()));
        QVERIFY(QDir().mkpath(copy.userDir()));
        if (portableFile)
            Touch(copy.bin() + "/quillnote.dat");
        if (userFile)
            Touch(copy.userDir() + "/quillnote.dat");
        if (installedShare)
            QVERIFY(QDir().mkpath(copy.share() + "/Skins"));
        if (!binWritable)
            QVERIFY(QFile::setPermissions(copy.bin(), QFile::ReadOwner | QFile::ExeOwner));

        const DataLocation location = ChooseDataLocation(copy.bin(), copy.home());
        QFile::setPermissions(copy.bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(location.portable, expectPortable);
        QCOMPARE(location.dataDir, expectPortable ? copy.bin() : copy.userDir());
        QCOMPARE(location.DataFilePath(), location.dataDir + "/quillnote.dat");
        QStringList skins{location.dataDir + "/Skins"};
        if (!expectPortable && installedShare)
            skins << copy.share() + "/Skins";
        QCOMPARE(location.SkinFolders(), skins);
    }
};

QTEST_GUILESS_MAIN(DataLocationTest)
#include "data_location_test.moc"
