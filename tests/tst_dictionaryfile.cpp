// When the dictionary's file is read again: the rule alone, on plain files.

#include "postal/dictionary/DictionaryFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestDictionaryFile : public QObject
{
    Q_OBJECT
private slots:
    void readAgainOnlyWhenChanged();
    void rewrittenWithSizeAndTimeKept();
    void failureTriedAgainOnceChanged();

private:
    // The watch reports from a thread of its own: asked until it has, once
    // a change is seen (asking again would find it taken).
    static bool changeSeen(DictionaryFile &file)
    {
        QDeadlineTimer deadline(5000);
        while (!file.mustRead(DictionaryFile::Held::Contents)) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(5);
        }
        return true;
    }
    bool write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }
    QTemporaryDir dir_;
};

void TestDictionaryFile::readAgainOnlyWhenChanged()
{
    const QString path = dir_.filePath(u"a"_s);
    QVERIFY(write(path, "first"));
    DictionaryFile file(path);
    file.watch();
    QVERIFY(file.mustRead(DictionaryFile::Held::Nothing));
    QString why;
    QCOMPARE(file.read(&why).value_or(QByteArray()), QByteArray("first"));
    QVERIFY(!file.mustRead(DictionaryFile::Held::Contents));
    QTest::qWait(30);  // past the watch's trust: the file itself is asked
    QVERIFY(!file.mustRead(DictionaryFile::Held::Contents));

    // Replaced by renaming another over it.
    const QString other = dir_.filePath(u"b"_s);
    QVERIFY(write(other, "second!"));
    QCOMPARE(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    QVERIFY(changeSeen(file));
    QCOMPARE(file.read(&why).value_or(QByteArray()), QByteArray("second!"));
    QTest::qWait(30);
    QVERIFY(!file.mustRead(DictionaryFile::Held::Contents));

    // Removed: what was read stands.
    QVERIFY(QFile::remove(path));
    QTest::qWait(30);
    QVERIFY(!file.mustRead(DictionaryFile::Held::Contents));
    QVERIFY(!file.read(&why));
    QVERIFY(why.startsWith(path));
}

void TestDictionaryFile::rewrittenWithSizeAndTimeKept()
{
    // Device, inode, size and time as they were: only the watch can tell,
    // and what it reports is reason enough.
    const QString path = dir_.filePath(u"twin"_s);
    QVERIFY(write(path, "aaaa"));
    DictionaryFile file(path);
    file.watch();
    QString why;
    QVERIFY(file.mustRead(DictionaryFile::Held::Nothing));
    QVERIFY(file.read(&why));
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    const std::optional<DictionaryFile::Identity> was = DictionaryFile::identityOf(path);
    QVERIFY(write(path, "bbbb"));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    QVERIFY(DictionaryFile::identityOf(path) == was);
    QVERIFY(changeSeen(file));
    QCOMPARE(file.read(&why).value_or(QByteArray()), QByteArray("bbbb"));
}

void TestDictionaryFile::failureTriedAgainOnceChanged()
{
    // Unwatched, as where the system has no watch to give: the file's
    // identity alone tells.
    const QString path = dir_.filePath(u"bad"_s);
    QVERIFY(write(path, "not yet"));
    DictionaryFile file(path);
    QVERIFY(file.mustRead(DictionaryFile::Held::Nothing));
    // Whatever the reading gave, it was found wanting: not tried again as it is.
    QVERIFY(!file.mustRead(DictionaryFile::Held::Failure));
    QVERIFY(write(path, "now it is"));
    QVERIFY(file.mustRead(DictionaryFile::Held::Failure));
    QVERIFY(!file.mustRead(DictionaryFile::Held::Failure));
    // Nothing held yet is always a reason to read.
    QVERIFY(file.mustRead(DictionaryFile::Held::Nothing));
}

QTEST_GUILESS_MAIN(TestDictionaryFile)
#include "tst_dictionaryfile.moc"
