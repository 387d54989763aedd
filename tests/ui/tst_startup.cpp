// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Start-up: one instance per data folder (two real processes), a crashed
// instance's lock, the window's place and the column settings.
#include "tst_mainwindow_fixture.h"

#include "ForeignLockBox.h"
#include "SingleInstance.h"

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>

#include <functional>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

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
    void savedPlaceComesWithinScreen_data();
    void savedPlaceComesWithinScreen();
    void refusedStartIsReported_data();
    void refusedStartIsReported();
    void otherMachinesLockWithoutDisplay();
    void otherMachinesLockBox_data();
    void otherMachinesLockBox();

private:
    static std::unique_ptr<QProcess> launch(const QString &dataFolder, const std::function<void()> &inChild = nullptr);
    static void writeOtherMachinesLock(const QString &dataFolder);
    static bool waitForLock(const QString &dataFolder);
};

std::unique_ptr<QProcess> TestStartup::launch(const QString &dataFolder, const std::function<void()> &inChild)
{
    auto process = std::make_unique<QProcess>();
#ifdef Q_OS_UNIX
    if (inChild)
        process->setChildProcessModifier(inChild);
#endif
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

void TestStartup::savedPlaceComesWithinScreen_data()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QString>("ini"); // the test.ini lines after [Options]
    QTest::addColumn<QSize>("size"); // expected outer size, pixels; empty: any
    QTest::newRow("width of a billion twips") << "Width=1215752191\r\nHeight=6000\r\n" << QSize(area.width(), 400);
    QTest::newRow("height of a billion twips") << "Width=9600\r\nHeight=1215752191\r\n" << QSize(640, area.height());
    QTest::newRow("beyond 32 bits") << "Width=99999999999\r\nHeight=99999999999\r\n" << area.size();
    QTest::newRow("reaching past the right and bottom edges")
        << QStringLiteral("Width=9600\r\nHeight=6000\r\nX_WindowPosition=%1\r\nY_WindowPosition=%2\r\n")
               .arg((area.right() - 100) * 15)
               .arg((area.bottom() - 100) * 15)
        << QSize(640, 400);
}

// Whatever test.ini says, the window opens within the screen's available
// area, at no larger than that area.
void TestStartup::savedPlaceComesWithinScreen()
{
    QFETCH(QString, ini);
    QFETCH(QSize, size);
    WindowFixture f;
    f.write(QStringLiteral("test.ini"), "[Options]\r\n" + ini.toLatin1());
    Form1 *w = f.start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(w->frameGeometry().size(), size);
    QVERIFY2(area.contains(w->frameGeometry()),
        qPrintable(QStringLiteral("%1,%2 %3x%4")
                       .arg(w->frameGeometry().x())
                       .arg(w->frameGeometry().y())
                       .arg(w->frameGeometry().width())
                       .arg(w->frameGeometry().height())));
}

void TestStartup::refusedStartIsReported_data()
{
    QTest::addColumn<QString>("folder"); // below a fresh temporary folder
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing" << false << "がありません";
    QTest::newRow("a file, not a folder") << "file" << false << "はフォルダではありません";
    QTest::newRow("lock can't be written") << "" << true << "ロックファイル zarumi.lock を作れません";
}

// A start that can't use its data folder says so and fails; only a running
// copy on this machine ends a start silently.
void TestStartup::refusedStartIsReported()
{
    QFETCH(QString, folder);
    QFETCH(bool, diskFull);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = folder.isEmpty() ? dir.path() : QDir(dir.path()).filePath(folder);
    if (folder == QLatin1String("file"))
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    std::function<void()> fullDisk;
#ifdef Q_OS_UNIX
    // Every write fails as on a full disk (EFBIG instead of ENOSPC).
    fullDisk = [] {
        const rlimit none { 0, 0 };
        setrlimit(RLIMIT_FSIZE, &none);
        signal(SIGXFSZ, SIG_IGN);
    };
#endif
    if (diskFull && !fullDisk)
        QSKIP("no way to fill the disk for one process here");
    auto process = launch(path, diskFull ? fullDisk : nullptr);
    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QVERIFY(process->exitCode() != 0);
    const QString error = QString::fromLocal8Bit(process->readAllStandardError());
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        folder == QLatin1String("file") ? QStringList({ "file" }) : QStringList());
}

void TestStartup::writeOtherMachinesLock(const QString &dataFolder)
{
    QFile lock(QDir(dataFolder).filePath(QStringLiteral("zarumi.lock")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("4242\nzarumi\nother-machine.example\n");
}

// A lock copied along with the folder is never stale here: without a
// display the start is refused with the holder named, for good.
void TestStartup::otherMachinesLockWithoutDisplay()
{
    QTemporaryDir dir;
    writeOtherMachinesLock(dir.path());
    const QByteArray before = QFile(QDir(dir.path()).filePath(QStringLiteral("zarumi.lock"))).readAll();
    auto process = launch(dir.path());
    QVERIFY(process->waitForFinished(10000));
    QVERIFY(process->exitCode() != 0);
    const QString error = QString::fromLocal8Bit(process->readAllStandardError());
    QVERIFY2(error.contains(QStringLiteral("other-machine.example")) && error.contains(QStringLiteral("4242")),
        qPrintable(error));
    QFile lock(QDir(dir.path()).filePath(QStringLiteral("zarumi.lock")));
    QVERIFY(lock.open(QIODevice::ReadOnly));
    QCOMPARE(lock.readAll(), QByteArray("4242\nzarumi\nother-machine.example\n"));
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("test.ini"))));
}

void TestStartup::otherMachinesLockBox_data()
{
    QTest::addColumn<bool>("takeOver");
    QTest::newRow("take the lock over") << true;
    QTest::newRow("quit") << false;
}

void TestStartup::otherMachinesLockBox()
{
    QFETCH(bool, takeOver);
    QTemporaryDir dir;
    writeOtherMachinesLock(dir.path());
    SingleInstance instance(dir.path());
    QCOMPARE(instance.acquire(), SingleInstance::Outcome::HeldElsewhere);
    ForeignLockBox box(dir.path(), instance);
    box.open();
    QVERIFY(box.text().contains(QStringLiteral("other-machine.example")));
    QVERIFY(box.text().contains(QStringLiteral("4242")));
    QTest::mouseClick(takeOver ? box.takeOverButton() : box.quitButton(), Qt::LeftButton);
    QCOMPARE(box.takeOverChosen(), takeOver);
    if (takeOver)
        QVERIFY(instance.takeOver());
    QFile lock(instance.lockPath());
    QVERIFY(lock.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = lock.readAll().split('\n');
    QVERIFY(lines.size() >= 3);
    QCOMPARE(lines[0], takeOver ? QByteArray::number(QCoreApplication::applicationPid()) : QByteArray("4242"));
    QCOMPARE(
        QString::fromUtf8(lines[2]), takeOver ? QSysInfo::machineHostName() : QStringLiteral("other-machine.example"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
