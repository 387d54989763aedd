// Start-up: one instance per data folder (two real processes), a crashed
// instance's lock, the window's place and the column settings.
#include "tst_mainwindow_fixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondInstanceEndsSilently();
    void crashedInstanceDoesNotBlock();
    void otherDataFolderRunsSideBySide();
    void terminationEndsNormally_data();
    void terminationEndsNormally();
    void placeOutsideScreensComesBack_data();
    void placeOutsideScreensComesBack();
    void hiddenColumnCanBeWidened();
    void oversizedSettingsFileIsReported();

private:
    static std::unique_ptr<QProcess> launch(const QString &dataFolder);
    static bool waitForLock(const QString &dataFolder);
};

std::unique_ptr<QProcess> TestStartup::launch(const QString &dataFolder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZARUMI_DATA_DIR"), dataFolder);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(env);
    process->setProgram(QStringLiteral(ZARUMI_BIN_DIR "/zarumi"));
    process->start();
    process->waitForStarted();
    return process;
}

bool TestStartup::waitForLock(const QString &dataFolder)
{
    // The window exists once the lock is held and the settings file is not
    // yet there; a running instance is settled after a short while.
    const QString lock = QDir(dataFolder).filePath(QStringLiteral("zarumi.lock"));
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(lock) && timer.elapsed() < 10000)
        QTest::qWait(20);
    QTest::qWait(300);
    return QFileInfo::exists(lock);
}

void TestStartup::secondInstanceEndsSilently()
{
    QTemporaryDir dir;
    auto first = launch(dir.path());
    QVERIFY(waitForLock(dir.path()));
    auto second = launch(dir.path());
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput(), QByteArray());
    QCOMPARE(first->state(), QProcess::Running);
    // The second wrote nothing: no settings file until the first exits.
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("test.ini"))));
    first->kill();
    first->waitForFinished();
}

void TestStartup::crashedInstanceDoesNotBlock()
{
    QTemporaryDir dir;
    auto first = launch(dir.path());
    QVERIFY(waitForLock(dir.path()));
    first->kill(); // SIGKILL: the lock file stays behind
    QVERIFY(first->waitForFinished());
    QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("zarumi.lock"))));
    auto again = launch(dir.path());
    QVERIFY(!again->waitForFinished(1500));
    QCOMPARE(again->state(), QProcess::Running);
    again->kill();
    again->waitForFinished();
}

void TestStartup::otherDataFolderRunsSideBySide()
{
    QTemporaryDir one;
    QTemporaryDir two;
    auto first = launch(one.path());
    QVERIFY(waitForLock(one.path()));
    auto second = launch(two.path());
    QVERIFY(!second->waitForFinished(1500));
    QCOMPARE(second->state(), QProcess::Running);
    QCOMPARE(first->state(), QProcess::Running);
    for (QProcess *p : { first.get(), second.get() }) {
        p->kill();
        p->waitForFinished();
    }
}

void TestStartup::terminationEndsNormally_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM, the session ends") << int(SIGTERM);
    QTest::newRow("SIGINT, Ctrl+C") << int(SIGINT);
    QTest::newRow("SIGHUP, the terminal closes") << int(SIGHUP);
}

// Each of them runs the exit sequence, which writes the files.
void TestStartup::terminationEndsNormally()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    auto process = launch(dir.path());
    QVERIFY(waitForLock(dir.path()));
    QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("test.ini"))));
    QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("List05.txt"))));
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("zarumi.lock"))));
}

void TestStartup::placeOutsideScreensComesBack_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("moved");
    QTest::newRow("far right") << 1000000 << 0 << true;
    QTest::newRow("far above") << 0 << -900000 << true;
    QTest::newRow("on screen") << 1500 << 1500 << false;
}

void TestStartup::placeOutsideScreensComesBack()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(bool, moved);
    WindowFixture f;
    f.write(QStringLiteral("test.ini"),
        QStringLiteral("[Options]\r\nX_WindowPosition=%1\r\nY_WindowPosition=%2\r\n").arg(left).arg(top).toLatin1());
    Form1 *w = f.start();
    const QPoint expected
        = moved ? QGuiApplication::primaryScreen()->availableGeometry().topLeft() : QPoint(left / 15, top / 15);
    QCOMPARE(w->frameGeometry().topLeft(), expected);
}

void TestStartup::hiddenColumnCanBeWidened()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi") });
    f.start();
    QHeaderView *header = f.listView()->horizontalHeader();
    QCOMPARE(header->sectionSize(15), 0);
    header->resizeSection(15, 40); // as a drag of its edge does
    QCOMPARE(header->sectionSize(15), 40);
    QVERIFY(!header->isSectionHidden(15));
    QCOMPARE(f.cell(0, 15), QStringLiteral("0"));
}

void TestStartup::oversizedSettingsFileIsReported()
{
    // A sparse test.ini of 100 GB: the defaults, a message, and the file is
    // not replaced at exit.
    WindowFixture f;
    const qint64 size = qint64(100) << 30;
    QFile ini(f.path(QStringLiteral("test.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.resize(size));
    ini.close();
    f.start();
    QVERIFY2(f.status().contains(QStringLiteral("test.ini を読み込めませんでした")), qPrintable(f.status()));
    f.window->close();
    QCOMPARE(QFileInfo(ini.fileName()).size(), size);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
