#include "platform/QtSettingsStore.h"

#include "platform/QtTestApp.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace tessivar {
namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 0777;
}

class QtSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureQtApplication();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Tessivar.ini"); }
};

TEST_F(QtSettingsStoreTest, ValuesSurviveANewStore) {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"ConnectType", "Telnet"},
        {"TelnetPass", " a=b;c#d,e\\f \"g\" "},
        {"TelnetAddress", "10.0.0.5"},
        {"Empty", ""},
    };
    {
        QtSettingsStore store(path());
        for (const auto& [key, value] : values)
            store.write("Parms", key, value);
        store.write("Matrix", "ConnectType", "other section");
    }
    QtSettingsStore reopened(path());
    for (const auto& [key, value] : values) {
        ASSERT_TRUE(reopened.read("Parms", key).has_value()) << key;
        EXPECT_EQ(*reopened.read("Parms", key), value) << key;
    }
    EXPECT_EQ(reopened.read("Matrix", "ConnectType"), "other section");
    EXPECT_EQ(reopened.read("Parms", "COMPort"), std::nullopt);
    EXPECT_EQ(reopened.get("Parms", "COMPort", "1"), "1");
}

TEST_F(QtSettingsStoreTest, HandWrittenListReadsAsWritten) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Matrix]\ninLasts=1,2,3\noutLasts=7\n");
    file.close();
    QtSettingsStore store(path());
    EXPECT_EQ(store.read("Matrix", "inLasts"), "1,2,3");
    EXPECT_EQ(store.read("Matrix", "outLasts"), "7");
}

TEST_F(QtSettingsStoreTest, FileIsOwnerOnlyAfterEveryWrite) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Parms]\nConnectType=Serial\n");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0644), 0);

    QtSettingsStore store(path());
    store.write("Parms", "TelnetPass", "secret");
    EXPECT_EQ(modeOf(path()), 0600U);

    // Someone loosened it again; the next write tightens it.
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0664), 0);
    store.write("Parms", "TelnetPort", "23");
    EXPECT_EQ(modeOf(path()), 0600U);
}

TEST_F(QtSettingsStoreTest, UserStoreIsNamedForTheProgramAndOwnerOnly) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QtSettingsStore store;
    EXPECT_TRUE(store.fileName().startsWith(dir.path())) << store.fileName().toStdString();
    EXPECT_TRUE(store.fileName().endsWith("Tessivar/Tessivar.conf"))
        << store.fileName().toStdString();
    store.write("Parms", "TelnetPass", "secret");
    EXPECT_EQ(modeOf(store.fileName()), 0600U);
    // The folder too, so the file is never reachable by others while it is rewritten.
    EXPECT_EQ(modeOf(QFileInfo(store.fileName()).absolutePath()), 0700U);
    EXPECT_EQ(QtSettingsStore().read("Parms", "TelnetPass"), "secret");
}

} // namespace
} // namespace tessivar
