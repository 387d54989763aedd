// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString today()
{
    return QDate::currentDate().toString("yyyy/MM/dd");
}

// The catalogue line of a row with empty categories and spares.
QString line(const QString &name, const QString &size, const QString &kind, const QString &picture, const QString &play,
    const QString &codec, const QString &modified)
{
    return QStringList { name, size, kind, picture, play, codec, modified, today(), "", "", "", "", "", "", "" }.join(
        u'#');
}

constexpr uid_t Nobody = 65534;
constexpr int CannotDropPrivileges = 77;

} // namespace

// zarumi-probe, run as the built program.
class TestProbeCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linesInOrder();
    void mediaFile();
    void usageErrors_data();
    void usageErrors();
    void help();
    void endOfOptions();
    void nameNotUtf8();
    void unreadableFile();

private:
    Run run(const QStringList &arguments, bool asNobody = false, const QString &program = {});
    QString write(const QString &name, const QByteArray &bytes, const QDate &modified = QDate(2003, 5, 1));

    QString m_program;
    QTemporaryDir m_dir;
};

void TestProbeCommand::initTestCase()
{
    m_program = QStringLiteral(ZARUMI_BIN_DIR "/zarumi-probe");
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program + " is not built"));
    QVERIFY(m_dir.isValid());
}

Run TestProbeCommand::run(const QStringList &arguments, bool asNobody, const QString &program)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    if (asNobody) {
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(CannotDropPrivileges);
        });
    }
    process.start(program.isEmpty() ? m_program : program, arguments);
    Run result;
    if (!process.waitForFinished(30'000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString TestProbeCommand::write(const QString &name, const QByteArray &bytes, const QDate &modified)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || !file.setFileTime(QDateTime(modified, QTime(12, 0)), QFileDevice::FileModificationTime))
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

void TestProbeCommand::linesInOrder()
{
    const QString zip = write("a.zip", QByteArray("PK\x03\x04") + QByteArray(996, '\0'));
    const QString photo = write("photo.JPG", QByteArray("\x89PNG\r\n\x1A\n") + QByteArray(492, 'x'));
    const QString notes = write("ノート.txt", "DIVX", QDate(1999, 12, 31));
    const QString sharp = write("x.c#", QByteArray(1234567, 'c'));
    const QString newline = write("a\nb", "x");
    QVERIFY(QDir(m_dir.path()).mkdir("photos"));
    const QStringList paths { zip, photo, notes, m_dir.filePath("missing.avi"), m_dir.filePath("photos/"), sharp,
        newline };

    const Run result = run(paths);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    const QStringList expected {
        line("a.zip", "1.000", "ZIP", "", "", "ZIP", "2003/05/01"),
        line("photo.JPG", "0.500", "JPG", "", "", "PNG", "2003/05/01"),
        line("ノート.txt", "0.004", "TXT", "", "", "", "1999/12/31"),
        line("missing.avi", "不明", "AVI", "", "", "", "不明"),
        line("photos", "不明", "不明", "", "", "", "不明"),
        line("x.c#", "1,234.567", "C＃", "", "", "", "2003/05/01"),
        line("a\uFFFDb", "0.001", "不明", "", "", "", "2003/05/01"),
    };
    QCOMPARE(result.out, (expected.join(u'\n') + u'\n').toUtf8());
}

void TestProbeCommand::mediaFile()
{
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty())
        QSKIP("the ffmpeg command is needed to make the media fixture");
    const QString avi = m_dir.filePath("clip.avi");
    QProcess make;
    make.start(ffmpeg,
        { "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
            "testsrc=size=160x120:rate=10:duration=2.4", "-c:v", "mpeg4", "-vtag", "DIVX", avi });
    QVERIFY(make.waitForFinished(60'000) && make.exitCode() == 0);
    const qint64 size = QFileInfo(avi).size();
    const QString sizeText = QStringLiteral("%1.%2").arg(size / 1000).arg(size % 1000, 3, 10, QLatin1Char('0'));
    QVERIFY(size >= 1000 && size < 1'000'000);

    const Run result = run({ avi });
    QCOMPARE(result.exitCode, 0);
    const QString modified = QFileInfo(avi).lastModified().date().toString("yyyy/MM/dd");
    QCOMPARE(QString::fromUtf8(result.out),
        line("clip.avi", sizeText, "AVI", "160×120", "00:00:02", "DivX", modified) + '\n');
}

void TestProbeCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no path") << QStringList {};
    QTest::newRow("only --") << QStringList { "--" };
    QTest::newRow("unknown short option") << QStringList { "-x", "a.avi" };
    QTest::newRow("unknown long option") << QStringList { "a.avi", "--verbose" };
    QTest::newRow("help with unknown option") << QStringList { "--help", "--what" };
}

void TestProbeCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    QVERIFY(result.err.startsWith("usage: zarumi-probe"));
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.endsWith('\n'));
}

void TestProbeCommand::help()
{
    const Run result = run({ "--help" });
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith("usage: zarumi-probe"));
    QCOMPARE(result.err, QByteArray());
}

void TestProbeCommand::endOfOptions()
{
    write("-odd.zip", "PK");
    const Run result = run({ "--", "-odd.zip", "--help" });
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromUtf8(result.out),
        line("-odd.zip", "0.002", "ZIP", "", "", "ZIP", "2003/05/01") + '\n'
            + line("--help", "不明", "不明", "", "", "", "不明") + '\n');
}

// A Shift-JIS name from an old disc: the argument's bytes find the file, and
// the line names it as code page 932 reads it. The shell hands over the
// bytes, which QProcess would encode as UTF-8.
void TestProbeCommand::nameNotUtf8()
{
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/\x83\x65\x83\x58\x83\x67.zip";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    const QByteArray bytes = QByteArray("PK\x03\x04") + QByteArray(996, '\0');
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    QCOMPARE(::close(fd), 0);
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");

    const Run result = run({ "-c", R"sh(exec "$0" "$(printf '\203e\203X\203g.zip')")sh", m_program }, false, "/bin/sh");
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromUtf8(result.out), line("テスト.zip", "1.000", "ZIP", "", "", "ZIP", today) + '\n');
}

// A header kind that can't be read still gives its row, with an empty codec.
// Root reads any file, so then the program runs as the user nobody.
void TestProbeCommand::unreadableFile()
{
    const QString path = write("locked.zip", QByteArray("PK\x03\x04") + QByteArray(996, '\0'));
    QVERIFY(QFile::setPermissions(path, {}));
    const bool root = ::geteuid() == 0;
    if (root) {
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFileDevice::ExeOther));
    }
    const Run result = run({ path }, root);
    if (root && result.exitCode == CannotDropPrivileges)
        QSKIP("cannot run the program as an unprivileged user");
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromUtf8(result.out), line("locked.zip", "1.000", "ZIP", "", "", "", "2003/05/01") + '\n');
}

QTEST_GUILESS_MAIN(TestProbeCommand)
#include "tst_probecommand.moc"
