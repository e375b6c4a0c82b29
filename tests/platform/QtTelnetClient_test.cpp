#include "platform/QtTelnetClient.h"

#include "platform/QtTestApp.h"
#include "platform/TestPeers.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace tessivar {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackListener;

// Telnet protocol bytes.
constexpr char IAC = '\xff';
constexpr char WILL = '\xfb';
constexpr char WONT = '\xfc';
constexpr char DO = '\xfd';
constexpr char DONT = '\xfe';
constexpr char ECHO_ = '\x01';
constexpr char SGA = '\x03';
constexpr char TTYPE = '\x18';

std::string bytes(std::initializer_list<char> list) {
    return std::string(list);
}

// A Telnet service that runs one script against the first connection, on its own thread.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(int fd)> script)
        : thread_([this, script = std::move(script)] {
              const int fd = listener_.accept();
              if (fd < 0)
                  return;
              script(fd);
              ::close(fd);
          }) {}
    ~ScriptedPeer() { join(); }
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    std::int16_t port() const { return listener_.port(); }
    void join() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    LoopbackListener listener_;
    std::thread thread_;
};

class QtTelnetClientTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureQtApplication(); }

    // Data the client delivers until `count` bytes have come or the peer goes quiet.
    std::string receive(std::size_t count) {
        std::string got;
        while (got.size() < count &&
               client.waitForData(std::chrono::milliseconds(testing::kGuardMs)))
            got += client.read(2048);
        return got;
    }

    QtTelnetClient client;
};

TEST_F(QtTelnetClientTest, RefusesOptionsAndCarriesExactDataBothWays) {
    std::string peerReceived;
    ScriptedPeer peer([&](int fd) {
        testing::writeAllTo(fd, bytes({IAC, WILL, ECHO_, IAC, DO, TTYPE}) + "Enter access code" +
                                    bytes({IAC, IAC, '\r', '\n', '>'}));
        peerReceived = testing::readUntil(fd, "B\r");
    });
    ASSERT_EQ(client.connect("127.0.0.1", peer.port()), 0);
    EXPECT_FALSE(client.isClosed());

    EXPECT_EQ(receive(21), "Enter access code\xff\r\n>");
    client.send(bytes({'A', IAC, 'B', '\r'}));
    peer.join();

    // The refusals go out while the offer is decoded, before the data sent afterwards.
    EXPECT_EQ(peerReceived,
              bytes({IAC, DONT, ECHO_, IAC, WONT, TTYPE}) + bytes({'A', IAC, IAC, 'B', '\r'}));
}

TEST_F(QtTelnetClientTest, ReadReturnsAtMostWhatWasAskedAndKeepsTheRest) {
    ScriptedPeer peer([&](int fd) {
        testing::writeAllTo(fd, "0123456789");
        testing::readToEnd(fd);
    });
    ASSERT_EQ(client.connect("127.0.0.1", peer.port()), 0);
    std::string got;
    while (got.size() < 4 && client.waitForData(std::chrono::milliseconds(testing::kGuardMs)))
        got += client.read(4 - got.size());
    EXPECT_EQ(got, "0123");
    EXPECT_EQ(receive(6), "456789");
    EXPECT_EQ(client.read(2048), "");
    client.disconnect();
}

TEST_F(QtTelnetClientTest, NegotiationAloneDoesNotEndTheWait) {
    ScriptedPeer peer([&](int fd) {
        testing::writeAllTo(fd, bytes({IAC, WILL, SGA}));
        // The data follows only once the client has answered, so a wait that ended on the
        // negotiation would find nothing to read.
        if (testing::readUntil(fd, bytes({IAC, DONT, SGA})).size() == 3)
            testing::writeAllTo(fd, "\r\n>");
        testing::readToEnd(fd);
    });
    ASSERT_EQ(client.connect("127.0.0.1", peer.port()), 0);
    ASSERT_TRUE(client.waitForData(std::chrono::milliseconds(testing::kGuardMs)));
    EXPECT_EQ(client.read(2048), "\r\n>");
    client.disconnect();
}

TEST_F(QtTelnetClientTest, WaitEndsEmptyWhenThePeerIsSilent) {
    ScriptedPeer peer([&](int fd) { testing::readToEnd(fd); });
    ASSERT_EQ(client.connect("127.0.0.1", peer.port()), 0);
    EXPECT_FALSE(client.waitForData(30ms));
    EXPECT_EQ(client.read(2048), "");
    EXPECT_FALSE(client.isClosed());
    client.disconnect();
    EXPECT_TRUE(client.isClosed());
}

TEST_F(QtTelnetClientTest, PeerCloseIsReportedAndLastDataStillRead) {
    ScriptedPeer peer([&](int fd) { testing::writeAllTo(fd, "bye\r\n"); });
    ASSERT_EQ(client.connect("127.0.0.1", peer.port()), 0);
    peer.join();
    for (int i = 0; i < 100 && !client.isClosed(); ++i)
        client.waitForData(100ms);
    EXPECT_TRUE(client.isClosed());
    EXPECT_EQ(client.read(2048), "bye\r\n");
}

TEST_F(QtTelnetClientTest, ClosedBeforeConnectingAndNothingToRead) {
    EXPECT_TRUE(client.isClosed());
    EXPECT_EQ(client.read(2048), "");
    client.send("ignored\r"); // must not crash or queue for a later session
}

TEST_F(QtTelnetClientTest, ConnectFailuresGiveNonZeroCodes) {
    std::int16_t closedPort = 0;
    {
        LoopbackListener gone;
        closedPort = gone.port();
    }
    EXPECT_NE(client.connect("127.0.0.1", closedPort), 0);
    EXPECT_TRUE(client.isClosed());
    EXPECT_NE(client.connect("127.0.0.1", 0), 0);
    EXPECT_NE(client.connect("127.0.0.1", -5), 0);
}

TEST_F(QtTelnetClientTest, ReconnectStartsAFreshSession) {
    {
        ScriptedPeer first([&](int fd) {
            // Ends in the middle of a command sequence: the next session must not inherit it.
            testing::writeAllTo(fd, bytes({'o', 'l', 'd', IAC}));
        });
        ASSERT_EQ(client.connect("127.0.0.1", first.port()), 0);
        first.join();
        for (int i = 0; i < 100 && !client.isClosed(); ++i)
            client.waitForData(100ms);
        ASSERT_TRUE(client.isClosed());
    }
    ScriptedPeer second([&](int fd) {
        testing::writeAllTo(fd, "\xff\xffnew");
        testing::readToEnd(fd);
    });
    ASSERT_EQ(client.connect("127.0.0.1", second.port()), 0);
    EXPECT_EQ(receive(4), "\xffnew");
    client.disconnect();
}

} // namespace
} // namespace tessivar
